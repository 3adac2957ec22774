// tessara-cli combs ...: the combination list without a window. Each command
// starts from a list file (--list) or from a generated list (--mode and
// --params, or the configured defaults).
#include <ostream>

#include "cli.h"
#include "model/encoding.h"
#include "model/game.h"
#include "stats/filter.h"
#include "stats/value_table.h"

namespace tessara::cli {

namespace {

// The start list's options, taken from the arguments before the workspace
// opens, so that a bad one is refused before any work.
struct StartOptions {
    std::string List;
    std::string Mode;
    std::string Params;
    bool HasParams = false;
};

bool TakeStartOptions(CommandContext& c, StartOptions& s) {
    s.List = c.TakeOption("--list", "");
    s.Mode = c.TakeOption("--mode", "");
    s.HasParams = c.HasOption("--params");
    s.Params = c.TakeOption("--params", "");
    int mode = 0;
    if (!s.Mode.empty() && !c.ReadInt("--mode", s.Mode, gmFull, gmFromFile, mode)) return false;
    if (!s.List.empty() && (!s.Mode.empty() || s.HasParams)) {
        c.Refuse("--list не совместим с --mode и --params");
        return false;
    }
    return true;
}

// Builds the start list; false after an error already reported.
bool StartList(const StartOptions& s, Workspace& ws) {
    TCombsGenerateParams params = ws.GenerateDefaults();
    if (!s.Mode.empty()) params.Mode = static_cast<uint8_t>(StrToIntDef(s.Mode, 0));
    if (s.HasParams) params.Parameters = s.Params;
    ws.ReserveCombs(ws.TotalCombs(), 0);
    if (!s.List.empty()) return ws.LoadCombsList(s.List);
    return ws.GenerateCombs(false, params);
}

bool WriteOut(Workspace& ws, const std::string& out) {
    if (out.empty()) return true;
    return ws.SaveCombsList(out);
}

int Generate(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    StartOptions start;
    if (!TakeStartOptions(c, start) || !c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws || !StartList(start, *ws)) return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return WriteOut(*ws, out) ? 0 : 1;
}

int Show(CommandContext& c) {
    int limit = -1;
    const std::string limitText = c.TakeOption("--limit", "");
    StartOptions start;
    if ((!limitText.empty() && !c.ReadInt("--limit", limitText, 0, INT32_MAX, limit)) ||
        !TakeStartOptions(c, start) || !c.ExpectArgs(0, 0, {}))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws || !StartList(start, *ws)) return 1;
    c.Out << "№ п.п.\t1\t2\t3\t4\t5\t6\tS\n";
    const int64_t rows = limit < 0 ? ws->CombsCount() : std::min<int64_t>(limit, ws->CombsCount());
    for (int64_t r = 0; r < rows; ++r) {
        const TCombination& comb = ws->Combs()[r];
        int sum = 0;
        c.Out << r + 1;
        for (uint8_t n : comb.n) {
            c.Out << '\t' << int(n);
            sum += n;
        }
        c.Out << '\t' << sum << '\n';
    }
    return 0;
}

int Exclude(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    int offset = 0, n = 0;
    StartOptions start;
    if (!c.ReadInt("--offset", c.TakeOption("--offset", "0"), 0, INT32_MAX, offset) ||
        !TakeStartOptions(c, start) || !c.ExpectArgs(1, 1, {"N"}) ||
        !c.ReadInt("N", c.Args[0], 0, INT32_MAX, n))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws || !StartList(start, *ws)) return 1;
    ws->SetDrawsOffset(offset);
    if (!ws->ExcludeLastDraws(n)) return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return WriteOut(*ws, out) ? 0 : 1;
}

int Numbers(CommandContext& c) {
    StartOptions start;
    if (!TakeStartOptions(c, start) || !c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws || !StartList(start, *ws)) return 1;
    c.Out << CountDistinctNumbers(ws->Combs().Data(), ws->CombsCount()) << '\n';
    return 0;
}

int Find(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"\"n1;n2;n3;n4;n5;n6\""})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    TCombination comb;
    try {
        comb = ParseCombination(c.Args[0]);
    } catch (const std::exception& e) {
        host.ShowError(e.what());
        return 1;
    }
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    for (const std::string& line : ws->FindCombInDraws(comb)) c.Out << line << '\n';
    return 0;
}

int Filter(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    const std::string in = c.TakeOption("--in", "");
    if (!in.empty()) c.Args.insert(c.Args.end(), {"--list", in});
    const std::string values = c.TakeOption("--values", "");
    const bool keep = c.TakeFlag("--keep");
    const bool remove = c.TakeFlag("--remove");
    int len = -1, offset = 0;
    const std::string lenText = c.TakeOption("--len", "");
    StartOptions start;
    if ((!lenText.empty() && !c.ReadInt("--len", lenText, 1, INT32_MAX, len)) ||
        !c.ReadInt("--offset", c.TakeOption("--offset", "0"), 0, INT32_MAX, offset) ||
        !TakeStartOptions(c, start))
        return 2;
    if (keep == remove) return c.Refuse("нужен один из параметров --keep или --remove");
    if (Trim(values).empty()) return c.Refuse("--values: не указаны значения");
    if (!c.ExpectArgs(1, 1, {"КОД"})) return 2;
    const std::string code = c.Args[0];
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const int method = ws->Stats().FindMethod(code);
    if (method < 0) {
        c.Err << "Ошибка: нет метода расчета статистики с кодом " << code << "\n";
        return 1;
    }
    if (!StartList(start, *ws)) return 1;
    ws->SetDrawsOffset(offset);
    TValueTableOptions o;
    o.SampleLength = len > 0 ? len : ws->View().ReadInteger(MainWindowSection, "DrawsStatLen", 1000);
    o.Offset = ws->DrawsOffset();
    o.Sorted = ws->SortedDraws();
    o.Coefs = ws->Config().Coefs;
    const TValueTable table = ComputeValueTable(ws->StatSource(), method, o);
    auto stat = ws->Stats().CreateStat(method);
    TStatDrawArray selected;
    std::vector<std::string> texts;
    size_t pos = 0;
    while (pos <= values.size()) {
        const size_t end = std::min(values.find(';', pos), values.size());
        const std::string v(Trim(std::string_view(values).substr(pos, end - pos)));
        pos = end + 1;
        if (v.empty()) continue;
        const TValueTableRow* found = nullptr;
        for (const TValueTableRow& r : table.Rows)
            if (r.Cells[vcValue] == v) found = &r;
        if (!found && ws->Stats().Items(method).Class->HasNumericValues) {
            int32_t x;
            if (TryStrToInt(v, x))
                for (const TValueTableRow& r : table.Rows)
                    if (stat->ParseValue(r.Cells[vcValue]) == x) found = &r;
        }
        if (!found) {
            c.Err << "Ошибка: значения " << v << " нет в таблице статистики\n";
            return 1;
        }
        selected.push_back(found->Row);
        texts.push_back(found->Cells[vcValue]);
    }
    if (!ApplyStatFilter(*ws, method, selected, texts, remove, ws->Stats().ListCaption(method, true)))
        return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return WriteOut(*ws, out) ? 0 : 1;
}

}  // namespace

const std::vector<Command>& CombsCommands() {
    static const std::vector<Command> commands = {
        {"combs", "generate", "[--mode M] [--params ТЕКСТ] [--out ФАЙЛ.lcv]", Generate},
        {"combs", "show", "[--list ФАЙЛ.lcv | --mode M --params ТЕКСТ] [--limit N]", Show},
        {"combs", "exclude", "N [--offset K] [--list ФАЙЛ.lcv] [--out ФАЙЛ.lcv]", Exclude},
        {"combs", "numbers", "[--list ФАЙЛ.lcv | --mode M --params ТЕКСТ]", Numbers},
        {"combs", "find", "\"n1;n2;n3;n4;n5;n6\"", Find},
        {"combs", "filter",
         "КОД --values \"v1;v2\" (--keep|--remove) [--len L] [--offset O] [--in ФАЙЛ.lcv] [--out ФАЙЛ.lcv]",
         Filter},
    };
    return commands;
}

}  // namespace tessara::cli
