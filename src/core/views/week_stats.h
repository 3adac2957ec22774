#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"
#include "views/layout_scheme.h"

namespace tessara {

inline constexpr int DaysInWeek = 7;

// How often each number came out on each weekday in the window:
// Count[n][d] for n = 1..42 and d = 1 (Monday) .. 7 (Sunday); index 0 unused.
struct TWeekStats {
    std::array<std::array<int32_t, DaysInWeek + 1>, MaxNumber + 1> Count{};
    int32_t Largest = 0;
};

// Draws whose date is empty or cannot be read have no weekday and are left
// out, without a message.
TWeekStats ComputeWeekStats(const TDrawsArray& draws, int offset, int length);

// The short weekday names of the interface, Monday = 1.
const char* WeekdayShortName(int day);

// The heat-map colour of a cell holding count v (white for small counts,
// pure red for the largest); nothing while the largest count is 0 or for
// an empty cell.
std::optional<TColor> WeekCellColor(int32_t v, int32_t largest);

// The week chart of a grid cell (column = number, row = weekday): mode 1
// gives seven points over the weekdays for the column's number, mode 0
// gives 42 points over the numbers for the row's weekday. A header cell
// gives zeros.
struct TWeekChartPoint {
    int X;
    int32_t Y;
    std::string Label;
};
std::vector<TWeekChartPoint> WeekChartPoints(const TWeekStats& stats, int mode, int column,
                                             int row);

// The numbers of the selected columns: every column from the left edge to
// the right edge that stands for a number.
std::vector<int> WeekSelectionNumbers(int left, int right);

}  // namespace tessara
