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
    taken_ = counted_ = failed_ = selected_ = bits_ = nextBits_ = false;
    alive_.SetCount(0);
    next_.SetCount(0);
}

void TStepList::EnsureBits() {
    if (bits_) return;
    const TCombination* src = Source();
    aliveBits_.Reserve(std::max<int64_t>(Alive(), 1));
    uint64_t* bits = aliveBits_.Data.get();
    RunSlices(Alive(), [&](int, int64_t b, int64_t e) {
        if (e > b) stat_->CombBits(src + b, e - b, bits + b);
    });
    bits_ = true;
}

void TStepList::FilterByBits(uint64_t wanted, bool exclude) {
    const int64_t n = Alive();
    uint64_t* bits = aliveBits_.Data.get();
    // A step that would empty the list is undone by the loop: counted
    // first, it writes nothing.
    int64_t hits = 0;
    for (int64_t i = 0; i < n; ++i) hits += (bits[i] & wanted) != 0;
    if ((exclude ? n - hits : hits) == 0) {
        next_.SetCount(0);
        nextBits_ = false;
        return;
    }
    // Any other step is taken, so the bits of what it leaves take the place
    // of those of what is alive (the copy would cost as much memory again).
    next_.Reserve(std::max(n, next_.Capacity()), 0);
    const TCombination* src = Source();
    TCombination* dst = next_.Data();
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
            k += ((m & wanted) != 0) != exclude;
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
    bits_ = false;  // they are next_'s now
    nextBits_ = true;
}

void TStepList::Histogram() {
    if (counted_) return;
    if (bits_) {
        hist_ = {};
        const uint64_t* bits = aliveBits_.Data.get();
        for (int64_t i = 0; i < Alive(); ++i)
            for (uint64_t m = bits[i]; m; m &= m - 1) ++hist_[static_cast<size_t>(std::countr_zero(m))];
        counted_ = true;
        return;
    }
    const TCombination* src = Source();
    std::vector<std::array<int64_t, 64>> part(static_cast<size_t>(FilterThreads()), std::array<int64_t, 64>{});
    const int used = RunSlices(Alive(), [&](int t, int64_t b, int64_t e) {
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
    hist_ = {};
    for (int t = 0; t < used; ++t)
        for (size_t k = 0; k < 64; ++k) hist_[k] += part[static_cast<size_t>(t)][k];
    counted_ = true;
}

int64_t TStepList::Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude) {
    selected_ = false;
    uint64_t wanted = 0;
    const bool oneBit = stat_->HasValueBits() && stat_->RowBits(row, wanted) && std::popcount(wanted) <= 1;
    // After a step that would have emptied the list, the one-bit steps are
    // answered by the histogram of what is alive.
    if ((counted_ || failed_) && oneBit) {
        int64_t sharing = 0;
        if (wanted != 0) {
            Histogram();
            sharing = hist_[static_cast<size_t>(std::countr_zero(wanted))];
        }
        const int64_t left = exclude ? Alive() - sharing : sharing;
        if (left > 0) {
            // Taken at once by the loop: what it leaves is made now.
            EnsureBits();
            FilterByBits(wanted, exclude);
            selected_ = true;
            return next_.Count();
        }
        return left;
    }
    if (oneBit) {
        EnsureBits();
        FilterByBits(wanted, exclude);
    } else {
        next_.Reserve(std::max(Alive(), next_.Capacity()), 0);
        next_.SetCount(stat_->FilterCombs(Source(), Alive(), next_.Data(), {row}, refIndex, sorted, exclude));
        nextBits_ = false;
    }
    selected_ = true;
    failed_ = next_.Count() == 0;
    return next_.Count();
}

void TStepList::Take() {
    if (!selected_) return;
    swap(alive_, next_);
    bits_ = nextBits_;
    nextBits_ = false;
    taken_ = true;
    selected_ = counted_ = failed_ = false;
}

int TStepList::DistinctNumbers(int limit) const {
    bool seen[256] = {};
    int n = 0;
    const TCombination* src = Source();
    for (int64_t i = 0; i < Alive() && n < limit; ++i)
        for (uint8_t x : src[i].n)
            if (!seen[x] && n < limit) {
                seen[x] = true;
                ++n;
            }
    return n;
}

int64_t TStepList::Apply(TCombination* dst) const {
    std::copy(Source(), Source() + Alive(), dst);
    return Alive();
}

void TStepList::Clear() {
    alive_.Clear();
    next_.Clear();
    aliveBits_ = {};
    src_ = nullptr;
    n_ = 0;
    taken_ = counted_ = failed_ = selected_ = bits_ = nextBits_ = false;
}

}  // namespace tessara
