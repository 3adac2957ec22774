#pragma once

class CommandTable;
class StatSelectors;
class QWidget;

namespace tessara {
class Workspace;
}

// The commands of the statistic registry: the favourites manager, the reset
// of the favourites and the description of the selected statistic.
class StatsCommands {
  public:
    StatsCommands(tessara::Workspace& ws, StatSelectors& selectors, CommandTable& commands,
                  QWidget* dialogParent);

  private:
    void Register(CommandTable& commands);
    void Manager();
    void Reset();
    void Info();

    tessara::Workspace& ws_;
    StatSelectors& selectors_;
    QWidget* dialogParent_;
};
