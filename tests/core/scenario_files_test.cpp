#include <gtest/gtest.h>

#include "app/workspace.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "scenario/script_line.h"
#include "test_support.h"

namespace tessara {
namespace {

class ScenarioFilesTest : public ::testing::Test {
protected:
    ScenarioFilesTest() : ws(host, dir.Path()) {}
    std::string Lines() const {
        std::string s;
        for (const auto& l : ws.Scenario()) s += "[" + l + "]";
        return s;
    }
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws;
};

TEST_F(ScenarioFilesTest, AppendingAFileAddsASeparatorOnlyWhenNeeded) {
    test::WriteBytes(dir.File("three.lsc"), "a\r\nb\r\nc\r\n");
    test::WriteBytes(dir.File("empty.lsc"), "");
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("three.lsc"), true));  // into an empty scenario
    EXPECT_EQ(Lines(), "[a][b][c]");
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("three.lsc"), true));
    EXPECT_EQ(Lines(), "[a][b][c][][a][b][c]");
    ws.AppendScenarioLine("");
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("three.lsc"), true));
    EXPECT_EQ(ws.Scenario().size(), 11u);
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("empty.lsc"), true));
    EXPECT_EQ(ws.Scenario().size(), 11u);
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("three.lsc"), false));
    EXPECT_EQ(Lines(), "[a][b][c]");
    EXPECT_FALSE(ws.LoadScenarioFile(dir.File("missing.lsc"), false));
    EXPECT_EQ(Lines(), "[a][b][c]");
    EXPECT_TRUE(host.Messages.back().Text.starts_with("Ошибка чтения файла \""));
}

TEST_F(ScenarioFilesTest, EditingSavesTheCurrentScenario) {
    for (const char* l : {"1", "2", "3", "4", "5"}) ws.AppendScenarioLine(l);
    EXPECT_EQ(ReadFileBytes(ws.CurrentScenarioFile()), "1\r\n2\r\n3\r\n4\r\n5\r\n");
    host.Answers = {true};
    ASSERT_TRUE(ws.DeleteScenarioLines({3, 1}));
    EXPECT_EQ(host.Questions.back(), "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
    EXPECT_EQ(Lines(), "[1][3][5]");
    EXPECT_EQ(ws.MoveScenarioLine(1, true), 0);
    EXPECT_EQ(Lines(), "[3][1][5]");
    EXPECT_EQ(ws.MoveScenarioLine(2, false), 2);  // the last line cannot go down
    ws.ReplaceScenarioLine(2, "Ж");
    EXPECT_THROW(ws.ReplaceScenarioLine(3, "x"), Error);
    EXPECT_THROW(ws.GetScenarioLine(-1), Error);
    EXPECT_EQ(ReadFileBytes(ws.CurrentScenarioFile()), "3\r\n1\r\n\xC6\r\n");
    // The scenario survives a restart.
    Workspace again(host, dir.Path());
    again.LoadCurrentScenario();
    EXPECT_EQ(again.Scenario(), ws.Scenario());
    host.Answers = {false};
    EXPECT_FALSE(ws.ClearScenario());
    host.Answers = {true};
    EXPECT_TRUE(ws.ClearScenario());
    EXPECT_EQ(ReadFileBytes(ws.CurrentScenarioFile()), "");
}

TEST_F(ScenarioFilesTest, ARealisticScenarioRoundTripsByteForByte) {
    std::string text;
    for (int i = 1; i <= 36; ++i) {
        if (i % 9 == 0) {
            text += "\r\n";
            continue;
        }
        text += Utf8ToCp1251("EXCL:" + std::to_string(i) + "#EXT#NEX|TSD1#NUMS:10, 20#LMV:1-3;1#SF:0| |"
                             "BMF3#SUMS:100#WDV:1,2#SC:5#0.5:-1:1:0:1| | | | |строка " + std::to_string(i)) +
                "\r\n";
    }
    text += "   \r\n";
    test::WriteBytes(dir.File("big.lsc"), text);
    ASSERT_TRUE(ws.LoadScenarioFile(dir.File("big.lsc"), false));
    ASSERT_TRUE(ws.SaveScenarioFile(dir.File("copy.lsc")));
    EXPECT_EQ(ReadFileBytes(dir.File("copy.lsc")), text);
}

}  // namespace
}  // namespace tessara
