#include "stats/families/periods.h"

#include "model/format.h"
#include "model/game.h"
#include "stats/families/channels.h"
#include "stats/families/segments.h"

namespace tessara {

namespace {

// Each time a value comes out again, the pair (value, draws since its
// previous occurrence in the sample). A selected pair (v, p) is tested
// against the draw p draws before the predicted one.
class TCustomPeriodsStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;

    // The position is passed along with the number; no member needs it.
    virtual uint8_t ValueOfNumber(int position, int number) const = 0;
    virtual std::string ValueText(int v) const { return std::to_string(v); }

    std::string ValueToText(const TStatDraw& row) const override {
        return FormatTemplate("%0:s x %1:d", {ValueText(row.Key.w[0]), int64_t{row.Key.w[1]}});
    }

    void AddDrawValues(int drawIndex, int lastSampleIndex, bool sorted, TStatDrawArray& rows,
                       TStatScratch& scratch, TLastValueArray& lastValues) override {
        TCustomStat::AddDrawValues(drawIndex, lastSampleIndex, sorted, rows, scratch, lastValues);
        for (int k = 0; k < BallsInDraw; ++k) {
            const uint8_t v = ValueOfNumber(k + 1, Draw.Numbers[k]);
            // A second number of the same channel or segment in this draw
            // gives 0 and is not a period.
            const int32_t d = UpdateLastValue(Draw.DrawNo, MakeKey(v), lastValues);
            if (d > 0) Emit(rows, MakeKey(v, static_cast<uint16_t>(d)), true);
        }
    }

    // The predicted draw follows the reference draw R.
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool,
                     bool exclude) override {
        for (int k = 0; k < BallsInDraw; ++k) {
            const uint8_t v = ValueOfNumber(k + 1, c.n[k]);
            for (const TStatDraw& r : sel)
                if (r.Key.w[0] == v && DrawBeforeHas(refIndex, r.Key.w[1], v) != exclude)
                    return true;
        }
        return false;
    }

    // Each selected row reads its draw once, before the loop; in the loop a
    // combination matches when one of its numbers has a value that passed.
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool, bool exclude) override {
        bool passed[256] = {};
        for (const TStatDraw& r : sel) {
            const uint16_t v = r.Key.w[0];
            if (v < 256 && !passed[v] && DrawBeforeHas(refIndex, r.Key.w[1], v) != exclude)
                passed[v] = true;
        }
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int x) { return passed[ValueOfNumber(1, x)]; });
    }

protected:
    // The base step has nothing to merge: rows come from the last-value list.
    void AddDrawRowValues(int, int, bool, TStatDrawArray&) override {}

private:
    // Whether the draw `period` draws before the predicted one (R + 1) holds
    // the value. A draw outside the archive holds none, and neither does a
    // period of 0, which would point at the predicted draw itself.
    bool DrawBeforeHas(int refIndex, int period, int v) const {
        if (period < 1) return false;
        const TDrawRecord x = GetDraw(refIndex - period + 1, false);
        for (int j = 0; j < BallsInDraw; ++j)
            if (x.Numbers[j] != 0 && ValueOfNumber(j + 1, x.Numbers[j]) == v) return true;
        return false;
    }
};

class StNumPeriods final : public TCustomPeriodsStat {
public:
    using TCustomPeriodsStat::TCustomPeriodsStat;
    uint8_t ValueOfNumber(int, int n) const override { return static_cast<uint8_t>(n); }
};

class StChnPeriods final : public TCustomPeriodsStat, public TChannelLayout {
public:
    StChnPeriods(const TStatClass& c, const TStatList& l, int p)
        : TCustomPeriodsStat(c, l, p), TChannelLayout(l) {}
    uint8_t ValueOfNumber(int, int n) const override { return ChannelOf(n); }
    std::string ValueText(int v) const override { return FormatTemplate("%.2d", {int64_t{v}}); }
};

class StSgmPeriods final : public TCustomPeriodsStat, public TSegmentLayout {
public:
    StSgmPeriods(const TStatClass& c, const TStatList& l, int p)
        : TCustomPeriodsStat(c, l, p), TSegmentLayout(l) {}
    uint8_t ValueOfNumber(int, int n) const override { return SegmentOf(n); }
};

constexpr TStatClass PeriodClass(const char* name, const char* code, const char* caption,
                                 std::unique_ptr<TCustomStat> (*create)(const TStatClass&,
                                                                        const TStatList&, int)) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = nullptr, .Group = 9, .Features = sfPeriod,
                      .HasNumericValues = false, .Create = create};
}

}  // namespace

const TStatClass TstNumPeriods =
    PeriodClass("TstNumPeriods", "PRDV", "Периоды повторения чисел", MakeStat<StNumPeriods>);
const TStatClass TstChnPeriods =
    PeriodClass("TstChnPeriods", "PRDC", "Периоды повторения каналов", MakeStat<StChnPeriods>);
const TStatClass TstSgmPeriods =
    PeriodClass("TstSgmPeriods", "PRDG", "Периоды повторения сегментов", MakeStat<StSgmPeriods>);

}  // namespace tessara
