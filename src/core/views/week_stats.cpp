#include "views/week_stats.h"

#include <algorithm>
#include <cmath>

#include "model/dates.h"
#include "model/error.h"

namespace tessara {

TWeekStats ComputeWeekStats(const TDrawsArray& draws, int offset, int length) {
    TWeekStats s;
    const TDrawWindow window = ViewWindow(static_cast<int>(draws.size()), offset, length);
    for (int i = window.First; i <= window.Last; ++i) {
        const TDrawRecord& d = draws[static_cast<size_t>(i)];
        TDateTime date = 0;
        try {
            date = TextToDrawDate(DrawDateText(d));
        } catch (const Error&) {
            continue;
        }
        if (date <= 0) continue;
        const int day = DayOfTheWeek(date);
        for (uint8_t n : d.Numbers)
            if (n >= 1 && n <= MaxNumber) ++s.Count[n][static_cast<size_t>(day)];
    }
    for (int n = 1; n <= MaxNumber; ++n)
        for (int day = 1; day <= DaysInWeek; ++day) s.Largest = std::max(s.Largest, s.Count[n][day]);
    return s;
}

const char* WeekdayShortName(int day) {
    static const char* const names[] = {"", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};
    return day >= 1 && day <= DaysInWeek ? names[day] : "";
}

std::optional<TColor> WeekCellColor(int32_t v, int32_t largest) {
    if (largest <= 0 || v <= 0) return std::nullopt;
    const long gb = std::clamp(std::lround(255.0 - 255.0 * v / largest), 0L, 255L);
    return TColor{255, static_cast<uint8_t>(gb), static_cast<uint8_t>(gb)};
}

std::vector<TWeekChartPoint> WeekChartPoints(const TWeekStats& stats, int mode, int column,
                                             int row) {
    std::vector<TWeekChartPoint> points;
    const bool numberColumn = column >= 1 && column <= MaxNumber;
    const bool dayRow = row >= 1 && row <= DaysInWeek;
    if (mode == 1) {
        for (int day = 1; day <= DaysInWeek; ++day)
            points.push_back({day, numberColumn ? stats.Count[column][day] : 0, WeekdayShortName(day)});
    } else {
        for (int n = 1; n <= MaxNumber; ++n)
            points.push_back({n, dayRow ? stats.Count[n][static_cast<size_t>(row)] : 0, std::to_string(n)});
    }
    return points;
}

std::vector<int> WeekSelectionNumbers(int left, int right) {
    std::vector<int> numbers;
    for (int column = std::max(left, 1); column <= std::min(right, MaxNumber); ++column)
        numbers.push_back(column);
    return numbers;
}

}  // namespace tessara
