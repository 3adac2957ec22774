#pragma once

#include <QDialog>

#include "views/repeats.h"

class QChartView;
class QSpinBox;
class QSplitter;
class QTreeWidget;

namespace tessara {
class Host;
class ViewState;
}

// The repeats window: for each of the last draws, how many of the draws
// before it shared one, two or more numbers with it, as a list and a chart.
// Its sizes and the two lengths live in its own section of the view-state
// file, read when it is made and written when it goes.
class TFormRepeats : public QDialog {
    Q_OBJECT
  public:
    TFormRepeats(const tessara::TDrawsArray& draws, tessara::Host& host,
                 const tessara::ViewState& view, QWidget* parent = nullptr);
    ~TFormRepeats() override;

    // Runs the analysis over the lengths in the boxes and shows it.
    void Analyze();

    const tessara::TRepeatsAnalysis& Analysis() const { return analysis_; }
    QTreeWidget* List() const { return lvList_; }
    QChartView* Chart() const { return crtGraph_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* ProgressParent();
    void ShowList();
    void ShowChart();
    void LoadState();
    void SaveState();

    const tessara::TDrawsArray& draws_;
    tessara::Host& host_;
    const tessara::ViewState& view_;
    QSpinBox* edDrawsLen_;
    QSpinBox* edDeep_;
    QTreeWidget* lvList_;
    QChartView* crtGraph_;
    QSplitter* splitter_;
    tessara::TRepeatsAnalysis analysis_;
};
