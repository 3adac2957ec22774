#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/records.h"
#include "stakes/stake_record.h"

namespace tessara {

// What the stakes grid shows; the grid reads one record per row on demand.
inline constexpr int StakesGridColumnCount = 9;
const char* StakesGridCaption(int column);  // "" outside 0..8
int StakesGridColumnWidth(int column);      // the widths of a reset grid, in pixels

// The text of a cell; a record whose draw is 0 or less (a separator, a row
// past the file) gives empty cells.
std::string StakesGridCellText(const TStakeRecord& r, int column);

// The background of a row by the record's kind; none means the window colour.
std::optional<TColor> StakeKindColor(int kind);
// The numbers of column 2 (staked) or 4 (drawn, once checked), each with
// whether it is among the matched numbers (drawn bold in blue).
struct TStakeGridNumber {
    std::string Text;
    bool Matched;
};
std::vector<TStakeGridNumber> StakesGridNumbers(const TStakeRecord& r, int column);
// Columns 5 to 7 of a checked stake are green when it made a profit, red
// otherwise; nothing special while unchecked.
enum class TStakeOutcome { Unchecked, Profit, Loss };
TStakeOutcome StakeOutcome(const TStakeRecord& r);

// The state of the grid after the last refresh: the number of data rows
// (rows of records, or one blank row without stakes), the row to select and
// scroll to (-1 to keep the selection), whether to repaint, and the text of
// the status panel.
struct TStakesGridState {
    int64_t Rows = 1;
    int64_t Selected = -1;
    bool Repaint = false;
    std::string StatusText = "Ставок: 0";
};

}  // namespace tessara
