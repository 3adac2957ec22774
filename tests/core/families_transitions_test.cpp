// Transition statistics.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

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

// "SDN1 SDN2 ... SDN6 "
std::string SixCodes(const std::string& prefix) {
    std::string out;
    for (int p = 1; p <= BallsInDraw; ++p) out += prefix + std::to_string(p) + " ";
    return out;
}

class TransitionTest : public test::StatFixture {
protected:
    // Codes of the registered methods of the family, in order.
    std::string Codes(const std::string& prefix = {}) {
        std::string out;
        for (int i = 0; i < list.Count(); ++i)
            if (list.Items(i).Class->Group == 10 && list.Items(i).Code().rfind(prefix, 0) == 0)
                out += list.Items(i).Code() + " ";
        return out;
    }
    bool Matches(const char* code, StatKey key, TCombination c, int refIndex) {
        auto s = Make(code);
        s->LoadDraws(-1, refIndex, false);
        return s->CombMatches(c, {Selected(key)}, refIndex, false, false);
    }
};

TEST_F(TransitionTest, RegisteredCodesCaptionsAndHelpCodes) {
    EXPECT_EQ(Codes(), "SDV2 SDP2 " + SixCodes("SDN") + "SDP3 " + SixCodes("SDM") + "SCV2 SCP2 " +
                           SixCodes("SCN") + "SCP3 " + SixCodes("SCM") + SixCodes("SC2C") +
                           SixCodes("SC3C") + "SDA2 SDG2 SDZ2 SDC2 SSV2 SSP2 " + SixCodes("SSN") +
                           "SSP3 " + SixCodes("SSM") + "SS2C1 SS3C1 ");
    const struct {
        const char* code;
        const char* caption;
        const char* help;
    } cases[] = {
        {"SDV2", "{ mov } Переходы чисел между 2 тиражами без учета позиции [ D ]", "SDV2"},
        {"SDP3", "{ mov } Переходы чисел между 3 тиражами с учетом позиции [ SD ]", "SDP3"},
        {"SDN4", "{ mov } Переходы чисел между 2 тиражами в 4 позиции [ SD ]", "SDNx"},
        {"SCM6", "{ mov } Переходы каналов между 3 тиражами в 6 позиции [ SD ]", "SCMx"},
        {"SC2C3", "{ mov } Переходы кол-ва чисел в 3 канале между 2 тиражами [ D ]", "SC2Cx"},
        {"SC3C5", "{ mov } Переходы кол-ва чисел в 5 канале между 3 тиражами [ D ]", "SC3Cx"},
        {"SDG2", "{ mov } Переходы чисел в пределах каналов (N-M, удачные) [ D ]", "SDG2"},
        {"SDZ2", "{ mov } Переходы чисел в пределах каналов (N-0, не удачные) [ D ]", "SDZ2"},
        {"SSV2", "{ mov } Переходы сегментов между 2 тиражами без учета позиции [ D ]", "SSV2"},
        {"SSN2", "{ mov } Переходы сегментов между 2 тиражами в 2 позиции [ SD ]", "SSNx"},
        {"SS3C1", "{ mov } Переходы кол-ва чисел в 1 сегменте между 3 тиражами [ D ]", "SS3Cx"},
    };
    for (const auto& c : cases) {
        const int i = list.FindMethod(c.code);
        ASSERT_GE(i, 0) << c.code;
        EXPECT_EQ(list.ListCaption(i, true), c.caption) << c.code;
        EXPECT_EQ(list.Items(i).Class->HelpCodeFor(list.Items(i).Param), c.help) << c.code;
    }
    // Value texts are not plain numbers.
    EXPECT_EQ(Make("SDC2")->ParseValue("7"), 0);
}

TEST_F(TransitionTest, ParameterRangesFollowTheConfiguration) {
    const struct {
        void (*config)(TConfigData&);
        std::string channels;
        std::string segments;
    } cases[] = {
        {nullptr, SixCodes("SC2C"), "SS2C1 "},
        {[](TConfigData& c) { c.ChannelSize = 10; }, "SC2C1 SC2C2 SC2C3 SC2C4 SC2C5 ", "SS2C1 "},
        {[](TConfigData& c) { c.ChannelSize = 0; }, "", "SS2C1 "},
        {[](TConfigData& c) {
             for (int n = 1; n <= MaxNumber; ++n)
                 c.MatrixSegments[static_cast<size_t>(n - 1)] = n <= 21 ? 2 : 4;
         },
         SixCodes("SC2C"), "SS2C2 SS2C3 SS2C4 "},
    };
    for (const auto& c : cases) {
        Configure(c.config);
        EXPECT_EQ(Codes("SC2C"), c.channels);
        EXPECT_EQ(Codes("SS2C"), c.segments);
        // Both chain lengths share the range; positions never change.
        EXPECT_EQ(Codes("SC3C").size(), c.channels.size());
        EXPECT_EQ(Codes("SS3C").size(), c.segments.size());
        EXPECT_EQ(Codes("SDN"), SixCodes("SDN"));
    }
}

TEST_F(TransitionTest, WhatFollowedTheNewestDraw) {
    archive = {MakeDraw(1, {9, 2, 4, 6, 8, 10}), MakeDraw(2, {1, 9, 17, 25, 33, 42}),
               MakeDraw(3, {3, 9, 15, 22, 30, 41}), MakeDraw(4, {1, 2, 3, 4, 5, 6})};
    // Only 9 of the previous draw is in the newest one: it leads to every
    // number of the draw.
    EXPECT_EQ(DrawValues("SDV2", 1, 2), "9 -> 1|9 -> 9|9 -> 17|9 -> 25|9 -> 33|9 -> 42");

    // The first draw has no previous draw, nor the second one two. The
    // newest draw leaves channels 2..6 empty, as the missing draw would.
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Items(i).Class->Group != 10) continue;
        const std::string code = list.Items(i).Code();
        const bool triple = std::string(list.Items(i).Class->ClassName).rfind("TstChain3", 0) == 0;
        EXPECT_EQ(DrawValues(code.c_str(), 0, 3), "") << code;
        if (triple) {
            EXPECT_EQ(DrawValues(code.c_str(), 1, 3), "") << code;
        }
    }
}

TEST_F(TransitionTest, PositionsFollowTheSortOption) {
    // At position 2 the previous and the newest draw agree as drawn; sorted,
    // they agree at positions 1 and 2.
    archive = {MakeDraw(1, {30, 5, 12, 40, 20, 2}), MakeDraw(2, {1, 22, 3, 4, 6, 7}),
               MakeDraw(3, {17, 5, 33, 41, 2, 9})};
    const struct {
        const char* code;
        bool sorted;
        const char* values;
    } cases[] = {
        {"SDP2", false, "5 -> 22"}, {"SDP2", true, "2 -> 1|5 -> 3"},
        {"SDN2", false, "5 -> 22"}, {"SDN2", true, "5 -> 3"},
        {"SDN1", false, ""},        {"SDN1", true, "2 -> 1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DrawValues(c.code, 1, 2, c.sorted), c.values) << c.code << " " << c.sorted;
}

TEST_F(TransitionTest, ChainsOfNumbersChannelsAndSegments) {
    // The draw at index 2 against the newest at index 4: indices 1 and 4
    // share 9 at position 3, indices 0 and 3 share 3 there.
    archive = {MakeDraw(1, {1, 2, 3, 4, 5, 6}), MakeDraw(2, {7, 8, 9, 10, 11, 12}),
               MakeDraw(3, {13, 14, 15, 16, 17, 18}), MakeDraw(4, {19, 20, 3, 21, 22, 23}),
               MakeDraw(5, {24, 25, 9, 26, 27, 28})};
    const struct {
        const char* code;
        const char* values;
    } cases[] = {
        {"SDP2", "9 -> 15"},
        {"SDP3", "3-9 -> 15"},
        {"SDM3", "3-9 -> 15"},
        {"SDM2", ""},
        // Channels: index 1 is 1 2 2 2 2 2, index 4 is 4 4 2 4 4 4.
        {"SCP2", "02 -> 03"},
        {"SCP3", "01-02 -> 03"},
        // Five positions of index 1 lie in a channel of index 4; each leads
        // to all six channels of index 2 (2 2 3 3 3 3).
        {"SCV2", "02 -> 02*10|02 -> 03*20"},
        // One segment holds every number.
        {"SSP3", "1-1 -> 1*6"},
        {"SSV2", "1 -> 1*36"},
    };
    for (const auto& c : cases) EXPECT_EQ(DrawValues(c.code, 2, 4), c.values) << c.code;
}

TEST_F(TransitionTest, CountsArePrefilledFromTheNewestDraws) {
    // Numbers in channel 1 (1..7): 2, 1, 2, 1.
    archive = {MakeDraw(1, {1, 2, 30, 31, 32, 33}), MakeDraw(2, {3, 40, 41, 20, 21, 22}),
               MakeDraw(3, {5, 6, 10, 11, 12, 13}), MakeDraw(4, {7, 14, 21, 28, 35, 42})};
    std::string all, triples;
    for (int m = 0; m <= 7; ++m) {
        all += (m ? "|2 -> " : "2 -> ") + std::to_string(m) + "*0";
        triples += (m ? "|1-2 -> " : "1-2 -> ") + std::to_string(m) + "*0";
    }
    auto before = Make("SC2C1");
    EXPECT_EQ(FilledValues("SC2C1", 2), all);
    EXPECT_EQ(FilledValues("SC3C1", 2), triples);
    EXPECT_EQ(FilledValues("SS2C1", 2), "6 -> 0*0");
    EXPECT_EQ(FilledValues("SS3C1", 2), "6-6 -> 0*0");

    EXPECT_EQ(DrawValues("SC2C1", 1, 2), "2 -> 1");
    EXPECT_EQ(DrawValues("SC2C1", 2, 2), "");  // 1 before, 2 now
    EXPECT_EQ(DrawValues("SC3C1", 2, 3), "2-1 -> 2");
    EXPECT_EQ(DrawValues("SS2C1", 1, 2), "6 -> 6");

    // An instance keeps the channel width it was made with.
    config.ChannelSize = 10;
    TStatDrawArray rows;
    before->FillAllValues(2, rows);
    EXPECT_EQ(Texts(*before, rows), all);
    const std::string wider = FilledValues("SC2C1", 2);  // 5, 6 and 10 in 1..10
    EXPECT_EQ(wider.substr(0, 8), "3 -> 0*0");
    EXPECT_EQ(wider.substr(wider.size() - 9), "3 -> 10*0");
}

TEST_F(TransitionTest, NumbersWithinTheirChannel) {
    // 9 and 20 of the previous draw are in the newest one; draw 1 has
    // nothing in 8..14 and 15 in 15..21.
    archive = {MakeDraw(1, {9, 20, 30, 1, 2, 3}), MakeDraw(2, {15, 22, 35, 40, 41, 42}),
               MakeDraw(3, {9, 20, 10, 11, 12, 13})};
    EXPECT_EQ(DrawValues("SDA2", 1, 2), "09 -> 00|20 -> 15");
    EXPECT_EQ(DrawValues("SDG2", 1, 2), "20 -> 15");
    EXPECT_EQ(DrawValues("SDZ2", 1, 2), "09 -> 00");
    EXPECT_EQ(DrawValues("SDC2", 1, 2), "9 -> 0|20 -> 1");
}

TEST_F(TransitionTest, CombinationsCarryTheValueThatCameNext) {
    archive = {MakeDraw(1, {9, 20, 30, 1, 2, 3}), MakeDraw(2, {15, 22, 35, 40, 41, 42}),
               MakeDraw(3, {9, 20, 10, 11, 12, 13})};
    const struct {
        const char* code;
        StatKey key;
        TCombination comb;
        int refIndex;
        bool matches;
    } cases[] = {
        // Pairs and triples: the "to" value at any position.
        {"SDP2", MakeKey(7, 12), {{12, 20, 30, 31, 32, 33}}, 2, true},
        {"SDP2", MakeKey(7, 12), {{1, 2, 3, 4, 5, 12}}, 2, true},
        {"SDP2", MakeKey(7, 12), {{7, 8, 9, 10, 11, 13}}, 2, false},
        {"SDM3", MakeKey(3, 7, 12), {{1, 2, 3, 4, 5, 12}}, 2, true},
        {"SDM3", MakeKey(3, 7, 12), {{3, 7, 8, 9, 10, 11}}, 2, false},
        {"SCP2", MakeKey(1, 2), {{1, 2, 3, 4, 5, 14}}, 2, true},
        {"SCP2", MakeKey(1, 2), {{1, 2, 3, 4, 5, 15}}, 2, false},
        // One segment holds every number: no combination reaches segment 2.
        {"SSV2", MakeKey(1, 2), {{1, 22, 23, 24, 25, 26}}, 2, false},
        {"SSV2", MakeKey(2, 1), {{1, 22, 23, 24, 25, 26}}, 2, true},
        // Counts: the count of the combination in the channel of the method.
        {"SC2C1", MakeKey(2, 1), {{1, 10, 20, 30, 40, 41}}, 2, true},
        {"SC2C1", MakeKey(2, 1), {{1, 2, 20, 30, 40, 41}}, 2, false},
        {"SC3C1", MakeKey(2, 1, 2), {{1, 2, 20, 30, 40, 41}}, 2, true},
        // A failed transition stands for the whole channel of its number,
        // when the number is in the last visible draw.
        {"SDZ2", MakeKey(9, 0), {{1, 2, 3, 4, 5, 8}}, 2, true},
        {"SDZ2", MakeKey(9, 0), {{1, 2, 3, 4, 5, 14}}, 2, true},
        {"SDZ2", MakeKey(9, 0), {{1, 2, 3, 4, 5, 15}}, 2, false},
        {"SDZ2", MakeKey(9, 0), {{1, 2, 3, 4, 5, 8}}, 1, false},
        {"SDZ2", MakeKey(9, 0), {{1, 2, 3, 4, 5, 8}}, -1, false},
        {"SDA2", MakeKey(20, 15), {{15, 30, 31, 32, 33, 34}}, 2, true},
        {"SDA2", MakeKey(20, 15), {{16, 30, 31, 32, 33, 34}}, 2, false},
        // The count member's rows stand for the channel whatever the count.
        {"SDC2", MakeKey(20, 3), {{16, 30, 31, 32, 33, 34}}, 2, true},
        {"SDC2", MakeKey(20, 3), {{14, 30, 31, 32, 33, 34}}, 2, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Matches(c.code, c.key, c.comb, c.refIndex), c.matches)
            << c.code << " " << c.key.w[0] << "," << c.key.w[1] << " ref " << c.refIndex;
}

TEST_F(TransitionTest, ValueTexts) {
    const struct {
        const char* code;
        StatKey key;
        const char* text;
    } cases[] = {
        {"SDV2", MakeKey(7, 12), "7 -> 12"},      {"SDM3", MakeKey(3, 7, 12), "3-7 -> 12"},
        {"SCV2", MakeKey(1, 3), "01 -> 03"},      {"SCP3", MakeKey(1, 2, 3), "01-02 -> 03"},
        {"SDA2", MakeKey(7, 12), "07 -> 12"},     {"SDZ2", MakeKey(7, 0), "07 -> 00"},
        {"SDC2", MakeKey(7, 2), "7 -> 2"},        {"SC2C1", MakeKey(2, 0), "2 -> 0"},
        {"SSN1", MakeKey(1, 2), "1 -> 2"},        {"SS3C1", MakeKey(1, 2, 3), "1-2 -> 3"},
    };
    for (const auto& c : cases) {
        TStatDraw row{};
        row.Key = c.key;
        EXPECT_EQ(Make(c.code)->ValueToText(row), c.text) << c.code;
    }
}

TEST_F(TransitionTest, FiltersAgreeWithTheirTests) {
    // The fast filtering paths must keep exactly what CombMatches accepts.
    Configure(TwoSegments);
    archive = RandomDraws(40, 20240612);
    std::vector<TCombination> combs = test::SampledCombinations(997);
    const int last = 38;
    const TDrawRecord visible = archive[last];
    for (const char* code : {"SDV2", "SDP2", "SDN3", "SDP3", "SDM2", "SCV2", "SCP2", "SCN4", "SCP3",
                             "SCM1", "SC2C2", "SC3C3", "SDA2", "SDG2", "SDZ2", "SDC2", "SSV2",
                             "SSP2", "SSN5", "SSP3", "SSM6", "SS2C2", "SS3C1"}) {
        auto stat = Make(code);
        const TStatDrawArray values = SampleRows(*stat, last, true, true);
        TStatDrawArray sel;
        for (size_t i = 0; i < values.size() && sel.size() < 6; i += 3) sel.push_back(values[i]);
        // Rows that random draws rarely produce: from the numbers of the
        // last visible draw, to small counts and to numbers.
        std::mt19937 rng(7);
        for (int k = 0; k < 3; ++k) {
            const uint16_t y = visible.Numbers[k];
            sel.push_back(Selected(MakeKey(y, static_cast<uint16_t>(rng() % 3),
                                           static_cast<uint16_t>(rng() % 3))));
            sel.push_back(Selected(MakeKey(y, static_cast<uint16_t>(1 + rng() % 42),
                                           static_cast<uint16_t>(1 + rng() % 42))));
        }
        stat->LoadDraws(-1, last, false);
        // Every selected row alone too: some of them keep part of the list only.
        std::vector<TStatDrawArray> selections{sel};
        for (const TStatDraw& r : sel) selections.push_back({r});
        bool partial = false;
        for (const TStatDrawArray& s : selections)
            for (bool exclude : {false, true}) {
                const int64_t kept = ExpectFilterAgrees(*stat, combs, s, last, exclude, code);
                partial = partial || (kept > 0 && kept < static_cast<int64_t>(combs.size()));
            }
        EXPECT_TRUE(partial) << code;
    }
}

}  // namespace
}  // namespace tessara
