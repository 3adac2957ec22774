// tessara-cli graphs ...: the data of the stake graphs as rows of
// series, x and y.
#include <cmath>
#include <fmt/format.h>
#include <ostream>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "stakes/stake_graphs.h"

namespace tessara::cli {

namespace {

// Money amounts always with two decimals; counts as integers; anything
// else (the normal curve) with two decimals as well.
std::string YText(double y, bool money) {
    if (!money && y == std::floor(y) && std::fabs(y) < 1e15) return fmt::format("{:.0f}", y);
    return fmt::format("{:.2f}", y);
}

void PrintGraph(std::ostream& out, const TStakeGraph& graph, bool money) {
    for (const TStakeGraphSeries& s : graph)
        for (const TGraphPoint& p : s.Points)
            out << s.Title << '\t' << fmt::format("{:.0f}", p.X) << '\t' << YText(p.Y, money)
                << '\n';
}

template <typename Fn>
int RunGraph(CommandContext& c, const char* usage, bool needsNames, bool money, Fn&& build) {
    if (needsNames == c.Args.empty()) {
        c.Err << usage;
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    ws->LoadRatings();
    try {
        PrintGraph(c.Out, build(*ws), money);
    } catch (const Error& e) {
        host.ShowError(e.what());
        return 1;
    }
    return host.ErrorShown() ? 1 : 0;
}

int Profit(CommandContext& c) {
    return RunGraph(c, "Использование: graphs profit\n", false, true,
                    [](Workspace& ws) { return StakesDrawsGraph(ws.StakesFile()); });
}

int Matches(CommandContext& c) {
    return RunGraph(c, "Использование: graphs matches ИМЯ [ИМЯ ...]\n", true, false,
                    [&](Workspace& ws) { return StakesMatchesGraph(ws.StakesFile(), c.Args, false); });
}

int Profits(CommandContext& c) {
    return RunGraph(c, "Использование: graphs profits ИМЯ [ИМЯ ...]\n", true, true,
                    [&](Workspace& ws) { return StakesMatchesGraph(ws.StakesFile(), c.Args, true); });
}

int RatingMatches(CommandContext& c) {
    return RunGraph(c, "Использование: graphs rating-matches ИМЯ [ИМЯ ...]\n", true, false,
                    [&](Workspace& ws) {
                        // The rows in the order of the rating, as the view selects them.
                        std::vector<std::string> wanted;
                        for (const std::string& n : c.Args) wanted.push_back(FoldCp1251(Utf8ToCp1251(n)));
                        std::vector<bool> found(wanted.size());
                        std::vector<TRatingRecord> rows;
                        for (const TRatingRecord& r : ws.Ratings().Rows()) {
                            const std::string key = FoldCp1251(Utf8ToCp1251(RatingName(r)));
                            bool take = false;
                            for (size_t i = 0; i < wanted.size(); ++i)
                                if (wanted[i] == key) take = found[i] = true;
                            if (take) rows.push_back(r);
                        }
                        for (size_t i = 0; i < wanted.size(); ++i)
                            if (!found[i])
                                throw Error("Строка рейтинга не найдена: " + c.Args[i]);
                        return RatingsMatchesGraph(rows);
                    });
}

}  // namespace

const std::vector<Command>& GraphsCommands() {
    static const std::vector<Command> commands = {
        {"graphs", "profit", "", Profit},
        {"graphs", "matches", "ИМЯ [ИМЯ ...]", Matches},
        {"graphs", "profits", "ИМЯ [ИМЯ ...]", Profits},
        {"graphs", "rating-matches", "ИМЯ [ИМЯ ...]", RatingMatches},
    };
    return commands;
}

}  // namespace tessara::cli
