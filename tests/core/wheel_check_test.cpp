#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "model/error.h"
#include "online/wheel_check.h"

namespace tessara {
namespace {

using TLines = std::vector<std::array<int, 6>>;

// Every six of n positions, in order.
TLines FullWheel(int n) {
    TLines lines;
    for (uint32_t mask = 0; mask < (1u << n); ++mask) {
        if (std::popcount(mask) != 6) continue;
        std::array<int, 6> line{};
        size_t k = 0;
        for (int p = 0; p < n; ++p)
            if (mask >> p & 1) line[k++] = p + 1;
        lines.push_back(line);
    }
    return lines;
}

TEST(WheelCheck, FullWheelGuaranteesEverySubset) {
    const TWheelCheck c = CheckWheel(FullWheel(9), 9);
    EXPECT_EQ(c.Lines, 84);
    for (int m = 1; m <= 6; ++m) {
        EXPECT_EQ(c.Guarantee(m), m) << m;
        EXPECT_EQ(c.Holes(m, m), 0u) << m;
        EXPECT_EQ(c.Scores[m][m], c.Subsets[m]) << m;
    }
    // Each position lies on C(8, 5) of the lines.
    EXPECT_EQ(c.PositionCounts, std::vector<uint32_t>(9, 56));
}

TEST(WheelCheck, SingleLineGuaranteesNothingBeyondItsOwnPositions) {
    const TWheelCheck c = CheckWheel({{1, 2, 3, 4, 5, 6}}, 12);
    for (int m = 1; m <= 6; ++m) EXPECT_EQ(c.Guarantee(m), 0) << m;
    EXPECT_EQ(c.Scores[6][6], 1u);  // the line itself
    EXPECT_EQ(c.Holes(6, 6), c.Subsets[6] - 1);
    EXPECT_EQ(c.Scores[1][1], 6u);
    EXPECT_EQ(c.Holes(1, 1), 6u);
    EXPECT_DOUBLE_EQ(c.HoleShare(1, 1), 0.5);
    // Over eight positions any six keep at least four of the line's.
    const TWheelCheck narrow = CheckWheel({{1, 2, 3, 4, 5, 6}}, 8);
    EXPECT_EQ(narrow.Guarantee(6), 4);
    EXPECT_EQ(narrow.Guarantee(2), 0);
    EXPECT_EQ(narrow.PositionCounts, (std::vector<uint32_t>{1, 1, 1, 1, 1, 1, 0, 0}));
}

TEST(WheelCheck, FullWheelWithoutOneLineHasOneHoleAtSix) {
    TLines lines = FullWheel(10);
    lines.erase(lines.begin() + 37);
    const TWheelCheck c = CheckWheel(lines, 10);
    EXPECT_EQ(c.Guarantee(6), 5);
    EXPECT_EQ(c.Holes(6, 6), 1u);
    EXPECT_EQ(c.Holes(6, 5), 0u);
    EXPECT_NEAR(c.HoleShare(6, 6), 1.0 / 210, 1e-12);
    for (int m = 1; m <= 5; ++m) EXPECT_EQ(c.Guarantee(m), m) << m;
}

// The scores against a plain count over every subset, on random systems with
// one and with several threads.
TEST(WheelCheck, MatchesPlainCountOnRandomSystems) {
    std::mt19937 rng(7);
    for (const int n : {7, 11, 14}) {
        for (const int count : {1, 5, 23}) {
            TLines lines;
            std::vector<uint32_t> masks;
            for (int i = 0; i < count; ++i) {
                std::array<int, 6> line{};
                uint32_t mask = 0;
                for (auto& p : line) {
                    p = static_cast<int>(rng() % static_cast<unsigned>(n)) + 1;  // repeats allowed
                    mask |= 1u << (p - 1);
                }
                lines.push_back(line);
                masks.push_back(mask);
            }
            std::array<std::array<uint64_t, 7>, 7> expected{};
            for (uint32_t s = 1; s < (1u << n); ++s) {
                const int m = std::popcount(s);
                if (m > 6) continue;
                int best = 0;
                for (const uint32_t l : masks) best = std::max(best, std::popcount(l & s));
                ++expected[m][best];
            }
            for (const unsigned threads : {1u, 3u}) {
                const TWheelCheck c = CheckWheel(lines, n, threads);
                for (int m = 1; m <= 6; ++m)
                    EXPECT_EQ(c.Scores[m], expected[m]) << "n=" << n << " lines=" << count << " m=" << m;
            }
        }
    }
}

TEST(WheelCheck, TextAndRefusals) {
    // Any separator; the largest position gives n unless n is given.
    const TWheelCheck c = CheckWheelText("1,2,3,4,5,6\r\n\r\n02-03-04-05-06-07\r\n", 0, 1);
    EXPECT_EQ(c.Positions, 7);
    EXPECT_EQ(c.Lines, 2);
    EXPECT_EQ(CheckWheelText("1 2 3 4 5 6\n", 10).Positions, 10);
    EXPECT_THROW(CheckWheelText("1 2 3 4 5 6\n", 5), Error);   // position beyond n
    EXPECT_THROW(CheckWheelText("0 1 2 3 4 5\n"), Error);      // positions start at 1
    EXPECT_THROW(CheckWheelText("1 2 3 4 5\n"), Error);        // five positions
    EXPECT_THROW(CheckWheelText("1 2 3 x 5 6\n"), Error);
    EXPECT_THROW(CheckWheelText("\r\n"), Error);                // no line
    EXPECT_EQ(SystemFileNums("/d/Systems/6-10-3_0015.dat"), 10);
    EXPECT_EQ(SystemFileNums("wheel.txt"), 0);
}

}  // namespace
}  // namespace tessara
