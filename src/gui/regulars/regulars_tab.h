#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class CombsTab;
class CommandTable;
class QTableView;
class RegularsCommands;
class RegularsModel;

namespace tessara {
class Workspace;
}

// The "Регуляры" tab: the list of regular stakes with its popup menu.
// Registers the commands of the regular stakes in the command table.
class RegularsTab : public QWidget {
    Q_OBJECT
  public:
    // showTab shows or hides the tab's page in the main window (and brings
    // it forward when shown).
    RegularsTab(tessara::Workspace& ws, CommandTable& commands, CombsTab& combs,
                std::function<void(bool)> showTab, QWidget* parent = nullptr);
    ~RegularsTab() override;

    QTableView* List() const { return lvTables_; }
    RegularsModel* Model() const { return model_; }
    // Ascending rows, and the focused one (-1 without one).
    std::vector<int> SelectedRows() const;
    int FocusedRow() const;

    // The list changed.
    void Refresh();

  private:
    void ShowPopup(const QPoint& pos);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    RegularsModel* model_;
    QTableView* lvTables_;
    std::unique_ptr<RegularsCommands> regularsCommands_;
};
