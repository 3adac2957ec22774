#include <gtest/gtest.h>

#include "model/encoding.h"
#include "model/error.h"
#include "scenario/filter_sets.h"
#include "scenario/script_line.h"
#include "stats/stat_list.h"

namespace tessara {
namespace {

class ScenarioTest : public ::testing::Test {
protected:
    ScenarioTest() : stats(archive, config, shredding) { stats.Register(); }
    TFilterItem Item(const char* text) { return ParseFilterItem(text, stats); }
    TDrawsArray archive;
    TConfigData config;
    TShreddingConfig shredding;
    TStatList stats;
};

TEST_F(ScenarioTest, LineFieldsKeepTheirPlaces) {
    const std::string line = BuildScriptLine("EXCL:10#EXT#NEX", {"", " ", "TSD1#SUMS:10#LMV:3#SF:1"}, "  ");
    EXPECT_EQ(line, "EXCL:10#EXT#NEX| | |TSD1#SUMS:10#LMV:3#SF:1| | | | |");
    EXPECT_EQ(ScriptLineFilter(line, 1), "");
    EXPECT_EQ(ScriptLineFilter(line, 3), "TSD1#SUMS:10#LMV:3#SF:1");
    EXPECT_EQ(ScriptLineComment(line), "");
    const std::string commented = BuildScriptLine("FULL:0#ALL", {}, "мой комментарий");
    EXPECT_EQ(commented, "FULL:0#ALL| | | | | | | |мой комментарий");
    EXPECT_EQ(ScriptLineComment(commented), "мой комментарий");
    EXPECT_EQ(ScriptLineComment("A|||x|b|c"), "");
    EXPECT_EQ(ScriptLineFilter("A|||x|b|c", 2), "b");  // runs of delimiters count as one
}

TEST_F(ScenarioTest, OptionsReadAndWrite) {
    for (const char* text : {"FULL:0#EXT", "FULL#EXT", "full#ext", "FULLY#XYZ", ""}) {
        const TScriptOptions o = ParseScriptOptions(text);
        EXPECT_EQ(o.StartCombsType, scFull) << text;
        EXPECT_EQ(o.DrawsExclude, 0) << text;
        EXPECT_EQ(o.ResultCombsMode, rmExt) << text;
    }
    TScriptOptions o = ParseScriptOptions(" excl:10 # rand # NEX#CLR#junk");
    EXPECT_EQ(o, (TScriptOptions{10, scExcl, rmRand, true, true}));
    EXPECT_EQ(FormatScriptOptions(o), "EXCL:10#RAND#CLR#NEX");
    EXPECT_EQ(FormatScriptOptionsShort(o), "EXCL:10#RAND#NEX");
    EXPECT_EQ(DescribeScriptOptions(o), "Исключить 10 тиражей; Случайно; Удалить ставки; Только новые ставки");
    o = ParseScriptOptions("CURR:x#NONE");
    EXPECT_EQ(FormatScriptOptions(o), "CURR:0#NONE");
    EXPECT_EQ(FormatScriptOptionsShort(o), "CURR#NONE");
    EXPECT_EQ(DescribeScriptOptions(ParseScriptOptions("EXCL:5#EXT")),
              "Исключить 5 тиражей; Расширенная; Все создаваемые ставки");
    EXPECT_STREQ(ResultModeCode(10), "# ERROR #");
    EXPECT_STREQ(LevelModeCaption(32), "# ERROR #");
    EXPECT_STREQ(StopModeCaption(6), "Процентному соотношению в списке статистики");
}

TEST_F(ScenarioTest, FilterItemsRoundTrip) {
    TFilterItem i = Item("TSD1#SUMS:10, 20#LMV:3#SF:1");
    EXPECT_TRUE(i.Used);
    EXPECT_EQ(i.MethodCode, "SUMS");
    EXPECT_EQ(i.DrawsLen, "10, 20");
    EXPECT_EQ(i.LevelMode, 1);
    EXPECT_EQ(i.LevelValue, "3");
    EXPECT_EQ(FormatFilterItem(i), "TSD1#SUMS:10, 20#LMV:3#SF:1");

    i = Item("BMF12#nums:5#lmv:3#st:x");
    EXPECT_TRUE(i.BottomUp && i.MultiSelect && i.KeepSelected);
    EXPECT_EQ(i.SortOrder, 12);
    EXPECT_EQ(i.MethodCode, "NUMS");
    EXPECT_EQ(i.LevelMode, 1);
    EXPECT_EQ(i.StopMode, 4);
    EXPECT_EQ(i.StopValue, 1);  // not an integer
    EXPECT_EQ(Item("TS#NUMS:5").SortOrder, 1);
    EXPECT_EQ(Item("bmf1#NUMS:5").BottomUp, false);  // letters are case-sensitive

    // An unknown code keeps its word and writes it back unchanged.
    i = Item("TSD1#ZZZZ:10#LNO:#SF:0");
    EXPECT_EQ(i.Method, -1);
    EXPECT_EQ(i.DrawsLen, "");
    EXPECT_EQ(FormatFilterItem(i), "TSD1#ZZZZ:10#LNO:#SF:0");

    i = Item("TSD1#NUMS:10#LNO:#SF:0#0.125:-1,5:abc:1:0");
    EXPECT_TRUE(i.Coefs.CDLOverride);
    EXPECT_EQ(i.Coefs.CoefCount, 0.125L);
    EXPECT_EQ(i.Coefs.CoefDeviation, -1.5L);
    EXPECT_EQ(i.Coefs.CoefLevel, 0);
    EXPECT_TRUE(i.Coefs.CoefPercents);
    EXPECT_FALSE(i.Coefs.CoefAbs);
    EXPECT_EQ(FormatFilterItem(i), "TSD1#NUMS:10#LNO:#SF:0#0.125:-1.5:0:1:0");
    EXPECT_FALSE(Item("   ").Used);
    EXPECT_EQ(FormatFilterItem(Item("")), "");
}

TEST_F(ScenarioTest, StakeNoteAndConcreteFilters) {
    const auto sets = BuildFilterSets({Item("TSD1#SUMS:10#LMV:3#SF:1")});
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(FormatFilterRec(sets[0]), "TSD#SUMS:10#LMV:3#SF:1");
    const std::string description =
        FormatScriptOptionsShort(ParseScriptOptions("EXCL:10#EXT")) + " + " + FormatFilterRec(sets[0]);
    EXPECT_EQ(FormatStakeNote(3, 12, "my comment", description),
              "03.012: my comment @ EXCL:10#EXT + TSD#SUMS:10#LMV:3#SF:1");
    EXPECT_EQ(FormatStakeNote(1, 0, "", "FULL#EXT"), "01.000: @ FULL#EXT");
}

TEST_F(ScenarioTest, FilterSetsInLexicographicOrder) {
    auto sets = BuildFilterSets({Item("TSD1#NUMS:10,20,30#LMV:1-3;1#SF:0")});
    ASSERT_EQ(sets.size(), 9u);
    std::string order;
    for (const auto& s : sets) order += std::to_string(s[0].DrawsLen) + "/" + s[0].LevelValue + " ";
    EXPECT_EQ(order, "10/1 10/2 10/3 20/1 20/2 20/3 30/1 30/2 30/3 ");

    sets = BuildFilterSets({Item("TSD1#NUMS:5#LDV:1, 2,5#SF:0")});
    ASSERT_EQ(sets.size(), 1u);
    EXPECT_EQ(sets[0][0].LevelValue, "1,2,5");
    EXPECT_EQ(sets[0][0].LevelText, "1, 2,5");
    EXPECT_EQ(BuildFilterSets({Item("TSD1#NUMS:5#WDV:1,2,5#SF:0")}).size(), 3u);

    sets = BuildFilterSets({Item("TSD1#NUMS:1,2#LNO:#SF:0"), Item("TSD1#SUMS:3,4#LNO:#SF:0")});
    ASSERT_EQ(sets.size(), 4u);
    EXPECT_EQ(sets[1][0].DrawsLen, 1);
    EXPECT_EQ(sets[1][1].DrawsLen, 4);  // the last item turns fastest
    EXPECT_FALSE(sets[0][2].Used);
    EXPECT_FALSE(sets[0][6].Used);

    // A sort order names a column of the value table; a draws length is at
    // least one draw. Lines from a catalogue may carry anything.
    for (const char* bad : {"TSD1#NUMS:5#LMV:#SF:0", "TSD1#NUMS:1-10#LNO:#SF:0", "TSD1#ZZZ:5#LNO:#SF:0",
                            "TSD20#NUMS:10#LNO:#SF:0", "TSD99999#NUMS:10#LNO:#SF:0",
                            "TSD-2147483648#NUMS:10#LNO:#SF:0", "TSD-1#NUMS:10#LNO:#SF:0",
                            "TSD1#NUMS:10,0#LNO:#SF:0", "TSD1#NUMS:-5#LNO:#SF:0",
                            "TSD1#NUMS:1-2147483647;1#LNO:#SF:0"}) {
        try {
            TFilterSetGenerator g({Item(bad)});
            ADD_FAILURE() << bad;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Некорректное описание фильтра: " + FormatFilterItem(Item(bad)) + "!");
        }
    }
}

TEST_F(ScenarioTest, MillionsOfSetsCostNothingUpFront) {
    std::vector<TFilterItem> items;
    for (int i = 0; i < 7; ++i) items.push_back(Item("TSD1#NUMS:1-10;1#SF:0"));
    TFilterSetGenerator g(items);
    EXPECT_EQ(g.Count(), 10000000ull);  // 10^7
    TFilterRec rec;
    ASSERT_TRUE(g.Next(rec));
    EXPECT_EQ(rec[6].DrawsLen, 1);
    ASSERT_TRUE(g.Next(rec));
    EXPECT_EQ(rec[6].DrawsLen, 2);
    EXPECT_EQ(rec[0].DrawsLen, 1);
}

TEST_F(ScenarioTest, TooManySetsAreRefusedBeforeTheRun) {
    // 100^7 sets, and a product past 2^64: the count saturates and the line is
    // refused with the too-many message.
    for (const char* level : {"1-10;1", "1-100000;1"}) {
        std::vector<TFilterItem> items;
        const std::string text = std::string("TSD1#NUMS:1-10;1#LMV:") + level + "#SF:0";
        for (int i = 0; i < 7; ++i) items.push_back(Item(text.c_str()));
        try {
            TFilterSetGenerator g(items);
            ADD_FAILURE() << level;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()).rfind("Вы задали слишком много вариантов фильтров", 0), 0u);
        }
    }
}

TEST_F(ScenarioTest, ScenarioFilesKeepLinesUnchanged) {
    const std::vector<std::string> lines = {"FULL:0#EXT| | | | | | | |Ж", "", "  "};
    const std::string bytes = FormatScenarioText(lines);
    EXPECT_EQ(bytes, "FULL:0#EXT| | | | | | | |\xC6\r\n\r\n  \r\n");
    EXPECT_EQ(ParseScenarioText(bytes), lines);
}

}  // namespace
}  // namespace tessara

namespace tessara {
namespace {

TEST_F(ScenarioTest, FilterEditorChecks) {
    const struct {
        const char* draws;
        int level;
        const char* levelValue;
        bool numeric, multi;
        int stop;
        TFilterCheck expected;
    } cases[] = {
        {"0", 0, "", true, false, 0, TFilterCheck::DrawsLen},
        {"", 0, "", true, false, 0, TFilterCheck::DrawsLen},
        {"abc", 0, "", true, false, 0, TFilterCheck::DrawsLen},
        {"10-1;2", 0, "", true, false, 0, TFilterCheck::DrawsLen},
        {"0, 5", 0, "", true, false, 0, TFilterCheck::Ok},
        {"5", 31, "1,2", false, false, 0, TFilterCheck::LevelMode},
        {"5", 31, "1,2", true, false, 0, TFilterCheck::Ok},
        {"5", 1, "", true, false, 0, TFilterCheck::LevelValue},
        {"5", 0, "", true, true, 1, TFilterCheck::StopMode},
        {"5", 0, "", true, true, 2, TFilterCheck::StopMode},
        {"5", 0, "", true, true, 0, TFilterCheck::Ok},
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(CheckFilterEditor(c.draws, c.level, c.levelValue, c.numeric, c.multi, c.stop, message),
                  c.expected)
            << c.draws << " " << c.level;
        if (c.expected == TFilterCheck::DrawsLen) {
            EXPECT_EQ(message, "Введен некорректный диапазон значений!");
        }
    }
}

TEST_F(ScenarioTest, RatingNamesBecomeLines) {
    EXPECT_EQ(RatingNameToScriptLine("03.012: мой @ EXCL:10#EXT + TSD#SUMS:10#LMV:3#SF:1 + TSD#NUMS:5#LNO:#SF:0", stats),
              "EXCL:10#EXT|TSD#SUMS:10#LMV:3#SF:1|TSD#NUMS:5#LNO:#SF:0| | | | | |03.012: мой");
    EXPECT_EQ(RatingNameToScriptLine("просто имя", stats), "");
    EXPECT_EQ(RatingNameToScriptLine("FULL#EXT", stats), "");  // no filter
}

}  // namespace
}  // namespace tessara
