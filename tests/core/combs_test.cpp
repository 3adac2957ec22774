#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

TCombination C(int a, int b, int c, int d, int e, int f) {
    return TCombination{{static_cast<uint8_t>(a), static_cast<uint8_t>(b), static_cast<uint8_t>(c),
                         static_cast<uint8_t>(d), static_cast<uint8_t>(e), static_cast<uint8_t>(f)}};
}

class CombsTest : public ::testing::Test {
protected:
    CombsTest() : ws(host, dir.Path()) {
        ws.InitGameTables();
        ws.ReserveCombs(ws.TotalCombs(), 0);
        ws.ReserveUndo(ws.TotalCombs(), 0);
    }
    int64_t Generate(int mode, const std::string& text = {}) {
        EXPECT_TRUE(ws.GenerateCombs(true, {static_cast<uint8_t>(mode), text}));
        return ws.CombsCount();
    }
    std::string ListText() const { return FormatCombsListText(ws.Combs()); }

    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws;
};

TEST_F(CombsTest, GenerationModes) {
    EXPECT_EQ(Generate(0), 5245786);
    const TCombList& l = ws.Combs();
    EXPECT_EQ(l[0], C(1, 2, 3, 4, 5, 6));
    EXPECT_EQ(l[1], C(1, 2, 3, 4, 5, 7));
    EXPECT_EQ(l[36], C(1, 2, 3, 4, 5, 42));
    EXPECT_EQ(l[37], C(1, 2, 3, 4, 6, 7));
    EXPECT_EQ(l[5245785], C(37, 38, 39, 40, 41, 42));
    EXPECT_EQ(ws.Combs().Capacity(), 5245786);  // no growth past the start-up size

    EXPECT_EQ(Generate(2, "1;2;3;4;5;6;7"), 7);
    EXPECT_EQ(ListText(),
              "1;2;3;4;5;6\r\n1;2;3;4;5;7\r\n1;2;3;4;6;7\r\n1;2;3;5;6;7\r\n1;2;4;5;6;7\r\n"
              "1;3;4;5;6;7\r\n2;3;4;5;6;7\r\n");
    EXPECT_EQ(Generate(1, "42"), 749398);
    EXPECT_EQ(Generate(3, " ;42;;"), 4496388);
    EXPECT_EQ(Generate(2, "1,2,3,4,5"), 0);
    EXPECT_EQ(ws.CombsStatusText(), "Комбинаций: 0");
    EXPECT_EQ(Generate(1, "x;500;-1"), 0);   // no valid number: an empty set
    EXPECT_EQ(Generate(3, "x"), 5245786);
    EXPECT_EQ(Generate(9, "1"), 5245786);  // unknown modes keep everything
    EXPECT_EQ(ws.UndoCount(), 0);
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(host.BusyCount(), 0);
}

TEST(GenerateWarning, NumbersOutsideAndEmptyLists) {
    const struct {
        int mode;
        const char* mine;
        const char* warning;
    } cases[] = {
        {2, "1;2;3;4;5;6;7", ""},
        {1, "42", ""},
        {0, "1;2;3;50", ""},  // the full list ignores the numbers
        {4, "1;2;3;50", ""},
        {2, "1;2;3;50", "Числа вне диапазона 1..42 не войдут в комбинации: 50.\r\rСписок комбинаций будет пуст."},
        {1, "0; 43 ;x", "Числа вне диапазона 1..42 не войдут в комбинации: 0, 43, x.\r\rСписок комбинаций будет пуст."},
        {1, "7;50", "Числа вне диапазона 1..42 не войдут в комбинации: 50."},
        {2, "1;2;3;4;5", "Список комбинаций будет пуст."},
        {2, "1;1;2;3;4;5", "Список комбинаций будет пуст."},  // a repeat is one number
        {3, "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20;21;22;23;24;25;26;27;28;29;30;31;32;33;34;35;36;37",
         "Список комбинаций будет пуст."},
        {3, "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(GenerateWarning(c.mode, c.mine), c.warning) << c.mode << " " << c.mine;
}

TEST_F(CombsTest, ListFilesSkipBadLinesAndGrowTheBuffer) {
    test::WriteBytes(dir.File("a.lcv"), "1;2;3;4;5;6\r\n1;2;3\r\n\r\n 7 ,8;;9;10;11;300\nx;y;z;a;b;c\r\n");
    EXPECT_EQ(Generate(4, dir.File("a.lcv")), 3);
    EXPECT_EQ(ListText(), "1;2;3;4;5;6\r\n7;8;9;10;11;44\r\n0;0;0;0;0;0\r\n");
    ASSERT_TRUE(ws.SaveCombsListAs(dir.File("b.lcv")));
    EXPECT_EQ(ReadFileBytes(dir.File("b.lcv")), ListText());

    // A file can hold more lines than the buffer was given room for.
    Workspace small(host, dir.Path());
    small.ReserveCombs(2, 0);
    std::string many;
    for (int i = 0; i < 50; ++i) many += "1;2;3;4;5;6\r\n";
    test::WriteBytes(dir.File("many.lcv"), many);
    ASSERT_TRUE(small.LoadCombsList(dir.File("many.lcv")));
    EXPECT_EQ(small.CombsCount(), 50);

    // A missing file: the previous list comes back and nothing can be undone.
    EXPECT_FALSE(ws.OpenCombsList(dir.File("missing.lcv")));
    EXPECT_EQ(ws.CombsCount(), 3);
    EXPECT_EQ(ws.UndoCount(), 0);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_TRUE(host.Messages[0].Text.starts_with("Ошибка чтения файла \"" + dir.File("missing.lcv") + "\"!\r\r"));
}

TEST_F(CombsTest, ClipboardTextAndPaste) {
    Generate(2, "3;12;17;25;30;41;42");
    EXPECT_EQ(ws.CombsClipboardText({{0, 0}, {6, 6}}), "03 12 17 25 30 41\r\n12 17 25 30 41 42\r\n");
    // Two line endings at the end: the empty line fails and the list comes back.
    EXPECT_FALSE(ws.PasteCombs("1 2 3 4 5 6\r\n7-8-9-10-11-12\r\n\r\n"));
    EXPECT_EQ(ws.CombsCount(), 7);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, "Некорректная комбинация: \"\"!");
    EXPECT_TRUE(ws.PasteCombs("1 2 3 4 5 6\r\n7-8-9-10-11-12\r\n"));
    EXPECT_EQ(ListText(), "1;2;3;4;5;6\r\n7;8;9;10;11;12\r\n");
    EXPECT_EQ(ws.UndoCount(), 0);
    EXPECT_TRUE(ws.FilterLog().empty());
    // Numbers of three digits, a lone CR and a last line without an end.
    EXPECT_TRUE(ws.PasteCombs("100 2 3 4 5 200\r9 8 7 6 5 4"));
    EXPECT_EQ(ListText(), "100;2;3;4;5;200\r\n9;8;7;6;5;4\r\n");
    EXPECT_EQ(ws.CombsClipboardText({{0, 1}}), "100 02 03 04 05 200\r\n09 08 07 06 05 04\r\n");
}

// The bulk operations of a long list say how far they are, in hundredths,
// and do the same work as without the window's status.
TEST_F(CombsTest, BulkOperationsShowTheirProgress) {
    const int64_t n = Generate(2, "1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18;19;20");
    ASSERT_EQ(n, 38760);
    const std::string list = ListText();
    auto percents = [&](const std::string& prefix) {
        std::vector<int> out;
        for (const std::string& s : host.Statuses)
            if (s.starts_with(prefix + " ( завершено ")) out.push_back(std::stoi(s.substr(prefix.size() + 22)));
        host.Statuses.clear();
        return out;
    };
    auto expectRising = [](const std::vector<int>& p, const char* what) {
        ASSERT_GE(p.size(), 50u) << what;
        EXPECT_LE(p.size(), 101u) << what;
        EXPECT_LE(p.front(), 1) << what;
        EXPECT_GE(p.back(), 99) << what;
        EXPECT_TRUE(std::is_sorted(p.begin(), p.end())) << what;
    };
    const std::string file = dir.File("big.lcv");
    host.Statuses.clear();
    ASSERT_TRUE(ws.SaveCombsListAs(file));
    expectRising(percents("Сохранение файла \"" + file + "\""), "save");
    EXPECT_EQ(ReadFileBytes(file), list);
    ASSERT_TRUE(ws.OpenCombsList(file));
    expectRising(percents("Загрузка файла \"" + file + "\""), "open");
    EXPECT_EQ(ListText(), list);
    const std::string text = ws.CombsClipboardText({{0, n - 1}});
    expectRising(percents("Подождите пожалуйста"), "copy");
    ASSERT_TRUE(ws.PasteCombs(text));
    expectRising(percents("Подождите пожалуйста"), "paste");
    EXPECT_EQ(ListText(), list);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(CombsTest, ExcludingLastDrawsFollowsTheOffset) {
    TDrawsArray draws = test::MakeDraws(1, 10);
    draws[9] = test::MakeDraw(10, {6, 5, 4, 3, 2, 1});
    draws[5] = test::MakeDraw(6, {1, 2, 3, 4, 5, 7});
    draws[4] = test::MakeDraw(5, {1, 2, 3, 4, 5, 8});
    ws.Archive().Draws() = draws;
    Generate(0);
    ASSERT_TRUE(ws.ExcludeLastDraws(1));
    EXPECT_EQ(ws.CombsCount(), 5245785);
    EXPECT_EQ(ws.Combs()[0], C(1, 2, 3, 4, 5, 7));
    ASSERT_EQ(ws.FilterLog().size(), 1u);
    EXPECT_EQ(ws.FilterLog()[0].Caption, "Последние тиражи");
    EXPECT_EQ(ws.FilterLog()[0].Value, "1");
    EXPECT_EQ(ws.FilterLog()[0].Icon, TLogIcon::Exclude);
    EXPECT_EQ(ws.FilterLog()[0].Count, 5245785);

    // Offset 3, two draws: indices High-4 and High-3, not the newest.
    ASSERT_TRUE(ws.UndoLastOperation());
    EXPECT_TRUE(ws.FilterLog().empty());
    EXPECT_EQ(ws.UndoCount(), 0);
    ws.SetDrawsOffset(3);
    ASSERT_TRUE(ws.ExcludeLastDraws(2));
    EXPECT_EQ(ws.CombsCount(), 5245784);
    EXPECT_EQ(ws.Combs()[0], C(1, 2, 3, 4, 5, 6));
    EXPECT_EQ(ws.Combs()[1], C(1, 2, 3, 4, 5, 8));

    // More than the archive: every draw up to the current last one (the
    // generated draws 7 to 9 repeat the numbers of 1 to 3).
    ws.UndoLastOperation();
    ws.SetDrawsOffset(0);
    ASSERT_TRUE(ws.ExcludeLastDraws(100));
    EXPECT_EQ(ws.CombsCount(), 5245786 - 7);
}

TEST_F(CombsTest, DeletingSelectedRowsAndUndo) {
    Generate(2, "1;2;3;4;5;6;7;8");  // 28 combinations
    ws.ClearFilterLog();
    ws.Combs().SetCount(10);
    const std::string before = ListText();
    ASSERT_TRUE(ws.DeleteSelectedCombs({{2, 2}, {5, 5}}));
    EXPECT_EQ(ws.CombsCount(), 8);
    EXPECT_EQ(ws.Combs()[2], C(1, 2, 3, 4, 6, 7));  // row 3 moved up, order kept
    EXPECT_EQ(ws.FilterLog().back().Caption, "Выделенные комбинации");
    EXPECT_EQ(ws.FilterLog().back().Value, "2");
    ASSERT_TRUE(ws.UndoLastOperation());
    EXPECT_EQ(ListText(), before);
    EXPECT_TRUE(ws.FilterLog().empty());
    EXPECT_FALSE(ws.UndoLastOperation());  // one level only
}

TEST_F(CombsTest, BufferFileIsKeyedByOffsetAndDraws) {
    Generate(2, "1;2;3;4;5;6;7");
    EXPECT_FALSE(ws.LoadCombsBuffer(0, 3));  // nothing saved under that key yet
    ASSERT_TRUE(ws.SaveCombsBuffer(0, 3));
    EXPECT_EQ(std::filesystem::file_size(ws.CombsBufferFile()), 7u * 6);
    Generate(2, "1;2;3;4;5;6");
    EXPECT_TRUE(ws.LoadCombsBuffer(0, 3));
    EXPECT_EQ(ws.CombsCount(), 7);
    EXPECT_FALSE(ws.LoadCombsBuffer(1, 3));
    ws.DeleteCombsBuffer();
    EXPECT_FALSE(std::filesystem::exists(ws.CombsBufferFile()));
    EXPECT_FALSE(ws.LoadCombsBuffer(0, 3));
    // A failed write leaves no key behind.
    std::filesystem::create_directory(ws.CombsBufferFile());
    EXPECT_FALSE(ws.SaveCombsBuffer(2, 2));
    EXPECT_TRUE(host.Messages.back().Text.starts_with("Ошибка создания буфера комбинаций!\r\r"));
    EXPECT_FALSE(ws.LoadCombsBuffer(2, 2));
}

TEST_F(CombsTest, QueriesOverTheArchiveAndTheList) {
    TDrawsArray draws;
    for (int i = 1; i <= 30; ++i) draws.push_back(test::MakeDraw(i, {6, 5, 4, 3, 2, 1}));
    draws.push_back(test::MakeDraw(31, {1, 2, 3, 4, 5, 7}));
    ws.Archive().Draws() = draws;
    const auto lines = ws.FindCombInDraws(C(1, 2, 3, 4, 5, 6));
    ASSERT_EQ(lines.size(), 26u);
    EXPECT_EQ(lines.front(), "Тираж № 30 от , значения: 6;5;4;3;2;1 e:0");
    EXPECT_EQ(lines.back(), "Тираж № 5 от , значения: 6;5;4;3;2;1 e:0");
    ws.ShowCombInDraws(C(1, 2, 3, 4, 5, 9));
    EXPECT_EQ(host.Messages.back().Text, "Выделенная комбинация не найдена архиве тиражей!");

    Generate(2, "1;2;3;4;5;6");
    EXPECT_EQ(ws.ShowDistinctNumbers(), 6);
    EXPECT_EQ(host.Messages.back().Text, "В текущем списке комбинаций содержится 6 уникальных номеров");
    EXPECT_TRUE(ws.CombsContains(C(1, 2, 3, 4, 5, 6)));
    EXPECT_FALSE(ws.CombsContains(C(6, 5, 4, 3, 2, 1)));
    Generate(0);
    EXPECT_EQ(ws.ShowDistinctNumbers(), 42);
}

}  // namespace
}  // namespace tessara

// A generated list loses its drawn combinations by a search and runs of
// copies; any list by a test of every combination: both leave the same,
// for draws in the list, outside it, with a repeated number, with numbers
// beyond 1..42 (a mask takes them modulo 64, so 65 stands for 1) and for
// the same draw twice.
TEST(RemoveDrawnCombs, GeneratedListAsAnyList) {
    using namespace tessara;
    TCombList list;
    GenerateCombinations(list, gmOnlyMine, ParseMyNumbers("1,2,3,5,8,13,21,34,40,41,42"));
    const auto mask = [](std::initializer_list<int> numbers) {
        uint64_t m = 0;
        for (int x : numbers) m |= uint64_t{1} << (x & 63);
        return m;
    };
    const std::vector<std::vector<uint64_t>> cases = {
        {},
        {mask({1, 2, 3, 5, 8, 13})},
        {mask({1, 2, 3, 5, 8, 13}), mask({1, 2, 3, 5, 8, 13}), mask({21, 34, 40, 41, 42, 13})},
        {mask({4, 6, 7, 9, 10, 11})},
        {mask({1, 1, 2, 3, 5, 8})},
        {mask({65, 2, 3, 5, 8, 13}), mask({0, 2, 3, 5, 8, 13}), mask({43, 2, 3, 5, 8, 13})},
        {mask({36, 37, 38, 39, 40, 41}), mask({37, 38, 39, 40, 41, 42}), mask({1, 2, 3, 5, 8, 42})},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        std::vector<uint64_t> drawn = cases[i];
        std::sort(drawn.begin(), drawn.end());
        std::vector<TCombination> a(static_cast<size_t>(list.Count())), b(a.size());
        const int64_t na = RemoveDrawnCombs(list.Data(), list.Count(), a.data(), drawn, true);
        const int64_t nb = RemoveDrawnCombs(list.Data(), list.Count(), b.data(), drawn, false);
        ASSERT_EQ(na, nb) << i;
        for (int64_t k = 0; k < na; ++k) ASSERT_TRUE(a[static_cast<size_t>(k)] == b[static_cast<size_t>(k)]) << i << " " << k;
        const int64_t expected[] = {462, 461, 460, 462, 462, 461, 461};
        EXPECT_EQ(na, expected[i]) << i;
    }
}
