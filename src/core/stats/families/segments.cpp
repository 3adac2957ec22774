#include "stats/families/segments.h"

#include <algorithm>

#include "stats/families/position_values.h"
#include "stats/stat_list.h"

namespace tessara {

TSegmentLayout::TSegmentLayout(const TStatList& list) : Segments(list.Config().MatrixSegments) {
    for (int n = 1; n <= MaxNumber; ++n) {
        const uint8_t s = Segments[static_cast<size_t>(n - 1)];
        segmentOf_[static_cast<size_t>(n)] = s;
        if (!listed_[s]) InUse.push_back(s);
        listed_[s] = true;
    }
}

namespace {

class StSegments : public TCustomSegmentsStat {
public:
    using TCustomSegmentsStat::TCustomSegmentsStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (uint8_t s : InUse) AddEmpty(rows, MakeKey(s));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (uint8_t n : c.n)
            if (RowsHaveWord(sel, 1, SegmentOf(n))) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return FilterAnyNumber(src, n, dst, exclude,
                               [&](int v) { return RowsHaveWord(sel, 1, SegmentOf(v)); });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int k = 0; k < BallsInDraw; ++k) Emit(rows, MakeKey(SegmentOf(n[k])), track);
    }
};

// Every segment in use with the count of its numbers, "2 x 3".
class StSegmValues : public TCustomSegmentsStat {
public:
    using TCustomSegmentsStat::TCustomSegmentsStat;
    std::string ValueToText(const TStatDraw& row) const override { return PairText(row.Key); }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return ClassCountsMatch(c.n, segmentOf_.data(), listed_.data(), sel);
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        return TClassCountFilter(sel, segmentOf_.data(), listed_.data()).Filter(src, n, dst, exclude);
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (uint8_t s : InUse)
            Emit(rows, MakeKey(s, static_cast<uint16_t>(ClassCount(n, segmentOf_.data(), s))),
                 track);
    }
};

class StSegmCount : public TSmallValueStat<TCustomSegmentsGraphStat, StSegmCount> {
public:
    using TSmallValueStat::TSmallValueStat;
    int Value(const uint8_t* n) const {
        uint8_t s[BallsInDraw];
        PositionValues(n, s);
        return DistinctCount(s, BallsInDraw);
    }
    std::pair<int, int> FillRange() const { return {1, 0}; }
};

class StSgmValCnt : public TSmallValueStat<TCustomSegmentsGraphStat, StSgmValCnt> {
public:
    using TSmallValueStat::TSmallValueStat;
    int Value(const uint8_t* n) const { return ClassCount(n, segmentOf_.data(), Param); }
    std::pair<int, int> FillRange() const { return {1, 0}; }
};

template <int N>
using StCombSegmMix = TPositionTupleStat<TCustomSegmentsStat, N, true>;
template <int N>
using StCombSegmSeq = TPositionTupleStat<TCustomSegmentsStat, N, false>;

// From the smallest to the largest segment of the table, so a segment
// without numbers between two used ones is registered too.
std::pair<int, int> SegmentRange(const TStatList& list) {
    int low = 9, high = 1;
    for (uint8_t s : list.Config().MatrixSegments) {
        low = std::min<int>(low, s);
        high = std::max<int>(high, s);
    }
    return {low, high};
}

}  // namespace

const TStatClass TstSegments{"TstSegments", "SGMS",  "Сегменты матрицы",  nullptr, 5, sfNorm, false, false, true, true, true,
                             nullptr,       nullptr, MakeStat<StSegments>};
const TStatClass TstSegmValues{"TstSegmValues", "SGMV", "Количество чисел в сегменте матрицы",
                               nullptr, 5, sfNorm, false, false, false, true, true, nullptr,
                               nullptr, MakeStat<StSegmValues>};
const TStatClass TstSegmCount{"TstSegmCount", "SGMC", "Количество не пустых сегментов в матрице",
                              nullptr, 5, sfNorm, true, false, true, true, true, nullptr, nullptr,
                              MakeStat<StSegmCount>};
const TStatClass TstCombSegmMix2{"TstCombSegmMix2", "KGM2",
                                 "Сочетания из 2 сегментов по всем числам тиража", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmMix<2>>};
const TStatClass TstCombSegmMix3{"TstCombSegmMix3", "KGM3",
                                 "Сочетания из 3 сегментов по всем числам тиража", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmMix<3>>};
const TStatClass TstCombSegmMix4{"TstCombSegmMix4", "KGM4",
                                 "Сочетания из 4 сегментов по всем числам тиража", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmMix<4>>};
const TStatClass TstCombSegmSeq2{"TstCombSegmSeq2", "KGS2",
                                 "Сочетания из 2 сегментов по соседним числам", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmSeq<2>>};
const TStatClass TstCombSegmSeq3{"TstCombSegmSeq3", "KGS3",
                                 "Сочетания из 3 сегментов по соседним числам", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmSeq<3>>};
const TStatClass TstCombSegmSeq4{"TstCombSegmSeq4", "KGS4",
                                 "Сочетания из 4 сегментов по соседним числам", nullptr, 5,
                                 sfSorted, false, false, false, true, true, nullptr, nullptr,
                                 MakeStat<StCombSegmSeq<4>>};
const TStatClass TstSgmValCnt{"TstSgmValCnt", "SGM%d", "Количество чисел в %0:d сегменте матрицы",
                              "SGMx", 5, sfNorm, true, true, true, true, true, SegmentRange,
                              nullptr, MakeStat<StSgmValCnt>};

}  // namespace tessara
