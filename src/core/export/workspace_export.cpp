#include "export/workspace_export.h"

#include <fmt/format.h>
#include <sys/stat.h>

#include <cmath>

#include "app/workspace.h"
#include "base/ini_file.h"
#include "base/view_keys.h"
#include "export/grid_sheets.h"
#include "model/error.h"
#include "stats/stat_list.h"
#include "views/layout_scheme.h"

namespace tessara {

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A view option; an unreadable file was reported at start-up, so its
// default stays silently.
bool ViewBool(const Workspace& ws, const char* key) {
    try {
        return ws.View().ReadBool(MainWindowSection, key, MainViewDefault(key) != 0);
    } catch (const Error&) {
        return MainViewDefault(key) != 0;
    }
}

}  // namespace

TExportParams LoadExportParams(const Workspace& ws) {
    TExportParams p;
    p.OpenFile = ViewBool(ws, ExportOpenFileKey);
    try {
        p.Folder = ws.View().ReadString(MainWindowSection, ExportFolderKey, "");
    } catch (const Error&) {
        p.Folder.clear();
    }
    if (!IsFolder(p.Folder)) p.Folder = ws.DataDir();
    return p;
}

void SaveExportParams(const Workspace& ws, const TExportParams& params) {
    ws.View().WriteString(MainWindowSection, ExportFolderKey, params.Folder);
    ws.View().WriteBool(MainWindowSection, ExportOpenFileKey, params.OpenFile);
}

TSheet WorkspaceDrawsSheet(const Workspace& ws) {
    TDrawsSheetOptions o;
    o.Sorted = ws.SortedDraws();
    o.ColorDraws = ws.ColorDraws();
    o.ChannelSize = ws.ChannelSize();
    o.Offset = ws.DrawsOffset();
    return DrawsSheet(ws.Archive(), o);
}

TSheet WorkspaceCombsSheet(const Workspace& ws) {
    return CombsSheet(ws.Combs(), ViewBool(ws, "ColorCombs"), ws.ChannelSize());
}

TSheet WorkspaceStakesSheet(const Workspace& ws) { return StakesSheet(ws.StakesFile()); }

TSheet WorkspaceRatingsSheet(const Workspace& ws) {
    return RatingsSheet(ws.Ratings(), ws.RatingsEffMode());
}

TSheet WorkspaceCardSheet(const Workspace& ws) {
    TCardOptions o;
    o.ColorCard = ViewBool(ws, "ColorCard");
    o.ColorCardSequences = ViewBool(ws, "ColorCardSequences");
    o.ChannelSize = ws.ChannelSize();
    return CardSheet(ws.Archive().Draws(), o);
}

TSheet WorkspaceLayoutSheet(const Workspace& ws, int length, bool gradient) {
    return LayoutSheet(BuildLayoutScheme(ws.Archive().Draws(), ws.DrawsOffset(), length,
                                         ws.Archive().NextDrawResultSet(ws.DrawsOffset())),
                       gradient);
}

TSheet WorkspaceStatsSheet(const Workspace& ws, int method, const TValueTable& table, bool norms) {
    std::string title = "Статистика";
    if (method >= 0 && method < ws.Stats().Count()) {
        const TStatMethod& m = ws.Stats().Items(method);
        title += fmt::format(": {} ({})", m.DisplayName(), m.Code());
    }
    const TDrawsArray& draws = ws.Archive().Draws();
    if (table.First >= 0 && table.First <= table.Last &&
        table.Last < static_cast<int>(draws.size()))
        title += fmt::format(", тиражи {}–{}", draws[static_cast<size_t>(table.First)].DrawNo,
                             draws[static_cast<size_t>(table.Last)].DrawNo);
    return ValueTableSheet(table, title, norms);
}

int ExportSheets(Host& host, const std::string& path, const std::vector<TSheet>& sheets,
                 TXlsxOptions options) {
    BusyGuard busy(host, "Экспорт в Microsoft Excel...");
    int shownPercent = -1;
    auto progress = std::move(options.Progress);
    options.Progress = [&](int64_t written, int64_t total) {
        const int percent = total > 0 ? static_cast<int>(written * 100 / total) : 100;
        if (percent != shownPercent) {
            shownPercent = percent;
            host.ShowStatus(
                fmt::format("Экспорт в Microsoft Excel ( завершено {} % )...", percent));
        }
        if (progress) progress(written, total);
    };
    try {
        return WriteXlsx(path, sheets, options) ? 1 : 0;
    } catch (const Error& e) {
        host.ShowError(e.what());
        return -1;
    }
}

}  // namespace tessara
