#pragma once

#include <QWidget>

#include "views/draw_graph.h"

class CommandTable;
class QChartView;
class QCheckBox;
class QLineSeries;
class QSpinBox;
class QValueAxis;
class StatSelectors;

namespace tessara {
class Workspace;
}

// The "Графики" tab: for the graph kind chosen, the statistic's graph value
// in each draw of the window with two reference lines, the mean and the most
// frequent value. Registers its command DrawsGraphDraw.
class GraphsTab : public QWidget {
    Q_OBJECT
  public:
    GraphsTab(tessara::Workspace& ws, StatSelectors& selectors, CommandTable& commands,
              QWidget* parent = nullptr);

    // Draws the graph anew. Without force nothing happens while the archive
    // size, the offset, the length and the selected kind are those of the
    // last drawing; a tab switched off never draws.
    void RefreshGraphs(bool force);
    // The view refresh of the main window: a tab in the background only
    // remembers that a forced drawing is due when it comes to the front.
    void RefreshView(bool visible, bool full);

    // Whether the tab is switched on (TabGraphs); set by the main window.
    bool Shown() const { return shown_; }
    void SetShown(bool on) { shown_ = on; }

    void LoadViewOptions();

    QChartView* Chart() const { return crtDrawsGraph_; }
    // How many times the graph was computed; a way for tests to see that a
    // change did not recompute.
    int Computations() const { return computations_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ClearChart();
    void ShowGraph(const tessara::TDrawGraph& graph);
    void ShowMarks(bool on);
    void LengthChanged(int value);
    void ShowPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    StatSelectors& selectors_;
    CommandTable& commands_;
    QSpinBox* edDrawsGraphLen_;
    QCheckBox* cbDrawsGraphShowMarks_;
    QChartView* crtDrawsGraph_;
    QValueAxis* xAxis_;
    QValueAxis* yAxis_;
    QLineSeries* values_ = nullptr;
    tessara::TDrawGraphKey key_;
    bool stale_ = false;
    bool shown_ = true;
    bool loadingOptions_ = false;
    int computations_ = 0;
};
