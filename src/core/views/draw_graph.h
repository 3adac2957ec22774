#pragma once

#include <cstdint>
#include <string>

#include "model/graph_series.h"
#include "model/records.h"

namespace tessara {

class TStatList;

inline constexpr const char* DrawGraphMeanTitle = "Среднее значение";
inline constexpr const char* DrawGraphModeTitle = "Наиболее часто встречающееся значение";
inline constexpr const char* MsgDrawGraphStatus = "Анализ тиражей и построение графиков...";

// Colours of the three lines of the graphs tab, 0xRRGGBB.
inline constexpr int64_t DrawGraphValueColor = 0x008000;
inline constexpr int64_t DrawGraphMeanColor = 0x0000FF;
inline constexpr int64_t DrawGraphModeColor = 0xFF0000;

// The graph of one statistic over the draws that end DrawsOffset draws
// before the newest: its graph value per draw, their mean and the value that
// came most often, each line with one point per draw at x = DrawNo.
struct TDrawGraph {
    int First = 0, Last = -1;
    double Mean = 0;
    int32_t Mode = 0;
    TGraphSeries Values;
    TGraphSeries MeanLine;
    TGraphSeries ModeLine;
    int Count() const { return Last >= First ? Last - First + 1 : 0; }
};

// What decides whether the graph must be drawn again without force.
struct TDrawGraphKey {
    int ArchiveCount = -1, Offset = -1, Length = -1, Method = -1;
    bool operator==(const TDrawGraphKey&) const = default;
};

// The mean and the most frequent of the values in order; among values that
// came equally often the one that came first wins. Both 0 without values.
struct TValueSummary {
    double Mean = 0;
    int32_t Mode = 0;
};
TValueSummary SummarizeValues(const int32_t* values, size_t count);

// The graph of a registered method with a graph value over length draws
// ending at index High - offset (started at the first draw when the archive
// is shorter). title names the value line. Throws Error when the method has
// no graph value; an empty archive gives empty lines.
TDrawGraph ComputeDrawGraph(const TStatList& stats, int method, int length, int offset,
                            bool sorted, const std::string& title);

}  // namespace tessara
