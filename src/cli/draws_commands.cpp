// tessara-cli draws ...: the draw archive without a window.
#include <climits>
#include <cstdint>
#include <ostream>

#include "cli.h"
#include "model/dates.h"
#include "model/error.h"
#include "model/game.h"

namespace tessara::cli {

namespace {

constexpr const char* kListHeader = "Тираж\t1\t2\t3\t4\t5\t6\tE\tS\tДата тиража";

// The date option: a date text, "" for none; the draw dialog always stores
// the form it writes itself.
bool ReadDateOption(const std::string& text, std::string& dateText, std::ostream& err) {
    try {
        dateText = DrawDateToText(TextToDrawDate(text));
        return true;
    } catch (const Error& e) {
        err << MessageCaption(MessageKind::Error) << ": " << e.what() << "\n";
        return false;
    }
}

void PrintDrawRow(std::ostream& out, const TDrawRecord& d) {
    int sum = 0;
    out << d.DrawNo;
    for (uint8_t n : d.Numbers) {
        out << '\t' << int(n);
        sum += n;
    }
    out << '\t' << int(d.ExtraBall) << '\t' << sum << '\t' << DrawDateText(d) << '\n';
}

int List(CommandContext& c) {
    const std::string limitText = c.TakeOption("--limit", "");
    const bool sortedFlag = c.TakeFlag("--sorted");
    const bool unsortedFlag = c.TakeFlag("--unsorted");
    int limit = -1;
    if (!limitText.empty() && !c.ReadInt("--limit", limitText, 0, INT32_MAX, limit)) return 2;
    if (sortedFlag && unsortedFlag) return c.Refuse("--sorted и --unsorted не совместимы");
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const bool sorted = sortedFlag || (ws->SortedDraws() && !unsortedFlag);
    const TDrawArchive& a = ws->Archive();
    c.Out << kListHeader << '\n';
    const int rows = limit < 0 ? a.Count() : std::min(limit, a.Count());
    for (int r = 0; r < rows; ++r) PrintDrawRow(c.Out, a.RowDraw(r, sorted));
    return host.ErrorShown() ? 1 : 0;
}

int Add(CommandContext& c) {
    const bool noDate = c.TakeFlag("--no-date");
    const std::string numberText = c.TakeOption("--number", "");
    const bool hasDate = c.HasOption("--date");
    const std::string dateOption = c.TakeOption("--date", "");
    int number = 0;
    if (!numberText.empty() && !c.ReadInt("--number", numberText, 1, INT32_MAX, number)) return 2;
    if (noDate && hasDate) return c.Refuse("--date и --no-date не совместимы");
    if (!c.ExpectArgs(1, 1, {"\"n1;n2;n3;n4;n5;n6;e\""})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    TDrawRecord draw{};
    draw.DrawNo = numberText.empty() ? ws->Archive().NextDrawNo(0) : number;
    if (const std::string fault = DrawDataFault(c.Args[0]); !fault.empty()) {
        host.ShowError(std::string(MsgIncorrectCombination) + "\r\r" + fault);
        return 1;
    }
    CheckDrawData(c.Args[0], draw);
    std::string date;
    if (hasDate) {
        if (!ReadDateOption(dateOption, date, c.Err)) return 1;
    } else if (!noDate) {
        date = DrawDateToText(Now());
    }
    SetDrawDateText(draw, date);
    if (!ws->AddDraw(draw)) return 1;
    c.Out << FormatDrawInfo(draw) << '\n';
    return 0;
}

int Edit(CommandContext& c) {
    const bool noDate = c.TakeFlag("--no-date");
    const bool hasDate = c.HasOption("--date");
    const std::string dateOption = c.TakeOption("--date", "");
    int drawNo;
    if (noDate && hasDate) return c.Refuse("--date и --no-date не совместимы");
    if (!c.ExpectArgs(2, 2, {"НОМЕР", "\"n1;n2;n3;n4;n5;n6;e\""}) ||
        !c.ReadInt("НОМЕР", c.Args[0], 1, INT32_MAX, drawNo))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const int index = ws->Archive().FindDrawIndex(drawNo);
    if (index < 0) {
        c.Err << "Ошибка: тираж " << drawNo << " не найден в архиве\n";
        return 1;
    }
    TDrawRecord draw = ws->Archive()[index];
    if (const std::string fault = DrawDataFault(c.Args[1]); !fault.empty()) {
        host.ShowError(std::string(MsgIncorrectCombination) + "\r\r" + fault);
        return 1;
    }
    CheckDrawData(c.Args[1], draw);
    if (hasDate || noDate) {
        std::string date;
        if (hasDate && !ReadDateOption(dateOption, date, c.Err)) return 1;
        SetDrawDateText(draw, date);
    }
    if (!ws->ReplaceDraw(index, draw)) return 1;
    c.Out << FormatDrawInfo(draw) << '\n';
    return 0;
}

int Delete(CommandContext& c) {
    std::vector<int> numbers;
    if (!c.ExpectArgs(1, SIZE_MAX, {"НОМЕР"})) return 2;
    for (const std::string& a : c.Args) {
        int n;
        if (!c.ReadInt("НОМЕР", a, 1, INT32_MAX, n)) return 2;
        numbers.push_back(n);
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    for (int n : numbers)
        if (ws->Archive().FindDrawIndex(n) < 0) {
            c.Err << "Ошибка: тираж " << n << " не найден в архиве\n";
            return 1;
        }
    return ws->DeleteDraws(numbers) ? 0 : 1;
}

int Import(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.csv"})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const int before = ws->Archive().Count();
    if (!ws->ImportDraws(c.Args[0])) return 1;
    c.Out << "Добавлено тиражей: " << ws->Archive().Count() - before << '\n';
    return 0;
}

int Export(CommandContext& c) {
    if (!c.ExpectArgs(1, 1, {"ФАЙЛ.csv"})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (ws->Archive().Empty()) {
        c.Err << "Ошибка: архив тиражей пуст\n";
        return 1;
    }
    return ws->ExportDraws(c.Args[0]) ? 0 : 1;
}

int Info(CommandContext& c) {
    const bool sortedFlag = c.TakeFlag("--sorted");
    int drawNo;
    if (!c.ExpectArgs(1, 1, {"НОМЕР"}) || !c.ReadInt("НОМЕР", c.Args[0], 1, INT32_MAX, drawNo))
        return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    const int index = ws->Archive().FindDrawIndex(drawNo);
    if (index < 0) {
        c.Err << "Ошибка: тираж " << drawNo << " не найден в архиве\n";
        return 1;
    }
    TDrawRecord d = ws->Archive()[index];
    if (sortedFlag || ws->SortedDraws()) SortDrawNumbers(d);
    c.Out << "Свойство\tЗначение\n";
    c.Out << "Номер тиража:\t" << d.DrawNo << '\n';
    c.Out << "Дата тиража:\t" << DrawDateText(d) << '\n';
    c.Out << "Числа:\t" << FormatDrawNumbers(d) << '\n';
    c.Out << "Дополнительный шар:\t" << int(d.ExtraBall) << '\n';
    return 0;
}

int Next(CommandContext& c) {
    const std::string offsetText = c.TakeOption("--offset", "0");
    int offset;
    if (!c.ReadInt("--offset", offsetText, 0, INT32_MAX, offset) || !c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    if (offset > 0 && offset >= ws->Archive().Count())
        return c.Refuse("--offset: " + std::to_string(offset) + " вне диапазона 0.." +
                        std::to_string(std::max(ws->Archive().Count() - 1, 0)));
    c.Out << ws->Archive().NextDrawNo(offset) << '\n';
    return 0;
}

}  // namespace

const std::vector<Command>& DrawsCommands() {
    static const std::vector<Command> commands = {
        {"draws", "list", "[--limit N] [--sorted|--unsorted]", List},
        {"draws", "add", "\"n1;n2;n3;n4;n5;n6;e\" [--number N] [--date ДАТА | --no-date]", Add},
        {"draws", "edit", "НОМЕР \"n1;n2;n3;n4;n5;n6;e\" [--date ДАТА | --no-date]", Edit},
        {"draws", "delete", "НОМЕР [НОМЕР ...]", Delete},
        {"draws", "import", "ФАЙЛ.csv", Import},
        {"draws", "export", "ФАЙЛ.csv", Export},
        {"draws", "info", "НОМЕР [--sorted]", Info},
        {"draws", "next", "[--offset K]", Next},
    };
    return commands;
}

}  // namespace tessara::cli
