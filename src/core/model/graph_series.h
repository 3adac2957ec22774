#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessara {

// One point of a chart series: position, value and the label shown beside
// the marker when value labels are on.
struct TGraphPoint {
    double X = 0;
    double Y = 0;
    std::string Label;
};

// A chart series as the core computes it: its title (the legend text), its
// colour as 0xRRGGBB or -1 for the chart's automatic colour, and its points
// in order.
struct TGraphSeries {
    std::string Title;
    int64_t Color = -1;
    std::vector<TGraphPoint> Points;
};

}  // namespace tessara
