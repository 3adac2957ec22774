#include <gtest/gtest.h>

#include <sstream>

#include "cli.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "test_support.h"
#include "xlsx_reader.h"

namespace tessara {
namespace {

using test::MakeDraw;

class ExportCliTest : public ::testing::Test {
  protected:
    ExportCliTest() {
        WriteDrawsFile(dir.File(DrawsFileName),
                       {MakeDraw(100, {1, 2, 3, 20, 25, 30}, 5, "07 марта 2021"),
                        MakeDraw(101, {2, 10, 30, 36, 38, 41}, 7, "08 марта 2021")});
    }
    std::pair<int, std::string> Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        std::ostringstream out, err;
        const int code = cli::RunCli(args, out, err);
        return {code, out.str() + err.str()};
    }
    test::TempDir dir;
};

TEST_F(ExportCliTest, EveryFormWritesItsGrid) {
    const std::string file = dir.File("out.xlsx");
    // Nothing to export yet: no stakes, no rating.
    for (const char* grid : {"stakes", "ratings"}) {
        const auto [code, out] = Run({"export", grid, file});
        EXPECT_EQ(code, 1) << grid << ": " << out;
        EXPECT_FALSE(FileExists(file));
    }
    ASSERT_EQ(
        Run({"stakes", "add", "2;10;30;4;5;6", "--draw", "101", "--comment", "линия 1"}).first, 0);
    ASSERT_EQ(Run({"stakes", "check"}).first, 0);
    // A small start list: the combinations of the numbers 1..7 only.
    ASSERT_EQ(Run({"config", "set", "GLOBAL", "CombsGenerateMode", "2"}).first, 0);
    ASSERT_EQ(Run({"config", "set", "GLOBAL", "CombsGenerateParameters", "1;2;3;4;5;6;7"}).first,
              0);

    const struct {
        std::vector<std::string> Args;
        std::string Sheet, Title;
        int Rows;
        const char* Ref;
        std::string Value;
    } cases[] = {
        {{"draws"}, "Архив тиражей", "Архив тиражей", 4, "A3", "101"},
        {{"combs"}, "Комбинации", "Комбинации", 9, "G9", "7"},
        {{"stakes"}, "Ставки", "Ставки", 3, "F3", "3"},
        {{"ratings"}, "Рейтинг", "Рейтинг", 3, "A3", "линия 1"},
        {{"card"}, "Карта", "Карта", 4, "K3", "10"},
        {{"layout"}, "Схема", "Схема", 0, "B2", "101"},
        {{"stats", "NUMS", "--len", "1", "--offset", "1"},
         "Статистика",
         "Статистика: Числа тиража (NUMS), тиражи 100–100",
         44,
         "B44",
         "1"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"export"};
        args.insert(args.end(), c.Args.begin(), c.Args.end());
        // The file stands after the grid (after the code for stats); options may follow.
        args.insert(args.begin() + (c.Args[0] == "stats" ? 3 : 2), file);
        SCOPED_TRACE(args[1]);
        const auto [code, out] = Run(args);
        ASSERT_EQ(code, 0) << out;
        EXPECT_NE(out.find("Экспортировано строк: "), std::string::npos) << out;
        const test::XlsxFile x(file);
        ASSERT_EQ(x.SheetCount(), 1);
        const test::XlsxFile::Sheet& s = x.SheetAt(0);
        EXPECT_EQ(s.Name, c.Sheet);
        EXPECT_EQ(s.Text("A1"), c.Title);
        EXPECT_EQ(s.FrozenRows, 2);
        if (c.Rows > 0) {
            EXPECT_EQ(s.Rows, c.Rows);
        }
        EXPECT_EQ(s.Text(c.Ref), c.Value);
    }
}

TEST_F(ExportCliTest, RefusedArgumentsAndWriteFailures) {
    const std::string file = dir.File("out.xlsx");
    const struct {
        std::vector<std::string> Args;
        int Code;
        std::string Message;
    } cases[] = {
        {{"export", "draws"}, 2, "не хватает параметра ФАЙЛ.xlsx"},
        {{"export", "card", file, "extra"}, 2, "лишний параметр \"extra\""},
        {{"export", "layout", file, "--len", "5"}, 2, "неизвестный параметр --len"},
        {{"export", "stats", file}, 2, "не хватает параметра ФАЙЛ.xlsx"},
        {{"export", "stats", "NOPE", file}, 2, "нет метода расчета статистики с кодом NOPE"},
        {{"export", "stats", "NUMS", file, "--len", "0"}, 2, "--len: 0 вне диапазона"},
        {{"export", "stats", "NUMS", file, "--offset", "x"}, 2, "--offset: \"x\" не целое число"},
        {{"export", "stats", "NUMS", file, "--offset", "2"}, 2, "--offset: 2 вне диапазона 0..1"},
        {{"export", "stats", "NUMS", file, "--len"}, 2, "--len: не указано значение"},
        {{"export", "sheets", file}, 2, "Неизвестная команда: export sheets"},
        {{"export", "draws", dir.File("missing/x.xlsx")},
         1,
         "Ошибка записи в файл \"" + dir.File("missing/x.xlsx") + "\"!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Args[1] + " " + (c.Args.size() > 2 ? c.Args[2] : ""));
        const auto [code, out] = Run(c.Args);
        EXPECT_EQ(code, c.Code) << out;
        EXPECT_NE(out.find(c.Message), std::string::npos) << out;
        EXPECT_FALSE(FileExists(file));
    }
}

}  // namespace
}  // namespace tessara
