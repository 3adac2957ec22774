#include "scenario/step_list.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <system_error>
#include <thread>

#include "stats/custom_stat.h"
#include "stats/parallel_filter.h"

namespace tessara {

namespace {

// Runs part(t, begin, end) over slices of n items on the filtering threads;
// returns how many slices there were.
template <typename Part>
int RunSlices(int64_t n, Part part) {
    const int threads = n < TESSARA_FILTER_THREADS_MINIMUM ? 1 : FilterThreads();
    const int64_t size = (n + threads - 1) / threads;
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        const int64_t b = std::min(n, t * size), e = std::min(n, b + size);
        try {
            pool.emplace_back(part, t, b, e);
        } catch (const std::system_error&) {
            part(t, b, e);
        }
    }
    part(0, 0, std::min(n, size));
    for (std::thread& th : pool) th.join();
    return threads;
}

}  // namespace

void TStepList::TBits::Reserve(int64_t n) {
    if (n <= Capacity) return;
    Data.reset();
    Data.reset(new uint64_t[static_cast<size_t>(n)]);
    Capacity = n;
}

void TStepList::Start(const TCombList& list, TCustomStat& stat) {
    src_ = list.Data();
    stat_ = &stat;
    n_ = list.Count();
    alive_ = n_;
    own_ = hasBits_ = counted_ = failed_ = false;
    removed_ = stepRemoved_ = 0;
    stepLeft_ = 0;
    step_ = TStep::None;
    list_.SetCount(0);
    next_.SetCount(0);
}

void TStepList::EnsureBits() {
    if (hasBits_) return;
    const TCombination* src = Base();
    bits_.Reserve(std::max<int64_t>(BaseCount(), 1));
    uint64_t* bits = bits_.Data.get();
    RunSlices(BaseCount(), [&](int, int64_t b, int64_t e) {
        if (e > b) stat_->CombBits(src + b, e - b, bits + b);
    });
    hasBits_ = true;
}

int64_t TStepList::CountByBits(uint64_t wanted, bool exclude) const {
    const uint64_t* bits = bits_.Data.get();
    const uint64_t removed = removed_;
    std::vector<int64_t> part(static_cast<size_t>(FilterThreads()), 0);
    const int used = RunSlices(BaseCount(), [&](int t, int64_t b, int64_t e) {
        int64_t hits = 0;
        for (int64_t i = b; i < e; ++i) {
            const uint64_t m = bits[i];
            hits += ((m & removed) == 0) & (((m & wanted) != 0) != exclude);
        }
        part[static_cast<size_t>(t)] = hits;
    });
    int64_t total = 0;
    for (int t = 0; t < used; ++t) total += part[static_cast<size_t>(t)];
    return total;
}

int64_t TStepList::FilterByBits(uint64_t wanted, bool exclude, bool useWanted) {
    const int64_t n = BaseCount();
    next_.Reserve(std::max(n, next_.Capacity()), 0);
    const TCombination* src = Base();
    TCombination* dst = next_.Data();
    uint64_t* bits = bits_.Data.get();
    const uint64_t removed = removed_;
    // Each slice is filtered into its own place, then the slices are moved
    // together in order. Every combination is written to the next free
    // place, which advances only for those kept: no branch to mispredict.
    std::vector<int64_t> kept(static_cast<size_t>(FilterThreads()), 0), start(kept.size(), 0);
    const int used = RunSlices(n, [&](int t, int64_t b, int64_t e) {
        int64_t k = b;
        for (int64_t i = b; i < e; ++i) {
            const uint64_t m = bits[i];
            dst[k] = src[i];
            bits[k] = m;  // k <= i: read before it is written
            k += ((m & removed) == 0) & (!useWanted || ((m & wanted) != 0) != exclude);
        }
        start[static_cast<size_t>(t)] = b;
        kept[static_cast<size_t>(t)] = k - b;
    });
    int64_t total = kept[0];
    for (int t = 1; t < used; ++t) {
        const size_t i = static_cast<size_t>(t);
        if (kept[i] > 0 && start[i] != total) {
            std::memmove(dst + total, dst + start[i], static_cast<size_t>(kept[i]) * sizeof(TCombination));
            std::memmove(bits + total, bits + start[i], static_cast<size_t>(kept[i]) * sizeof(uint64_t));
        }
        total += kept[i];
    }
    next_.SetCount(total);
    // The bits are next_'s now.
    hasBits_ = false;
    return total;
}

void TStepList::Compact() {
    if (removed_ == 0) return;
    FilterByBits(0, false, false);
    swap(list_, next_);
    own_ = true;
    hasBits_ = true;
    removed_ = 0;
}

void TStepList::Histogram() {
    if (counted_) return;
    hist_ = {};
    if (hasBits_) {
        const uint64_t* bits = bits_.Data.get();
        for (int64_t i = 0; i < BaseCount(); ++i) {
            const uint64_t m = bits[i];
            if (m & removed_) continue;
            for (uint64_t v = m; v; v &= v - 1) ++hist_[static_cast<size_t>(std::countr_zero(v))];
        }
        counted_ = true;
        return;
    }
    const TCombination* src = Base();
    std::vector<std::array<int64_t, 64>> part(static_cast<size_t>(FilterThreads()), std::array<int64_t, 64>{});
    const int used = RunSlices(BaseCount(), [&](int t, int64_t b, int64_t e) {
        constexpr int64_t kBlock = 4096;
        uint64_t block[kBlock];
        auto& h = part[static_cast<size_t>(t)];
        for (int64_t i = b; i < e; i += kBlock) {
            const int64_t len = std::min(kBlock, e - i);
            stat_->CombBits(src + i, len, block);
            for (int64_t j = 0; j < len; ++j)
                for (uint64_t m = block[j]; m; m &= m - 1) ++h[static_cast<size_t>(std::countr_zero(m))];
        }
    });
    for (int t = 0; t < used; ++t)
        for (size_t k = 0; k < 64; ++k) hist_[k] += part[static_cast<size_t>(t)][k];
    counted_ = true;
}

int64_t TStepList::Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude) {
    step_ = TStep::None;
    uint64_t wanted = 0;
    const bool oneBit = stat_->HasValueBits() && stat_->RowBits(row, wanted) && std::popcount(wanted) <= 1;
    if (oneBit) {
        int64_t left;
        if (counted_ || failed_) {
            // After a step that would have emptied the list, the one-bit
            // steps are answered by the histogram of what is alive.
            EnsureBits();
            Histogram();
            const int64_t sharing = wanted != 0 ? hist_[static_cast<size_t>(std::countr_zero(wanted))] : 0;
            left = exclude ? Alive() - sharing : sharing;
        } else {
            EnsureBits();
            left = CountByBits(wanted, exclude);
        }
        if (left == 0) {
            failed_ = true;
            return 0;
        }
        if (exclude) {
            // Only counted: the value joins the values removed when taken.
            step_ = TStep::Removes;
            stepRemoved_ = removed_ | wanted;
        } else {
            FilterByBits(wanted, false, true);
            step_ = TStep::ByBits;
        }
        stepLeft_ = left;
        return left;
    }
    // Filtered by the statistic itself, over what is alive made whole.
    Compact();
    next_.Reserve(std::max(BaseCount(), next_.Capacity()), 0);
    next_.SetCount(stat_->FilterCombs(Base(), BaseCount(), next_.Data(), {row}, refIndex, sorted, exclude));
    step_ = TStep::Filtered;
    stepLeft_ = next_.Count();
    failed_ = stepLeft_ == 0;
    return stepLeft_;
}

void TStepList::Take() {
    switch (step_) {
        case TStep::None:
            return;
        case TStep::Removes:
            removed_ = stepRemoved_;
            alive_ = stepLeft_;
            // Reading what is gone costs as much as making what is alive.
            if (alive_ * 2 < BaseCount()) Compact();
            break;
        case TStep::ByBits:
        case TStep::Filtered:
            swap(list_, next_);
            own_ = true;
            hasBits_ = step_ == TStep::ByBits;
            removed_ = 0;
            alive_ = list_.Count();
            break;
    }
    step_ = TStep::None;
    counted_ = failed_ = false;
}

int TStepList::DistinctNumbers(int limit) const {
    bool seen[256] = {};
    int n = 0;
    const TCombination* src = Base();
    for (int64_t i = 0; i < BaseCount() && n < limit; ++i) {
        if (!IsAlive(i)) continue;
        for (uint8_t x : src[i].n)
            if (!seen[x] && n < limit) {
                seen[x] = true;
                ++n;
            }
    }
    return n;
}

int64_t TStepList::Apply(TCombination* dst) const {
    const TCombination* src = Base();
    if (removed_ == 0) {
        std::copy(src, src + BaseCount(), dst);
        return BaseCount();
    }
    int64_t k = 0;
    for (int64_t i = 0; i < BaseCount(); ++i)
        if (IsAlive(i)) dst[k++] = src[i];
    return k;
}

void TStepList::Clear() {
    list_.Clear();
    next_.Clear();
    bits_ = {};
    src_ = nullptr;
    n_ = alive_ = 0;
    own_ = hasBits_ = counted_ = failed_ = false;
    removed_ = stepRemoved_ = 0;
    step_ = TStep::None;
}

}  // namespace tessara
