#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "model/graph_series.h"
#include "model/records.h"

namespace tessara {

inline constexpr const char* SumDistributionCaption =
    "Распределение сумм тиражей и всех возможных комбинаций";
inline constexpr const char* MsgSumsCollecting = "Идет сбор статистики....";
inline constexpr const char* SumsActualTitle = "Фактическое распределение сумм (по тиражам)";
inline constexpr const char* SumsTheoryTitle = "Теоретическое распределение сумм (по комбинациям)";

// The sums a combination of six numbers from 1..42 can have.
inline constexpr int MinCombSum = 1 + 2 + 3 + 4 + 5 + 6;
inline constexpr int MaxCombSum = 37 + 38 + 39 + 40 + 41 + 42;

// The number of combinations per sum over the whole set, indexed by the sum.
using TSumCounts = std::array<int32_t, MaxCombSum + 1>;
// Enumerates every combination in list order and counts its sum.
TSumCounts CountCombinationSums();

// One of the three levels: the theoretical count it stands for and the sums
// around the middle whose counts reach it (0 and 0 when none does).
struct TSumLevel {
    int32_t Level = 0;
    int32_t Low = 0, High = 0;
};

struct TSumDistribution {
    // Histograms ascending by sum: over all combinations, over the archive.
    TStatSimpleArray Theory, Actual;
    int32_t MaxTheory = 0, MinTheory = 0, MaxActual = 0;
    std::array<TSumLevel, 3> Levels{};
    // The theoretical counts on the scale of the actual ones.
    double Scale() const {
        return MaxTheory > 0 ? static_cast<double>(MaxActual) / MaxTheory : 0.0;
    }
};

// Both histograms and the three levels at 1/3, 1/2 and 2/3 of the range of
// the theoretical counts. The draws offset does not apply: the whole archive
// is counted.
TSumDistribution ComputeSumDistribution(const TDrawsArray& draws);

// The level text of a series: "Диапазон 1 (от 1/3 и выше по оси Y) - суммы 87-171".
std::string SumLevelTitle(const TSumDistribution& d, int level);

// The five series of the graph window: actual, scaled theoretical and the
// three flat level lines over every theoretical sum.
std::vector<TGraphSeries> SumDistributionSeries(const TSumDistribution& d);

// The theoretical count of a sum, 0 outside the histogram.
int32_t SumCount(const TStatSimpleArray& histogram, int32_t sum);

}  // namespace tessara
