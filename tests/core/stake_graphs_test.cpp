#include <gtest/gtest.h>

#include <functional>

#include "model/error.h"
#include "stakes/stake_graphs.h"
#include "stakes_test_support.h"

namespace tessara::test {
namespace {

std::vector<std::pair<double, double>> Points(const TGraphSeries& s) {
    std::vector<std::pair<double, double>> out;
    for (const TGraphPoint& p : s.Points) out.emplace_back(p.X, p.Y);
    return out;
}

using P = std::vector<std::pair<double, double>>;

std::string ErrorOf(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

TEST(StakeGraphs, ProfitPerDrawWithAverageAndRunningTotal) {
    StakesWorkspace s;
    s.Append(CheckedStake(813, "a", 0, -5 * MoneyScale));
    s.Append(MakeSeparatorStake());
    s.Append(CheckedStake(814, "a", 0, -5 * MoneyScale));
    s.Append(CheckedStake(813, "b", 3, 20 * MoneyScale));
    TStakeRecord unchecked = Stake(815, {1, 2, 3, 4, 5, 6});
    unchecked.Profit = -5 * MoneyScale;  // its cost until checked
    s.Append(unchecked);

    const TStakeGraph g = StakesDrawsGraph(s.ws->StakesFile());
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].Title, SeriesDrawProfit);
    EXPECT_EQ(g[0].Color, 0x008000);
    EXPECT_EQ(Points(g[0]), (P{{813, 15}, {814, -5}, {815, -5}}));
    EXPECT_EQ(Points(g[1]), (P{{813, 5.0 / 3}, {814, 5.0 / 3}, {815, 5.0 / 3}}));
    EXPECT_FALSE(g[1].ShowPoints || g[1].ShowMarks);
    EXPECT_EQ(Points(g[2]), (P{{813, 15}, {814, 10}, {815, 5}}));
    EXPECT_EQ(g[2].Color, 0xFF0000);
    EXPECT_EQ(g[0].Points[0].Label, "813");
}

TEST(StakeGraphs, TheExampleOfTwoDraws) {
    StakesWorkspace s;
    s.Append(CheckedStake(813, "a", 0, -5 * MoneyScale));
    s.Append(CheckedStake(813, "b", 3, 20 * MoneyScale));
    s.Append(CheckedStake(814, "a", 0, -5 * MoneyScale));
    const TStakeGraph g = StakesDrawsGraph(s.ws->StakesFile());
    EXPECT_EQ(Points(g[0]), (P{{813, 15}, {814, -5}}));
    EXPECT_EQ(Points(g[1]), (P{{813, 5}, {814, 5}}));
    EXPECT_EQ(Points(g[2]), (P{{813, 15}, {814, 10}}));
}

TEST(StakeGraphs, TooFewDrawsFail) {
    StakesWorkspace s;
    EXPECT_EQ(ErrorOf([&] { StakesDrawsGraph(s.ws->StakesFile()); }), MsgGraphNeedsDraws);
    s.Append(MakeSeparatorStake());
    s.Append(MakeSeparatorStake());
    EXPECT_EQ(ErrorOf([&] { StakesDrawsGraph(s.ws->StakesFile()); }), MsgGraphNeedsDraws);

    // Checked stakes on one draw only.
    s.Append(CheckedStake(813, "a", 2, 0));
    s.Append(CheckedStake(813, "a", 3, 0));
    for (bool profits : {false, true})
        EXPECT_EQ(ErrorOf([&] { StakesMatchesGraph(s.ws->StakesFile(), {"a"}, profits); }),
                  MsgGraphNeedsDraws);
    // No names.
    s.Append(CheckedStake(814, "a", 3, 0));
    EXPECT_EQ(ErrorOf([&] { StakesMatchesGraph(s.ws->StakesFile(), {}, false); }),
              MsgGraphNeedsDraws);
    EXPECT_EQ(ErrorOf([&] { StakesMatchesGraph(s.ws->StakesFile(), {"a"}, false); }), "");
}

TEST(StakeGraphs, MatchesAndProfitsOfTheNamedStakes) {
    StakesWorkspace s;
    s.Append(CheckedStake(812, "Регуляр", 1, -5 * MoneyScale));
    s.Append(CheckedStake(813, "регуляр", 2, -5 * MoneyScale));
    s.Append(CheckedStake(813, "Регуляр", 3, 20 * MoneyScale));
    s.Append(CheckedStake(813, "Другой", 4, 0));
    s.Append(Stake(814, {1, 2, 3, 4, 5, 6}, "Регуляр"));  // unchecked: never plotted
    s.Append(CheckedStake(814, "Прочий", 0, -5 * MoneyScale));

    const TStakeGraph m = StakesMatchesGraph(s.ws->StakesFile(), {"РЕГУЛЯР", "Прочий"}, false);
    ASSERT_EQ(m.size(), 2u);
    // The series takes the comment as first seen; case is ignored after it.
    EXPECT_EQ(m[0].Title, "Регуляр");
    EXPECT_EQ(m[0].Color, -1);
    EXPECT_EQ(Points(m[0]), (P{{812, 1}, {813, 2}, {813, 3}}));
    EXPECT_EQ(Points(m[1]), (P{{814, 0}}));

    const TStakeGraph p = StakesMatchesGraph(s.ws->StakesFile(), {"регуляр"}, true);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_EQ(Points(p[0]), (P{{812, -5}, {813, -5}, {813, 20}}));
}

TEST(StakeGraphs, OnlyTheLastHundredCheckedDraws) {
    StakesWorkspace s;
    for (int d = 1; d <= 120; ++d) s.Append(CheckedStake(d, "a", d % 7, 0));
    const TStakeGraph m = StakesMatchesGraph(s.ws->StakesFile(), {"a"}, false);
    ASSERT_EQ(m.size(), 1u);
    ASSERT_EQ(m[0].Points.size(), 100u);
    EXPECT_EQ(m[0].Points.front().X, 21);
    EXPECT_EQ(m[0].Points.back().X, 120);
}

TEST(StakeGraphs, RatingsAgainstTheNormalCurve) {
    TRatingRecord a{}, b{};
    SetShortString(a.NameLen, a.Name, sizeof a.Name, "Сорок");
    SetShortString(b.NameLen, b.Name, sizeof b.Name, "Сто");
    a.Stakes = 40;
    b.Stakes = 100;
    for (int i = 0; i <= 6; ++i) a.Hits[i] = static_cast<uint32_t>(i + 1);
    const TStakeGraph g = RatingsMatchesGraph({a, b});
    ASSERT_EQ(g.size(), 3u);
    EXPECT_EQ(g[0].Title, SeriesNormal);
    EXPECT_EQ(g[0].Color, 0x808080);
    EXPECT_TRUE(g[0].ShowPoints);
    EXPECT_FALSE(g[0].ShowMarks);
    ASSERT_EQ(g[0].Points.size(), 7u);
    EXPECT_NEAR(g[0].Points[1].Y, 43.12, 0.005);
    double total = 0;
    for (const TGraphPoint& p : g[0].Points) total += p.Y;
    EXPECT_NEAR(total, 100, 1e-9);
    EXPECT_EQ(g[1].Title, "Сорок");
    EXPECT_EQ(Points(g[1]), (P{{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}}));
    EXPECT_EQ(g[2].Title, "Сто");
}

}  // namespace
}  // namespace tessara::test
