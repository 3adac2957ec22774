// tessara-cli views card|layout|layout-compare|week and combs filter-numbers:
// the draw card, the layout scheme, the week statistics and their number
// filter without a window, printed as the grids show them.
#include <algorithm>
#include <cstdint>
#include <ostream>

#include "base/view_keys.h"
#include "cli.h"
#include "model/encoding.h"
#include "model/game.h"
#include "views/draw_card.h"
#include "views/layout_scheme.h"
#include "views/number_filter.h"
#include "views/week_stats.h"

namespace tessara::cli {

namespace {

// An integer option within [min, max]; def when absent. False after a message.
bool IntOption(CommandContext& c, const char* name, int min, int max, int def, int& value) {
    const std::string text = c.TakeOption(name, "");
    value = def;
    if (text.empty()) return true;
    int32_t v;
    if (!TryStrToInt(text, v) || v < min || v > max) {
        c.Err << "Ошибка: " << name << " должен быть целым числом от " << min << " до " << max
              << "\n";
        return false;
    }
    value = v;
    return true;
}

// The draws offset of a view, given as text before the workspace opened:
// 0 up to the archive's last index.
bool ApplyOffset(CommandContext& c, const std::string& text, Workspace& ws) {
    if (text.empty()) return true;
    const int max = std::max(ws.Archive().Count() - 1, 0);
    int32_t v;
    if (!TryStrToInt(text, v) || v < 0 || v > max) {
        c.Err << "Ошибка: --offset должен быть целым числом от 0 до " << max << "\n";
        return false;
    }
    ws.SetDrawsOffset(v);
    return true;
}

int ViewLength(const Workspace& ws, const char* key) {
    return std::max(ws.View().ReadInteger(MainWindowSection, key, MainViewDefault(key)), 1);
}

bool NoArgsLeft(CommandContext& c, const char* usage) {
    if (c.Args.empty()) return true;
    c.Err << "Использование: " << usage << "\n";
    return false;
}

int Card(CommandContext& c) {
    int limit;
    if (!IntOption(c, "--limit", 0, INT32_MAX, -1, limit) ||
        !NoArgsLeft(c, "views card [--limit N]"))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const TDrawsArray& draws = ws->Archive().Draws();
    c.Out << "Тираж";
    for (int col = 1; col < CardColumnCount; ++col) c.Out << '\t' << CardCellText(draws, 0, col);
    c.Out << '\n';
    const int rows = ws->Archive().Count();
    for (int row = 1; row <= (limit < 0 ? rows : std::min(limit, rows)); ++row) {
        c.Out << CardCellText(draws, row, 0);
        for (int col = 1; col < CardColumnCount; ++col) c.Out << '\t' << CardCellText(draws, row, col);
        c.Out << '\n';
    }
    return 0;
}

int Layout(CommandContext& c) {
    int len;
    if (!IntOption(c, "--len", 1, INT32_MAX, 0, len)) return 2;
    const std::string offsetText = c.TakeOption("--offset", "");
    if (!NoArgsLeft(c, "views layout [--len L] [--offset O]")) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (!ApplyOffset(c, offsetText, *ws)) return 2;
    if (len == 0) len = ViewLength(*ws, "LayoutLen");
    const TLayoutScheme s = BuildLayoutScheme(ws->Archive().Draws(), ws->DrawsOffset(), len,
                                              ws->Archive().NextDrawResultSet(ws->DrawsOffset()));
    for (int32_t drawNo : s.LastDraws) c.Out << '\t' << drawNo;
    c.Out << '\n';
    for (size_t r = 0; r < s.Counts.size(); ++r) {
        c.Out << s.Counts[r];
        for (const std::string& cell : s.Cells[r]) c.Out << '\t' << cell;
        c.Out << '\n';
    }
    return 0;
}

int LayoutCompare(CommandContext& c) {
    const std::string lensText = c.TakeOption("--lens", "");
    const std::string offsetText = c.TakeOption("--offset", "");
    const char* usage = "views layout-compare [--lens 50,100,200,300,400] [--offset O]";
    if (!NoArgsLeft(c, usage)) return 2;
    std::vector<int> lens;
    if (!lensText.empty()) {
        const TIntArray list = ParseIntList(lensText);
        bool ok = list.size() == 5 && lensText.find('-') == std::string::npos;
        for (int32_t l : list) ok = ok && l >= 1;
        if (!ok) {
            c.Err << "Ошибка: --lens должен содержать пять чисел от 1, через запятую\n";
            return 2;
        }
        lens.assign(list.begin(), list.end());
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (!ApplyOffset(c, offsetText, *ws)) return 2;
    if (lens.empty())
        for (const char* key : {"LayoutCompareLen1", "LayoutCompareLen2", "LayoutCompareLen3",
                                "LayoutCompareLen4", "LayoutCompareLen5"})
            lens.push_back(ViewLength(*ws, key));
    for (size_t i = 0; i < lens.size(); ++i) {
        const TLayoutCompareList list =
            BuildLayoutCompare(ws->Archive().Draws(), ws->DrawsOffset(), lens[i]);
        if (i > 0) c.Out << '\n';
        c.Out << "Кол-во\t" << list.Caption << '\n';
        for (const auto& [count, numbers] : list.Rows) c.Out << count << '\t' << numbers << '\n';
    }
    return 0;
}

int Week(CommandContext& c) {
    int len;
    if (!IntOption(c, "--len", 1, INT32_MAX, 0, len)) return 2;
    const std::string offsetText = c.TakeOption("--offset", "");
    if (!NoArgsLeft(c, "views week [--len L] [--offset O]")) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (!ApplyOffset(c, offsetText, *ws)) return 2;
    if (len == 0) len = ViewLength(*ws, "WeekLen");
    const TWeekStats s = ComputeWeekStats(ws->Archive().Draws(), ws->DrawsOffset(), len);
    for (int n = 1; n <= MaxNumber; ++n) c.Out << '\t' << n;
    c.Out << '\n';
    for (int day = 1; day <= DaysInWeek; ++day) {
        c.Out << WeekdayShortName(day);
        for (int n = 1; n <= MaxNumber; ++n) {
            c.Out << '\t';
            if (s.Count[n][day] > 0) c.Out << s.Count[n][day];
        }
        c.Out << '\n';
    }
    return 0;
}

int FilterNumbers(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    const std::string in = c.TakeOption("--in", "");
    const std::string caption = c.TakeOption("--caption", CardCaption);
    const bool keep = c.TakeFlag("--keep");
    const bool remove = c.TakeFlag("--remove");
    std::vector<int> numbers;
    bool ok = keep != remove && c.Args.size() == 1;
    if (ok) {
        // The numbers as "5;12" or "5,12".
        const std::string& text = c.Args[0];
        size_t pos = 0;
        while (ok && pos <= text.size()) {
            const size_t end = std::min(text.find_first_of(";,", pos), text.size());
            const std::string_view word = Trim(std::string_view(text).substr(pos, end - pos));
            pos = end + 1;
            if (word.empty()) continue;
            int32_t n;
            ok = TryStrToInt(word, n) && n >= 1 && n <= MaxNumber;
            if (ok) numbers.push_back(n);
        }
        ok = ok && !numbers.empty();
    }
    if (!ok) {
        c.Err << "Использование: combs filter-numbers \"n1;n2\" (--keep|--remove) [--caption ТЕКСТ] "
                 "[--in ФАЙЛ.lcv] [--out ФАЙЛ.lcv]  (числа от 1 до 42)\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    ws->ReserveCombs(ws->TotalCombs(), 0);
    if (in.empty() ? !ws->GenerateCombs(false, ws->GenerateDefaults()) : !ws->LoadCombsList(in))
        return 1;
    if (!ApplyNumberFilter(*ws, numbers, remove, caption)) return 1;
    c.Out << ws->CombsStatusText() << '\n';
    return out.empty() || ws->SaveCombsList(out) ? 0 : 1;
}

}  // namespace

const std::vector<Command>& NumberViewsCommands() {
    static const std::vector<Command> commands = {
        {"views", "card", "[--limit N]", Card},
        {"views", "layout", "[--len L] [--offset O]", Layout},
        {"views", "layout-compare", "[--lens 50,100,200,300,400] [--offset O]", LayoutCompare},
        {"views", "week", "[--len L] [--offset O]", Week},
        {"combs", "filter-numbers",
         "\"n1;n2\" (--keep|--remove) [--caption ТЕКСТ] [--in ФАЙЛ.lcv] [--out ФАЙЛ.lcv]",
         FilterNumbers},
    };
    return commands;
}

}  // namespace tessara::cli
