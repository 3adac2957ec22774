#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <thread>
#include <vector>

#include "model/records.h"

// Lists shorter than this stay on one thread; a build may set it lower to
// put every filter through the threaded path (the thread-sanitizer check).
#ifndef TESSARA_FILTER_THREADS_MINIMUM
#define TESSARA_FILTER_THREADS_MINIMUM (1 << 20)
#endif

namespace tessara {

// The branch-free filtering loop over a predicate that a family inlines:
// every combination is copied to the next free place, and the place advances
// only for the ones kept (dst may equal src).
template <typename Pred>
int64_t FilterWith(const TCombination* src, int64_t n, TCombination* dst, bool exclude, Pred pred) {
    int64_t kept = 0;
    for (int64_t i = 0; i < n; ++i) {
        const TCombination c = src[i];
        dst[kept] = c;
        kept += pred(c) != exclude;
    }
    return kept;
}

// Threads a filtering may use: the processor's, at most eight.
inline int FilterThreads() {
    static const int threads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 8u));
    return threads;
}

// A filtering of a long list shared out among threads: slice(src, n, dst)
// filters one slice into its own place and returns how many it kept, and
// the results are then moved together, so the order is kept (dst may equal
// src). The slices run concurrently: slice must only read shared data.
// Short lists stay on this thread.
template <typename Slice>
int64_t FilterSlicesWithThreads(const TCombination* src, int64_t n, TCombination* dst, Slice slice,
                                int64_t minimum = TESSARA_FILTER_THREADS_MINIMUM,
                                int threads = FilterThreads()) {
    if (threads < 2 || n < minimum) return slice(src, n, dst);
    const int64_t size = (n + threads - 1) / threads;
    std::vector<int64_t> kept(static_cast<size_t>(threads), 0);
    auto run = [&](int t) {
        const int64_t start = t * size;
        if (start >= n) return;
        kept[static_cast<size_t>(t)] = slice(src + start, std::min(size, n - start), dst + start);
    };
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(threads));
    for (int t = 1; t < threads; ++t) {
        try {
            pool.emplace_back(run, t);
        } catch (const std::system_error&) {
            run(t);  // no thread to be had: this one does the slice
        }
    }
    run(0);
    for (std::thread& th : pool) th.join();
    int64_t total = kept[0];
    for (int t = 1; t < threads; ++t) {
        const int64_t k = kept[static_cast<size_t>(t)];
        if (k > 0 && total != t * size)
            std::memmove(dst + total, dst + t * size, static_cast<size_t>(k) * sizeof(TCombination));
        total += k;
    }
    return total;
}

// FilterWith over slices of a long list at once; the predicate runs
// concurrently and must only read.
template <typename Pred>
int64_t FilterWithThreads(const TCombination* src, int64_t n, TCombination* dst, bool exclude, Pred pred,
                          int64_t minimum = TESSARA_FILTER_THREADS_MINIMUM,
                          int threads = FilterThreads()) {
    return FilterSlicesWithThreads(
        src, n, dst,
        [&](const TCombination* s, int64_t len, TCombination* d) { return FilterWith(s, len, d, exclude, pred); },
        minimum, threads);
}

}  // namespace tessara
