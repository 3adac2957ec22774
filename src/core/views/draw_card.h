#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/records.h"

namespace tessara {

// The draw card: one row per draw of the whole archive, newest in row 1,
// one column per number. Grid coordinates count the header: row 0 and
// column 0 are the captions, columns 1..42 the numbers, column 43 the extra
// ball. The card reads the archive on demand, so it never shows a stale row.
inline constexpr int CardColumnCount = MaxNumber + 2;
inline constexpr int CardExtraColumn = MaxNumber + 1;

struct TCardOptions {
    bool ColorCard = true;           // channels in their group colours
    bool ColorCardSequences = true;  // repeats and neighbours stand out
    int ChannelSize = 7;
};

// count + 1 rows, and 2 for an empty archive (the header and one empty row).
int CardRowCount(const TDrawsArray& draws);
// The draw of a grid row (1 = newest), or null outside the archive.
const TDrawRecord* CardRowDraw(const TDrawsArray& draws, int row);
// Whether the cell of a number column holds its number; bytes outside 1..42
// are never shown.
bool CardCellDrawn(const TDrawsArray& draws, int row, int column);
// The text of any cell, header included.
std::string CardCellText(const TDrawsArray& draws, int row, int column);
// The colour of a data cell (row and column from 1) that is not selected;
// nothing where the grid's own colour stays.
std::optional<TColor> CardCellColor(const TDrawsArray& draws, int row, int column,
                                    const TCardOptions& options);

// The numbers of a selected rectangle (inclusive grid coordinates): every
// non-empty cell, column by column from the left and within a column from
// the top, read as an integer.
std::vector<int> CardSelectionNumbers(const TDrawsArray& draws, int top, int left, int bottom,
                                      int right);

}  // namespace tessara
