#pragma once

#include <QStringList>
#include <functional>
#include <memory>

#include "scenario/scenario_run.h"

class CommandTable;
class GuiHost;
class ScenarioTab;

namespace tessara {
class Workspace;
}

// The forecast, the test and their stop, with the scenario tab's panels
// following the run and the window locked while it lasts.
class ScenarioRunCommands : public tessara::TScenarioObserver {
  public:
    // lock: disables (true) or enables again the parts of the window that
    // must not change while a scenario runs.
    ScenarioRunCommands(tessara::Workspace& ws, GuiHost& host, ScenarioTab& tab, CommandTable& commands,
                        std::function<void(bool)> lock);
    ~ScenarioRunCommands() override;

    tessara::TScenarioRunner& Runner() { return *runner_; }
    bool Running() const { return runner_->State().Running; }
    // Runs the forecast, or asks for the count and runs the test.
    void Run();
    void Test();
    // Asks, then stops; false when the answer was no.
    bool AskStop();

    static const QStringList& MenuNames();

    void RunLocked(bool locked) override;
    void RunStateChanged(const tessara::TRunState& state) override;
    void LineSelected(int index) override;

  private:
    void Register(CommandTable& commands);
    bool CanStart() const;

    tessara::Workspace& ws_;
    GuiHost& host_;
    ScenarioTab& tab_;
    CommandTable& commands_;
    std::function<void(bool)> lock_;
    std::unique_ptr<tessara::TScenarioRunner> runner_;
    int shownCycle_ = -1, shownLine_ = -1;
};
