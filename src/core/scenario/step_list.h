#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "combs/comb_list.h"
#include "model/records.h"
#include "stats/custom_stat.h"
#include "stats/stat_types.h"

namespace tessara {

// Where a list comes from, when it stays unchanged as long as Key is given
// with it: Key nonzero. A list with a parent is the parent's list with a few
// combinations removed, in the same order, and the parent stays unchanged
// under its own key. A list may also be given as the combinations of a
// parent at the set bits of Alive (one bit per position of the parent): a
// list that a filtering of the parent by what was worked out for it has
// just made.
struct TStepSource {
    uint64_t Key = 0;
    const TCombination* ParentData = nullptr;
    int64_t ParentCount = 0;
    uint64_t ParentKey = 0;
    const std::vector<uint64_t>* Alive = nullptr;
};

// The positions of the parent that a list made from it lacks, found by
// halving (up to the next position lacking, the list is the parent shifted
// by those before); false when the list is not the parent less a few.
bool FindRemovedFromParent(const TCombination* sub, int64_t count, const TStepSource& source,
                           std::vector<int64_t>& removed);

// The list a single-select loop of a statistic without codes works on. The
// list itself is not touched until the steps are over: each step works out
// what filtering what is alive by one row would leave, a step that would
// empty the list costs nothing to undo, and the combinations left are
// copied out in the end, in order.
//
// For a statistic with value bits, what is alive is a bitmap over the list,
// and the list is kept as one bitmap per value bit (a plane: the
// combinations with that bit). A step by a row with bits is then a few word
// operations over the planes of its bits and what is alive. The planes of a
// list that stays unchanged under a key (a start list kept for the run) are
// kept for the next loops over it, the two used last; those of any other
// list are worked out once per loop. The other statistics filter what is
// alive into a list of its own, row by row.
class TStepList {
public:
    // Over the list as it is now; nothing is filtered yet.
    void Start(const TCombList& list, TCustomStat& stat, const TStepSource& source = {});
    int64_t Alive() const { return alive_; }
    // What a step keeping (with exclude: removing) the combinations of the
    // row would leave of what is alive. The statistic has loaded its draws.
    // A step that leaves something is taken before the next one is asked.
    int64_t Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude);
    // The same for the combinations of any of several rows.
    int64_t Left(const TStatDrawArray& rows, int refIndex, bool sorted, bool exclude);
    // The step of the last Left stays.
    void Take();
    // The distinct numbers of what is alive, counted up to limit.
    int DistinctNumbers(int limit) const;
    // Copies the combinations left into dst; returns how many.
    int64_t Apply(TCombination* dst) const;
    // What is alive as bits over a parent kept under a key, once the steps
    // are over; false when the list is not so kept.
    bool AliveInParent(TStepSource& parent, std::vector<uint64_t>& bits) const;
    // Lets the memory go, the planes kept included.
    void Clear();

private:
    struct TPlanes {
        uint64_t Key = 0;
        uint64_t Used = 0;  // when last started on, for choosing which to drop
        TValueBits Kind = TValueBits::None;
        const TCombination* Data = nullptr;
        int64_t Count = 0;
        int64_t Words = 0;
        std::array<int8_t, 64> Index{};  // the plane of each bit, -1: none
        std::unique_ptr<uint64_t[]> Bits;  // the planes one after another
        int64_t Capacity = 0;              // words, grown only
        const uint64_t* Plane(int bit) const { return Bits.get() + Index[static_cast<size_t>(bit)] * Words; }
        void Drop();
    };
    enum class TStep { None, Bitmap, Filtered };

    // The planes of the list for the statistic's kind of bits, kept ones
    // when the key matches; nullptr when a combination has bits beyond the
    // kind's (such a list is filtered row by row).
    TPlanes* PlanesFor(const TCombination* data, int64_t count, TCustomStat& stat, uint64_t key);
    // Starts on the planes of the parent, with what the list lacks of it
    // not alive; false when the list is not the parent less a few.
    bool StartWithin(const TCombList& list, TCustomStat& stat, const TStepSource& source);
    void SetAllAlive();
    void SetBounds();
    // The planes of n combinations for p's kind; false when a value lies
    // beyond the kind's bits.
    static bool Build(TPlanes& p, const TCombination* src, int64_t n);
    // next_ over what is alive and the planes of wanted: what has one of the
    // bits (with exclude: has none); returns how many.
    int64_t StepByBits(uint64_t wanted, bool exclude);
    // next_ over what is alive filtered by the statistic itself.
    int64_t StepByFilter(const TStatDrawArray& rows, int refIndex, bool sorted, bool exclude);
    // The combinations alive, in order, into dst.
    int64_t Gather(TCombination* dst) const;
    const TCombination* Base() const { return own_ ? list_.Data() : src_; }
    int64_t BaseCount() const { return own_ ? list_.Count() : n_; }

    TCustomStat* stat_ = nullptr;
    const TCombination* src_ = nullptr;
    int64_t n_ = 0;
    int64_t alive_ = 0;
    TStep step_ = TStep::None;
    int64_t stepLeft_ = 0;
    uint64_t clock_ = 0;

    // With planes: what is alive as bits over the list, nonzero only in
    // the words [lo_, hi_).
    TPlanes* planes_ = nullptr;
    std::array<TPlanes, 3> kept_;  // two kept under keys, one for the rest
    std::vector<uint64_t> aliveBits_, nextBits_;
    int64_t lo_ = 0, hi_ = 0, nextLo_ = 0, nextHi_ = 0;

    // Without: what is alive is the base list (the list started from, or
    // list_ once a step is taken).
    bool own_ = false;
    TCombList list_, next_;
};

}  // namespace tessara
