#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/config.h"
#include "model/draw_archive.h"
#include "model/records.h"
#include "stakes/stake_record.h"

namespace tessara {

inline constexpr const char* RegularsFileName = "Tessara_6x42.ltb";
inline constexpr const char* RegularDefaultComment = "Регулярная ставка";
inline constexpr int MaxRegularStep = 42;

// One regular stake: a rule that moves every number of a base combination by
// a fixed step around the circle 1..42 for each coming draw. Stored byte for
// byte in the regulars file, records one after another without a header.
#pragma pack(push, 1)
struct TRegularStake {
    uint8_t CommentLen;  // length-prefixed Windows-1251 text, unique within the list
    char Comment[255];
    uint8_t FromDraw;    // 1: the base is the draw before the target draw
    uint8_t Start[6];    // ascending
    uint8_t Current[6];  // the combination produced last
    uint8_t Reserved[3];
    int32_t Step;    // -42 .. 42
    int32_t Stakes;  // combinations produced so far
};
#pragma pack(pop)
static_assert(sizeof(TRegularStake) == 280);
static_assert(offsetof(TRegularStake, CommentLen) == 0);
static_assert(offsetof(TRegularStake, Comment) == 1);
static_assert(offsetof(TRegularStake, FromDraw) == 256);
static_assert(offsetof(TRegularStake, Start) == 257);
static_assert(offsetof(TRegularStake, Current) == 263);
static_assert(offsetof(TRegularStake, Reserved) == 269);
static_assert(offsetof(TRegularStake, Step) == 272);
static_assert(offsetof(TRegularStake, Stakes) == 276);

inline constexpr size_t RegularRecordSize = sizeof(TRegularStake);
using TRegularsArray = std::vector<TRegularStake>;

// A rule with current = start and no stakes yet.
TRegularStake MakeRegular(const std::string& comment, bool fromDraw, const TCombination& start,
                          int step);
std::string RegularComment(const TRegularStake& r);
void SetRegularComment(TRegularStake& r, const std::string& utf8);
TCombination RegularStart(const TRegularStake& r);
TCombination RegularCurrent(const TRegularStake& r);

// Moves the rule on by one combination for the draw after the one that lies
// offset places before the newest draw: the base (that draw's numbers, or
// the current combination) moved by the step around 1..42, sorted, becomes
// the current combination, and the counter grows by one.
void AdvanceRegular(const TDrawArchive& archive, int offset, TRegularStake& rule);

// The columns of the regulars list.
inline constexpr int RegularColumnCount = 5;
const char* RegularColumnCaption(int column);  // "" outside 0..4
std::string RegularCellText(const TRegularStake& r, int column);
// Six numbers joined with ";".
std::string RegularCombText(const TCombination& comb);

// The whole file: a size that is not a multiple of the record throws Error
// with the cause.
TRegularsArray ParseRegularsFile(std::string_view bytes);
std::string FormatRegularsFile(const TRegularsArray& rules);

// The checks of the regular-stake dialog's OK, in order: with an editable
// combination field, six different integers 1..42 at ";" and ","; a comment
// that is not empty; a comment that no rule has yet (exact comparison). On
// success start holds the field's numbers ascending (untouched when the field
// is not editable).
enum class TRegularDialogCheck { Ok, Combination, Comment, Duplicate };
TRegularDialogCheck CheckRegularDialog(bool combEditable, std::string_view combText,
                                       const std::string& comment,
                                       const std::vector<std::string>& comments,
                                       TCombination& start, std::string& message);

// The stake a rule makes once advanced: a regular stake of its current
// combination on draw, with the list's size as its sample and its cost as
// the profit.
TStakeRecord MakeRegularStakeRecord(const TRegularStake& advanced, int draw, int64_t sample,
                                    const TConfigData& config);
// Six different numbers 1..42: what a stake may be made of.
bool IsValidCombination(const TCombination& comb);

}  // namespace tessara
