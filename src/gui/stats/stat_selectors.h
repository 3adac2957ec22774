#pragma once

class QComboBox;

namespace tessara {
class Workspace;
}

// The two method selectors of the main window: the statistic kind of the
// statistics tab (cbDrawsStat) and the graph kind of the graphs tab
// (cbDrawsGraphType). Each entry carries the index of its method in the
// registry as item data. The boxes are created here and placed by the tabs.
class StatSelectors {
  public:
    explicit StatSelectors(tessara::Workspace& ws);

    QComboBox* StatBox() const { return cbDrawsStat_; }
    QComboBox* GraphBox() const { return cbDrawsGraphType_; }

    // Fills both boxes with the favourite methods. With reregister the
    // favourites are saved and the methods registered anew first. With
    // keepSelection each box selects its previous position, else the first.
    void Refill(bool reregister, bool keepSelection);

    // The registry index of the method selected in a box, or -1.
    static int SelectedMethod(const QComboBox* box);
    int SelectedStat() const { return SelectedMethod(cbDrawsStat_); }
    int SelectedGraph() const { return SelectedMethod(cbDrawsGraphType_); }

  private:
    tessara::Workspace& ws_;
    QComboBox* cbDrawsStat_;
    QComboBox* cbDrawsGraphType_;
};
