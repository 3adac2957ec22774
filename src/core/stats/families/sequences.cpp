#include "stats/families/sequences.h"

#include <algorithm>

#include "model/game.h"

namespace tessara {

namespace {

// A run is a stretch of positions whose neighbours rise by exactly one; the
// graphs also accept a step of one downwards.
template <bool EitherWay>
bool Consecutive(uint8_t a, uint8_t b) {
    const int d = int{b} - int{a};
    return EitherWay ? (d == 1 || d == -1) : d == 1;
}

// Lengths of the runs in position order; returns how many there are.
template <bool EitherWay>
int RunLengths(const uint8_t* n, int* lengths) {
    int count = 0, len = 1;
    for (int i = 1; i < BallsInDraw; ++i) {
        if (Consecutive<EitherWay>(n[i - 1], n[i])) {
            ++len;
        } else {
            lengths[count++] = len;
            len = 1;
        }
    }
    lengths[count++] = len;
    return count;
}

template <bool EitherWay>
int RunCount(const uint8_t* n) {
    int lengths[BallsInDraw];
    const int k = RunLengths<EitherWay>(n, lengths);
    return static_cast<int>(std::count_if(lengths, lengths + k, [](int len) { return len >= 2; }));
}

template <bool EitherWay>
int LongestRun(const uint8_t* n) {
    int lengths[BallsInDraw];
    const int k = RunLengths<EitherWay>(n, lengths);
    return *std::max_element(lengths, lengths + k);
}

// Bit len set for every run length present.
int RunLengthBits(const uint8_t* n) {
    int lengths[BallsInDraw];
    const int k = RunLengths<false>(n, lengths);
    int bits = 0;
    for (int i = 0; i < k; ++i) bits |= 1 << lengths[i];
    return bits;
}

class StSequenceLen : public TCustomNumbersStat {
public:
    using TCustomNumbersStat::TCustomNumbersStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int len = 1; len <= BallsInDraw; ++len)
            AddEmpty(rows, MakeKey(static_cast<uint16_t>(len)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        int lengths[BallsInDraw];
        const int k = RunLengths<false>(c.n, lengths);
        for (int i = 0; i < k; ++i)
            if (RowsHaveWord(sel, 1, static_cast<uint16_t>(lengths[i]))) return true;
        return false;
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        int wanted = 0;
        for (int len = 1; len <= BallsInDraw; ++len)
            if (RowsHaveWord(sel, 1, static_cast<uint16_t>(len))) wanted |= 1 << len;
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            return (RunLengthBits(c.n) & wanted) != 0;
        });
    }
    // The code of a combination is the set of its run lengths.
    int CodeCount() const override { return 1 << (BallsInDraw + 1); }
    void CombCodes(const TCombination* src, int64_t n, uint16_t* codes) const override {
        for (int64_t i = 0; i < n; ++i) codes[i] = static_cast<uint16_t>(RunLengthBits(src[i].n));
    }
    void WantedCodes(const TStatDrawArray& sel, int, bool, uint8_t* wanted) override {
        int lengths = 0;
        for (int len = 1; len <= BallsInDraw; ++len)
            if (RowsHaveWord(sel, 1, static_cast<uint16_t>(len))) lengths |= 1 << len;
        for (int code = 0; code < CodeCount(); ++code) wanted[code] = (code & lengths) != 0;
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        int lengths[BallsInDraw];
        const int k = RunLengths<false>(n, lengths);
        for (int i = 0; i < k; ++i) Emit(rows, MakeKey(static_cast<uint16_t>(lengths[i])), track);
    }
};

// One small value per draw; the graph counts runs in both directions.
template <int (*Value)(const uint8_t*), int (*Graph)(const uint8_t*), int Low, int High>
class StSequenceValue : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    void FillAllValues(int, TStatDrawArray& rows) override {
        for (int v = Low; v <= High; ++v) AddEmpty(rows, MakeKey(static_cast<uint16_t>(v)));
    }
    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        return RowsHaveWord(sel, 1, static_cast<uint16_t>(Value(c.n)));
    }
    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int, bool, bool exclude) override {
        bool wanted[BallsInDraw + 1] = {};
        for (int v = 0; v <= BallsInDraw; ++v)
            wanted[v] = RowsHaveWord(sel, 1, static_cast<uint16_t>(v));
        return FilterWithThreads(src, n, dst, exclude,
                          [&](const TCombination& c) { return wanted[Value(c.n)]; });
    }
    int32_t GraphValue(const TCombination& c, int, bool, int) override { return Graph(c.n); }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        Emit(rows, MakeKey(static_cast<uint16_t>(Value(n))), track);
    }
};

// No pair of neighbours at all shows as 0 on the graph.
int LongestRunGraph(const uint8_t* n) {
    const int len = LongestRun<true>(n);
    return len >= 2 ? len : 0;
}

using StSequenceCnt = StSequenceValue<RunCount<false>, RunCount<true>, 0, 3>;
using StSequenceLenMax = StSequenceValue<LongestRun<false>, LongestRunGraph, 1, BallsInDraw>;

}  // namespace

const TStatClass TstSequenceLen{.ClassName = "TstSequenceLen", .CodeFormat = "SEQL",
                                .CaptionFormat = "Длина последовательности в тираже",
                                .HelpCodeFormat = nullptr, .Group = 6, .Features = sfSorted | sfNorm,
                                .Create = MakeStat<StSequenceLen>};
const TStatClass TstSequenceCnt{.ClassName = "TstSequenceCnt", .CodeFormat = "SEQS",
                                .CaptionFormat = "Количество последовательностей в тираже",
                                .HelpCodeFormat = nullptr, .Group = 6, .Features = sfSorted | sfNorm,
                                .HasGraph = true, .Create = MakeStat<StSequenceCnt>};
const TStatClass TstSequenceLenMax{.ClassName = "TstSequenceLenMax", .CodeFormat = "LENS",
                                   .CaptionFormat = "Макс. длина последовательности в тираже",
                                   .HelpCodeFormat = nullptr, .Group = 6,
                                   .Features = sfSorted | sfNorm, .HasGraph = true,
                                   .Create = MakeStat<StSequenceLenMax>};

}  // namespace tessara
