#pragma once

#include <QWidget>
#include <memory>
#include <vector>

class CommandTable;
class DrawsCommands;
class DrawsModel;
class QSpinBox;
class QTableView;

namespace tessara {
class Workspace;
}

// The "Архив тиражей" tab: its button panel with the offset spin box above
// the draws list. Registers the draws commands in the command table.
class DrawsTab : public QWidget {
    Q_OBJECT
  public:
    DrawsTab(tessara::Workspace& ws, CommandTable& commands, QWidget* parent = nullptr);
    ~DrawsTab() override;

    QTableView* List() const { return lvDraws_; }
    DrawsModel* Model() const { return model_; }

    bool HasSelection() const;
    // The first selected row from the top, or -1.
    int FirstSelectedRow() const;
    // Selected rows from the bottom of the list to the top.
    std::vector<int> SelectedRowsBottomUp() const;
    void ClearSelection();

    // Row count to the archive size, the offset spin box's maximum.
    void RefreshList(bool force);
    // The offset changed: spin box value and row colours follow it.
    void SyncOffset();
    void Repaint();

  private:
    void ShowPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    DrawsModel* model_;
    QTableView* lvDraws_;
    QSpinBox* seDrawsOffset_;
    std::unique_ptr<DrawsCommands> drawsCommands_;
};
