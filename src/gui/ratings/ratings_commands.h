#pragma once

#include <functional>

class CommandTable;
class QMenu;
class QWidget;
class RatingsTab;

namespace tessara {
class Workspace;
}

// The commands of the rating: their rows in the command table and the file
// dialog of the export.
class RatingsCommands {
  public:
    RatingsCommands(tessara::Workspace& ws, RatingsTab& tab, CommandTable& commands,
                    std::function<void()> showScenario);

    // The "Рейтинг" menu, also the list's popup menu, with the submenu of the
    // efficiency modes.
    static void FillMenu(QMenu* menu, const CommandTable& commands);

  private:
    void Register(CommandTable& commands);
    void Export();
    void ToScript();
    QWidget* DialogParent() const;

    tessara::Workspace& ws_;
    RatingsTab& tab_;
    std::function<void()> showScenario_;
};
