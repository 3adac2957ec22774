#pragma once

#include <QObject>
#include <QStringList>

namespace tessara {
class Workspace;
}
class CommandTable;
class QWidget;

// The window's own commands that belong to no tab: the interface language,
// the about box and the lottery's site; and the second keys of commands
// whose written key the desktop takes for itself.
class ShellCommands : public QObject {
    Q_OBJECT
  public:
    ShellCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window);

    // Call once every command is registered.
    static void AddSecondKeys(CommandTable& commands);

  private:
    void Register();
    void OpenLotoSite();

    tessara::Workspace& ws_;
    CommandTable& commands_;
    QWidget* window_;
};
