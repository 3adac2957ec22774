#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/format.h"
#include "stats/stat_list.h"
#include "stats/value_columns.h"
#include "stat_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;

TStatDraw Row(int lastDraw, int depth, StatKey key) {
    TStatDraw r{};
    r.LastDraw = lastDraw;
    r.PrevDraw = lastDraw;
    r.Depth = depth;
    r.Count = 1;
    r.Key = key;
    return r;
}

TEST(StatRows, MergingTracksTheLatestOccurrenceAndPeriods) {
    TStatDrawArray rows;
    TStatDraw empty{};
    empty.Key = MakeKey(7);
    AddStatDraw(rows, empty, false);  // a pre-filled value
    AddStatDraw(rows, Row(10, 13, MakeKey(5)), true);
    AddStatDraw(rows, Row(14, 9, MakeKey(5)), true);
    AddStatDraw(rows, Row(22, 1, MakeKey(5)), true);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Count, 0);
    EXPECT_EQ(rows[0].Depth, 0);
    EXPECT_EQ(rows[0].LastDraw, 0);
    const TStatDraw& r = rows[1];
    EXPECT_EQ(r.Count, 3);
    EXPECT_EQ(r.LastDraw, 22);
    EXPECT_EQ(r.PrevDraw, 22);
    EXPECT_EQ(r.Depth, 1);
    EXPECT_EQ(r.PeriodMin, 4);
    EXPECT_EQ(r.PeriodMax, 8);

    AddStatDraw(rows, Row(3, 1, MakeKey(1, 2)), false);
    AddStatDraw(rows, Row(4, 1, MakeKey(0, 0xFFFF)), false);
    SortStatDraws(rows);
    EXPECT_EQ(rows[0].Key.w[1], 0xFFFF);  // words compare as unsigned, word 1 first
    EXPECT_EQ(rows[1].Key.w[0], 1);
    const TStatSummary s = SummarizeStatDraws(rows);
    EXPECT_EQ(s.MinCount, 0);
    EXPECT_EQ(s.MaxCount, 3);
    EXPECT_EQ(s.MaxDepth, 1);
    EXPECT_EQ(s.TotalCount, 5);
    EXPECT_EQ(SummarizeStatDraws({}).MinCount, INT32_MAX);

    EXPECT_TRUE(RowsHaveWordPair(rows, 1, 0));
    EXPECT_TRUE(RowsHaveByte(rows, 3, 0xFF));
    EXPECT_FALSE(RowsHaveWord(rows, 5, 0));
    EXPECT_FALSE(RowsHaveInt({}, 1, 0));
}

TEST(Templates, TemplateFormatting) {
    const struct {
        const char* templ;
        std::vector<TFormatArg> args;
        const char* expected;
    } cases[] = {
        {"POS%d", {int64_t{3}}, "POS3"},
        {"NUMS", {int64_t{0}}, "NUMS"},
        {"Число в %0:d позиции тиража", {int64_t{3}}, "Число в 3 позиции тиража"},
        {"Метод шинковки %0:d: %%s", {int64_t{2}}, "Метод шинковки 2: %s"},
        {"{ %1:s } %0:s", {std::string("Числа тиража"), std::string("num")}, "{ num } Числа тиража"},
        {"%.2d|%.3d|%.2d", {int64_t{5}, int64_t{21}, int64_t{-3}}, "05|021|-03"},
        {"- %0:.2d : %1:d - %0:d = %2:d", {int64_t{5}, int64_t{135}, int64_t{130}}, "- 05 : 135 - 5 = 130"},
        {"%d=%.2f", {int64_t{3}, 100.0}, "3=100.00"},
        {"%d-%d", {int64_t{87}}, "87-"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatTemplate(c.templ, c.args), c.expected) << c.templ;
}

TEST(StatGroups, DisplayText) {
    EXPECT_EQ(StatGroupDisplayText(0), "{ num } Числа тиража");
    EXPECT_EQ(StatGroupDisplayText(12), "{ shr } Методы шинковки");
    EXPECT_EQ(StatGroupDisplayText(13), "#ERROR#");
    EXPECT_EQ(FeatureLetters(sfSorted | sfNorm | sfGraph), "SNG");
}

using StatTest = test::StatFixture;

TEST_F(StatTest, RegistryOrderCaptionsAndFeatures) {
    std::string codes;
    for (int i = 0; i < list.Count(); ++i) codes += list.Items(i).Code() + " ";
    EXPECT_EQ(codes,
              "NUMS DIGS EVEN EVNV SMAL SMLV PRIM PRMV SUMS SUM1 SUM2 SUM3 SUMC SUMV SUMT SUME SUMP "
              "S2T3 DIFA DIFM DIFD DIFO DIFK CHAN CHNV CHNC COLS ROWS COLV ROWV COLN ROWN COLM ROWM "
              "COLA ROWA COLC ROWC SGMS SGMV SGMC SEQL SEQS LENS RPV2 RPV3 PRL2 PRV2O1 PRV2O2 PRV2O3 "
              "PRV+1 PRV-1 PRV+2 PRV-2 RPC2 RPC3 PRB2 RPO1 PRC2O2 PRC2O3 PRC+1 PRC-1 PRC+2 PRC-2 "
              "KNM2 KNM3 KNM4 KNS2 KNS3 KNS4 KNP21 KNP22 KNP23 KNP24 KNP25 KNP31 KNP32 KNP33 KNP34 "
              "KNP41 KNP42 KNP43 KDS2 KDS3 KDS4 KCM2 KCM3 KCM4 KCS2 KCS3 KCS4 KFM2 KFM3 KFM4 KFS2 "
              "KFS3 KFS4 KRM2 KRM3 KRM4 KRS2 KRS3 KRS4 KGM2 KGM3 KGM4 KGS2 KGS3 KGS4 POS1 POS2 POS3 "
              "POS4 POS5 POS6 POE1 CHN1 CHN2 CHN3 CHN4 CHN5 CHN6 COL1 COL2 COL3 COL4 COL5 COL6 COL7 "
              "ROW1 ROW2 ROW3 ROW4 ROW5 ROW6 SGM1 GRPV GRPP GRCV GRCP GRSV GRSP PRDV PRDC PRDG SDV2 SDP2 "
              "SDN1 SDN2 SDN3 SDN4 SDN5 SDN6 SDP3 SDM1 SDM2 SDM3 SDM4 SDM5 SDM6 SCV2 SCP2 SCN1 SCN2 "
              "SCN3 SCN4 SCN5 SCN6 SCP3 SCM1 SCM2 SCM3 SCM4 SCM5 SCM6 SC2C1 SC2C2 SC2C3 SC2C4 SC2C5 "
              "SC2C6 SC3C1 SC3C2 SC3C3 SC3C4 SC3C5 SC3C6 SDA2 SDG2 SDZ2 SDC2 SSV2 SSP2 SSN1 SSN2 SSN3 "
              "SSN4 SSN5 SSN6 SSP3 SSM1 SSM2 SSM3 SSM4 SSM5 SSM6 SS2C1 SS3C1 HCV1 HCV2 HCV3 SHR1 SHR2 "
              "SHR3 ");
    // With the default configuration: 214 methods of the 143 classes.
    EXPECT_EQ(list.Count(), 214);
    EXPECT_EQ(RegistrationTable().size(), 143u);
    EXPECT_EQ(list.ListCaption(0, true), "{ num } Числа тиража [ N ]");
    EXPECT_EQ(list.ListCaption(list.FindMethod("pos3"), true),
              "{ num } Число в 3 позиции тиража [ SNG ]");
    EXPECT_EQ(list.ListCaption(list.FindMethod("SUM1"), false),
              "{ sum } Сумма тиража: диапазон 1 (1/3)");
    EXPECT_EQ(list.ListCaption(list.FindMethod("SUMV"), true),
              "{ sum } Сумма тиража: изменения (диапазон) [ D ]");
    list.ShowGroupName = false;
    EXPECT_EQ(list.ListCaption(0, true), "Числа тиража [ N ]");
    list.ShowMethodFlags = false;
    EXPECT_EQ(list.ListCaption(0, true), "Числа тиража");

    const TStatClass& pos = *list.Items(list.FindMethod("POS3")).Class;
    EXPECT_EQ(pos.HelpCodeFor(3), "POSx");
    // Every position and the extra ball share one page.
    EXPECT_EQ(pos.HelpTopicFor(3), "Filters_1049_POSx.htm");
    EXPECT_EQ(list.HelpTopic(list.FindMethod("POE1")), "Filters_1049_POSx.htm");
    EXPECT_EQ(list.HelpTopic(0), "Filters_1049_NUMS.htm");
    try {
        list.CreateSelectedStat(-1, "cbDrawsStat");
        ADD_FAILURE();
    } catch (const Error& e) {
        EXPECT_STREQ(e.what(), "Не выбран метод расчета статистики (cb: cbDrawsStat)!");
    }
}

TEST_F(StatTest, FavouritesTextAndNormalizing) {
    list.SetFavouritesText(" nums,Sum2 ,NOPE");
    EXPECT_FALSE(list.AllFavourites);
    EXPECT_EQ(list.FavouritesText(), "NUMS,SUM2");
    EXPECT_TRUE(list.IsFavourite(0));
    EXPECT_FALSE(list.IsFavourite(1));
    // A line of a megabyte costs its length, not its length times the methods.
    std::string huge = "Sum2";
    while (huge.size() < (1u << 20)) huge += ",x";
    list.SetFavouritesText(huge);
    EXPECT_TRUE(list.IsFavourite(list.FindMethod("SUM2")));
    EXPECT_FALSE(list.IsFavourite(0));
    list.SetFavouritesText("  ");
    EXPECT_TRUE(list.AllFavourites);
    EXPECT_EQ(list.FavouritesText(), "");

    // Unticking everything in the manager makes everything a favourite again.
    for (int i = 0; i < list.Count(); ++i) list.Items(i).Favourite = false;
    list.NormalizeFavourites();
    EXPECT_TRUE(list.AllFavourites);
    EXPECT_TRUE(list.Items(5).Favourite);
    list.Items(5).Favourite = false;
    list.NormalizeFavourites();
    EXPECT_FALSE(list.AllFavourites);
}

TEST_F(StatTest, NamesFileRoundTrip) {
    test::TempDir dir;
    test::RecordingHost host;
    const std::string file = dir.File("tessara.flt");
    list.SetFavouritesText("NUMS,POS1");
    list.ShowGroupName = false;
    list.Items(1).UserName = "Мои цифры";
    ASSERT_TRUE(list.SaveNames(host, file, true, false));
    EXPECT_EQ(ReadFileBytes(file),
              Utf8ToCp1251("[FILTERS]\r\nFavorites=NUMS,POS1\r\nOrdered=0\r\nShowGroupName=0\r\n"
                           "ShowMethodFlags=1\r\n\r\n[STRINGS_RUS]\r\nDIGS=Мои цифры\r\n\r\n"));
    TStatList other(archive, config, shredding);
    other.Register();
    ASSERT_TRUE(other.LoadNames(host, file, true));
    EXPECT_EQ(other.FavouritesText(), "NUMS,POS1");
    EXPECT_FALSE(other.ShowGroupName);
    EXPECT_EQ(other.Items(1).Name(), "Мои цифры");
    EXPECT_EQ(other.Items(0).Name(), "Числа тиража");
    // Export writes every name.
    ASSERT_TRUE(other.SaveNames(host, dir.File("all.flt"), false, true));
    const IniFile all = IniFile::Load(dir.File("all.flt"));
    EXPECT_EQ(all.ReadString("STRINGS_RUS", "POS2", ""), "Число в 2 позиции тиража");
    EXPECT_FALSE(all.HasKey("FILTERS", "Favorites"));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(StatTest, NumberFamilyValues) {
    const TCombination draw{{3, 14, 22, 7, 40, 41}};
    const struct {
        const char* code;
        TCombination numbers;
        const char* values;
    } cases[] = {
        {"NUMS", draw, "3|14|22|7|40|41"},
        {"DIGS", {{10, 20, 30, 1, 2, 3}}, "1*2|0*3|2*2|3*2"},
        {"EVEN", draw, "3:3"},
        {"EVEN", {{2, 4, 6, 8, 10, 12}}, "6:0"},
        {"EVEN", {{1, 3, 5, 7, 9, 11}}, "0:6"},
        {"EVNV", draw, "нЧЧнЧн (037)"},
        {"SMAL", draw, "3:3"},
        {"SMLV", draw, "112122 (011)"},
        {"PRIM", {{1, 4, 6, 8, 9, 10}}, "1:5"},
        {"PRMV", {{1, 4, 6, 8, 9, 10}}, "ПССССС (032)"},
        {"POS6", {{1, 2, 3, 4, 5, 42}}, "42"},
        {"POE1", draw, ""},
        {"SUMS", {{1, 2, 3, 4, 5, 6}}, "21"},
        {"SUM2", {{10, 20, 25, 30, 35, 40}}, "95-163"},
        {"SUM2", {{1, 2, 3, 4, 5, 6}}, "Остальные"},
        {"SUM1", {{10, 20, 25, 30, 35, 40}}, "87-171"},
        {"SUME", draw, "76"},
        {"SUMP", draw, "51"},
        {"S2T3", {{1, 2, 3, 4, 5, 6}}, "6"},
        {"S2T3", draw, "0"},
        {"SUMC", draw, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(CombValues(c.code, c.numbers), c.values) << c.code;
}

TEST_F(StatTest, MaskAndRatioTextsParseBack) {
    auto evnv = Make("EVNV");
    TStatDraw r{};
    r.Key = MakeIntKey(21);
    EXPECT_EQ(evnv->ValueToText(r), "ЧнЧнЧн (021)");
    EXPECT_EQ(evnv->TextToValue("ЧнЧнЧн (021)"), 21);
    EXPECT_EQ(evnv->ParseValue("ннннЧЧ"), 60);
    auto even = Make("EVEN");
    r.Key = MakeKey(4);
    EXPECT_EQ(even->ValueToText(r), "4:2");
    EXPECT_EQ(even->TextToValue("4:2"), 4);
    EXPECT_EQ(even->TextToValue("x:2"), 0);
    EXPECT_EQ(Make("SUM2")->ParseValue("95-163"), 0);  // not a plain integer
    EXPECT_EQ(Make("NUMS")->ParseValue("17"), 17);
}

TEST_F(StatTest, PrefilledValues) {
    const struct {
        const char* code;
        size_t rows;
    } cases[] = {{"NUMS", 42}, {"DIGS", 0},  {"EVEN", 6},  {"EVNV", 64}, {"SMLV", 0},
                 {"PRMV", 64}, {"POS1", 42}, {"POE1", 0},  {"SUMS", 217}, {"SUM3", 2},
                 {"SUMT", 3},  {"SUMC", 0},  {"SUME", 0},  {"S2T3", 0}};
    for (const auto& c : cases) {
        auto s = Make(c.code);
        TStatDrawArray rows;
        s->FillAllValues(0, rows);
        EXPECT_EQ(rows.size(), c.rows) << c.code;
        for (const auto& r : rows) EXPECT_EQ(r.Count + r.Depth + r.LastDraw, 0) << c.code;
    }
    auto trend = Make("SUMT");
    TStatDrawArray rows;
    trend->FillAllValues(0, rows);
    EXPECT_EQ(Texts(*trend, rows), "=*0|+*0|-*0");
}

TEST_F(StatTest, DrawsPositionsAndTheExtraBall) {
    archive = {MakeDraw(1, {33, 7, 41, 2, 18, 25}, 4)};
    EXPECT_EQ(DrawValues("POS6", 0, 0, false), "25");
    EXPECT_EQ(DrawValues("POS6", 0, 0, true), "41");
    EXPECT_EQ(DrawValues("POE1", 0, 0), "4");
    auto poe = Make("POE1");
    EXPECT_EQ(poe->DrawGraphValue(0, 0, false), 4);
    EXPECT_FALSE(poe->CombMatches(TCombination{{1, 2, 3, 4, 5, 6}}, {Row(1, 1, MakeKey(4))}, 0, false, false));
    auto pos = Make("POS1");
    EXPECT_EQ(pos->DrawGraphValue(0, 0, true), 2);
    EXPECT_EQ(pos->GetDraw(-1, false).DrawNo, 0);
    EXPECT_EQ(pos->GetDraw(1, false).Numbers[0], 0);
    // Depth counts the last sample draw as 1.
    archive.push_back(MakeDraw(2, {1, 2, 3, 4, 5, 6}));
    auto nums = Make("NUMS");
    TStatDrawArray rows;
    TStatScratch scratch{};
    TLastValueArray lastValues;
    nums->AddDrawValues(0, 1, false, rows, scratch, lastValues);
    EXPECT_EQ(rows[0].Depth, 2);
    EXPECT_EQ(rows[0].LastDraw, 1);
    EXPECT_EQ(nums->FindNextOccurrence(Row(0, 0, MakeKey(3)), 0, false, 1), 2);
    EXPECT_EQ(nums->FindNextOccurrence(Row(0, 0, MakeKey(41)), 1, false, 1), -1);
    EXPECT_EQ(nums->FindNextOccurrence(Row(0, 0, MakeKey(41)), 5, false, 1), -1);
}

TEST_F(StatTest, SumMembersOnThePreviousDraw) {
    // Sums: 21, 130, 135, 130, 100, 130.
    archive = {MakeDraw(1, {1, 2, 3, 4, 5, 6}),      MakeDraw(2, {10, 20, 25, 30, 35, 10}),
               MakeDraw(3, {10, 20, 25, 30, 35, 15}), MakeDraw(4, {10, 20, 25, 30, 35, 10}),
               MakeDraw(5, {10, 20, 25, 30, 10, 5}),  MakeDraw(6, {10, 20, 25, 30, 35, 10})};
    // With draw 4 (sum 130) as the end of the sample, draws whose predecessor
    // had sum 130 are 3 (135) and 5 (100).
    auto change = Make("SUMC");
    TStatDrawArray rows;
    TStatScratch scratch{};
    TLastValueArray lastValues;
    for (int i = 0; i <= 3; ++i) change->AddDrawValues(i, 3, false, rows, scratch, lastValues);
    EXPECT_EQ(Texts(*change, rows), "+05 : 130 + 05 = 135");
    change->AddDrawValues(4, 3, false, rows, scratch, lastValues);
    EXPECT_EQ(Texts(*change, rows), "+05 : 130 + 05 = 135|- 30 : 130 - 30 = 100");
    EXPECT_TRUE(change->CombMatches(TCombination{{10, 20, 25, 30, 10, 5}}, rows, 5, false, false));
    EXPECT_EQ(change->DrawGraphValue(1, 1, false), 130 - 21);
    EXPECT_EQ(change->DrawGraphValue(0, 0, false), 21);  // the first draw has a zero predecessor

    // A reference sum that no predecessor had: nothing.
    EXPECT_EQ(DrawValues("SUMC", 2, 0), "");
    // Tolerance of 21 around the previous sum.
    EXPECT_EQ(DrawValues("SUMV", 2, 3), "+05");
    EXPECT_EQ(DrawValues("SUMV", 4, 3), "- 30");
    EXPECT_EQ(DrawValues("SUMV", 1, 3), "");  // previous 21, reference 130
    EXPECT_EQ(DrawValues("SUMT", 4, 5), "-");

    // Filtering "-" keeps the combinations below the reference draw's sum.
    auto trend = Make("SUMT");
    const TStatDrawArray minus = {Row(1, 1, MakeIntKey(-1))};
    EXPECT_TRUE(trend->CombMatches(TCombination{{1, 2, 3, 4, 5, 6}}, minus, 5, false, false));
    EXPECT_FALSE(trend->CombMatches(TCombination{{37, 38, 39, 40, 41, 42}}, minus, 5, false, false));
    auto some = Make("SUMV");
    EXPECT_TRUE(some->CombMatches(TCombination{{10, 20, 25, 30, 35, 15}}, {Row(1, 1, MakeIntKey(5))},
                                  5, false, false));
}

TEST_F(StatTest, CombMatchesOfTheNumberAndBandMembers) {
    const TCombination c{{3, 14, 22, 7, 40, 41}};
    EXPECT_TRUE(Make("NUMS")->CombMatches(c, {Row(1, 1, MakeKey(40))}, 0, false, false));
    EXPECT_FALSE(Make("NUMS")->CombMatches(c, {Row(1, 1, MakeKey(1))}, 0, false, false));
    EXPECT_TRUE(Make("DIGS")->CombMatches(c, {Row(1, 1, MakeKey(0))}, 0, false, false));
    EXPECT_TRUE(Make("SUMS")->CombMatches(c, {Row(1, 1, MakeIntKey(127))}, 0, false, false));
    EXPECT_TRUE(Make("EVNV")->CombMatches(c, {Row(1, 1, MakeIntKey(37))}, 0, false, false));
    auto band = Make("SUM2");
    const TCombination inBand{{10, 20, 25, 30, 35, 40}}, outside{{1, 2, 3, 4, 5, 6}};
    const TStatDrawArray both = {Row(1, 1, MakeKey(0)), Row(1, 1, MakeKey(1))};
    const TStatDrawArray rest = {Row(1, 1, MakeKey(0))};
    EXPECT_TRUE(band->CombMatches(inBand, both, 0, false, false));
    EXPECT_FALSE(band->CombMatches(outside, both, 0, false, false));
    EXPECT_TRUE(band->CombMatches(outside, rest, 0, false, false));
    EXPECT_FALSE(band->CombMatches(inBand, rest, 0, false, false));
}

TEST(StatRegistry, WorkspaceReregistersAfterAConfigurationChange) {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.RegisterStats();
    const int count = ws.Stats().Count();
    ws.Stats().Items(0).UserName = "Числа";
    ws.Stats().SetFavouritesText("NUMS,SUMS");
    TConfigData c = ws.Config();
    c.MatrixCols = 6;
    EXPECT_TRUE(ws.ApplyConfig(c).Matrix);
    EXPECT_EQ(ws.Stats().Count(), count);
    EXPECT_EQ(ws.Stats().Items(0).UserName, "Числа");
    EXPECT_EQ(ws.Stats().FavouritesText(), "NUMS,SUMS");
    EXPECT_TRUE(FileExists(ws.FavouritesFile()));
}

}  // namespace
}  // namespace tessara

namespace tessara {
namespace {

// Slices filtered on several threads and moved together keep exactly what
// one pass keeps, in order, also in place and with uneven slices.
TEST(ParallelFilter, SameAsOnePass) {
    const std::vector<TCombination> all = test::SampledCombinations(37);
    const auto pred = [](const TCombination& c) { return (c.n[0] * 7 + c.n[3] * 3 + c.n[5]) % 5 < 2; };
    for (bool exclude : {false, true}) {
        std::vector<TCombination> expected(all.size());
        expected.resize(static_cast<size_t>(FilterWith(all.data(), static_cast<int64_t>(all.size()),
                                                       expected.data(), exclude, pred)));
        for (int threads : {2, 3, 8}) {
            std::vector<TCombination> out(all.size());
            out.resize(static_cast<size_t>(FilterWithThreads(all.data(), static_cast<int64_t>(all.size()),
                                                             out.data(), exclude, pred, 0, threads)));
            EXPECT_TRUE(out == expected) << threads;
            std::vector<TCombination> inPlace = all;
            inPlace.resize(static_cast<size_t>(FilterWithThreads(inPlace.data(), static_cast<int64_t>(inPlace.size()),
                                                                 inPlace.data(), exclude, pred, 0, threads)));
            EXPECT_TRUE(inPlace == expected) << threads;
        }
    }
    // Fewer combinations than threads.
    std::vector<TCombination> two(all.begin(), all.begin() + 2);
    EXPECT_EQ(FilterWithThreads(two.data(), 2, two.data(), false, [](const TCombination&) { return true; }, 0, 8), 2);
}

}  // namespace
}  // namespace tessara

namespace tessara {
namespace {

// A statistic that codes its values must filter exactly by its codes, for
// one row (as the scenario's single-select loop asks) and for several.
using CodedStatTest = test::StatFixture;

TEST_F(CodedStatTest, CodedValuesFilterAsTheStatistic) {
    archive = test::RandomDraws(80, 21);
    const std::vector<TCombination> combs = test::SampledCombinations(397);
    const int last = static_cast<int>(archive.size()) - 1;
    int coded = 0;
    for (int m = 0; m < list.Count(); ++m) {
        auto stat = list.CreateStat(m);
        if (!stat || stat->CodeCount() <= 0) continue;
        ++coded;
        std::vector<uint16_t> codes(combs.size());
        stat->CombCodes(combs.data(), static_cast<int64_t>(combs.size()), codes.data());
        for (uint16_t c : codes) ASSERT_LT(c, stat->CodeCount()) << stat->Class().CodeFor(stat->Param);
        TStatDrawArray rows = SampleRows(*stat, last, false, true);
        std::vector<TStatDrawArray> selections;
        for (size_t r = 0; r < rows.size() && r < 12; ++r) selections.push_back({rows[r]});
        if (rows.size() > 2) selections.push_back({rows[0], rows[rows.size() / 2], rows.back()});
        for (const TStatDrawArray& sel : selections) {
            std::vector<uint8_t> wanted(static_cast<size_t>(stat->CodeCount()), 0);
            stat->LoadDraws(-1, last, false);
            stat->WantedCodes(sel, last, false, wanted.data());
            std::vector<TCombination> byCodes, filtered(combs.size());
            for (size_t i = 0; i < combs.size(); ++i)
                if (wanted[codes[i]]) byCodes.push_back(combs[i]);
            stat->LoadDraws(-1, last, false);
            filtered.resize(static_cast<size_t>(stat->FilterCombs(combs.data(), static_cast<int64_t>(combs.size()),
                                                                  filtered.data(), sel, last, false, false)));
            EXPECT_TRUE(byCodes == filtered) << stat->Class().CodeFor(stat->Param) << " " << sel.size();
        }
    }
    EXPECT_GE(coded, 10);
}

TEST(ValueColumns, RankNumbersEveryCombinationOnce) {
    const std::vector<TCombination> combs = test::SampledCombinations(1);
    ASSERT_EQ(static_cast<int64_t>(combs.size()), TValueColumns::CombCount);
    std::vector<uint8_t> seen(static_cast<size_t>(TValueColumns::CombCount), 0);
    for (const TCombination& c : combs) {
        const int64_t r = TValueColumns::Rank(c);
        ASSERT_GE(r, 0);
        ASSERT_LT(r, TValueColumns::CombCount);
        ASSERT_EQ(seen[static_cast<size_t>(r)]++, 0);
    }
    // Anything but six increasing numbers of 1..42 has no rank.
    for (const TCombination& c : {TCombination{{2, 1, 3, 4, 5, 6}}, TCombination{{1, 1, 3, 4, 5, 6}},
                                  TCombination{{0, 1, 3, 4, 5, 6}}, TCombination{{1, 2, 3, 4, 5, 43}}})
        EXPECT_EQ(TValueColumns::Rank(c), -1);
}

}  // namespace
}  // namespace tessara

namespace tessara {
namespace {

// A column gives the codes the statistic computes, also for combinations
// that are not six increasing numbers of 1..42.
TEST_F(CodedStatTest, ColumnCodesAsTheStatistic) {
    auto stat = Make("S2T3");
    ASSERT_TRUE(stat && stat->CodesCostly());
    const int method = list.FindMethod("S2T3");
    TValueColumns columns;
    columns.Prepare(method, *stat);
    EXPECT_EQ(columns.Bytes(), static_cast<size_t>(TValueColumns::CombCount));
    std::vector<TCombination> combs = test::SampledCombinations(1009);
    combs.push_back({{3, 1, 2, 4, 5, 6}});
    combs.push_back({{1, 2, 3, 4, 5, 200}});
    std::vector<uint16_t> looked(combs.size()), computed(combs.size());
    columns.Codes(method, *stat, combs.data(), static_cast<int64_t>(combs.size()), looked.data());
    stat->CombCodes(combs.data(), static_cast<int64_t>(combs.size()), computed.data());
    EXPECT_EQ(looked, computed);
    // A budget too small for a column leaves the codes to the statistic.
    TValueColumns none(1000);
    none.Prepare(method, *stat);
    EXPECT_EQ(none.Bytes(), 0u);
}

}  // namespace
}  // namespace tessara
