#pragma once

#include <QWidget>
#include <vector>

#include "views/layout_scheme.h"
#include "views/view_options.h"
#include "views/week_stats.h"

class CommandTable;
class QSpinBox;
class QSplitter;
class QTableWidget;
class WeekChart;

namespace tessara {
class Workspace;
}

// The "Неделя" tab: how often each number came out on each weekday over the
// last draws, as a heat map, and a chart of the selected cell's number or
// weekday.
class WeekTab : public QWidget {
    Q_OBJECT
  public:
    WeekTab(tessara::Workspace& ws, CommandTable& commands, TabShownFn shown,
            QWidget* parent = nullptr);

    QTableWidget* Grid() const { return sgWeek_; }
    WeekChart* Chart() const { return crtWeek_; }
    QSpinBox* LengthBox() const { return edWeekLen_; }
    QSplitter* Splitter() const { return splitter_; }
    const tessara::TWeekStats& Stats() const { return stats_; }
    int ChartMode() const { return chartMode_; }
    bool ChartType() const { return chartType_; }

    // Without force nothing happens while the archive size, the offset and
    // the window length are those of the last count.
    void RefreshWeek(bool force);
    // The chart of a cell in grid coordinates (numbers from column 1,
    // weekdays from row 1).
    void DrawWeekChart(int column, int row);
    void LoadViewOptions();

    std::vector<int> SelectedNumbers() const;
    void Filter(bool removes);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Register(CommandTable& commands);
    void DrawCurrentChart();
    void ShowPopup(QWidget* on, const QPoint& pos, const QStringList& names);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    TabShownFn shown_;
    QSpinBox* edWeekLen_;
    QTableWidget* sgWeek_;
    WeekChart* crtWeek_;
    QSplitter* splitter_;
    tessara::TWeekStats stats_;
    tessara::TWindowKey key_;
    int chartMode_ = 0;
    bool chartType_ = false;
    bool loading_ = false;
};
