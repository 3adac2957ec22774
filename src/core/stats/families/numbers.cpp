#include "stats/families/numbers.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "model/game.h"

namespace tessara {

namespace {

#if defined(__SSE2__)
// Eight combinations (48 bytes) at a time: each byte is compared with the
// few selected numbers, and a combination matches when any of its six
// bytes did.
int64_t FilterFewNumbers(const TCombination* src, int64_t n, TCombination* dst,
                         const uint8_t* values, int k, bool exclude) {
    const auto* s = reinterpret_cast<const uint8_t*>(src);
    auto* d = reinterpret_cast<uint8_t*>(dst);
    __m128i wanted[8];
    for (int j = 0; j < k; ++j) wanted[j] = _mm_set1_epi8(static_cast<char>(values[j]));
    int64_t kept = 0, i = 0;
    for (; i + 8 <= n; i += 8) {
        const uint8_t* p = s + i * 6;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
        __m128i ma = _mm_setzero_si128(), mb = ma, mc = ma;
        for (int j = 0; j < k; ++j) {
            ma = _mm_or_si128(ma, _mm_cmpeq_epi8(a, wanted[j]));
            mb = _mm_or_si128(mb, _mm_cmpeq_epi8(b, wanted[j]));
            mc = _mm_or_si128(mc, _mm_cmpeq_epi8(c, wanted[j]));
        }
        const uint64_t m = static_cast<uint64_t>(_mm_movemask_epi8(ma)) |
                           static_cast<uint64_t>(_mm_movemask_epi8(mb)) << 16 |
                           static_cast<uint64_t>(_mm_movemask_epi8(mc)) << 32;
        for (int t = 0; t < 8; ++t) {
            std::memcpy(d + kept * 6, p + t * 6, 6);
            kept += (((m >> (6 * t)) & 63) != 0) != exclude;
        }
    }
    for (; i < n; ++i) {
        bool hit = false;
        for (uint8_t x : src[i].n)
            for (int j = 0; j < k; ++j) hit |= x == values[j];
        dst[kept] = src[i];
        kept += hit != exclude;
    }
    return kept;
}
#endif

class StValues : public TCustomValuesStat {
public:
    using TCustomValuesStat::TCustomValuesStat;
    // The selected numbers as bits: one AND per combination.
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        uint64_t bits[4] = {};
        uint8_t values[256];
        int k = 0;
        for (const TStatDraw& r : sel)
            if (r.Key.w[1] == 0 && r.Key.w[2] == 0 && r.Key.w[3] == 0 && r.Key.w[0] < 256 &&
                !((bits[r.Key.w[0] >> 6] >> (r.Key.w[0] & 63)) & 1)) {
                bits[r.Key.w[0] >> 6] |= 1ull << (r.Key.w[0] & 63);
                values[k++] = static_cast<uint8_t>(r.Key.w[0]);
            }
#if defined(__SSE2__)
        if (k <= 8)
            return FilterSlicesWithThreads(src, n, dst,
                                           [&](const TCombination* s, int64_t len, TCombination* d) {
                                               return FilterFewNumbers(s, len, d, values, k, exclude);
                                           });
#endif
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint64_t hit = 0;
            for (uint8_t x : c.n) hit |= bits[x >> 6] >> (x & 63);
            return (hit & 1) != 0;
        });
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int n = 1; n <= MaxNumber; ++n) AddEmpty(rows, MakeKey(static_cast<uint16_t>(n)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t n : c.n)
            if (RowsHaveKey(sel, n, 0, 0, 0)) return true;
        return false;
    }
    TValueBits ValueBitsKind() const override { return TValueBits::Numbers; }
    bool RowBits(const TStatDraw& row, uint64_t& bits) const override {
        const TStatDrawArray sel{row};
        return NumberRowBits(bits, [&](int v) { return RowsHaveKey(sel, static_cast<uint16_t>(v), 0, 0, 0); });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int i = 0; i < BallsInDraw; ++i) Emit(rows, MakeKey(n[i]), track);
    }
};

// Decimal digits of a number, left to right.
template <typename F>
void ForEachDigit(uint8_t n, F f) {
    if (n >= 100) f(n / 100);
    if (n >= 10) f(n / 10 % 10);
    f(n % 10);
}

class StDigits : public TCustomNumbersStat {
public:
    using TCustomNumbersStat::TCustomNumbersStat;
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        // Whether a number has a selected digit, for every byte value.
        bool hasDigit[256] = {};
        for (int v = 0; v < 256; ++v)
            ForEachDigit(static_cast<uint8_t>(v), [&](int d) {
                hasDigit[v] = hasDigit[v] || RowsHaveWord(sel, 1, static_cast<uint16_t>(d));
            });
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            bool hit = false;
            for (uint8_t x : c.n) hit |= hasDigit[x];
            return hit;
        });
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        bool found = false;
        for (uint8_t n : c.n)
            ForEachDigit(n, [&](int d) { found = found || RowsHaveWord(sel, 1, static_cast<uint16_t>(d)); });
        return found;
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int i = 0; i < BallsInDraw; ++i)
            ForEachDigit(n[i], [&](int d) { Emit(rows, MakeKey(static_cast<uint16_t>(d)), track); });
    }
};

// How many of the six numbers have a property: k, shown as k:(6-k).
template <bool (*Has)(int)>
class StRatio : public TCustomRatioStat {
public:
    using TCustomRatioStat::TCustomRatioStat;
    static int Count(const uint8_t* n) {
        int k = 0;
        for (int i = 0; i < BallsInDraw; ++i) k += Has(n[i]);
        return k;
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int k = 1; k <= BallsInDraw; ++k) AddEmpty(rows, MakeKey(static_cast<uint16_t>(k)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, static_cast<uint16_t>(Count(c.n)));
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return Count(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[BallsInDraw + 1] = {};
        for (int k = 0; k <= BallsInDraw; ++k) wanted[k] = RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[Count(c.n)]; });
    }
    int CodeCount() const override { return BallsInDraw + 1; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(Count(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int k = 0; k <= BallsInDraw; ++k) wanted[k] = RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(static_cast<uint16_t>(Count(n))), track);
    }
};

bool IsEven(int n) { return IsEvenNumber(n); }
bool IsOdd(int n) { return !IsEvenNumber(n); }
bool IsSmall(int n) { return IsSmallNumber(n); }
bool IsLarge(int n) { return !IsSmallNumber(n); }
bool IsPrime(int n) { return IsPrimeNumber(n); }

// One bit per position, 1 where the number has the property.
template <bool (*Has)(int), bool Prefill>
class StMask : public TCustomMaskStat {
public:
    StMask(const TStatClass& c, const TStatList& l, int p, const char* zero, const char* one)
        : TCustomMaskStat(c, l, p), zero_(zero), one_(one) {}
    const char* ZeroMark() const override { return zero_; }
    const char* OneMark() const override { return one_; }
    static int32_t Mask(const uint8_t* n) {
        int32_t m = 0;
        for (int i = 0; i < BallsInDraw; ++i) m = (m << 1) | (Has(n[i]) ? 1 : 0);
        return m;
    }
    void FillAllValues(int last, TStatDrawArray& rows) override {
        if (Prefill) TCustomMaskStat::FillAllValues(last, rows);
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveInt(sel, 1, Mask(c.n));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[64] = {};
        for (int m = 0; m < 64; ++m) wanted[m] = RowsHaveInt(sel, 1, m);
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[Mask(c.n)]; });
    }
    int CodeCount() const override { return 64; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(Mask(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int m = 0; m < 64; ++m) wanted[m] = RowsHaveInt(sel, 1, m);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeIntKey(Mask(n)), track);
    }

private:
    const char* zero_;
    const char* one_;
};

using StEvenValues = StMask<IsOdd, true>;
using StSmallValues = StMask<IsLarge, false>;
using StPrimeValues = StMask<IsPrime, true>;

std::unique_ptr<TCustomStat> MakeEvenValues(const TStatClass& c, const TStatList& l, int p) {
    return std::make_unique<StEvenValues>(c, l, p, "Ч", "н");
}
std::unique_ptr<TCustomStat> MakeSmallValues(const TStatClass& c, const TStatList& l, int p) {
    return std::make_unique<StSmallValues>(c, l, p, "1", "2");
}
std::unique_ptr<TCustomStat> MakePrimeValues(const TStatClass& c, const TStatList& l, int p) {
    return std::make_unique<StPrimeValues>(c, l, p, "С", "П");
}

class StPosVal : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    int Pos() const { return std::clamp(Param, 1, BallsInDraw) - 1; }
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int n = 1; n <= MaxNumber; ++n) AddEmpty(rows, MakeKey(static_cast<uint16_t>(n)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, c.n[Pos()]);
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return c.n[Pos()]; }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[256] = {};
        for (int v = 0; v < 256; ++v) wanted[v] = RowsHaveWord(sel, 1, static_cast<uint16_t>(v));
        const int p = Pos();
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[c.n[p]]; });
    }
    int CodeCount() const override { return 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        const int p = Pos();
        for (int64_t i = 0; i < n; ++i) codes[i] = src[i].n[p];
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int v = 0; v < 256; ++v) wanted[v] = RowsHaveWord(sel, 1, static_cast<uint16_t>(v));
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(n[Pos()]), track);
    }
};

// The extra ball: a value of draws only, so no combination carries it.
class StPosExt : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    bool CombMatches(const TCombination&, const TStatDrawArray&, int, bool, bool) override {
        return false;
    }
    int32_t GraphValue(const TCombination&, int drawIndex, bool sorted, int last) override {
        LoadDraws(drawIndex, last, sorted);
        return Draw.ExtraBall;
    }

protected:
    void AddDrawRowValues(int, int, bool, TStatDrawArray& rows) override {
        Emit(rows, MakeKey(Draw.ExtraBall), true);
    }
};

std::pair<int, int> PositionRange(const TStatList&) { return {1, BallsInDraw}; }
std::pair<int, int> ExtraRange(const TStatList&) { return {1, 1}; }

}  // namespace

const TStatClass TstValues{"TstValues", "NUMS", "Числа тиража", nullptr, 0, sfNorm,
                           false, false, true, true, true, nullptr, nullptr, MakeStat<StValues>};
const TStatClass TstDigits{"TstDigits", "DIGS", "Цифры тиража", nullptr, 0, sfNorm,
                           false, false, true, true, true, nullptr, nullptr, MakeStat<StDigits>};
const TStatClass TstEvenCount{"TstEvenCount", "EVEN", "Количество четных чисел в тираже (Ч:Н)",
                              nullptr, 0, sfNorm, true, false, true, true, true, nullptr, nullptr,
                              MakeStat<StRatio<IsEven>>};
const TStatClass TstEvenValues{"TstEvenValues", "EVNV", "Четные и нечетные числа в тираже (Чн..нЧ)",
                               nullptr, 0, sfSorted | sfNorm, false, false, true, true, true,
                               nullptr, nullptr, MakeEvenValues};
const TStatClass TstSmallCount{"TstSmallCount", "SMAL",
                               "Количество чисел из первой половины диапазона (1П:2П)", nullptr, 0,
                               sfNorm, true, false, true, true, true, nullptr, nullptr,
                               MakeStat<StRatio<IsSmall>>};
const TStatClass TstSmallValues{"TstSmallValues", "SMLV",
                                "Числа из первой половины диапазона (12..12)", nullptr, 0,
                                sfSorted | sfNorm, false, false, true, true, true, nullptr, nullptr,
                                MakeSmallValues};
const TStatClass TstPrimeCount{"TstPrimeCount", "PRIM", "Количество простых чисел (П:С)", nullptr,
                               0, sfNorm, true, false, true, true, true, nullptr, nullptr,
                               MakeStat<StRatio<IsPrime>>};
const TStatClass TstPrimeValues{"TstPrimeValues", "PRMV", "Простые и составные числа (ПС..СП)",
                                nullptr, 0, sfSorted | sfNorm, false, false, true, true, true,
                                nullptr, nullptr, MakePrimeValues};
const TStatClass TstPosVal{"TstPosVal", "POS%d", "Число в %0:d позиции тиража", "POSx", 0,
                           sfSorted | sfNorm, true, true, true, true, true, PositionRange, nullptr,
                           MakeStat<StPosVal>};
const TStatClass TstPosExt{"TstPosExt", "POE%d", "Extra (Bonus, Star...) - число (!без фильтра!)",
                           "POSx", 0, 0, true, true, true, true, true, ExtraRange, nullptr,
                           MakeStat<StPosExt>};

}  // namespace tessara
