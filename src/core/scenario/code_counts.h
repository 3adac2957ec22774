#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "combs/comb_list.h"
#include "scenario/step_list.h"

namespace tessara {

class TCustomStat;
class TValueColumns;

// A list counted by the codes of a one-value statistic. A single-select
// loop keeps or removes one row's combinations at a time; since every
// combination has one code, what each step would leave is the set of codes
// still alive, and its size and numbers follow from the counts without
// touching the list. The codes kept in the end are applied in one pass.
//
// The codes and counts of a list that stays unchanged under a key (a start
// list of the run) are kept for the next loops over it, a few statistics at
// a time; a list that is such a list less a few combinations is counted
// from its parent's codes less those combinations.
class TCodeCounts {
public:
    using TAlive = std::vector<uint8_t>;

    // Codes and counts the list (one pass, on every core, unless kept);
    // with numbers, also which numbers the combinations of each code hold.
    void Count(const TCombList& list, const TCustomStat& stat, int method, const TValueColumns& columns,
               bool numbers, const TStepSource& source = {});
    int CodeCount() const { return static_cast<int>(counts_.size()); }
    // Every code alive: the list as counted.
    TAlive AllAlive() const { return TAlive(counts_.size(), 1); }
    int64_t Total(const TAlive& alive) const;
    // The distinct numbers of the combinations of alive codes, counted up to limit.
    int DistinctNumbers(const TAlive& alive, int limit) const;
    // Copies the combinations of the list counted whose code is alive into
    // dst, in order; returns how many.
    int64_t Apply(TCombination* dst, const TAlive& alive);
    // What the codes alive leave, as bits over the list the counts were
    // worked out for, when that is kept under a key; false otherwise.
    bool AliveInParent(const TAlive& alive, TStepSource& parent, std::vector<uint64_t>& bits) const;
    // Lets the memory go, what is kept included.
    void Clear();

private:
    // The codes of a list, with the counts of each code and, once asked
    // for, of each number in the combinations of each code.
    struct TColumn {
        uint64_t Key = 0;
        uint64_t Used = 0;
        int Method = -1;
        const TCombination* Data = nullptr;
        int64_t Count = 0;
        std::vector<uint8_t> Narrow;  // the codes, when below 256
        std::vector<uint16_t> Wide;   // otherwise
        uint16_t Code(int64_t i) const {
            return Narrow.empty() ? Wide[static_cast<size_t>(i)] : Narrow[static_cast<size_t>(i)];
        }
        std::vector<int64_t> Counts;
        // The counts in each slice the filtering threads work on, so that
        // each slice knows where its combinations go.
        std::vector<std::vector<int64_t>> SliceCounts;
        std::vector<int32_t> Numbers;  // [code * 64 + number]
        bool HasNumbers = false;
    };
    TColumn& ColumnFor(const TCombination* data, int64_t count, const TCustomStat& stat, int method,
                       const TValueColumns& columns, uint64_t key);
    static void Fill(TColumn& c, const TCustomStat& stat, int method, const TValueColumns& columns);
    static void FillNumbers(TColumn& c, int codes);

    static constexpr size_t kKept = 6;
    std::array<TColumn, kKept> kept_;
    TColumn own_;
    uint64_t clock_ = 0;
    TColumn* column_ = nullptr;      // the column counted
    std::vector<int64_t> removed_;  // its positions not in the list
    std::vector<int64_t> counts_;
    using TNumberMask = std::array<uint64_t, 4>;
    std::vector<TNumberMask> numbers_;
};

}  // namespace tessara
