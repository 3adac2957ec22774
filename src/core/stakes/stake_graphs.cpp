#include "stakes/stake_graphs.h"

#include <algorithm>
#include <unordered_map>

#include "model/encoding.h"
#include "model/error.h"
#include "model/game.h"

namespace tessara {

namespace {

constexpr int64_t kGreen = 0x008000;
constexpr int64_t kBlue = 0x0000FF;
constexpr int64_t kRed = 0xFF0000;
constexpr int64_t kGrey = 0x808080;
constexpr int kLastDraws = 100;

TStakeGraphSeries MakeSeries(std::string title, int64_t colour, bool points, bool marks) {
    TStakeGraphSeries s;
    s.Title = std::move(title);
    s.Color = colour;
    s.ShowPoints = points;
    s.ShowMarks = marks;
    return s;
}

void AddPoint(TGraphSeries& s, int x, double y) {
    s.Points.push_back({static_cast<double>(x), y, std::to_string(x)});
}

double Money(TMoney raw) { return static_cast<double>(raw) / MoneyScale; }

std::string Folded(const std::string& utf8) { return FoldCp1251(Utf8ToCp1251(utf8)); }

// Reading the file, with the cause behind the file's own message.
template <typename Fn>
void ReadStakes(const TStakesFile& file, int64_t first, Fn&& fn) {
    try {
        file.ForEach(first, [&](int64_t, const TStakeRecord& r) {
            fn(r);
            return true;
        });
    } catch (const Error& e) {
        throw Error("Ошибка чтения записи из файла ставок!\r\r" + std::string(e.what()));
    }
}

}  // namespace

TStakeGraph StakesDrawsGraph(const TStakesFile& file) {
    // Per-draw sums in the order in which their draws first appear; the
    // index only finds the element of a draw.
    TProfitDrawArray draws;
    std::unordered_map<int32_t, size_t> index;
    if (file.HasStakes())
        ReadStakes(file, 0, [&](const TStakeRecord& r) {
            if (r.Draw < 0) return;
            const auto [it, fresh] = index.emplace(r.Draw, draws.size());
            if (fresh)
                draws.push_back({r.Draw, r.Profit});
            else
                draws[it->second].Profit += r.Profit;
        });
    if (draws.empty()) throw Error(MsgGraphNeedsDraws);

    TMoney total = 0;
    for (const TProfitDraw& d : draws) total += d.Profit;
    const double average = Money(total) / static_cast<double>(draws.size());
    TStakeGraph graph = {MakeSeries(SeriesDrawProfit, kGreen, true, true),
                         MakeSeries(SeriesAverage, kBlue, false, false),
                         MakeSeries(SeriesRunning, kRed, true, true)};
    TMoney running = 0;
    for (const TProfitDraw& d : draws) {
        running += d.Profit;
        AddPoint(graph[0], d.DrawNo, Money(d.Profit));
        AddPoint(graph[1], d.DrawNo, average);
        AddPoint(graph[2], d.DrawNo, Money(running));
    }
    return graph;
}

TStakeGraph StakesMatchesGraph(const TStakesFile& file, const std::vector<std::string>& names,
                               bool profits) {
    if (names.empty() || !file.HasStakes()) throw Error(MsgGraphNeedsDraws);
    int64_t start = 0;
    int found = 0;
    try {
        found = file.SeekLastCheckedDraws(kLastDraws, start);
    } catch (const Error& e) {
        throw Error("Ошибка поиска записи по номеру тиража в файле ставок!\r\r" +
                    std::string(e.what()));
    }
    if (found < 2) throw Error(MsgGraphNeedsDraws);

    std::vector<std::string> wanted;
    for (const std::string& n : names) wanted.push_back(Folded(n));
    TStakeGraph graph;
    std::unordered_map<std::string, size_t> seriesOf;
    ReadStakes(file, start, [&](const TStakeRecord& r) {
        if (!StakeIsChecked(r) || r.Draw <= 0 || r.Matches.Count < 0) return;
        const std::string comment = StakeComment(r);
        const std::string key = Folded(comment);
        if (std::find(wanted.begin(), wanted.end(), key) == wanted.end()) return;
        auto it = seriesOf.find(key);
        if (it == seriesOf.end()) {
            it = seriesOf.emplace(key, graph.size()).first;
            graph.push_back(MakeSeries(comment, -1, true, true));
        }
        AddPoint(graph[it->second], r.Draw,
                 profits ? Money(r.Profit) : static_cast<double>(r.Matches.Count));
    });
    return graph;
}

TStakeGraph RatingsMatchesGraph(const std::vector<TRatingRecord>& rows) {
    uint32_t most = 0;
    for (const TRatingRecord& r : rows) most = std::max(most, r.Stakes);
    const double scale = static_cast<double>(most) / Binomial(MaxNumber, BallsInDraw);
    TStakeGraph graph;
    graph.push_back(MakeSeries(SeriesNormal, kGrey, true, false));
    for (int i = 0; i <= BallsInDraw; ++i)
        AddPoint(graph[0], i,
                 static_cast<double>(Binomial(BallsInDraw, i)) *
                     Binomial(MaxNumber - BallsInDraw, BallsInDraw - i) * scale);
    for (const TRatingRecord& r : rows) {
        TStakeGraphSeries s = MakeSeries(RatingName(r), -1, true, false);
        for (int i = 0; i <= BallsInDraw; ++i) AddPoint(s, i, r.Hits[i]);
        graph.push_back(std::move(s));
    }
    return graph;
}

}  // namespace tessara
