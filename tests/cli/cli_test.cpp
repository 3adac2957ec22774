#include <gtest/gtest.h>
#include <sstream>

#include "cli.h"
#include "model/draw_archive.h"
#include "model/encoding.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result RunCliArgs(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

class CliTest : public ::testing::Test {
protected:
    Result Draws(std::vector<std::string> args, bool yes = false) {
        args.insert(args.begin(), {"--data-dir", dir.Path(), "draws"});
        if (yes) args.insert(args.begin(), "--yes");
        return RunCliArgs(args);
    }
    test::TempDir dir;
};

TEST_F(CliTest, ImportThenExportReproducesTheFile) {
    const std::string csv = Utf8ToCp1251(
        "1;\"05 марта 2021\";7;33;2;41;18;25;4\r\n"
        "2;\"\";1;2;3;4;5;6;0\r\n"
        "5;\"a\"\"b\";42;41;40;39;38;37;9\r\n");
    test::WriteBytes(dir.File("in.csv"), csv);
    Result r = Draws({"import", dir.File("in.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Добавлено тиражей: 3\n");
    r = Draws({"export", dir.File("out.csv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File("out.csv")), csv);

    r = Draws({"list"});
    ASSERT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "Тираж\t1\t2\t3\t4\t5\t6\tE\tS\tДата тиража\n"
              "5\t42\t41\t40\t39\t38\t37\t9\t237\ta\"b\n"
              "2\t1\t2\t3\t4\t5\t6\t0\t21\t\n"
              "1\t7\t33\t2\t41\t18\t25\t4\t126\t05 марта 2021\n");
    r = Draws({"list", "--sorted", "--limit", "1"});
    EXPECT_EQ(r.out, "Тираж\t1\t2\t3\t4\t5\t6\tE\tS\tДата тиража\n"
                     "5\t37\t38\t39\t40\t41\t42\t9\t237\ta\"b\n");
}

TEST_F(CliTest, AddCheckOffsetAndDelete) {
    Result r = Draws({"add", "1;2;3;4;5;43;0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Ошибка: Введена некорректная комбинация!\n\nчисло 43 вне диапазона 1..42\n");
    r = Draws({"add", "33;7;41;2;18;25;4", "--date", "5 марта 2021"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Тираж № 1 от 05 марта 2021, значения: 33;7;41;2;18;25 e:4\n");
    r = Draws({"add", "1;2;3;4;5;6;0", "--no-date"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Draws({"add", "1;2;3;4;5;6;0", "--date", "05.03.2021"}).code, 1);
    EXPECT_EQ(Draws({"next"}).out, "3\n");
    // The offset is an option of each command, not a state kept between runs.
    EXPECT_EQ(Draws({"next", "--offset", "1"}).out, "2\n");
    EXPECT_EQ(Draws({"next", "--offset", "2"}).code, 2);
    EXPECT_EQ(Draws({"offset", "1"}).code, 2);
    // A number the archive has is asked about: No without --yes.
    r = Draws({"add", "1;2;3;4;5;6;0", "--number", "1", "--no-date"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Подтверждение: Тираж № 1 уже есть в архиве.\n\nДобавить еще один тираж с этим номером? Нет\n");
    r = Draws({"info", "1", "--sorted"});
    EXPECT_EQ(r.out,
              "Свойство\tЗначение\nНомер тиража:\t1\nДата тиража:\t05 марта 2021\n"
              "Числа:\t2;7;18;25;33;41\nДополнительный шар:\t4\n");

    // Without --yes the question is answered No and nothing changes.
    r = Draws({"delete", "2"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Подтверждение: Удалить выделенную запись? Нет\n");
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)).size(), 56u);
    // Global flags may stand after the command too.
    r = Draws({"delete", "2", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)).size(), 28u);
    EXPECT_EQ(Draws({"delete", "7"}, true).code, 1);
}

TEST_F(CliTest, HeldFolderIsReadButNotWritten) {
    ASSERT_EQ(Draws({"add", "1;2;3;4;5;6;0", "--no-date"}).code, 0);
    test::WriteBytes(dir.File("s.lsc"), Utf8ToCp1251("FULL:0#FIRST| | | | | | | |первая\r\n"));
    ASSERT_EQ(RunCliArgs({"--data-dir", dir.Path(), "stakes", "add", "1;2;3;4;5;6", "--comment", "c"}).code, 0);
    InstanceLock gui;
    gui.Acquire(dir.File(StakesFileName));
    const std::vector<std::vector<std::string>> readers = {
        {"draws", "list"}, {"draws", "info", "1"}, {"stats", "table", "NUMS"}, {"stakes", "list"},
        {"ratings", "list"}, {"scenario", "show", dir.File("s.lsc")}, {"config", "show"}};
    for (std::vector<std::string> args : readers) {
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        const Result r = RunCliArgs(args);
        EXPECT_EQ(r.code, 0) << args[2] << " " << args[3] << ": " << r.err;
        EXPECT_EQ(r.err, "") << args[2];
    }
    EXPECT_NE(RunCliArgs({"--data-dir", dir.Path(), "stakes", "list"}).out.find("\t1;2;3;4;5;6\t"),
              std::string::npos);
    const std::string before = ReadFileBytes(dir.File(DrawsFileName));
    const Result r = Draws({"add", "1;2;3;4;5;7;0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Ошибка: " + cli::ConsoleText(MsgExclusiveAccess(dir.Path())) + "\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)), before);
}

// Every failure exits non-zero, and every command that writes the folder
// takes its lock.
TEST_F(CliTest, FailuresExitNonZeroAndWritesTakeTheLock) {
    Result r = RunCliArgs({"--data-dir", dir.Path(), "combs", "generate", "--mode", "4", "--params",
                           dir.File("missing.lcv")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("missing.lcv"), std::string::npos) << r.err;

    r = RunCliArgs({"demo", "generate", dir.Path(), "--count", "2147483647"});
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(FileExists(dir.File(DrawsFileName)));

    ASSERT_EQ(RunCliArgs({"demo", "generate", dir.Path(), "--count", "10"}).code, 0);
    const std::string before = ReadFileBytes(dir.File(DrawsFileName));
    {
        InstanceLock gui;
        gui.Acquire(dir.File(StakesFileName));
        r = RunCliArgs({"demo", "generate", dir.Path(), "--count", "20", "--force"});
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.err, "Ошибка: " + cli::ConsoleText(MsgExclusiveAccess(dir.Path())) + "\n");
        EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)), before);
    }

    // A data folder that is a file says so rather than that it is held.
    test::WriteBytes(dir.File("plain"), "x");
    r = RunCliArgs({"--data-dir", dir.File("plain"), "draws", "add", "1;2;3;4;5;6;0", "--no-date"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Каталог данных недоступен"), std::string::npos) << r.err;
}

TEST_F(CliTest, DemoArchiveIsReproducible) {
    Result r = RunCliArgs({"demo", "generate", dir.Path(), "--count", "300", "--seed", "7"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string first = ReadFileBytes(dir.File(DrawsFileName));
    ASSERT_EQ(first.size(), 300u * 28);
    EXPECT_EQ(RunCliArgs({"demo", "generate", dir.Path()}).code, 1);  // never overwrites by accident
    ASSERT_EQ(RunCliArgs({"demo", "generate", dir.Path(), "--count", "300", "--seed", "7", "--force"}).code, 0);
    EXPECT_EQ(ReadFileBytes(dir.File(DrawsFileName)), first);

    // Valid draws, twice a week, each date readable back.
    r = Draws({"list", "--limit", "2"});
    EXPECT_EQ(r.code, 0);
    TDrawArchive a;
    ReadDrawsFile(dir.File(DrawsFileName), a.Draws());
    for (const auto& d : a.Draws()) {
        TDrawRecord copy = d;
        std::string text = FormatDrawNumbers(d) + ";" + std::to_string(d.ExtraBall);
        EXPECT_TRUE(CheckDrawData(text, copy)) << text;
    }
    EXPECT_EQ(DrawDateText(a[0]), "01 января 2005");
    EXPECT_EQ(DrawDateText(a[1]), "05 января 2005");
    EXPECT_EQ(DrawDateText(a[2]), "08 января 2005");
}

TEST_F(CliTest, ConfigSetChecksTheValue) {
    Result r = RunCliArgs({"--data-dir", dir.Path(), "config", "set", "GLOBAL", "ChannelSize", "9"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "config", "set", "GLOBAL", "ChannelSize", "x"}).code, 1);
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "config", "set", "GLOBAL", "Nope", "1"}).code, 2);
    r = RunCliArgs({"--data-dir", dir.Path(), "config", "show"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("[GLOBAL]\nMatrixCols=7\nMatrixSegments=111"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("ChannelSize=9\n"), std::string::npos);
    EXPECT_NE(r.out.find("[PROXY]\nProxyMode=0\n"), std::string::npos);
}

TEST_F(CliTest, ConfigSetWritesOnlyWhatReadsBack) {
    const auto set = [&](const std::string& section, const std::string& key, const std::string& value) {
        return RunCliArgs({"--data-dir", dir.Path(), "config", "set", section, key, value});
    };
    // A line break would inject lines of its own (here the cost).
    for (const char* value : {"x\r\n[STAKES]\r\nCost=5", "111\n", "1\t1", "\x7f"}) {
        const Result r = set("GLOBAL", "MatrixSegments", value);
        EXPECT_EQ(r.code, 2) << value;
        EXPECT_FALSE(FileExists(dir.File(ConfigFileName)));
    }
    // A file that does not read cleanly is never rewritten.
    const std::string broken = "; mine\r\n[GLOBAL]\r\nChannelSize=9\r\nbroken line\r\n[STAKES]\r\nCost=5\r\n";
    test::WriteBytes(dir.File(ConfigFileName), broken);
    const Result r = set("GLOBAL", "MatrixCols", "6");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Строка 4: \"broken line\""), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(dir.File(ConfigFileName)), broken);
}

TEST_F(CliTest, StatsMethodsAndValues) {
    Result r = RunCliArgs({"--data-dir", dir.Path(), "stats", "methods"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("Код\tНазвание\tГруппа\tПараметр\n"
                                  "NUMS\t{ num } Числа тиража [ N ]\tnum\t0\n"));
    EXPECT_NE(r.out.find("POE1\t{ num } Extra (Bonus, Star...) - число (!без фильтра!) [ G ]\tnum\t1\n"),
              std::string::npos);
    ASSERT_EQ(Draws({"add", "3;14;22;7;40;41;4", "--no-date"}).code, 0);
    r = RunCliArgs({"--data-dir", dir.Path(), "stats", "values", "evnv", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Значение\tКоличество\nнЧЧнЧн (037)\t1\n");
    r = RunCliArgs({"--data-dir", dir.Path(), "stats", "values", "POS1", "1", "--sorted"});
    EXPECT_EQ(r.out, "Значение\tКоличество\n3\t1\nГрафик:\t3\n");
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "stats", "values", "XXXX", "1"}).code, 1);
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "stats", "values", "NUMS", "9"}).code, 1);
}

TEST_F(CliTest, TableSortsByCaptionOrNumber) {
    for (int no = 1; no <= 3; ++no)
        ASSERT_EQ(Draws({"add", no == 3 ? "1;2;3;4;5;7;0" : "1;2;3;4;5;6;0", "--no-date"}).code, 0);
    const auto table = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = {"--data-dir", dir.Path(), "stats", "table", "NUMS"};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunCliArgs(args);
    };
    // The value column, by number or by caption in any case, ascending.
    const Result byNumber = table({"--sort", "1"});
    ASSERT_EQ(byNumber.code, 0) << byNumber.err;
    EXPECT_EQ(table({"--sort", "значение"}).out, byNumber.out);
    EXPECT_TRUE(byNumber.out.find("\n1\t3\t") < byNumber.out.find("\n7\t1\t")) << byNumber.out;
    const Result bad = table({"--sort", "Цвет"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.starts_with("Ошибка: --sort: нет столбца \"Цвет\"; столбцы (номер или название):\n"
                                    "  1 Значение\n  2 Количество\n"))
        << bad.err;
    EXPECT_EQ(table({"--sort", "21"}).code, 2);
}

TEST_F(CliTest, ShreddingValuesPastOneWord) {
    ASSERT_EQ(RunCliArgs({"--data-dir", dir.Path(), "config", "set", "SHREDDING", "Formula1", "n1/8"}).code, 0);
    ASSERT_EQ(RunCliArgs({"--data-dir", dir.Path(), "config", "set", "SHREDDING", "Formula1Digits", "5"}).code, 0);
    ASSERT_EQ(Draws({"add", "7;1;2;3;4;5;0", "--no-date"}).code, 0);
    Result r = RunCliArgs({"--data-dir", dir.Path(), "stats", "table", "SHR1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\n87500\t1\t"), std::string::npos) << r.out;
    r = RunCliArgs({"--data-dir", dir.Path(), "combs", "filter", "SHR1", "--values", "87500", "--keep"});
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(CliTest, ScenarioForecastAndTest) {
    TDrawsArray draws;
    for (int no = 1; no <= 12; ++no) draws.push_back(test::MakeDraw(no, {no, no + 1, no + 2, 30, 31, 32}));
    WriteDrawsFile(dir.File(DrawsFileName), draws);
    test::WriteBytes(dir.File("s.lsc"), Utf8ToCp1251("FULL:0#FIRST| | | | | | | |первая\r\n"));
    Result r = RunCliArgs({"--data-dir", dir.Path(), "scenario", "run", dir.File("s.lsc")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("\n\n")),
              "Тираж\tЧисла\tКомментарий\n13\t1 2 3 4 5 6\t01.000: первая @ FULL#FIRST\nСтавок: 1");
    EXPECT_NE(r.err.find("Сценарий завершен!"), std::string::npos) << r.err;

    r = RunCliArgs({"--data-dir", dir.Path(), "scenario", "test", dir.File("s.lsc"), "--count", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("10\t1 2 3 4 5 6\t01.000: первая @ FULL#FIRST\n"
                         "11\t1 2 3 4 5 6\t01.000: первая @ FULL#FIRST\n"
                         "12\t1 2 3 4 5 6\t01.000: первая @ FULL#FIRST\nСтавок: 3\n"),
              std::string::npos)
        << r.out;
    // The rating row of the line's note: three checked stakes.
    EXPECT_NE(r.out.find("\n01.000: первая @ FULL#FIRST\t3\t"), std::string::npos) << r.out;
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "scenario", "test", dir.File("s.lsc"), "--count", "12"}).code, 1);
    EXPECT_EQ(RunCliArgs({"--data-dir", dir.Path(), "scenario", "run", dir.File("none.lsc")}).code, 1);

    // A line that starts from the current list finds the list the window
    // starts with.
    test::WriteBytes(dir.File("c.lsc"), Utf8ToCp1251("CURR:0#FIRST| | | | | | | |текущий\r\n"));
    r = RunCliArgs({"--data-dir", dir.Path(), "scenario", "run", dir.File("c.lsc")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("13\t1 2 3 4 5 6\t01.000: текущий @ CURR#FIRST\nСтавок: 1"), std::string::npos)
        << r.out;
}

TEST(Cli, UsageAndUnknownCommands) {
    EXPECT_EQ(RunCliArgs({}).code, 2);
    EXPECT_EQ(RunCliArgs({"draws", "fly"}).code, 2);
    EXPECT_EQ(RunCliArgs({"--help"}).code, 0);
    EXPECT_EQ(RunCliArgs({"draws", "list", "--help"}).code, 0);
    const Result r = RunCliArgs({"draws", "info", "--data-dir"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Ошибка: --data-dir: не указан каталог\n");
}

TEST_F(CliTest, RefusalsNameTheArgument) {
    const struct {
        std::vector<std::string> args;
        const char* first;
    } cases[] = {
        {{"draws", "delete", "1500", "x"}, "Ошибка: НОМЕР: \"x\" не целое число"},
        {{"draws", "list", "--limit", "-1"}, "Ошибка: --limit: -1 вне диапазона 0..2147483647"},
        {{"draws", "info"}, "Ошибка: не хватает параметра НОМЕР"},
        {{"draws", "list", "--limit"}, "Ошибка: --limit: не указано значение"},
        {{"draws", "edit", "1"}, "Ошибка: не хватает параметра \"n1;n2;n3;n4;n5;n6;e\""},
        {{"draws", "add", "1;2;3;4;5;6;0", "--date", "1.1.2020", "--no-date"},
         "Ошибка: --date и --no-date не совместимы"},
        {{"stats", "table", "NUMS", "--len", "0"}, "Ошибка: --len: 0 вне диапазона 1..2147483647"},
        {{"combs", "show", "--mode", "7"}, "Ошибка: --mode: 7 вне диапазона 0..4"},
        {{"combs", "filter", "NUMS", "--values", "7"}, "Ошибка: нужен один из параметров --keep или --remove"},
        {{"scenario", "test", "s.lsc"}, "Ошибка: не указан --count N"},
        {{"config", "set", "GLOBAL"}, "Ошибка: не хватает параметра КЛЮЧ"},
        {{"demo", "generate", "--count", "0"}, "Ошибка: --count: 0 вне диапазона 1..100000"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        const Result r = RunCliArgs(args);
        EXPECT_EQ(r.code, 2) << c.first;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.first);
        EXPECT_NE(r.err.find("\nИспользование: " + c.args[0] + " " + c.args[1]), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace tessara
