#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/records.h"

namespace tessara {

class TCustomStat;

// The codes of one-value statistics kept for every combination of 1..42,
// for the length of a scenario run: the code of a combination only depends
// on its six numbers, so a later filtering by the same statistic, over the
// full list or any list made from it, looks it up by the combination's rank
// instead of computing it again. One byte per combination where the codes
// fit in one, two otherwise; the oldest column goes when the budget is spent.
class TValueColumns {
public:
    explicit TValueColumns(size_t budgetBytes = size_t{120} << 20) : budget_(budgetBytes) {}

    // The codes of n combinations into codes; the combinations that are not
    // six increasing numbers of 1..42 are coded directly. Runs concurrently
    // for slices of one list once the column exists (Prepare).
    void Prepare(int method, const TCustomStat& stat);
    void Codes(int method, const TCustomStat& stat, const TCombination* src, int64_t n, uint16_t* codes) const;
    void Clear();
    size_t Bytes() const;

    // The rank of six increasing numbers of 1..42 among all such
    // combinations; -1 for anything else.
    static int64_t Rank(const TCombination& c);
    static constexpr int64_t CombCount = 5245786;

private:
    struct TColumn {
        int Method = -1;
        std::vector<uint8_t> Narrow;
        std::vector<uint16_t> Wide;
        size_t Bytes() const { return Narrow.size() + Wide.size() * sizeof(uint16_t); }
    };
    const TColumn* Find(int method) const;
    size_t budget_;
    std::vector<TColumn> columns_;  // oldest first
};

}  // namespace tessara
