#include "stats/families/sums.h"

#include <algorithm>

#include "model/format.h"
#include "model/game.h"
#include "stats/families/numbers.h"

namespace tessara {

namespace {

constexpr TSumBand kBands[3] = {{87, 171, {1, 1, 3}}, {95, 163, {2, 1, 2}}, {103, 155, {3, 2, 3}}};

int Sum(const uint8_t* n) {
    int s = 0;
    for (int i = 0; i < BallsInDraw; ++i) s += n[i];
    return s;
}
int SumEven(const uint8_t* n) {
    int s = 0;
    for (int i = 0; i < BallsInDraw; ++i) s += IsEvenNumber(n[i]) ? n[i] : 0;
    return s;
}
int SumPrime(const uint8_t* n) {
    int s = 0;
    for (int i = 0; i < BallsInDraw; ++i) s += IsPrimeNumber(n[i]) ? n[i] : 0;
    return s;
}
int Sign(int v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

// A plain sum in the first 32-bit half of the key.
template <int (*F)(const uint8_t*), bool Prefill>
class StPlainSum : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        if (Prefill)
            for (int s = MinSum; s <= MaxSum; ++s) AddEmpty(rows, MakeIntKey(s));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWordPair(sel, static_cast<uint16_t>(F(c.n)), 0);
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return F(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        // Sums of six bytes stay below 6 x 256.
        std::vector<uint8_t> wanted(BallsInDraw * 256, 0);
        for (size_t v = 0; v < wanted.size(); ++v) wanted[v] = RowsHaveWordPair(sel, static_cast<uint16_t>(v), 0);
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[static_cast<size_t>(F(c.n))]; });
    }
    int CodeCount() const override { return BallsInDraw * 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(F(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int v = 0; v < CodeCount(); ++v) wanted[v] = RowsHaveWordPair(sel, static_cast<uint16_t>(v), 0);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeIntKey(F(n)), track);
    }
};

class StSumRanges : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    const TSumBand& Band() const { return SumBand(Param); }
    int InBand(const uint8_t* n) const {
        const int s = Sum(n);
        return s >= Band().Low && s <= Band().High ? 1 : 0;
    }
    std::string ValueToText(const TStatDraw& row) const override {
        if (row.Key.w[0] == 1)
            return FormatTemplate("%d-%d", {int64_t{Band().Low}, int64_t{Band().High}});
        return "Остальные";
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        AddEmpty(rows, MakeKey(0));
        AddEmpty(rows, MakeKey(1));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        // Selecting the band row wins over selecting the rest.
        return RowsHaveWord(sel, 1, 1) ? InBand(c.n) == 1 : InBand(c.n) == 0;
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return InBand(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const int want = RowsHaveWord(sel, 1, 1) ? 1 : 0;
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return InBand(c.n) == want; });
    }
    int CodeCount() const override { return 2; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(InBand(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        const int want = RowsHaveWord(sel, 1, 1) ? 1 : 0;
        wanted[0] = want == 0;
        wanted[1] = want == 1;
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(static_cast<uint16_t>(InBand(n))), track);
    }
};

std::string SumRangesCaption(int band) {
    const TSumBand& b = SumBand(band);
    return FormatTemplate("Сумма тиража: диапазон %d (%d/%d)",
                        {int64_t{b.CaptionArgs[0]}, int64_t{b.CaptionArgs[1]}, int64_t{b.CaptionArgs[2]}});
}

// The members conditioned on the previous draw: for archive draw i, prev is
// the sum of draw i - 1, cur that of draw i, ref that of the reference draw.
class StSumChange : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    std::string ValueToText(const TStatDraw& row) const override {
        const int64_t a = row.Key.i[0], b = row.Key.i[1];
        // Both places of the change show two digits: "+05 : 130 + 05 = 135".
        if (b < a) return FormatTemplate("- %0:.2d : %1:d - %0:.2d = %2:d", {a - b, a, b});
        return FormatTemplate("+%0:.2d : %1:d + %0:.2d = %2:d", {b - a, a, b});
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveInt(sel, 2, Sum(c.n));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        std::vector<uint8_t> wanted(BallsInDraw * 256, 0);
        for (size_t v = 0; v < wanted.size(); ++v) wanted[v] = RowsHaveInt(sel, 2, static_cast<int32_t>(v));
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[static_cast<size_t>(Sum(c.n))]; });
    }
    int CodeCount() const override { return BallsInDraw * 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(Sum(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int v = 0; v < CodeCount(); ++v) wanted[v] = RowsHaveInt(sel, 2, v);
    }
    int32_t GraphValue(const TCombination& c, int drawIndex, bool, int) override {
        return Sum(c.n) - Sum(GetDraw(drawIndex - 1, false).Numbers);
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool, TStatDrawArray& rows) override {
        const int prev = Sum(GetDraw(drawIndex - 1, false).Numbers);
        if (prev == Sum(RefDraw.Numbers)) Emit(rows, MakeIntKey(prev, Sum(Draw.Numbers)), true);
    }
};

class StSumChangeSome : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override {
        const int64_t v = row.Key.i[0];
        if (v < 0) return FormatTemplate("- %0:.2d", {-v});
        return FormatTemplate("+%0:.2d", {v});
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        LoadDraws(refIndex, refIndex, sorted);
        return RowsHaveInt(sel, 1, Sum(c.n) - Sum(RefDraw.Numbers));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted, bool exclude) override {
        LoadDraws(refIndex, refIndex, sorted);
        const int ref = Sum(RefDraw.Numbers);
        std::vector<uint8_t> wanted(BallsInDraw * 256, 0);
        for (size_t v = 0; v < wanted.size(); ++v) wanted[v] = RowsHaveInt(sel, 1, static_cast<int32_t>(v) - ref);
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) { return wanted[static_cast<size_t>(Sum(c.n))]; });
    }
    int CodeCount() const override { return BallsInDraw * 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(Sum(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int refIndex, bool sorted, uint8_t* wanted) override {
        LoadDraws(refIndex, refIndex, sorted);
        const int ref = Sum(RefDraw.Numbers);
        for (int v = 0; v < CodeCount(); ++v) wanted[v] = RowsHaveInt(sel, 1, v - ref);
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool, TStatDrawArray& rows) override {
        const int prev = Sum(GetDraw(drawIndex - 1, false).Numbers);
        const int ref = Sum(RefDraw.Numbers);
        if (prev - SumStep <= ref && ref <= prev + SumStep)
            Emit(rows, MakeIntKey(Sum(Draw.Numbers) - prev), true);
    }
};

class StSumTrend : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    std::string ValueToText(const TStatDraw& row) const override {
        return row.Key.i[0] == 0 ? "=" : row.Key.i[0] > 0 ? "+" : "-";
    }
    void FillAllValues(int, TStatDrawArray& rows) override {
        AddEmpty(rows, MakeIntKey(0));
        AddEmpty(rows, MakeIntKey(1));
        AddEmpty(rows, MakeIntKey(-1));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        LoadDraws(refIndex, refIndex, sorted);
        return RowsHaveInt(sel, 1, Sign(Sum(c.n) - Sum(RefDraw.Numbers)));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted, bool exclude) override {
        LoadDraws(refIndex, refIndex, sorted);
        const int ref = Sum(RefDraw.Numbers);
        const bool wanted[3] = {RowsHaveInt(sel, 1, -1), RowsHaveInt(sel, 1, 0), RowsHaveInt(sel, 1, 1)};
        return FilterWithThreads(src, n, dst, exclude,
                          [&](const TCombination& c) { return wanted[Sign(Sum(c.n) - ref) + 1]; });
    }
    int CodeCount() const override { return BallsInDraw * 256; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(Sum(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int refIndex, bool sorted, uint8_t* wanted) override {
        LoadDraws(refIndex, refIndex, sorted);
        const int ref = Sum(RefDraw.Numbers);
        const bool want[3] = {RowsHaveInt(sel, 1, -1), RowsHaveInt(sel, 1, 0), RowsHaveInt(sel, 1, 1)};
        for (int v = 0; v < CodeCount(); ++v) wanted[v] = want[Sign(v - ref) + 1];
    }
    int32_t GraphValue(const TCombination& c, int drawIndex, bool, int) override {
        return Sign(Sum(c.n) - Sum(GetDraw(drawIndex - 1, false).Numbers));
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool, TStatDrawArray& rows) override {
        const int prev = Sum(GetDraw(drawIndex - 1, false).Numbers);
        if (prev == Sum(RefDraw.Numbers)) Emit(rows, MakeIntKey(Sign(Sum(Draw.Numbers) - prev)), true);
    }
};

// Triples of positions where one number is the sum of two others.
int SumOfTwoCount(const uint8_t* n) {
    int count = 0;
    for (int i = 0; i < BallsInDraw; ++i)
        for (int j = 0; j < BallsInDraw; ++j)
            for (int k = j + 1; k < BallsInDraw; ++k)
                if (i != j && i != k && n[j] + n[k] == n[i]) ++count;
    return count;
}

class StSum2To3 : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, static_cast<uint16_t>(SumOfTwoCount(c.n)));
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return SumOfTwoCount(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[64] = {};  // at most 6 x 15 triples, far fewer in practice
        for (int k = 0; k < 64; ++k) wanted[k] = RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            const int k = SumOfTwoCount(c.n);
            return k < 64 && wanted[k];
        });
    }
    int CodeCount() const override { return 91; }  // 6 x 15 triples at most
    bool CodesCostly() const override { return true; }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(SumOfTwoCount(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        for (int k = 0; k < CodeCount(); ++k) wanted[k] = k < 64 && RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(static_cast<uint16_t>(SumOfTwoCount(n))), track);
    }
};

std::pair<int, int> BandRange(const TStatList&) { return {1, 3}; }

}  // namespace

const TSumBand& SumBand(int band) { return kBands[std::clamp(band, 1, 3) - 1]; }

const TStatClass TstSumValues{"TstSumValues", "SUMS", "Сумма тиража: все значения", nullptr, 1,
                              sfNorm, true, false, true, true, true, nullptr, nullptr,
                              MakeStat<StPlainSum<Sum, true>>};
const TStatClass TstSumRanges{"TstSumRanges", "SUM%d", "Сумма тиража: диапазон %d (%d/%d)", nullptr,
                              1, sfNorm, true, true, false, true, true, BandRange, SumRangesCaption,
                              MakeStat<StSumRanges>};
const TStatClass TstSumChange{"TstSumChange", "SUMC", "Сумма тиража: изменения (точно)", nullptr, 1,
                              sfRefDraw, true, false, false, true, true, nullptr, nullptr,
                              MakeStat<StSumChange>};
const TStatClass TstSumChangeSome{"TstSumChangeSome", "SUMV", "Сумма тиража: изменения (диапазон)",
                                  nullptr, 1, sfRefDraw, false, false, false, true, true, nullptr,
                                  nullptr, MakeStat<StSumChangeSome>};
const TStatClass TstSumTrend{"TstSumTrend", "SUMT", "Сумма тиража: направление изменения", nullptr, 1,
                             sfRefDraw, true, false, false, true, true, nullptr, nullptr,
                             MakeStat<StSumTrend>};
const TStatClass TstSumEvenValues{"TstSumEvenValues", "SUME", "Сумма тиража: только четные", nullptr,
                                  1, sfNorm, true, false, true, true, true, nullptr, nullptr,
                                  MakeStat<StPlainSum<SumEven, false>>};
const TStatClass TstSumPrimeValues{"TstSumPrimeValues", "SUMP", "Сумма тиража: только простые",
                                   nullptr, 1, sfNorm, true, false, true, true, true, nullptr, nullptr,
                                   MakeStat<StPlainSum<SumPrime, false>>};
const TStatClass TstSum2To3{"TstSum2To3", "S2T3", "Сумма двух чисел тиража равна третьему числу",
                            nullptr, 1, sfNorm, true, false, true, true, true, nullptr, nullptr,
                            MakeStat<StSum2To3>};

}  // namespace tessara
