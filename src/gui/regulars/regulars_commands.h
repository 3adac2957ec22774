#pragma once

#include <QStringList>
#include <functional>

class CombsTab;
class CommandTable;
class QWidget;
class RegularsTab;

namespace tessara {
class Workspace;
}

// The commands of the regular stakes: their rows in the command table and
// the dialogs they run before handing the work to the core.
class RegularsCommands {
  public:
    RegularsCommands(tessara::Workspace& ws, RegularsTab& tab, CombsTab& combs,
                     CommandTable& commands, std::function<void(bool)> showTab);

    // The "Регуляры" menu, also the list's popup menu.
    static QStringList MenuNames();

  private:
    void Register(CommandTable& commands);
    void Add();
    void Delete();
    void StakeAdd();
    void StakeTest();
    void ToggleTab();
    QWidget* DialogParent() const;

    tessara::Workspace& ws_;
    RegularsTab& tab_;
    CombsTab& combs_;
    std::function<void(bool)> showTab_;
};
