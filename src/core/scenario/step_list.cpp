#include "scenario/step_list.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <system_error>
#include <thread>

#include "stats/families/differences.h"
#include "stats/parallel_filter.h"

namespace tessara {

namespace {

// Runs part(begin, end) over slices of n items on the filtering threads,
// each slice a multiple of unit items.
template <typename Part>
void RunSlices(int64_t n, int64_t unit, int64_t minimum, Part part) {
    const int threads = n < minimum ? 1 : FilterThreads();
    const int64_t size = ((n + threads - 1) / threads + unit - 1) / unit * unit;
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t) {
        const int64_t b = std::min(n, t * size), e = std::min(n, b + size);
        if (b >= e) break;
        try {
            pool.emplace_back(part, b, e);
        } catch (const std::system_error&) {
            part(b, e);
        }
    }
    part(0, std::min(n, size));
    for (std::thread& th : pool) th.join();
}

bool SameComb(const TCombination& a, const TCombination& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

void TStepList::TPlanes::Drop() {
    Bits.reset();
    Capacity = 0;
    Key = Used = 0;
    Kind = TValueBits::None;
    Data = nullptr;
    Count = Words = 0;
}

namespace {

// One round of turning 64 words of 64 bits about: the off-diagonal blocks
// of width J swap.
template <int J>
inline void TransposeRound(uint64_t* a, uint64_t m) {
    for (int k = 0; k < 64; k += 2 * J)
        for (int i = k; i < k + J; ++i) {
            const uint64_t t = ((a[i] >> J) ^ a[i + J]) & m;
            a[i] ^= t << J;
            a[i + J] ^= t;
        }
}

// Turns 64 words of 64 bits about: bit j of word b becomes bit b of word j.
void Transpose64(uint64_t a[64]) {
    TransposeRound<32>(a, 0x00000000FFFFFFFFull);
    TransposeRound<16>(a, 0x0000FFFF0000FFFFull);
    TransposeRound<8>(a, 0x00FF00FF00FF00FFull);
    TransposeRound<4>(a, 0x0F0F0F0F0F0F0F0Full);
    TransposeRound<2>(a, 0x3333333333333333ull);
    TransposeRound<1>(a, 0x5555555555555555ull);
}

// The planes of bits low..high of n combinations, a word of every plane
// for each 64 combinations; values(c, v) gives the K values of c (the bits
// set) into v. False when a value lies beyond the bits.
template <int K, typename Values>
bool FillPlanes(uint64_t* bits, int64_t stride, const TCombination* src, int64_t n, int low, int high,
                Values values) {
    std::atomic<bool> beyond{false};
    const unsigned span = static_cast<unsigned>(high - low);
    RunSlices(stride, 1, TESSARA_FILTER_THREADS_MINIMUM / 64, [&](int64_t b, int64_t e) {
        uint64_t word[64];
        bool outside = false;
        for (int64_t w = b; w < e; ++w) {
            const int64_t first = w * 64;
            const int len = static_cast<int>(std::min<int64_t>(64, n - first));
            // The bits of each combination, then turned into a word per bit.
            for (int j = 0; j < len; ++j) {
                uint8_t v[K];
                values(src[first + j], v);
                uint64_t m = 0;
                for (int i = 0; i < K; ++i) {
                    outside |= static_cast<unsigned>(v[i] - low) > span;
                    m |= uint64_t{1} << (v[i] & 63);
                }
                word[j] = m;
            }
            std::fill(word + len, word + 64, 0);
            Transpose64(word);
            for (int x = low; x <= high; ++x) bits[(x - low) * stride + w] = word[x];
        }
        if (outside) beyond = true;
    });
    return !beyond;
}

}  // namespace

bool TStepList::Build(TPlanes& p, const TCombination* src, int64_t n) {
    // The planes of bits low..high, in order.
    const int low = 1, high = p.Kind == TValueBits::Numbers ? MaxNumber : MaxNumber - 1;
    p.Index.fill(-1);
    for (int b = low; b <= high; ++b) p.Index[static_cast<size_t>(b)] = static_cast<int8_t>(b - low);
    p.Words = (n + 63) / 64;
    const int64_t words = std::max<int64_t>((high - low + 1) * p.Words, 1);
    if (words > p.Capacity) {
        p.Bits.reset();
        p.Bits.reset(new uint64_t[static_cast<size_t>(words)]);
        p.Capacity = words;
    }
    bool ok = false;
    if (p.Kind == TValueBits::Numbers) {
        ok = FillPlanes<BallsInDraw>(p.Bits.get(), p.Words, src, n, low, high,
                                     [](const TCombination& c, uint8_t* v) { std::memcpy(v, c.n, BallsInDraw); });
    } else if (p.Kind == TValueBits::Differences) {
        ok = FillPlanes<DiffsInDraw>(p.Bits.get(), p.Words, src, n, low, high,
                                     [](const TCombination& c, uint8_t* v) { NeighbourDiffs(c.n, v); });
    }
    p.Data = src;
    p.Count = n;
    return ok;
}

TStepList::TPlanes* TStepList::PlanesFor(const TCombination* data, int64_t count, TCustomStat& stat, uint64_t key) {
    const TValueBits kind = stat.ValueBitsKind();
    const auto matches = [&](const TPlanes& p) {
        return p.Key == key && p.Kind == kind && p.Data == data && p.Count == count;
    };
    TPlanes* slot = &kept_[2];
    if (key != 0) {
        for (size_t i = 0; i < 2; ++i)
            if (matches(kept_[i])) {
                kept_[i].Used = ++clock_;
                return &kept_[i];
            }
        slot = kept_[0].Used <= kept_[1].Used ? &kept_[0] : &kept_[1];
    }
    slot->Key = 0;
    slot->Kind = kind;
    if (!Build(*slot, data, count)) {
        slot->Kind = TValueBits::None;
        return nullptr;
    }
    slot->Key = key;
    slot->Used = ++clock_;
    return slot;
}

void TStepList::SetAllAlive() {
    const int64_t words = planes_->Words;
    aliveBits_.assign(static_cast<size_t>(words), ~uint64_t{0});
    if (n_ % 64 != 0) aliveBits_.back() = (uint64_t{1} << (n_ % 64)) - 1;
    nextBits_.resize(static_cast<size_t>(words));
    lo_ = 0;
    hi_ = words;
}

bool FindRemovedFromParent(const TCombination* sub, int64_t m, const TStepSource& source,
                           std::vector<int64_t>& removed) {
    const TCombination* parent = source.ParentData;
    const int64_t n = source.ParentCount;
    constexpr int64_t kMostRemoved = 4096;
    removed.clear();
    if (!parent || source.ParentKey == 0 || m > n || n - m > kMostRemoved) return false;
    int64_t from = 0;
    while (static_cast<int64_t>(removed.size()) < n - m) {
        const int64_t h = static_cast<int64_t>(removed.size());
        int64_t lo = from, hi = m;  // the first i in [from, m) where sub[i] != parent[i + h]
        while (lo < hi) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (SameComb(sub[mid], parent[mid + h]))
                lo = mid + 1;
            else
                hi = mid;
        }
        removed.push_back(lo + h);
        from = lo;
    }
    // The last combination kept is the list's last.
    int64_t last = n - 1;
    for (auto r = removed.rbegin(); r != removed.rend() && *r == last; ++r) --last;
    if (m > 0 && !SameComb(sub[m - 1], parent[last])) {
        removed.clear();
        return false;
    }
    return true;
}

bool TStepList::StartWithin(const TCombList& list, TCustomStat& stat, const TStepSource& source) {
    std::vector<int64_t> removed;
    if (!FindRemovedFromParent(list.Data(), list.Count(), source, removed)) return false;
    planes_ = PlanesFor(source.ParentData, source.ParentCount, stat, source.ParentKey);
    if (!planes_) return false;
    src_ = source.ParentData;
    n_ = source.ParentCount;
    SetAllAlive();
    for (int64_t i : removed) aliveBits_[static_cast<size_t>(i / 64)] &= ~(uint64_t{1} << (i % 64));
    return true;
}

void TStepList::SetBounds() {
    lo_ = 0;
    hi_ = static_cast<int64_t>(aliveBits_.size());
    while (lo_ < hi_ && aliveBits_[static_cast<size_t>(lo_)] == 0) ++lo_;
    while (hi_ > lo_ && aliveBits_[static_cast<size_t>(hi_ - 1)] == 0) --hi_;
}

bool TStepList::AliveInParent(TStepSource& parent, std::vector<uint64_t>& bits) const {
    if (!planes_ || planes_->Key == 0) return false;
    parent = {0, src_, n_, planes_->Key, nullptr};
    // Only the words [lo_, hi_) are kept up to date.
    bits.assign(aliveBits_.size(), 0);
    std::copy(aliveBits_.begin() + lo_, aliveBits_.begin() + hi_, bits.begin() + lo_);
    return true;
}

void TStepList::Start(const TCombList& list, TCustomStat& stat, const TStepSource& source) {
    stat_ = &stat;
    src_ = list.Data();
    n_ = list.Count();
    alive_ = n_;
    own_ = false;
    step_ = TStep::None;
    stepLeft_ = 0;
    list_.SetCount(0);
    next_.SetCount(0);
    planes_ = nullptr;
    if (!stat.HasValueBits()) return;
    if (source.Alive && source.ParentKey != 0 &&
        static_cast<int64_t>(source.Alive->size()) == (source.ParentCount + 63) / 64) {
        planes_ = PlanesFor(source.ParentData, source.ParentCount, stat, source.ParentKey);
        if (planes_) {
            src_ = source.ParentData;
            n_ = source.ParentCount;
            aliveBits_ = *source.Alive;
            nextBits_.resize(aliveBits_.size());
            SetBounds();
            return;
        }
    }
    if (source.Key != 0 && StartWithin(list, stat, source)) return;
    src_ = list.Data();
    n_ = list.Count();
    planes_ = PlanesFor(list.Data(), list.Count(), stat, source.Key);
    if (planes_) SetAllAlive();
}

int64_t TStepList::StepByBits(uint64_t wanted, bool exclude) {
    const uint64_t* alive = aliveBits_.data();
    uint64_t* next = nextBits_.data();
    int planes[64];
    int k = 0;
    for (uint64_t m = wanted; m; m &= m - 1) {
        const int bit = std::countr_zero(m);
        if (planes_->Index[static_cast<size_t>(bit)] >= 0) planes[k++] = bit;
    }
    const uint64_t flip = exclude ? ~uint64_t{0} : 0;
    int64_t left = 0;
    int64_t lo = hi_, hi = lo_;
    for (int64_t w = lo_; w < hi_; ++w) {
        uint64_t any = 0;
        for (int j = 0; j < k; ++j) any |= planes_->Plane(planes[j])[w];
        const uint64_t v = alive[w] & (any ^ flip);
        next[w] = v;
        if (v) {
            left += std::popcount(v);
            lo = std::min(lo, w);
            hi = w + 1;
        }
    }
    nextLo_ = lo;
    nextHi_ = std::max(lo, hi);
    return left;
}

int64_t TStepList::Gather(TCombination* dst) const {
    // expected: how many the words [b, e) hold.
    const auto gather = [&](int64_t b, int64_t e, TCombination* out, int64_t expected) {
        int64_t k = 0;
        for (int64_t w = b; w < e; ++w) {
            const uint64_t m = aliveBits_[static_cast<size_t>(w)];
            const int c = std::popcount(m);
            if (c >= 16 && k + c < expected) {
                // A dense word with more alive after it (so not the last
                // word of the list): each of its 64 is written to the next
                // free place, which advances for those alive; the next one
                // alive goes over the one written past them.
                const TCombination* s = src_ + w * 64;
                for (int j = 0; j < 64; ++j) {
                    out[k] = s[j];
                    k += static_cast<int64_t>(m >> j & 1);
                }
                continue;
            }
            for (uint64_t r = m; r; r &= r - 1) out[k++] = src_[w * 64 + std::countr_zero(r)];
        }
        return k;
    };
    if (alive_ < TESSARA_FILTER_THREADS_MINIMUM || FilterThreads() < 2) return gather(lo_, hi_, dst, alive_);
    // Halves of about as many combinations each, the second written from
    // where the first ends.
    int64_t mid = lo_, before = 0;
    while (mid < hi_ && before * 2 < alive_) before += std::popcount(aliveBits_[static_cast<size_t>(mid++)]);
    int64_t second = 0;
    std::thread other;
    try {
        other = std::thread([&] { second = gather(mid, hi_, dst + before, alive_ - before); });
    } catch (const std::system_error&) {
        second = gather(mid, hi_, dst + before, alive_ - before);
    }
    const int64_t first = gather(lo_, mid, dst, before);
    if (other.joinable()) other.join();
    return first + second;
}

int64_t TStepList::StepByFilter(const TStatDrawArray& rows, int refIndex, bool sorted, bool exclude) {
    // What is alive is filtered as a list, and the bits of what it keeps
    // follow: the filtering keeps the order, so the combinations kept are
    // met again in it one after another.
    list_.Reserve(std::max(alive_, list_.Capacity()), 0);
    next_.Reserve(std::max(alive_, next_.Capacity()), 0);
    const int64_t n = Gather(list_.Data());
    const int64_t kept = stat_->FilterCombs(list_.Data(), n, next_.Data(), rows, refIndex, sorted, exclude);
    const TCombination* keptData = next_.Data();
    uint64_t* next = nextBits_.data();
    int64_t k = 0;
    int64_t lo = hi_, hi = lo_;
    for (int64_t w = lo_; w < hi_; ++w) {
        uint64_t v = 0;
        for (uint64_t m = aliveBits_[static_cast<size_t>(w)]; m && k < kept; m &= m - 1) {
            const int j = std::countr_zero(m);
            if (SameComb(src_[w * 64 + j], keptData[k])) {
                v |= uint64_t{1} << j;
                ++k;
            }
        }
        next[w] = v;
        if (v) {
            lo = std::min(lo, w);
            hi = w + 1;
        }
    }
    nextLo_ = lo;
    nextHi_ = std::max(lo, hi);
    return kept;
}

int64_t TStepList::Left(const TStatDraw& row, int refIndex, bool sorted, bool exclude) {
    return Left(TStatDrawArray{row}, refIndex, sorted, exclude);
}

int64_t TStepList::Left(const TStatDrawArray& rows, int refIndex, bool sorted, bool exclude) {
    step_ = TStep::None;
    if (planes_) {
        uint64_t wanted = 0;
        bool byBits = true;
        for (const TStatDraw& row : rows) {
            uint64_t bits = 0;
            byBits = byBits && stat_->RowBits(row, bits);
            wanted |= bits;
        }
        stepLeft_ = byBits ? StepByBits(wanted, exclude) : StepByFilter(rows, refIndex, sorted, exclude);
        step_ = TStep::Bitmap;
        return stepLeft_;
    }
    next_.Reserve(std::max(BaseCount(), next_.Capacity()), 0);
    next_.SetCount(stat_->FilterCombs(Base(), BaseCount(), next_.Data(), rows, refIndex, sorted, exclude));
    step_ = TStep::Filtered;
    stepLeft_ = next_.Count();
    return stepLeft_;
}

void TStepList::Take() {
    switch (step_) {
        case TStep::None:
            return;
        case TStep::Bitmap:
            aliveBits_.swap(nextBits_);
            lo_ = nextLo_;
            hi_ = nextHi_;
            break;
        case TStep::Filtered:
            swap(list_, next_);
            own_ = true;
            break;
    }
    alive_ = stepLeft_;
    step_ = TStep::None;
}

int TStepList::DistinctNumbers(int limit) const {
    if (planes_ && planes_->Kind == TValueBits::Numbers) {
        // A number is there when its plane meets what is alive.
        int n = 0;
        for (int x = 1; x <= MaxNumber && n < limit; ++x) {
            const uint64_t* plane = planes_->Plane(x);
            for (int64_t w = lo_; w < hi_; ++w)
                if (plane[w] & aliveBits_[static_cast<size_t>(w)]) {
                    ++n;
                    break;
                }
        }
        return n;
    }
    bool seen[256] = {};
    int n = 0;
    const auto see = [&](const TCombination& c) {
        for (uint8_t x : c.n)
            if (!seen[x] && n < limit) {
                seen[x] = true;
                ++n;
            }
    };
    if (planes_) {
        for (int64_t w = lo_; w < hi_ && n < limit; ++w)
            for (uint64_t m = aliveBits_[static_cast<size_t>(w)]; m && n < limit; m &= m - 1)
                see(src_[w * 64 + std::countr_zero(m)]);
        return n;
    }
    const TCombination* src = Base();
    for (int64_t i = 0; i < BaseCount() && n < limit; ++i) see(src[i]);
    return n;
}

int64_t TStepList::Apply(TCombination* dst) const {
    if (planes_) {
        if (alive_ == n_) {
            std::copy(src_, src_ + n_, dst);
            return n_;
        }
        return Gather(dst);
    }
    const TCombination* src = Base();
    std::copy(src, src + BaseCount(), dst);
    return BaseCount();
}

void TStepList::Clear() {
    list_.Clear();
    next_.Clear();
    for (TPlanes& p : kept_) p.Drop();
    aliveBits_ = {};
    nextBits_ = {};
    planes_ = nullptr;
    stat_ = nullptr;
    src_ = nullptr;
    n_ = alive_ = 0;
    own_ = false;
    step_ = TStep::None;
}

}  // namespace tessara
