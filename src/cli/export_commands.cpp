// tessara-cli export ...: the window's grids written as spreadsheet files.
#include <algorithm>
#include <ostream>

#include "base/ini_file.h"
#include "base/view_keys.h"
#include "cli.h"
#include "export/grid_sheets.h"
#include "export/workspace_export.h"
#include "model/error.h"
#include "model/files.h"
#include "stakes/ratings.h"
#include "stats/stat_list.h"
#include "stats/value_table.h"

namespace tessara::cli {

namespace {

enum class Grid { Draws, Combs, Stakes, Ratings, Card, Layout };

int ViewLength(const Workspace& ws, const char* key) {
    try {
        return std::max(ws.View().ReadInteger(MainWindowSection, key, MainViewDefault(key)), 1);
    } catch (const Error&) {
        return std::max(MainViewDefault(key), 1);
    }
}

bool ViewFlag(const Workspace& ws, const char* key) {
    try {
        return ws.View().ReadBool(MainWindowSection, key, MainViewDefault(key) != 0);
    } catch (const Error&) {
        return MainViewDefault(key) != 0;
    }
}

int Write(CommandContext& c, ConsoleHost& host, const std::string& path, const TSheet& sheet) {
    const int outcome = ExportSheets(host, path, {sheet});
    if (outcome <= 0) return 1;
    c.Out << "Экспортировано строк: " << sheet.RowCount
          << ", листов: " << SheetPartNames(sheet.Name, sheet.RowCount).size() << "\n";
    return 0;
}

int Empty(CommandContext& c, const char* what) {
    c.Err << "Ошибка: " << what << "\n";
    return 1;
}

int ExportGrid(CommandContext& c, Grid grid) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.xlsx"})) return 2;
    const std::string path = c.Args[0];
    ConsoleHost host(c.Err, c.Yes);
    auto ws = grid == Grid::Combs ? c.OpenWithList(host) : c.OpenReadOnly(host);
    if (!ws) return 1;
    switch (grid) {
        case Grid::Draws:
            if (ws->Archive().Empty()) return Empty(c, "архив тиражей пуст");
            return Write(c, host, path, WorkspaceDrawsSheet(*ws));
        case Grid::Combs:
            if (ws->CombsCount() == 0) return Empty(c, "список комбинаций пуст");
            return Write(c, host, path, WorkspaceCombsSheet(*ws));
        case Grid::Stakes:
            if (!ws->StakesFile().HasStakes()) return Empty(c, "ставок нет");
            return Write(c, host, path, WorkspaceStakesSheet(*ws));
        case Grid::Ratings: {
            // Read without the load's sort-and-save: the rows in the order
            // the window shows them, the file untouched.
            TRatings ratings;
            const std::string file = ws->PathOf(RatingsFileName);
            if (FileExists(file)) {
                try {
                    TRatingsArray rows = ParseRatingsFile(ReadFileBytes(file));
                    SortRatingRows(rows, ws->RatingsSortColumn(), ws->RatingsSortDescending());
                    ratings.Assign(std::move(rows));
                } catch (const Error& e) {
                    host.ShowError("Ошибка чтения файла рейтинга!\r\r" + std::string(e.what()));
                    return 1;
                }
            }
            if (ratings.Empty()) return Empty(c, "рейтинг пуст");
            return Write(c, host, path, RatingsSheet(ratings, ws->RatingsEffMode()));
        }
        case Grid::Card:
            if (ws->Archive().Empty()) return Empty(c, "архив тиражей пуст");
            return Write(c, host, path, WorkspaceCardSheet(*ws));
        case Grid::Layout:
            if (ws->Archive().Empty()) return Empty(c, "архив тиражей пуст");
            return Write(c, host, path,
                         WorkspaceLayoutSheet(*ws, ViewLength(*ws, "LayoutLen"),
                                              ViewFlag(*ws, "LayoutGradient")));
    }
    return 2;
}

int Draws(CommandContext& c) { return ExportGrid(c, Grid::Draws); }
int Combs(CommandContext& c) { return ExportGrid(c, Grid::Combs); }
int Stakes(CommandContext& c) { return ExportGrid(c, Grid::Stakes); }
int Ratings(CommandContext& c) { return ExportGrid(c, Grid::Ratings); }
int Card(CommandContext& c) { return ExportGrid(c, Grid::Card); }
int Layout(CommandContext& c) { return ExportGrid(c, Grid::Layout); }

// The table the statistics tab shows: its sample length (or --len), the
// offset, the draws order and the full-set comparison of the window, rows
// by count upwards.
int Stats(CommandContext& c) {
    const std::string lenText = c.TakeOption("--len", "");
    const std::string offsetText = c.TakeOption("--offset", "");
    if (!c.ExpectArgs(2, 2, {"КОД", "ФАЙЛ.xlsx"})) return 2;
    int len = 0, offset = 0;
    if ((!lenText.empty() && !c.ReadInt("--len", lenText, 1, INT32_MAX, len)) ||
        (!offsetText.empty() && !c.ReadInt("--offset", offsetText, 0, INT32_MAX, offset)))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const int method = ws->Stats().FindMethod(c.Args[0]);
    if (method < 0) return c.Refuse("нет метода расчета статистики с кодом " + c.Args[0]);
    if (ws->Archive().Empty()) return Empty(c, "архив тиражей пуст");
    if (offset > ws->Archive().Count() - 1)
        return c.Refuse("--offset: " + std::to_string(offset) + " вне диапазона 0.." +
                        std::to_string(ws->Archive().Count() - 1));
    TValueTableOptions o;
    o.SampleLength = len > 0 ? len : ViewLength(*ws, "DrawsStatLen");
    o.Offset = offset;
    o.Sorted = ws->SortedDraws();
    o.Prefetch = ViewFlag(*ws, "PrefetchsEnabled");
    o.Coefs = ws->Config().Coefs;
    TValueTable table = ComputeValueTable(ws->StatSource(), method, o);
    if (host.ErrorShown()) return 1;
    SortValueTable(table, vcCount, false);
    if (table.Rows.empty()) return Empty(c, "таблица статистики пуста");
    return Write(c, host, c.Args[1], WorkspaceStatsSheet(*ws, method, table, o.Prefetch));
}

}  // namespace

const std::vector<Command>& ExportCommands() {
    static const std::vector<Command> commands = {
        {"export", "draws", "ФАЙЛ.xlsx", Draws},
        {"export", "combs", "ФАЙЛ.xlsx", Combs},
        {"export", "stakes", "ФАЙЛ.xlsx", Stakes},
        {"export", "ratings", "ФАЙЛ.xlsx", Ratings},
        {"export", "stats", "КОД ФАЙЛ.xlsx [--len L] [--offset O]", Stats},
        {"export", "card", "ФАЙЛ.xlsx", Card},
        {"export", "layout", "ФАЙЛ.xlsx", Layout},
    };
    return commands;
}

}  // namespace tessara::cli
