#include <fmt/format.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "app/workspace.h"
#include "combs/comb_list.h"
#include "export/grid_sheets.h"
#include "export/workspace_export.h"
#include "export/xlsx_writer.h"
#include "model/error.h"
#include "model/files.h"
#include "model/format.h"
#include "model/game.h"
#include "stakes/stakes_grid.h"
#include "stakes_test_support.h"
#include "xlsx_reader.h"

namespace tessara {
namespace {

using test::MakeDraw;
using test::XlsxFile;

std::string Hex(const TColor& c) { return fmt::format("{:02X}{:02X}{:02X}", c.r, c.g, c.b); }

bool NoTempFiles(const std::string& dir) {
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().string().ends_with(".tmp~")) return false;
    return true;
}

// A small workspace: draws 1..3 (draw 3 the newest), a manual stake on the
// coming draw and a checked scenario stake with a profit, and their rating.
class ExportTest : public ::testing::Test, public test::StakesWorkspace {
  protected:
    ExportTest() {
        ws->RegisterStats();
        ws->Archive().Draws() = {MakeDraw(1, {5, 12, 23, 31, 40, 2}, 3, "05 марта 2021"),
                                 MakeDraw(2, {7, 33, 2, 41, 18, 25}, 4, "09 марта 2021"),
                                 MakeDraw(3, {1, 2, 3, 20, 25, 42}, 9, "12 марта 2021")};
        Append(test::CheckedStake(3, "линия 1", 3, MoneyFromAmount(12.5)));
        Append(test::Stake(4, {3, 7, 15, 22, 30, 41}, "моя"));
        EXPECT_TRUE(ws->RatingsRefresh());
    }
    XlsxFile Write(const TSheet& sheet, const TXlsxOptions& options = {}) {
        const std::string path = dir.File("out.xlsx");
        EXPECT_TRUE(WriteXlsx(path, {sheet}, options));
        return XlsxFile(path);
    }
};

TEST_F(ExportTest, EachGridReadsBackWithTitleHeaderKindsAndColours) {
    ws->SetRatingsEffMode(1);
    TValueTableOptions vo;
    vo.SampleLength = 3;
    const int nums = ws->Stats().FindMethod("NUMS");
    TValueTable table = ComputeValueTable(ws->StatSource(), nums, vo);
    SortValueTable(table, vcCount, true);  // count 3 (the 2) on top
    // Values such as "3:3" stay texts.
    const int even = ws->Stats().FindMethod("EVEN");
    const TValueTable evenTable = ComputeValueTable(ws->StatSource(), even, vo);
    const TCardOptions card{true, true, ws->ChannelSize()};
    const TLayoutScheme scheme = BuildLayoutScheme(ws->Archive().Draws(), 0, 100, TByteSet{});
    const bool singleNumber =
        scheme.Cells[0][0].find_first_not_of("0123456789") == std::string::npos;

    // A cell: its reference, the value read back, a number or text, its format.
    struct Expect {
        const char* Ref;
        std::string Value;
        bool Number;
        std::string Format = "General";
        std::string Fill = "";
        std::string Font = "";
    };
    struct Case {
        TSheet Sheet;
        std::string Title;
        int FrozenColumns;
        int Rows;  // title and header included
        std::vector<Expect> Cells;
    } cases[] = {
        {WorkspaceDrawsSheet(*ws),
         "Архив тиражей",
         0,
         5,
         {{"A2", "Тираж", false},
          {"H2", "E", false},
          {"I2", "S", false},
          {"J2", "Дата тиража", false},
          {"A3", "3", true, "General", "FFAAAA"},  // the newest draw, at the offset
          {"B3", "1", true, "General", Hex(NumberGroupColor(1, ws->ChannelSize()))},
          {"I3", "93", true, "General", "FFAAAA"},
          {"J5", "05 марта 2021", false}}},
        {WorkspaceStakesSheet(*ws),
         "Ставки",
         0,
         4,
         {{"A2", "№ тиража", false},
          {"I2", "Комментарий", false},
          {"A3", "3", true, "General", "EAFFEA"},
          {"C3", "1;2;3;4;5;6", false, "General", "EAFFEA"},
          {"F3", "3", true, "General", "EAFFEA", "008000"},
          {"H3", "12.5", true, "0.00", "EAFFEA", "008000"},
          {"I3", "линия 1", false, "General", "EAFFEA"},
          {"E4", "", false, "General", "EAFFEA"},
          {"H4", "0", true, "0.00", "EAFFEA"}}},
        {WorkspaceRatingsSheet(*ws),
         "Рейтинг",
         0,
         3,
         {{"A2", "Комментарий", false},
          {"T2", "E6", false},
          {"A3", "линия 1", false},
          {"B3", "1", true},
          {"D3", "3", true, "0.000"},
          {"E3", "12.5", true, "0.00"},
          {"J3", "1", true},
          {"N3", "-37.131", true, "0.000\"%\""}}},
        {WorkspaceStatsSheet(*ws, nums, table, false),
         fmt::format("Статистика: {} (NUMS), тиражи 1–3", ws->Stats().Items(nums).DisplayName()),
         0,
         2 + static_cast<int>(table.Rows.size()),
         {{"C2", "Кол-во в %", false},
          {"D2", "Глубина", false},
          {"A2", "Значение", false},
          {"A3", "2", true, "0"},  // the numbers of NUMS sort as numbers
          {"B3", "3", true},
          {"C3", "16.66667", true, "0.00000"}}},
        {WorkspaceStatsSheet(*ws, even, evenTable, false),
         fmt::format("Статистика: {} (EVEN), тиражи 1–3", ws->Stats().Items(even).DisplayName()),
         0,
         2 + static_cast<int>(evenTable.Rows.size()),
         {{"A3", evenTable.Rows[0].Cells[vcValue], false}}},
        {WorkspaceCardSheet(*ws),
         "Карта",
         1,
         5,
         {{"A2", "Тираж", false},
          {"B2", "1", false},
          {"AR2", "E", false},
          {"A3", "3", true},
          {"C3", "2", true, "General", Hex(*CardCellColor(ws->Archive().Draws(), 1, 2, card)),
           "000000"},
          {"AR3", "9", true},
          {"AR5", "3", true}}},
        {LayoutSheet(scheme, true),
         "Схема",
         1,
         2 + static_cast<int>(scheme.Counts.size()),
         {{"A2", "", false},
          {"B2", std::to_string(scheme.LastDraws[0]), false},
          {"A3", std::to_string(scheme.Counts[0]), true},
          {"B3", scheme.Cells[0][0], singleNumber, "General",
           Hex(LayoutCellColor(scheme.Cells[0][0], 1, 1, scheme.GridRows(), scheme.GridColumns(),
                               true)),
           "000000"}}},
    };
    // The value of the first stats row: the 2 came out in all three draws.
    ASSERT_EQ(table.Rows[0].Cells[vcValue], "2");
    for (Case& c : cases) {
        SCOPED_TRACE(c.Sheet.Name);
        const XlsxFile file = Write(c.Sheet);
        ASSERT_EQ(file.SheetCount(), 1);
        const XlsxFile::Sheet& s = file.SheetAt(0);
        EXPECT_EQ(s.Name, c.Sheet.Name);
        EXPECT_EQ(s.Text("A1"), c.Title);
        ASSERT_NE(s.At("A1"), nullptr);
        EXPECT_TRUE(file.Bold(*s.At("A1")));
        EXPECT_EQ(s.FrozenRows, 2);
        EXPECT_EQ(s.FrozenColumns, c.FrozenColumns);
        EXPECT_EQ(s.Rows, c.Rows);
        // Printed as one table across the page.
        EXPECT_TRUE(s.Landscape);
        EXPECT_TRUE(s.FitToWidth);
        // Captions right over numbers; texts, captions included, one step in
        // from the left so they never touch the number before them.
        for (size_t col = 0; col < c.Sheet.Columns.size(); ++col) {
            const XlsxFile::Cell* caption =
                s.At(std::string(1, static_cast<char>('A' + col % 26)) + "2");
            if (col >= 26 || !caption) continue;
            const bool text = c.Sheet.Columns[col].Kind == TCellKind::Text;
            EXPECT_EQ(file.Align(*caption), text ? "left" : "right") << col;
            EXPECT_EQ(file.Indent(*caption), text ? 1 : 0) << col;
        }
        for (const Expect& e : c.Cells) {
            SCOPED_TRACE(e.Ref);
            const XlsxFile::Cell* cell = s.At(e.Ref);
            if (e.Value.empty() && !e.Number && e.Fill.empty()) {
                EXPECT_TRUE(!cell || cell->Value.empty());
                continue;
            }
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->Value, e.Value);
            EXPECT_EQ(cell->IsNumber(), e.Number);
            EXPECT_EQ(file.NumberFormat(*cell), e.Format);
            EXPECT_EQ(file.Fill(*cell), e.Fill);
            EXPECT_EQ(file.FontColor(*cell), e.Font);
        }
    }
}

// A text stands one step in from the left, clear of the number before it; a
// text among numbers (a "-" for no value) stands right, where they do.
TEST_F(ExportTest, TextsStandClearOfNumbers) {
    const std::vector<TSheetColumn> columns{{"Число", TCellKind::Integer},
                                            {"Имя", TCellKind::Text}};
    std::vector<TSheetCell> row(2);
    SetCellFromText(row[0], columns[0], "-");
    row[1].SetText("текст");
    const XlsxFile file = Write(MemorySheet("Лист", "Заголовок", columns, {row}));
    const XlsxFile::Sheet& s = file.SheetAt(0);
    ASSERT_NE(s.At("A3"), nullptr);
    ASSERT_NE(s.At("B3"), nullptr);
    EXPECT_FALSE(s.At("A3")->IsNumber());
    EXPECT_EQ(file.Align(*s.At("A3")), "right");
    EXPECT_EQ(file.Indent(*s.At("A3")), 0);
    EXPECT_EQ(file.Align(*s.At("B3")), "left");
    EXPECT_EQ(file.Indent(*s.At("B3")), 1);
}

TEST(SheetCells, ShownTextsBecomeNumbersOfTheColumnsKind) {
    const char saved = DecimalSeparator();
    SetDecimalSeparator(',');
    const struct {
        TCellKind Column;
        const char* Text;
        TCellKind Kind;
        double Value;
        int Decimals;
        bool Percent, Signed;
    } cases[] = {
        {TCellKind::Integer, "42", TCellKind::Integer, 42, 0, false, false},
        {TCellKind::Integer, "-7", TCellKind::Integer, -7, 0, false, false},
        {TCellKind::Integer, "+3", TCellKind::Integer, 3, 0, false, true},
        {TCellKind::Integer, "-", TCellKind::Text, 0, 0, false, false},
        {TCellKind::Integer, "1,5", TCellKind::Text, 0, 0, false, false},
        {TCellKind::Integer, "", TCellKind::Empty, 0, 0, false, false},
        {TCellKind::Amount, "-12,50", TCellKind::Amount, -12.5, 0, false, false},
        {TCellKind::Amount, "# bad data #", TCellKind::Text, 0, 0, false, false},
        {TCellKind::Number, "16,66667", TCellKind::Number, 16.66667, 5, false, false},
        {TCellKind::Number, "-0,125%", TCellKind::Number, -0.125, 3, true, false},
        {TCellKind::Number, "7", TCellKind::Number, 7, 0, false, false},
        {TCellKind::Number, "%", TCellKind::Text, 0, 0, false, false},
        {TCellKind::Text, "12", TCellKind::Text, 0, 0, false, false},
        {TCellKind::Integer, "1;2;3", TCellKind::Text, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        TSheetCell cell;
        SetCellFromText(cell, {"x", c.Column}, c.Text);
        EXPECT_EQ(cell.Kind, c.Kind);
        if (c.Kind == TCellKind::Text) {
            EXPECT_EQ(cell.Text, c.Text);
        }
        if (c.Kind == TCellKind::Text || c.Kind == TCellKind::Empty) continue;
        EXPECT_DOUBLE_EQ(cell.Value, c.Value);
        EXPECT_EQ(cell.Decimals, c.Decimals);
        EXPECT_EQ(cell.Percent, c.Percent);
        EXPECT_EQ(cell.Signed, c.Signed);
    }
    SetDecimalSeparator(saved);
}

// The combination list continues on further sheets when one is full, each
// with the title and header again; the big workbook is written row by row.
TEST_F(ExportTest, CombinationListSplitsOverSheetsWithProgress) {
    TCombList list;
    for (int i = 0; i < 25; ++i)
        list.Append(TCombination{{uint8_t(1 + i), 30, 31, 32, 33, uint8_t(34 + i % 5)}});
    std::vector<std::pair<int64_t, int64_t>> progress;
    TXlsxOptions o;
    o.MaxSheetRows = 12;  // ten data rows a sheet
    o.ConstantMemoryRows = 1;
    o.Progress = [&](int64_t written, int64_t total) { progress.emplace_back(written, total); };
    const XlsxFile file = Write(CombsSheet(list, false, 7), o);
    ASSERT_EQ(file.SheetCount(), 3);
    const int lastRows[] = {12, 12, 7};
    for (int i = 0; i < 3; ++i) {
        const XlsxFile::Sheet& s = file.SheetAt(i);
        EXPECT_EQ(s.Name, i == 0 ? "Комбинации" : fmt::format("Комбинации ({})", i + 1));
        EXPECT_EQ(s.Text("A1"), "Комбинации");
        EXPECT_EQ(s.Text("A2"), "№ п.п.");
        EXPECT_EQ(s.Text("H2"), "S");
        EXPECT_EQ(s.FrozenRows, 2);
        EXPECT_EQ(s.Rows, lastRows[i]);
        // Row numbers run on across the sheets.
        EXPECT_EQ(s.Text("A3"), std::to_string(i * 10 + 1));
        EXPECT_TRUE(s.At("A3")->IsNumber());
        EXPECT_EQ(s.Text("B3"), std::to_string(i * 10 + 1));
    }
    EXPECT_EQ(file.SheetAt(2).Text("H7"), std::to_string(25 + 30 + 31 + 32 + 33 + 38));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), std::make_pair(int64_t{25}, int64_t{25}));
    for (size_t i = 1; i < progress.size(); ++i)
        EXPECT_LE(progress[i - 1].first, progress[i].first);

    // The full list at the real sheet size: the rows past five full sheets go on a sixth.
    EXPECT_EQ(XlsxMaxRows, 1048576);
    const auto names = SheetPartNames("Комбинации", 5245786);
    ASSERT_EQ(names.size(), 6u);
    EXPECT_EQ(names[5], "Комбинации (6)");
    EXPECT_EQ(SheetPartNames("Комбинации", 5 * (XlsxMaxRows - 2)).size(), 5u);
    EXPECT_EQ(SheetPartNames("Комбинации", 0).size(), 1u);
}

// A failed or cancelled export leaves the file that was there and no
// temporary file; a failure names the file.
TEST_F(ExportTest, FailuresAndCancelKeepTheOldFile) {
    const std::string path = dir.File("keep.xlsx");
    test::WriteBytes(path, "old");
    TSheet broken = WorkspaceDrawsSheet(*ws);
    broken.FillRow = [](int64_t row, std::vector<TSheetCell>& cells) {
        if (row == 1) throw Error("Ошибка чтения записи из файла ставок!");
        cells[0].SetInteger(row);
    };
    try {
        WriteXlsx(path, {broken});
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Ошибка записи в файл \"" + path +
                                             "\"!\r\rОшибка чтения записи из файла ставок!");
    }
    EXPECT_EQ(ReadFileBytes(path), "old");

    TXlsxOptions cancel;
    cancel.Cancelled = [] { return true; };
    EXPECT_FALSE(WriteXlsx(path, {WorkspaceDrawsSheet(*ws)}, cancel));
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_TRUE(NoTempFiles(dir.Path()));

    // A folder that is not there, and a "folder" that is a file.
    for (const std::string& bad : {dir.File("missing/x.xlsx"), path + "/x.xlsx"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(ExportSheets(host, bad, {WorkspaceDrawsSheet(*ws)}), -1);
        ASSERT_FALSE(host.Messages.empty());
        EXPECT_EQ(host.Messages.back().Kind, MessageKind::Error);
        EXPECT_TRUE(
            host.Messages.back().Text.starts_with("Ошибка записи в файл \"" + bad + "\"!\r\r"))
            << host.Messages.back().Text;
    }
    EXPECT_TRUE(NoTempFiles(dir.Path()));

    // Written at last: the new workbook replaces the old file.
    EXPECT_EQ(ExportSheets(host, path, {WorkspaceDrawsSheet(*ws)}), 1);
    EXPECT_EQ(XlsxFile(path).SheetAt(0).Text("A1"), "Архив тиражей");
    EXPECT_TRUE(NoTempFiles(dir.Path()));
}

TEST_F(ExportTest, ExportParametersLiveInTheViewState) {
    TExportParams p = LoadExportParams(*ws);
    EXPECT_EQ(p.Folder, ws->DataDir());
    EXPECT_TRUE(p.OpenFile);
    std::filesystem::create_directory(dir.File("out"));
    SaveExportParams(*ws, {dir.File("out"), false});
    p = LoadExportParams(*ws);
    EXPECT_EQ(p.Folder, dir.File("out"));
    EXPECT_FALSE(p.OpenFile);
    // A folder removed since falls back to the data folder.
    std::filesystem::remove(dir.File("out"));
    EXPECT_EQ(LoadExportParams(*ws).Folder, ws->DataDir());
}

}  // namespace
}  // namespace tessara
