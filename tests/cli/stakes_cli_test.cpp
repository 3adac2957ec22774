#include <gtest/gtest.h>
#include <sstream>

#include "cli.h"
#include "model/encoding.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

struct Result {
    int code;
    std::string out, err;
};

class StakesCliTest : public ::testing::Test {
protected:
    Result Run(std::vector<std::string> args, bool yes = false) {
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        if (yes) args.insert(args.begin(), "--yes");
        std::ostringstream out, err;
        const int code = cli::RunCli(args, out, err);
        return {code, out.str(), err.str()};
    }
    void SetUp() override {
        for (auto kv : std::vector<std::pair<const char*, const char*>>{
                 {"Cost", "5"}, {"Profits", "1"}, {"Profit_0_Overlap", "3"}, {"Profit_0_Profit", "25"}})
            ASSERT_EQ(Run({"config", "set", "STAKES", kv.first, kv.second}).code, 0);
        ASSERT_EQ(Run({"draws", "add", "7;19;3;40;22;11;1", "--no-date"}).code, 0);
    }
    test::TempDir dir;
};

constexpr const char* kHeader =
    "Строка\t№ тиража\tВид ставки\tМоя ставка\tВыборка\tРезультаты тиража\tСовпадений\tСовпадения\t"
    "Профит\tКомментарий\n";

TEST_F(StakesCliTest, AddCheckListDeleteAndClear) {
    Result r = Run({"stakes", "add", "41;30;22;15;7;3", "--draw", "1", "--comment", "Тест"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Ставок: 1\n");
    r = Run({"stakes", "add", "1,2,3,4,5,6,7", "--draws", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Ставок: 5\n");
    r = Run({"stakes", "list"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kHeader) +
                         "1\t1\tВручную\t3;7;15;22;30;41\t5245786\t7;19;3;40;22;11\t3\t3 7 22\t20.00\tТест\n"
                         "2\t\t\t\t\t\t\t\t\t\n"
                         "3\t2\tВручную\t1;2;3;4;5;6;7\t5245786\t\t\t\t-35.00\tСтавка \"вручную\"\n"
                         "4\t\t\t\t\t\t\t\t\t\n"
                         "5\t3\tВручную\t1;2;3;4;5;6;7\t5245786\t\t\t\t-35.00\tСтавка \"вручную\"\n");

    // The draw arrives; the check adds to the rating.
    ASSERT_EQ(Run({"draws", "add", "1;2;3;40;41;42;0", "--no-date"}).code, 0);
    r = Run({"stakes", "check"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Проверено ставок: 1\n");
    r = Run({"ratings", "list"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Комментарий\tСтавок\tУгадано\tСреднее\tПрофит\tСр. профит\t0\t1\t2\t3\t4\t5\t6\t"
              "E0\tE1\tE2\tE3\tE4\tE5\tE6\n"
              "Тест\t1\t3\t3.000\t20.00\t20.00\t0\t0\t0\t1\t0\t0\t0\t"
              "-37.131%\t-43.119%\t-16.844%\t97.278%\t-0.180%\t-0.004%\t0.000%\n"
              "Ставка \"вручную\"\t1\t3\t3.000\t-10.00\t-10.00\t0\t0\t0\t1\t0\t0\t0\t"
              "-37.131%\t-43.119%\t-16.844%\t97.278%\t-0.180%\t-0.004%\t0.000%\n");
    ASSERT_EQ(Run({"ratings", "export", dir.File("r.csv")}).code, 0);
    // Rows of equal averages have no order of their own, and each start sorts.
    const auto lines = SplitLines(Cp1251ToUtf8(ReadFileBytes(dir.File("r.csv"))));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\"Тест\";1;3;3.000;20.00;20.00;0;0;0;1;0;0;0"),
              lines.end());

    // Deleting rows asks; without --yes the answer is No.
    r = Run({"stakes", "delete", "--rows", "2-3"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Подтверждение: Удалить все выделенные записи (всего будет удалено 2 записи(ей))? Нет\n");
    r = Run({"stakes", "delete", "--rows", "2-3"}, true);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Ставок: 3\n");
    EXPECT_EQ(Run({"stakes", "delete", "--rows", "4"}, true).code, 1);  // past the end
    // "Менее [ < ]" 1 takes the unchecked stake; the separator stays.
    r = Run({"stakes", "delete", "--matches", "<", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Ставок: 2\n");
    EXPECT_EQ(Run({"stakes", "list"}).out,
              std::string(kHeader) +
                  "1\t1\tВручную\t3;7;15;22;30;41\t5245786\t7;19;3;40;22;11\t3\t3 7 22\t20.00\tТест\n"
                  "2\t\t\t\t\t\t\t\t\t\n");

    r = Run({"stakes", "clear"}, true);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Ставок: 0\n");
    EXPECT_EQ(ReadFileBytes(dir.File(StakesFileName)), "");
    EXPECT_EQ(Run({"ratings", "refresh"}).out, "Рейтинг: 0\n");
}

TEST_F(StakesCliTest, BadInputIsRefused) {
    // A refusal of the command line (code 2) names the argument and the
    // reason, then gives the usage line.
    const struct {
        std::vector<std::string> args;
        int code;
        const char* err;
    } cases[] = {
        {{"stakes", "add", "1;2;3;4;5"}, 1,
         "Ошибка: Введена некорректная комбинация!\n\nнужно от 6 до 10 чисел, введено 5\n"},
        {{"stakes", "add", "1;2;3;4;5;43"}, 1,
         "Ошибка: Введена некорректная комбинация!\n\nчисло 43 вне диапазона 1..42\n"},
        {{"stakes", "add", "1;2;3;4;5;6", "--comment", ""}, 1, "Ошибка: Необходимо ввести комментарий!\n"},
        {{"stakes", "add", "1;2;3;4;5;6", "--draws", "0"}, 2, "Ошибка: --draws: 0 вне диапазона 1..65535"},
        {{"stakes", "add", "1;2;3;4;5;6", "--draw", "x"}, 2, "Ошибка: --draw: \"x\" не целое число"},
        {{"stakes", "add"}, 2, "Ошибка: не хватает параметра \"n1;n2;...\""},
        {{"stakes", "add", "1;2;3;4;5;6", "7"}, 2, "Ошибка: лишний параметр \"7\""},
        {{"stakes", "add", "1;2;3;4;5;6", "--drwas", "2"}, 2, "Ошибка: неизвестный параметр --drwas"},
        {{"stakes", "delete", "--matches", "~", "1"}, 2, "Ошибка: условие \"~\" не одно из = > >= < <="},
        {{"stakes", "delete", "--rows", "3-2"}, 2, "Ошибка: --rows: 2 вне диапазона 3..2147483647"},
        {{"stakes", "delete"}, 2, "Ошибка: нужен один из параметров --rows или --matches"},
        {{"stakes", "delete", "--rows", "1"}, 1,
         "Ошибка: Ошибка удаления записи из файла ставок!\n\nФайл ставок не открыт!\n"},
        {{"ratings", "list", "--mode", "5"}, 2, "Ошибка: --mode: 5 вне диапазона 0..2"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[1] << " " << c.args.back();
        if (c.code == 2) {
            const std::string usage = "\nИспользование: " + c.args[0] + " " + c.args[1];
            EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.err);
            EXPECT_NE(r.err.find(usage), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, c.err);
        }
    }
    EXPECT_EQ(ReadFileBytes(dir.File(StakesFileName)), "");
}

}  // namespace
}  // namespace tessara
