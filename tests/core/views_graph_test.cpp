#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/config.h"
#include "model/error.h"
#include "stats/stat_list.h"
#include "test_support.h"
#include "views/draw_graph.h"
#include "views/repeats.h"
#include "views/sum_distribution.h"

namespace tessara {
namespace {

using test::MakeDraw;

// A registry over an archive of the test's own.
class DrawGraphTest : public ::testing::Test {
protected:
    DrawGraphTest() : list(archive, config, shredding) { list.Register(); }
    TDrawGraph Graph(const char* code, int length, int offset, bool sorted = false) {
        return ComputeDrawGraph(list, list.FindMethod(code), length, offset, sorted, "title");
    }
    static std::vector<double> Xs(const TGraphSeries& s) {
        std::vector<double> xs;
        for (const TGraphPoint& p : s.Points) xs.push_back(p.X);
        return xs;
    }

    TDrawsArray archive;
    TConfigData config;
    TShreddingConfig shredding;
    TStatList list;
};

TEST(SummarizeValuesTest, MeanAndEarliestMostFrequent) {
    struct Case {
        std::vector<int32_t> values;
        double mean;
        int32_t mode;
    } cases[] = {
        {{3, 5, 5, 3}, 4, 3},      // a tie goes to the value that came first
        {{5, 3, 3, 5, 3}, 3.8, 3}, // a strictly larger count wins
        {{-2, 7}, 2.5, -2},
        {{9}, 9, 9},
        {{}, 0, 0},
    };
    for (const Case& c : cases) {
        const TValueSummary s = SummarizeValues(c.values.data(), c.values.size());
        EXPECT_DOUBLE_EQ(s.Mean, c.mean);
        EXPECT_EQ(s.Mode, c.mode);
    }
}

TEST_F(DrawGraphTest, SumsGraphWithMeanAndModeLines) {
    // Sums 30, 50, 50, 30.
    archive = {MakeDraw(11, {1, 2, 3, 4, 5, 15}), MakeDraw(12, {1, 2, 3, 4, 5, 35}),
               MakeDraw(13, {35, 1, 2, 3, 4, 5}), MakeDraw(14, {15, 5, 4, 3, 2, 1})};
    const TDrawGraph g = Graph("SUMS", 100, 0);
    ASSERT_EQ(g.Values.Points.size(), 4u);
    EXPECT_EQ(Xs(g.Values), (std::vector<double>{11, 12, 13, 14}));
    EXPECT_EQ(g.Values.Points[1].Y, 50);
    EXPECT_EQ(g.Values.Points[1].Label, "12");
    EXPECT_EQ(g.Values.Title, "title");
    EXPECT_EQ(g.Values.Color, DrawGraphValueColor);
    EXPECT_DOUBLE_EQ(g.Mean, 40);
    EXPECT_EQ(g.Mode, 30);
    ASSERT_EQ(g.MeanLine.Points.size(), 4u);
    ASSERT_EQ(g.ModeLine.Points.size(), 4u);
    EXPECT_EQ(Xs(g.MeanLine), Xs(g.Values));
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(g.MeanLine.Points[i].Y, 40);
        EXPECT_DOUBLE_EQ(g.ModeLine.Points[i].Y, 30);
    }
    EXPECT_EQ(g.MeanLine.Title, DrawGraphMeanTitle);
    EXPECT_EQ(g.ModeLine.Title, DrawGraphModeTitle);
}

TEST_F(DrawGraphTest, WindowFollowsLengthAndOffset) {
    archive = test::MakeDraws(101, 120);  // indices 0..19
    struct Case {
        int length, offset;
        int first, last;
    } cases[] = {
        {100, 0, 0, 19},  // longer than the archive: from the first draw
        {5, 0, 15, 19},
        {5, 10, 5, 9},    // the last point is the draw at High - 10
        {100, 10, 0, 9},
        {1, 19, 0, 0},
    };
    for (const Case& c : cases) {
        const TDrawGraph g = Graph("SUMS", c.length, c.offset);
        EXPECT_EQ(g.First, c.first) << c.length << "/" << c.offset;
        EXPECT_EQ(g.Last, c.last) << c.length << "/" << c.offset;
        ASSERT_EQ(g.Values.Points.size(), static_cast<size_t>(c.last - c.first + 1));
        EXPECT_EQ(g.Values.Points.front().X, 101 + c.first);
        EXPECT_EQ(g.Values.Points.back().X, 101 + c.last);
    }
    // An offset past the archive, like an empty archive, draws nothing.
    EXPECT_TRUE(Graph("SUMS", 5, 20).Values.Points.empty());
    archive.clear();
    const TDrawGraph empty = Graph("SUMS", 5, 0);
    EXPECT_TRUE(empty.Values.Points.empty());
    EXPECT_TRUE(empty.MeanLine.Points.empty());
}

TEST_F(DrawGraphTest, SortedFlagReachesTheStatistic) {
    archive = {MakeDraw(1, {30, 2, 17, 5, 41, 9})};
    EXPECT_EQ(Graph("POS1", 10, 0, false).Values.Points[0].Y, 30);
    EXPECT_EQ(Graph("POS1", 10, 0, true).Values.Points[0].Y, 2);
}

TEST_F(DrawGraphTest, MethodWithoutGraphIsRefused) {
    archive = test::MakeDraws(1, 3);
    EXPECT_THROW(Graph("NUMS", 10, 0), Error);
    EXPECT_THROW(ComputeDrawGraph(list, -1, 10, 0, false, ""), Error);
}

// Repeats.

std::vector<std::string> RowTexts(const TRepeatsAnalysis& a) {
    std::vector<std::string> rows;
    for (const TRepeatsRow& r : a.Rows)
        rows.push_back(std::to_string(r.DrawNo) + " " + std::to_string(r.Matches) + " " +
                       std::to_string(r.Repeats) + " [" + r.Draws + "]");
    return rows;
}

TEST(RepeatsTest, RowsPerDrawAndMatchCount) {
    const TDrawsArray draws = {
        MakeDraw(1, {1, 2, 3, 4, 5, 6}),       MakeDraw(2, {1, 2, 30, 31, 32, 33}),
        MakeDraw(3, {1, 20, 21, 22, 23, 24}),  MakeDraw(4, {1, 2, 3, 40, 41, 42}),
    };
    const TRepeatsAnalysis a = AnalyzeRepeats(draws, 100, 100);
    EXPECT_EQ(RowTexts(a), (std::vector<std::string>{
                               "4 1 1 [3]", "4 2 1 [2]", "4 3 1 [1]",  // newest draw first
                               "3 1 2 [2 1]",                         // newest earlier draw first
                               "2 2 1 [1]",
                           }));
    EXPECT_EQ(a.MaxMatches, 3);

    const std::vector<TGraphSeries> series = RepeatsSeries(a);
    ASSERT_EQ(series.size(), 3u);
    EXPECT_EQ(series[0].Title, "Совпадений: 1");
    EXPECT_EQ(series[2].Title, "Совпадений: 3");
    // Oldest draw first along each line.
    ASSERT_EQ(series[0].Points.size(), 2u);
    EXPECT_EQ(series[0].Points[0].X, 3);
    EXPECT_EQ(series[0].Points[0].Y, 2);
    EXPECT_EQ(series[0].Points[0].Label, "3");
    EXPECT_EQ(series[0].Points[1].X, 4);
    ASSERT_EQ(series[1].Points.size(), 2u);
    EXPECT_EQ(series[1].Points[0].X, 2);
    EXPECT_EQ(series[1].Points[1].X, 4);
}

TEST(RepeatsTest, LengthAndDepthLimitTheComparisons) {
    const TDrawsArray draws = {
        MakeDraw(1, {1, 2, 3, 4, 5, 6}),
        MakeDraw(2, {1, 10, 11, 12, 13, 14}),
        MakeDraw(3, {1, 20, 21, 22, 23, 24}),
    };
    // Depth 1: each draw only with the one just before it.
    EXPECT_EQ(RowTexts(AnalyzeRepeats(draws, 100, 1)),
              (std::vector<std::string>{"3 1 1 [2]", "2 1 1 [1]"}));
    // Length 1: only the newest draw.
    EXPECT_EQ(RowTexts(AnalyzeRepeats(draws, 1, 100)),
              (std::vector<std::string>{"3 1 2 [2 1]"}));
    int calls = 0, total = 0;
    AnalyzeRepeats(draws, 2, 100, [&](int done, int all) {
        EXPECT_EQ(done, ++calls);
        total = all;
    });
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(total, 2);
}

TEST(RepeatsTest, EdgeArchives) {
    // One draw: nothing to compare with, so no rows and no series.
    const TRepeatsAnalysis one = AnalyzeRepeats({MakeDraw(7, {1, 2, 3, 4, 5, 6})}, 100, 100);
    EXPECT_TRUE(one.Rows.empty());
    EXPECT_TRUE(RepeatsSeries(one).empty());
    EXPECT_TRUE(AnalyzeRepeats({}, 100, 100).Rows.empty());

    // Two identical neighbours.
    const TRepeatsAnalysis twins = AnalyzeRepeats(
        {MakeDraw(7, {1, 2, 3, 4, 5, 6}), MakeDraw(8, {6, 5, 4, 3, 2, 1})}, 100, 100);
    EXPECT_EQ(RowTexts(twins), (std::vector<std::string>{"8 6 1 [7]"}));
    const std::vector<TGraphSeries> series = RepeatsSeries(twins);
    ASSERT_EQ(series.size(), 6u);  // one line per count up to the largest, empty or not
    EXPECT_TRUE(series[0].Points.empty());
    EXPECT_EQ(series[5].Points.size(), 1u);

    // Draws sharing nothing: no rows, no series.
    const TRepeatsAnalysis apart = AnalyzeRepeats(
        {MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {7, 8, 9, 10, 11, 12})}, 100, 100);
    EXPECT_TRUE(apart.Rows.empty());
    EXPECT_EQ(apart.MaxMatches, 0);
}

// Sum distribution.

TEST(SumDistributionTest, TheoreticalHistogramOverAllCombinations) {
    const TSumDistribution d = ComputeSumDistribution({});
    ASSERT_EQ(d.Theory.size(), 217u);
    EXPECT_EQ(d.Theory.front().Key, 21);
    EXPECT_EQ(d.Theory.front().Count, 1);
    EXPECT_EQ(d.Theory.back().Key, 237);
    EXPECT_EQ(d.Theory.back().Count, 1);
    int64_t total = 0;
    for (const TStatSimple& s : d.Theory) total += s.Count;
    EXPECT_EQ(total, 5245786);
    EXPECT_EQ(d.MaxTheory, 73294);
    EXPECT_EQ(SumCount(d.Theory, 129), 73294);
    EXPECT_EQ(d.MinTheory, 1);
    EXPECT_EQ(SumCount(d.Theory, 22), 1);  // 1 2 3 4 5 7
    EXPECT_EQ(SumCount(d.Theory, 23), 2);  // ... 5 8 and ... 4 6 7

    const int32_t levels[3] = {24432, 36648, 48863};
    const std::pair<int, int> ranges[3] = {{87, 171}, {95, 163}, {103, 155}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(d.Levels[i].Level, levels[i]);
        EXPECT_EQ(d.Levels[i].Low, ranges[i].first);
        EXPECT_EQ(d.Levels[i].High, ranges[i].second);
    }
    EXPECT_EQ(SumLevelTitle(d, 1), "Диапазон 1 (от 1/3 и выше по оси Y) - суммы 87-171");
    EXPECT_EQ(SumLevelTitle(d, 3), "Диапазон 3 (от 2/3 и выше по оси Y) - суммы 103-155");
}

TEST(SumDistributionTest, ActualHistogramAndSeries) {
    const TDrawsArray draws = {MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {40, 1, 2, 3, 4, 5}),
                               MakeDraw(3, {6, 5, 4, 3, 2, 1})};
    const TSumDistribution d = ComputeSumDistribution(draws);
    ASSERT_EQ(d.Actual.size(), 2u);
    EXPECT_EQ(d.Actual[0].Key, 21);
    EXPECT_EQ(d.Actual[0].Count, 2);
    EXPECT_EQ(d.Actual[1].Key, 55);
    EXPECT_EQ(d.MaxActual, 2);

    const std::vector<TGraphSeries> series = SumDistributionSeries(d);
    ASSERT_EQ(series.size(), 5u);
    EXPECT_EQ(series[0].Title, SumsActualTitle);
    EXPECT_EQ(series[0].Color, 0xFF0000);
    EXPECT_EQ(series[0].Points.size(), 2u);
    EXPECT_EQ(series[1].Title, SumsTheoryTitle);
    EXPECT_EQ(series[1].Color, 0x800000);
    ASSERT_EQ(series[1].Points.size(), 217u);
    // Scaled so that the largest theoretical count meets the largest actual one.
    EXPECT_DOUBLE_EQ(series[1].Points[129 - 21].Y, 2.0);
    EXPECT_EQ(series[1].Points[129 - 21].Label, "129");
    const int64_t colors[3] = {0x008000, 0x0000FF, 0xFF00FF};
    for (size_t i = 0; i < 3; ++i) {
        const TGraphSeries& line = series[2 + i];
        EXPECT_EQ(line.Title, SumLevelTitle(d, static_cast<int>(i) + 1));
        EXPECT_EQ(line.Color, colors[i]);
        ASSERT_EQ(line.Points.size(), 217u);
        EXPECT_DOUBLE_EQ(line.Points.front().Y, d.Levels[i].Level * 2.0 / 73294);
        EXPECT_DOUBLE_EQ(line.Points.back().Y, line.Points.front().Y);
    }
    // Without draws the theoretical line lies flat at zero rather than dividing by it.
    const std::vector<TGraphSeries> none = SumDistributionSeries(ComputeSumDistribution({}));
    EXPECT_TRUE(none[0].Points.empty());
    EXPECT_DOUBLE_EQ(none[1].Points[108].Y, 0.0);
}

}  // namespace
}  // namespace tessara
