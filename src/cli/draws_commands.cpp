// tessara-cli draws ...: the draw archive without a window.
#include <ostream>

#include "cli.h"
#include "model/dates.h"
#include "model/error.h"
#include "model/game.h"

namespace tessara::cli {

namespace {

constexpr const char* kListHeader = "Тираж\t1\t2\t3\t4\t5\t6\tE\tS\tДата тиража";

bool ReadInt(const std::string& text, int& value, std::ostream& err) {
    int32_t v;
    if (!TryStrToInt(text, v)) {
        err << "Ошибка: не целое число: " << text << "\n";
        return false;
    }
    value = v;
    return true;
}

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
    if (!limitText.empty() && !ReadInt(limitText, limit, c.Err)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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
    if (c.Args.size() != 1) {
        c.Err << "Использование: draws add \"n1;n2;n3;n4;n5;n6;e\" [--number N] [--date ДАТА | --no-date]\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    TDrawRecord draw{};
    draw.DrawNo = ws->Archive().NextDrawNo(0);
    if (!numberText.empty() && (!ReadInt(numberText, draw.DrawNo, c.Err) || draw.DrawNo < 1)) {
        c.Err << "Ошибка: номер тиража должен быть от 1 до 2147483647\n";
        return 2;
    }
    if (!CheckDrawData(c.Args[0], draw)) {
        host.ShowError(MsgIncorrectCombination);
        return 1;
    }
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
    if (c.Args.size() != 2 || !ReadInt(c.Args[0], drawNo, c.Err)) {
        c.Err << "Использование: draws edit НОМЕР \"n1;n2;n3;n4;n5;n6;e\" [--date ДАТА | --no-date]\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const int index = ws->Archive().FindDrawIndex(drawNo);
    if (index < 0) {
        c.Err << "Ошибка: тираж " << drawNo << " не найден в архиве\n";
        return 1;
    }
    TDrawRecord draw = ws->Archive()[index];
    if (!CheckDrawData(c.Args[1], draw)) {
        host.ShowError(MsgIncorrectCombination);
        return 1;
    }
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
    for (const std::string& a : c.Args) {
        int n;
        if (!ReadInt(a, n, c.Err)) return 2;
        numbers.push_back(n);
    }
    if (numbers.empty()) {
        c.Err << "Использование: draws delete НОМЕР [НОМЕР ...]\n";
        return 2;
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
    if (c.Args.size() != 1) {
        c.Err << "Использование: draws import ФАЙЛ.csv\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const int before = ws->Archive().Count();
    if (!ws->ImportDraws(c.Args[0])) return 1;
    c.Out << "Добавлено тиражей: " << ws->Archive().Count() - before << '\n';
    return 0;
}

int Export(CommandContext& c) {
    if (c.Args.size() != 1) {
        c.Err << "Использование: draws export ФАЙЛ.csv\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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
    if (c.Args.size() != 1 || !ReadInt(c.Args[0], drawNo, c.Err)) {
        c.Err << "Использование: draws info НОМЕР [--sorted]\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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
    if (!ReadInt(offsetText, offset, c.Err)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    c.Out << ws->Archive().NextDrawNo(offset) << '\n';
    return 0;
}

int Offset(CommandContext& c) {
    int offset;
    if (c.Args.size() != 1 || !ReadInt(c.Args[0], offset, c.Err)) {
        c.Err << "Использование: draws offset K\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    if (offset < 0 || (offset > 0 && offset >= ws->Archive().Count())) {
        c.Err << "Ошибка: смещение должно быть от 0 до " << std::max(ws->Archive().Count() - 1, 0)
              << "\n";
        return 1;
    }
    ws->SetDrawsOffset(offset);
    c.Out << ws->ArchiveStatusText() << '\n'
          << ws->NextDrawStatusText() << '\n'
          << ws->NextDrawResultText() << '\n';
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
        {"draws", "offset", "K", Offset},
    };
    return commands;
}

}  // namespace tessara::cli
