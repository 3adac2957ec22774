#pragma once

#include <string>
#include <vector>

#include "model/graph_series.h"
#include "model/records.h"
#include "stakes/ratings.h"
#include "stakes/stakes_file.h"

namespace tessara {

inline constexpr const char* MsgGraphNeedsDraws =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного "
    "тиража!";
inline constexpr const char* StatusMakingGraphs = "Создание графиков...";

inline constexpr const char* SeriesDrawProfit = "Суммарный профит ставок по тиражу";
inline constexpr const char* SeriesAverage = "Среднее значение";
inline constexpr const char* SeriesRunning = "Накопленное значение";
inline constexpr const char* SeriesNormal = "Нормальные значения";

// A series of a stake graph with how the window shows it: markers at the
// points and labels with the values.
struct TStakeGraphSeries : TGraphSeries {
    bool ShowPoints = true;
    bool ShowMarks = true;
};
using TStakeGraph = std::vector<TStakeGraphSeries>;

// The graphs below throw Error with the message the user sees.

// The profit of all stakes per draw (unchecked ones with their cost), its
// average and its running total, in money units.
TStakeGraph StakesDrawsGraph(const TStakesFile& file);
// Over the last hundred checked draws: one series per stake comment that is
// one of names (case ignored), a point per checked stake with its matches
// or, with profits, its profit in money units.
TStakeGraph StakesMatchesGraph(const TStakesFile& file, const std::vector<std::string>& names,
                               bool profits);
// The counts of stakes by matches of rating rows against what chance gives,
// scaled to the largest number of stakes among them.
TStakeGraph RatingsMatchesGraph(const std::vector<TRatingRecord>& rows);

}  // namespace tessara
