// tessara-cli stats ...: the statistic registry and the values of draws.
#include <ostream>

#include "cli.h"
#include "model/game.h"
#include "stats/stat_list.h"

namespace tessara::cli {

namespace {

int Methods(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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
    if (c.Args.size() != 2) {
        c.Err << "Использование: stats values КОД НОМЕР_ТИРАЖА [--sorted]\n";
        return 2;
    }
    int32_t drawNo;
    if (!TryStrToInt(c.Args[1], drawNo)) {
        c.Err << "Ошибка: не целое число: " << c.Args[1] << "\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
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

}  // namespace

const std::vector<Command>& StatsCommands() {
    static const std::vector<Command> commands = {
        {"stats", "methods", "", Methods},
        {"stats", "values", "КОД НОМЕР_ТИРАЖА [--sorted]", Values},
    };
    return commands;
}

}  // namespace tessara::cli
