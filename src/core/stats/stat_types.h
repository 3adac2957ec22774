#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tessara {

// The value of a statistic: eight bytes seen as four 16-bit words, two
// 32-bit integers or eight bytes. Equality and order use the four words.
union StatKey {
    uint16_t w[4];
    int32_t i[2];
    uint8_t b[8];
};
static_assert(sizeof(StatKey) == 8);

inline StatKey MakeKey(uint16_t w1, uint16_t w2 = 0, uint16_t w3 = 0, uint16_t w4 = 0) {
    StatKey k;
    k.w[0] = w1;
    k.w[1] = w2;
    k.w[2] = w3;
    k.w[3] = w4;
    return k;
}
inline StatKey MakeIntKey(int32_t a, int32_t b = 0) {
    StatKey k;
    k.i[0] = a;
    k.i[1] = b;
    return k;
}
inline bool operator==(const StatKey& a, const StatKey& b) {
    return a.w[0] == b.w[0] && a.w[1] == b.w[1] && a.w[2] == b.w[2] && a.w[3] == b.w[3];
}
inline bool KeyLess(const StatKey& a, const StatKey& b) {
    for (int i = 0; i < 4; ++i)
        if (a.w[i] != b.w[i]) return a.w[i] < b.w[i];
    return false;
}

// One value row of a statistic.
struct TStatDraw {
    int32_t LastDraw;   // number of the draw of the most recent occurrence
    int32_t Depth;      // draws from it to the end of the sample (last = 1); 0 = never
    int32_t PrevDraw;   // latest occurrence seen so far, for periods
    uint16_t PeriodMin;
    uint16_t PeriodMax;
    int32_t Count;
    int32_t Norm;  // expected count from the full set; 0 when not computed
    StatKey Key;
};
using TStatDrawArray = std::vector<TStatDraw>;

// Last occurrence of a value, for the period statistics.
struct TLastValue {
    int32_t DrawNo;
    StatKey Key;
};
using TLastValueArray = std::vector<TLastValue>;
// drawNo minus the draw number stored for the key, which drawNo then
// replaces; -1 when the key is new to the list, which then records it.
int32_t UpdateLastValue(int32_t drawNo, const StatKey& key, TLastValueArray& list);

// Per-draw state of the statistics that carry it from draw to draw; the
// caller zero-fills it before the first sample draw.
using TStatScratch = std::array<uint8_t, 504>;

// Features, shown as letters after a method's name.
enum TStatFeature : uint8_t {
    sfSorted = 1,   // "S": depends on the positions of the numbers
    sfNorm = 2,     // "N": depends on the combination alone (full-set comparison)
    sfRefDraw = 4,  // "D": depends on a reference draw
    sfPeriod = 8,   // "P": period statistic
    sfGraph = 16,   // "G": has a graph value
};
using TStatFeatures = uint8_t;
// The letters present, in the order S, N, D, P, G ("SNG").
std::string FeatureLetters(TStatFeatures f);

inline constexpr int StatGroupCount = 13;
const char* StatGroupId(int group);
const char* StatGroupCaption(int group);
// "{ num } Числа тиража"; "#ERROR#" outside 0..12.
std::string StatGroupDisplayText(int group);

// Merges one row into a list (see the value table): an equal key adds to the
// existing row, keeping the most recent occurrence and, with trackPeriods,
// the smallest and largest gaps between occurrences.
void AddStatDraw(TStatDrawArray& rows, const TStatDraw& row, bool trackPeriods);
void SortStatDraws(TStatDrawArray& rows);
struct TStatSummary {
    int32_t MinCount;
    int32_t MaxCount;
    int32_t MaxDepth;
    int64_t TotalCount;
};
TStatSummary SummarizeStatDraws(const TStatDrawArray& rows);

// Searches of selected rows; false for an empty list or a position out of range.
bool RowsHaveKey(const TStatDrawArray& rows, uint16_t w1, uint16_t w2, uint16_t w3, uint16_t w4);
bool RowsHaveWord(const TStatDrawArray& rows, int n, uint16_t v);
bool RowsHaveByte(const TStatDrawArray& rows, int n, uint8_t v);
bool RowsHaveInt(const TStatDrawArray& rows, int n, int32_t v);
bool RowsHaveWordPair(const TStatDrawArray& rows, uint16_t a, uint16_t b);

}  // namespace tessara
