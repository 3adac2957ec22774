// tessara-cli regulars ...: the list of regular stakes, stakes by its rules
// and their test over past draws.
#include <algorithm>
#include <climits>
#include <ostream>
#include <set>

#include "cli.h"
#include "model/encoding.h"
#include "model/game.h"
#include "stakes/regulars.h"
#include "stakes/stake_create.h"

namespace tessara::cli {

namespace {

bool ReadIntIn(const std::string& text, int lo, int hi, int& value) {
    int32_t v = 0;
    if (!TryStrToInt(Trim(text), v) || v < lo || v > hi) return false;
    value = v;
    return true;
}

int Done(const ConsoleHost& host, bool ok) { return ok && !host.ErrorShown() ? 0 : 1; }

// The workspace with the rules loaded whatever the desktop program's tab
// shows: on the command line the user asked for them.
std::unique_ptr<Workspace> OpenWithRules(CommandContext& c, ConsoleHost& host) {
    auto ws = c.OpenWorkspace(host);
    if (!ws) return nullptr;
    ws->LoadRatings();
    ws->Regulars().SetTabVisible(true);
    if (!ws->Regulars().Load()) return nullptr;
    return ws;
}

void PrintRule(std::ostream& out, const TRegularStake& r) {
    for (int col = 0; col < RegularColumnCount; ++col)
        out << (col > 0 ? "\t" : "") << RegularCellText(r, col);
    out << '\n';
}

// "1,3,5" as 0-based rows of a list of count rules.
bool ReadRows(const std::string& text, int count, std::vector<int>& rows) {
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == ',' || text[i] == ';') {
            int n = 0;
            if (!ReadIntIn(text.substr(start, i - start), 1, count, n)) return false;
            rows.push_back(n - 1);
            start = i + 1;
        }
    return !rows.empty();
}

int List(CommandContext& c) {
    if (!c.Args.empty()) {
        c.Err << "Использование: regulars list\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRules(c, host);
    if (!ws) return 1;
    for (int col = 0; col < RegularColumnCount; ++col)
        c.Out << (col > 0 ? "\t" : "") << RegularColumnCaption(col);
    c.Out << '\n';
    for (const TRegularStake& r : ws->Regulars().Rules()) PrintRule(c.Out, r);
    return Done(host, true);
}

int Add(CommandContext& c) {
    const bool hasComment = c.HasOption("--comment");
    const std::string comment = c.TakeOption("--comment", "");
    const std::string stepText = c.TakeOption("--step", "");
    const bool hasStart = c.HasOption("--start");
    const std::string startText = c.TakeOption("--start", "");
    const bool fromDraw = c.TakeFlag("--from-draw");
    int step = 0;
    if (!c.Args.empty() || !hasComment || hasStart == fromDraw ||
        !ReadIntIn(stepText, -MaxRegularStep, MaxRegularStep, step)) {
        c.Err << "Использование: regulars add --comment ТЕКСТ --step K "
                 "(--start \"a;b;c;d;e;f\" | --from-draw)\n";
        return 2;
    }
    if (Utf8Length(comment) > MaxStakeCommentLength) {
        c.Err << "Ошибка: комментарий длиннее " << MaxStakeCommentLength << " символов\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRules(c, host);
    if (!ws) return 1;
    TRegulars& regs = ws->Regulars();
    // A start typed here stands for the one combination the dialog would
    // have been given.
    TCombination start{};
    std::string message;
    if (CheckRegularDialog(hasStart, startText, comment, regs.Comments(), start, message) !=
        TRegularDialogCheck::Ok) {
        host.ShowError(message);
        return 1;
    }
    const TRegularStake proto = MakeRegular(comment, fromDraw, start, step);
    TCombList one;
    std::vector<std::pair<int64_t, int64_t>> selected;
    if (!fromDraw) {
        one.Reserve(1, 1);
        one[0] = start;
        selected = {{0, 0}};
    }
    const bool ok = regs.Add(proto, one, selected);
    if (ok) PrintRule(c.Out, regs[regs.Count() - 1]);
    return Done(host, ok);
}

int Delete(CommandContext& c) {
    if (c.TakeFlag("--yes")) c.Yes = true;
    std::vector<int> rows;
    for (const std::string& a : c.Args) {
        int n = 0;
        if (!ReadIntIn(a, 1, INT32_MAX, n)) {
            rows.clear();
            break;
        }
        rows.push_back(n - 1);
    }
    if (rows.empty()) {
        c.Err << "Использование: regulars delete N [N ...] --yes\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRules(c, host);
    if (!ws) return 1;
    for (int r : rows)
        if (r >= ws->Regulars().Count()) {
            c.Err << "Ошибка: в списке " << ws->Regulars().Count() << " регулярных ставок\n";
            return 1;
        }
    const bool ok = ws->Regulars().Delete(rows);
    c.Out << "Регулярных ставок: " << ws->Regulars().Count() << '\n';
    return Done(host, ok);
}

int Stake(CommandContext& c) {
    const std::string drawsText = c.TakeOption("--draws", "1");
    int row = 0, draws = 1;
    if (c.Args.size() != 1 || !ReadIntIn(c.Args[0], 1, INT32_MAX, row) ||
        !ReadIntIn(drawsText, 1, MaxStakeDraws, draws)) {
        c.Err << "Использование: regulars stake N [--draws K]\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRules(c, host);
    if (!ws) return 1;
    TRegulars& regs = ws->Regulars();
    if (row > regs.Count()) {
        c.Err << "Ошибка: в списке " << regs.Count() << " регулярных ставок\n";
        return 1;
    }
    const bool ok = regs.StakeByRule(*ws, row - 1, [&](TStakeRecord&, int& drawCount) {
        drawCount = draws;
        return true;
    });
    if (ok) PrintRule(c.Out, regs[row - 1]);
    c.Out << ws->StakesGrid().StatusText << '\n';
    return Done(host, ok);
}

int Test(CommandContext& c) {
    const std::string countText = c.TakeOption("--count", "");
    const std::string rulesText = c.TakeOption("--rules", "");
    constexpr const char* kUsage = "Использование: regulars test --count N [--rules 1,3,...]\n";
    int count = 0;
    if (!c.Args.empty() || !ReadIntIn(countText, 1, INT32_MAX, count)) {
        c.Err << kUsage;
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenWithRules(c, host);
    if (!ws) return 1;
    TRegulars& regs = ws->Regulars();
    std::vector<int> rows;
    if (rulesText.empty()) {
        for (int i = 0; i < regs.Count(); ++i) rows.push_back(i);
    } else if (!ReadRows(rulesText, regs.Count(), rows)) {
        c.Err << "Ошибка: номера регулярных ставок от 1 до " << regs.Count() << '\n';
        return 2;
    }
    if (rows.empty()) {
        c.Err << "Ошибка: список регулярных ставок пуст\n";
        return 1;
    }
    const int maximum = ws->Archive().Count() - 1;
    if (count > maximum) {
        c.Err << "Ошибка: количество тестов от 1 до " << std::max(maximum, 0) << '\n';
        return 2;
    }
    const int64_t before = ws->StakesCount();
    const bool ok = regs.Test(*ws, count, rows);
    c.Out << "Создано ставок: " << ws->StakesCount() - before << '\n';
    for (int r : std::set<int>(rows.begin(), rows.end())) PrintRule(c.Out, regs[r]);
    return Done(host, ok);
}

}  // namespace

const std::vector<Command>& RegularsCommands() {
    static const std::vector<Command> commands = {
        {"regulars", "list", "", List},
        {"regulars", "add", "--comment ТЕКСТ --step K (--start \"a;b;c;d;e;f\" | --from-draw)", Add},
        {"regulars", "delete", "N [N ...] --yes", Delete},
        {"regulars", "stake", "N [--draws K]", Stake},
        {"regulars", "test", "--count N [--rules 1,3,...]", Test},
    };
    return commands;
}

}  // namespace tessara::cli
