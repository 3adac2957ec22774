// tessara-cli scenario ...: scenario files without the editor.
#include <atomic>
#include <csignal>
#include <ostream>
#include <set>

#include <fmt/format.h>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "scenario/filter_sets.h"
#include "scenario/scenario_run.h"
#include "stakes/ratings.h"
#include "scenario/script_line.h"

namespace tessara::cli {

namespace {

bool ReadScenario(CommandContext& c, const std::string& path, std::vector<std::string>& lines) {
    try {
        lines = ParseScenarioText(ReadFileBytes(path));
        return true;
    } catch (const Error& e) {
        c.Err << "Ошибка: " << ConsoleText("Ошибка чтения файла \"" + path + "\"!\r\r" + e.what()) << "\n";
        return false;
    }
}

int Show(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.lsc"})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    std::vector<std::string> lines;
    if (!ReadScenario(c, c.Args[0], lines)) return 1;
    c.Out << "№\tКомментарии\tОпции";
    for (int n = 1; n <= MaxLineFilters; ++n) c.Out << "\tФильтр " << n;
    c.Out << '\n';
    int number = 0;
    for (const std::string& line : lines) {
        c.Out << ++number;
        if (Trim(line).empty()) {
            c.Out << "\t\t" << std::string(MaxLineFilters, '\t') << '\n';
            continue;
        }
        c.Out << '\t' << ScriptLineComment(line) << '\t'
              << DescribeScriptOptions(ParseScriptOptions(ScriptLineOptions(line)));
        for (int n = 1; n <= MaxLineFilters; ++n)
            c.Out << '\t' << FormatFilterItem(ParseFilterItem(ScriptLineFilter(line, n), ws->Stats()));
        c.Out << '\n';
    }
    return 0;
}

int Sets(CommandContext& c) {
    int lineNo = 0;
    if (!c.ExpectArgs(2, 2, {"ФАЙЛ.lsc", "НОМЕР_СТРОКИ"}) ||
        !c.ReadInt("НОМЕР_СТРОКИ", c.Args[1], 1, INT32_MAX, lineNo))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    std::vector<std::string> lines;
    if (!ReadScenario(c, c.Args[0], lines)) return 1;
    if (lineNo < 1 || lineNo > static_cast<int>(lines.size())) {
        c.Err << "Ошибка: в сценарии нет строки " << lineNo << "\n";
        return 1;
    }
    const std::string& line = lines[static_cast<size_t>(lineNo - 1)];
    std::vector<TFilterItem> items;
    for (int n = 1; n <= MaxLineFilters; ++n) {
        TFilterItem item = ParseFilterItem(ScriptLineFilter(line, n), ws->Stats());
        if (item.Used) items.push_back(std::move(item));
    }
    try {
        TFilterSetGenerator sets(items);
        TFilterRec rec;
        uint64_t number = 0;
        while (sets.Next(rec)) c.Out << ++number << '\t' << FormatFilterRec(rec) << '\n';
        c.Out << "Вариантов: " << sets.Count() << '\n';
    } catch (const Error& e) {
        host.ShowError(e.what());
        return 1;
    }
    return 0;
}

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) { interrupted = true; }

// The console around a run: Ctrl+C asks for the stop the way the stop
// command does, and the progress goes to stderr whenever the line or the
// free panel changes.
class RunConsole : public ConsoleHost, public TScenarioObserver {
public:
    RunConsole(std::ostream& err, bool yes) : ConsoleHost(err, yes), err_(err) {}
    void ProcessEvents() override {
        if (interrupted.exchange(false) && Runner && Runner->RequestStop()) Interrupted = true;
    }
    void RunStateChanged(const TRunState& s) override {
        const std::string text = fmt::format("Цикл: {}\tСтрока: {}\tСтавок: {}\t{}", s.CycleNo, s.LineNo,
                                             s.StakesMade, s.Text);
        if (text == last_) return;
        last_ = text;
        err_ << text << '\n';
    }
    TScenarioRunner* Runner = nullptr;
    bool Interrupted = false;

private:
    std::ostream& err_;
    std::string last_;
};

int RunOrTest(CommandContext& c, bool test) {
    int count = 0;
    if (test) {
        if (!c.HasOption("--count")) return c.Refuse("не указан --count N");
        if (!c.ReadInt("--count", c.TakeOption("--count", ""), 1, INT32_MAX, count)) return 2;
    }
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.lsc"})) return 2;
    RunConsole console(c.Err, c.Yes);
    // A line may start from the current list: the one the window starts with.
    auto ws = c.OpenWithList(console);
    if (!ws) return 1;
    ws->LoadRatings();
    std::vector<std::string> lines;
    if (!ReadScenario(c, c.Args[0], lines)) return 1;
    if (ws->Archive().Empty()) {
        c.Err << "Ошибка: архив тиражей пуст\n";
        return 1;
    }
    if (test && count > TScenarioRunner::MaxTestCount(*ws)) {
        c.Err << "Ошибка: тестов может быть не более " << TScenarioRunner::MaxTestCount(*ws) << "\n";
        return 1;
    }
    TScenarioRunner runner(*ws, &console);
    console.Runner = &runner;
    interrupted = false;
    auto previous = std::signal(SIGINT, OnInterrupt);
    const bool ok = test ? runner.Test(lines, count) : runner.Forecast(lines);
    std::signal(SIGINT, previous);

    c.Out << "Тираж\tЧисла\tКомментарий\n";
    std::set<std::string> notes;
    for (const TRunStake& s : runner.StakesOfRun()) {
        std::string numbers;
        for (int n : s.Numbers) numbers += (numbers.empty() ? "" : " ") + std::to_string(n);
        c.Out << s.Draw << '\t' << numbers << '\t' << s.Note << '\n';
        notes.insert(s.Note);
    }
    c.Out << "Ставок: " << runner.StakesOfRun().size() << "\n\n";
    for (int col = 0; col < RatingColumnCount; ++col) c.Out << (col ? "\t" : "") << RatingColumnCaption(col);
    c.Out << '\n';
    for (const TRatingRecord& r : ws->Ratings().Rows()) {
        if (!notes.count(RatingName(r))) continue;
        const auto texts = RatingRowTexts(r, ws->RatingsEffMode());
        for (size_t col = 0; col < texts.size(); ++col) c.Out << (col ? "\t" : "") << texts[col];
        c.Out << '\n';
    }
    // An interrupted run ends like a stopped one, with the shell's code for Ctrl+C.
    if (console.Interrupted) return 130;
    return ok && !console.ErrorShown() ? 0 : 1;
}

int Run(CommandContext& c) { return RunOrTest(c, false); }
int Test(CommandContext& c) { return RunOrTest(c, true); }

}  // namespace

const std::vector<Command>& ScenarioCommands() {
    static const std::vector<Command> commands = {
        {"scenario", "show", "ФАЙЛ.lsc", Show},
        {"scenario", "sets", "ФАЙЛ.lsc НОМЕР_СТРОКИ", Sets},
        {"scenario", "run", "ФАЙЛ.lsc", Run},
        {"scenario", "test", "ФАЙЛ.lsc --count N", Test},
    };
    return commands;
}

}  // namespace tessara::cli
