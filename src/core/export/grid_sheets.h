#pragma once

#include <string>

#include "export/sheet.h"
#include "stats/value_table.h"
#include "views/draw_card.h"
#include "views/layout_scheme.h"

namespace tessara {

class TCombList;
class TDrawArchive;
class TRatings;
class TStakesFile;

// The sheets of the window's grids: the same columns, captions, order and
// texts as the grid, numbers as numbers, and the grid's colours where it
// paints them. A sheet reads its source while it is written, so the source
// must outlive the writing and stay unchanged meanwhile.

struct TDrawsSheetOptions {
    bool Sorted = false;     // numbers of each draw shown MIN->MAX
    bool ColorDraws = true;  // numbers in the colours of their channels
    int ChannelSize = 7;
    int Offset = 0;  // the list row of the draws offset, painted
};
// "Архив тиражей": newest draw first.
TSheet DrawsSheet(const TDrawArchive& archive, const TDrawsSheetOptions& options);
// "Комбинации": the working list in its order.
TSheet CombsSheet(const TCombList& list, bool colorCombs, int channelSize);
// "Ставки": every record of the stakes file in file order.
TSheet StakesSheet(const TStakesFile& file);
// "Рейтинг": the rows in their present order; the E columns by effMode.
TSheet RatingsSheet(const TRatings& ratings, int effMode);
// "Статистика": the rows of a value table in their present order, with the
// full-set columns only when norms is set. title is the sheet's row 1.
TSheet ValueTableSheet(const TValueTable& table, const std::string& title, bool norms);
// "Карта": one row per draw, newest first.
TSheet CardSheet(const TDrawsArray& draws, const TCardOptions& options);
// "Схема": rows by count, columns by last draw.
TSheet LayoutSheet(TLayoutScheme scheme, bool gradient);

}  // namespace tessara
