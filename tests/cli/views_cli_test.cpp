#include <gtest/gtest.h>
#include <map>
#include <sstream>

#include "cli.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::MakeDraw;

class ViewsCliTest : public ::testing::Test {
protected:
    ViewsCliTest() {
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

// A grid row as the CLI prints it: cells of a 1-based column -> text.
std::string Row(const std::string& first, int columns, std::map<int, std::string> cells,
                const std::string& last = "") {
    std::string s = first;
    for (int c = 1; c <= columns; ++c) s += "\t" + (cells.count(c) ? cells[c] : "");
    if (!last.empty()) s += "\t" + last;
    return s + "\n";
}

TEST_F(ViewsCliTest, GridsAsTheWindowShowsThem) {
    auto [code, out] = Run({"views", "card", "--limit", "1"});
    ASSERT_EQ(code, 0) << out;
    std::map<int, std::string> numbers;
    for (int n = 1; n <= 42; ++n) numbers[n] = std::to_string(n);
    EXPECT_EQ(out, Row("Тираж", 42, numbers, "E") +
                       Row("101", 42, {{2, "2"}, {10, "10"}, {30, "30"}, {36, "36"}, {38, "38"}, {41, "41"}}, "7"));

    std::tie(code, out) = Run({"views", "layout", "--len", "1", "--offset", "1"});
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out, "\t100\n1\t1, [2], 3, 20, 25, [30]\n");
    std::tie(code, out) = Run({"views", "layout-compare", "--lens", "1,2,5,5,5"});
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out.substr(0, out.find("\n\n", out.find("\n\n") + 2)),
              "Кол-во\t101 - 101\n1\t2, 10, 30, 36, 38, 41\n\n"
              "Кол-во\t100 - 101\n2\t2, 30\n1\t10, 36, 38, 41, 1, 3, 20, 25");

    // 7 March 2021 was a Sunday, the 8th a Monday.
    std::tie(code, out) = Run({"views", "week"});
    ASSERT_EQ(code, 0) << out;
    std::istringstream lines(out);
    std::string header, monday, line, sunday;
    std::getline(lines, header);
    std::getline(lines, monday);
    for (int d = 2; d <= 7; ++d) std::getline(lines, sunday);
    EXPECT_EQ(monday + "\n", Row("Пн", 42, {{2, "1"}, {10, "1"}, {30, "1"}, {36, "1"}, {38, "1"}, {41, "1"}}));
    EXPECT_EQ(sunday + "\n", Row("Вс", 42, {{1, "1"}, {2, "1"}, {3, "1"}, {20, "1"}, {25, "1"}, {30, "1"}}));

    EXPECT_EQ(Run({"views", "layout", "--offset", "2"}).first, 2);
    EXPECT_EQ(Run({"views", "week", "--len", "0"}).first, 2);
}

TEST_F(ViewsCliTest, NumberFilterKeepsAndRemoves) {
    auto [code, out] = Run({"combs", "filter-numbers", "5;12", "--keep", "--out", dir.File("k.lcv")});
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out, "Комбинаций: 1407406\n");
    std::tie(code, out) = Run({"combs", "filter-numbers", "5,6", "--remove", "--in", dir.File("k.lcv")});
    ASSERT_EQ(code, 0) << out;
    EXPECT_EQ(out, "Комбинаций: 575757\n");  // 12 with five of the other 39 numbers
    for (std::vector<std::string> bad : {std::vector<std::string>{"5;12"},
                                         {"5;12", "--keep", "--remove"},
                                         {"43", "--keep"},
                                         {"", "--keep"}}) {
        bad.insert(bad.begin(), {"combs", "filter-numbers"});
        EXPECT_EQ(Run(bad).first, 2) << bad[2];
    }
}

}  // namespace
}  // namespace tessara
