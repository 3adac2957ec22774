#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <utility>

class CombsTab;
class CommandTable;
class QTableView;
class StakesCommands;
class StakesModel;

namespace tessara {
class Workspace;
}

// The "Ставки" tab: the stakes grid over the stakes file. Registers the
// stake commands in the command table.
class StakesTab : public QWidget {
    Q_OBJECT
  public:
    StakesTab(tessara::Workspace& ws, CommandTable& commands, CombsTab& combs,
              QWidget* parent = nullptr);
    ~StakesTab() override;

    QTableView* Grid() const { return sgStakes_; }
    StakesModel* Model() const { return model_; }

    // The selected rows as (first, last), or (-1, -1) without a selection.
    std::pair<int64_t, int64_t> SelectedRows() const;
    void SelectRow(int row);

    // The grid follows the workspace's grid state: rows, the row to select
    // and scroll to, repainting. While a loop appends stakes (the program is
    // busy) the grid catches up every CatchUpDelayMs: drawing it anew for
    // each stake would take longer than making the stakes.
    void Refresh();
    static constexpr int CatchUpDelayMs = 100;
    // The column widths of a fresh grid.
    void ResetColumns();

  private:
    void Apply();
    void ShowPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    StakesModel* model_;
    QTableView* sgStakes_;
    QTimer catchUp_;
    std::unique_ptr<StakesCommands> stakesCommands_;
};
