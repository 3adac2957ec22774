#include <gtest/gtest.h>

#include <sstream>

#include "cli.h"
#include "model/draw_archive.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;

class ViewsGraphCliTest : public ::testing::Test {
protected:
    ViewsGraphCliTest() {
        // Sums 30, 50, 50, 30, 21; draws 3 and 4 share 1..5, 5 repeats 4 whole.
        WriteDrawsFile(dir.File(DrawsFileName),
                       {MakeDraw(1, {1, 2, 3, 4, 5, 15}), MakeDraw(2, {1, 2, 3, 4, 5, 35}),
                        MakeDraw(3, {35, 1, 2, 3, 4, 5}), MakeDraw(4, {15, 5, 4, 3, 2, 1}),
                        MakeDraw(5, {6, 5, 4, 3, 2, 1})});
    }
    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dir.Path(), "views"});
        std::ostringstream o, e;
        const int code = cli::RunCli(args, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
    test::TempDir dir;
    std::string out, err;
};

TEST_F(ViewsGraphCliTest, GraphOverTheWindow) {
    ASSERT_EQ(Run({"graph", "SUMS", "--len", "4", "--offset", "1"}), 0) << err;
    EXPECT_EQ(out,
              "Тираж\t{ sum } Сумма тиража: все значения [ NG ]\tСреднее значение\t"
              "Наиболее часто встречающееся значение\n"
              "1\t30\t40.00\t30\n"
              "2\t50\t40.00\t30\n"
              "3\t50\t40.00\t30\n"
              "4\t30\t40.00\t30\n");
    ASSERT_EQ(Run({"graph", "POS1", "--len", "1", "--sorted"}), 0) << err;
    EXPECT_EQ(out.substr(out.find('\n') + 1), "5\t1\t1.00\t1\n");

    EXPECT_EQ(Run({"graph", "NUMS"}), 1);
    EXPECT_EQ(err, "Ошибка: у метода NUMS нет графика\n");
    EXPECT_EQ(Run({"graph", "NOPE"}), 1);
    EXPECT_EQ(Run({"graph", "SUMS", "--len", "0"}), 2);
    EXPECT_EQ(Run({"graph", "SUMS", "--offset", "-1"}), 2);
    EXPECT_EQ(Run({"graph"}), 2);
}

TEST_F(ViewsGraphCliTest, RepeatsInListOrder) {
    ASSERT_EQ(Run({"repeats", "--len", "2", "--deep", "3"}), 0) << err;
    EXPECT_EQ(out,
              "Тираж\tСовпадений\tКол-во повторов\tСписок тиражей\n"
              "5\t5\t3\t4 3 2\n"
              "4\t5\t2\t3 2\n"
              "4\t6\t1\t1\n");
    EXPECT_EQ(Run({"repeats", "--deep", "0"}), 2);
    EXPECT_EQ(Run({"repeats", "--len", "x"}), 2);
}

TEST_F(ViewsGraphCliTest, SumsWithTheirRanges) {
    ASSERT_EQ(Run({"sums"}), 0) << err;
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 1u + 217u + 3u);
    EXPECT_EQ(lines[0],
              "Сумма\tФактическое распределение сумм (по тиражам)\tКомбинаций\t"
              "Теоретическое распределение сумм (по комбинациям)");
    EXPECT_EQ(lines[1], "21\t1\t1\t0.00");
    EXPECT_EQ(lines[1 + 129 - 21], "129\t0\t73294\t2.00");
    EXPECT_EQ(lines[1 + 50 - 21].substr(0, 5), "50\t2\t");
    EXPECT_EQ(lines[218], "Диапазон 1 (от 1/3 и выше по оси Y) - суммы 87-171");
    EXPECT_EQ(lines[219], "Диапазон 2 (от 1/2 и выше по оси Y) - суммы 95-163");
    EXPECT_EQ(lines[220], "Диапазон 3 (от 2/3 и выше по оси Y) - суммы 103-155");
}

}  // namespace
}  // namespace tessara
