// tessara-cli combs ...: the combination list without a window. Each command
// starts from a list file (--list) or from a generated list (--mode and
// --params, or the configured defaults).
#include <ostream>

#include "cli.h"
#include "model/game.h"

namespace tessara::cli {

namespace {

// Builds the start list; false after an error already reported.
bool StartList(CommandContext& c, Workspace& ws) {
    const std::string list = c.TakeOption("--list", "");
    TCombsGenerateParams params = ws.GenerateDefaults();
    const std::string mode = c.TakeOption("--mode", "");
    if (!mode.empty()) {
        int32_t m;
        if (!TryStrToInt(mode, m) || m < 0 || m > 255) {
            c.Err << "Ошибка: --mode должен быть числом от 0 до 4\n";
            return false;
        }
        params.Mode = static_cast<uint8_t>(m);
    }
    params.Parameters = c.TakeOption("--params", params.Parameters);
    ws.ReserveCombs(ws.TotalCombs(), 0);
    if (!list.empty()) return ws.LoadCombsList(list);
    return ws.GenerateCombs(false, params);
}

bool WriteOut(Workspace& ws, const std::string& out) {
    if (out.empty()) return true;
    return ws.SaveCombsList(out);
}

int Generate(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws || !StartList(c, *ws)) return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return WriteOut(*ws, out) ? 0 : 1;
}

int Show(CommandContext& c) {
    int32_t limit = -1;
    const std::string limitText = c.TakeOption("--limit", "");
    if (!limitText.empty() && !TryStrToInt(limitText, limit)) {
        c.Err << "Ошибка: --limit должен быть целым числом\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws || !StartList(c, *ws)) return 1;
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
    int32_t offset = 0, n = 0;
    if (!TryStrToInt(c.TakeOption("--offset", "0"), offset) || c.Args.empty() ||
        !TryStrToInt(c.Args[0], n) || n < 0) {
        c.Err << "Использование: combs exclude N [--offset K] [--list ФАЙЛ] [--out ФАЙЛ]\n";
        return 2;
    }
    c.Args.erase(c.Args.begin());
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws || !StartList(c, *ws)) return 1;
    ws->SetDrawsOffset(offset);
    if (!ws->ExcludeLastDraws(n)) return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return WriteOut(*ws, out) ? 0 : 1;
}

int Numbers(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws || !StartList(c, *ws)) return 1;
    c.Out << CountDistinctNumbers(ws->Combs().Data(), ws->CombsCount()) << '\n';
    return 0;
}

int Find(CommandContext& c) {
    if (c.Args.size() != 1) {
        c.Err << "Использование: combs find \"n1;n2;n3;n4;n5;n6\"\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    TCombination comb;
    try {
        comb = ParseCombination(c.Args[0]);
    } catch (const std::exception& e) {
        host.ShowError(e.what());
        return 1;
    }
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    for (const std::string& line : ws->FindCombInDraws(comb)) c.Out << line << '\n';
    return 0;
}

}  // namespace

const std::vector<Command>& CombsCommands() {
    static const std::vector<Command> commands = {
        {"combs", "generate", "[--mode M] [--params ТЕКСТ] [--out ФАЙЛ.lcv]", Generate},
        {"combs", "show", "[--list ФАЙЛ.lcv | --mode M --params ТЕКСТ] [--limit N]", Show},
        {"combs", "exclude", "N [--offset K] [--list ФАЙЛ.lcv] [--out ФАЙЛ.lcv]", Exclude},
        {"combs", "numbers", "[--list ФАЙЛ.lcv | --mode M --params ТЕКСТ]", Numbers},
        {"combs", "find", "\"n1;n2;n3;n4;n5;n6\"", Find},
    };
    return commands;
}

}  // namespace tessara::cli
