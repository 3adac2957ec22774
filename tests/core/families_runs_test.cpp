// Serial and period statistics: values carried from draw to draw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/game.h"
#include "stat_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;
using test::RandomDraws;
using test::Selected;

void SegmentsByHalf(TConfigData& c, uint8_t low, uint8_t high) {
    for (int n = 1; n <= MaxNumber; ++n)
        c.MatrixSegments[static_cast<size_t>(n - 1)] = n <= 21 ? low : high;
}

class RunStatTest : public test::StatFixture {
protected:
    // The value table of the sample first..last, one computation as the
    // value table runs it: "text@last draw/depth", "*count" when not 1.
    std::string Table(const char* code, int last, int first = 0) {
        auto s = Make(code);
        TStatDrawArray rows;
        TStatScratch scratch{};
        TLastValueArray lastValues;
        s->FillAllValues(last, rows);
        for (int i = first; i <= last; ++i)
            s->AddDrawValues(i, last, false, rows, scratch, lastValues);
        std::string out;
        for (const TStatDraw& r : rows) {
            if (!out.empty()) out += "|";
            out += s->ValueToText(r) + "@" + std::to_string(r.LastDraw) + "/" +
                   std::to_string(r.Depth);
            if (r.Count != 1) out += "*" + std::to_string(r.Count);
        }
        return out;
    }
    // Which of the combinations survive the filter step with one selected
    // row, as "+" or "-" per combination.
    std::string Survivors(const char* code, StatKey key, int refIndex, bool exclude,
                          std::vector<TCombination> combs) {
        auto s = Make(code);
        s->LoadDraws(-1, refIndex, false);
        std::vector<TCombination> out(combs.size());
        const int64_t kept = s->FilterCombs(combs.data(), static_cast<int64_t>(combs.size()),
                                            out.data(), {Selected(key)}, refIndex, false, exclude);
        std::string marks;
        size_t k = 0;
        for (const TCombination& c : combs) {
            const bool survived = k < static_cast<size_t>(kept) && out[k] == c;
            k += survived;
            marks += survived ? "+" : "-";
        }
        return marks;
    }
};

TEST_F(RunStatTest, RegisteredInOrderWithTextValues) {
    const struct {
        const char* code;
        const char* caption;
        StatKey key;
        const char* text;
    } cases[] = {
        {"GRPV", "{ ser } Повторы чисел в нескольких тиражах подряд [ D ]", MakeKey(5, 3), "5 x 3"},
        {"GRPP", "{ ser } Интервалы между повторениями чисел [ D ]", MakeKey(41, 12), "41 x 12"},
        {"GRCV", "{ ser } Повторы каналов в нескольких тиражах подряд [ D ]", MakeKey(3, 2),
         "03 x 2"},
        {"GRCP", "{ ser } Интервалы между повторениями каналов [ D ]", MakeKey(11, 1), "11 x 1"},
        {"GRSV", "{ ser } Повторы сегментов в нескольких тиражах подряд [ D ]", MakeKey(2, 4),
         "2 x 4"},
        {"GRSP", "{ ser } Интервалы между повторениями сегментов [ D ]", MakeKey(9, 2), "9 x 2"},
        {"PRDV", "{ per } Периоды повторения чисел [ P ]", MakeKey(5, 7), "5 x 7"},
        {"PRDC", "{ per } Периоды повторения каналов [ P ]", MakeKey(3, 2), "03 x 2"},
        {"PRDG", "{ per } Периоды повторения сегментов [ P ]", MakeKey(2, 1), "2 x 1"},
    };
    int previous = list.FindMethod("SGM1");
    for (const auto& c : cases) {
        const int i = list.FindMethod(c.code);
        EXPECT_EQ(i, previous + 1) << c.code;
        previous = i;
        EXPECT_EQ(list.ListCaption(i, true), c.caption) << c.code;
        auto s = Make(c.code);
        TStatDraw row{};
        row.Key = c.key;
        EXPECT_EQ(s->ValueToText(row), c.text);
        EXPECT_EQ(s->ParseValue("5"), 0) << c.code;  // no plain integers
    }
}

TEST_F(RunStatTest, SerialRunsEndingAtTheNewestDraw) {
    const std::vector<TDrawRecord> rising = {
        MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {7, 8, 9, 10, 11, 12}),
        MakeDraw(3, {7, 13, 14, 15, 16, 17}), MakeDraw(4, {7, 18, 19, 20, 21, 22})};
    const std::vector<TDrawRecord> broken = {
        MakeDraw(1, {7, 8, 30, 31, 32, 33}), MakeDraw(2, {7, 8, 34, 35, 36, 37}),
        MakeDraw(3, {8, 38, 39, 40, 41, 42}), MakeDraw(4, {7, 8, 9, 10, 11, 12})};
    const std::vector<TDrawRecord> away = {
        MakeDraw(1, {7, 8, 10, 11, 12, 13}), MakeDraw(2, {8, 10, 11, 12, 20, 21}),
        MakeDraw(3, {8, 10, 11, 12, 22, 23}), MakeDraw(4, {8, 10, 11, 12, 24, 25}),
        MakeDraw(5, {8, 10, 11, 12, 26, 27}), MakeDraw(6, {7, 8, 9, 10, 11, 12})};
    const struct {
        const std::vector<TDrawRecord>* draws;
        const char* code;
        int first;
        const char* table;
    } cases[] = {
        // 7 in the three newest draws only; 8..17 ended their runs before
        // the newest draw and are not in it, so they have no rows.
        {&rising, "GRPV", 0, "7 x 3@4/1|18 x 1@4/1|19 x 1@4/1|20 x 1@4/1|21 x 1@4/1|22 x 1@4/1"},
        // A finished run keeps its own last draw and depth.
        {&broken, "GRPV", 0,
         "7 x 2@2/3|7 x 1@4/1|8 x 4@4/1|9 x 1@4/1|10 x 1@4/1|11 x 1@4/1|12 x 1@4/1"},
        // 7 stayed away four draws; 9 was away from every earlier draw; the
        // numbers present throughout have no pauses.
        {&away, "GRPP", 0, "7 x 4@5/2|9 x 5@5/2"},
        // Draws before the sample are not looked at.
        {&away, "GRPP", 1, "7 x 4@5/2|9 x 4@5/2"},
        // Channels of width 7: 1-6 in channel 1 counts once per draw.
        {&rising, "GRCV", 0, "01 x 4@4/1|03 x 2@4/1|04 x 1@4/1"},
        {&rising, "GRCP", 0, "03 x 2@2/3|04 x 3@3/2"},
        // The default table puts every number in segment 1.
        {&rising, "GRSV", 0, "1 x 4@4/1"},
        {&rising, "GRSP", 0, ""},
    };
    for (const auto& c : cases) {
        archive = *c.draws;
        EXPECT_EQ(Table(c.code, static_cast<int>(archive.size()) - 1, c.first), c.table)
            << c.code << " " << c.first;
    }

    // 1..21 in segment 2, 22..42 in segment 1.
    archive = rising;
    SegmentsByHalf(config, 2, 1);
    EXPECT_EQ(Table("GRSV", 3), "1 x 1@4/1|2 x 4@4/1");
    EXPECT_EQ(Table("GRSP", 3), "1 x 3@3/2");
}

TEST_F(RunStatTest, SegmentZeroKeepsItsCounterInsideTheScratchArea) {
    // A hand-edited configuration may hold the digit 0; segment 0 then has a
    // run of its own, and no counter may fall outside the caller's area.
    SegmentsByHalf(config, 0, 1);
    archive = {MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {7, 8, 9, 10, 11, 12}),
               MakeDraw(3, {7, 13, 14, 15, 16, 17}), MakeDraw(4, {7, 18, 19, 20, 21, 22})};
    EXPECT_EQ(Table("GRSV", 3), "0 x 4@4/1|1 x 1@4/1");
    EXPECT_EQ(Table("GRSP", 3), "1 x 3@3/2");

    struct {
        uint64_t before[4] = {};
        TStatScratch scratch{};
        uint64_t after[4] = {};
    } guarded;
    auto s = Make("GRSV");
    TStatDrawArray rows;
    TLastValueArray lastValues;
    for (int i = 0; i <= 3; ++i) s->AddDrawValues(i, 3, false, rows, guarded.scratch, lastValues);
    for (uint64_t g : guarded.before) EXPECT_EQ(g, 0u);
    for (uint64_t g : guarded.after) EXPECT_EQ(g, 0u);
}

TEST_F(RunStatTest, PeriodsBetweenOccurrences) {
    const struct {
        std::vector<TDrawRecord> draws;
        const char* code;
        const char* table;
    } cases[] = {
        // The period is the difference of draw numbers; numbers seen once
        // have none.
        {{MakeDraw(100, {12, 1, 2, 3, 4, 5}), MakeDraw(104, {6, 7, 12, 8, 9, 10}),
          MakeDraw(111, {11, 13, 14, 15, 16, 12})},
         "PRDV", "12 x 4@104/2|12 x 7@111/1"},
        // 3 and 5 share channel 1: one row for the draw, not two.
        {{MakeDraw(1, {6, 15, 16, 17, 18, 19}), MakeDraw(2, {3, 5, 22, 23, 24, 25})},
         "PRDC", "01 x 1@2/1"},
        {{MakeDraw(1, {6, 15, 16, 17, 18, 19}), MakeDraw(2, {3, 5, 22, 23, 24, 25}),
          MakeDraw(3, {30, 31, 32, 33, 34, 35})},
         "PRDG", "1 x 1@3/1*2"},
    };
    for (const auto& c : cases) {
        archive = c.draws;
        EXPECT_EQ(Table(c.code, static_cast<int>(archive.size()) - 1), c.table) << c.code;
    }
}

TEST_F(RunStatTest, PeriodFilterLooksAtTheDrawPeriodBeforeThePrediction) {
    // Six draws, R = 5: the row 12 x 4 looks at the draw at R - 3.
    const auto draws = [](bool twelveAtRMinus3) {
        TDrawsArray d;
        for (int no = 1; no <= 6; ++no)
            d.push_back(MakeDraw(no, {no, 20, 21, 22, 23, 24}));
        if (twelveAtRMinus3) d[2].Numbers[5] = 12;
        return d;
    };
    const std::vector<TCombination> combs = {{{12, 13, 14, 15, 16, 17}}, {{1, 2, 3, 4, 5, 6}}};
    const struct {
        bool twelveThere;
        int period;
        bool exclude;
        const char* survivors;  // with 12, without 12
    } cases[] = {
        {true, 4, false, "+-"},
        {false, 4, false, "--"},
        {true, 4, true, "++"},
        {false, 4, true, "-+"},
        // Period 7 reaches before the archive: no draw, no value.
        {true, 7, false, "--"},
        {true, 7, true, "-+"},
    };
    for (const auto& c : cases) {
        archive = draws(c.twelveThere);
        const StatKey key = MakeKey(12, static_cast<uint16_t>(c.period));
        EXPECT_EQ(Survivors("PRDV", key, 5, c.exclude, combs), c.survivors)
            << c.twelveThere << " " << c.period << " " << c.exclude;
    }

    // The zeros of a draw outside the archive are no segment 0 either.
    SegmentsByHalf(config, 0, 1);
    archive = draws(true);
    EXPECT_EQ(Survivors("PRDG", MakeKey(0, 7), 5, false, combs), "--");
    EXPECT_EQ(Survivors("PRDG", MakeKey(0, 6), 5, false, combs), "++");
}

TEST_F(RunStatTest, FiltersAgreeWithTheirTests) {
    archive = RandomDraws(40, 20240612);
    // Enough channels and segments that a selection leaves some out.
    config.ChannelSize = 3;
    const auto segmentOf = [](int n) { return n * 7 % 9 + 1; };
    for (int n = 1; n <= MaxNumber; ++n)
        config.MatrixSegments[static_cast<size_t>(n - 1)] = static_cast<uint8_t>(segmentOf(n));
    std::vector<TCombination> combs = test::SampledCombinations(1499);
    const int last = 38;
    for (const char* code :
         {"GRPV", "GRPP", "GRCV", "GRCP", "GRSV", "GRSP", "PRDV", "PRDC", "PRDG"}) {
        auto stat = Make(code);
        const TStatDrawArray values = SampleRows(*stat, last, false, false);
        TStatDrawArray sel;
        for (size_t i = 0; i < values.size() && sel.size() < 6; i += 5) sel.push_back(values[i]);
        // A period whose draw holds its value, one reaching before the
        // archive, and a value no number has.
        const int n = archive[static_cast<size_t>(last - 3)].Numbers[0];
        const std::string name = code;
        const char kind = name == "PRDC" || name.starts_with("GRC")   ? 'C'
                          : name == "PRDG" || name.starts_with("GRS") ? 'G'
                                                                      : 'V';
        const auto value = static_cast<uint16_t>(kind == 'C' ? NumberGroup(n, 3)
                                                 : kind == 'G' ? segmentOf(n)
                                                               : n);
        sel.push_back(Selected(MakeKey(value, 4)));
        sel.push_back(Selected(MakeKey(values.empty() ? 1 : values.back().Key.w[0], 45)));
        sel.push_back(Selected(MakeKey(70, 1)));
        stat->LoadDraws(-1, last, false);
        for (bool exclude : {false, true}) {
            const int64_t kept = ExpectFilterAgrees(*stat, combs, sel, last, exclude, code);
            EXPECT_GT(kept, 0) << code;
            EXPECT_LT(kept, static_cast<int64_t>(combs.size())) << code;
        }
    }
}

}  // namespace
}  // namespace tessara
