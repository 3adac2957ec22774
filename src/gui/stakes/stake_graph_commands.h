#pragma once

#include <QString>
#include <string>
#include <vector>

class CommandTable;
class RatingsTab;
class QWidget;

namespace tessara {
class Workspace;
}

// The four stake graphs: their rows in the command table. Each collects its
// data in the core and shows it in the graph window; a failure shows the
// core's message and opens no window.
class StakeGraphCommands {
  public:
    StakeGraphCommands(tessara::Workspace& ws, RatingsTab& ratings, CommandTable& commands,
                       QWidget* window);

  private:
    void Register(CommandTable& commands);
    // What the rating rows selected in the view are called, in view order.
    std::vector<std::string> SelectedNames() const;
    template <typename Build>
    void Show(const QString& caption, Build&& build);

    tessara::Workspace& ws_;
    RatingsTab& ratings_;
    QWidget* window_;
};
