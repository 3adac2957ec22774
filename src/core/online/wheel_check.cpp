#include "online/wheel_check.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <filesystem>
#include <thread>

#include <fmt/format.h>

#include "model/error.h"
#include "model/files.h"
#include "online/system_files.h"

namespace tessara {

namespace {

using TScores = std::array<std::array<uint64_t, TWheelCheck::MaxM + 1>, TWheelCheck::MaxM + 1>;

uint64_t Binomial(int n, int k) {
    if (k < 0 || k > n) return 0;
    uint64_t r = 1;
    for (int i = 1; i <= k; ++i) r = r * static_cast<uint64_t>(n - k + i) / static_cast<uint64_t>(i);
    return r;
}

// Positions above `last` up to n - 1, as a mask.
uint64_t AboveMask(int last, int n) {
    const uint64_t upto = n >= 64 ? ~uint64_t{0} : (uint64_t{1} << n) - 1;
    const uint64_t through = last < 0 ? 0 : (last >= 63 ? ~uint64_t{0} : (uint64_t{1} << (last + 1)) - 1);
    return upto & ~through;
}

// Scores all the subsets one position longer than `prefix` (whose largest
// position is `last`, -1 when empty) and walks on into longer prefixes.
//
// With M the best count the lines reach on the prefix and U the union of the
// lines that reach it, adding a position f scores M + 1 exactly when f is in
// U, since no line can gain more than one. So the last position of a subset
// costs one popcount for all its values together, and the work is that of
// the prefixes: about C(n, 5) times the lines.
void Walk(const std::vector<uint64_t>& lines, int n, uint64_t prefix, int size, int last,
          TScores& scores, const std::atomic<bool>* stop) {
    if (last >= n - 1) return;  // nothing above the prefix to add
    if (stop && stop->load(std::memory_order_relaxed)) return;
    int best = 0;
    uint64_t reach = 0;
    for (const uint64_t line : lines) {
        const int c = std::popcount(line & prefix);
        if (c > best) {
            best = c;
            reach = line;
        } else if (c == best) {
            reach |= line;
        }
    }
    const uint64_t above = AboveMask(last, n);
    const uint64_t hits = static_cast<uint64_t>(std::popcount(reach & above));
    const uint64_t all = static_cast<uint64_t>(std::popcount(above));
    auto& row = scores[static_cast<size_t>(size + 1)];
    row[static_cast<size_t>(best + 1)] += hits;
    row[static_cast<size_t>(best)] += all - hits;
    if (size + 1 >= TWheelCheck::MaxM) return;
    for (int f = last + 1; f < n; ++f)
        Walk(lines, n, prefix | (uint64_t{1} << f), size + 1, f, scores, stop);
}

}  // namespace

int TWheelCheck::Guarantee(int m) const {
    if (!Has(m)) return 0;
    const auto& row = Scores[static_cast<size_t>(m)];
    for (int k = 0; k <= m; ++k)
        if (row[static_cast<size_t>(k)] > 0) return k;
    return m;
}

uint64_t TWheelCheck::Holes(int m, int t) const {
    if (!Has(m)) return 0;
    uint64_t sum = 0;
    for (int k = 0; k < std::min(t, m + 1); ++k) sum += Scores[static_cast<size_t>(m)][static_cast<size_t>(k)];
    return sum;
}

double TWheelCheck::HoleShare(int m, int t) const {
    if (!Has(m)) return 0;
    return static_cast<double>(Holes(m, t)) / static_cast<double>(Subsets[static_cast<size_t>(m)]);
}

TWheelCheck CheckWheel(const std::vector<std::array<int, 6>>& lines, int n, unsigned threads,
                       const std::atomic<bool>* stop) {
    if (lines.empty()) throw Error("Система не содержит комбинаций");
    if (n < 1 || n > 64) throw Error(fmt::format("Недопустимое количество чисел системы: {}", n));
    TWheelCheck result;
    result.Positions = n;
    result.Lines = static_cast<int>(lines.size());
    result.PositionCounts.assign(static_cast<size_t>(n), 0);
    std::vector<uint64_t> masks;
    masks.reserve(lines.size());
    for (const auto& line : lines) {
        uint64_t mask = 0;
        for (const int p : line) {
            if (p < 1 || p > n) throw Error(fmt::format("Позиция {} вне системы из {} чисел", p, n));
            mask |= uint64_t{1} << (p - 1);
        }
        // A position written twice on a line is still one position of it.
        for (int p = 0; p < n; ++p)
            if (mask >> p & 1) ++result.PositionCounts[static_cast<size_t>(p)];
        masks.push_back(mask);
    }
    for (int m = 1; m <= TWheelCheck::MaxM; ++m) result.Subsets[static_cast<size_t>(m)] = Binomial(n, m);

    // Single positions from the empty prefix here; the subtrees under each
    // first position are shared out among the threads, largest first.
    TScores total{};
    {
        uint64_t any = 0;
        for (const uint64_t mask : masks) any |= mask;
        const uint64_t hits = static_cast<uint64_t>(std::popcount(any));
        total[1][1] += hits;
        total[1][0] += static_cast<uint64_t>(n) - hits;
    }
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = std::min<unsigned>(threads, static_cast<unsigned>(n));
    std::atomic<int> next{0};
    std::vector<TScores> partial(threads, TScores{});
    auto work = [&](unsigned index) {
        for (int first = next++; first < n; first = next++)
            Walk(masks, n, uint64_t{1} << first, 1, first, partial[index], stop);
    };
    if (threads == 1) {
        work(0);
    } else {
        std::vector<std::thread> pool;
        pool.reserve(threads);
        for (unsigned i = 0; i < threads; ++i) pool.emplace_back(work, i);
        for (auto& t : pool) t.join();
    }
    for (const TScores& s : partial)
        for (size_t m = 0; m < s.size(); ++m)
            for (size_t k = 0; k < s[m].size(); ++k) total[m][k] += s[m][k];
    result.Scores = total;
    return result;
}

TWheelCheck CheckWheelText(const std::string& text, int n, unsigned threads) {
    std::vector<std::array<int, 6>> lines;
    int largest = 0;
    for (const std::string& raw : SplitLines(text)) {
        if (raw.find_first_not_of(" \t") == std::string::npos) continue;
        const std::array<int, 6> p = ParseSystemLine(raw);
        for (const int v : p) {
            if (v < 1) throw Error(fmt::format("Позиция {} вне системы", v));
            largest = std::max(largest, v);
        }
        lines.push_back(p);
    }
    return CheckWheel(lines, n > 0 ? n : largest, threads);
}

int SystemFileNums(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    // "6-" two digits "-" ... "_" ... ".dat"
    if (name.size() < 10 || name.compare(0, 2, "6-") != 0 || name[4] != '-') return 0;
    if (name.compare(name.size() - 4, 4, ".dat") != 0 || name.find('_', 5) == std::string::npos) return 0;
    if (name[2] < '0' || name[2] > '9' || name[3] < '0' || name[3] > '9') return 0;
    return (name[2] - '0') * 10 + (name[3] - '0');
}

}  // namespace tessara
