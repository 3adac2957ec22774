// tessara-cli scenario ...: scenario files without the editor.
#include <ostream>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "scenario/filter_sets.h"
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
    if (c.Args.size() != 1) {
        c.Err << "Использование: scenario show ФАЙЛ.lsc\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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
    int32_t lineNo = 0;
    if (c.Args.size() != 2 || !TryStrToInt(c.Args[1], lineNo)) {
        c.Err << "Использование: scenario sets ФАЙЛ.lsc НОМЕР_СТРОКИ\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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

}  // namespace

const std::vector<Command>& ScenarioCommands() {
    static const std::vector<Command> commands = {
        {"scenario", "show", "ФАЙЛ.lsc", Show},
        {"scenario", "sets", "ФАЙЛ.lsc НОМЕР_СТРОКИ", Sets},
    };
    return commands;
}

}  // namespace tessara::cli
