#pragma once

#include <QStringList>
#include <functional>

class CommandTable;
class QWidget;
class SystemsTab;

namespace tessara {
class Workspace;
}

// The commands of the systems catalogue and the system game.
class SystemsCommands {
  public:
    // showTab(on, activate): shows or hides the "Системы" page.
    SystemsCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* dialogParent,
                    std::function<void(bool, bool)> showTab);
    void SetTab(SystemsTab* tab) { tab_ = tab; }
    // Shows the page and the game commands as the option says (start-up).
    void ApplyEnabled();

  private:
    void Register(CommandTable& commands);
    void Toggle();
    void Download();
    void Add();
    void Prop();
    void Play(bool inList);

    tessara::Workspace& ws_;
    CommandTable& commands_;
    QWidget* parent_;
    std::function<void(bool, bool)> showTab_;
    SystemsTab* tab_ = nullptr;
};
