#include "scenario/scenario_run.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fmt/format.h>
#include <ctime>

#include "app/workspace.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "online/system_files.h"
#include "combs/comb_list.h"
#include "scenario/code_counts.h"
#include "scenario/step_list.h"
#include "stats/value_columns.h"
#include "stakes/ratings.h"
#include "stakes/stake_record.h"
#include "stakes_test_support.h"
#include "stat_test_support.h"

namespace tessara {
namespace {

// A host whose event processing can act like a user clicking during a run.
class ClickingHost : public test::RecordingHost {
public:
    void ProcessEvents() override {
        if (OnEvents) OnEvents();
    }
    std::function<void()> OnEvents;
};

class ScenarioRunTest : public ::testing::Test {
protected:
    ScenarioRunTest() : ws(host, dir.Path()) {
        ws.InitGameTables();
        ws.LoadStakesFile();
        ws.Archive().Draws() = test::RandomDraws(500, 11);
        ws.RegisterStats();
        runner = std::make_unique<TScenarioRunner>(ws);
        runner->SetRandomSeed(5);
    }
    std::vector<TStakeRecord> Records() {
        std::vector<TStakeRecord> out;
        for (int64_t i = 0; i < ws.StakesFile().Count(); ++i)
            out.push_back(ws.StakesFile().Read(TStakeOrigin::Begin, i));
        return out;
    }
    std::vector<TStakeRecord> Stakes() {
        std::vector<TStakeRecord> out;
        for (const auto& r : Records())
            if (r.Kind != skSeparator) out.push_back(r);
        return out;
    }
    int UndoEntries() const {
        int n = 0;
        for (const auto& e : ws.FilterLog()) n += e.Icon == TLogIcon::Undo;
        return n;
    }
    std::string LogText() {
        std::string all;
        for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
            if (entry.path().filename().string().rfind("ScriptLog_", 0) == 0)
                all += Cp1251ToUtf8(ReadFileBytes(entry.path().string()));
        return all;
    }

    test::TempDir dir;
    ClickingHost host;
    Workspace ws;
    std::unique_ptr<TScenarioRunner> runner;
};

TEST_F(ScenarioRunTest, SeparatorsOnlyAddOneSeparator) {
    ws.StakesFile().Append(test::Stake(501, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(runner->Forecast({"", ""}));
    const auto records = Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].Kind, skSeparator);
    EXPECT_EQ(runner->State().Text, "Сценарий завершен!");
    EXPECT_FALSE(runner->State().Running);
    EXPECT_EQ(runner->State().StakesMade, 0);
}

TEST_F(ScenarioRunTest, LineWithoutFiltersStakesFromTheStartList) {
    runner->Log().SetEnabled(true);
    ASSERT_TRUE(runner->Forecast({"FULL:0#EXT| | | | | | | |без фильтров"}));
    const auto stakes = Stakes();
    ASSERT_EQ(stakes.size(), 1u);
    EXPECT_EQ(stakes[0].Kind, skScenario);
    EXPECT_EQ(stakes[0].Draw, 501);
    EXPECT_EQ(stakes[0].Numbers.Count, ws.Config().MaxStake);
    EXPECT_EQ(stakes[0].Sample, 5245786);
    EXPECT_EQ(StakeComment(stakes[0]), "01.000: без фильтров @ FULL#EXT");
    const std::string log = LogText();
    EXPECT_NE(log.find("{ERROR} Фильтры не применялись!"), std::string::npos);
    EXPECT_NE(log.find("Количество комбинаций в списке: 5245786"), std::string::npos);
}

// Removing one number at a time leaves C(42 - k, 6) combinations.
TEST_F(ScenarioRunTest, StopRulesOfSingleAndMultiSelect) {
    const struct {
        const char* filter;
        int64_t left;
    } cases[] = {
        {"TSD1#NUMS:20#LNO:#SC:100", 84},        // stops before the next row once at most 100 are left
        {"TSD1#NUMS:20#LNO:#SE:5", 210},         // below 7 the threshold is MaxStake: 10 numbers
        {"TSD1#NUMS:20#LNO:#SE:8", 28},          // 8 numbers
        {"TMD1#NUMS:20#LNO:#ST:3", 3262623},     // exactly three rows: C(39, 6)
        {"TSD1#NUMS:20#LNO:#ST:2", 3838380},     // two filterings: C(40, 6)
        {"TSD1#NUMS:20#CMV:100000#SF:0", 5245786},  // no row reaches the level
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(runner->Forecast({std::string("FULL:0#NONE|") + c.filter + "| | | | | | |"}));
        EXPECT_EQ(ws.CombsCount(), c.left) << c.filter;
    }
}

TEST_F(ScenarioRunTest, EmptyingFilterIsUndoneAndNextRowTried) {
    // Keeping one number after another leaves one combination after six rows;
    // every later row would empty the list and is undone.
    ASSERT_TRUE(runner->Forecast({"FULL:0#NONE|TSF1#NUMS:20#LNO:#SF:0| | | | | | |"}));
    EXPECT_EQ(ws.CombsCount(), 1);
    EXPECT_EQ(UndoEntries(), 36);
    ASSERT_TRUE(runner->Forecast({"FULL:0#NONE|TSF1#NUMS:20#LNO:#SZ:0| | | | | | |"}));
    EXPECT_EQ(ws.CombsCount(), 1);
    EXPECT_EQ(UndoEntries(), 1);
}

TEST_F(ScenarioRunTest, StopModeStakesALastCombinationAndGoesOn) {
    const std::string line = "FULL:0#STOP|TSF1#NUMS:20#LNO:#SF:0| | | | | | |";
    ASSERT_TRUE(runner->Forecast({line, line}));
    EXPECT_EQ(Stakes().size(), 2u);
    EXPECT_TRUE(host.Messages.empty());
    // More than one left: the run stops with the warning and stakes nothing.
    ASSERT_TRUE(runner->Forecast({"FULL:0#STOP|TMD1#NUMS:20#LNO:#ST:1| | | | | | |", line}));
    EXPECT_EQ(Stakes().size(), 2u);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text.rfind("Выполнение сценария прервано, т.к. после применения всех фильтров "
                                          "в списке комбинаций их осталось более одной: 4496388!\r\rФильтры: "
                                          "01.001: @ FULL#STOP + TMD#NUMS:20#LNO:#ST:1",
                                          0),
              0u)
        << host.Messages[0].Text;
}

TEST_F(ScenarioRunTest, NewOnlyAddsAStakeOnce) {
    runner->Log().SetEnabled(true);
    const std::vector<std::string> lines = {"FULL:0#FIRST#NEX| | | | | | | |"};
    ASSERT_TRUE(runner->Forecast(lines));
    ASSERT_TRUE(runner->Forecast(lines));
    EXPECT_EQ(runner->State().StakesMade, 0);
    ASSERT_EQ(Stakes().size(), 1u);
    EXPECT_NE(LogText().find("{-} Ставка на тираж 501 не добавлена, так как уже имеется в списке ставок: "
                             "[1;2;3;4;5;6]"),
              std::string::npos);
}

TEST_F(ScenarioRunTest, ClearStakesEmptiesTheFileBeforeEachSet) {
    ws.StakesFile().Append(test::Stake(501, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(runner->Forecast({"FULL:0#LAST#CLR|TSD1#NUMS:5,10,20#LNO:#ST:1| | | | | | |"}));
    EXPECT_EQ(runner->State().StakesMade, 3);
    const auto records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(StakeComment(records[0]).substr(0, 7), "01.003:");
}

TEST_F(ScenarioRunTest, TestRunsFromTheOldestOffsetToTheNewest) {
    const std::vector<std::string> lines = {"FULL:0#FIRST| | | | | | | |"};
    ASSERT_TRUE(runner->Test(lines, 3));
    std::vector<int> draws;
    for (const auto& r : Records()) draws.push_back(r.Draw);
    EXPECT_EQ(draws, (std::vector<int>{498, -1, 499, -1, 500}));
    for (const auto& r : Stakes()) EXPECT_TRUE(StakeIsChecked(r));
    EXPECT_EQ(ws.DrawsOffset(), 0);
    ASSERT_EQ(ws.Ratings().Count(), 1u);
    EXPECT_EQ(ws.Ratings()[0].Stakes, 3u);
    // A second test adds one result per stake note per cycle.
    ASSERT_TRUE(runner->Test(lines, 3));
    EXPECT_EQ(ws.Ratings()[0].Stakes, 6u);
    EXPECT_EQ(TScenarioRunner::MaxTestCount(ws), 499);
}

TEST_F(ScenarioRunTest, StopDuringATestLeavesItsOffset) {
    host.OnEvents = [&] {
        if (runner->State().CycleNo == 2 && runner->State().LineNo == 1) runner->RequestStop();
    };
    ASSERT_TRUE(runner->Test({"FULL:0#FIRST| | | | | | | |"}, 5));
    EXPECT_EQ(ws.DrawsOffset(), 4);
    EXPECT_EQ(runner->State().Text, "Сценарий завершен!");
    EXPECT_FALSE(runner->State().Running);
    EXPECT_EQ(Stakes().size(), 1u);
}

TEST_F(ScenarioRunTest, SystemGameStakesTheSystemOverTheNumbersLeft) {
    std::filesystem::create_directories(dir.File(SystemsFolder));
    test::WriteBytes(dir.File("Systems/6-07-2_0001.dat"), "1 2 3 4 5 6\r\n1 2 3 4 5 7\r\n2 3 4 5 6 7\r\n");
    // The list holds three combinations over the numbers 7, 1..6.
    auto setList = [&] {
        ws.Combs().Clear();
        ws.Combs().Append({{1, 2, 3, 4, 5, 7}});
        ws.Combs().Append({{1, 2, 3, 4, 5, 6}});
        ws.Combs().Append({{1, 2, 3, 4, 6, 7}});
    };
    setList();
    ASSERT_TRUE(runner->Forecast({"CURR:0#SYSA| | | | | | | |"}));
    std::vector<std::vector<int>> staked;
    for (const auto& r : Stakes()) staked.push_back({r.Numbers.Numbers, r.Numbers.Numbers + r.Numbers.Count});
    // Positions map onto 1, 2, 3, 4, 5, 7, 6 (first occurrences), sorted.
    EXPECT_EQ(staked, (std::vector<std::vector<int>>{{1, 2, 3, 4, 5, 7}, {1, 2, 3, 4, 5, 6}, {2, 3, 4, 5, 6, 7}}));
    setList();
    ASSERT_TRUE(runner->Forecast({"CURR:0#SYSC| | | | | | | |"}));
    EXPECT_EQ(Stakes().size(), 5u);  // only the two system lines that are in the list
    // No system for 8 numbers: the message, and no stake.
    ws.Combs().Append({{1, 2, 3, 4, 5, 8}});
    ASSERT_TRUE(runner->Forecast({"CURR:0#SYSA| | | | | | | |"}));
    EXPECT_EQ(Stakes().size(), 5u);
    ASSERT_FALSE(host.Messages.empty());
    EXPECT_EQ(host.Messages.back().Text.rfind("Система для 8 чисел не найдена", 0), 0u);
}

TEST_F(ScenarioRunTest, ErrorsInALineStopTheRun) {
    ASSERT_TRUE(runner->Forecast({"FULL:0#FIRST|TSD1#XXXX:20#LNO:#SF:0| | | | | | |", "FULL:0#FIRST| | | | | | | |"}));
    EXPECT_TRUE(Stakes().empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text.rfind("Некорректное описание фильтра", 0), 0u);
    // A method switched off in the favourites is not in the list to choose from.
    ws.Stats().AllFavourites = false;
    ws.Stats().Items(ws.Stats().FindMethod("NUMS")).Favourite = false;
    ASSERT_TRUE(runner->Forecast({"FULL:0#FIRST|TSD1#NUMS:20#LNO:#SF:0| | | | | | |"}));
    EXPECT_EQ(host.Messages.back().Text.rfind("Метод расчета статистики \"NUMS\" на найден!\r", 0), 0u)
        << host.Messages.back().Text;
}

// A small scenario on a small archive gives exactly the stakes file and the log
// kept beside the tests. TESSARA_UPDATE_GOLDEN=1 writes them anew after an
// intended change; read the difference before committing it.
TEST(ScenarioGolden, StakesFileAndLog) {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.InitGameTables();
    ws.LoadStakesFile();
    ws.Archive().Draws() = test::RandomDraws(40, 3);
    ws.RegisterStats();
    TScenarioRunner runner(ws);
    runner.SetRandomSeed(1);
    runner.Log().SetEnabled(true);
    runner.Log().Now = [] {
        std::tm tm{};
        tm.tm_year = 126;
        tm.tm_mon = 11;
        tm.tm_mday = 10;
        tm.tm_hour = 12;
        return tm;
    };
    const std::vector<std::string> lines = {
        "FULL:0#FIRST|TSD1#NUMS:20#CLV:2#SC:5000| | | | | | |Первая",
        "EXCL:3#LAST|TMF1#EVEN:30#LNO:#ST:2|TSD1#SUMS:30#LLV:5#SZ:0| | | | | |Вторая",
        "",
        "CURR:0#FIRST#NEX|TSF1#POS1:10#CMV:1#SC:3| | | | | | |",
    };
    ASSERT_TRUE(runner.Test(lines, 2));
    EXPECT_TRUE(host.Messages.empty());
    const std::string stakes = ws.StakesFile().ReadAllBytes();
    const std::string log = ReadFileBytes(dir.File("ScriptLog_2026-12-10-12-00-00.txt"));
    const std::string folder = std::string(TESSARA_FIXTURES) + "/scenario/";
    if (std::getenv("TESSARA_UPDATE_GOLDEN")) {
        std::filesystem::create_directories(folder);
        test::WriteBytes(folder + "golden.lsk", stakes);
        test::WriteBytes(folder + "golden_log.txt", log);
    }
    EXPECT_EQ(stakes.size() % StakeRecordSize, 0u);
    EXPECT_TRUE(stakes == ReadFileBytes(folder + "golden.lsk"));
    EXPECT_EQ(Cp1251ToUtf8(log), Cp1251ToUtf8(ReadFileBytes(folder + "golden_log.txt")));
}

namespace {

struct TCountingOutcome {
    std::string Stakes, Log, History, List, Messages;
};

// A two-cycle test of one scenario line over my 20 numbers (38,760
// combinations), counted or filtered row by row.
TCountingOutcome RunCountingLine(const std::string& line, bool counting) {
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.InitGameTables();
    ws.LoadStakesFile();
    ws.Archive().Draws() = test::RandomDraws(60, 7);
    ws.RegisterStats();
    ws.SetGenerateDefaults({gmOnlyMine, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20"});
    TScenarioRunner runner(ws);
    runner.SetRandomSeed(3);
    runner.SetCountingPath(counting);
    runner.Log().SetEnabled(true);
    runner.Log().Now = [] { return std::tm{}; };
    runner.Test({line}, 2);
    TCountingOutcome out;
    out.Stakes = ws.StakesFile().ReadAllBytes();
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind("ScriptLog_", 0) == 0)
            out.Log += Cp1251ToUtf8(ReadFileBytes(entry.path().string()));
    for (const auto& e : ws.FilterLog())
        out.History += e.Caption + "|" + e.Value + "|" + std::to_string(e.Count) + "|" +
                       std::to_string(static_cast<int>(e.Icon)) + "\n";
    for (int64_t i = 0; i < ws.CombsCount(); ++i) out.List += FormatClipboardLine(ws.Combs()[i]);
    for (const auto& m : host.Messages) out.Messages += m.Text + "\n";
    return out;
}

}  // namespace

// The single-select loops of one-value statistics count the list by value;
// every level mode and stop rule must leave what filtering row by row
// leaves: the stakes, the log, the filter history, the list and messages.
TEST(ScenarioCounting, SameAsFilteringRowByRow) {
    using TOutcome = TCountingOutcome;
    auto run = RunCountingLine;
    // A level value for every mode, read from the column the mode tests.
    const char* levels[LevelModeCount] = {
        "",    "2",   "10",  "5",   "50",   "1;2;3", "10",  "0",    "0",   "1",     "10",
        "0;1", "0",   "1",   "2",   "2",    "5",     "0;1", "0",    "0",   "1",     "0",
        "1",   "10",  "1;2", "1",   "10",   "1",     "1",   "20",   "5;6", "60;70;80;90"};
    const char* stops[] = {"SF:0", "SC:3000", "SE:14", "SZ:0", "ST:3", "SV:1", "SP:2", "SE:5", "SC:1"};
    const char* stats[] = {"SUMS", "SUM2", "SUMV", "SUMC", "SUMT", "EVEN", "SMAL", "POS2", "EVNV", "S2T3", "SUME"};
    const char* flags[] = {"TSD1", "TSF1", "BSD2", "BSF0", "TSD3"};
    int stepped = 0, checked = 0;
    for (int mode = 0; mode < LevelModeCount; ++mode)
        for (int k = 0; k < 2; ++k) {
            const int i = mode * 2 + k;
            // Some loops come after a filter that removes a little of the
            // list (by codes or by value bits) and before another.
            const char* before[] = {"", "TMD1#SEQL:30#LNO:#ST:1|", "TMD1#NUMS:30#LNO:#ST:1|"};
            const char* after[] = {" ", "TMD1#SMAL:30#LNO:#ST:1", "TMD1#POS1:30#LNO:#ST:1"};
            const std::string line = fmt::format("FULL:0#FIRST|{}{}#{}:30#{}:{}#{}|{}| | | |{}|", before[i % 3],
                                                 flags[i % 5], stats[i % 11], LevelModeCode(mode), levels[mode],
                                                 stops[i % 9], after[i % 3], i % 3 == 0 ? " | " : " ");
            const TOutcome counted = run(line, true), plain = run(line, false);
            EXPECT_EQ(counted.Log, plain.Log) << line;
            EXPECT_TRUE(counted.Stakes == plain.Stakes) << line;
            EXPECT_EQ(counted.History, plain.History) << line;
            EXPECT_TRUE(counted.List == plain.List) << line;
            EXPECT_EQ(counted.Messages, plain.Messages) << line;
            stepped += plain.Log.find("Шаг 001") != std::string::npos;
            ++checked;
        }
    EXPECT_EQ(checked, 2 * LevelModeCount);
    // Most lines get as far as filtering.
    EXPECT_GT(stepped, checked / 2);
}

// Statistics with several values per combination (numbers, differences,
// transitions, pairs, digits) run their single-select loops on a list of
// their own, answering steps that would empty it from their value bits:
// the same outcome as filtering row by row, for every stop rule, keeping
// and removing, top-down and bottom-up, over a start list without the
// latest draws, after a multi-select filter and with two filter sets.
TEST(ScenarioCounting, SeveralValuesSameAsRowByRow) {
    const char* stops[] = {"SF:0", "SC:3000", "SE:14", "SZ:0", "ST:3", "SV:1", "SP:2", "SE:5", "SC:1"};
    const char* stats[] = {"NUMS", "DIFA", "SDV2", "KNM2", "DIGS", "NUMS", "DIFA"};
    const char* flags[] = {"TSD1", "TSF1", "BSD2", "BSF0", "TSD3", "TSD0"};
    // The rarest values first top-down: most steps would empty the list.
    const char* levels[] = {"LNO:", "CLV:2", "CMV:1", "LMV:1", "DLV:0", "LVA:3;5;7;30"};
    int stepped = 0, undone = 0;
    for (int i = 0; i < 36; ++i) {
        const std::string start = i % 3 == 0 ? "EXCL:3" : i % 3 == 1 ? "FULL:0" : "EXCL:0";
        // A multi-select filter first, by codes or by value bits, counted too.
        const char* firsts[] = {"TMF1#EVEN:30#LNO:#ST:2|", "TMF1#NUMS:30#CLV:2#SF:0|", "TMD1#GRPV:30#LNO:#ST:2|",
                                "TMD1#SEQL:30#LNO:#ST:1|", ""};
        const std::string first = firsts[i % 5];
        const std::string line =
            fmt::format("{}#FIRST|{}{}#{}:{}#{}#{}| | | | | |", start, first, flags[i % 6], stats[i % 7],
                        i % 5 == 0 ? "20,30" : "30", levels[i % 6], stops[i % 9]);
        const TCountingOutcome counted = RunCountingLine(line, true), plain = RunCountingLine(line, false);
        EXPECT_EQ(counted.Log, plain.Log) << line;
        EXPECT_TRUE(counted.Stakes == plain.Stakes) << line;
        EXPECT_EQ(counted.History, plain.History) << line;
        EXPECT_TRUE(counted.List == plain.List) << line;
        EXPECT_EQ(counted.Messages, plain.Messages) << line;
        stepped += plain.Log.find("Шаг 002") != std::string::npos;
        undone += plain.Log.find("{UNDO}") != std::string::npos;
    }
    // The lines take several steps and undo some.
    EXPECT_GT(stepped, 10);
    EXPECT_GT(undone, 5);
}

// The parts of the counted loops on their own: a workspace with an archive,
// and every 97th combination of the full list.
class ScenarioCountingParts : public ::testing::Test {
protected:
    ScenarioCountingParts() : ws(host, dir.Path()) {
        ws.InitGameTables();
        ws.Archive().Draws() = test::RandomDraws(60, 7);
        ws.RegisterStats();
    }
    test::TempDir dir;
    test::RecordingHost host;
    Workspace ws;
    const std::vector<TCombination> all = test::SampledCombinations(97);
};

// The step list by value bits against the statistic's own filtering, step
// by step: over a list of its own and over a parent less some combinations
// (the first, two neighbours, the last), with a row beyond the bits (70)
// that is filtered as a list, and with planes kept from an earlier loop.
TEST_F(ScenarioCountingParts, StepListSameAsFiltering) {
    TCombList parent;
    for (const TCombination& c : all) parent.Append(c);
    TCombList sub;
    for (size_t i = 0; i < all.size(); ++i)
        if (i != 0 && i != 500 && i != 501 && i != 3000 && i + 1 != all.size()) sub.Append(all[i]);
    struct Step {
        int value;
        bool exclude;
    };
    const Step steps[] = {{70, true}, {5, true}, {17, false}, {70, false}, {3, true}, {9, false},
                          {11, true}, {30, false}, {41, true}, {2, false}};
    TStepList steps_list;
    for (const char* code : {"NUMS", "DIFA", "SDV2"}) {
        const std::unique_ptr<TCustomStat> stat = ws.Stats().CreateStat(ws.Stats().FindMethod(code));
        stat->LoadDraws(-1, 59, false);
        for (int round = 0; round < 3; ++round) {
            const bool within = round > 0;
            const TCombList& list = within ? sub : parent;
            TStepSource source;
            if (within) source = {round == 1 ? 7u : 8u, parent.Data(), parent.Count(), 6};
            steps_list.Start(list, *stat, source);
            std::vector<TCombination> plain(list.Data(), list.Data() + list.Count()), next(plain.size());
            for (const Step& s : steps) {
                const TStatDraw row = test::Selected(MakeKey(static_cast<uint16_t>(s.value)));
                const int64_t kept = stat->FilterCombs(plain.data(), static_cast<int64_t>(plain.size()), next.data(),
                                                       {row}, 59, false, s.exclude);
                ASSERT_EQ(steps_list.Left(row, 59, false, s.exclude), kept) << code << " " << s.value;
                if (kept == 0) continue;
                steps_list.Take();
                plain.assign(next.begin(), next.begin() + kept);
                bool seen[256] = {};
                int distinct = 0;
                for (const TCombination& c : plain)
                    for (uint8_t x : c.n) distinct += !seen[x] ? (seen[x] = true) : 0;
                EXPECT_EQ(steps_list.DistinctNumbers(50), distinct) << code;
                EXPECT_EQ(steps_list.DistinctNumbers(3), std::min(distinct, 3)) << code;
            }
            std::vector<TCombination> applied(list.Count() + 1);
            applied.resize(static_cast<size_t>(steps_list.Apply(applied.data())));
            ASSERT_EQ(applied.size(), plain.size()) << code;
            EXPECT_EQ(std::memcmp(applied.data(), plain.data(), plain.size() * sizeof(TCombination)), 0) << code;
            // What is left as bits over the parent kept under its key: those
            // combinations and no others.
            TStepSource made;
            std::vector<uint64_t> bits;
            ASSERT_EQ(steps_list.AliveInParent(made, bits), within) << code;
            if (!within) continue;
            std::vector<TCombination> atBits;
            for (int64_t i = 0; i < parent.Count(); ++i)
                if (bits[static_cast<size_t>(i / 64)] >> (i % 64) & 1) atBits.push_back(parent[i]);
            ASSERT_EQ(atBits.size(), plain.size()) << code;
            EXPECT_EQ(std::memcmp(atBits.data(), plain.data(), plain.size() * sizeof(TCombination)), 0) << code;
        }
    }
}

// The counts by code of a list that is its parent less some combinations
// (the first, alone with its sum, among them), kept between loops, against
// filtering the list itself; then what is left as bits over the parent, for
// a step list to go on from.
TEST_F(ScenarioCountingParts, CodeCountsFromParentSameAsFiltering) {
    TCombList parent, sub;
    for (size_t i = 0; i < all.size(); ++i) {
        parent.Append(all[i]);
        if (i != 0 && i != 700 && i != 701 && i + 1 != all.size()) sub.Append(all[i]);
    }
    const std::unique_ptr<TCustomStat> stat = ws.Stats().CreateStat(ws.Stats().FindMethod("SUMS"));
    TValueColumns columns;
    TCodeCounts counts;
    const int sums[] = {21, 150, 100, 120, 90, 60, 200};
    for (int round = 0; round < 4; ++round) {
        const bool within = round % 2 == 1;
        const TCombList& list = within ? sub : parent;
        const TStepSource source =
            within ? TStepSource{3, parent.Data(), parent.Count(), 2} : TStepSource{round == 0 ? 2u : 0u};
        counts.Count(list, *stat, 0, columns, true, source);
        TCodeCounts::TAlive alive = counts.AllAlive();
        std::vector<uint8_t> wanted(static_cast<size_t>(stat->CodeCount()));
        std::vector<TCombination> plain(list.Data(), list.Data() + list.Count()), next(plain.size());
        for (size_t s = 0; s < std::size(sums); ++s) {
            const bool exclude = s < 3;
            const TStatDraw row = test::Selected(MakeKey(static_cast<uint16_t>(sums[s])));
            stat->WantedCodes({row}, 59, false, wanted.data());
            TCodeCounts::TAlive step = alive;
            for (size_t v = 0; v < step.size(); ++v) step[v] = alive[v] && (wanted[v] != 0) != exclude;
            const int64_t kept = stat->FilterCombs(plain.data(), static_cast<int64_t>(plain.size()), next.data(),
                                                   {row}, 59, false, exclude);
            ASSERT_EQ(counts.Total(step), kept) << round << " " << sums[s];
            if (kept == 0) continue;
            alive = step;
            plain.assign(next.begin(), next.begin() + kept);
            bool seen[256] = {};
            int distinct = 0;
            for (const TCombination& c : plain)
                for (uint8_t x : c.n) distinct += !seen[x] ? (seen[x] = true) : 0;
            EXPECT_EQ(counts.DistinctNumbers(alive, 50), distinct) << round << " " << sums[s];
        }
        std::vector<TCombination> applied(static_cast<size_t>(parent.Count()));
        applied.resize(static_cast<size_t>(counts.Apply(applied.data(), alive)));
        ASSERT_EQ(applied.size(), plain.size()) << round;
        EXPECT_EQ(std::memcmp(applied.data(), plain.data(), plain.size() * sizeof(TCombination)), 0) << round;
        // What is left, as bits over the parent, and a step list started on
        // those bits.
        TStepSource made;
        std::vector<uint64_t> bits;
        ASSERT_EQ(counts.AliveInParent(alive, made, bits), round != 2) << round;
        if (round == 2) continue;
        std::vector<TCombination> atBits;
        for (int64_t i = 0; i < parent.Count(); ++i)
            if (bits[static_cast<size_t>(i / 64)] >> (i % 64) & 1) atBits.push_back(parent[i]);
        ASSERT_EQ(atBits.size(), plain.size()) << round;
        EXPECT_EQ(std::memcmp(atBits.data(), plain.data(), plain.size() * sizeof(TCombination)), 0) << round;
        const std::unique_ptr<TCustomStat> nums = ws.Stats().CreateStat(ws.Stats().FindMethod("NUMS"));
        TCombList left;
        for (const TCombination& c : plain) left.Append(c);
        made.Alive = &bits;
        TStepList steps;
        steps.Start(left, *nums, made);
        const TStatDraw seven = test::Selected(MakeKey(7));
        std::vector<TCombination> out(plain.size());
        out.resize(static_cast<size_t>(
            nums->FilterCombs(plain.data(), static_cast<int64_t>(plain.size()), out.data(), {seven}, 59, false, false)));
        ASSERT_EQ(steps.Left(seven, 59, false, false), static_cast<int64_t>(out.size())) << round;
        steps.Take();
        std::vector<TCombination> got(plain.size() + 1);
        got.resize(static_cast<size_t>(steps.Apply(got.data())));
        ASSERT_EQ(got.size(), out.size()) << round;
        EXPECT_EQ(std::memcmp(got.data(), out.data(), out.size() * sizeof(TCombination)), 0) << round;
    }
}

TEST(ScenarioLevels, ColumnsAndTests) {
    // value, count, count %, deviation, deviation %, depth, depth %, weight, period min, period, period max
    const TStatValues row = {"7", "12", "4,5", "-3", "-20,25", "2", "10", "1,5", "3", "8,25", "-"};
    const struct {
        int mode;
        const char* value;
        bool expected;
    } cases[] = {
        {0, "", true},     {1, "2", true},       {1, "3", false},   {2, "10", true},    {3, "2", true},
        {4, "9", false},   {5, "1,2;5", true},   {6, "10", true},   {7, "-3", true},    {8, "-20", false},
        {13, "12", true},  {14, "5", false},     {15, "11", false}, {17, "12", true},   {18, "4.5", true},
        {19, "1", true},   {20, "1", false},     {21, "1.5", true}, {22, "3", true},    {25, "8", true},
        {26, "9", true},   {28, "0", true},      {29, "5", false},  {31, "6;7", true},  {31, "8", false},
    };
    for (const auto& c : cases) {
        TFilterPart part;
        part.LevelMode = static_cast<uint8_t>(c.mode);
        part.LevelValue = c.value;
        EXPECT_EQ(TScenarioRunner::LevelMatches(part, row, 7), c.expected) << c.mode << " " << c.value;
    }
    // A "-" reads as 65535 in the upper-bound tests.
    TFilterPart upper;
    upper.LevelMode = 29;
    upper.LevelValue = "70000";
    EXPECT_TRUE(TScenarioRunner::LevelMatches(upper, row, 7));
    // The list tests read the column strictly.
    TFilterPart list;
    list.LevelMode = 30;
    list.LevelValue = "1";
    EXPECT_THROW(TScenarioRunner::LevelMatches(list, row, 7), Error);
}

}  // namespace
}  // namespace tessara
