#include "stats/families/differences.h"

#include <algorithm>

#include "model/game.h"
#include "stats/families/position_values.h"

namespace tessara {

namespace {

// Differences of six bytes stay below 256.
constexpr int MaxDiff = MaxNumber - 1;

int MaxOf(const uint8_t* d) { return *std::max_element(d, d + DiffsInDraw); }

int Spread(const uint8_t* n) {
    const auto [lo, hi] = std::minmax_element(n, n + BallsInDraw);
    return *hi - *lo;
}

// How often d[k] occurs among d1..d5, and whether k is its first place.
int Multiplicity(const uint8_t* d, int k, bool& first) {
    int m = 0;
    first = true;
    for (int j = 0; j < DiffsInDraw; ++j)
        if (d[j] == d[k]) {
            ++m;
            first = first && j >= k;
        }
    return m;
}

int MaxMultiplicity(const uint8_t* d) {
    int best = 0;
    bool first;
    for (int k = 0; k < DiffsInDraw; ++k) best = std::max(best, Multiplicity(d, k, first));
    return best;
}

class StDiffTotal : public TCustomNumbersStat {
public:
    using TCustomNumbersStat::TCustomNumbersStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int v = 1; v <= MaxDiff; ++v) AddEmpty(rows, MakeKey(static_cast<uint16_t>(v)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(c.n, d);
        for (uint8_t v : d)
            if (RowsHaveWord(sel, 1, v)) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const auto wanted =
            ByteFlags([&](int v) { return RowsHaveWord(sel, 1, static_cast<uint16_t>(v)); });
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint8_t d[DiffsInDraw];
            NeighbourDiffs(c.n, d);
            bool hit = false;
            for (uint8_t v : d) hit |= wanted[v];
            return hit;
        });
    }
    // The differences are the bits.
    TValueBits ValueBitsKind() const override { return TValueBits::Differences; }
    bool RowBits(const TStatDraw& row, uint64_t& bits) const override {
        const TStatDrawArray sel{row};
        return NumberRowBits(bits, [&](int v) { return RowsHaveWord(sel, 1, static_cast<uint16_t>(v)); });
    }

protected:
    // Only the first difference keeps periods: the others would measure
    // gaps between positions, not between draws.
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(n, d);
        for (int k = 0; k < DiffsInDraw; ++k) Emit(rows, MakeKey(d[k]), track && k == 0);
    }
};

// A single integer of the six numbers: word 1, a graph value, a table of
// the selected values for filtering.
template <int (*F)(const uint8_t*), int Low, int High>
class StDiffValue : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int v = Low; v <= High; ++v) AddEmpty(rows, MakeKey(static_cast<uint16_t>(v)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, static_cast<uint16_t>(F(c.n)));
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return F(c.n); }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const auto wanted =
            ByteFlags([&](int v) { return RowsHaveWord(sel, 1, static_cast<uint16_t>(v)); });
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            return wanted[static_cast<size_t>(F(c.n))];
        });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(static_cast<uint16_t>(F(n))), track);
    }
};

int DiffMax(const uint8_t* n) {
    uint8_t d[DiffsInDraw];
    NeighbourDiffs(n, d);
    return MaxOf(d);
}
int DiffSameCount(const uint8_t* n) {
    uint8_t d[DiffsInDraw];
    NeighbourDiffs(n, d);
    return MaxMultiplicity(d);
}

using StDiffMax = StDiffValue<DiffMax, 1, MaxDiff>;
using StMinMaxDiffs = StDiffValue<Spread, 1, MaxDiff>;
using StDiffSameCnt = StDiffValue<DiffSameCount, 1, DiffsInDraw>;

// Every distinct difference with its multiplicity, "3 x 2".
class StDiffSame : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override { return PairText(row.Key); }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(c.n, d);
        bool first;
        for (int k = 0; k < DiffsInDraw; ++k) {
            const int m = Multiplicity(d, k, first);
            if (first && RowsHaveKey(sel, d[k], static_cast<uint16_t>(m), 0, 0)) return true;
        }
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[256][DiffsInDraw + 1] = {};
        for (const TStatDraw& r : sel)
            if (r.Key.w[0] < 256 && r.Key.w[1] <= DiffsInDraw && r.Key.w[2] == 0 && r.Key.w[3] == 0)
                wanted[r.Key.w[0]][r.Key.w[1]] = true;
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint8_t d[DiffsInDraw];
            NeighbourDiffs(c.n, d);
            bool hit = false, first;
            for (int k = 0; k < DiffsInDraw; ++k) hit |= wanted[d[k]][Multiplicity(d, k, first)];
            return hit;
        });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(n, d);
        bool first;
        for (int k = 0; k < DiffsInDraw; ++k) {
            const int m = Multiplicity(d, k, first);
            if (first) Emit(rows, MakeKey(d[k], static_cast<uint16_t>(m)), track);
        }
    }
};

// N neighbouring differences taken together, "5:3:2"; values of draws only.
template <int N>
class StCombDiffSeq : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    std::string ValueToText(const TStatDraw& row) const override {
        return JoinKeyWords(row.Key, N);
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(c.n, d);
        return RowsHaveTuple<false>(d, DiffsInDraw, sel, N);
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        const std::vector<TTuple> tuples = SelectedTuples(sel, N);
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            uint8_t d[DiffsInDraw];
            NeighbourDiffs(c.n, d);
            for (const TTuple& t : tuples)
                if (HasWindow(d, DiffsInDraw, t, N)) return true;
            return false;
        });
    }

protected:
    // The periods come from the first window only.
    void AddDrawRowValues(int, int, bool, TStatDrawArray& rows) override {
        uint8_t d[DiffsInDraw];
        NeighbourDiffs(Draw.Numbers, d);
        bool first = true;
        ForEachWindow(d, DiffsInDraw, N, [&](const StatKey& k) {
            Emit(rows, k, first);
            first = false;
        });
    }
};

}  // namespace

const TStatClass TstDiffTotal{"TstDiffTotal", "DIFA", "Все разности между соседними позициями",
                              nullptr, 2, sfSorted | sfNorm, false, false, true, true, true,
                              nullptr, nullptr, MakeStat<StDiffTotal>};
const TStatClass TstDiffMax{"TstDiffMax", "DIFM", "Максимальная разность между соседними позициями",
                            nullptr, 2, sfSorted | sfNorm, true, false, true, true, true, nullptr,
                            nullptr, MakeStat<StDiffMax>};
const TStatClass TstMinMaxDiffs{"TstMinMaxDiffs", "DIFD",
                                "Разность между минимальным и максимальным числом", nullptr, 2,
                                sfNorm, true, false, true, true, true, nullptr, nullptr,
                                MakeStat<StMinMaxDiffs>};
const TStatClass TstDiffSame{"TstDiffSame", "DIFO", "Одинаковые разности между соседними позициями",
                             nullptr, 2, sfSorted | sfNorm, false, false, false, true, true,
                             nullptr, nullptr, MakeStat<StDiffSame>};
const TStatClass TstDiffSameCnt{"TstDiffSameCnt", "DIFK",
                                "Количество одинаковых разностей между соседними позициями",
                                nullptr, 2, sfSorted | sfNorm, true, false, true, true, true,
                                nullptr, nullptr, MakeStat<StDiffSameCnt>};
const TStatClass TstCombDiffSeq2{"TstCombDiffSeq2", "KDS2",
                                 "Сочетания из 2 разностей между числами", nullptr, 2, sfSorted,
                                 false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombDiffSeq<2>>};
const TStatClass TstCombDiffSeq3{"TstCombDiffSeq3", "KDS3",
                                 "Сочетания из 3 разностей между числами", nullptr, 2, sfSorted,
                                 false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombDiffSeq<3>>};
const TStatClass TstCombDiffSeq4{"TstCombDiffSeq4", "KDS4",
                                 "Сочетания из 4 разностей между числами", nullptr, 2, sfSorted,
                                 false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombDiffSeq<4>>};

}  // namespace tessara
