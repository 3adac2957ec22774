#include "views/draw_graph.h"

#include <algorithm>
#include <unordered_map>
#include <vector>

#include "model/error.h"
#include "stats/stat_list.h"

namespace tessara {

TValueSummary SummarizeValues(const int32_t* values, size_t count) {
    TValueSummary s;
    if (count == 0) return s;
    // Counters in the order in which their values first came, so that a
    // scan that only takes a strictly larger count lets the earliest win.
    TStatSimpleArray counters;
    std::unordered_map<int32_t, size_t> position;
    double sum = 0;
    for (size_t i = 0; i < count; ++i) {
        const int32_t v = values[i];
        sum += v;
        const auto [it, added] = position.try_emplace(v, counters.size());
        if (added)
            counters.push_back({v, 1});
        else
            ++counters[it->second].Count;
    }
    s.Mean = sum / static_cast<double>(count);
    int32_t best = 0;
    for (const TStatSimple& c : counters)
        if (c.Count > best) {
            best = c.Count;
            s.Mode = c.Key;
        }
    return s;
}

TDrawGraph ComputeDrawGraph(const TStatList& stats, int method, int length, int offset,
                            bool sorted, const std::string& title) {
    if (method < 0 || method >= stats.Count() || !stats.HasGraph(method))
        throw Error("У выбранного метода расчета статистики нет графика!");
    TDrawGraph g;
    g.Values = {title, DrawGraphValueColor, {}};
    g.MeanLine = {DrawGraphMeanTitle, DrawGraphMeanColor, {}};
    g.ModeLine = {DrawGraphModeTitle, DrawGraphModeColor, {}};
    const TDrawsArray& draws = stats.Archive();
    const int high = static_cast<int>(draws.size()) - 1;
    g.Last = high - std::max(0, offset);
    if (g.Last < 0 || length < 1) {
        g.Last = -1;
        return g;
    }
    g.First = std::max(0, g.Last - length + 1);

    auto stat = stats.CreateStat(method);
    std::vector<int32_t> values;
    values.reserve(static_cast<size_t>(g.Count()));
    g.Values.Points.reserve(values.capacity());
    for (int i = g.First; i <= g.Last; ++i) {
        const int32_t v = stat->DrawGraphValue(i, g.Last, sorted);
        const int32_t drawNo = draws[static_cast<size_t>(i)].DrawNo;
        g.Values.Points.push_back({static_cast<double>(drawNo), static_cast<double>(v),
                                   std::to_string(drawNo)});
        values.push_back(v);
    }
    const TValueSummary s = SummarizeValues(values.data(), values.size());
    g.Mean = s.Mean;
    g.Mode = s.Mode;
    g.MeanLine.Points.reserve(values.size());
    g.ModeLine.Points.reserve(values.size());
    for (const TGraphPoint& p : g.Values.Points) {
        g.MeanLine.Points.push_back({p.X, g.Mean, p.Label});
        g.ModeLine.Points.push_back({p.X, static_cast<double>(g.Mode), p.Label});
    }
    return g;
}

}  // namespace tessara
