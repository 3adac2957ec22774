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
// combination works on. Each step works out what filtering what is alive by
// that row would leave, and the list is not touched until the steps are
// over: a step that would empty the list costs no undo. The combinations
// left are copied back in the end, in order.
//
// A statistic with value bits has them worked out once for the list, and a
// one-bit step is then a look-up of the bits rather than a working out of
// the values: a step that removes a value only adds it to the values
// removed, counted in one reading pass, and what is alive is made anew only
// when it has shrunk to half or when a step keeps a value. Once a step would
// have emptied the list, a histogram of the bits of what is alive, made
// once, answers every later one-bit step.
class TStepList {
public:
    // Over the list as it is now; nothing is computed yet.
    void Start(const TCombList& list, TCustomStat& stat);
    int64_t Alive() const { return alive_; }
    // What a step keeping (with exclude: removing) the combinations of the
    // row would leave of what is alive. The statistic has loaded its draws.
    // A step that leaves something is taken before the next one is asked.
    int64_t Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude);
    // The step of the last Left stays.
    void Take();
    // The distinct numbers of what is alive, counted up to limit.
    int DistinctNumbers(int limit) const;
    // Copies the combinations left into dst; returns how many.
    int64_t Apply(TCombination* dst) const;
    // Lets the memory go.
    void Clear();

private:
    enum class TStep { None, Removes, Filtered, ByBits };
    // Value bits kept beside a list, grown only (not zero-filled).
    struct TBits {
        std::unique_ptr<uint64_t[]> Data;
        int64_t Capacity = 0;
        void Reserve(int64_t n);
    };
    // What is alive is the base list less the combinations with a value of
    // removed_ (which is only ever set with the bits at hand).
    const TCombination* Base() const { return own_ ? list_.Data() : src_; }
    int64_t BaseCount() const { return own_ ? list_.Count() : n_; }
    bool IsAlive(int64_t i) const { return removed_ == 0 || (bits_.Data[static_cast<size_t>(i)] & removed_) == 0; }
    void Histogram();
    // The bits of the base list, worked out once.
    void EnsureBits();
    // How many of what is alive a step by the bits keeps.
    int64_t CountByBits(uint64_t wanted, bool exclude) const;
    // next_ made from the base list: what is alive and, with wanted, has
    // (with exclude: has not) one of its bits; the bits follow in place.
    int64_t FilterByBits(uint64_t wanted, bool exclude, bool useWanted);
    // The base list becomes what is alive.
    void Compact();

    const TCombination* src_ = nullptr;
    TCustomStat* stat_ = nullptr;
    int64_t n_ = 0;
    bool own_ = false;        // the base list is list_, not the list started from
    bool hasBits_ = false;    // bits_ holds the bits of the base list
    bool counted_ = false;    // hist_ is that of what is alive
    bool failed_ = false;     // a step would have emptied what is alive
    uint64_t removed_ = 0;
    int64_t alive_ = 0;
    TStep step_ = TStep::None; // what the last Left left ready
    uint64_t stepRemoved_ = 0;
    int64_t stepLeft_ = 0;
    std::array<int64_t, 64> hist_{};
    TCombList list_, next_;
    TBits bits_;
};

}  // namespace tessara
