#include "views/layout_scheme.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace tessara {

namespace {

constexpr TColor kNextDrawColor{0, 255, 0};
constexpr TColor kBandsEqual{234, 255, 234};
constexpr TColor kBandsDiffer{255, 234, 234};

// Distinct values in order of first appearance, then largest first.
std::vector<int32_t> DistinctDescending(const TShemaArray& cells, int32_t TShemaCell::*field) {
    std::vector<int32_t> values;
    for (const TShemaCell& c : cells)
        if (std::find(values.begin(), values.end(), c.*field) == values.end())
            values.push_back(c.*field);
    std::stable_sort(values.begin(), values.end(), std::greater<>());
    return values;
}

int IndexOf(const std::vector<int32_t>& values, int32_t v) {
    return static_cast<int>(std::find(values.begin(), values.end(), v) - values.begin());
}

// Rows and columns 1-5, 11-15, ... 91-95 form the marked bands.
bool MarkedBand(int index) { return index >= 1 && index <= 95 && index % 10 >= 1 && index % 10 <= 5; }

uint8_t Round(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

uint64_t ArchiveDigest(const TDrawsArray& draws) {
    // FNV-1a over the records as they are stored.
    uint64_t h = 14695981039346656037ull;
    const auto* p = reinterpret_cast<const uint8_t*>(draws.data());
    for (size_t i = 0; i < draws.size() * sizeof(TDrawRecord); ++i) h = (h ^ p[i]) * 1099511628211ull;
    return h;
}

TDrawWindow ViewWindow(int count, int offset, int length) {
    TDrawWindow w;
    w.Last = count - 1 - offset;
    w.First = std::max(w.Last - length + 1, 0);
    if (w.Last < 0 || length < 1) w = TDrawWindow{};
    return w;
}

TShemaArray CountShema(const TDrawsArray& draws, TDrawWindow window) {
    TShemaArray cells;
    int at[256];
    std::fill(std::begin(at), std::end(at), -1);
    for (int i = window.Last; i >= window.First; --i) {
        const TDrawRecord& d = draws[static_cast<size_t>(i)];
        for (uint8_t n : d.Numbers) {
            if (at[n] < 0) {
                at[n] = static_cast<int>(cells.size());
                cells.push_back({n, 1, d.DrawNo});
            } else {
                ++cells[static_cast<size_t>(at[n])].Count;
            }
        }
    }
    return cells;
}

TLayoutScheme BuildLayoutScheme(const TDrawsArray& draws, int offset, int length,
                                const TByteSet& nextDraw) {
    TLayoutScheme s;
    const TShemaArray cells =
        CountShema(draws, ViewWindow(static_cast<int>(draws.size()), offset, length));
    s.Counts = DistinctDescending(cells, &TShemaCell::Count);
    s.LastDraws = DistinctDescending(cells, &TShemaCell::LastDrawNo);
    s.Cells.assign(s.Counts.size(), std::vector<std::string>(s.LastDraws.size()));
    for (const TShemaCell& c : cells) {
        std::string& text = s.Cells[static_cast<size_t>(IndexOf(s.Counts, c.Count))]
                                   [static_cast<size_t>(IndexOf(s.LastDraws, c.LastDrawNo))];
        std::string number = std::to_string(c.Number);
        if (nextDraw[static_cast<size_t>(c.Number)]) number = "[" + number + "]";
        text += (text.empty() ? "" : ", ") + number;
    }
    return s;
}

TLayoutCompareList BuildLayoutCompare(const TDrawsArray& draws, int offset, int length) {
    TLayoutCompareList list;
    const TDrawWindow window = ViewWindow(static_cast<int>(draws.size()), offset, length);
    if (window.Empty()) return list;
    list.Caption = std::to_string(draws[static_cast<size_t>(window.First)].DrawNo) + " - " +
                   std::to_string(draws[static_cast<size_t>(window.Last)].DrawNo);
    for (const TShemaCell& c : CountShema(draws, window)) {
        auto row = std::find_if(list.Rows.begin(), list.Rows.end(),
                                [&](const auto& r) { return r.first == c.Count; });
        if (row != list.Rows.end())
            row->second += ", " + std::to_string(c.Number);
        else
            list.Rows.emplace_back(c.Count, std::to_string(c.Number));
    }
    std::stable_sort(list.Rows.begin(), list.Rows.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    return list;
}

TColor LayoutCellColor(const std::string& text, int row, int column, int rows, int columns,
                       bool gradient) {
    if (text.find('[') != std::string::npos) return kNextDrawColor;
    if (gradient) {
        const double r = rows > 0 ? 155.0 * row / rows : 0;
        const double c = columns > 0 ? 155.0 * column / columns : 0;
        return {Round(255 - r), Round(255 - c), Round(r + 100)};
    }
    return MarkedBand(row) == MarkedBand(column) ? kBandsEqual : kBandsDiffer;
}

}  // namespace tessara
