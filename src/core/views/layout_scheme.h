#pragma once

#include <string>
#include <utility>
#include <vector>

#include "model/records.h"

namespace tessara {

// One number of the layout window: how often it came out and the newest
// draw that holds it.
struct TShemaCell {
    int32_t Number;
    int32_t Count;
    int32_t LastDrawNo;
};
using TShemaArray = std::vector<TShemaCell>;

// The window of a view: the length draws that end length at the current
// last draw (High - offset); first is raised to 0. Empty (last < first)
// for an empty archive or an offset past it.
struct TDrawWindow {
    int First = 0;
    int Last = -1;
    bool Empty() const { return Last < First; }
};
TDrawWindow ViewWindow(int count, int offset, int length);

// The draws from last down to first, their numbers in stored order: a number
// gets its cell when first seen (so with the newest draw that holds it) and
// counts up afterwards.
TShemaArray CountShema(const TDrawsArray& draws, TDrawWindow window);

// The scheme grid: rows by count (largest at the top), columns by the last
// draw (newest at the left). Cells[r][c] is the text of data row r + 1 and
// column c + 1: its numbers in cell-list order joined by ", ", each in "[ ]"
// when it is one of the next draw's numbers.
struct TLayoutScheme {
    std::vector<int32_t> Counts;
    std::vector<int32_t> LastDraws;
    std::vector<std::vector<std::string>> Cells;
    // Grid sizes with the header row and column (2 x 2 when empty).
    int GridRows() const { return static_cast<int>(Counts.size()) + 1; }
    int GridColumns() const { return static_cast<int>(LastDraws.size()) + 1; }
};
TLayoutScheme BuildLayoutScheme(const TDrawsArray& draws, int offset, int length,
                                const TByteSet& nextDraw);

// One comparison list: the caption "first - last" (draw numbers) and its
// rows (count, numbers joined by ", "), largest count first. An empty
// archive gives an empty list.
struct TLayoutCompareList {
    std::string Caption;
    std::vector<std::pair<int32_t, std::string>> Rows;
};
TLayoutCompareList BuildLayoutCompare(const TDrawsArray& draws, int offset, int length);

// Colours of the scheme's data cells (row and column from 1, not selected):
// green for a number of the next draw, else the gradient or the
// checkerboard of 5 x 5 blocks. rows and columns count the header.
TColor LayoutCellColor(const std::string& text, int row, int column, int rows, int columns,
                       bool gradient);

// What a refresh of a windowed view (scheme, week) depends on; an unforced
// refresh with the same key does nothing. The digest of the draws makes a
// draw edited in place count as a change, as a new or deleted draw does.
struct TWindowKey {
    int Count = -1;
    int Offset = -1;
    int Length = -1;
    uint64_t Digest = 0;
    bool operator==(const TWindowKey&) const = default;
};
uint64_t ArchiveDigest(const TDrawsArray& draws);

}  // namespace tessara
