#include "online/system_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_support.h"

namespace tessara {
namespace {

std::vector<int> Numbers(const TCombination& c) { return {c.n, c.n + 6}; }

class SystemFilesTest : public ::testing::Test {
protected:
    SystemFilesTest() { std::filesystem::create_directories(dir.File(SystemsFolder)); }
    void WriteSystem(const std::string& name, const std::string& text) {
        test::WriteBytes(dir.File(std::string(SystemsFolder) + "/" + name), text);
    }
    bool Load(const std::vector<uint8_t>& numbers) {
        return LoadSystemFor(host, dir.Path(), numbers, combs, fileOrMessage);
    }
    test::TempDir dir;
    test::RecordingHost host;
    std::vector<TCombination> combs;
    std::string fileOrMessage;
};

TEST_F(SystemFilesTest, NamesAndPatterns) {
    EXPECT_EQ(SystemFileName("/d", 10, 3, 15), "/d/Systems/6-10-3_0015.dat");
    EXPECT_EQ(SystemFilePattern("/d", 7), "/d/Systems/6-07-*_*.dat");
}

TEST_F(SystemFilesTest, PositionsMapOntoTheNumbersInTheirOrder) {
    WriteSystem("6-07-2_0001.dat", "01 02 03 04 05 07\r\n1,2,3,4,5,6\r\n7*6+5-4.3/2\r\n\r\n");
    ASSERT_TRUE(Load({5, 12, 3, 40, 7, 19, 28}));
    EXPECT_EQ(fileOrMessage, dir.File("Systems/6-07-2_0001.dat"));
    ASSERT_EQ(combs.size(), 3u);
    EXPECT_EQ(Numbers(combs[0]), (std::vector<int>{5, 12, 3, 40, 7, 28}));
    EXPECT_EQ(Numbers(combs[1]), (std::vector<int>{5, 12, 3, 40, 7, 19}));
    EXPECT_EQ(Numbers(combs[2]), (std::vector<int>{28, 19, 7, 40, 3, 12}));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(SystemFilesTest, FailuresAreReportedAndGiveNothing) {
    WriteSystem("6-11-2_0002.dat", "1 2 3 4 5 6\r\n");
    EXPECT_FALSE(Load({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(fileOrMessage, "Система для 10 чисел не найдена или не загружена на компьютер!");
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text.rfind(fileOrMessage + "\r\rПеред системной игрой", 0), 0u);

    const struct {
        const char* text;
        const char* reason;
    } broken[] = {
        {"1 2 3 4 5\r\n", "меньше шести позиций"},
        {"1 2 3 x 5 6\r\n", "не является целым числом"},
        {"1 2 3 4 5 8\r\n", "Позиция 8 вне списка из 7 чисел"},  // never read past the numbers
        {"1 1 1 1 1 1\r\n", "Позиция 1 повторяется"},           // not a combination
        {"1 2 3 4 5 6\r\n7 2 3 4 5 7\r\n", "Позиция 7 повторяется"},
        {"\r\n", "не содержит комбинаций"},
    };
    for (const auto& b : broken) {
        host.Messages.clear();
        WriteSystem("6-07-2_0001.dat", b.text);
        EXPECT_FALSE(Load({1, 2, 3, 4, 5, 6, 7})) << b.text;
        EXPECT_TRUE(combs.empty());
        ASSERT_EQ(host.Messages.size(), 1u);
        EXPECT_EQ(host.Messages[0].Text.rfind("Ошибка загрузки комбинаций системы!\r\r", 0), 0u);
        EXPECT_NE(host.Messages[0].Text.find(b.reason), std::string::npos) << host.Messages[0].Text;
    }
}

}  // namespace
}  // namespace tessara
