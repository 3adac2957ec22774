// Sequence, repeat, combination-value and characteristic-number statistics.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "model/game.h"
#include "stats/stat_list.h"
#include "stat_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;
using test::RandomDraws;
using test::Selected;

class FamilyTest : public test::StatFixture {
protected:
    bool Matches(const char* code, TCombination c, StatKey key, int refIndex = 0) {
        return Make(code)->CombMatches(c, {Selected(key)}, refIndex, false, false);
    }
};

TEST_F(FamilyTest, RegisteredCodesCaptionsAndFeatures) {
    const struct {
        const char* code;
        const char* caption;
    } cases[] = {
        {"LENS", "{ seq } Макс. длина последовательности в тираже [ SNG ]"},
        {"SEQL", "{ seq } Длина последовательности в тираже [ SN ]"},
        {"PRV2O3", "{ rep } Повторяющиеся числа в 2-х тиражах через 3 тираж(а) [ D ]"},
        {"PRV-2", "{ rep } Данные предыдущего тиража - 2 [ D ]"},
        {"RPO1", "{ rep } Количество повторов в 2-х тиражах через 1 тираж(а) [ D ]"},
        {"PRC+1", "{ rep } Количество совпадений \"значений + 1\" [ D ]"},
        {"KNM3", "{ num } Сочетания из 3 чисел по всем числам тиража [ S ]"},
        {"KNS2", "{ num } Сочетания из 2 соседних чисел тиража [ S ]"},
        {"KNP34", "{ num } Сочетания из 3-х чисел тиража начиная с 4 позиции [ S ]"},
        {"HCV2", "{ vrl } Число Варлена 2 (разность + сложение, если {0,1}) [ SNG ]"},
        {"HCV3", "{ vrl } Числа Варлена 3 (динамический, только фильтр) [ SD ]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.ListCaption(list.FindMethod(c.code), true), c.caption) << c.code;
    EXPECT_LT(list.FindMethod("PRC2O1"), 0);  // the over-1 count is RPO1
    EXPECT_LT(list.FindMethod("KNP26"), 0);
    EXPECT_EQ(list.Items(list.FindMethod("KNP43")).Class->HelpCodeFor(3), "KNP4");
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_EQ(std::string(list.Items(i).Class->ClassName).find("TstCombValSort"),
                  std::string::npos);
    EXPECT_EQ(Make("KNM2")->ParseValue("3:17"), 0);
    EXPECT_EQ(Make("HCV3")->ParseValue("3"), 0);
    EXPECT_EQ(Make("RPC2")->ParseValue("3"), 3);
}

TEST_F(FamilyTest, SequenceRunsAndGraphValues) {
    const struct {
        const char* code;
        TCombination numbers;
        const char* values;
        int graph;  // -1: no graph
    } cases[] = {
        {"SEQL", {{1, 2, 3, 10, 20, 30}}, "3|1*3", -1},
        {"SEQL", {{1, 2, 3, 4, 5, 6}}, "6", -1},
        {"SEQL", {{1, 3, 5, 7, 9, 11}}, "1*6", -1},
        {"SEQS", {{1, 2, 3, 4, 5, 6}}, "1", 1},
        {"SEQS", {{1, 3, 5, 7, 9, 11}}, "0", 0},
        {"SEQS", {{1, 2, 4, 5, 7, 8}}, "3", 3},
        {"LENS", {{1, 2, 3, 4, 5, 6}}, "6", 6},
        {"LENS", {{1, 3, 5, 7, 9, 11}}, "1", 0},
        {"LENS", {{1, 5, 6, 10, 20, 30}}, "2", 2},
        // Stored unsorted: 6-5 is a step down, which only the graphs count.
        {"SEQL", {{6, 5, 10, 11, 30, 31}}, "1*2|2*2", -1},
        {"SEQS", {{6, 5, 10, 11, 30, 31}}, "2", 3},
        {"LENS", {{7, 6, 5, 10, 11, 30}}, "2", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CombValues(c.code, c.numbers), c.values) << c.code;
        if (c.graph >= 0) {
            EXPECT_EQ(Make(c.code)->GraphValue(c.numbers, 0, false, 0), c.graph) << c.code;
        }
    }
    EXPECT_TRUE(Matches("LENS", {{1, 5, 6, 10, 20, 30}}, MakeKey(2)));
    EXPECT_TRUE(Matches("SEQL", {{1, 2, 3, 10, 20, 30}}, MakeKey(1)));
    EXPECT_FALSE(Matches("SEQL", {{1, 2, 3, 10, 20, 30}}, MakeKey(2)));

    archive = {MakeDraw(1, {6, 5, 10, 11, 30, 31})};
    EXPECT_EQ(DrawValues("SEQS", 0, 0), "2");
    EXPECT_EQ(DrawValues("SEQS", 0, 0, true), "3");
    EXPECT_EQ(Make("SEQS")->DrawGraphValue(0, 0, false), 3);
    EXPECT_EQ(FilledValues("SEQS", 0), "0*0|1*0|2*0|3*0");
    EXPECT_EQ(FilledValues("LENS", 0), "1*0|2*0|3*0|4*0|5*0|6*0");
}

class RepeatTest : public FamilyTest {
protected:
    RepeatTest() {
        archive = {MakeDraw(1, {1, 12, 25, 30, 40, 42}), MakeDraw(2, {12, 2, 20, 31, 41, 5}),
                   MakeDraw(3, {12, 20, 1, 33, 42, 7}), MakeDraw(4, {12, 4, 20, 1, 35, 9})};
    }
};

TEST_F(RepeatTest, DrawValuesAgainstEarlierDraws) {
    const struct {
        const char* code;
        int draw, last;
        const char* values;
    } cases[] = {
        // The first draw has no previous draw: nothing, or a count of 0 even
        // for the shifted members.
        {"RPV2", 0, 3, ""},
        {"RPC2", 0, 3, "0"},
        {"PRC+1", 0, 3, "0"},
        {"PRV+1", 0, 3, ""},
        // 12 is in draws 1, 2 and the newest; 1 is not in draw 2.
        {"RPV2", 1, 3, "12"},
        {"RPC2", 1, 3, "1"},
        // Draw 1 plus one is 2 13 26 31 41 1 (42 wraps); the newest plus one
        // holds 2.
        {"PRV+1", 1, 3, "2"},
        {"PRC+1", 1, 3, "3"},
        {"PRV2O1", 2, 3, "1|12"},
        {"RPO1", 2, 3, "3"},
        {"PRV2O3", 2, 3, ""},  // four back is outside the archive
        {"RPV3", 2, 3, "12"},
        {"PRL2", 2, 3, "20"},
        {"RPC3", 2, 3, "1"},
        {"PRB2", 2, 3, "1"},
        {"RPV3", 1, 3, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DrawValues(c.code, c.draw, c.last), c.values) << c.code << " " << c.draw;
}

TEST_F(RepeatTest, TablesListTheNewestDrawShifted) {
    const struct {
        const char* code;
        const char* values;
    } cases[] = {
        {"RPV2", "1*0|12*0|25*0|30*0|40*0|42*0"},   {"PRV+1", "2*0|13*0|26*0|31*0|41*0|1*0"},
        {"PRV-2", "41*0|10*0|23*0|28*0|38*0|40*0"}, {"PRV2O2", "1*0|12*0|25*0|30*0|40*0|42*0"},
        {"RPV3", "1*0|12*0|25*0|30*0|40*0|42*0"},   {"PRL2", "1*0|12*0|25*0|30*0|40*0|42*0"},
        {"RPC2", "1*0|2*0|3*0|4*0|5*0|6*0"},        {"PRB2", "1*0|2*0|3*0|4*0|5*0|6*0"},
    };
    for (const auto& c : cases) EXPECT_EQ(FilledValues(c.code, 0), c.values) << c.code;
}

TEST_F(RepeatTest, FilteringAgainstTheLastVisibleDraws) {
    const struct {
        const char* code;
        TCombination comb;
        int count;
    } cases[] = {
        {"RPC2", {{1, 4, 12, 30, 31, 32}}, 3},    // the last visible draw itself
        {"PRC2O2", {{2, 5, 12, 13, 14, 15}}, 3},  // three draws before the predicted one
        {"PRC2O2", {{1, 4, 9, 13, 14, 15}}, 0},
        {"PRC-1",
         {{11, 19, 34, 39, 40, 41}},
         3},                                     // the last visible draw less one: 11 3 19 42 34 8
        {"RPC3", {{1, 12, 20, 30, 31, 32}}, 3},  // in both of the last two visible draws
        {"PRB2", {{4, 9, 10, 11, 12, 13}}, 2},   // in the last, not in the one before
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Matches(c.code, c.comb, MakeKey(static_cast<uint16_t>(c.count)), 3)) << c.code;
        EXPECT_FALSE(Matches(c.code, c.comb, MakeKey(static_cast<uint16_t>(c.count + 1)), 3))
            << c.code;
    }
    // The values members select numbers, whatever their shift.
    EXPECT_TRUE(Matches("PRV+1", {{1, 2, 3, 4, 5, 41}}, MakeKey(41), 3));
    EXPECT_FALSE(Matches("PRV+1", {{1, 2, 3, 4, 5, 6}}, MakeKey(41), 3));
}

TEST_F(FamilyTest, CombinationValuesOfADraw) {
    const TCombination draw{{4, 9, 15, 22, 30, 41}};
    const struct {
        const char* code;
        const char* values;
    } cases[] = {
        {"KNM2", "4:9|4:15|4:22|4:30|4:41|9:15|9:22|9:30|9:41|15:22|15:30|15:41|22:30|22:41|30:41"},
        {"KNS2", "4:9|9:15|15:22|22:30|30:41"},
        {"KNS4", "4:9:15:22|9:15:22:30|15:22:30:41"},
        {"KNP23", "15:22"},
        {"KNP34", "22:30:41"},
        {"KNP41", "4:9:15:22"},
    };
    for (const auto& c : cases) EXPECT_EQ(CombValues(c.code, draw), c.values) << c.code;
    const std::string knm3 = CombValues("KNM3", draw), knm4 = CombValues("KNM4", draw);
    EXPECT_EQ(std::count(knm3.begin(), knm3.end(), '|'), 19);
    EXPECT_EQ(knm3.substr(0, 16), "4:9:15|4:9:22|4:");
    EXPECT_EQ(knm4.substr(knm4.rfind('|') + 1), "15:22:30:41");
    EXPECT_EQ(std::count(knm4.begin(), knm4.end(), '|'), 14);

    // Stored in drawn order the neighbours differ from the sorted ones.
    archive = {MakeDraw(1, {22, 4, 41, 9, 30, 15})};
    EXPECT_EQ(DrawValues("KNS2", 0, 0), "22:4|4:41|41:9|9:30|30:15");
    EXPECT_EQ(DrawValues("KNS2", 0, 0, true), "4:9|9:15|15:22|22:30|30:41");
    EXPECT_FALSE(Matches("KNS2", {{4, 9, 15, 22, 30, 41}}, MakeKey(22, 4)));
    EXPECT_TRUE(Matches("KNS2", {{4, 9, 15, 22, 30, 41}}, MakeKey(4, 9)));
    EXPECT_FALSE(Matches("KNS2", {{4, 8, 9, 22, 30, 41}}, MakeKey(4, 9)));
    EXPECT_TRUE(Matches("KNM3", {{1, 4, 15, 20, 30, 42}}, MakeKey(4, 15, 30)));
    EXPECT_FALSE(Matches("KNM3", {{1, 4, 15, 20, 31, 42}}, MakeKey(4, 15, 30)));
    EXPECT_FALSE(Matches("KNP23", {{4, 9, 15, 22, 30, 41}}, MakeKey(9, 15)));
    EXPECT_EQ(FilledValues("KNM2", 0), "");
}

TEST_F(FamilyTest, CharacteristicNumbers) {
    const struct {
        TCombination numbers;
        const char *hcv1, *hcv2, *hcv3;
    } cases[] = {
        {{{4, 9, 15, 22, 30, 41}}, "2", "2", "2"},
        {{{2, 5, 11, 20, 31, 40}}, "0", "2", "2"},
        {{{5, 6, 8, 12, 20, 36}}, "1", "3", "3 (1)"},
        {{{1, 2, 3, 4, 5, 6}}, "0", "0", "0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CombValues("HCV1", c.numbers), c.hcv1);
        EXPECT_EQ(CombValues("HCV2", c.numbers), c.hcv2);
        EXPECT_EQ(std::to_string(Make("HCV2")->GraphValue(c.numbers, 0, false, 0)), c.hcv2);
        archive = {MakeDraw(1, {c.numbers[0], c.numbers[1], c.numbers[2], c.numbers[3],
                                c.numbers[4], c.numbers[5]})};
        const std::string hcv3 = DrawValues("HCV3", 0, 0);
        EXPECT_EQ(hcv3.substr(0, hcv3.find('*')), c.hcv3);
    }
    EXPECT_TRUE(Matches("HCV1", {{4, 9, 15, 22, 30, 41}}, MakeKey(2)));
    EXPECT_TRUE(Matches("HCV3", {{3, 9, 15, 22, 30, 41}}, MakeKey(3, 1, 0, 2)));
}

TEST_F(FamilyTest, DynamicCharacteristicRows) {
    const TDrawRecord next = MakeDraw(9, {7, 14, 42, 8, 1, 30});
    const struct {
        TDrawRecord draw;
        const char* rows;  // counted against the next draw
    } cases[] = {
        {MakeDraw(1, {1, 2, 3, 4, 5, 13}), "7|42|35*0|28*0|21*0|14"},  // f = 7
        {MakeDraw(1, {4, 9, 15, 22, 30, 41}), "2*0|8|6*0|4*0"},        // f = 2
        {MakeDraw(1, {1, 2, 3, 4, 5, 7}), "1 (1)"},                    // f = 1 from 0, 1
        {MakeDraw(1, {1, 2, 3, 4, 5, 6}), "0*0"},                      // f = 0
    };
    for (const auto& c : cases) {
        archive = {c.draw, next};
        EXPECT_EQ(DrawValues("HCV3", 0, 0), c.rows);
        // Only the newest draw of the sample has values; with no draw after
        // the sample nothing has come out yet.
        EXPECT_EQ(DrawValues("HCV3", 0, 1), "");
        archive = {next, c.draw};
        auto hcv3 = Make("HCV3");
        TStatDrawArray rows;
        TStatScratch scratch{};
        TLastValueArray lastValues;
        hcv3->AddDrawValues(1, 1, false, rows, scratch, lastValues);
        EXPECT_FALSE(rows.empty());
        for (const TStatDraw& r : rows) EXPECT_EQ(r.Count, 0);
    }
}

TEST_F(FamilyTest, FiltersAgreeWithTheirTests) {
    // The fast filtering paths must keep exactly what CombMatches accepts.
    archive = RandomDraws(40, 20240611);
    // Every 997th combination, and the draws themselves so that the rarer
    // groups of numbers are met too.
    std::vector<TCombination> combs = test::SampledCombinations(997);
    for (TDrawRecord d : archive) {
        SortDrawNumbers(d);
        combs.push_back(DrawToComb(d));
    }
    const int last = 38;
    for (const char* code :
         {"SEQL", "SEQS", "LENS", "RPV2", "PRV+1", "RPC2", "PRC2O2", "PRC-2", "RPC3", "PRB2",
          "KNM2", "KNM3", "KNM4", "KNS3", "KNP23", "KNP41", "HCV1", "HCV2", "HCV3"}) {
        auto stat = Make(code);
        const TStatDrawArray values = SampleRows(*stat, last, true, true);
        TStatDrawArray sel;
        for (size_t i = 0; i < values.size() && sel.size() < 40; i += 3) sel.push_back(values[i]);
        ASSERT_FALSE(sel.empty()) << code;
        // A key no combination carries sends the pair tables to the plain path.
        TStatDrawArray odd = sel;
        odd.push_back(Selected(MakeKey(70)));
        stat->LoadDraws(-1, last, false);
        for (const TStatDrawArray* s : {&sel, &odd})
            for (bool exclude : {false, true})
                EXPECT_GT(ExpectFilterAgrees(*stat, combs, *s, last, exclude, code), 0) << code;
    }
}

}  // namespace
}  // namespace tessara
