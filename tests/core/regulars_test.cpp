#include <gtest/gtest.h>

#include <filesystem>

#include "model/error.h"
#include "model/files.h"
#include "stakes/regulars.h"
#include "stakes_test_support.h"

namespace tessara::test {
namespace {

TCombination Comb(std::initializer_list<int> list) {
    TCombination c{};
    int i = 0;
    for (int x : list) c[i++] = static_cast<uint8_t>(x);
    return c;
}

TEST(RegularStake, AdvanceMovesAroundTheCircle) {
    struct Case {
        const char* name;
        TCombination start;
        int step;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"wraps past 42 and sorts", Comb({1, 2, 3, 4, 5, 6}), 10,
         {"11;12;13;14;15;16", "21;22;23;24;25;26", "31;32;33;34;35;36", "1;2;3;4;41;42"}},
        {"negative step wraps below 1", Comb({3, 10, 20, 30, 40, 42}), -5, {"5;15;25;35;37;40"}},
        {"a full turn keeps the numbers", Comb({1, 7, 13, 20, 33, 42}), 42, {"1;7;13;20;33;42"}},
        {"a full turn back keeps them too", Comb({1, 7, 13, 20, 33, 42}), -42, {"1;7;13;20;33;42"}},
        {"step 0", Comb({1, 7, 13, 20, 33, 42}), 0, {"1;7;13;20;33;42"}},
        // A step beyond the range (a damaged file) still stays within 1..42.
        {"step from a damaged file", Comb({1, 2, 3, 4, 5, 6}), 85, {"2;3;4;5;6;7"}},
    };
    TDrawArchive archive;
    for (const Case& c : cases) {
        TRegularStake r = MakeRegular("r", false, c.start, c.step);
        for (size_t i = 0; i < c.expected.size(); ++i) {
            AdvanceRegular(archive, 0, r);
            EXPECT_EQ(RegularCombText(RegularCurrent(r)), c.expected[i]) << c.name << " #" << i;
        }
        EXPECT_EQ(r.Stakes, static_cast<int>(c.expected.size())) << c.name;
        EXPECT_EQ(RegularCombText(RegularStart(r)), RegularCombText(c.start)) << c.name;
    }
}

TEST(RegularStake, FromDrawTakesTheDrawAtTheOffset) {
    TDrawArchive archive;
    archive.Append(MakeDraw(10, {1, 2, 3, 4, 5, 6}));
    archive.Append(MakeDraw(11, {7, 19, 3, 40, 22, 11}));
    TRegularStake r = MakeRegular("r", true, Comb({30, 31, 32, 33, 34, 35}), 1);
    AdvanceRegular(archive, 0, r);
    EXPECT_EQ(RegularCombText(RegularCurrent(r)), "4;8;12;20;23;41");
    // At offset 1 the newest draw is hidden: the base is the one before it,
    // not the combination produced last.
    AdvanceRegular(archive, 1, r);
    EXPECT_EQ(RegularCombText(RegularCurrent(r)), "2;3;4;5;6;7");
    EXPECT_EQ(r.Stakes, 2);
}

TEST(RegularStake, DialogChecksInOrder) {
    const std::vector<std::string> comments = {"Есть", "Другая"};
    struct Case {
        bool editable;
        const char* comb;
        const char* comment;
        TRegularDialogCheck expected;
    };
    const Case cases[] = {
        {true, "6;5,4;3;2;1", "Новая", TRegularDialogCheck::Ok},
        {true, "1;2;3;4;5", "Новая", TRegularDialogCheck::Combination},
        {true, "1;2;3;4;5;6;7", "Новая", TRegularDialogCheck::Combination},
        {true, "1;2;3;4;5;5", "Новая", TRegularDialogCheck::Combination},
        {true, "0;2;3;4;5;6", "Новая", TRegularDialogCheck::Combination},
        {true, "1;2;3;4;5;43", "Новая", TRegularDialogCheck::Combination},
        {true, "1;2;x;4;5;6", "", TRegularDialogCheck::Combination},  // the field comes first
        {true, "1;2;3;4;5;6", "", TRegularDialogCheck::Comment},
        {true, "1;2;3;4;5;6", "Есть", TRegularDialogCheck::Duplicate},
        {true, "1;2;3;4;5;6", "есть", TRegularDialogCheck::Ok},  // exact comparison
        {false, "{...Выделенные комбинации...}", "Новая", TRegularDialogCheck::Ok},
    };
    for (const Case& c : cases) {
        TCombination start = Comb({9, 9, 9, 9, 9, 9});
        std::string message;
        EXPECT_EQ(CheckRegularDialog(c.editable, c.comb, c.comment, comments, start, message),
                  c.expected)
            << c.comb << " / " << c.comment;
        if (c.expected == TRegularDialogCheck::Ok && c.editable) {
            EXPECT_EQ(RegularCombText(start), "1;2;3;4;5;6");
        }
        if (c.expected == TRegularDialogCheck::Duplicate) {
            EXPECT_EQ(message, "Запись с таким комментарией уже присутствует в списке!\r"
                               "Выберите другой комментарий.");
        }
    }
}

class RegularsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const TDrawRecord& d : MakeDraws(100, 130)) s.ws->Archive().Append(d);
        s.ws->Combs().Reserve(1, 1);
    }
    TRegulars& Regs() { return s.ws->Regulars(); }
    std::string File() const { return s.dir.File(RegularsFileName); }
    // As the dialog adds it with one combination selected.
    void AddRule(const std::string& comment, TCombination start, int step, bool fromDraw = false) {
        Regs().Add(MakeRegular(comment, fromDraw, start, step), s.ws->Combs(), {{0, 0}});
    }

    StakesWorkspace s;
};

TEST_F(RegularsTest, FileKeepsTheRecordsByteForByte) {
    AddRule("Шаг 10", Comb({1, 2, 3, 4, 5, 6}), 10);
    AddRule("Прошлый тираж", Comb({}), -3, true);
    const std::string bytes = ReadFileBytes(File());
    ASSERT_EQ(bytes.size(), 2 * RegularRecordSize);
    EXPECT_EQ(static_cast<uint8_t>(bytes[256]), 0);
    EXPECT_EQ(static_cast<uint8_t>(bytes[RegularRecordSize + 256]), 1);
    EXPECT_EQ(static_cast<uint8_t>(bytes[RegularRecordSize + 272]), 0xFD);  // -3, little-endian

    Regs().ShowTab(true);
    ASSERT_EQ(Regs().Count(), 2);
    EXPECT_EQ(RegularComment(Regs()[1]), "Прошлый тираж");
    EXPECT_EQ(RegularCellText(Regs()[0], 1), "1;2;3;4;5;6");
}

TEST_F(RegularsTest, DamagedFileIsReportedAndNeverWrittenOver) {
    for (const char* name : {"truncated.ltb", "oversized.ltb"}) {
        const std::string original = ReadFileBytes(std::string(TESSARA_FIXTURES) + "/regulars/" + name);
        WriteBytes(File(), original);
        s.host.Messages.clear();
        EXPECT_FALSE(Regs().Load()) << name;
        ASSERT_EQ(s.host.Messages.size(), 1u) << name;
        EXPECT_EQ(s.host.Messages[0].Text.rfind(MsgRegularsReadError, 0), 0u) << name;
        EXPECT_NE(s.host.Messages[0].Text.find("280"), std::string::npos) << name;
        EXPECT_EQ(Regs().Count(), 0) << name;

        // Adding a rule now must not replace the file by a one-rule list.
        AddRule("Новая", Comb({1, 2, 3, 4, 5, 6}), 1);
        EXPECT_EQ(ReadFileBytes(File()), original) << name;
        EXPECT_EQ(s.host.Messages.back().Text.rfind(MsgRegularsWriteError, 0), 0u) << name;
    }
    // Once the file is mended, loading and saving work again.
    std::filesystem::remove(File());
    EXPECT_TRUE(Regs().Load());
    AddRule("Новая", Comb({1, 2, 3, 4, 5, 6}), 1);
    EXPECT_EQ(ReadFileBytes(File()).size(), RegularRecordSize);
}

TEST_F(RegularsTest, AddFollowsTheSelection) {
    TCombList& combs = s.ws->Combs();
    combs.Reserve(10, 3);
    combs[0] = Comb({1, 2, 3, 4, 5, 6});
    combs[1] = Comb({7, 8, 9, 10, 11, 12});
    combs[2] = Comb({13, 14, 15, 16, 17, 18});
    const TRegularStake proto = MakeRegular("Рег", false, Comb({2, 4, 6, 8, 10, 12}), 3);

    // One selected combination: the proto as the dialog left it.
    Regs().Add(proto, combs, {{1, 1}});
    // Several: one rule per combination, numbered by list position.
    Regs().Add(proto, combs, {{0, 0}, {2, 2}});
    // None, with a fixed start: nothing.
    Regs().Add(proto, combs, {});
    // None, from the previous draw: the proto alone.
    TRegularStake fromDraw = proto;
    fromDraw.FromDraw = 1;
    SetRegularComment(fromDraw, "Тираж");
    Regs().Add(fromDraw, combs, {});

    ASSERT_EQ(Regs().Count(), 4);
    const char* expected[][3] = {{"Рег", "2;4;6;8;10;12", "2;4;6;8;10;12"},
                                 {"Рег (1)", "1;2;3;4;5;6", "1;2;3;4;5;6"},
                                 {"Рег (3)", "13;14;15;16;17;18", "13;14;15;16;17;18"},
                                 {"Тираж", "2;4;6;8;10;12", "2;4;6;8;10;12"}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(RegularCellText(Regs()[i], 0), expected[i][0]);
        EXPECT_EQ(RegularCellText(Regs()[i], 1), expected[i][1]);
        EXPECT_EQ(RegularCellText(Regs()[i], 3), expected[i][2]);
        EXPECT_EQ(RegularCellText(Regs()[i], 2), "3");
        EXPECT_EQ(RegularCellText(Regs()[i], 4), "0");
    }
}

TEST_F(RegularsTest, TestMakesStakesOffsetByOffsetInRuleOrder) {
    AddRule("A", Comb({1, 2, 3, 4, 5, 6}), 1);
    AddRule("B", Comb({10, 20, 30, 40, 41, 42}), -1);
    AddRule("C (not selected)", Comb({1, 2, 3, 4, 5, 6}), 2);
    s.ws->SetDrawsOffset(5);

    ASSERT_TRUE(Regs().Test(*s.ws, 3, {1, 0}));
    EXPECT_EQ(s.ws->DrawsOffset(), 5);
    ASSERT_EQ(s.ws->StakesCount(), 6);
    // Offset 3 targets draw 128 of 100..130, offset 1 draw 130.
    const struct {
        int draw;
        const char* comment;
        const char* numbers;
    } expected[] = {{128, "A", "2;3;4;5;6;7"},       {128, "B", "9;19;29;39;40;41"},
                    {129, "A", "3;4;5;6;7;8"},       {129, "B", "8;18;28;38;39;40"},
                    {130, "A", "4;5;6;7;8;9"},       {130, "B", "7;17;27;37;38;39"}};
    for (int i = 0; i < 6; ++i) {
        const TStakeRecord r = s.At(i);
        EXPECT_EQ(r.Draw, expected[i].draw) << i;
        EXPECT_EQ(r.Kind, skRegular) << i;
        EXPECT_EQ(StakeComment(r), expected[i].comment) << i;
        EXPECT_EQ(FormatStakeNumbers(r.Numbers, ";"), expected[i].numbers) << i;
        EXPECT_TRUE(StakeIsChecked(r)) << i;  // their draws are in the archive
    }
    EXPECT_EQ(Regs()[0].Stakes, 3);
    EXPECT_EQ(Regs()[1].Stakes, 3);
    EXPECT_EQ(Regs()[2].Stakes, 0);
    // The advanced state is saved.
    Regs().Load();
    EXPECT_EQ(RegularCellText(Regs()[1], 3), "7;17;27;37;38;39");
}

TEST_F(RegularsTest, FailedTestStopsAndRestoresTheOffset) {
    AddRule("A", Comb({1, 2, 3, 4, 5, 6}), 1);
    s.ws->SetDrawsOffset(2);
    s.ws->CloseStakesFile();  // every creation now fails
    EXPECT_FALSE(Regs().Test(*s.ws, 3, {0}));
    EXPECT_EQ(s.ws->DrawsOffset(), 2);
    // Stopped at the first creation: advanced once, no more.
    EXPECT_EQ(Regs()[0].Stakes, 1);
    EXPECT_FALSE(s.host.Messages.empty());
}

TEST_F(RegularsTest, StakeByRuleKeepsTheRuleWhenTheDialogIsCancelled) {
    s.SetPrizes(5, {{6, 1000}});
    AddRule("A", Comb({1, 2, 3, 4, 5, 6}), 10);
    s.ws->SetDrawsOffset(1);
    TStakeRecord seen{};
    EXPECT_FALSE(Regs().StakeByRule(*s.ws, 0, [&](TStakeRecord& r, int&) {
        seen = r;
        return false;
    }));
    EXPECT_EQ(RegularCellText(Regs()[0], 3), "1;2;3;4;5;6");
    EXPECT_EQ(Regs()[0].Stakes, 0);
    EXPECT_EQ(s.ws->StakesCount(), 0);
    // The prefilled stake: the next draw after the offset, the advanced numbers.
    EXPECT_EQ(seen.Draw, 130);
    EXPECT_EQ(seen.Kind, skRegular);
    EXPECT_EQ(FormatStakeNumbers(seen.Numbers, ";"), "11;12;13;14;15;16");
    EXPECT_LT(seen.Profit, 0);

    EXPECT_TRUE(Regs().StakeByRule(*s.ws, 0, [](TStakeRecord&, int& draws) {
        draws = 2;
        return true;
    }));
    EXPECT_EQ(Regs()[0].Stakes, 1);
    EXPECT_EQ(RegularCellText(Regs()[0], 3), "11;12;13;14;15;16");
    // Two draws: the stake, a separator and its copy for the second draw.
    EXPECT_EQ(s.ws->StakesCount(), 3);
}

TEST(RegularsNoDraws, RuleWithoutItsDrawMakesNoStake) {
    // From the previous draw with an empty archive there is no base: the
    // move would give six equal numbers, which is never staked.
    StakesWorkspace s;
    s.ws->Combs().Reserve(1, 1);
    TRegulars& regs = s.ws->Regulars();
    regs.Add(MakeRegular("Тираж", true, TCombination{}, 1), s.ws->Combs(), {});
    bool asked = false;
    EXPECT_FALSE(regs.StakeByRule(*s.ws, 0, [&](TStakeRecord&, int&) { return asked = true; }));
    EXPECT_FALSE(asked);
    EXPECT_EQ(regs[0].Stakes, 0);
    EXPECT_EQ(s.ws->StakesCount(), 0);
    ASSERT_FALSE(s.host.Messages.empty());
    EXPECT_EQ(s.host.Messages.back().Kind, MessageKind::Error);
}

TEST_F(RegularsTest, HidingEmptiesWithoutSavingAndShowingReloads) {
    AddRule("A", Comb({1, 2, 3, 4, 5, 6}), 1);
    const std::string saved = ReadFileBytes(File());
    Regs().ShowTab(false);
    EXPECT_EQ(Regs().Count(), 0);
    EXPECT_EQ(ReadFileBytes(File()), saved);
    // While hidden nothing is written.
    EXPECT_TRUE(Regs().Save());
    EXPECT_EQ(ReadFileBytes(File()), saved);
    EXPECT_FALSE(s.ws->View().ReadBool(MainWindowSection, "TabTables", true));
    Regs().ShowTab(true);
    EXPECT_EQ(Regs().Count(), 1);
    EXPECT_TRUE(s.ws->View().ReadBool(MainWindowSection, "TabTables", false));
}

TEST_F(RegularsTest, DeleteAsksAndRemovesFromTheLast) {
    for (const char* c : {"A", "B", "C", "D"}) AddRule(c, Comb({1, 2, 3, 4, 5, 6}), 1);
    EXPECT_FALSE(Regs().Delete({0, 2}));  // answered No
    EXPECT_EQ(Regs().Count(), 4);
    s.host.Answers = {true};
    EXPECT_TRUE(Regs().Delete({2, 0}));
    ASSERT_EQ(Regs().Count(), 2);
    EXPECT_EQ(RegularComment(Regs()[0]), "B");
    EXPECT_EQ(RegularComment(Regs()[1]), "D");
    EXPECT_THROW(Regs().DeleteRegular(2), Error);
}

}  // namespace
}  // namespace tessara::test
