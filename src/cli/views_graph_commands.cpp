// tessara-cli views graph|repeats|sums: the draw graphs, the repeats analysis
// and the sum distribution as tables.
#include <ostream>
#include <set>

#include "cli.h"
#include "model/format.h"
#include "model/game.h"
#include "views/draw_graph.h"
#include "views/repeats.h"
#include "views/sum_distribution.h"

namespace tessara::cli {

namespace {

constexpr const char* kRepeatsSection = "TFormRepeats";

// Reads "--name N" with N at least min; def when absent. False after a
// message.
bool TakeCount(CommandContext& c, const char* name, int32_t def, int32_t min, int32_t& value) {
    const std::string text = c.TakeOption(name, std::to_string(def));
    if (TryStrToInt(text, value) && value >= min) return true;
    c.Err << "Ошибка: " << name << " должен быть целым числом не меньше " << min << "\n";
    return false;
}

int32_t ViewInteger(const Workspace& ws, const char* section, const char* key, int32_t def) {
    try {
        return ws.View().ReadInteger(section, key, def);
    } catch (const std::exception&) {
        return def;  // an unreadable view-state file was reported on opening
    }
}

int Graph(CommandContext& c) {
    const bool sortedFlag = c.TakeFlag("--sorted");
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    int32_t len = 0, offset = 0;
    if (!TakeCount(c, "--len", ViewInteger(*ws, MainWindowSection, "DrawsGraphLen", 100), 1, len) ||
        !TakeCount(c, "--offset", 0, 0, offset))
        return 2;
    if (c.Args.size() != 1) {
        c.Err << "Использование: views graph КОД [--len L] [--offset O] [--sorted]\n";
        return 2;
    }
    const TStatList& stats = ws->Stats();
    const int method = stats.FindMethod(c.Args[0]);
    if (method < 0) {
        c.Err << "Ошибка: нет метода расчета статистики с кодом " << c.Args[0] << "\n";
        return 1;
    }
    if (!stats.HasGraph(method)) {
        c.Err << "Ошибка: у метода " << c.Args[0] << " нет графика\n";
        return 1;
    }
    const std::string title = stats.ListCaption(method, true);
    const TDrawGraph g = ComputeDrawGraph(stats, method, len, offset,
                                          sortedFlag || ws->SortedDraws(), title);
    c.Out << "Тираж\t" << title << '\t' << DrawGraphMeanTitle << '\t' << DrawGraphModeTitle
          << '\n';
    const std::string mean = FormatFixed(g.Mean, 2);
    for (const TGraphPoint& p : g.Values.Points)
        c.Out << p.Label << '\t' << static_cast<int64_t>(p.Y) << '\t' << mean << '\t' << g.Mode
              << '\n';
    return 0;
}

int Repeats(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    int32_t len = 0, deep = 0;
    if (!TakeCount(c, "--len",
                   ViewInteger(*ws, kRepeatsSection, "DrawsLength", RepeatsDefaultLength), 1, len) ||
        !TakeCount(c, "--deep", ViewInteger(*ws, kRepeatsSection, "DrawsDeep", RepeatsDefaultDeep),
                   1, deep))
        return 2;
    if (!c.Args.empty()) {
        c.Err << "Использование: views repeats [--len L] [--deep D]\n";
        return 2;
    }
    const TRepeatsAnalysis a = AnalyzeRepeats(ws->Archive().Draws(), len, deep);
    c.Out << RepeatsColumns[0] << '\t' << RepeatsColumns[1] << '\t' << RepeatsColumns[2] << '\t'
          << RepeatsColumns[3] << '\n';
    for (const TRepeatsRow& r : a.Rows)
        c.Out << r.DrawNo << '\t' << r.Matches << '\t' << r.Repeats << '\t' << r.Draws << '\n';
    return 0;
}

int Sums(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    if (!c.Args.empty()) {
        c.Err << "Использование: views sums\n";
        return 2;
    }
    const TSumDistribution d = ComputeSumDistribution(ws->Archive().Draws());
    std::set<int32_t> sums;
    for (const TStatSimple& s : d.Theory) sums.insert(s.Key);
    for (const TStatSimple& s : d.Actual) sums.insert(s.Key);
    const double scale = d.Scale();
    // The window plots the theoretical counts on the scale of the actual
    // ones under the theoretical title; the raw counts come before them.
    c.Out << "Сумма\t" << SumsActualTitle << "\tКомбинаций\t" << SumsTheoryTitle << '\n';
    for (int32_t sum : sums) {
        const int32_t theory = SumCount(d.Theory, sum);
        c.Out << sum << '\t' << SumCount(d.Actual, sum) << '\t' << theory << '\t'
              << FormatFixed(theory * scale, 2) << '\n';
    }
    for (int level = 1; level <= 3; ++level) c.Out << SumLevelTitle(d, level) << '\n';
    return 0;
}

}  // namespace

const std::vector<Command>& ViewsGraphCommands() {
    static const std::vector<Command> commands = {
        {"views", "graph", "КОД [--len L] [--offset O] [--sorted]", Graph},
        {"views", "repeats", "[--len L] [--deep D]", Repeats},
        {"views", "sums", "", Sums},
    };
    return commands;
}

}  // namespace tessara::cli
