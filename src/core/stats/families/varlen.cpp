#include "stats/families/varlen.h"

#include <string>

#include "model/game.h"

namespace tessara {

// The difference triangle down to two numbers. Bytes throughout, as the
// values have always been computed.
TVarlenResult VarlenReduce(const uint8_t* numbers, int mode) {
    uint8_t v[BallsInDraw];
    for (int i = 0; i < BallsInDraw; ++i) v[i] = numbers[i];
    for (int len = BallsInDraw; len > 2; --len)
        for (int i = 0; i + 1 < len; ++i)
            v[i] = static_cast<uint8_t>(v[i + 1] > v[i] ? v[i + 1] - v[i] : v[i] - v[i + 1]);
    const uint8_t a = v[0], b = v[1];
    const uint8_t d = static_cast<uint8_t>(b > a ? b - a : a - b);
    const uint8_t sum = static_cast<uint8_t>(a + b);
    if (mode == 1 && d <= 1) return {sum, false};
    if (mode == 2 && d == 0) return {sum, false};
    if (mode == 2 && d == 1) return {sum, true};
    return {d, false};
}

namespace {

template <int Mode>
class StVarlen final : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    static uint8_t Value(const uint8_t* n) { return VarlenReduce(n, Mode).Value; }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, Value(c.n));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[256];
        for (int v = 0; v < 256; ++v) wanted[v] = RowsHaveWord(sel, 1, static_cast<uint16_t>(v));
        return FilterWithThreads(src, n, dst, exclude,
                          [&](const TCombination& c) { return wanted[Value(c.n)]; });
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return Value(c.n); }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(Value(n)), track);
    }
};

// The characteristic number f of the newest sample draw and its multiples
// up to 42, each counted when it came out in the draw after the sample.
class StVarlenDynamic final : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override {
        std::string s = std::to_string(row.Key.w[0]);
        if (row.Key.w[3] == 2) s += " (" + std::to_string(row.Key.w[1]) + ")";
        return s;
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t x : c.n)
            if (RowsHaveWord(sel, 1, x)) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int v) { return RowsHaveWord(sel, 1, static_cast<uint16_t>(v)); });
    }

protected:
    void AddDrawRowValues(int, int lastSampleIndex, bool, TStatDrawArray& rows) override {
        if (Draw.DrawNo != RefDraw.DrawNo) return;
        const TVarlenResult r = VarlenReduce(Draw.Numbers, 2);
        const int f = r.Value;
        // Past the newest draw there is no next draw: zeros, and 0 is no number.
        const TDrawRecord next = GetDraw(lastSampleIndex + 1, false);
        const auto came = [&](int v) { return v != 0 && DrawHasNumber(v, next) ? 1 : 0; };
        WorkRow.Count = came(f);
        Emit(rows, r.TwoPart ? MakeKey(r.Value, 1, 0, 2) : MakeKey(r.Value), false);
        for (int g = f * f > 41 ? f * f : f * f * f; g > f; g -= f)
            if (g >= 1 && g <= MaxNumber) {
                WorkRow.Count = came(g);
                Emit(rows, MakeKey(static_cast<uint16_t>(g)), false);
            }
    }
};

}  // namespace

const TStatClass TstVarlen1{.ClassName = "TstVarlen1", .CodeFormat = "HCV1",
                            .CaptionFormat = "Число Варлена 1 (только разность)",
                            .HelpCodeFormat = nullptr, .Group = 11, .Features = sfSorted | sfNorm,
                            .HasGraph = true, .Create = MakeStat<StVarlen<0>>};
const TStatClass TstVarlen2{.ClassName = "TstVarlen2", .CodeFormat = "HCV2",
                            .CaptionFormat = "Число Варлена 2 (разность + сложение, если {0,1})",
                            .HelpCodeFormat = nullptr, .Group = 11, .Features = sfSorted | sfNorm,
                            .HasGraph = true, .Create = MakeStat<StVarlen<1>>};
const TStatClass TstVarlen3{.ClassName = "TstVarlen3", .CodeFormat = "HCV3",
                            .CaptionFormat = "Числа Варлена 3 (динамический, только фильтр)",
                            .HelpCodeFormat = nullptr, .Group = 11,
                            .Features = sfSorted | sfRefDraw, .HasNumericValues = false,
                            .Create = MakeStat<StVarlenDynamic>};

}  // namespace tessara
