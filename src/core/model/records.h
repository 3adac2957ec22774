#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessara {

// Game constants.
inline constexpr int BallsInDraw = 6;
inline constexpr int MaxNumber = 42;
inline constexpr int MaxExtraBall = 9;

// Draw record: byte for byte the same in memory and in the draws file.
#pragma pack(push, 1)
struct TDrawRecord {
    int32_t DrawNo;
    uint8_t Numbers[BallsInDraw];
    uint8_t ExtraBall;
    uint8_t DrawDateLen;  // short string: length byte, then up to 16 Windows-1251 bytes
    char DrawDate[16];
};
#pragma pack(pop)
static_assert(sizeof(TDrawRecord) == 28);
static_assert(offsetof(TDrawRecord, DrawNo) == 0);
static_assert(offsetof(TDrawRecord, Numbers) == 4);
static_assert(offsetof(TDrawRecord, ExtraBall) == 10);
static_assert(offsetof(TDrawRecord, DrawDateLen) == 11);
static_assert(offsetof(TDrawRecord, DrawDate) == 12);

// Six number bytes; also the record of the combination buffer file.
struct TCombination {
    uint8_t n[BallsInDraw];
    uint8_t& operator[](int i) { return n[i]; }
    uint8_t operator[](int i) const { return n[i]; }
    bool operator==(const TCombination&) const = default;
};
static_assert(sizeof(TCombination) == 6);

#pragma pack(push, 1)
struct TStakeNumbers {
    int32_t Count;
    uint8_t Numbers[12];
    bool operator==(const TStakeNumbers&) const = default;
};
#pragma pack(pop)
static_assert(sizeof(TStakeNumbers) == 16);
static_assert(offsetof(TStakeNumbers, Numbers) == 4);

struct TStatSimple {
    int32_t Key;
    int32_t Count;
};

struct TProfitDraw {
    int32_t DrawNo;
    int64_t Profit;
};

using TDrawsArray = std::vector<TDrawRecord>;
using TCombsArray = std::vector<TCombination>;
using TIntArray = std::vector<int32_t>;
using TByteArray = std::vector<uint8_t>;
using TStatSimpleArray = std::vector<TStatSimple>;
using TProfitDrawArray = std::vector<TProfitDraw>;

// Money: amount times 10,000.
using TMoney = int64_t;
inline constexpr TMoney MoneyScale = 10000;

struct TColor {
    uint8_t r, g, b;
    bool operator==(const TColor&) const = default;
};

// Date and time as days since 30 December 1899 with the time of day as the
// fraction; 0 means "no date".
using TDateTime = double;

// A set of numbers over 0..255.
using TByteSet = std::array<bool, 256>;

// Text of the draw's date (UTF-8) and its setter, which cuts to 16 characters.
std::string DrawDateText(const TDrawRecord& draw);
void SetDrawDateText(TDrawRecord& draw, const std::string& utf8);

}  // namespace tessara
