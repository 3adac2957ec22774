#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <utility>

#include "model/records.h"

namespace tessara {

// Combinatorics; "extended" precision is long double.
long double Factorial(int n);
long double RisingProduct(long double a, int count);
long double FallingProduct(long double a, int count);
uint32_t Binomial(int n, int k);
uint32_t CombsWithMatches(int n, int k, int m);

constexpr int32_t SumFromBottom(int32_t a, int32_t count) {
    int32_t s = 0;
    for (int32_t i = 0; i < count; ++i) s += a + i;
    return s;
}
constexpr int32_t SumFromTop(int32_t a, int32_t count) {
    int32_t s = 0;
    for (int32_t i = 0; i < count; ++i) s += a - i;
    return s;
}
constexpr int32_t CeilDiv(int32_t a, int32_t b) { return a / b + (a % b != 0 ? 1 : 0); }

inline constexpr int32_t MinSum = SumFromBottom(1, BallsInDraw);
inline constexpr int32_t MaxSum = SumFromTop(MaxNumber, BallsInDraw);
inline constexpr int32_t SumStep = (MaxSum - MinSum) / 10;
static_assert(MinSum == 21 && MaxSum == 237 && SumStep == 21);

// Combinations with exactly k = 0..6 matches between a stake and a draw.
struct TMatchTable {
    uint32_t Counts[BallsInDraw + 1] = {};
    long double Probabilities[BallsInDraw + 1] = {};
};
TMatchTable MakeMatchTable();

// Matrix positions: numbers laid out row by row.
int32_t MatrixRowCount(int first, int last, int cols);
std::pair<int, int> MatrixPosition(int first, int cols, int n);  // (column, row) from 0
constexpr int MatrixColumn(int n, int cols) { return ((n - 1) % cols) + 1; }
constexpr int MatrixRow(int n, int cols) { return ((n - 1) / cols) + 1; }
constexpr int MatrixNumberAt(int first, int row, int col, int cols) {
    return first + col + row * cols;
}

// Number groups (channels) and their colours.
constexpr int NumberGroup(int n, int size) { return CeilDiv(n, size); }
TColor NumberGroupColor(int n, int size);

// Shifting around the circle 1..42 (one wrap).
int ShiftNumber(int n, int d);
TCombination ShiftCombination(const TCombination& comb, int d);

// Membership.
bool DrawHasNumber(int n, const TDrawRecord& draw);
bool CombHasNumber(int n, const TCombination& comb);
bool DrawHasGroup(int g, const TDrawRecord& draw, int size);
// map holds 42 bytes indexed by number - 1; numbers outside 1..42 never match.
bool DrawHasMappedValue(int v, const TDrawRecord& draw, const uint8_t* map);
bool ByteArrayHas(uint8_t b, const TByteArray& arr);
void ByteArrayAddUnique(uint8_t b, TByteArray& arr);
void ByteArrayAppend(uint8_t b, TByteArray& arr);

// Matching.
inline int CountMatches(const uint8_t* a, const uint8_t* b) {
    int k = 0;
    for (int i = 0; i < BallsInDraw; ++i)
        for (int j = 0; j < BallsInDraw; ++j) k += a[i] == b[j];
    return k;
}
inline int CountMatches(const TDrawRecord& draw, const TCombination& comb) {
    return CountMatches(draw.Numbers, comb.n);
}
inline int CountDrawMatches(const TDrawRecord& a, const TDrawRecord& b) {
    return CountMatches(a.Numbers, b.Numbers);
}
TStakeNumbers MatchedNumbers(const TDrawRecord& draw, const TStakeNumbers& stake);
bool SameNumbers(const TStakeNumbers& a, const TStakeNumbers& b);
TStakeNumbers CombToStakeNumbers(const TCombination& comb);
TCombination DrawToComb(const TDrawRecord& draw);

// Distinct numbers of the first n combinations; numbers outside 1..42 are
// not counted.
int CountDistinctNumbers(const TCombination* combs, int64_t n);
TByteArray CollectDistinctNumbers(const TCombination* combs, int64_t n);
TStakeNumbers RandomNumberSubset(const TCombination* combs, int64_t n, int limit);

// The generator shared by everything random in the program.
std::mt19937& RandomGenerator();
void RandomizeFromClock();

// Stable insertion sorts.
void SortCombination(TCombination& comb);
void SortDrawNumbers(TDrawRecord& draw);
void SortStakeNumbers(TStakeNumbers& list);
void SortIntArrayDesc(TIntArray& arr);
void AddStatSimple(TStatSimpleArray& arr, int32_t key, int32_t add);
void SortStatSimple(TStatSimpleArray& arr);

// Integer reading as the system does it everywhere: optional sign, decimal
// digits, nothing else, within 32 bits.
bool TryStrToInt(std::string_view text, int32_t& value);
int32_t StrToIntDef(std::string_view text, int32_t def);

// Text forms.
std::string FormatCombination(const TCombination& comb);
std::string FormatCombinationPadded(const TCombination& comb);
TCombination ParseCombination(std::string_view text);  // throws Error
std::string FormatStakeNumbers(const TStakeNumbers& list, std::string_view sep);
std::string FormatDrawNumbers(const TDrawRecord& draw);  // six numbers joined by ";"
std::string FormatDrawInfo(const TDrawRecord& draw);
std::string StakeKindName(int kind);
// A list longer than this is refused (empty): no draws length or level list
// needs more values, and a careless range must not fill the memory.
inline constexpr size_t MaxIntListSize = 100000;
TIntArray ParseIntList(std::string_view text);
std::string JoinIntList(const TIntArray& list, std::string_view sep);

}  // namespace tessara
