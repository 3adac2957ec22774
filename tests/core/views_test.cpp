#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/game.h"
#include "test_support.h"
#include "views/draw_card.h"
#include "views/layout_scheme.h"
#include "views/number_filter.h"
#include "views/week_stats.h"

namespace tessara {
namespace {

using test::MakeDraw;

constexpr TColor kYellow{255, 255, 0}, kGreen{0, 255, 0}, kCyan{0, 255, 255};

TByteSet NoNextDraw() { return TByteSet{}; }

// Draw 100 (1, 2, 3, ...) under draw 101 (2, 10, ...): the 2 repeats in
// both rows, with neighbours only in draw 100.
TEST(DrawCard, RowsTextsAndTheColourRule) {
    const TDrawsArray draws = {MakeDraw(99, {30, 31, 40, 41, 42, 20}, 3),
                               MakeDraw(100, {1, 2, 3, 20, 25, 99}, 5),
                               MakeDraw(101, {2, 10, 30, 36, 38, 0}, 7)};
    EXPECT_EQ(CardRowCount(draws), 4);
    EXPECT_EQ(CardRowCount({}), 2);
    EXPECT_EQ(CardCellText(draws, 0, 1), "1");
    EXPECT_EQ(CardCellText(draws, 0, CardExtraColumn), "E");
    EXPECT_EQ(CardCellText(draws, 1, 0), "101");  // newest on top
    EXPECT_EQ(CardCellText(draws, 1, CardExtraColumn), "7");
    EXPECT_EQ(CardCellText(draws, 2, 2), "2");
    EXPECT_EQ(CardCellText(draws, 2, 4), "");
    EXPECT_EQ(CardCellText(draws, 4, 1), "");  // past the archive

    const TCardOptions all{true, true, 7};
    // Draw 101 is row 1: its 2 repeats the 2 below it but has no drawn neighbour.
    EXPECT_EQ(CardCellColor(draws, 1, 2, all), kGreen);
    // Draw 100: the 2 repeats and has 1 and 3 beside it; 1 and 3 only neighbours.
    EXPECT_EQ(CardCellColor(draws, 2, 2, all), kYellow);
    EXPECT_EQ(CardCellColor(draws, 2, 1, all), kCyan);
    EXPECT_EQ(CardCellColor(draws, 2, 3, all), kCyan);
    // The 20 of draw 100 repeats the 20 of draw 99 (the row below).
    EXPECT_EQ(CardCellColor(draws, 2, 20, all), kGreen);
    // The 30 of draw 101 has 30 two rows down only: a lone number, group colour.
    EXPECT_EQ(CardCellColor(draws, 1, 30, all), NumberGroupColor(30, 7));
    // Empty cells take their channel's colour; 42's right edge has no neighbour.
    EXPECT_EQ(CardCellColor(draws, 1, 4, all), NumberGroupColor(4, 7));
    EXPECT_EQ(CardCellColor(draws, 3, 42, all), kCyan);

    const TCardOptions channelsOnly{true, false, 7};
    EXPECT_EQ(CardCellColor(draws, 2, 2, channelsOnly), NumberGroupColor(2, 7));
    const TCardOptions sequencesOnly{false, true, 7};
    EXPECT_EQ(CardCellColor(draws, 1, 30, sequencesOnly), std::nullopt);
    EXPECT_EQ(CardCellColor(draws, 1, 4, sequencesOnly), std::nullopt);
    EXPECT_EQ(CardCellColor(draws, 2, 2, sequencesOnly), kYellow);
    // The header, the draw column and the extra ball keep the grid's colours.
    for (auto [row, column] : {std::pair{0, 5}, {1, 0}, {1, CardExtraColumn}})
        EXPECT_EQ(CardCellColor(draws, row, column, all), std::nullopt) << row << "," << column;

    // Column by column, within a column from the top; empty cells give nothing.
    EXPECT_EQ(CardSelectionNumbers(draws, 1, 1, 3, 3), (std::vector<int>{1, 2, 2, 3}));
    EXPECT_TRUE(CardSelectionNumbers(draws, 1, 4, 3, 9).empty());
}

class NumberFilterTest : public ::testing::Test {
protected:
    NumberFilterTest() : ws(host, dir.Path()) {
        ws.InitGameTables();
        ws.ReserveCombs(ws.TotalCombs(), 0);
        EXPECT_TRUE(ws.GenerateCombs(true, {}));
    }
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws;
};

TEST_F(NumberFilterTest, KeepsOrRemovesTheCombinationsWithTheNumbers) {
    // Picked on the card as 5, 12, 5: the set is 5 and 12.
    ASSERT_TRUE(ApplyNumberFilter(ws, {5, 12, 5}, false, CardCaption));
    EXPECT_EQ(ws.CombsCount(), 1407406);  // C(42,6) - C(40,6)
    for (int64_t i = 0; i < ws.CombsCount(); i += 997) {
        const TCombination& c = ws.Combs()[i];
        EXPECT_TRUE(CombHasNumber(5, c) || CombHasNumber(12, c));
    }
    ASSERT_EQ(ws.FilterLog().size(), 1u);
    EXPECT_EQ(ws.FilterLog()[0].Caption, "Карта");
    EXPECT_EQ(ws.FilterLog()[0].Value, "5; 12");
    EXPECT_EQ(ws.FilterLog()[0].Icon, TLogIcon::Include);
    EXPECT_EQ(ws.FilterLog()[0].Count, 1407406);

    ASSERT_TRUE(ws.UndoLastOperation());
    ASSERT_TRUE(ApplyNumberFilter(ws, WeekSelectionNumbers(5, 7), true, WeekCaption));
    EXPECT_EQ(ws.CombsCount(), 3262623);  // C(39,6)
    EXPECT_EQ(ws.FilterLog().back().Caption, "Неделя");
    EXPECT_EQ(ws.FilterLog().back().Value, "5; 6; 7");
    EXPECT_EQ(ws.FilterLog().back().Icon, TLogIcon::Exclude);
    // The order of the kept combinations is that of the list.
    for (int64_t i = 1; i < ws.CombsCount(); i += 1009)
        EXPECT_TRUE(std::lexicographical_compare(ws.Combs()[i - 1].n, ws.Combs()[i - 1].n + 6,
                                                 ws.Combs()[i].n, ws.Combs()[i].n + 6));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(NumberFilterTest, NoNumbersLeaveTheListAlone) {
    ASSERT_FALSE(ApplyNumberFilter(ws, CardSelectionNumbers({}, 1, 1, 1, 5), false, CardCaption));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "В выделенном диапазоне нет значений для фильтра!");
    EXPECT_EQ(ws.CombsCount(), 5245786);
    EXPECT_EQ(ws.UndoCount(), 0);  // nothing to undo either
    EXPECT_TRUE(ws.FilterLog().empty());
    // The header column of the week grid is no number.
    EXPECT_TRUE(WeekSelectionNumbers(0, 0).empty());
}

TEST_F(NumberFilterTest, BytesOutsideTheNumbersNeverMatch) {
    // A loaded list may hold any byte: 65 must not pass for 1, nor 0 or 63
    // for anything. Enough combinations for the eight-at-a-time path and a
    // tail, each against the plain reading of the rule.
    std::vector<TCombination> list;
    for (int i = 0; i < 43; ++i) {
        TCombination c;
        for (int k = 0; k < 6; ++k) c.n[k] = static_cast<uint8_t>((i * 37 + k * 53 + 64 * (i % 3)) % 256);
        list.push_back(c);
    }
    list[5] = TCombination{{65, 66, 67, 68, 69, 106}};
    list[6] = TCombination{{0, 255, 63, 64, 128, 170}};
    list[40] = TCombination{{192, 255, 63, 64, 128, 42}};
    const std::vector<int> set = {1, 42, 0, 63, 7, 20};
    for (bool removes : {false, true}) {
        ws.Combs().Reserve(ws.TotalCombs(), static_cast<int64_t>(list.size()));
        std::copy(list.begin(), list.end(), ws.Combs().Data());
        ws.MakeUndoCopy(false);
        ASSERT_TRUE(FilterCombsByNumbers(ws, set, removes, LayoutCaption));
        std::vector<TCombination> expected;
        for (const TCombination& c : list) {
            bool holds = false;
            for (uint8_t x : c.n) holds = holds || (x >= 1 && x <= 42 && (x == 1 || x == 42 || x == 7 || x == 20));
            if (holds != removes) expected.push_back(c);
        }
        ASSERT_EQ(ws.CombsCount(), static_cast<int64_t>(expected.size())) << removes;
        for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(ws.Combs()[static_cast<int64_t>(i)], expected[i]);
    }
    EXPECT_EQ(ws.FilterLog().back().Value, "1; 42; 0; 63; 7; 20");
}

TEST(LayoutScheme, GridOfCountsAndLastDraws) {
    const TDrawsArray one = {MakeDraw(7, {9, 3, 41, 17, 25, 30})};
    const TLayoutScheme s = BuildLayoutScheme(one, 0, 1, NoNextDraw());
    EXPECT_EQ(s.Counts, std::vector<int32_t>{1});
    EXPECT_EQ(s.LastDraws, std::vector<int32_t>{7});
    EXPECT_EQ(s.Cells[0][0], "9, 3, 41, 17, 25, 30");
    EXPECT_EQ(BuildLayoutScheme({}, 0, 100, NoNextDraw()).GridRows(), 1);

    // Ten draws: 5 comes out in the newest and twice more, so it sits in the
    // first column and in the row headed 3.
    const TDrawsArray ten = {
        MakeDraw(1, {1, 2, 3, 4, 6, 7}),        MakeDraw(2, {5, 8, 9, 10, 11, 12}),
        MakeDraw(3, {13, 14, 15, 16, 17, 18}),  MakeDraw(4, {5, 19, 20, 21, 22, 23}),
        MakeDraw(5, {24, 25, 26, 27, 28, 29}),  MakeDraw(6, {30, 31, 32, 33, 34, 35}),
        MakeDraw(7, {36, 37, 38, 39, 40, 41}),  MakeDraw(8, {42, 1, 2, 3, 4, 6}),
        MakeDraw(9, {7, 8, 9, 10, 11, 12}),     MakeDraw(10, {5, 13, 14, 15, 16, 17}),
    };
    const TLayoutScheme t = BuildLayoutScheme(ten, 0, 10, NoNextDraw());
    EXPECT_EQ(t.Counts, (std::vector<int32_t>{3, 2, 1}));
    EXPECT_EQ(t.LastDraws, (std::vector<int32_t>{10, 9, 8, 7, 6, 5, 4, 3}));
    EXPECT_EQ(t.GridRows(), 4);
    EXPECT_EQ(t.GridColumns(), 9);
    EXPECT_EQ(t.Cells[0][0], "5");
    EXPECT_EQ(t.Cells[1][0], "13, 14, 15, 16, 17");
    EXPECT_EQ(t.Cells[1][2], "1, 2, 3, 4, 6");
    EXPECT_EQ(t.Cells[2][2], "42");
    EXPECT_EQ(t.Cells[0][1], "");

    // Looking back one draw: the numbers of draw 10 are marked.
    TDrawArchive archive;
    for (const auto& d : ten) archive.Append(d);
    const TLayoutScheme back = BuildLayoutScheme(ten, 1, 10, archive.NextDrawResultSet(1));
    EXPECT_EQ(back.LastDraws.front(), 9);
    EXPECT_EQ(back.Counts, (std::vector<int32_t>{2, 1}));
    EXPECT_EQ(back.Cells[0][5], "[5]");  // count 2, last in draw 4
    EXPECT_EQ(back.Cells[1][6], "[13], [14], [15], [16], [17], 18");
    const std::string cell = "[12], 7";
    std::vector<int> numbers;
    AppendLayoutCellNumbers(cell, numbers);
    EXPECT_EQ(numbers, (std::vector<int>{12, 7}));
    EXPECT_EQ(LayoutCellColor(cell, 3, 4, 5, 6, true), kGreen);
}

TEST(LayoutScheme, ComparisonListsAndColours) {
    const TDrawsArray thirty = test::MakeDraws(1101, 1130);
    const TLayoutCompareList list = BuildLayoutCompare(thirty, 0, 50);
    EXPECT_EQ(list.Caption, "1101 - 1130");
    int total = 0;
    for (size_t i = 0; i < list.Rows.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(list.Rows[i - 1].first, list.Rows[i].first);
        }
        total += list.Rows[i].first *
                 static_cast<int>(std::count(list.Rows[i].second.begin(), list.Rows[i].second.end(), ',') + 1);
    }
    EXPECT_EQ(total, 30 * 6);  // every number of every draw counted once
    EXPECT_EQ(BuildLayoutCompare(thirty, 10, 5).Caption, "1116 - 1120");
    EXPECT_TRUE(BuildLayoutCompare({}, 0, 50).Rows.empty());

    // Gradient: nearly white-yellow at the top left, blue at the bottom right.
    EXPECT_EQ(LayoutCellColor("1", 2, 1, 10, 20, true), (TColor{224, 247, 131}));
    EXPECT_EQ(LayoutCellColor("1", 8, 19, 10, 20, true), (TColor{131, 108, 224}));
    // Checkerboard of 5 x 5 blocks.
    struct Case { int row, column; TColor colour; };
    const TColor light{234, 255, 234}, pink{255, 234, 234};
    for (const Case& c : {Case{1, 1, light}, Case{5, 5, light}, Case{6, 6, light},
                          Case{5, 6, pink}, Case{11, 3, light}, Case{10, 3, pink}, Case{96, 6, light}})
        EXPECT_EQ(LayoutCellColor("", c.row, c.column, 43, 43, false), c.colour) << c.row << "," << c.column;
}

TEST(WeekStats, CountsByWeekdayAndTheChart) {
    const TDrawsArray draws = {
        MakeDraw(1, {7, 1, 2, 3, 4, 5}, 0, "01 марта 2021"),  // Monday
        MakeDraw(2, {7, 8, 9, 10, 11, 12}, 0, "07 марта 2021"),  // Sunday
        MakeDraw(3, {7, 8, 13, 14, 15, 99}, 0, "07.03.2021"),    // unreadable
        MakeDraw(4, {7, 8, 16, 17, 18, 19}, 0, ""),              // no date
        MakeDraw(5, {7, 8, 20, 21, 22, 23}, 0, "14 Марта 2021"),  // Sunday
    };
    const TWeekStats s = ComputeWeekStats(draws, 0, 1000);
    EXPECT_EQ(s.Count[7][1], 1);
    EXPECT_EQ(s.Count[7][7], 2);
    EXPECT_EQ(s.Count[8][7], 2);
    EXPECT_EQ(s.Count[13][2] + s.Count[13][7] + s.Count[16][7], 0);
    EXPECT_EQ(s.Largest, 2);
    // The window ends at the current last draw.
    EXPECT_EQ(ComputeWeekStats(draws, 0, 2).Count[7][7], 1);
    EXPECT_EQ(ComputeWeekStats(draws, 1, 2).Largest, 0);  // draws 3 and 4: no weekday

    const std::vector<TWeekChartPoint> days = WeekChartPoints(s, 1, 7, 3);
    ASSERT_EQ(days.size(), 7u);
    EXPECT_EQ(days[0].Label, "Пн");
    EXPECT_EQ(days[6].Label, "Вс");
    EXPECT_EQ(days[0].Y, 1);
    EXPECT_EQ(days[6].Y, 2);
    EXPECT_EQ(days[6].X, 7);
    const std::vector<TWeekChartPoint> numbers = WeekChartPoints(s, 0, 7, 7);
    ASSERT_EQ(numbers.size(), 42u);
    EXPECT_EQ(numbers[7].Label, "8");
    EXPECT_EQ(numbers[7].Y, 2);
    EXPECT_EQ(WeekChartPoints(s, 0, 7, 0)[6].Y, 0);  // the header row

    EXPECT_EQ(WeekCellColor(2, 2), (TColor{255, 0, 0}));
    EXPECT_EQ(WeekCellColor(1, 3), (TColor{255, 170, 170}));
    EXPECT_EQ(WeekCellColor(0, 3), std::nullopt);
    EXPECT_EQ(WeekCellColor(1, 0), std::nullopt);
}

}  // namespace
}  // namespace tessara
