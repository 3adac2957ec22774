#include <gtest/gtest.h>
#include <sstream>

#include "cli.h"
#include "model/files.h"
#include "stakes/regular_stake.h"
#include "test_support.h"

namespace tessara {
namespace {

struct Result {
    int code;
    std::string out, err;
};

class RegularsCliTest : public ::testing::Test {
protected:
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        std::ostringstream out, err;
        const int code = cli::RunCli(args, out, err);
        return {code, out.str(), err.str()};
    }
    void SetUp() override {
        for (auto kv : std::vector<std::pair<const char*, const char*>>{
                 {"Cost", "5"}, {"Profits", "1"}, {"Profit_0_Overlap", "3"}, {"Profit_0_Profit", "25"}})
            ASSERT_EQ(Run({"config", "set", "STAKES", kv.first, kv.second}).code, 0);
        for (const char* d : {"7;19;3;40;22;11;1", "1;2;3;4;5;6;0", "11;12;13;21;22;23;0",
                              "2;3;4;41;42;1;0"})
            ASSERT_EQ(Run({"draws", "add", d, "--no-date"}).code, 0);
    }
    test::TempDir dir;
};

constexpr const char* kHeader =
    "Комментарий\tСтартовая комбинация\tШаг\tТекущая комбинация\tСтавок\n";

TEST_F(RegularsCliTest, AddStakeTestAndDelete) {
    Result r = Run({"regulars", "add", "--comment", "Десять", "--step", "10", "--start", "6,5;4;3;2;1"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = Run({"regulars", "add", "--comment", "Тираж", "--step", "1", "--from-draw"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Run({"regulars", "list"}).out, std::string(kHeader) +
                                                  "Десять\t1;2;3;4;5;6\t10\t1;2;3;4;5;6\t0\n"
                                                  "Тираж\t0;0;0;0;0;0\t1\t0;0;0;0;0;0\t0\n");

    // A stake by rule 2 on draw 5: the newest draw moved by one.
    r = Run({"regulars", "stake", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Тираж\t0;0;0;0;0;0\t1\t1;2;3;4;5;42\t1\nСтавок: 1\n");

    // Three draws, both rules: six stakes by offset, then by rule, checked at
    // once; each counter three higher.
    r = Run({"regulars", "test", "--count", "3"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Создано ставок: 6\n"
                     "Десять\t1;2;3;4;5;6\t10\t31;32;33;34;35;36\t3\n"
                     "Тираж\t0;0;0;0;0;0\t1\t12;13;14;22;23;24\t4\n");
    const std::string stakes = Run({"stakes", "list"}).out;
    const std::string expected =
        "1\t5\tРегуляр\t1;2;3;4;5;42\t0\t\t\t\t-5.00\tТираж\n"
        "2\t2\tРегуляр\t11;12;13;14;15;16\t0\t1;2;3;4;5;6\t0\t\t-5.00\tДесять\n"
        "3\t2\tРегуляр\t4;8;12;20;23;41\t0\t1;2;3;4;5;6\t1\t4\t-5.00\tТираж\n"
        "4\t3\tРегуляр\t21;22;23;24;25;26\t0\t11;12;13;21;22;23\t3\t21 22 23\t20.00\tДесять\n"
        "5\t3\tРегуляр\t2;3;4;5;6;7\t0\t11;12;13;21;22;23\t0\t\t-5.00\tТираж\n"
        "6\t4\tРегуляр\t31;32;33;34;35;36\t0\t2;3;4;41;42;1\t0\t\t-5.00\tДесять\n"
        "7\t4\tРегуляр\t12;13;14;22;23;24\t0\t2;3;4;41;42;1\t0\t\t-5.00\tТираж\n";
    EXPECT_EQ(stakes.substr(stakes.find('\n') + 1), expected);

    // The graphs read the same stakes; names are found ignoring case.
    r = Run({"graphs", "matches", "десять"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Десять\t2\t0\nДесять\t3\t3\nДесять\t4\t0\n");
    EXPECT_EQ(Run({"graphs", "profits", "Десять"}).out,
              "Десять\t2\t-5.00\nДесять\t3\t20.00\nДесять\t4\t-5.00\n");
    // The unchecked stake on draw 5 counts with its cost, first as it came first.
    r = Run({"graphs", "profit"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("Среднее")),
              "Суммарный профит ставок по тиражу\t5\t-5.00\n"
              "Суммарный профит ставок по тиражу\t2\t-10.00\n"
              "Суммарный профит ставок по тиражу\t3\t15.00\n"
              "Суммарный профит ставок по тиражу\t4\t-10.00\n");
    EXPECT_NE(r.out.find("Накопленное значение\t4\t-10.00\n"), std::string::npos);
    r = Run({"graphs", "rating-matches", "ТИРАЖ"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Нормальные значения\t1\t1.29\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Тираж\t1\t1\n"), std::string::npos);

    r = Run({"regulars", "delete", "1"});
    EXPECT_EQ(r.code, 1);  // asked, answered No
    r = Run({"regulars", "delete", "1", "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Регулярных ставок: 1\n");
    EXPECT_EQ(ReadFileBytes(dir.File(RegularsFileName)).size(), RegularRecordSize);
}

TEST_F(RegularsCliTest, BadInputChangesNothing) {
    ASSERT_EQ(Run({"regulars", "add", "--comment", "A", "--step", "1", "--start", "1;2;3;4;5;6"}).code, 0);
    const std::string before = ReadFileBytes(dir.File(RegularsFileName));
    const struct {
        std::vector<std::string> args;
        int code;
        const char* err;
    } cases[] = {
        {{"regulars", "add", "--comment", "A", "--step", "1", "--start", "6;5;4;3;2;1"}, 1,
         "Ошибка: Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.\n"},
        {{"regulars", "add", "--comment", "B", "--step", "1", "--start", "1;2;3;4;5;5"}, 1,
         "Ошибка: Введена некорректная комбинация!\n"},
        {{"regulars", "add", "--comment", "", "--step", "1", "--from-draw"}, 1,
         "Ошибка: Необходимо ввести комментарий!\n"},
        {{"regulars", "add", "--comment", "B", "--step", "43", "--from-draw"}, 2, nullptr},
        {{"regulars", "add", "--comment", "B", "--step", "1"}, 2, nullptr},
        {{"regulars", "add", "--comment", "B", "--step", "1", "--from-draw", "--start", "1;2;3;4;5;6"}, 2, nullptr},
        {{"regulars", "delete", "2", "--yes"}, 1, nullptr},
        {{"regulars", "stake", "2"}, 1, nullptr},
        {{"regulars", "test", "--count", "4"}, 2, nullptr},  // the archive allows 3
        {{"regulars", "test", "--count", "1", "--rules", "1,2"}, 2, nullptr},
        {{"graphs", "profit"}, 1,
         "Ошибка: Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более "
         "одного тиража!\n"},
        {{"graphs", "rating-matches", "Нет"}, 1, "Ошибка: Строка рейтинга не найдена: Нет\n"},
    };
    for (const auto& c : cases) {
        const Result r = Run(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[1] << " " << c.args.back();
        if (c.err) {
            EXPECT_EQ(r.err, c.err) << c.args[1] << " " << c.args.back();
        }
    }
    EXPECT_EQ(ReadFileBytes(dir.File(RegularsFileName)), before);
    EXPECT_EQ(ReadFileBytes(dir.File("Tessara_6x42.lsk")), "");
}

}  // namespace
}  // namespace tessara
