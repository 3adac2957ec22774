#pragma once

#include <string>

#include "app/switches.h"
#include "app/workspace.h"

namespace tessara {

// The steps of start-up that belong to the window. The desktop program fills
// them in; the command line and tests leave them empty. They are called in
// the fixed order of the two start-up stages.
class StartupHooks {
public:
    virtual ~StartupHooks() = default;
    // Creation stage.
    virtual void HideSystemsTab() {}
    virtual void ChooseLanguage() {}
    virtual void ClearViewKeys() {}
    virtual void SetupStakesGrid() {}
    virtual void RestoreTabsVisibility() {}
    // Window placement, layout and option keys, the column layouts of the lists.
    virtual void RestoreLayout() {}
    virtual void HidePrefetchColumns() {}
    virtual void ResetStatisticsTab() {}
    virtual void StartInitTimer() {}
    // Init tick.
    virtual void SetVersionCaption(const std::string& /*version*/) {}
    virtual void RefreshViews() {}
    virtual void SetupRatingsSorting() {}
    // The silent self-update check of a start with AutoUpdates on: 1 when
    // an update was installed and the program must restart.
    virtual int AutoSelfUpdate() { return 0; }
    virtual void ShowFirstRunDialog() {}
};

inline constexpr const char* MsgStartupParamsError = "Ошибка загрузки параметров программы!\r\r";
inline constexpr const char* MsgStartupError = "Ошибка запуска программы!\r\r";
inline constexpr const char* MsgInitError = "Ошибка инициализации программы!\r\r";
inline constexpr const char* MsgAskDownloadDraws =
    "Обновить список тиражей?\r\rДля выполнения обновления необходимо действующее подключение к "
    "сети Интернет.";

// How long a restarted copy waits for the old one: 601 looks, 100 ms apart.
struct TRestartWait {
    int Attempts = 601;
    int IntervalMs = 100;
};

// The creation stage. False when the program must end at once (the copy it
// replaces did not go away).
bool RunCreationStage(Workspace& ws, const TStartupSwitches& switches, StartupHooks& hooks,
                      const TRestartWait& wait = {});

enum class InitOutcome {
    Ready,    // ordinary start: the user can work
    Exit,     // a batch switch finished its work, or the data folder is held
    Restart,  // an update was installed: start anew
};

// The one tick of the init timer.
InitOutcome RunInitTick(Workspace& ws, const TStartupSwitches& switches, StartupHooks& hooks);

// Shutdown: the view state is written by the window before this; releases
// the lists and the archive and closes the stakes file.
void RunShutdown(Workspace& ws);

}  // namespace tessara
