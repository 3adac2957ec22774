#include "scenario/code_counts.h"

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

void TCodeCounts::Count(const TCombList& list, const TCustomStat& stat, int method,
                        const TValueColumns& columns, bool numbers) {
    n_ = list.Count();
    const auto k = static_cast<size_t>(stat.CodeCount());
    if (codes_.size() < static_cast<size_t>(n_)) codes_.resize(static_cast<size_t>(n_));
    const int threads = FilterThreads();
    std::vector<std::vector<int64_t>> counts(static_cast<size_t>(threads), std::vector<int64_t>(k, 0));
    std::vector<std::vector<TNumberMask>> masks(static_cast<size_t>(numbers ? threads : 0),
                                                std::vector<TNumberMask>(k, TNumberMask{}));
    const TCombination* src = list.Data();
    uint16_t* codes = codes_.data();
    const int used = RunSlices(n_, [&](int t, int64_t b, int64_t e) {
        if (b >= e) return;
        columns.Codes(method, stat, src + b, e - b, codes + b);
        int64_t* c = counts[static_cast<size_t>(t)].data();
        for (int64_t i = b; i < e; ++i) ++c[codes[i]];
        if (numbers) {
            TNumberMask* m = masks[static_cast<size_t>(t)].data();
            for (int64_t i = b; i < e; ++i)
                for (uint8_t x : src[i].n) m[codes[i]][x >> 6] |= uint64_t{1} << (x & 63);
        }
    });
    counts_.assign(k, 0);
    numbers_.assign(numbers ? k : 0, TNumberMask{});
    for (int t = 0; t < used; ++t)
        for (size_t v = 0; v < k; ++v) {
            counts_[v] += counts[static_cast<size_t>(t)][v];
            if (numbers)
                for (size_t w = 0; w < 4; ++w) numbers_[v][w] |= masks[static_cast<size_t>(t)][v][w];
        }
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

int64_t TCodeCounts::Apply(const TCombination* src, TCombination* dst, const TAlive& alive) const {
    const uint16_t* codes = codes_.data();
    const uint8_t* a = alive.data();
    return FilterSlicesWithThreads(src, n_, dst, [&](const TCombination* s, int64_t len, TCombination* d) {
        const uint16_t* c = codes + (s - src);
        int64_t kept = 0;
        for (int64_t i = 0; i < len; ++i) {
            d[kept] = s[i];
            kept += a[c[i]];
        }
        return kept;
    });
}

}  // namespace tessara
