#pragma once

#include <QWidget>
#include <memory>

#include "app/workspace.h"

class CombsCommands;
class CombsModel;
class CommandTable;
class FilterLogModel;
class QSpinBox;
class QSplitter;
class QTableView;

// The "Комбинации" tab: its button panel with the spin box of draws to
// exclude, the combination list and, under a splitter, the operations log.
// Registers the combination commands in the command table.
class CombsTab : public QWidget {
    Q_OBJECT
  public:
    CombsTab(tessara::Workspace& ws, CommandTable& commands, QWidget* parent = nullptr);
    ~CombsTab() override;

    QTableView* List() const { return lvCombs_; }
    CombsModel* Model() const { return model_; }
    FilterLogModel* LogModel() const { return logModel_; }

    bool HasSelection() const;
    // The first selected row from the top, or -1.
    int FirstSelectedRow() const;
    // The selected rows as sorted, merged, inclusive ranges; built from the
    // selection's ranges, so a selection of millions of rows stays cheap.
    tessara::TRowRanges SelectedRanges() const;
    void SelectAll();
    void ClearSelection();

    // The list changed: rows, log and count follow it.
    void Refresh();
    // The colours changed (channel size).
    void Repaint();

    // View-state options, read once the view-state file is settled.
    void LoadViewOptions();
    int ExcludeDraws() const;
    bool ColorCombs() const;
    void SetColorCombs(bool on);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowPopup(const QPoint& pos);
    void ExcludeChanged(int value);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    CombsModel* model_;
    FilterLogModel* logModel_;
    QTableView* lvCombs_;
    QTableView* lvFilters_;
    QSplitter* splitter_;
    QSpinBox* edCombsExclude_;
    bool loadingOptions_ = false;
    std::unique_ptr<CombsCommands> combsCommands_;
};

// Turns selection ranges (top, bottom) in any order, possibly overlapping,
// into sorted, merged, inclusive ranges.
tessara::TRowRanges MergeRowRanges(tessara::TRowRanges ranges);
