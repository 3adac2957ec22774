#include "views/sum_distribution.h"

#include <algorithm>
#include <map>

#include "model/format.h"
#include "model/game.h"

namespace tessara {

TSumCounts CountCombinationSums() {
    // The innermost number runs over consecutive sums, so its loop is a plain
    // run of increments: no search and no branch per combination.
    TSumCounts counts{};
    for (int a = 1; a <= MaxNumber - 5; ++a)
        for (int b = a + 1; b <= MaxNumber - 4; ++b)
            for (int c = b + 1; c <= MaxNumber - 3; ++c)
                for (int d = c + 1; d <= MaxNumber - 2; ++d) {
                    const int abcd = a + b + c + d;
                    for (int e = d + 1; e <= MaxNumber - 1; ++e) {
                        int32_t* row = counts.data() + abcd + e;
                        for (int f = e + 1; f <= MaxNumber; ++f) ++row[f];
                    }
                }
    return counts;
}

int32_t SumCount(const TStatSimpleArray& histogram, int32_t sum) {
    const auto it = std::lower_bound(histogram.begin(), histogram.end(), sum,
                                     [](const TStatSimple& s, int32_t key) { return s.Key < key; });
    return it != histogram.end() && it->Key == sum ? it->Count : 0;
}

namespace {

TSumLevel FindRange(const TStatSimpleArray& theory, int32_t level) {
    TSumLevel r;
    r.Level = level;
    if (theory.empty()) return r;
    const size_t middle = theory.size() / 2;
    for (size_t i = 0; i <= middle; ++i)
        if (theory[i].Count >= level) {
            r.Low = theory[i].Key;
            break;
        }
    for (size_t i = theory.size(); i-- > middle;)
        if (theory[i].Count >= level) {
            r.High = theory[i].Key;
            break;
        }
    return r;
}

}  // namespace

TSumDistribution ComputeSumDistribution(const TDrawsArray& draws) {
    TSumDistribution d;
    const TSumCounts counts = CountCombinationSums();
    for (int s = MinCombSum; s <= MaxCombSum; ++s)
        if (counts[static_cast<size_t>(s)] > 0) d.Theory.push_back({s, counts[static_cast<size_t>(s)]});

    // A damaged draw may hold any bytes; its sum is counted as it is.
    std::map<int32_t, int32_t> actual;
    for (const TDrawRecord& draw : draws) {
        int32_t sum = 0;
        for (int k = 0; k < BallsInDraw; ++k) sum += draw.Numbers[k];
        ++actual[sum];
    }
    for (const auto& [sum, n] : actual) d.Actual.push_back({sum, n});

    for (const TStatSimple& s : d.Theory) d.MaxTheory = std::max(d.MaxTheory, s.Count);
    d.MinTheory = d.MaxTheory;
    for (const TStatSimple& s : d.Theory) d.MinTheory = std::min(d.MinTheory, s.Count);
    for (const TStatSimple& s : d.Actual) d.MaxActual = std::max(d.MaxActual, s.Count);

    const double b = static_cast<double>(d.MaxTheory) - d.MinTheory + 1;
    const double fractions[3] = {b / 3, b / 2, 2 * b / 3};
    for (size_t i = 0; i < 3; ++i)
        d.Levels[i] = FindRange(d.Theory, static_cast<int32_t>(d.MinTheory + fractions[i]));
    return d;
}

std::string SumLevelTitle(const TSumDistribution& d, int level) {
    static const char* const kShares[3] = {"1/3", "1/2", "2/3"};
    const TSumLevel& l = d.Levels[static_cast<size_t>(level - 1)];
    return FormatTemplate("Диапазон %d (от %s и выше по оси Y) - суммы %d-%d",
                          {int64_t{level}, std::string(kShares[level - 1]), int64_t{l.Low},
                           int64_t{l.High}});
}

std::vector<TGraphSeries> SumDistributionSeries(const TSumDistribution& d) {
    static const int64_t kLevelColors[3] = {0x008000, 0x0000FF, 0xFF00FF};
    std::vector<TGraphSeries> series;
    TGraphSeries actual{SumsActualTitle, 0xFF0000, {}};
    for (const TStatSimple& s : d.Actual)
        actual.Points.push_back({double(s.Key), double(s.Count), std::to_string(s.Key)});
    series.push_back(std::move(actual));
    const double scale = d.Scale();
    TGraphSeries theory{SumsTheoryTitle, 0x800000, {}};
    for (const TStatSimple& s : d.Theory)
        theory.Points.push_back({double(s.Key), s.Count * scale, std::to_string(s.Key)});
    series.push_back(std::move(theory));
    for (int level = 1; level <= 3; ++level) {
        TGraphSeries line{SumLevelTitle(d, level), kLevelColors[level - 1], {}};
        const double y = d.Levels[static_cast<size_t>(level - 1)].Level * scale;
        for (const TStatSimple& s : d.Theory)
            line.Points.push_back({double(s.Key), y, std::to_string(s.Key)});
        series.push_back(std::move(line));
    }
    return series;
}

}  // namespace tessara
