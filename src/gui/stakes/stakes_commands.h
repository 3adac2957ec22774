#pragma once

#include <QStringList>
#include <memory>

class CombsTab;
class CommandTable;
class QObject;
class QWidget;
class StakesTab;

namespace tessara {
class Workspace;
}

// The commands of the stakes: their rows in the command table and the
// dialogs they run before handing the work to the workspace.
class StakesCommands {
  public:
    StakesCommands(tessara::Workspace& ws, StakesTab& tab, CombsTab& combs,
                   CommandTable& commands);
    ~StakesCommands();

    // The "Ставки" menu, also the grid's popup menu; "|" separates groups.
    static QStringList MenuNames(const CommandTable& commands);

  private:
    void Register(CommandTable& commands);
    void AddStake(bool random);
    void AddStakes(bool all);
    void Delete();
    void DeleteByCondition();
    QWidget* DialogParent() const;

    tessara::Workspace& ws_;
    StakesTab& tab_;
    CombsTab& combs_;
};

// The names of a menu without the commands not registered (yet), and
// without the separators that would then stand next to each other or at
// an end.
QStringList RegisteredCommands(const CommandTable& commands, const QStringList& names);
