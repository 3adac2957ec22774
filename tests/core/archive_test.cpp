#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>

#include "app/workspace.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "model/game.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;
using test::MakeDraws;

class ArchiveTest : public ::testing::Test {
protected:
    void WriteArchive(const TDrawsArray& draws) {
        WriteDrawsFile(dir.File(DrawsFileName), draws);
    }
    void Open() {
        ws = std::make_unique<Workspace>(host, dir.Path());
        ws->LoadDrawsFile();
    }
    test::TempDir dir;
    test::RecordingHost host;
    std::unique_ptr<Workspace> ws;
};

TEST_F(ArchiveTest, NoFileMeansEmptyArchive) {
    Open();
    EXPECT_TRUE(ws->Archive().Empty());
    EXPECT_EQ(ws->Archive().NextDrawNo(0), 1);
    EXPECT_EQ(ws->ArchiveStatusText(), "Архив тиражей: 0");
    EXPECT_EQ(ws->NextDrawStatusText(), "Следующий тираж: 1");
    EXPECT_EQ(ws->NextDrawResultText(), "");
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(ArchiveTest, OffsetMovesTheLastKnownDraw) {
    WriteArchive(MakeDraws(1, 100));
    Open();
    const TDrawArchive& a = ws->Archive();
    EXPECT_EQ(a.NextDrawNo(0), 101);
    EXPECT_EQ(a.NextDrawNo(-1), -1);
    EXPECT_EQ(a.NextDrawNo(100), -1);
    ws->SetDrawsOffset(5);
    EXPECT_EQ(ws->NextDrawStatusText(), "Следующий тираж: 96");
    EXPECT_EQ(ws->NextDrawResultText(), FormatDrawNumbers(a[95]));
    const TByteSet set = a.NextDrawResultSet(5);
    EXPECT_EQ(std::count(set.begin(), set.end(), true), 6);
    for (uint8_t n : a[95].Numbers) EXPECT_TRUE(set[n]);
    EXPECT_EQ(a.DrawNumbersAtOffset(5), DrawToComb(a[94]));
    EXPECT_EQ(a.DrawNumbersAtOffset(100), TCombination{});
    // Offset 0 has no known next draw; the offset stays within the archive.
    ws->SetDrawsOffset(0);
    EXPECT_EQ(ws->NextDrawResultText(), "");
    ws->SetDrawsOffset(500);
    EXPECT_EQ(ws->DrawsOffset(), 99);
}

TEST(DrawData, DialogCheck) {
    // The reason follows the dialog's message; empty for an accepted text.
    const struct {
        const char* text;
        const char* fault;
    } cases[] = {
        {"1;2;3;4;5;6;0", ""},
        {"33,7;41 ; 2;18;25;9", ""},
        {"1;2;3;4;5;5;0", "число 5 повторяется"},
        {"1;2;3;4;5;43;1", "число 43 вне диапазона 1..42"},
        {"0;2;3;4;5;6;0", "число 0 вне диапазона 1..42"},
        {"1;2;3;4;5;6;10", "дополнительный шар 10 вне диапазона 0..9"},
        {"1;2;3;4;5;6;-1", "дополнительный шар -1 вне диапазона 0..9"},
        {"1;2;3;4;5;6", "нужно 6 чисел и дополнительный шар, введено 6"},
        {"1;2;3", "нужно 6 чисел и дополнительный шар, введено 3"},
        {"", "нужно 6 чисел и дополнительный шар, введено 0"},
        {"1;2;3;4;5;6;0;0", "нужно 6 чисел и дополнительный шар, введено 8"},
        {"a;2;3;4;5;6;0", "\"a\" не число"},
    };
    for (const auto& c : cases) {
        TDrawRecord d{};
        EXPECT_EQ(CheckDrawData(c.text, d), *c.fault == 0) << c.text;
        EXPECT_EQ(DrawDataFault(c.text), c.fault) << c.text;
    }
    TDrawRecord d{};
    ASSERT_TRUE(CheckDrawData("33;7;41;2;18;25;4", d));
    EXPECT_EQ(DrawDataText(d), "33;7;41;2;18;25;4");
}

TEST_F(ArchiveTest, StoredOrderSurvivesSortedDisplay) {
    Open();
    TDrawRecord d = MakeDraw(1, {}, 0, "05 марта 2021");
    ASSERT_TRUE(CheckDrawData("33;7;41;2;18;25;4", d));
    ASSERT_TRUE(ws->AddDraw(d));
    ws->SetSortedDraws(true);
    EXPECT_EQ(FormatDrawNumbers(ws->Archive().RowDraw(0, ws->SortedDraws())), "2;7;18;25;33;41");
    const std::string bytes = ReadFileBytes(dir.File(DrawsFileName));
    ASSERT_EQ(bytes.size(), 28u);
    EXPECT_EQ(std::string(bytes.data() + 4, 7), std::string("\x21\x07\x29\x02\x12\x19\x04", 7));
    // The option lives in the view-state file.
    Workspace again(host, dir.Path());
    again.LoadViewOptions();
    EXPECT_TRUE(again.SortedDraws());
}

TEST_F(ArchiveTest, DeletingTopRowsShrinksTheFile) {
    WriteArchive(MakeDraws(1, 10));
    Open();
    // Refused: nothing changes.
    host.Answers = {false};
    EXPECT_FALSE(ws->DeleteDraws({10, 9, 8}));
    EXPECT_EQ(ws->Archive().Count(), 10);
    ASSERT_EQ(host.Questions.size(), 1u);
    EXPECT_EQ(host.Questions[0],
              "Удалить все выделенные записи (всего будет удалено 3 записи(ей))?");

    host.Answers = {true};
    EXPECT_TRUE(ws->DeleteDraws({10, 9, 8}));
    EXPECT_EQ(std::filesystem::file_size(dir.File(DrawsFileName)), 196u);
    Workspace reloaded(host, dir.Path());
    reloaded.LoadDrawsFile();
    ASSERT_EQ(reloaded.Archive().Count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(reloaded.Archive()[i].DrawNo, i + 1);

    host.Answers = {true};
    EXPECT_TRUE(ws->DeleteDraws({7}));
    EXPECT_EQ(host.Questions.back(), "Удалить выделенную запись?");
}

TEST_F(ArchiveTest, FailedDeletionIsNotSaved) {
    WriteArchive(MakeDraws(1, 5));
    Open();
    host.Answers = {true};
    // Draw 99 does not exist: the loop stops at it and the file keeps all five.
    EXPECT_FALSE(ws->DeleteDraws({5, 99, 4}));
    ASSERT_FALSE(host.Messages.empty());
    EXPECT_EQ(host.Messages.back().Text, "Запись со индексом -1 в файле данных не найдена!");
    EXPECT_EQ(std::filesystem::file_size(dir.File(DrawsFileName)), 5u * 28);
}

TEST(FindDrawIndex, FindsEveryDrawOfAnUnorderedArchive) {
    TDrawsArray draws = MakeDraws(1, 60);
    for (unsigned seed : {1u, 2u, 3u}) {
        std::mt19937 gen(seed);
        std::shuffle(draws.begin(), draws.end(), gen);
        TDrawArchive a;
        for (const auto& d : draws) a.Append(d);
        for (int i = 0; i < a.Count(); ++i) EXPECT_EQ(a.FindDrawIndex(a[i].DrawNo), i);
        EXPECT_EQ(a.FindDrawIndex(0), -1);
        EXPECT_EQ(a.FindDrawIndex(61), -1);
        EXPECT_EQ(a.FindDrawIndex(-100), -1);
    }
    // Gaps and a single draw.
    TDrawArchive a;
    for (int no : {105, 101, 300, 7}) a.Append(MakeDraw(no, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(a.FindDrawIndex(300), 2);
    EXPECT_EQ(a.FindDrawIndex(102), -1);
    TDrawArchive one;
    one.Append(MakeDraw(5, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(one.FindDrawIndex(5), 0);
    EXPECT_EQ(one.FindDrawIndex(6), -1);
    EXPECT_EQ(TDrawArchive().FindDrawIndex(1), -1);
}

TEST_F(ArchiveTest, TrailingFragmentIsIgnored) {
    const TDrawsArray draws = MakeDraws(1, 3);
    std::string bytes(reinterpret_cast<const char*>(draws.data()), 3 * 28);
    test::WriteBytes(dir.File(DrawsFileName), bytes + "12345");
    Open();
    EXPECT_EQ(ws->Archive().Count(), 3);
    EXPECT_TRUE(host.Messages.empty());
    // Saving writes exactly the whole records, byte for byte.
    ASSERT_TRUE(ws->SaveDrawsFile());
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)), bytes);
}

TEST_F(ArchiveTest, WriteErrorKeepsTheArchiveInMemory) {
    Open();
    // A folder where the file should be: the rename over it fails.
    std::filesystem::create_directory(dir.File(DrawsFileName));
    EXPECT_FALSE(ws->AddDraw(MakeDraw(1, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(ws->Archive().Count(), 1);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Error);
    EXPECT_TRUE(host.Messages[0].Text.starts_with("Ошибка записи в файл тиражей!\r\r"));
    EXPECT_EQ(host.BusyCount(), 0);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST_F(ArchiveTest, ReplaceKeepsIndexAndAllowsDuplicateNumbers) {
    WriteArchive(MakeDraws(1, 3));
    Open();
    TDrawRecord d = MakeDraw(2, {9, 8, 7, 6, 5, 4}, 1, "01 января 2020");
    ASSERT_TRUE(ws->ReplaceDraw(1, d));
    EXPECT_EQ(FormatDrawInfo(ws->Archive()[1]), "Тираж № 2 от 01 января 2020, значения: 9;8;7;6;5;4 e:1");
    // A number that already exists is asked about; No changes nothing, Yes
    // gives a second draw with it.
    EXPECT_FALSE(ws->AddDraw(MakeDraw(2, {1, 2, 3, 4, 5, 6})));
    ASSERT_EQ(host.Questions.size(), 1u);
    EXPECT_EQ(host.Questions[0], "Тираж № 2 уже есть в архиве.\r\rДобавить еще один тираж с этим номером?");
    EXPECT_EQ(ws->Archive().Count(), 3);
    host.Answers = {true};
    ASSERT_TRUE(ws->AddDraw(MakeDraw(2, {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(ws->Archive().Count(), 4);
    ASSERT_TRUE(ws->AddDraw(MakeDraw(7, {1, 2, 3, 4, 5, 6})));  // a new number asks nothing
    EXPECT_EQ(host.Questions.size(), 2u);
    EXPECT_FALSE(ws->ReplaceDraw(9, d));
}

// A damaged draws file loads with one warning naming the damaged draws; they
// stay in the file and the list, but no statistic or check reads them.
TEST_F(ArchiveTest, DamagedDrawsAreNamedAndReadByNothing) {
    TDrawsArray draws = MakeDraws(1, 6);
    draws[2].Numbers[0] = 0;
    draws[3].Numbers[5] = 43;
    for (uint8_t& n : draws[4].Numbers) n = 255;
    WriteArchive(draws);
    Open();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Warning);
    EXPECT_NE(host.Messages[0].Text.find(": 3, 4, 5."), std::string::npos) << host.Messages[0].Text;
    EXPECT_EQ(ws->Archive().Count(), 6);
    EXPECT_EQ(ws->AnalysisArchive().Count(), 3);
    ws->InitGameTables();
    ws->LoadConfig();
    ws->RegisterStats();
    EXPECT_EQ(ws->Stats().Archive().size(), 3u);
    // A stake on a damaged draw waits until the draw is mended.
    ASSERT_TRUE(ws->LoadStakesFile());
    for (int draw : {5, 6}) {
        TStakeRecord r = MakeEmptyStake(skManual);
        r.Draw = draw;
        r.Numbers.Count = 6;
        for (int i = 0; i < 6; ++i) r.Numbers.Numbers[i] = static_cast<uint8_t>(i + 1);
        ws->StakesFile().Append(r);
    }
    int checked = 0;
    ws->CheckStakes(&checked);
    EXPECT_EQ(checked, 1);
    // Saving keeps them as they were, so that they can be mended.
    ASSERT_TRUE(ws->SaveDrawsFile());
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)),
              std::string(reinterpret_cast<const char*>(draws.data()), draws.size() * sizeof(TDrawRecord)));
    TDrawRecord mended = draws[4];
    for (int i = 0; i < 6; ++i) mended.Numbers[i] = static_cast<uint8_t>(i + 1);
    ASSERT_TRUE(ws->ReplaceDraw(4, mended));
    EXPECT_EQ(ws->AnalysisArchive().Count(), 4);
}

// Draw numbers stay where the next number still fits: past the range a new
// draw is refused with a message instead of wrapping.
TEST_F(ArchiveTest, DrawNumbersStayInRange) {
    WriteArchive({MakeDraw(MaxDrawNo - 1, {1, 2, 3, 4, 5, 6})});
    Open();
    EXPECT_EQ(ws->Archive().NextDrawNo(0), MaxDrawNo);
    ASSERT_TRUE(ws->AddDraw(MakeDraw(ws->Archive().NextDrawNo(0), {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(ws->Archive().NextDrawNo(0), 2147483647);
    EXPECT_FALSE(ws->AddDraw(MakeDraw(ws->Archive().NextDrawNo(0), {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(host.Messages.back().Text, "Номер тиража должен быть от 1 до 2147483646!");
    EXPECT_EQ(ws->Archive().Count(), 2);
    // A file that holds the largest number already: it is damaged, and no
    // next number exists.
    WriteArchive({MakeDraw(2147483647, {1, 2, 3, 4, 5, 6})});
    Open();
    EXPECT_EQ(ws->Archive().NextDrawNo(0), -1);
    EXPECT_FALSE(ws->AddDraw(MakeDraw(ws->Archive().NextDrawNo(0), {1, 2, 3, 4, 5, 6})));
    EXPECT_EQ(ws->AnalysisArchive().Count(), 0);
}

}  // namespace
}  // namespace tessara
