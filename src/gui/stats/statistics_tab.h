#pragma once

#include <QWidget>
#include <memory>

#include "stats/value_table.h"

class CommandTable;
class GuiHost;
class QSpinBox;
class QSplitter;
class QTableView;
class StatChart;
class StatSelectors;
class StatTableCommands;
class ValueTableModel;

namespace tessara {
class Workspace;
}

// The "Статистика" tab: the statistic kind selector with the favourites
// button and the sample length, the value table of the selected statistic
// and, under a splitter, its chart. Registers the table's commands.
class StatisticsTab : public QWidget {
    Q_OBJECT
  public:
    StatisticsTab(tessara::Workspace& ws, GuiHost& host, StatSelectors& selectors,
                  CommandTable& commands, QWidget* parent = nullptr);
    ~StatisticsTab() override;

    QTableView* Table() const { return lvDrawsStat_; }
    ValueTableModel* Model() const { return model_; }
    StatChart* Chart() const { return chart_; }

    // Recomputes the table and the chart. Without force nothing happens while
    // the archive size, offset, sample length and selected position are
    // those of the last computation.
    void Refresh(bool force);
    // The view refresh of the main window: a hidden tab only remembers that
    // a forced refresh is due when it is shown.
    void RefreshView(bool visible, bool full);

    // Options of the view-state file, read once the file is settled.
    void LoadViewOptions();
    bool PrefetchsEnabled() const { return prefetchs_; }
    void SetPrefetchsEnabled(bool on);
    bool ShowTotalLine() const { return showTotalLine_; }
    void SetShowTotalLine(bool on);
    // The full-set columns are hidden while the comparison is off.
    void UpdateNormColumns();

    // The registry index of the selected statistic, or -1.
    int SelectedStat() const;
    bool HasSelection() const;
    // Keeps (or with exclude removes) the combinations carrying the values of
    // the selected rows.
    void FilterSelected(bool exclude);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SampleLengthChanged(int value);
    bool TableShortcut(QEvent* event);
    void ShowTablePopup(const QPoint& pos);
    void ShowChartPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    StatSelectors& selectors_;
    CommandTable& commands_;
    QSpinBox* edDrawsStatLen_;
    ValueTableModel* model_;
    QTableView* lvDrawsStat_;
    StatChart* chart_;
    QSplitter* splitter_;
    tessara::TValueTableKey key_;
    bool stale_ = false;
    bool loadingOptions_ = false;
    bool prefetchs_ = false;
    bool showTotalLine_ = true;
    std::unique_ptr<StatTableCommands> tableCommands_;
};
