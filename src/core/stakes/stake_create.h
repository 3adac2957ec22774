#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/config.h"
#include "stakes/stake_record.h"

namespace tessara {

inline constexpr const char* ManualStakeComment = "Ставка \"вручную\"";
inline constexpr int MaxStakeCommentLength = 64;  // characters the stake dialogs accept
inline constexpr int MaxStakeDraws = 65535;       // draws one stake may cover
inline constexpr int MinDialogStake = 6;
inline constexpr int MaxDialogStake = 10;

// The record a manual stake starts from: the combination's numbers (none
// without one), the next draw, the list's size as the sample and the cost of
// the stake as its profit.
TStakeRecord PrefillManualStake(int draw, int64_t sample, const TCombination* comb,
                                const TConfigData& config);

// The checks of the stake dialog's OK, in order: the numbers (6 to 10
// different integers 1..42 at ";" and ","), then a comment that is not
// empty. On success numbers holds them ascending.
enum class TStakeDialogCheck { Ok, Numbers, Comment };
TStakeDialogCheck CheckStakeDialog(std::string_view numbersText, std::string_view comment,
                                   TStakeNumbers& numbers, std::string& message);
// The multi-stake dialog only needs a comment.
bool CheckMultiStakeDialog(std::string_view comment, std::string& message);
// What the dialog's sum field shows: the words of the numbers field read as
// integers, a word that is none counting 0.
int64_t StakeNumbersSum(std::string_view numbersText);

// The record the stake dialog returns: the entered draw, comment and numbers,
// with the cost of the numbers as finally entered; the rest as prefilled.
TStakeRecord ApplyStakeDialog(const TStakeRecord& prefilled, int draw, const std::string& comment,
                              const TStakeNumbers& numbers, const TConfigData& config);

}  // namespace tessara
