#include "stakes/stakes_grid.h"

#include <algorithm>

#include "model/format.h"
#include "model/game.h"
#include "stakes/stake_cost.h"

namespace tessara {

namespace {

TStakeNumbers ResultNumbers(const TStakeRecord& r) {
    TStakeNumbers list{};
    list.Count = BallsInDraw;
    for (int i = 0; i < BallsInDraw; ++i) list.Numbers[i] = r.Result[i];
    return list;
}

bool IsMatched(const TStakeRecord& r, uint8_t n) {
    const int count = std::clamp(r.Matches.Count, 0, MaxStakeNumbers);
    for (int i = 0; i < count; ++i)
        if (r.Matches.Numbers[i] == n) return true;
    return false;
}

}  // namespace

const char* StakesGridCaption(int column) {
    static const char* const kCaptions[StakesGridColumnCount] = {
        "№ тиража",          "Вид ставки", "Моя ставка", "Выборка",    "Результаты тиража",
        "Совпадений",        "Совпадения", "Профит",     "Комментарий"};
    return column >= 0 && column < StakesGridColumnCount ? kCaptions[column] : "";
}

int StakesGridColumnWidth(int column) {
    static const int kWidths[StakesGridColumnCount] = {60, 60, 120, 60, 120, 60, 60, 60, 1000};
    return column >= 0 && column < StakesGridColumnCount ? kWidths[column] : 0;
}

std::string StakesGridCellText(const TStakeRecord& r, int column) {
    if (r.Draw <= 0) return {};
    const bool checked = StakeIsChecked(r);
    if (StakeIsDamaged(r) && column >= 2 && column <= 7) return BadDataText;
    switch (column) {
        case 0: return std::to_string(r.Draw);
        case 1: return StakeKindName(r.Kind);
        case 2: return FormatStakeNumbers(r.Numbers, ";");
        case 3: return std::to_string(r.Sample);
        case 4: return checked ? FormatStakeNumbers(ResultNumbers(r), ";") : std::string();
        case 5: return checked ? std::to_string(r.Matches.Count) : std::string();
        case 6: return checked ? FormatStakeNumbers(r.Matches, " ") : std::string();
        case 7: return FormatShownMoney(r.Profit);
        case 8: return StakeComment(r);
        default: return {};
    }
}

std::optional<TColor> StakeKindColor(int kind) {
    switch (kind) {
        case skManual: return TColor{234, 255, 234};
        case skRegular: return TColor{255, 234, 234};
        case skScenario: return TColor{234, 255, 255};
        case skSystem: return TColor{252, 253, 217};
        default: return std::nullopt;
    }
}

std::vector<TStakeGridNumber> StakesGridNumbers(const TStakeRecord& r, int column) {
    std::vector<TStakeGridNumber> out;
    if (r.Draw <= 0 || StakeIsDamaged(r)) return out;
    TStakeNumbers list;
    if (column == 2)
        list = r.Numbers;
    else if (column == 4 && StakeIsChecked(r))
        list = ResultNumbers(r);
    else
        return out;
    const int count = std::clamp(list.Count, 0, MaxStakeNumbers);
    for (int i = 0; i < count; ++i)
        out.push_back({std::to_string(list.Numbers[i]), IsMatched(r, list.Numbers[i])});
    return out;
}

TStakeOutcome StakeOutcome(const TStakeRecord& r) {
    if (!StakeIsChecked(r)) return TStakeOutcome::Unchecked;
    return r.Profit > 0 ? TStakeOutcome::Profit : TStakeOutcome::Loss;
}

}  // namespace tessara
