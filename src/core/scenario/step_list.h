#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "combs/comb_list.h"
#include "model/records.h"
#include "stats/stat_types.h"

namespace tessara {

class TCustomStat;

// The list a single-select loop of a statistic with several values per
// combination works on. Each step filters what is alive into a list of its
// own, exactly as filtering by that row would, and the list is not touched
// until the steps are over: a step that would empty the list costs no undo,
// and once one has, the value bits of the statistic (when it has them)
// answer every later one-bit step by a histogram of what is alive, made
// once, instead of a filtering each. The combinations left are copied back
// in the end, in order. A statistic with value bits has them worked out once
// for the list, and every one-bit step after that filters by the bits alone,
// carrying them along, instead of working the values out again.
class TStepList {
public:
    // Over the list as it is now; nothing is computed yet.
    void Start(const TCombList& list, TCustomStat& stat);
    int64_t Alive() const { return taken_ ? alive_.Count() : n_; }
    // What a step keeping (with exclude: removing) the combinations of the
    // row would leave of what is alive. The statistic has loaded its draws.
    int64_t Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude);
    // The step of the last Left stays.
    void Take();
    bool Taken() const { return taken_; }
    // The distinct numbers of what is alive, counted up to limit.
    int DistinctNumbers(int limit) const;
    // Copies the combinations left into dst; returns how many.
    int64_t Apply(TCombination* dst) const;
    // Lets the memory go.
    void Clear();

private:
    // Value bits kept beside a list, grown only (not zero-filled).
    struct TBits {
        std::unique_ptr<uint64_t[]> Data;
        int64_t Capacity = 0;
        void Reserve(int64_t n);
    };
    const TCombination* Source() const { return taken_ ? alive_.Data() : src_; }
    void Histogram();
    // The bits of what is alive, worked out once.
    void EnsureBits();
    // next_ made from what is alive by the bits of a row; unless it is
    // empty, its bits replace those of what is alive.
    void FilterByBits(uint64_t wanted, bool exclude);

    const TCombination* src_ = nullptr;
    TCustomStat* stat_ = nullptr;
    int64_t n_ = 0;
    bool taken_ = false;
    bool counted_ = false;  // hist_ is that of what is alive
    bool failed_ = false;   // a step would have emptied what is alive
    bool selected_ = false; // next_ holds what the last Left leaves
    bool bits_ = false;     // aliveBits_ holds the bits of what is alive
    bool nextBits_ = false; // it holds those of next_ (a step by the bits)
    std::array<int64_t, 64> hist_{};
    TCombList alive_, next_;
    TBits aliveBits_;
};

}  // namespace tessara
