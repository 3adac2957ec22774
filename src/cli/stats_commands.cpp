// tessara-cli stats ...: the statistic registry and the values of draws.
#include <ostream>

#include "cli.h"
#include "model/encoding.h"
#include "model/game.h"
#include "model/format.h"
#include "stats/prefetch.h"
#include "stats/stat_list.h"
#include "stats/value_table.h"

namespace tessara::cli {

namespace {

int Methods(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const TStatList& list = ws->Stats();
    c.Out << "Код\tНазвание\tГруппа\tПараметр\n";
    for (int i = 0; i < list.Count(); ++i) {
        const TStatMethod& m = list.Items(i);
        c.Out << m.Code() << '\t' << list.ListCaption(i, true) << '\t'
              << StatGroupId(m.Class->Group) << '\t' << m.Param << '\n';
    }
    return 0;
}

int Values(CommandContext& c) {
    const bool sortedFlag = c.TakeFlag("--sorted");
    int drawNo;
    if (!c.ExpectArgs(2, 2, {"КОД", "НОМЕР_ТИРАЖА"}) ||
        !c.ReadInt("НОМЕР_ТИРАЖА", c.Args[1], 1, INT32_MAX, drawNo))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const int method = ws->Stats().FindMethod(c.Args[0]);
    if (method < 0) {
        c.Err << "Ошибка: нет метода расчета статистики с кодом " << c.Args[0] << "\n";
        return 1;
    }
    const int index = ws->Archive().FindDrawIndex(drawNo);
    if (index < 0) {
        c.Err << "Ошибка: тираж " << drawNo << " не найден в архиве\n";
        return 1;
    }
    const bool sorted = sortedFlag || ws->SortedDraws();
    auto stat = ws->Stats().CreateStat(method);
    TStatDrawArray rows;
    TStatScratch scratch{};
    TLastValueArray lastValues;
    // The draw is the last of its sample; a statistic that depends on a
    // reference draw compares it with the draw before it.
    stat->AddDrawValues(index, index, sorted, rows, scratch, lastValues);
    c.Out << "Значение\tКоличество\n";
    for (const TStatDraw& r : rows) c.Out << stat->ValueToText(r) << '\t' << r.Count << '\n';
    if (ws->Stats().HasGraph(method))
        c.Out << "График:\t" << stat->DrawGraphValue(index, index, sorted) << '\n';
    return 0;
}

// Reads the table options shared by the commands that compute a table.
bool TableOptions(CommandContext& c, Workspace& ws, TValueTableOptions& o) {
    int len = ws.View().ReadInteger(MainWindowSection, "DrawsStatLen", 1000), offset = 0;
    if (!c.ReadInt("--len", c.TakeOption("--len", std::to_string(len)), 1, INT32_MAX, len) ||
        !c.ReadInt("--offset", c.TakeOption("--offset", "0"), 0, INT32_MAX, offset))
        return false;
    o.SampleLength = len;
    o.Offset = offset;
    o.Sorted = c.TakeFlag("--sorted") || ws.SortedDraws();
    o.Prefetch = c.TakeFlag("--prefetch");
    o.Coefs = ws.Config().Coefs;
    return true;
}

// The sort column by its caption (any case) or its number from 1; -1 when
// neither.
int FindValueColumn(const std::string& text) {
    int32_t number = 0;
    if (TryStrToInt(text, number)) return number >= 1 && number <= ValueColumnCount ? number - 1 : -1;
    for (int col = 0; col < ValueColumnCount; ++col)
        if (SameTextIgnoreCase(text, ValueColumnCaption(col))) return col;
    return -1;
}

int Table(CommandContext& c) {
    const std::string sortColumn = c.TakeOption("--sort", "Количество");
    const bool descending = c.TakeFlag("--desc");
    const int column = FindValueColumn(sortColumn);
    if (column < 0) {
        std::string valid;
        for (int col = 0; col < ValueColumnCount; ++col)
            valid += "\n  " + std::to_string(col + 1) + " " + ValueColumnCaption(col);
        return c.Refuse("--sort: нет столбца \"" + sortColumn + "\"; столбцы (номер или название):" + valid);
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    TValueTableOptions o;
    if (!TableOptions(c, *ws, o)) return 2;
    if (!c.ExpectArgs(1, 1, {"КОД"})) return 2;
    const int method = ws->Stats().FindMethod(c.Args[0]);
    if (method < 0) {
        c.Err << "Ошибка: нет метода расчета статистики с кодом " << c.Args[0] << "\n";
        return 1;
    }
    TValueTable table = ComputeValueTable(ws->StatSource(), method, o);
    SortValueTable(table, column, descending);
    const bool norms = table.HasPrefetch;
    bool first = true;
    for (int col = 0; col < ValueColumnCount; ++col)
        if (norms || !IsNormColumn(col)) {
            c.Out << (first ? "" : "\t") << ValueColumnCaption(col);
            first = false;
        }
    c.Out << '\n';
    for (const TValueTableRow& r : table.Rows) {
        first = true;
        for (int col = 0; col < ValueColumnCount; ++col)
            if (norms || !IsNormColumn(col)) {
                c.Out << (first ? "" : "\t") << r.Cells[static_cast<size_t>(col)];
                first = false;
            }
        c.Out << '\n';
    }
    return host.ErrorShown() ? 1 : 0;
}

int PrefetchBuild(CommandContext& c) {
    const bool all = c.TakeFlag("--all");
    const bool missing = c.TakeFlag("--missing");
    if (all && missing) return c.Refuse("--all и --missing не совместимы");
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    ws->ReserveCombs(ws->TotalCombs(), 0);
    std::set<int> groups;
    if (all)
        for (int g = 0; g < StatGroupCount; ++g) groups.insert(g);
    BuildPrefetchFiles(*ws, true, groups, true);
    return host.ErrorShown() ? 1 : 0;
}

}  // namespace

const std::vector<Command>& PrefetchCommands() {
    static const std::vector<Command> commands = {
        {"prefetch", "build", "[--all | --missing]", PrefetchBuild},
    };
    return commands;
}

const std::vector<Command>& StatsCommands() {
    static const std::vector<Command> commands = {
        {"stats", "methods", "", Methods},
        {"stats", "values", "КОД НОМЕР_ТИРАЖА [--sorted]", Values},
        {"stats", "table", "КОД [--len L] [--offset O] [--sorted] [--prefetch] [--sort СТОЛБЕЦ] [--desc]", Table},
    };
    return commands;
}

}  // namespace tessara::cli
