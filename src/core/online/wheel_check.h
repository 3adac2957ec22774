#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace tessara {

// How well a system (wheel) keeps its promise. For every m = 1..6 each
// m-subset of the n positions is scored by the largest number of its
// positions found together on one line; the guarantee is the smallest such
// score, and a "hole" at (m, t) is a subset that scores below t.
struct TWheelCheck {
    static constexpr int MaxM = 6;
    int Positions = 0;  // n
    int Lines = 0;
    // Subsets[m] = C(n, m); zero when m > n.
    std::array<uint64_t, MaxM + 1> Subsets{};
    // Scores[m][k] = how many m-subsets score exactly k (k = 0..m).
    std::array<std::array<uint64_t, MaxM + 1>, MaxM + 1> Scores{};
    // How many lines hold position p + 1.
    std::vector<uint32_t> PositionCounts;

    bool Has(int m) const { return m >= 1 && m <= MaxM && Subsets[static_cast<size_t>(m)] > 0; }
    // The smallest score of the m-subsets.
    int Guarantee(int m) const;
    // m-subsets scoring below t, and their share of C(n, m) (0..1).
    uint64_t Holes(int m, int t) const;
    double HoleShare(int m, int t) const;
};

// The check of a system given as lines of six 1-based positions over n
// positions. Throws Error when there is no line, n is outside 1..64, or a
// position lies outside 1..n. threads = 0 uses every core. A check whose
// stop flag is raised ends early with incomplete scores (a large system
// takes long, and an editor throws away the check of an old text).
TWheelCheck CheckWheel(const std::vector<std::array<int, 6>>& lines, int n, unsigned threads = 0,
                       const std::atomic<bool>* stop = nullptr);

// The same over a system's text (one line of positions per line, blank lines
// skipped). n = 0 takes the largest position used.
TWheelCheck CheckWheelText(const std::string& text, int n = 0, unsigned threads = 0);

// The number of numbers a system file's name promises ("6-10-3_0015.dat"
// gives 10); 0 when the name is not of that form.
int SystemFileNums(const std::string& path);

}  // namespace tessara
