#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "combs/comb_list.h"

namespace tessara {

class TCustomStat;
class TValueColumns;

// A list counted by the codes of a one-value statistic. A single-select
// loop keeps or removes one row's combinations at a time; since every
// combination has one code, what each step would leave is the set of codes
// still alive, and its size and numbers follow from the counts without
// touching the list. The codes kept in the end are applied in one pass.
class TCodeCounts {
public:
    using TAlive = std::vector<uint8_t>;

    // Codes and counts the list (one pass, on every core); with numbers,
    // also which numbers the combinations of each code hold.
    void Count(const TCombList& list, const TCustomStat& stat, int method, const TValueColumns& columns,
               bool numbers);
    int CodeCount() const { return static_cast<int>(counts_.size()); }
    // Every code alive: the list as counted.
    TAlive AllAlive() const { return TAlive(counts_.size(), 1); }
    int64_t Total(const TAlive& alive) const;
    // The distinct numbers of the combinations of alive codes, counted up to limit.
    int DistinctNumbers(const TAlive& alive, int limit) const;
    // Copies the combinations of src (the list counted) whose code is alive
    // into dst, in order; returns how many.
    int64_t Apply(const TCombination* src, TCombination* dst, const TAlive& alive) const;

private:
    using TNumberMask = std::array<uint64_t, 4>;
    int64_t n_ = 0;
    std::vector<uint16_t> codes_;
    std::vector<int64_t> counts_;
    std::vector<TNumberMask> numbers_;
};

}  // namespace tessara
