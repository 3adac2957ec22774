#include "scenario/code_counts.h"

#include <algorithm>
#include <bit>
#include <system_error>
#include <thread>

#include "stats/custom_stat.h"
#include "stats/parallel_filter.h"
#include "stats/value_columns.h"

namespace tessara {

namespace {

// Runs part(t, begin, end) over slices of n items on the filtering threads.
template <typename Part>
int RunSlices(int64_t n, Part part, int64_t minimum = TESSARA_FILTER_THREADS_MINIMUM) {
    const int threads = n < minimum ? 1 : FilterThreads();
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

// The numbers of a combination are 1..MaxNumber (lists are checked when
// they are read), counted in 64 places per code.
constexpr int kNumberPlaces = 64;

}  // namespace

void TCodeCounts::Fill(TColumn& c, const TCustomStat& stat, int method, const TValueColumns& columns) {
    const auto k = static_cast<size_t>(stat.CodeCount());
    const bool narrow = k <= 256;
    const auto n = static_cast<size_t>(c.Count);
    if (narrow) {
        c.Wide = {};
        if (c.Narrow.size() < n) c.Narrow.resize(n);
    } else {
        c.Narrow = {};
        if (c.Wide.size() < n) c.Wide.resize(n);
    }
    const int threads = FilterThreads();
    std::vector<std::vector<int64_t>> counts(static_cast<size_t>(threads), std::vector<int64_t>(k, 0));
    const TCombination* src = c.Data;
    const int used = RunSlices(c.Count, [&](int t, int64_t b, int64_t e) {
        int64_t* count = counts[static_cast<size_t>(t)].data();
        constexpr int64_t kBlock = 4096;
        uint16_t block[kBlock];
        for (int64_t i = b; i < e; i += kBlock) {
            const int64_t len = std::min(kBlock, e - i);
            uint16_t* codes = narrow ? block : c.Wide.data() + i;
            columns.Codes(method, stat, src + i, len, codes);
            for (int64_t j = 0; j < len; ++j) ++count[codes[j]];
            if (narrow)
                for (int64_t j = 0; j < len; ++j) c.Narrow[static_cast<size_t>(i + j)] = static_cast<uint8_t>(codes[j]);
        }
    });
    c.Counts.assign(k, 0);
    for (int t = 0; t < used; ++t)
        for (size_t v = 0; v < k; ++v) c.Counts[v] += counts[static_cast<size_t>(t)][v];
    counts.resize(static_cast<size_t>(used));
    c.SliceCounts = std::move(counts);
    c.Method = method;
    c.HasNumbers = false;
}

void TCodeCounts::FillNumbers(TColumn& c, int codes) {
    const size_t size = static_cast<size_t>(codes) * kNumberPlaces;
    const int threads = FilterThreads();
    std::vector<std::vector<int32_t>> parts(static_cast<size_t>(threads), std::vector<int32_t>(size, 0));
    const TCombination* src = c.Data;
    const int used = RunSlices(c.Count, [&](int t, int64_t b, int64_t e) {
        int32_t* n = parts[static_cast<size_t>(t)].data();
        for (int64_t i = b; i < e; ++i) {
            int32_t* row = n + static_cast<size_t>(c.Code(i)) * kNumberPlaces;
            for (uint8_t x : src[i].n) ++row[x & (kNumberPlaces - 1)];
        }
    });
    c.Numbers.assign(size, 0);
    for (int t = 0; t < used; ++t)
        for (size_t i = 0; i < size; ++i) c.Numbers[i] += parts[static_cast<size_t>(t)][i];
    c.HasNumbers = true;
}

TCodeCounts::TColumn& TCodeCounts::ColumnFor(const TCombination* data, int64_t count, const TCustomStat& stat,
                                             int method, const TValueColumns& columns, uint64_t key) {
    TColumn* slot = &own_;
    if (key != 0) {
        for (TColumn& c : kept_)
            if (c.Key == key && c.Method == method && c.Data == data && c.Count == count) {
                c.Used = ++clock_;
                return c;
            }
        slot = &kept_[0];
        for (TColumn& c : kept_)
            if (c.Used < slot->Used) slot = &c;
    }
    slot->Key = 0;
    slot->Data = data;
    slot->Count = count;
    Fill(*slot, stat, method, columns);
    slot->Key = key;
    slot->Used = ++clock_;
    return *slot;
}

void TCodeCounts::Count(const TCombList& list, const TCustomStat& stat, int method, const TValueColumns& columns,
                        bool numbers, const TStepSource& source) {
    const int k = stat.CodeCount();
    if (source.Key != 0 && FindRemovedFromParent(list.Data(), list.Count(), source, removed_)) {
        column_ = &ColumnFor(source.ParentData, source.ParentCount, stat, method, columns, source.ParentKey);
    } else {
        removed_.clear();
        column_ = &ColumnFor(list.Data(), list.Count(), stat, method, columns, source.Key);
    }
    if (numbers && !column_->HasNumbers) FillNumbers(*column_, k);
    // The counts of the list: those of the column less what it lacks.
    counts_ = column_->Counts;
    for (int64_t r : removed_) --counts_[column_->Code(r)];
    numbers_.assign(numbers ? static_cast<size_t>(k) : 0, TNumberMask{});
    if (!numbers) return;
    std::vector<int32_t> held = column_->Numbers;
    for (int64_t r : removed_) {
        int32_t* row = held.data() + static_cast<size_t>(column_->Code(r)) * kNumberPlaces;
        for (uint8_t x : column_->Data[r].n) --row[x & (kNumberPlaces - 1)];
    }
    for (size_t v = 0; v < static_cast<size_t>(k); ++v)
        for (int x = 0; x < kNumberPlaces; ++x)
            if (held[v * kNumberPlaces + static_cast<size_t>(x)] > 0)
                numbers_[v][static_cast<size_t>(x >> 6)] |= uint64_t{1} << (x & 63);
}

bool TCodeCounts::AliveInParent(const TAlive& alive, TStepSource& parent, std::vector<uint64_t>& bits) const {
    if (!column_ || column_->Key == 0) return false;
    const TColumn& c = *column_;
    parent = {0, c.Data, c.Count, c.Key, nullptr};
    const int64_t words = (c.Count + 63) / 64;
    bits.resize(static_cast<size_t>(words));
    const uint8_t* keep = alive.data();
    uint64_t* out = bits.data();
    // Word by word: the slices never share one.
    RunSlices(words, [&](int, int64_t b, int64_t e) {
        for (int64_t w = b; w < e; ++w) {
            const int64_t first = w * 64;
            const int len = static_cast<int>(std::min<int64_t>(64, c.Count - first));
            uint64_t word = 0;
            if (c.Narrow.empty())
                for (int j = 0; j < len; ++j) word |= uint64_t{keep[c.Wide[static_cast<size_t>(first + j)]]} << j;
            else
                for (int j = 0; j < len; ++j) word |= uint64_t{keep[c.Narrow[static_cast<size_t>(first + j)]]} << j;
            out[w] = word;
        }
    }, TESSARA_FILTER_THREADS_MINIMUM / 64);
    for (int64_t r : removed_) bits[static_cast<size_t>(r / 64)] &= ~(uint64_t{1} << (r % 64));
    return true;
}

int64_t TCodeCounts::Total(const TAlive& alive) const {
    int64_t total = 0;
    for (size_t v = 0; v < counts_.size(); ++v) total += alive[v] ? counts_[v] : 0;
    return total;
}

int TCodeCounts::DistinctNumbers(const TAlive& alive, int limit) const {
    TNumberMask all{};
    for (size_t v = 0; v < numbers_.size(); ++v)
        if (alive[v] && counts_[v] > 0)
            for (size_t w = 0; w < 4; ++w) all[w] |= numbers_[v][w];
    int n = 0;
    for (uint64_t w : all) n += std::popcount(w);
    return std::min(n, limit);
}

namespace {

// The combinations of src whose code is kept, less those at the positions
// removed (sorted), into dst in order.
// The combinations of one slice [b, e) of src whose code is kept, less
// those at the positions removed (sorted), into dst; expected: how many
// that is. few: few are kept, and a branch copies them; otherwise every
// combination is written to the next free place, which advances only for
// those kept, up to the last one expected (the place after it belongs to
// the next slice).
template <typename Code>
void ApplySlice(const TCombination* src, int64_t b, int64_t e, const Code* codes, const uint8_t* keep,
                const std::vector<int64_t>& removed, bool few, int64_t expected, TCombination* dst) {
    auto r = std::lower_bound(removed.begin(), removed.end(), b);
    int64_t kept = 0;
    for (int64_t i = b; i < e && kept < expected;) {
        const int64_t stop = r != removed.end() && *r < e ? *r : e;
        if (few) {
            for (; i < stop; ++i)
                if (keep[codes[i]]) dst[kept++] = src[i];
        }
        for (; i < stop && kept < expected; ++i) {
            dst[kept] = src[i];
            kept += keep[codes[i]];
        }
        if (i == stop && stop < e) {
            ++i;  // removed
            ++r;
        }
    }
}

}  // namespace

int64_t TCodeCounts::Apply(TCombination* dst, const TAlive& alive) {
    const TColumn& c = *column_;
    const uint8_t* keep = alive.data();
    // Where each slice's combinations go, from the counts of the slices.
    const int64_t slices = static_cast<int64_t>(c.SliceCounts.size());
    const int64_t size = slices > 0 ? (c.Count + slices - 1) / slices : 0;
    std::vector<int64_t> at(static_cast<size_t>(slices) + 1, 0);
    for (int64_t t = 0; t < slices; ++t) {
        int64_t kept = 0;
        const std::vector<int64_t>& counts = c.SliceCounts[static_cast<size_t>(t)];
        for (size_t v = 0; v < counts.size(); ++v) kept += keep[v] ? counts[v] : 0;
        at[static_cast<size_t>(t) + 1] = at[static_cast<size_t>(t)] + kept;
    }
    for (int64_t r : removed_)
        if (keep[c.Code(r)])
            for (int64_t t = r / std::max<int64_t>(size, 1) + 1; t <= slices; ++t) --at[static_cast<size_t>(t)];
    const int64_t total = at.back();
    const bool few = total * 8 < c.Count;
    RunSlices(c.Count, [&](int t, int64_t b, int64_t e) {
        const auto i = static_cast<size_t>(t);
        if (b >= e) return;
        TCombination* out = dst + at[i];
        const int64_t expected = at[i + 1] - at[i];
        if (c.Narrow.empty())
            ApplySlice(c.Data, b, e, c.Wide.data(), keep, removed_, few, expected, out);
        else
            ApplySlice(c.Data, b, e, c.Narrow.data(), keep, removed_, few, expected, out);
    });
    return total;
}

void TCodeCounts::Clear() {
    for (TColumn& c : kept_) c = TColumn{};
    own_ = TColumn{};
    column_ = nullptr;
    removed_ = {};
    counts_ = {};
    numbers_ = {};
}

}  // namespace tessara
