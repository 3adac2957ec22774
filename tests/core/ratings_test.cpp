#include <gtest/gtest.h>

#include "model/encoding.h"
#include "model/files.h"
#include "model/format.h"
#include "base/config.h"
#include "base/ini_file.h"
#include "stakes/stake_logs.h"
#include "scenario/script_line.h"
#include "stakes/stake_check.h"
#include "stakes/stakes_grid.h"
#include "stakes_test_support.h"

namespace tessara {
namespace {

using test::CheckedStake;
using test::Stake;

TRatingRecord Row(const std::string& name, uint32_t stakes, uint32_t matched, double profit) {
    TRatingRecord r{};
    SetShortString(r.NameLen, r.Name, sizeof r.Name, name);
    r.Stakes = stakes;
    r.Matched = matched;
    r.Profit = MoneyFromAmount(profit);
    return r;
}

std::vector<std::string> Names(const TRatingsArray& rows) {
    std::vector<std::string> names;
    for (const auto& r : rows) names.push_back(RatingName(r));
    return names;
}

// The sums saturate: two profits of the largest amount do not wrap.
TEST(Ratings, SumsSaturate) {
    TRatings ratings;
    for (int64_t p : {INT64_MAX, INT64_MAX}) ratings.Update(CheckedStake(1, "a", 1, p));
    for (int64_t p : {INT64_MIN, INT64_MIN}) ratings.Update(CheckedStake(1, "b", 1, p));
    ASSERT_EQ(ratings.Count(), 2u);
    EXPECT_EQ(ratings[0].Profit, INT64_MAX);
    EXPECT_EQ(ratings[1].Profit, INT64_MIN);
    EXPECT_EQ(ratings[0].Stakes, 2u);
}

// Every number with decimals the user reads takes the display separator;
// the configuration file keeps "." so that it reads back anywhere.
TEST(DisplaySeparator, ShownNumbersTakeIt) {
    SetDecimalSeparatorFromLocale(",");
    const std::string csv = Cp1251ToUtf8(RatingsCsvText({Row("Тест", 2, 6, -21)}));
    std::tm tm{};
    TStakeRecord stake = CheckedStake(1, "Тест", 3, MoneyFromAmount(-10.5));
    const std::string log = StakeLogLine(stake, tm);
    const std::string money = FormatMoney(MoneyFromAmount(1.25));
    const std::string templ = FormatTemplate("%.1f|%.0f", {2.5, 99.4});
    TConfigData config;
    config.Cost = MoneyFromAmount(2.5);
    IniFile ini;
    WriteConfigSections(ini, config);
    SetDecimalSeparatorFromLocale(".");
    EXPECT_NE(csv.find("\r\n\"Тест\";2;6;3,000;-21,00;-10,50;"), std::string::npos) << csv;
    EXPECT_NE(log.find("Профит: -10,50."), std::string::npos) << log;
    EXPECT_EQ(money, "1,25");
    EXPECT_EQ(templ, "2,5|99");
    EXPECT_EQ(ini.ReadString("STAKES", "Cost", ""), "2.5");
    // A point that is no single byte falls back to ",".
    SetDecimalSeparatorFromLocale("\u066b");
    EXPECT_EQ(DecimalSeparator(), ',');
    SetDecimalSeparatorFromLocale(".");
}

TEST(Ratings, NamesMeetWithoutRegardToCase) {
    TRatings ratings;
    ratings.Update(CheckedStake(1, "Тест", 3, MoneyFromAmount(20)));
    ratings.Update(CheckedStake(2, "тест", 1, MoneyFromAmount(-5)));
    ratings.Update(CheckedStake(2, "Ёлка", 0, 0));
    ratings.Update(CheckedStake(3, "ёЛКА", 0, 0));
    ratings.Update(Stake(4, {1, 2, 3, 4, 5, 6}, "Тест"));  // unchecked: ignored
    // Damaged records are counted nowhere: a matches count of 2^31 - 1, more
    // matches than numbers, a number outside 1..42, thirteen numbers.
    {
        TStakeRecord bad[4] = {CheckedStake(5, "Тест", 3, 0), CheckedStake(5, "Тест", 3, 0),
                               CheckedStake(5, "Тест", 3, 0), CheckedStake(5, "Тест", 3, 0)};
        bad[0].Matches.Count = 2147483647;
        bad[1].Numbers.Count = 2;
        bad[2].Matches.Numbers[0] = 43;
        bad[3].Numbers.Count = 13;
        for (const TStakeRecord& r : bad) {
            EXPECT_TRUE(StakeIsDamaged(r));
            ratings.Update(r);
            EXPECT_EQ(StakesGridCellText(r, 5), "# bad data #");
            EXPECT_TRUE(StakesGridNumbers(r, 2).empty());
        }
        EXPECT_FALSE(StakeIsDamaged(CheckedStake(5, "Тест", 3, 0)));
        EXPECT_FALSE(StakeIsDamaged(MakeSeparatorStake()));
        // An unchecked one with a number 0 is never checked either.
        TStakeRecord unchecked = Stake(5, {0, 2, 3, 4, 5, 6});
        EXPECT_TRUE(StakeIsDamaged(unchecked));
        EXPECT_FALSE(IsStakeCheckCandidate(unchecked));
    }
    ASSERT_EQ(ratings.Count(), 2u);
    const std::vector<std::string> texts = RatingRowTexts(ratings[0], 1);
    EXPECT_EQ((std::vector<std::string>(texts.begin(), texts.begin() + 13)),
              (std::vector<std::string>{"Тест", "2", "4", "2.000", "15.00", "7.50", "0", "1", "0", "1",
                                        "0", "0", "0"}));
    EXPECT_EQ(RatingName(ratings[1]), "Ёлка");
    EXPECT_EQ(ratings[1].Hits[0], 2u);  // no matches count in column "0"
    EXPECT_EQ(ratings[1].Stakes, 2u);
}

TEST(Ratings, EfficiencyModes) {
    TRatingRecord r = Row("x", 100, 12, 0);
    r.Hits[3] = 4;
    const struct {
        int mode;
        const char* text;
    } cases[] = {{1, "1.278%"}, {2, "146.941%"}, {0, "3"}};
    for (const auto& c : cases) EXPECT_EQ(RatingCellText(r, 16, c.mode), c.text) << c.mode;
    EXPECT_EQ(RatingCellText(Row("x", 0, 0, 0), 16, 1), "");
    EXPECT_EQ(RatingCellText(Row("x", 0, 0, 0), 3, 1), "");
    // A value that rounds to zero shows without a sign.
    EXPECT_EQ(RatingCellText(r, 19, 1), "0.000%");
}

TEST(Ratings, SortOrders) {
    TRatingsArray rows = {Row("b", 10, 10, 1), Row("a", 10, 30, 2), Row("c", 10, 20, 3)};
    SortRatingRows(rows, 3, true);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"a", "c", "b"}));
    SortRatingRows(rows, 4, false);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"b", "a", "c"}));
    // Without an order every row equals every other, and the quicksort
    // swaps them as it goes.
    SortRatingRows(rows, 16, false);
    EXPECT_EQ(Names(rows), (std::vector<std::string>{"c", "a", "b"}));

    // Differences below a hundredth are no difference; rows without stakes
    // equal everything.
    TRatingRecord x = Row("x", 1, 1, 0), y = Row("y", 1, 1, 0);
    y.Profit = 50;  // half a hundredth rounds to even, to 0
    EXPECT_EQ(CompareRatings(x, y, 4, false), 0);
    y.Profit = 150;
    EXPECT_LT(CompareRatings(x, y, 4, false), 0);
    EXPECT_GT(CompareRatings(x, y, 4, true), 0);
    EXPECT_EQ(CompareRatings(Row("a", 0, 0, 0), Row("b", 5, 5, 5), 1, false), 0);

    const struct {
        const char* a;
        const char* b;
        int sign;
    } names[] = {{"а", "б", -1}, {"б", "Б", -1}, {"Б", "в", -1}, {"е", "ё", -1}, {"ё", "ж", -1},
                 {"z", "а", -1}, {"1", "a", -1}, {"ab", "abc", -1}, {"Тест", "Тест", 0}};
    for (const auto& n : names) {
        const int c = CompareRatingNames(Utf8ToCp1251(n.a), Utf8ToCp1251(n.b));
        EXPECT_EQ((c > 0) - (c < 0), n.sign) << n.a << " " << n.b;
        EXPECT_EQ(-CompareRatingNames(Utf8ToCp1251(n.b), Utf8ToCp1251(n.a)), (c > 0) - (c < 0));
    }
}

class RatingsWorkspaceTest : public ::testing::Test, public test::StakesWorkspace {};

TEST_F(RatingsWorkspaceTest, FileLoadSortsAndSavesAndExport) {
    const std::string fixture = ReadFileBytes(std::string(TESSARA_FIXTURES) + "/stakes/partial_row.lrt");
    test::WriteBytes(dir.File(RatingsFileName), fixture);
    ws->LoadRatings();
    ASSERT_EQ(ws->Ratings().Count(), 1u);
    EXPECT_EQ(ws->RatingsStatusText(), "Рейтинг: 1");
    // Loading rewrites the file: the fragment is gone.
    EXPECT_EQ(ReadFileBytes(dir.File(RatingsFileName)), fixture.substr(0, 304));
    EXPECT_EQ(host.Changes.back(), Change::Ratings);

    ASSERT_TRUE(ws->ExportRatings(dir.File("r.csv")));
    EXPECT_EQ(Cp1251ToUtf8(ReadFileBytes(dir.File("r.csv"))),
              "\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";\"0\";\"1\";"
              "\"2\";\"3\";\"4\";\"5\";\"6\";\"E0\";\"E1\";\"E2\";\"E3\";\"E4\";\"E5\";\"E6\"\r\n"
              "\"Тест\";2;4;2.000;15.00;7.50;0;1;0;1;0;0;0\r\n");
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(RatingsWorkspaceTest, RefreshFromTheCurrentStakes) {
    Append(CheckedStake(1, "gone", 2, 0));
    Append(CheckedStake(1, "kept", 3, MoneyFromAmount(20)));
    Append(Stake(1, {1, 2, 3, 4, 5, 6}, "unchecked"));
    ASSERT_TRUE(ws->RatingsRefresh());  // no rows yet: nothing to ask
    EXPECT_TRUE(host.Questions.empty());
    ASSERT_EQ(ws->Ratings().Count(), 2u);

    ASSERT_TRUE(ws->DeleteSelectedStakes(0, 0));
    EXPECT_FALSE(ws->RatingsRefresh());  // answered No: everything stays
    EXPECT_EQ(ws->Ratings().Count(), 2u);
    EXPECT_EQ(host.Questions.back(),
              "Пересчитать рейтинг только по текущим ставкам?\r\r"
              "Накопленные ранее данные по удаленным ставкам будут потеряны.");
    host.Answers = {true};
    ASSERT_TRUE(ws->RatingsRefresh());
    ASSERT_EQ(ws->Ratings().Count(), 1u);
    EXPECT_EQ(RatingName(ws->Ratings()[0]), "kept");

    // Clearing the stakes recomputes the rating from nothing.
    host.Answers = {true, true};
    ASSERT_TRUE(ws->ClearStakes());
    EXPECT_TRUE(ws->Ratings().Empty());
    EXPECT_EQ(ReadFileBytes(dir.File(RatingsFileName)), "");
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(RatingsWorkspaceTest, RatingNamesBackToScenarioLines) {
    ws->RegisterStats();
    Append(CheckedStake(1, "03.012: мой @ EXCL:10#EXT + TSD#SUMS:10#LMV:3#SF:1 + TSD#NUMS:5#LNO:#SF:0", 3, 0));
    Append(CheckedStake(1, "просто имя", 1, 0));
    ASSERT_TRUE(ws->RatingsRefresh());
    EXPECT_EQ(ws->RatingsToScript({1, 0, 1}), 1);
    ASSERT_EQ(ws->Scenario().size(), 1u);
    EXPECT_EQ(ws->Scenario()[0],
              "EXCL:10#EXT|TSD#SUMS:10#LMV:3#SF:1|TSD#NUMS:5#LNO:#SF:0| | | | | |03.012: мой");
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Строку\r\rпросто имя\r\rневозможно добавить в сценарий!");
    EXPECT_TRUE(FileExists(ws->CurrentScenarioFile()));
}

}  // namespace
}  // namespace tessara
