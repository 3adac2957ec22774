// Difference, channel, matrix and segment statistics.
#include <gtest/gtest.h>

#include <functional>
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

using test::TwoSegments;

void Width10(TConfigData& c) {
    c.MatrixCols = 10;
    c.ChannelSize = 10;
}

class GeometryTest : public test::StatFixture {
protected:
    std::string Codes(const char* prefix) {
        std::string out;
        for (int i = 0; i < list.Count(); ++i)
            if (list.Items(i).Code().rfind(prefix, 0) == 0 && list.Items(i).Class->HasParams)
                out += list.Items(i).Code() + " ";
        return out;
    }
};

TEST_F(GeometryTest, ValuesOfCombinations) {
    const TCombination diffs{{1, 2, 3, 10, 20, 30}}, channels{{1, 2, 8, 15, 16, 40}},
        columns{{3, 10, 17, 20, 27, 41}}, segments{{5, 9, 20, 22, 30, 41}},
        tens{{1, 11, 21, 31, 41, 42}};
    const struct {
        void (*config)(TConfigData&);
        const char* code;
        TCombination comb;
        const char* values;
        int graph;  // -1: no graph
    } cases[] = {
        {nullptr, "DIFA", diffs, "1*2|7|10*2", -1},
        {nullptr, "DIFM", diffs, "10", 10},
        {nullptr, "DIFD", diffs, "29", 29},
        {nullptr, "DIFO", diffs, "1 x 2|7 x 1|10 x 2", -1},
        {nullptr, "DIFK", diffs, "2", 2},
        {nullptr, "KDS3", diffs, "", -1},  // draws only
        {nullptr, "CHAN", channels, "01 [1-7]*2|02 [8-14]|03 [15-21]*2|06 [36-42]", -1},
        {nullptr, "CHNV", channels,
         "01 [1-7] x 2|02 [8-14] x 1|03 [15-21] x 2|04 [22-28] x 0|05 [29-35] x 0|06 [36-42] x 1",
         -1},
        {nullptr, "CHNC", channels, "4", 4},
        {nullptr, "CHN3", channels, "2", 2},
        {nullptr, "KCM2", channels, "", -1},
        {Width10, "CHAN", tens, "01 [1-10]|02 [11-20]|03 [21-30]|04 [31-40]|05 [41-50]*2", -1},
        {Width10, "CHN5", tens, "2", 2},
        {nullptr, "COLS", columns, "3*3|6*3", -1},
        {nullptr, "COLV", columns, "1 x 0|2 x 0|3 x 3|4 x 0|5 x 0|6 x 3|7 x 0", -1},
        {nullptr, "COLN", columns, "2", 2},
        {nullptr, "COLA", columns, "3 x 3|6 x 2", -1},
        {nullptr, "COLC", columns, "2", 2},
        {nullptr, "COLM", columns, "0010010 (018)", -1},
        {nullptr, "ROWS", columns, "1|2|3*2|4|6", -1},
        {nullptr, "ROWM", columns, "111101 (061)", -1},
        {nullptr, "COL3", columns, "3", 3},
        {nullptr, "ROW3", columns, "2", 2},
        // 7 ends row 1 and 8 starts row 2: only 6-7 and 8-9 touch.
        {nullptr, "ROWA", {{6, 7, 8, 9, 20, 30}}, "1 x 2|2 x 2", -1},
        {nullptr, "ROWC", {{6, 7, 8, 9, 20, 30}}, "2", 2},
        {nullptr, "ROWA", {{7, 8, 20, 30, 33, 40}}, "", -1},
        // Rows 1, 2, 4 and 5 of column 1: two pairs.
        {nullptr, "COLA", {{1, 8, 22, 29, 40, 42}}, "1 x 3", -1},
        {Width10, "COLM", {{1, 2, 13, 24, 35, 42}}, "1111100000 (992)", -1},
        {Width10, "ROWV", {{1, 2, 13, 24, 35, 42}}, "1 x 2|2 x 1|3 x 1|4 x 1|5 x 1", -1},
        {nullptr, "SGMS", segments, "1*6", -1},
        {nullptr, "SGMV", segments, "1 x 6", -1},
        {nullptr, "SGMC", segments, "1", 1},
        {TwoSegments, "SGMS", segments, "1*3|2*3", -1},
        {TwoSegments, "SGMV", segments, "1 x 3|2 x 3", -1},
        {TwoSegments, "SGMC", segments, "2", 2},
        {TwoSegments, "SGM2", segments, "3", 3},
    };
    for (const auto& c : cases) {
        Configure(c.config);
        auto s = Make(c.code);
        TStatDrawArray rows;
        s->AddCombValues(c.comb, rows);
        EXPECT_EQ(Texts(*s, rows), c.values) << c.code;
        if (c.graph >= 0) {
            EXPECT_EQ(s->GraphValue(c.comb, 0, false, 0), c.graph) << c.code;
        }
    }
}

TEST_F(GeometryTest, DrawsInDrawnOrderAndPeriods) {
    archive = {MakeDraw(1, {1, 2, 3, 10, 20, 30}), MakeDraw(5, {5, 6, 7, 14, 24, 34}),
               MakeDraw(6, {40, 2, 39, 5, 12, 30})};
    EXPECT_EQ(DrawValues("KDS3", 0, 2), "1:1:7|1:7:10|7:10:10");
    EXPECT_EQ(DrawValues("KDS2", 2, 2), "38:37|37:34|34:7|7:18");
    EXPECT_EQ(DrawValues("DIFA", 2, 2), "38|37|34|7|18");
    EXPECT_EQ(DrawValues("DIFA", 2, 2, true), "3|7|18|9|1");
    EXPECT_EQ(DrawValues("DIFD", 2, 2), "38");
    EXPECT_EQ(DrawValues("KCS2", 2, 2), "6:1*2|1:6|1:2|2:5");
    EXPECT_EQ(DrawValues("KCS2", 2, 2, true), "1:1|1:2|2:5|5:6|6:6");
    EXPECT_EQ(DrawValues("KFM2", 0, 0), "1:2*2|1:3*2|1:6|2:3*2|2:6|2:2|3:3|3:6*2|3:2*2|6:2");

    // Periods: DIFA tracks its first difference only, the windows their
    // first window only.
    const auto periods = [&](const char* code, StatKey key) {
        auto s = Make(code);
        TStatDrawArray rows;
        TStatScratch scratch{};
        TLastValueArray lastValues;
        for (int i = 0; i <= 1; ++i) s->AddDrawValues(i, 1, false, rows, scratch, lastValues);
        for (const auto& r : rows)
            if (r.Key == key)
                return std::to_string(r.PeriodMin) + "/" + std::to_string(r.PeriodMax);
        return std::string("none");
    };
    EXPECT_EQ(periods("DIFA", MakeKey(1)), "4/4");
    EXPECT_EQ(periods("DIFA", MakeKey(7)), "0/0");
    EXPECT_EQ(periods("KDS3", MakeKey(1, 1, 7)), "4/4");
    EXPECT_EQ(periods("KDS3", MakeKey(1, 7, 10)), "0/0");
    EXPECT_EQ(periods("CHAN", MakeKey(1)), "0/4");  // twice in one draw: a gap of 0
}

TEST_F(GeometryTest, SegmentWindowsAndTheEmptySegment) {
    Configure(TwoSegments);
    archive = {MakeDraw(1, {5, 9, 20, 22, 30, 41})};
    EXPECT_EQ(DrawValues("KGS2", 0, 0), "1:1*2|1:2|2:2*2");

    // Segments 2 and 4 in use: SGM3 is registered and always 0.
    Configure([](TConfigData& c) {
        for (int n = 1; n <= MaxNumber; ++n)
            c.MatrixSegments[static_cast<size_t>(n - 1)] = n <= 21 ? 2 : 4;
    });
    EXPECT_EQ(Codes("SGM"), "SGM2 SGM3 SGM4 ");
    auto sgm3 = Make("SGM3");
    TStatDrawArray rows;
    sgm3->AddCombValues({{1, 2, 3, 40, 41, 42}}, rows);
    EXPECT_EQ(Texts(*sgm3, rows), "0");
    EXPECT_EQ(sgm3->GraphValue({{1, 2, 3, 40, 41, 42}}, 0, false, 0), 0);
}

TEST_F(GeometryTest, RegistrationFollowsTheConfiguration) {
    const struct {
        void (*config)(TConfigData&);
        const char* chn;
        const char* col;
        const char* row;
    } cases[] = {
        {nullptr, "CHN1 CHN2 CHN3 CHN4 CHN5 CHN6 ", "COL1 COL2 COL3 COL4 COL5 COL6 COL7 ",
         "ROW1 ROW2 ROW3 ROW4 ROW5 ROW6 "},
        {Width10, "CHN1 CHN2 CHN3 CHN4 CHN5 ",
         "COL1 COL2 COL3 COL4 COL5 COL6 COL7 COL8 COL9 COL10 ", "ROW1 ROW2 ROW3 ROW4 ROW5 "},
        {[](TConfigData& c) { c.ChannelSize = c.MatrixCols = 0; }, "", "", ""},
        // Beyond the 42 numbers a grid has no more columns.
        {[](TConfigData& c) { c.ChannelSize = c.MatrixCols = 100; }, "CHN1 ",
         "COL1 COL2 COL3 COL4 COL5 COL6 COL7 COL8 COL9 COL10 COL11 COL12 COL13 COL14 COL15 COL16 "
         "COL17 COL18 COL19 COL20 COL21 COL22 COL23 COL24 COL25 COL26 COL27 COL28 COL29 COL30 "
         "COL31 "
         "COL32 COL33 COL34 COL35 COL36 COL37 COL38 COL39 COL40 COL41 COL42 ",
         "ROW1 "},
    };
    for (const auto& c : cases) {
        Configure(c.config);
        EXPECT_EQ(Codes("CHN"), c.chn);
        EXPECT_EQ(Codes("COL"), c.col);
        EXPECT_EQ(Codes("ROW"), c.row);
    }
    Configure(nullptr);
    EXPECT_EQ(Codes("SGM"), "SGM1 ");
    const struct {
        const char* code;
        const char* caption;
        const char* help;
    } captions[] = {
        {"DIFM", "{ dif } Максимальная разность между соседними позициями [ SNG ]", "DIFM"},
        {"DIFD", "{ dif } Разность между минимальным и максимальным числом [ NG ]", "DIFD"},
        {"KDS4", "{ dif } Сочетания из 4 разностей между числами [ S ]", "KDS4"},
        {"CHN3", "{ grp } Количество чисел в 3 канале [ NG ]", "CHNx"},
        {"KCS2", "{ grp } Сочетания из 2 каналов по соседним числам [ S ]", "KCS2"},
        {"COLM", "{ mtx } Сочетания столбцов матрицы [ N ]", "COLM"},
        {"ROW2", "{ mtx } Количество чисел в 2 строке матрицы [ NG ]", "ROWx"},
        {"KRM3", "{ mtx } Сочетания из 3 строк по всем числам тиража [ S ]", "KRM3"},
        {"SGM1", "{ sgm } Количество чисел в 1 сегменте матрицы [ NG ]", "SGMx"},
        {"KGS4", "{ sgm } Сочетания из 4 сегментов по соседним числам [ S ]", "KGS4"},
    };
    for (const auto& c : captions) {
        const int i = list.FindMethod(c.code);
        ASSERT_GE(i, 0) << c.code;
        EXPECT_EQ(list.ListCaption(i, true), c.caption);
        EXPECT_EQ(list.Items(i).Class->HelpCodeFor(list.Items(i).Param), c.help);
    }
}

TEST_F(GeometryTest, PrefilledValues) {
    const struct {
        void (*config)(TConfigData&);
        const char* code;
        size_t rows;
    } cases[] = {
        {nullptr, "DIFA", 41},
        {nullptr, "DIFD", 41},
        {nullptr, "DIFO", 0},
        {nullptr, "DIFK", 5},
        {nullptr, "CHAN", 6},
        {nullptr, "CHNV", 42},
        {nullptr, "CHNC", 6},
        {nullptr, "CHN2", 7},
        {nullptr, "COLS", 7},
        {nullptr, "ROWS", 6},
        {nullptr, "COLV", 49},
        {nullptr, "ROWV", 42},
        {nullptr, "COLN", 6},
        {nullptr, "COL1", 6},
        {nullptr, "ROW1", 7},
        {nullptr, "COLM", 0},
        {nullptr, "COLA", 0},
        {nullptr, "SGMS", 1},
        {nullptr, "SGMV", 0},
        {nullptr, "SGM1", 0},
        {nullptr, "KCM2", 0},
        // Width 10: five channels but counts up to six; columns of five rows.
        {Width10, "CHNC", 6},
        {Width10, "CHNV", 35},
        {Width10, "CHN1", 10},
        {Width10, "COLV", 60},
        {Width10, "ROWV", 35},
        {Width10, "ROWN", 5},
        {TwoSegments, "SGMS", 2},
    };
    for (const auto& c : cases) {
        Configure(c.config);
        auto s = Make(c.code);
        TStatDrawArray rows;
        s->FillAllValues(0, rows);
        EXPECT_EQ(rows.size(), c.rows) << c.code;
        for (const auto& r : rows) EXPECT_EQ(r.Count + r.Depth + r.LastDraw, 0) << c.code;
    }
}

TEST_F(GeometryTest, SelectedValuesThatCombinationsCarry) {
    const struct {
        void (*config)(TConfigData&);
        const char* code;
        StatKey key;
        TCombination comb;
        bool carries;
    } cases[] = {
        // KCM2 1:1: at least two numbers in channel 1.
        {nullptr, "KCM2", MakeKey(1, 1), {{1, 7, 20, 30, 40, 42}}, true},
        {nullptr, "KCM2", MakeKey(1, 1), {{1, 8, 20, 30, 40, 42}}, false},
        {nullptr, "KCM2", MakeKey(1, 1, 1), {{1, 2, 3, 20, 30, 40}}, false},  // a triple
        {nullptr, "KCS2", MakeKey(1, 2), {{1, 8, 20, 30, 40, 42}}, true},
        {nullptr, "KCS2", MakeKey(1, 3), {{1, 8, 20, 30, 40, 42}}, false},
        // DIFO 10 x 2: the gap 10 exactly twice.
        {nullptr, "DIFO", MakeKey(10, 2), {{1, 11, 21, 25, 27, 29}}, true},
        {nullptr, "DIFO", MakeKey(10, 2), {{1, 11, 21, 31, 33, 35}}, false},
        {nullptr, "DIFA", MakeKey(4), {{1, 11, 21, 25, 27, 29}}, true},
        {nullptr, "KDS2", MakeKey(10, 4), {{1, 11, 21, 25, 27, 29}}, true},
        {nullptr, "KDS2", MakeKey(10, 2), {{1, 11, 21, 25, 27, 29}}, false},
        // A count of 0 is carried by every combination without a number there.
        {nullptr, "CHNV", MakeKey(4, 0), {{1, 2, 3, 4, 5, 6}}, true},
        {nullptr, "CHNV", MakeKey(4, 0), {{1, 2, 3, 4, 5, 22}}, false},
        {nullptr, "CHNV", MakeKey(1, 5), {{1, 2, 3, 4, 5, 22}}, true},
        {nullptr, "CHAN", MakeKey(3), {{1, 2, 3, 4, 5, 15}}, true},
        {nullptr, "COLA", MakeKey(3, 3), {{3, 10, 17, 20, 27, 41}}, true},
        {nullptr, "COLA", MakeKey(6, 3), {{3, 10, 17, 20, 27, 41}}, false},
        {nullptr, "COLM", MakeIntKey(18), {{3, 10, 17, 20, 27, 41}}, true},
        {nullptr, "ROWV", MakeKey(6, 0), {{3, 10, 17, 20, 27, 40}}, false},
        {nullptr, "KFS3", MakeKey(3, 3, 3), {{3, 10, 17, 20, 27, 41}}, true},
        {TwoSegments, "SGMV", MakeKey(2, 0), {{1, 2, 3, 4, 5, 6}}, true},
        {TwoSegments, "SGMV", MakeKey(2, 0), {{1, 2, 3, 4, 5, 22}}, false},
        {TwoSegments, "SGMV", MakeKey(3, 0), {{1, 2, 3, 4, 5, 6}}, false},  // not in use
        {TwoSegments, "KGS2", MakeKey(1, 2), {{5, 9, 20, 22, 30, 41}}, true},
        {TwoSegments, "KGM3", MakeKey(1, 2, 1), {{5, 9, 20, 22, 30, 41}}, false},
        {TwoSegments, "SGMC", MakeKey(1), {{22, 23, 24, 25, 26, 27}}, true},
    };
    for (const auto& c : cases) {
        Configure(c.config);
        auto s = Make(c.code);
        EXPECT_EQ(s->CombMatches(c.comb, {Selected(c.key)}, 0, false, false), c.carries) << c.code;
        std::vector<TCombination> out(1);
        EXPECT_EQ(s->FilterCombs(&c.comb, 1, out.data(), {Selected(c.key)}, 0, false, false),
                  c.carries ? 1 : 0)
            << c.code;
    }
}

TEST_F(GeometryTest, ValueTextsParseBack) {
    EXPECT_EQ(Make("CHAN")->ParseValue("01 [1-7]"), 1);
    EXPECT_EQ(Make("CHNV")->ParseValue("02 [8-14] x 3"), 0);  // not a plain integer
    EXPECT_EQ(Make("COLM")->ParseValue("0010010 (018)"), 18);
    EXPECT_EQ(Make("ROWM")->ParseValue("1"), 32);  // the missing rows read as 0

    // Masks wider than 32 columns keep every column: columns 1 and 2 differ
    // only in the second half of the key.
    Configure([](TConfigData& c) { c.MatrixCols = 40; });
    auto colm = Make("COLM");
    TStatDrawArray rows;
    colm->AddCombValues({{1, 10, 11, 12, 13, 14}}, rows);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(colm->ValueToText(rows[0]),
              "1000000001111100000000000000000000000000 (551836188672)");
    EXPECT_EQ(colm->TextToValue(colm->ValueToText(rows[0])), 2080374784);  // the first half
    EXPECT_TRUE(colm->CombMatches({{1, 10, 11, 12, 13, 14}}, rows, 0, false, false));
    EXPECT_FALSE(colm->CombMatches({{2, 10, 11, 12, 13, 14}}, rows, 0, false, false));
    // One column: 42 rows.
    Configure([](TConfigData& c) { c.MatrixCols = 1; });
    auto rowm = Make("ROWM");
    rows.clear();
    rowm->AddCombValues({{1, 2, 3, 4, 5, 42}}, rows);
    EXPECT_EQ(rowm->ValueToText(rows[0]),
              "111110000000000000000000000000000000000001 (4260607557633)");
}

TEST_F(GeometryTest, FiltersAgreeWithTheirTests) {
    // The fast filtering paths must keep exactly what CombMatches accepts.
    archive = RandomDraws(40, 20240612);
    std::vector<TCombination> combs = test::SampledCombinations(397);  // and the draws
    for (TDrawRecord d : archive) {
        SortDrawNumbers(d);
        combs.push_back(DrawToComb(d));
    }
    const int last = 38;
    const struct {
        void (*config)(TConfigData&);
        std::vector<const char*> codes;
    } cases[] = {
        {TwoSegments,
         {"DIFA", "DIFM", "DIFD", "DIFO", "DIFK", "KDS2", "KDS3", "CHAN", "CHNV", "CHNC", "CHN2",
          "KCM2", "KCS3", "COLS", "ROWV", "COLN", "COLM", "ROWM", "COLA", "ROWA", "COLC", "ROWC",
          "KFM3", "KRS2", "COL3", "SGMS", "SGMV", "SGMC", "SGM2", "KGM3", "KGS2", "KGM4"}},
        {Width10, {"CHNV", "COLV", "ROWV", "COLM", "COLA", "KCM4"}},
        {[](TConfigData& c) { c.MatrixCols = 36; }, {"COLM", "COLV", "ROWA"}},
        {[](TConfigData& c) { c.MatrixCols = 1; }, {"ROWM", "ROWV", "COLA"}},
    };
    for (const auto& cs : cases) {
        Configure(cs.config);
        for (const char* code : cs.codes) {
            auto stat = Make(code);
            const TStatDrawArray values = SampleRows(*stat, last, true, true);
            // A few values that split the combinations, and many (which may
            // match them all); both with a key no combination carries.
            TStatDrawArray few, many;
            for (size_t i = 0; i < values.size(); i += 3)
                (few.size() < 4 ? few : many).push_back(values[i]);
            few.push_back(Selected(MakeKey(70, 80, 90, 100)));
            many.insert(many.end(), few.begin(), few.end());
            for (const TStatDrawArray* sel : {&few, &many})
                for (bool exclude : {false, true}) {
                    const int64_t kept = ExpectFilterAgrees(*stat, combs, *sel, last, exclude, code);
                    if (sel == &few) {
                        EXPECT_GT(kept, 0) << code << " " << exclude;
                    }
                }
        }
    }
}

}  // namespace
}  // namespace tessara
