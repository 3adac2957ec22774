#include <gtest/gtest.h>

#include "model/dates.h"
#include "model/error.h"
#include "model/game.h"
#include "test_support.h"

namespace tessara {
namespace {

TEST(Combinatorics, MatchTableAndBinomials) {
    EXPECT_EQ(Binomial(42, 6), 5245786u);
    EXPECT_EQ(Binomial(6, 6), 1u);
    EXPECT_EQ(CombsWithMatches(42, 6, 3), 142800u);
    EXPECT_EQ(CombsWithMatches(42, 6, 6), 1u);
    const TMatchTable t = MakeMatchTable();
    const uint32_t expected[7] = {1947792, 2261952, 883575, 142800, 9450, 216, 1};
    uint64_t total = 0;
    long double p = 0;
    for (int k = 0; k <= 6; ++k) {
        EXPECT_EQ(t.Counts[k], expected[k]) << k;
        total += t.Counts[k];
        p += t.Probabilities[k];
    }
    EXPECT_EQ(total, 5245786u);
    EXPECT_NEAR(static_cast<double>(p), 1.0, 1e-15);
}

TEST(Geometry, MatrixGroupsAndShifts) {
    EXPECT_EQ(MatrixRowCount(1, 42, 7), 6);
    EXPECT_EQ(MatrixRowCount(1, 42, 5), 9);
    EXPECT_EQ(MatrixRowCount(0, 42, 5), 9);
    EXPECT_EQ(MatrixColumn(8, 7), 1);
    EXPECT_EQ(MatrixRow(8, 7), 2);
    EXPECT_EQ(MatrixPosition(1, 7, 8), std::make_pair(0, 1));
    EXPECT_EQ(MatrixNumberAt(1, 1, 0, 7), 8);
    EXPECT_EQ(NumberGroup(7, 7), 1);
    EXPECT_EQ(NumberGroup(8, 7), 2);
    EXPECT_EQ(NumberGroupColor(0, 7), (TColor{255, 0, 0}));
    EXPECT_EQ(NumberGroupColor(43, 7), (TColor{255, 0, 0}));
    EXPECT_EQ(NumberGroupColor(8, 7), (TColor{255, 255, 170}));
    // Group 20 and above wrap back to the start of the palette.
    EXPECT_EQ(NumberGroupColor(40, 2), NumberGroupColor(2, 2));

    const struct {
        int n, d, expected;
    } shifts[] = {{40, 5, 3}, {3, -5, 40}, {42, 0, 42}, {42, 1, 1}, {1, -1, 42}, {20, 3, 23}};
    for (const auto& s : shifts) EXPECT_EQ(ShiftNumber(s.n, s.d), s.expected) << s.n << " " << s.d;
    EXPECT_EQ(ShiftCombination(TCombination{{1, 2, 40, 41, 42, 7}}, 2),
              (TCombination{{3, 4, 42, 1, 2, 9}}));
}

TEST(TextForms, ParseCombination) {
    const TCombination oneToSix{{1, 2, 3, 4, 5, 6}};
    for (const char* text : {"1,2,3,4,5,6", "01 02 03 04 05 06", "1-2-3-4-5-6", "1;2;;3;4;5;6",
                             "1 | 2 | 3 | 4 | 5 | 6", "\t1:2.3 4;5|6 "})
        EXPECT_EQ(ParseCombination(text), oneToSix) << text;
    EXPECT_EQ(ParseCombination("a b c d e f"), TCombination{});
    EXPECT_EQ(ParseCombination("300 2 3 4 5 6"), (TCombination{{44, 2, 3, 4, 5, 6}}));
    for (const char* text : {"1;2;3;4;5", "1;2;3;4;5;6;7", ""}) {
        try {
            ParseCombination(text);
            ADD_FAILURE() << text;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Некорректная комбинация: \"" + std::string(text) + "\"!");
        }
    }
}

TEST(TextForms, FormatsKeepStoredOrder) {
    EXPECT_EQ(FormatCombinationPadded(TCombination{{7, 12, 3, 40, 9, 41}}), "07 12 03 40 09 41");
    EXPECT_EQ(FormatCombination(TCombination{{3, 12, 17, 25, 30, 41}}), "3;12;17;25;30;41");
    EXPECT_EQ(FormatDrawInfo(test::MakeDraw(5, {1, 2, 3, 4, 5, 6}, 0)),
              "Тираж № 5 от , значения: 1;2;3;4;5;6 e:0");
    EXPECT_EQ(FormatDrawInfo(test::MakeDraw(1234, {7, 33, 2, 41, 18, 25}, 4, "05 марта 2021")),
              "Тираж № 1234 от 05 марта 2021, значения: 7;33;2;41;18;25 e:4");
    TStakeNumbers s{};
    EXPECT_EQ(FormatStakeNumbers(s, ";"), "");
    s = CombToStakeNumbers(TCombination{{5, 1, 9, 2, 3, 4}});
    EXPECT_EQ(FormatStakeNumbers(s, " "), "5 1 9 2 3 4");
    EXPECT_EQ(StakeKindName(3), "Сценарий");
    EXPECT_EQ(StakeKindName(0), "");
}

TEST(TextForms, IntLists) {
    const struct {
        const char* text;
        TIntArray expected;
    } cases[] = {
        {"5;7;9", {5, 7, 9}},       {"1-10;3", {1, 4, 7, 10}}, {"-3;4", {-3, 4}},
        {" 2 , 3 ", {2, 3}},        {"1-10,3", {1, 4, 7, 10}}, {"10-1;-3", {10, 7, 4, 1}},
        {"5-1;1", {}},              {"1-10;0", {}},            {"x", {}},
        {"", {}},                   {"1;;2", {}},              {"-5--1;2", {-5, -3, -1}},
        // Past the list limit: refused before anything is built.
        {"1-2147483647;1", {}},     {"-2147483648-2147483647;1", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseIntList(c.text), c.expected) << c.text;
    EXPECT_EQ(JoinIntList({-3, 4, 5}, ";"), "-3;4;5");
    EXPECT_EQ(JoinIntList({}, ";"), "");
    EXPECT_EQ(ParseIntList("1-100000;1").size(), MaxIntListSize);
    std::string words = "1";
    for (size_t i = 0; i < MaxIntListSize; ++i) words += ",1";
    EXPECT_TRUE(ParseIntList(words).empty());
}

TEST(Matching, CountsAndMatchedNumbers) {
    const TDrawRecord draw = test::MakeDraw(1, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(CountMatches(draw, TCombination{{1, 1, 1, 1, 1, 1}}), 6);
    EXPECT_EQ(CountMatches(draw, TCombination{{6, 5, 40, 41, 42, 1}}), 3);
    EXPECT_EQ(CountDrawMatches(draw, test::MakeDraw(2, {6, 7, 8, 9, 10, 1})), 2);

    TStakeNumbers stake{};
    stake.Count = 8;
    const uint8_t numbers[] = {6, 40, 2, 41, 1, 30, 31, 32};
    std::copy(std::begin(numbers), std::end(numbers), stake.Numbers);
    const TStakeNumbers matched = MatchedNumbers(test::MakeDraw(1, {6, 1, 9, 2, 10, 11}), stake);
    EXPECT_EQ(FormatStakeNumbers(matched, ";"), "1;2;6");

    TStakeNumbers a = CombToStakeNumbers(TCombination{{1, 2, 3, 4, 5, 6}});
    TStakeNumbers b = CombToStakeNumbers(TCombination{{6, 5, 4, 3, 2, 1}});
    EXPECT_TRUE(SameNumbers(a, b));
    b.Numbers[0] = 7;
    EXPECT_FALSE(SameNumbers(a, b));
}

TEST(Matching, DistinctNumbersAndRandomSubset) {
    const TCombination combs[] = {{{1, 2, 3, 4, 5, 6}}, {{6, 7, 8, 1, 2, 3}}, {{0, 43, 255, 8, 7, 1}}};
    EXPECT_EQ(CountDistinctNumbers(combs, 0), 0);
    EXPECT_EQ(CountDistinctNumbers(combs, 3), 8);  // numbers outside 1..42 are not counted
    EXPECT_EQ(CollectDistinctNumbers(combs, 3), (TByteArray{1, 2, 3, 4, 5, 6, 7, 8}));

    const std::mt19937 before = RandomGenerator();
    const TStakeNumbers s = RandomNumberSubset(combs, 3, 10);
    EXPECT_EQ(FormatStakeNumbers(s, ";"), "1;2;3;4;5;6;7;8");
    EXPECT_TRUE(before == RandomGenerator());

    const TStakeNumbers cut = RandomNumberSubset(combs, 3, 5);
    EXPECT_EQ(cut.Count, 5);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(cut.Numbers[i] >= 1 && cut.Numbers[i] <= 8);
    EXPECT_EQ(RandomNumberSubset(combs, 0, 5).Count, 0);
}

TEST(Sorting, StableAndInPlace) {
    TIntArray a{3, 9, 3, 1};
    SortIntArrayDesc(a);
    EXPECT_EQ(a, (TIntArray{9, 3, 3, 1}));
    TDrawRecord d = test::MakeDraw(1, {33, 7, 41, 2, 18, 25}, 4, "x");
    SortDrawNumbers(d);
    EXPECT_EQ(FormatDrawNumbers(d), "2;7;18;25;33;41");
    EXPECT_EQ(d.ExtraBall, 4);
    EXPECT_EQ(DrawDateText(d), "x");

    TStatSimpleArray s;
    AddStatSimple(s, 5, 1);
    AddStatSimple(s, 2, 3);
    AddStatSimple(s, 5, 2);
    AddStatSimple(s, 5, -4);  // found with add <= 0: unchanged
    SortStatSimple(s);
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].Key, 2);
    EXPECT_EQ(s[1].Key, 5);
    EXPECT_EQ(s[1].Count, 3);
}

TEST(Dates, TextToDrawDateAndBack) {
    const TDateTime march5 = EncodeDate(2021, 3, 5);
    for (const char* text : {"05 марта 2021", "5 МАРТ 2021", "  05  Марта 2021 "})
        EXPECT_EQ(TextToDrawDate(text), march5) << text;
    EXPECT_EQ(TextToDrawDate(""), 0);
    EXPECT_EQ(TextToDrawDate("   "), 0);
    for (const char* text : {"05.03.2021", "31 февраля 2021", "05 mars 2021", "x марта 2021"})
        EXPECT_THROW(TextToDrawDate(text), Error) << text;
    EXPECT_EQ(DrawDateToText(march5), "05 марта 2021");
    EXPECT_EQ(DrawDateToText(march5 + 0.75), "05 марта 2021");
    EXPECT_EQ(DrawDateToText(0), "");
    // The longest month name still fits the 16 characters of a draw record.
    TDrawRecord d{};
    SetDrawDateText(d, DrawDateToText(EncodeDate(2021, 9, 30)));
    EXPECT_EQ(DrawDateText(d), "30 сентября 2021");
    EXPECT_EQ(TextToDrawDate(DrawDateText(d)), EncodeDate(2021, 9, 30));
    EXPECT_EQ(DayOfTheWeek(EncodeDate(2026, 12, 10)), 4);  // a Thursday
    const TDateParts p = DecodeDateTime(EncodeDateTime({2020, 2, 29, 13, 45, 10}));
    EXPECT_EQ(std::tie(p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second),
              std::make_tuple(2020, 2, 29, 13, 45, 10));
}

TEST(Dates, LongTextIsCutToSixteenCharacters) {
    TDrawRecord d{};
    SetDrawDateText(d, "Понедельник, 5 марта 2021 года");
    EXPECT_EQ(d.DrawDateLen, 16);
    EXPECT_EQ(DrawDateText(d), "Понедельник, 5 м");
}

}  // namespace
}  // namespace tessara
