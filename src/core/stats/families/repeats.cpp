#include "stats/families/repeats.h"

#include "model/game.h"

namespace tessara {

namespace {

// The numbers of a draw, shifted around the circle, as a bit set. A draw
// outside the archive reads as zeros, which are no numbers at all: shifted,
// they would turn into phantom 1s or 41s.
uint64_t ShiftedBits(const TDrawRecord& d, int shift) {
    uint64_t bits = 0;
    for (uint8_t x : d.Numbers)
        if (x != 0) {
            const int y = ShiftNumber(x, shift);
            if (y > 0 && y < 64) bits |= 1ull << y;
        }
    return bits;
}
bool HasBit(uint64_t bits, int x) { return x > 0 && x < 64 && ((bits >> x) & 1); }

int CountIn(const uint8_t* n, uint64_t bits) {
    int k = 0;
    for (int i = 0; i < BallsInDraw; ++i) k += HasBit(bits, n[i]);
    return k;
}

// The selected rows carry numbers: a combination matches when it holds one.
class TRepNumbersStat : public TCustomValuesStat {
public:
    using TCustomValuesStat::TCustomValuesStat;
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
};

// Numbers of draw a that were in draw a - gap (both shifted) and are numbers
// of the reference draw.
class TCustomRepValues2Stat : public TRepNumbersStat {
public:
    using TRepNumbersStat::TRepNumbersStat;
    virtual int NumberShift() const = 0;
    virtual int DrawGap() const = 0;
    void FillAllValues(int last, TStatDrawArray& rows) override {
        ClearWorkRow();
        for (uint8_t x : GetDraw(last, false).Numbers)
            if (x != 0)
                Emit(rows, MakeKey(static_cast<uint16_t>(ShiftNumber(x, NumberShift()))), false);
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const int shift = NumberShift();
        const TDrawRecord prev = GetDraw(drawIndex - DrawGap(), sorted);
        const uint64_t ref = ShiftedBits(RefDraw, shift);
        for (uint8_t x : prev.Numbers) {
            if (x == 0) continue;
            const int y = ShiftNumber(x, shift);
            if (HasBit(ref, y) && DrawHasNumber(y, Draw))
                Emit(rows, MakeKey(static_cast<uint16_t>(y)), true);
        }
    }
};

// How many numbers of draw a - gap (shifted) came out in draw a.
class TCustomRepCount2Stat : public TCustomNumbersStat {
public:
    using TCustomNumbersStat::TCustomNumbersStat;
    virtual int NumberShift() const = 0;
    virtual int DrawGap() const = 0;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int k = 1; k <= BallsInDraw; ++k) AddEmpty(rows, MakeKey(static_cast<uint16_t>(k)));
    }
    // The predicted draw follows the reference draw R, so the draw gap
    // places its predecessor at R - gap + 1.
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        return RowsHaveWord(sel, 1,
                            static_cast<uint16_t>(CountIn(c.n, Compared(refIndex, sorted))));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted,
                        bool exclude) override {
        const uint64_t bits = Compared(refIndex, sorted);
        bool wanted[BallsInDraw + 1];
        for (int k = 0; k <= BallsInDraw; ++k)
            wanted[k] = RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
        return FilterWithThreads(src, n, dst, exclude,
                          [&](const TCombination& c) { return wanted[CountIn(c.n, bits)]; });
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const uint64_t prev = ShiftedBits(GetDraw(drawIndex - DrawGap(), sorted), NumberShift());
        Emit(rows, MakeKey(static_cast<uint16_t>(CountIn(Draw.Numbers, prev))), true);
    }

private:
    uint64_t Compared(int refIndex, bool sorted) const {
        return ShiftedBits(GetDraw(refIndex - DrawGap() + 1, sorted), NumberShift());
    }
};

template <int Shift, int Gap>
class StRepValues2 final : public TCustomRepValues2Stat {
public:
    using TCustomRepValues2Stat::TCustomRepValues2Stat;
    int NumberShift() const override { return Shift; }
    int DrawGap() const override { return Gap; }
};

template <int Shift, int Gap>
class StRepCount2 final : public TCustomRepCount2Stat {
public:
    using TCustomRepCount2Stat::TCustomRepCount2Stat;
    int NumberShift() const override { return Shift; }
    int DrawGap() const override { return Gap; }
};

// Three draws in a row. With InThird a number must be in both earlier
// draws (RPV3); without, in the first and not in the second (PRL2).
template <bool InThird>
bool Repeats(int x, uint64_t before1, uint64_t before2) {
    return HasBit(before1, x) && HasBit(before2, x) == InThird;
}

template <bool InThird>
class StRepValues3 final : public TRepNumbersStat {
public:
    using TRepNumbersStat::TRepNumbersStat;
    void FillAllValues(int last, TStatDrawArray& rows) override {
        ClearWorkRow();
        for (uint8_t x : GetDraw(last, false).Numbers)
            if (x != 0) Emit(rows, MakeKey(x), false);
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const uint64_t ref = ShiftedBits(RefDraw, 0);
        const uint64_t b1 = ShiftedBits(GetDraw(drawIndex - 1, sorted), 0);
        const uint64_t b2 = ShiftedBits(GetDraw(drawIndex - 2, sorted), 0);
        for (uint8_t x : Draw.Numbers)
            if (HasBit(ref, x) && Repeats<InThird>(x, b1, b2)) Emit(rows, MakeKey(x), true);
    }
};

template <bool InThird>
class StRepCount3 final : public TCustomNumbersStat {
public:
    using TCustomNumbersStat::TCustomNumbersStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int k = 1; k <= BallsInDraw; ++k) AddEmpty(rows, MakeKey(static_cast<uint16_t>(k)));
    }
    // The last visible draw R and the one before it precede the predicted draw.
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int refIndex, bool sorted,
                     bool) override {
        return RowsHaveWord(
            sel, 1,
            static_cast<uint16_t>(Count(c.n, Bits(refIndex, sorted), Bits(refIndex - 1, sorted))));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted,
                        bool exclude) override {
        const uint64_t b1 = Bits(refIndex, sorted), b2 = Bits(refIndex - 1, sorted);
        bool wanted[BallsInDraw + 1];
        for (int k = 0; k <= BallsInDraw; ++k)
            wanted[k] = RowsHaveWord(sel, 1, static_cast<uint16_t>(k));
        return FilterWithThreads(src, n, dst, exclude,
                          [&](const TCombination& c) { return wanted[Count(c.n, b1, b2)]; });
    }

protected:
    void AddDrawRowValues(int drawIndex, int, bool sorted, TStatDrawArray& rows) override {
        const int k = Count(Draw.Numbers, Bits(drawIndex - 1, sorted), Bits(drawIndex - 2, sorted));
        Emit(rows, MakeKey(static_cast<uint16_t>(k)), true);
    }

private:
    uint64_t Bits(int index, bool sorted) const { return ShiftedBits(GetDraw(index, sorted), 0); }
    static int Count(const uint8_t* n, uint64_t b1, uint64_t b2) {
        int k = 0;
        for (int i = 0; i < BallsInDraw; ++i) k += Repeats<InThird>(n[i], b1, b2);
        return k;
    }
};

constexpr TStatClass RepClass(const char* name, const char* code, const char* caption,
                              std::unique_ptr<TCustomStat> (*create)(const TStatClass&,
                                                                     const TStatList&, int)) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = nullptr, .Group = 7, .Features = sfRefDraw,
                      .Create = create};
}

}  // namespace

const TStatClass TstRepValues2 =
    RepClass("TstRepValues2", "RPV2", "Повторяющиеся числа в 2-х тиражах подряд",
             MakeStat<StRepValues2<0, 1>>);
const TStatClass TstRepValues3 =
    RepClass("TstRepValues3", "RPV3", "Повторяющиеся числа в 3-х тиражах подряд",
             MakeStat<StRepValues3<true>>);
const TStatClass TstRepValues2B3 =
    RepClass("TstRepValues2B3", "PRL2", "Повторяющиеся числа не более чем в 2-х тиражах",
             MakeStat<StRepValues3<false>>);
const TStatClass TstRepValues2over1 =
    RepClass("TstRepValues2over1", "PRV2O1", "Повторяющиеся числа в 2-х тиражах через 1 тираж(а)",
             MakeStat<StRepValues2<0, 2>>);
const TStatClass TstRepValues2over2 =
    RepClass("TstRepValues2over2", "PRV2O2", "Повторяющиеся числа в 2-х тиражах через 2 тираж(а)",
             MakeStat<StRepValues2<0, 3>>);
const TStatClass TstRepValues2over3 =
    RepClass("TstRepValues2over3", "PRV2O3", "Повторяющиеся числа в 2-х тиражах через 3 тираж(а)",
             MakeStat<StRepValues2<0, 4>>);
const TStatClass TstRepValues2P1 = RepClass(
    "TstRepValues2P1", "PRV+1", "Данные предыдущего тиража + 1", MakeStat<StRepValues2<1, 1>>);
const TStatClass TstRepValues2N1 = RepClass(
    "TstRepValues2N1", "PRV-1", "Данные предыдущего тиража - 1", MakeStat<StRepValues2<-1, 1>>);
const TStatClass TstRepValues2P2 = RepClass(
    "TstRepValues2P2", "PRV+2", "Данные предыдущего тиража + 2", MakeStat<StRepValues2<2, 1>>);
const TStatClass TstRepValues2N2 = RepClass(
    "TstRepValues2N2", "PRV-2", "Данные предыдущего тиража - 2", MakeStat<StRepValues2<-2, 1>>);
const TStatClass TstRepCount2 =
    RepClass("TstRepCount2", "RPC2", "Количество повторов в 2-х тиражах подряд",
             MakeStat<StRepCount2<0, 1>>);
const TStatClass TstRepCount3 =
    RepClass("TstRepCount3", "RPC3", "Количество повторов в 3-х тиражах подряд",
             MakeStat<StRepCount3<true>>);
const TStatClass TstRepCount2B3 =
    RepClass("TstRepCount2B3", "PRB2", "Количество повторов не более чем в 2-х тиражах",
             MakeStat<StRepCount3<false>>);
// The over-1 member has its own code, not that of its siblings' pattern.
const TStatClass TstRepCount2over1 =
    RepClass("TstRepCount2over1", "RPO1", "Количество повторов в 2-х тиражах через 1 тираж(а)",
             MakeStat<StRepCount2<0, 2>>);
const TStatClass TstRepCount2over2 =
    RepClass("TstRepCount2over2", "PRC2O2", "Количество повторов в 2-х тиражах через 2 тираж(а)",
             MakeStat<StRepCount2<0, 3>>);
const TStatClass TstRepCount2over3 =
    RepClass("TstRepCount2over3", "PRC2O3", "Количество повторов в 2-х тиражах через 3 тираж(а)",
             MakeStat<StRepCount2<0, 4>>);
const TStatClass TstRepCount2P1 =
    RepClass("TstRepCount2P1", "PRC+1", "Количество совпадений \"значений + 1\"",
             MakeStat<StRepCount2<1, 1>>);
const TStatClass TstRepCount2N1 =
    RepClass("TstRepCount2N1", "PRC-1", "Количество совпадений \"значений - 1\"",
             MakeStat<StRepCount2<-1, 1>>);
const TStatClass TstRepCount2P2 =
    RepClass("TstRepCount2P2", "PRC+2", "Количество совпадений \"значений + 2\"",
             MakeStat<StRepCount2<2, 1>>);
const TStatClass TstRepCount2N2 =
    RepClass("TstRepCount2N2", "PRC-2", "Количество совпадений \"значений - 2\"",
             MakeStat<StRepCount2<-2, 1>>);

}  // namespace tessara
