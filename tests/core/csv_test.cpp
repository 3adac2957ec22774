#include <cstring>
#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/draws_csv.h"
#include "model/encoding.h"
#include "model/files.h"
#include "model/game.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;

TEST(DrawCsv, SplittingFields) {
    const struct {
        const char* line;
        std::vector<std::string> fields;
    } cases[] = {
        {"1;\"a;b\";3", {"1", "a;b", "3"}},
        {"  1 ; 2 ;3", {"1", "2", "3"}},
        {"1;;3", {"1", "", "3"}},
        {"1;2;", {"1", "2", ""}},
        {"\"say \"\"hi\"\"\";2", {"say \"hi\"", "2"}},
        {"\"\";1", {"", "1"}},
        {"5;05 марта 2021;1", {"5", "05", "марта", "2021", "1"}},
        {"\"unclosed;1", {"unclosed;1"}},
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitDrawCsvFields(c.line), c.fields) << c.line;
}

TEST(DrawCsv, ExportFormatIsExact) {
    TDrawsArray draws = {MakeDraw(1234, {7, 33, 2, 41, 18, 25}, 4, "05 марта 2021"),
                         MakeDraw(1235, {1, 2, 3, 4, 5, 6}, 0, "a\"b")};
    const std::string text = ExportDrawsCsvText(draws);
    EXPECT_EQ(text, Utf8ToCp1251("1234;\"05 марта 2021\";7;33;2;41;18;25;4\r\n"
                                 "1235;\"a\"\"b\";1;2;3;4;5;6;0\r\n"));
}

TEST(DrawCsv, RoundTripAndSecondImportAddsNothing) {
    TDrawsArray draws = {MakeDraw(1, {7, 33, 2, 41, 18, 25}, 4, "05 марта 2021"),
                         MakeDraw(2, {1, 2, 3, 4, 5, 6}, 9, "x \"quoted\"; y"),
                         MakeDraw(3, {42, 41, 40, 39, 38, 37}, 0, "")};
    const std::string text = ExportDrawsCsvText(draws);
    TDrawArchive a;
    EXPECT_EQ(ImportDrawsCsvText(a, text).Added, 3);
    ASSERT_EQ(a.Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::memcmp(&a[i], &draws[i], 12 + 1 + draws[i].DrawDateLen), 0) << i;
    EXPECT_EQ(ExportDrawsCsvText(a.Draws()), text);
    EXPECT_EQ(ImportDrawsCsvText(a, text).Added, 0);
    EXPECT_EQ(a.Count(), 3);
}

TEST(DrawCsv, ImportRules) {
    TDrawArchive a;
    for (const auto& d : test::MakeDraws(1, 100)) a.Append(d);
    const std::string text =
        "7;33;2;41;18;25;4\r\n"                   // seven fields: ignored
        "200;05 марта 2021;1;2;3;4;5;6;0\r\n"    // unquoted date: eleven fields
        "\"\";1;2;3;4;5;6;0\r\n"                  // eight fields: next number, 101
        "   \r\n"                                 // blank
        "0;\"d\";1;2;3;4;5;6;0\r\n"               // number 0
        "x;\"d\";1;2;3;4;5;6;0\r\n"               // number not a number
        "105;\"d\";1;2;3;4;5;6;1\n"               // out of order: kept in file order
        "1;\"d\";1;2;3;4;5;6;1\n"                 // the archive has it
        "\"\";1;2;3;4;5;6;0\r\n"                  // eight fields: count + 1 = 103
        "\"\";1;2;3;4;5;6;0\r\n"                  // 104
        "\"\";1;2;3;4;5;6;0";                     // 105 exists, dropped
    const TDrawsImportResult r = ImportDrawsCsvText(a, text);
    EXPECT_EQ(r.Added, 4);
    EXPECT_EQ(r.Rejected, 0);
    EXPECT_EQ(r.Ignored, 4);
    EXPECT_EQ(r.Existing, 2);
    ASSERT_EQ(a.Count(), 104);
    EXPECT_EQ(a[100].DrawNo, 101);
    EXPECT_EQ(DrawDateText(a[100]), "");
    EXPECT_EQ(a[101].DrawNo, 105);
    EXPECT_EQ(a[102].DrawNo, 103);
    EXPECT_EQ(a[103].DrawNo, 104);
}

// Each number is checked whole: its low byte alone would turn 257 into 1.
TEST(DrawCsv, NumbersAreCheckedInFull) {
    for (const char* line : {"1;\"d\";257;2;3;4;5;6;0", "1;\"d\";298;2;3;4;5;6;0", "1;\"d\";-255;2;3;4;5;6;0",
                             "1;\"d\";1;2;3;4;5;43;0", "1;\"d\";0;2;3;4;5;6;0", "1;\"d\";1;2;3;4;5;6;10",
                             "1;\"d\";1;2;3;4;5;6;255", "1;\"d\";1;2;3;4;5;6;300", "1;\"d\";1;2;3;4;5;6;-1",
                             "1;\"d\";1;2;3;4;5;x;0", "1;\"d\";1;2;3;4;5;6;99999999999"}) {
        TDrawArchive a;
        const TDrawsImportResult r = ImportDrawsCsvText(a, line);
        EXPECT_EQ(r.Rejected, 1) << line;
        EXPECT_EQ(a.Count(), 0) << line;
    }
    TDrawArchive a;
    EXPECT_EQ(ImportDrawsCsvText(a, "1;\"d\";42;1;2;3;4;5;9").Added, 1);
    EXPECT_EQ(a[0].ExtraBall, 9);
}

// A UTF-8 file, with or without its byte-order mark, keeps its first line
// and its dates; a Windows-1251 one reads as before.
TEST(DrawCsv, Utf8FilesReadAsUtf8) {
    const std::string lines = "1;\"05 марта 2021\";1;2;3;4;5;6;0\r\n2;\"Ёж\";7;8;9;10;11;12;1\r\n";
    for (const std::string& text : {"\xEF\xBB\xBF" + lines, lines, Utf8ToCp1251(lines)}) {
        TDrawArchive a;
        const TDrawsImportResult r = ImportDrawsCsvText(a, text);
        EXPECT_EQ(r.Added, 2);
        EXPECT_EQ(r.Ignored, 0);
        ASSERT_EQ(a.Count(), 2);
        EXPECT_EQ(DrawDateText(a[0]), "05 марта 2021");
        EXPECT_EQ(DrawDateText(a[1]), "Ёж");
    }
    // The mark alone before an ASCII file is dropped too.
    TDrawArchive a;
    EXPECT_EQ(ImportDrawsCsvText(a, "\xEF\xBB\xBF" "1;\"d\";1;2;3;4;5;6;0").Added, 1);
}

TEST(DrawCsv, WorkspaceImportSavesAndReports) {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    test::WriteBytes(dir.File("in.csv"),
                     "1;\"d\";1;2;3;4;5;6;0\r\n2;\"d\";1;2;3;4;5;99;0\r\n");
    EXPECT_TRUE(ws.ImportDraws(dir.File("in.csv")));
    EXPECT_EQ(ws.Archive().Count(), 1);
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)).size(), 28u);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Information);
    EXPECT_EQ(host.Messages[0].Text, "Пропущено строк с числами вне диапазона 1..42: 1");
    // Importing it again adds nothing and says why.
    host.Messages.clear();
    EXPECT_TRUE(ws.ImportDraws(dir.File("in.csv")));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text,
              "Пропущено строк с числами вне диапазона 1..42: 1\rПропущено тиражей, уже имеющихся в архиве: 1");

    host.Messages.clear();
    EXPECT_FALSE(ws.ImportDraws(dir.File("missing.csv")));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(host.BusyCount(), 0);
    EXPECT_EQ(host.Statuses.back(), "");

    ASSERT_TRUE(ws.ExportDraws(dir.File("out.csv")));
    EXPECT_EQ(ReadFileBytes(dir.File("out.csv")), "1;\"d\";1;2;3;4;5;6;0\r\n");
}

}  // namespace
}  // namespace tessara
