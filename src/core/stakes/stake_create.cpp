#include "stakes/stake_create.h"

#include <algorithm>
#include <climits>
#include <vector>

#include "model/draw_archive.h"
#include "model/encoding.h"
#include "model/game.h"
#include "stakes/stake_cost.h"

namespace tessara {

namespace {

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i)
        if (i == text.size() || text[i] == ';' || text[i] == ',') {
            words.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    return words;
}

}  // namespace

TStakeRecord PrefillManualStake(int draw, int64_t sample, const TCombination* comb,
                                const TConfigData& config) {
    TStakeRecord r = MakeEmptyStake(skManual);
    r.Draw = draw;
    r.Sample = static_cast<int32_t>(std::min<int64_t>(sample, INT32_MAX));
    SetStakeComment(r, ManualStakeComment);
    if (comb) r.Numbers = CombToStakeNumbers(*comb);
    r.Profit = StakeCost(config, StakeNumberCount(r), -1);
    return r;
}

TStakeDialogCheck CheckStakeDialog(std::string_view numbersText, std::string_view comment,
                                   TStakeNumbers& numbers, std::string& message) {
    const auto words = Words(numbersText);
    TStakeNumbers list{};
    bool ok = words.size() >= MinDialogStake && words.size() <= MaxDialogStake;
    bool seen[MaxNumber + 1] = {};
    for (size_t i = 0; ok && i < words.size(); ++i) {
        int32_t n = 0;
        ok = TryStrToInt(Trim(words[i]), n) && n >= 1 && n <= MaxNumber && !seen[n];
        if (ok) {
            seen[n] = true;
            list.Numbers[list.Count++] = static_cast<uint8_t>(n);
        }
    }
    if (!ok) {
        message = std::string(MsgIncorrectCombination) + "\r\r" +
                  NumberListFault(numbersText, MinDialogStake, MaxDialogStake);
        return TStakeDialogCheck::Numbers;
    }
    if (!CheckMultiStakeDialog(comment, message)) return TStakeDialogCheck::Comment;
    SortStakeNumbers(list);
    numbers = list;
    message.clear();
    return TStakeDialogCheck::Ok;
}

bool CheckMultiStakeDialog(std::string_view comment, std::string& message) {
    if (!comment.empty()) return true;
    message = "Необходимо ввести комментарий!";
    return false;
}

int64_t StakeNumbersSum(std::string_view numbersText) {
    int64_t sum = 0;
    for (std::string_view w : Words(numbersText)) sum += StrToIntDef(Trim(w), 0);
    return sum;
}

TStakeRecord ApplyStakeDialog(const TStakeRecord& prefilled, int draw, const std::string& comment,
                              const TStakeNumbers& numbers, const TConfigData& config) {
    TStakeRecord r = prefilled;
    r.Draw = draw;
    SetStakeComment(r, comment);
    r.Numbers = numbers;
    r.Profit = StakeCost(config, StakeNumberCount(r), -1);
    return r;
}

}  // namespace tessara
