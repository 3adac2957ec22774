#include "stats/families/serials.h"

#include <algorithm>
#include <cstring>

#include "model/format.h"
#include "model/game.h"
#include "stats/families/channels.h"
#include "stats/families/segments.h"

namespace tessara {

namespace {

// The run of one value, carried from draw to draw in the caller's scratch
// area, which starts zero-filled: no run open.
struct TRunCounter {
    int32_t RunLength;  // draws in the current run
    int32_t LastDraw;   // number of the latest draw of the run
    int32_t Depth;      // depth of that draw in the sample
};
static_assert(sizeof(TRunCounter) == 12);
constexpr int kCounters = static_cast<int>(sizeof(TStatScratch) / sizeof(TRunCounter));
static_assert(kCounters == MaxNumber);

// A row (value, run length) is recorded when a run ends, with the number and
// depth of its last draw; only values of the reference draw are recorded.
class TCustomSerialStat : public TCustomStat {
public:
    TCustomSerialStat(const TStatClass& c, const TStatList& l, int p, bool runOfPresence)
        : TCustomStat(c, l, p), RunOfPresence(runOfPresence) {}

    // The position is passed along with the number; no member needs it.
    virtual uint8_t ValueOfNumber(int position, int number) const = 0;
    virtual bool RefDrawHasValue(int v) const = 0;
    virtual std::string ValueText(int v) const { return std::to_string(v); }

    std::string ValueToText(const TStatDraw& row) const override {
        return FormatTemplate("%0:s x %1:d", {ValueText(row.Key.w[0]), int64_t{row.Key.w[1]}});
    }

    void AddDrawValues(int drawIndex, int lastSampleIndex, bool sorted, TStatDrawArray& rows,
                       TStatScratch& scratch, TLastValueArray& lastValues) override {
        TCustomStat::AddDrawValues(drawIndex, lastSampleIndex, sorted, rows, scratch, lastValues);
        bool present[256] = {};
        for (int k = 0; k < BallsInDraw; ++k) present[ValueOfNumber(k + 1, Draw.Numbers[k])] = true;
        const bool newest = drawIndex == lastSampleIndex;
        for (int v = LowValue; v <= HighValue; ++v) {
            TRunCounter c = LoadCounter(scratch, v);
            if (present[v] == RunOfPresence) {
                ++c.RunLength;
                c.LastDraw = Draw.DrawNo;
                c.Depth = lastSampleIndex - drawIndex + 1;
                // The run still open at the newest draw counts too.
                if (newest && RefDrawHasValue(v)) Record(rows, v, c);
            } else {
                if (c.RunLength > 0 && RefDrawHasValue(v)) Record(rows, v, c);
                c = TRunCounter{};
            }
            StoreCounter(scratch, v, c);
        }
    }

    // Only the value matters: the run length and the reference draw do not.
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (int k = 0; k < BallsInDraw; ++k)
            if (RowsHaveWord(sel, 1, ValueOfNumber(k + 1, c.n[k]))) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int x) { return RowsHaveWord(sel, 1, ValueOfNumber(1, x)); });
    }
    // A combination matches by one of its numbers: the numbers are the bits.
    TValueBits ValueBitsKind() const override { return TValueBits::Numbers; }
    bool RowBits(const TStatDraw& row, uint64_t& bits) const override {
        const TStatDrawArray sel{row};
        return NumberRowBits(bits, [&](int x) { return RowsHaveWord(sel, 1, ValueOfNumber(1, x)); });
    }

    const bool RunOfPresence;  // groups: a run goes on while the value comes out
    uint8_t LowValue = 1;
    uint8_t HighValue = 0;

protected:
    // The base step has nothing to merge: rows come from the run counters.
    void AddDrawRowValues(int, int, bool, TStatDrawArray&) override {}

    // The counters live in the scratch area, one per value from the first
    // tracked value on. Segment 0 can come only from a hand-edited
    // configuration; it gets the first counter rather than one before the
    // area, and values that would need a counter past its end are not tracked.
    void SetRange(int low, int high) {
        firstCounterValue_ = low < 1 ? 0 : 1;
        LowValue = static_cast<uint8_t>(std::max(low, 0));
        HighValue = static_cast<uint8_t>(std::min(high, firstCounterValue_ + kCounters - 1));
    }

private:
    TRunCounter LoadCounter(const TStatScratch& scratch, int v) const {
        TRunCounter c;
        std::memcpy(&c, scratch.data() + CounterOffset(v), sizeof c);
        return c;
    }
    void StoreCounter(TStatScratch& scratch, int v, const TRunCounter& c) const {
        std::memcpy(scratch.data() + CounterOffset(v), &c, sizeof c);
    }
    size_t CounterOffset(int v) const {
        return static_cast<size_t>(v - firstCounterValue_) * sizeof(TRunCounter);
    }
    void Record(TStatDrawArray& rows, int v, const TRunCounter& c) {
        WorkRow.LastDraw = c.LastDraw;
        WorkRow.PrevDraw = c.LastDraw;
        WorkRow.Depth = c.Depth;
        Emit(rows, MakeKey(static_cast<uint16_t>(v), static_cast<uint16_t>(c.RunLength)), true);
    }

    int firstCounterValue_ = 1;
};

class TValuesSerialStat : public TCustomSerialStat {
public:
    TValuesSerialStat(const TStatClass& c, const TStatList& l, int p, bool runOfPresence)
        : TCustomSerialStat(c, l, p, runOfPresence) {
        SetRange(1, MaxNumber);
    }
    uint8_t ValueOfNumber(int, int n) const override { return static_cast<uint8_t>(n); }
    bool RefDrawHasValue(int v) const override { return DrawHasNumber(v, RefDraw); }
};

class TChannelsSerialStat : public TCustomSerialStat, public TChannelLayout {
public:
    TChannelsSerialStat(const TStatClass& c, const TStatList& l, int p, bool runOfPresence)
        : TCustomSerialStat(c, l, p, runOfPresence), TChannelLayout(l) {
        SetRange(1, Channels);
    }
    uint8_t ValueOfNumber(int, int n) const override { return ChannelOf(n); }
    bool RefDrawHasValue(int v) const override { return DrawHasGroup(v, RefDraw, ChannelSize); }
    std::string ValueText(int v) const override { return FormatTemplate("%.2d", {int64_t{v}}); }
};

class TSegmentsSerialStat : public TCustomSerialStat, public TSegmentLayout {
public:
    TSegmentsSerialStat(const TStatClass& c, const TStatList& l, int p, bool runOfPresence)
        : TCustomSerialStat(c, l, p, runOfPresence), TSegmentLayout(l) {
        int low = 9, high = 1;
        for (uint8_t s : Segments) {
            low = std::min<int>(low, s);
            high = std::max<int>(high, s);
        }
        SetRange(low, high);
    }
    uint8_t ValueOfNumber(int, int n) const override { return SegmentOf(n); }
    bool RefDrawHasValue(int v) const override {
        return DrawHasMappedValue(v, RefDraw, Segments.data());
    }
};

template <class Base, bool Presence>
class StSerial final : public Base {
public:
    StSerial(const TStatClass& c, const TStatList& l, int p) : Base(c, l, p, Presence) {}
};

constexpr TStatClass SerialClass(const char* name, const char* code, const char* caption,
                                 std::unique_ptr<TCustomStat> (*create)(const TStatClass&,
                                                                        const TStatList&, int)) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = nullptr, .Group = 8, .Features = sfRefDraw,
                      .HasNumericValues = false, .Create = create};
}

}  // namespace

const TStatClass TstNumGroups =
    SerialClass("TstNumGroups", "GRPV", "Повторы чисел в нескольких тиражах подряд",
                MakeStat<StSerial<TValuesSerialStat, true>>);
const TStatClass TstNumPauses =
    SerialClass("TstNumPauses", "GRPP", "Интервалы между повторениями чисел",
                MakeStat<StSerial<TValuesSerialStat, false>>);
const TStatClass TstChnGroups =
    SerialClass("TstChnGroups", "GRCV", "Повторы каналов в нескольких тиражах подряд",
                MakeStat<StSerial<TChannelsSerialStat, true>>);
const TStatClass TstChnPauses =
    SerialClass("TstChnPauses", "GRCP", "Интервалы между повторениями каналов",
                MakeStat<StSerial<TChannelsSerialStat, false>>);
const TStatClass TstSgmGroups =
    SerialClass("TstSgmGroups", "GRSV", "Повторы сегментов в нескольких тиражах подряд",
                MakeStat<StSerial<TSegmentsSerialStat, true>>);
const TStatClass TstSgmPauses =
    SerialClass("TstSgmPauses", "GRSP", "Интервалы между повторениями сегментов",
                MakeStat<StSerial<TSegmentsSerialStat, false>>);

}  // namespace tessara
