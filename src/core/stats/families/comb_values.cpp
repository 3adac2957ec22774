#include "stats/families/comb_values.h"

#include <algorithm>
#include <vector>

#include "model/game.h"

namespace tessara {

namespace {

enum class TGroupKind { Mix, Seq, Pos };

// Positions of the groups of k numbers, in lexicographic order of positions.
struct TGroupPositions {
    int Count = 0;
    uint8_t P[20][4] = {};
};

TGroupPositions MakePositions(int k, TGroupKind kind, int param) {
    TGroupPositions g;
    const auto add = [&](const int* pos) {
        for (int i = 0; i < k; ++i) g.P[g.Count][i] = static_cast<uint8_t>(pos[i]);
        ++g.Count;
    };
    int pos[4] = {};
    switch (kind) {
        case TGroupKind::Mix: {
            // Every k of six positions, the first position outermost.
            for (int i = 0; i < k; ++i) pos[i] = i;
            for (;;) {
                add(pos);
                int i = k - 1;
                while (i >= 0 && pos[i] == BallsInDraw - k + i) --i;
                if (i < 0) break;
                ++pos[i];
                for (int j = i + 1; j < k; ++j) pos[j] = pos[j - 1] + 1;
            }
            break;
        }
        case TGroupKind::Seq:
            for (int s = 0; s + k <= BallsInDraw; ++s) {
                for (int i = 0; i < k; ++i) pos[i] = s + i;
                add(pos);
            }
            break;
        case TGroupKind::Pos: {
            const int s = std::clamp(param, 1, BallsInDraw - k + 1) - 1;
            for (int i = 0; i < k; ++i) pos[i] = s + i;
            add(pos);
            break;
        }
    }
    return g;
}

// The numbers of a group in key words 1..k; the value text joins them by ":".
class TCustomCombValuesStat : public TCustomStat {
public:
    TCustomCombValuesStat(const TStatClass& c, const TStatList& l, int p, int k)
        : TCustomStat(c, l, p), k_(k) {}
    std::string ValueToText(const TStatDraw& row) const override {
        std::string s;
        for (int i = 0; i < k_; ++i) s += (i ? ":" : "") + std::to_string(row.Key.w[i]);
        return s;
    }

private:
    int k_;
};

template <int K, TGroupKind Kind>
class StCombValues final : public TCustomCombValuesStat {
public:
    StCombValues(const TStatClass& c, const TStatList& l, int p)
        : TCustomCombValuesStat(c, l, p, K), groups_(MakePositions(K, Kind, p)) {}

    bool CombMatches(const TCombination& c, const TStatDrawArray& sel, int, bool, bool) override {
        for (int g = 0; g < groups_.Count; ++g) {
            const StatKey key = GroupKey(c.n, g);
            if (RowsHaveKey(sel, key.w[0], key.w[1], key.w[2], key.w[3])) return true;
        }
        return false;
    }

    int64_t FilterCombs(const TCombination* src, int64_t n, TCombination* dst,
                        const TStatDrawArray& sel, int refIndex, bool sorted,
                        bool exclude) override {
        // One bit per group of numbers below 64 (2 MB for quadruples). A
        // selected key beyond that takes the plain path.
        std::vector<uint64_t> bits(size_t{1} << (6 * K - 6), 0);
        for (const TStatDraw& r : sel) {
            bool tail = false;
            for (int i = K; i < 4; ++i) tail |= r.Key.w[i] != 0;
            if (tail) continue;  // no group carries words beyond k
            uint32_t index = 0;
            for (int i = 0; i < K; ++i) {
                if (r.Key.w[i] >= 64)
                    return TCustomStat::FilterCombs(src, n, dst, sel, refIndex, sorted, exclude);
                index = index << 6 | r.Key.w[i];
            }
            bits[index >> 6] |= 1ull << (index & 63);
        }
        return FilterWithThreads(src, n, dst, exclude, [&](const TCombination& c) {
            for (int g = 0; g < groups_.Count; ++g) {
                uint32_t index = 0, high = 0;
                for (int i = 0; i < K; ++i) {
                    const uint8_t x = c.n[groups_.P[g][i]];
                    high |= x;
                    index = index << 6 | (x & 63u);
                }
                if (high < 64 && ((bits[index >> 6] >> (index & 63)) & 1)) return true;
            }
            return false;
        });
    }

protected:
    void AddValues(const uint8_t* n, TStatDrawArray& rows, bool track) override {
        for (int g = 0; g < groups_.Count; ++g) Emit(rows, GroupKey(n, g), track);
    }

private:
    StatKey GroupKey(const uint8_t* n, int g) const {
        StatKey key = MakeKey(0);
        for (int i = 0; i < K; ++i) key.w[i] = n[groups_.P[g][i]];
        return key;
    }

    TGroupPositions groups_;
};

template <int K>
std::pair<int, int> StartRange(const TStatList&) {
    return {1, BallsInDraw - K + 1};
}

constexpr TStatClass CombClass(const char* name, const char* code, const char* caption,
                               std::unique_ptr<TCustomStat> (*create)(const TStatClass&,
                                                                      const TStatList&, int)) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = nullptr, .Group = 0, .Features = sfSorted,
                      .HasNumericValues = false, .Create = create};
}

template <int K>
constexpr TStatClass PosClass(const char* name, const char* code, const char* caption,
                              const char* help) {
    return TStatClass{.ClassName = name, .CodeFormat = code, .CaptionFormat = caption,
                      .HelpCodeFormat = help, .Group = 0, .Features = sfSorted,
                      .HasParams = true, .HasNumericValues = false, .ParamRangeFn = StartRange<K>,
                      .Create = MakeStat<StCombValues<K, TGroupKind::Pos>>};
}

// Kept in the table for its order; never offered, so never created.
constexpr TStatClass Unavailable(const char* name) {
    return TStatClass{.ClassName = name, .CodeFormat = name, .CaptionFormat = name,
                      .HelpCodeFormat = nullptr, .Group = 0, .Features = sfSorted,
                      .HasNumericValues = false, .Available = false};
}

}  // namespace

const TStatClass TstCombValMix2 =
    CombClass("TstCombValMix2", "KNM2", "Сочетания из 2 чисел по всем числам тиража",
              MakeStat<StCombValues<2, TGroupKind::Mix>>);
const TStatClass TstCombValMix3 =
    CombClass("TstCombValMix3", "KNM3", "Сочетания из 3 чисел по всем числам тиража",
              MakeStat<StCombValues<3, TGroupKind::Mix>>);
const TStatClass TstCombValMix4 =
    CombClass("TstCombValMix4", "KNM4", "Сочетания из 4 чисел по всем числам тиража",
              MakeStat<StCombValues<4, TGroupKind::Mix>>);
const TStatClass TstCombValSeq2 =
    CombClass("TstCombValSeq2", "KNS2", "Сочетания из 2 соседних чисел тиража",
              MakeStat<StCombValues<2, TGroupKind::Seq>>);
const TStatClass TstCombValSeq3 =
    CombClass("TstCombValSeq3", "KNS3", "Сочетания из 3 соседних чисел тиража",
              MakeStat<StCombValues<3, TGroupKind::Seq>>);
const TStatClass TstCombValSeq4 =
    CombClass("TstCombValSeq4", "KNS4", "Сочетания из 4 соседних чисел тиража",
              MakeStat<StCombValues<4, TGroupKind::Seq>>);
const TStatClass TstCombValPos2 = PosClass<2>(
    "TstCombValPos2", "KNP2%d", "Сочетания из 2-х чисел тиража начиная с %0:d позиции", "KNP2");
const TStatClass TstCombValPos3 = PosClass<3>(
    "TstCombValPos3", "KNP3%d", "Сочетания из 3-х чисел тиража начиная с %0:d позиции", "KNP3");
const TStatClass TstCombValPos4 = PosClass<4>(
    "TstCombValPos4", "KNP4%d", "Сочетания из 4-х чисел тиража начиная с %0:d позиции", "KNP4");
const TStatClass TstCombValSort2 = Unavailable("TstCombValSort2");
const TStatClass TstCombValSort3 = Unavailable("TstCombValSort3");
const TStatClass TstCombValSort4 = Unavailable("TstCombValSort4");

}  // namespace tessara
