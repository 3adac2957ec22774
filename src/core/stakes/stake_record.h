#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/records.h"

namespace tessara {

inline constexpr uint8_t StakeVersion = 2;
inline constexpr int MaxStakeNumbers = 12;  // what TStakeNumbers can hold

// The kinds of stake records; the captions come from StakeKindName.
enum TStakeKind : uint8_t {
    skSeparator = 0,
    skManual = 1,
    skRegular = 2,
    skScenario = 3,
    skSystem = 4,
};

// One record of the stakes file, byte for byte as stored.
#pragma pack(push, 1)
struct TStakeRecord {
    uint8_t Version;
    uint8_t Kind;
    uint8_t Reserved1[2];
    int32_t Draw;  // target draw; -1 in a separator
    uint8_t Checked;
    uint8_t Reserved2[3];
    int32_t Sample;  // size of the combination list when the stake was made
    TStakeNumbers Numbers;
    uint8_t Result[6];  // the drawn numbers in draw order, once checked
    uint8_t Reserved3[2];
    TStakeNumbers Matches;  // Count is -1 until checked
    int64_t Profit;         // the cost (negative) until checked, then the profit
    uint8_t CommentLen;     // length-prefixed Windows-1251 text
    char Comment[255];
};
#pragma pack(pop)
static_assert(sizeof(TStakeRecord) == 320);
static_assert(offsetof(TStakeRecord, Version) == 0);
static_assert(offsetof(TStakeRecord, Kind) == 1);
static_assert(offsetof(TStakeRecord, Draw) == 4);
static_assert(offsetof(TStakeRecord, Checked) == 8);
static_assert(offsetof(TStakeRecord, Sample) == 12);
static_assert(offsetof(TStakeRecord, Numbers) == 16);
static_assert(offsetof(TStakeRecord, Result) == 32);
static_assert(offsetof(TStakeRecord, Matches) == 40);
static_assert(offsetof(TStakeRecord, Profit) == 56);
static_assert(offsetof(TStakeRecord, CommentLen) == 64);
static_assert(offsetof(TStakeRecord, Comment) == 65);

inline constexpr int64_t StakeRecordSize = sizeof(TStakeRecord);

// The blank row that divides groups of stakes.
TStakeRecord MakeSeparatorStake();
// A fresh unchecked record of a kind: version 2, matches -1, all else zero.
TStakeRecord MakeEmptyStake(uint8_t kind);

inline bool StakeIsChecked(const TStakeRecord& r) { return r.Checked != 0; }
// A stake record whose counts or numbers are out of their ranges (numbers
// 0..12 of 1..42; matches -1 while unchecked, else 0..6 of 1..42): it is
// shown as damaged and counted nowhere. Separators are never damaged.
bool StakeIsDamaged(const TStakeRecord& r);
inline constexpr const char* BadDataText = "# bad data #";
// Staked numbers as the record may be trusted with them (0..12).
int StakeNumberCount(const TStakeRecord& r);

// The comment in UTF-8, and its setter, which cuts to 255 bytes of the file's
// code page.
std::string StakeComment(const TStakeRecord& r);
void SetStakeComment(TStakeRecord& r, const std::string& utf8);

// Length-prefixed Windows-1251 text of 255 bytes at most, shared with the
// rating rows.
std::string ShortStringText(uint8_t len, const char* bytes, size_t capacity);
void SetShortString(uint8_t& len, char* bytes, size_t capacity, const std::string& utf8);

}  // namespace tessara
