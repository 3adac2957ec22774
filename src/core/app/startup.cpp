#include "app/startup.h"

#include "app/versions.h"
#include "base/view_keys.h"
#include "model/error.h"
#include "online/draws_download.h"
#include "stats/prefetch.h"

namespace tessara {

bool RunCreationStage(Workspace& ws, const TStartupSwitches& switches, StartupHooks& hooks,
                      const TRestartWait& wait) {
    Host& host = ws.GetHost();
    try {
        RandomizeFromClock();
        hooks.HideSystemsTab();
        if (switches.Restart &&
            !WaitForOtherInstances(BaseName(ExecutablePath()), wait.Attempts, wait.IntervalMs,
                                   [&] { host.ProcessEvents(); }))
            return false;
        hooks.ChooseLanguage();
        hooks.ClearViewKeys();
        hooks.SetupStakesGrid();
        hooks.RestoreTabsVisibility();
        try {
            ws.LoadViewOptions();
            hooks.RestoreLayout();
            const ViewState& view = ws.View();
            if (!view.ReadBool(MainWindowSection, "PrefetchsInit", false)) {
                view.WriteBool(MainWindowSection, "PrefetchsInit", true);
                view.WriteBool(MainWindowSection, "PrefetchsEnabled", false);
                hooks.HidePrefetchColumns();
            }
        } catch (const Error& e) {
            host.ShowError(MsgStartupParamsError + std::string(e.what()));
        }
        ws.LoadConfig();
        ws.LoadProxySettings();
        ws.RegisterStats();
        hooks.ResetStatisticsTab();
        hooks.StartInitTimer();
    } catch (const std::exception& e) {
        host.ShowError(MsgStartupError + std::string(e.what()));
    }
    return true;
}

namespace {

// An ordinary start fetches new draws as DownloadDrawsOnStart says; without
// a site there is nothing to ask about.
void OfferDrawsDownload(Workspace& ws) {
    if (ws.Online().Settings().DrawsSite.empty()) return;
    switch (ws.View().ReadInteger(MainWindowSection, DownloadOnStartKey, 0)) {
        case 0:
            if (ws.GetHost().Confirm(MsgAskDownloadDraws)) ws.DrawsDownload();
            break;
        case 1:
            ws.DrawsDownload();
            break;
        default:
            break;
    }
}

}  // namespace

InitOutcome RunInitTick(Workspace& ws, const TStartupSwitches& switches, StartupHooks& hooks) {
    Host& host = ws.GetHost();
    try {
        host.ShowStatus("Инициализация...");
        ws.InitGameTables();
        ws.ReserveCombs(ws.TotalCombs(), 0);
        ws.ReserveUndo(ws.TotalCombs(), 0);
        hooks.SetVersionCaption(ProgramVersion());
        ws.SetDrawsOffset(0);
        if (!ws.LoadStakesFile()) return InitOutcome::Exit;
        ws.LoadDrawsFile();
        ws.GenerateCombs(true, ws.GenerateDefaults());
        hooks.RefreshViews();
        ws.LoadRatings();
        ws.Regulars().Load();
        ws.LoadCurrentScenario();
        // Unless a batch switch is set, the online catalogues load here;
        // without a server address nothing is asked for.
        if (!switches.LoadOnly && !switches.FullRecreate && !switches.FullRefresh)
            ws.Library().Refresh(true);
        if (!switches.LoadOnly && !switches.FullRecreate && !switches.FullRefresh &&
            ws.Systems().Enabled())
            ws.Systems().LoadSystemList(true);
        hooks.SetupRatingsSorting();
        if (switches.LoadOnly) {
            ws.DrawsDownload();
            if (!switches.FullRecreate && !switches.FullRefresh) return InitOutcome::Exit;
        }
        if (ws.View().ReadBool(MainWindowSection, "AutoUpdates", MainViewDefault("AutoUpdates")) &&
            hooks.AutoSelfUpdate() == 1)
            return InitOutcome::Restart;
        if (switches.FullRecreate) {
            std::set<int> all;
            for (int g = 0; g < StatGroupCount; ++g) all.insert(g);
            BuildPrefetchFiles(ws, true, all, true);
            return InitOutcome::Exit;
        }
        BuildPrefetchFiles(ws, switches.FullRefresh, {}, ws.PrefetchsEnabled());
        if (switches.FullRefresh) return InitOutcome::Exit;
        OfferDrawsDownload(ws);
        if (ws.View().ReadBool(MainWindowSection, "FirstRun", false)) hooks.ShowFirstRunDialog();
        host.ShowStatus(std::string());
    } catch (const std::exception& e) {
        host.ShowError(MsgInitError + std::string(e.what()));
    }
    return InitOutcome::Ready;
}

void RunShutdown(Workspace& ws) {
    ws.ClearCombs();
    ws.ClearUndo();
    ws.ResetCombsBufferKey();
    ws.ClearDraws();
    ws.SaveStakesFile();
    ws.ClearRatings();
}

}  // namespace tessara
