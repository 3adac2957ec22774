#pragma once

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/switches.h"
#include "app/workspace.h"
#include "main/gui_host.h"

class AnalysisCommands;
class CombsTab;
class NumberViews;
class CommandTable;
class DrawsTab;
class ExportCommands;
class GraphsTab;
class HelpCommands;
class StatSelectors;
class StatisticsTab;
class StatsCommands;
class QTabWidget;
class RatingsTab;
class RegularsTab;
class StakeGraphCommands;
class StakesTab;
class StatusPanels;
class ScenarioTab;
class ScenarioRunCommands;
class ShellCommands;
class OnlineCommands;
class ScriptLibraryCommands;
class ScriptLibraryPanel;
class SystemsCommands;
class SystemsTab;
class UpdateCommands;

// The main window: assembles the tabs, menus and status bar around the
// workspace and runs the two start-up stages and the shutdown.
class MainWindow : public QMainWindow, private tessara::StartupHooks {
    Q_OBJECT
  public:
    UpdateCommands& Updates() { return *updateCommands_; }
    // params: the command line without the program name.
    explicit MainWindow(const std::vector<std::string>& params, QWidget* parent = nullptr);
    ~MainWindow() override;

    // False when this copy must end at once (the copy it replaces stayed).
    bool Created() const { return created_; }
    // The init tick, run by the init timer; callable directly (it stops the timer).
    tessara::InitOutcome InitTick();
    bool Initialized() const { return initialized_; }

    GuiHost& Host() { return host_; }
    tessara::Workspace& Work() { return *ws_; }
    CommandTable& Commands() { return *commands_; }
    NumberViews& Views() { return *numberViews_; }
    const StatusPanels& Panels() const { return *panels_; }

    // Status panels of the archive, the list's row count and the offset box.
    void RefreshDrawsStatus(bool force);
    // Recomputes the visible analysis views; with full unconditionally.
    void RefreshViews(bool full);

  protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    // Start-up steps of the window.
    void HideSystemsTab() override;
    void ShowFirstRunDialog() override;
    void StartInitTimer() override;
    void SetupStakesGrid() override;
    void SetupRatingsSorting() override;
    void RestoreTabsVisibility() override;
    void RestoreLayout() override;
    void ResetStatisticsTab() override;
    void RefreshViews() override { RefreshViews(true); }
    void SetVersionCaption(const std::string& version) override;
    int AutoSelfUpdate() override;

    void BuildTabs();
    void BuildMenu();
    void RegisterCommands();
    void OnChange(tessara::Change change);
    void OnInitTimer();
    // Starts the program anew with "restart"; false (after a message) on failure.
    bool RestartProgram();
    void Shutdown();
    // Window placement, panel and column sizes in the view-state file.
    void SaveLayout();
    void EditConfig();
    void EditShredding();
    // Locks the tabs and the scenario list while a scenario runs.
    void LockForRun(bool locked);
    // Shows or hides the graphs tab (TabGraphs); a tab switched on by the
    // user comes to the front and draws at once.
    void ShowGraphsTab(bool on, bool byUser);
    // Shows or hides the page of the regular stakes; shown, it comes forward.
    void ShowRegularsTab(bool on);

    GuiHost host_;
    tessara::TStartupSwitches switches_;
    std::unique_ptr<tessara::Workspace> ws_;
    std::unique_ptr<StatusPanels> panels_;
    CommandTable* commands_ = nullptr;
    DrawsTab* drawsTab_ = nullptr;
    CombsTab* combsTab_ = nullptr;
    ScenarioTab* scenarioTab_ = nullptr;
    StakesTab* stakesTab_ = nullptr;
    RatingsTab* ratingsTab_ = nullptr;
    RegularsTab* regularsTab_ = nullptr;
    std::unique_ptr<StakeGraphCommands> graphCommands_;
    std::unique_ptr<ScenarioRunCommands> runCommands_;
    std::unique_ptr<OnlineCommands> onlineCommands_;
    std::unique_ptr<ScriptLibraryCommands> libraryCommands_;
    ScriptLibraryPanel* libraryPanel_ = nullptr;
    QTimer libraryHeightTimer_;
    UpdateCommands* updateCommands_ = nullptr;
    ShellCommands* shellCommands_ = nullptr;
    std::unique_ptr<HelpCommands> helpCommands_;
    // The help page of the tab that holds the focus (the right side by default).
    QString ActiveHelpPage() const;
    // After an installed update: start anew and end this copy.
    void RestartAfterUpdate();
    bool closePending_ = false;
    QTabWidget* leftTabs_ = nullptr;
    QTabWidget* rightTabs_ = nullptr;
    std::unique_ptr<StatSelectors> statSelectors_;
    std::unique_ptr<StatsCommands> statsCommands_;
    std::unique_ptr<NumberViews> numberViews_;
    StatisticsTab* statisticsTab_ = nullptr;
    GraphsTab* graphsTab_ = nullptr;
    std::unique_ptr<AnalysisCommands> analysisCommands_;
    int systemsTab_ = -1;
    // The systems catalogue page and its commands.
    SystemsTab* systemsPage_ = nullptr;
    std::unique_ptr<SystemsCommands> systemsCommands_;
    std::unique_ptr<ExportCommands> exportCommands_;
    QTimer initTimer_;
    bool created_ = true;
    bool initialized_ = false;
    bool shutDown_ = false;
};
