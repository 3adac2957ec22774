#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "stakes/check_journal.h"
#include "stakes/stake_check.h"
#include "stakes/stake_create.h"
#include "stakes/stake_logs.h"
#include "stakes_test_support.h"

namespace tessara {
namespace {

using test::CheckedStake;
using test::Numbers;
using test::Stake;

std::string Bytes(const TStakeRecord& r) { return std::string(reinterpret_cast<const char*>(&r), sizeof r); }

class StakesTest : public ::testing::Test, public test::StakesWorkspace {};

TEST(StakeCost, TicketsAndTheFirstPrizeRow) {
    TConfigData c;
    c.Cost = MoneyFromAmount(5);
    c.Profits = {{3, MoneyFromAmount(25)}, {4, MoneyFromAmount(250)}, {3, MoneyFromAmount(1000)}};
    TConfigData none;
    none.Cost = MoneyFromAmount(5);
    const struct {
        const TConfigData& config;
        int count, matches;
        double amount;
    } cases[] = {
        {c, 6, 3, 20},   {c, 6, 2, -5},  {c, 7, 4, 215},  // one prize, 7 tickets
        {c, 10, -1, -1050},                              // C(10,6) = 210 tickets
        {c, 5, -1, -5},  {none, 7, 3, -35},
    };
    for (const auto& t : cases)
        EXPECT_EQ(StakeCost(t.config, t.count, t.matches), MoneyFromAmount(t.amount))
            << t.count << " numbers, " << t.matches << " matches";
}

TEST_F(StakesTest, OutdatedFilesAreEmptiedButKeptAside) {
    ws.reset();
    const std::string stakes = dir.File(StakesFileName);
    const struct {
        const char* fixture;
        const char* backup;
    } cases[] = {{"stakes/stray_byte.lsk", "Tessara_6x42.lsk.bak"},
                 {"stakes/version1.lsk", "Tessara_6x42.lsk.bak2"}};
    for (const auto& c : cases) {
        const std::string original = ReadFileBytes(std::string(TESSARA_FIXTURES) + "/" + c.fixture);
        test::WriteBytes(stakes, original);
        test::RecordingHost h;
        Workspace w(h, dir.Path());
        ASSERT_TRUE(w.LoadStakesFile()) << c.fixture;
        ASSERT_EQ(h.Messages.size(), 1u);
        EXPECT_EQ(h.Messages[0].Kind, MessageKind::Warning);
        EXPECT_EQ(h.Messages[0].Text,
                  "Обнаружен файл ставок устаревшей версии - имеющиеся в файле ставки будут удалены!");
        EXPECT_FALSE(w.HasStakes());
        EXPECT_EQ(std::filesystem::file_size(stakes), 0u);
        EXPECT_EQ(w.StakesGrid().StatusText, "Ставок: 0");
        // An earlier copy is never overwritten.
        EXPECT_EQ(ReadFileBytes(dir.File(c.backup)), original) << c.fixture;
    }
    // A sound file is left alone.
    test::WriteBytes(stakes, Bytes(Stake(1, {1, 2, 3, 4, 5, 6})));
    test::RecordingHost h;
    Workspace w(h, dir.Path());
    ASSERT_TRUE(w.LoadStakesFile());
    EXPECT_TRUE(h.Messages.empty());
    EXPECT_EQ(w.StakesCount(), 1);
}

TEST_F(StakesTest, StakesForSeveralDrawsGetSeparators) {
    const struct {
        const char* name;
        std::vector<TStakeRecord> before;
        int drawCount;
        std::vector<int> draws;  // of the records appended
    } cases[] = {
        {"after a stake", {Stake(7, {1, 2, 3, 4, 5, 6})}, 3, {-1, 10, -1, 11, -1, 12}},
        {"after a separator", {Stake(7, {1, 2, 3, 4, 5, 6}), MakeSeparatorStake()}, 3, {10, -1, 11, -1, 12}},
        {"into an empty file", {}, 3, {10, -1, 11, -1, 12}},
        {"for one draw", {Stake(7, {1, 2, 3, 4, 5, 6})}, 1, {10}},
    };
    for (const auto& c : cases) {
        ws->StakesFile().Truncate();
        for (const auto& r : c.before) Append(r);
        const TStakeRecord stake = Stake(10, {3, 7, 15, 22, 30, 41}, "три тиража");
        ASSERT_TRUE(ws->AppendStake(stake, c.drawCount)) << c.name;
        ASSERT_EQ(ws->StakesCount(), static_cast<int64_t>(c.before.size() + c.draws.size())) << c.name;
        for (size_t i = 0; i < c.draws.size(); ++i) {
            const TStakeRecord r = At(static_cast<int64_t>(c.before.size() + i));
            if (c.draws[i] < 0) {
                EXPECT_EQ(Bytes(r), Bytes(MakeSeparatorStake())) << c.name << " record " << i;
            } else {
                TStakeRecord expected = stake;
                expected.Draw = c.draws[i];
                EXPECT_EQ(Bytes(r), Bytes(expected)) << c.name << " record " << i;
            }
        }
    }
    EXPECT_TRUE(host.Messages.empty());
    const TStakeRecord sep = MakeSeparatorStake();
    EXPECT_EQ(sep.Version, 2);
    EXPECT_EQ(sep.Draw, -1);
    EXPECT_EQ(sep.Matches.Count, -1);
}

TEST_F(StakesTest, CheckedStakeIsNotAppendedAndReadsPastTheEndFail) {
    Append(Stake(1, {1, 2, 3, 4, 5, 6}));
    Append(Stake(2, {1, 2, 3, 4, 5, 7}));
    const std::string before = FileBytes();
    EXPECT_FALSE(ws->AppendStake(CheckedStake(3, "x", 2, 0), 1));
    EXPECT_EQ(FileBytes(), before);
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text,
              "Ошибка добавления записи в файл ставок!\r\rДобавление в конец файла уже проверенной ставки!");

    TStakeRecord r = Stake(9, {9, 9, 9, 9, 9, 9});
    EXPECT_FALSE(ws->ReadStake(TStakeOrigin::Begin, 2, r));
    EXPECT_EQ(Bytes(r), std::string(sizeof r, '\0'));
    EXPECT_EQ(host.Messages.back().Text,
              "Ошибка чтения записи из файла ставок!\r\rЗапись со индексом 2 в файле данных не найдена!");
    EXPECT_FALSE(ws->WriteStake(TStakeOrigin::Begin, 3, r));  // beyond the end, not at it

    // The kept copy of the last read never hides a write.
    ASSERT_TRUE(ws->ReadStake(TStakeOrigin::End, -1, r));
    EXPECT_EQ(r.Draw, 2);
    r.Draw = 22;
    ASSERT_TRUE(ws->WriteStake(TStakeOrigin::Begin, 1, r));
    ASSERT_TRUE(ws->ReadStake(TStakeOrigin::End, -1, r));
    EXPECT_EQ(r.Draw, 22);
}

TEST_F(StakesTest, FindStakeComparesSets) {
    Append(Stake(5, {6, 5, 4, 3, 2, 1}));
    Append(Stake(6, {1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(ws->FindStake(5, Numbers({1, 2, 3, 4, 5, 6})));
    EXPECT_FALSE(ws->FindStake(6, Numbers({1, 2, 3, 4, 5, 6})));
    EXPECT_TRUE(ws->FindStake(6, Numbers({7, 6, 5, 4, 3, 2, 1})));
    EXPECT_FALSE(ws->FindStake(7, Numbers({1, 2, 3, 4, 5, 6})));
}

TEST_F(StakesTest, DeletionByCondition) {
    // A separator, an unchecked stake and stakes with 0, 1 and 3 matches.
    const std::vector<TStakeRecord> records = {MakeSeparatorStake(), Stake(9, {1, 2, 3, 4, 5, 6}),
                                               CheckedStake(1, "a", 0, 0), CheckedStake(1, "b", 1, 0),
                                               CheckedStake(1, "c", 3, 0)};
    const struct {
        int mode, value;
        std::vector<int> kept;  // indices of the records above
    } cases[] = {
        {3, 1, {0, 3, 4}},           // "Менее [ < ]" 1: unchecked and 0 matches go
        {0, 1, {0, 1, 2, 4}},        {1, 0, {0, 1, 2}}, {2, 1, {0, 1, 2}},
        {4, 0, {0, 3, 4}},           {7, 0, {0}},  // an unknown mode keeps separators only
    };
    for (const auto& c : cases) {
        ws->StakesFile().Truncate();
        for (const auto& r : records) Append(r);
        ASSERT_TRUE(ws->DeleteStakesByCondition(c.mode, c.value)) << StakeConditionCaption(c.mode);
        std::string expected;
        for (int i : c.kept) expected += Bytes(records[static_cast<size_t>(i)]);
        EXPECT_EQ(FileBytes(), expected) << "mode " << c.mode << " value " << c.value;
    }
    EXPECT_STREQ(StakeConditionCaption(3), "Менее [ < ]");
    EXPECT_FALSE(std::filesystem::exists(dir.File("Tessara_6x42.~tmp")));
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(StakesTest, DeletionOfRowsKeepsTheFolderLocked) {
    for (int i = 1; i <= 5; ++i) Append(Stake(i, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(ws->DeleteSelectedStakes(1, 2));
    ASSERT_EQ(ws->StakesCount(), 3);
    EXPECT_EQ(At(0).Draw, 1);
    EXPECT_EQ(At(1).Draw, 4);
    EXPECT_EQ(At(2).Draw, 5);
    // The renamed file is the one held: another copy cannot take it, and
    // writes reach the file on disk.
    InstanceLock other;
    EXPECT_THROW(other.Acquire(dir.File(StakesFileName)), Error);
    Append(Stake(6, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(std::filesystem::file_size(dir.File(StakesFileName)), 4u * 320u);

    // The command asks first; No keeps everything.
    EXPECT_FALSE(ws->DeleteStakes(0, 1));
    EXPECT_EQ(host.Questions.back(), "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
    EXPECT_EQ(ws->StakesCount(), 4);
    host.Answers = {true};
    EXPECT_TRUE(ws->DeleteStakes(0, 3));
    EXPECT_FALSE(ws->HasStakes());
    EXPECT_FALSE(ws->DeleteSelectedStakes(0, 0));
    EXPECT_EQ(host.Messages.back().Text, "Ошибка удаления записи из файла ставок!\r\rФайл ставок не открыт!");
}

// A process that dies while it writes the temporary file of a deletion
// loses no stake: the stakes file is replaced only by a complete copy.
TEST(StakesCrash, KilledDuringADeletionLosesNothing) {
    test::TempDir dir;
    std::string original;
    {
        test::RecordingHost host;
        Workspace ws(host, dir.Path());
        ASSERT_TRUE(ws.LoadStakesFile());
        for (int i = 1; i <= 600; ++i) ws.StakesFile().Append(Stake(i, {1, 2, 3, 4, 5, 6}));
        original = ws.StakesFile().ReadAllBytes();
        ws.CloseStakesFile();
    }
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        test::RecordingHost host;
        Workspace ws(host, dir.Path());
        if (!ws.LoadStakesFile()) ::_exit(3);
        // Stopped, until killed, once the copy is complete.
        ws.StakesFile().SetRewriteHook([&](int64_t, bool complete) {
            if (!complete) return;
            (void)!::write(ready[1], "1", 1);
            ::pause();
        });
        ws.DeleteSelectedStakes(10, 20);
        ::_exit(4);
    }
    ::close(ready[1]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    const std::string temp = dir.File("Tessara_6x42.~tmp");
    EXPECT_EQ(std::filesystem::file_size(temp), 589u * 320u);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));

    EXPECT_EQ(ReadFileBytes(dir.File(StakesFileName)), original);
    test::RecordingHost host;
    Workspace ws(host, dir.Path());
    ASSERT_TRUE(ws.LoadStakesFile());
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(ws.StakesCount(), 600);
    // The next deletion replaces the leftover temporary file.
    ASSERT_TRUE(ws.DeleteSelectedStakes(10, 20));
    EXPECT_EQ(ws.StakesCount(), 589);
    EXPECT_FALSE(std::filesystem::exists(temp));
}

// A check killed anywhere leaves the stakes file and the ratings consistent
// after the next start: every checked stake is counted exactly once.
class StakesCheckCrash : public ::testing::Test {
protected:
    static constexpr int kStakes = 300;

    void SetUp() override {
        test::RecordingHost host;
        Workspace ws(host, dir.Path());
        ASSERT_TRUE(ws.LoadStakesFile());
        for (int i = 0; i < kStakes; ++i)
            ws.StakesFile().Append(Stake(1 + i % 50, {1 + i % 7, 9, 17, 25, 33, 41}, kComments[i % 3]));
        ws.CloseStakesFile();
    }

    // Opens the folder as a program does at start-up and checks what it
    // finds there.
    void Open(test::RecordingHost& host, std::unique_ptr<Workspace>& ws) {
        ws = std::make_unique<Workspace>(host, dir.Path());
        for (const TDrawRecord& d : test::MakeDraws(1, 50)) ws->Archive().Append(d);
        ASSERT_TRUE(ws->LoadStakesFile());
        ws->LoadRatings();
    }

    // Runs the check in a child that stops at the hook's count (or, with -1,
    // runs free and is killed after delayUs), then kills it.
    void KillDuringCheck(int64_t stopAt, int delayUs) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            test::RecordingHost host;
            std::unique_ptr<Workspace> ws;
            Open(host, ws);
            ws->SetCheckHook([&](int64_t written) {
                if (written != stopAt) return;
                (void)!::write(ready[1], "1", 1);
                ::pause();
            });
            if (stopAt < 0) (void)!::write(ready[1], "1", 1);
            ws->CheckStakesAndUpdate();
            ::pause();
        }
        ::close(ready[1]);
        char c = 0;
        ASSERT_EQ(::read(ready[0], &c, 1), 1);
        ::close(ready[0]);
        if (delayUs > 0) ::usleep(static_cast<useconds_t>(delayUs));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }

    // Checked stakes per comment in the file equal the ratings' counts.
    void ExpectConsistent(const Workspace& ws, int* checked) {
        std::map<std::string, uint32_t> stakes;
        ws.StakesFile().ForEach(0, [&](int64_t, const TStakeRecord& r) {
            if (r.Checked) ++stakes[StakeComment(r)];
            return true;
        });
        std::map<std::string, uint32_t> rated;
        for (const TRatingRecord& r : ws.Ratings().Rows()) rated[Cp1251ToUtf8(RatingName(r))] += r.Stakes;
        EXPECT_EQ(rated, stakes);
        *checked = 0;
        for (const auto& [name, n] : stakes) *checked += static_cast<int>(n);
    }

    static constexpr const char* kComments[3] = {"a", "b", "c"};
    test::TempDir dir;
};

TEST_F(StakesCheckCrash, KilledAnywhereCountsEveryStakeOnce) {
    // Where the kill lands: after the redo record, after some of the writes
    // in place, after all of them, then at random moments of the whole run.
    // The random moments spread over the time a whole check takes here.
    int span = 0;
    {
        test::RecordingHost host;
        std::unique_ptr<Workspace> ws;
        Open(host, ws);
        const auto start = std::chrono::steady_clock::now();
        ws->CheckStakesAndUpdate();
        span = static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(
                                    std::chrono::steady_clock::now() - start)
                                    .count());
        ws->CloseStakesFile();
        std::filesystem::remove(dir.File(RatingsFileName));
        std::filesystem::remove(dir.File(StakesFileName));
        SetUp();
    }
    std::vector<std::pair<int64_t, int>> kills = {{0, 0}, {1, 0}, {kStakes / 2, 0}, {kStakes, 0}};
    std::srand(static_cast<unsigned>(::getpid()));
    for (int i = 0; i < 16; ++i) kills.push_back({-1, std::rand() % (span + span / 4 + 1)});
    for (const auto& [stopAt, delay] : kills) {
        SCOPED_TRACE(::testing::Message() << "stop at " << stopAt << ", delay " << delay);
        KillDuringCheck(stopAt, delay);
        {
            test::RecordingHost host;
            std::unique_ptr<Workspace> ws;
            Open(host, ws);
            EXPECT_TRUE(host.Messages.empty());
            EXPECT_FALSE(FileExists(dir.File(CheckJournalFileName)));
            int checked = 0;
            ExpectConsistent(*ws, &checked);
            if (stopAt >= 0) {
                EXPECT_EQ(checked, kStakes);  // the redo record was complete
            }
            ws->CheckStakesAndUpdate();
            ExpectConsistent(*ws, &checked);
            EXPECT_EQ(checked, kStakes);
            // Back to unchecked stakes and no ratings for the next kill.
            ws->CloseStakesFile();
        }
        std::filesystem::remove(dir.File(RatingsFileName));
        std::filesystem::remove(dir.File(StakesFileName));
        SetUp();
    }
}

TEST_F(StakesTest, FailedRewriteLeavesTheFileAsItWas) {
    for (int i = 1; i <= 300; ++i) Append(Stake(i, {1, 2, 3, 4, 5, 6}));
    const std::string before = FileBytes();
    ws->StakesFile().SetRewriteHook([](int64_t written, bool) {
        if (written == 299) throw Error("Нет места на диске");
    });
    EXPECT_FALSE(ws->DeleteSelectedStakes(0, 0));
    EXPECT_EQ(host.Messages.back().Text, "Ошибка удаления записи из файла ставок!\r\rНет места на диске");
    EXPECT_EQ(ReadFileBytes(dir.File(StakesFileName)), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("Tessara_6x42.~tmp")));
    ws->StakesFile().SetRewriteHook(nullptr);
    ASSERT_TRUE(ws->DeleteSelectedStakes(0, 0));
    EXPECT_EQ(ws->StakesCount(), 299);
}

TEST_F(StakesTest, CheckingFillsResultMatchesProfitAndRating) {
    SetPrizes(5, {{3, 25}, {4, 250}});
    ws->Archive().Append(test::MakeDraw(1, {7, 19, 3, 40, 22, 11}, 4));
    Append(Stake(1, {3, 7, 15, 22, 30, 41}, "Тест"));
    Append(MakeSeparatorStake());
    Append(Stake(2, {3, 7, 15, 22, 30, 41}, "Тест"));  // its draw is not in
    Append(Stake(1, {3, 7, 15, 22, 30}, "пять"));       // never checked
    int checked = 0;
    ASSERT_TRUE(ws->CheckStakesAndUpdate(&checked));
    EXPECT_EQ(checked, 1);
    EXPECT_TRUE(host.Messages.empty());

    const TStakeRecord r = At(0);
    EXPECT_EQ(r.Checked, 1);
    const struct {
        int column;
        const char* text;
    } cells[] = {{0, "1"},     {1, "Вручную"},          {2, "3;7;15;22;30;41"},
                 {4, "7;19;3;40;22;11"}, {5, "3"}, {6, "3 7 22"}, {7, "20.00"}, {8, "Тест"}};
    for (const auto& c : cells) EXPECT_EQ(StakesGridCellText(r, c.column), c.text) << c.column;
    EXPECT_EQ(StakeOutcome(r), TStakeOutcome::Profit);
    const auto numbers = StakesGridNumbers(r, 4);
    ASSERT_EQ(numbers.size(), 6u);
    EXPECT_TRUE(numbers[0].Matched);   // 7
    EXPECT_FALSE(numbers[1].Matched);  // 19

    // The unchecked ones keep their state and show their cost.
    EXPECT_EQ(At(2).Checked, 0);
    EXPECT_EQ(At(2).Matches.Count, -1);
    EXPECT_EQ(StakesGridCellText(At(2), 4), "");
    EXPECT_EQ(StakesGridCellText(At(3), 7), "0.00");  // cost not filled in by hand here
    EXPECT_EQ(StakesGridCellText(At(1), 0), "");        // separator
    ASSERT_EQ(ws->Ratings().Count(), 1u);
    EXPECT_EQ(ws->Ratings()[0].Hits[3], 1u);
    EXPECT_TRUE(FileExists(dir.File(RatingsFileName)));
    EXPECT_NE(std::find(host.Statuses.begin(), host.Statuses.end(),
                        "Проверка результатов ставок ( завершено 100 % )..."),
              host.Statuses.end());

    // A second pass finds nothing; a stake whose draw is missing stays.
    EXPECT_FALSE(ws->CheckStakes());
    EXPECT_EQ(ws->Ratings()[0].Stakes, 1u);
}

TEST_F(StakesTest, PrefillAndStakeDialogRules) {
    SetPrizes(5, {});
    ws->Archive().Append(test::MakeDraw(41, {1, 2, 3, 4, 5, 6}));
    ws->Archive().Append(test::MakeDraw(42, {1, 2, 3, 4, 5, 7}));
    const TCombination comb{{4, 8, 15, 16, 23, 42}};
    const TStakeRecord r = ws->PrefillManualStake(&comb);
    EXPECT_EQ(r.Kind, skManual);
    EXPECT_EQ(r.Draw, 43);
    EXPECT_EQ(StakeComment(r), "Ставка \"вручную\"");
    EXPECT_EQ(FormatStakeNumbers(r.Numbers, ";"), "4;8;15;16;23;42");
    EXPECT_EQ(r.Profit, MoneyFromAmount(-5));
    EXPECT_EQ(StakesGridCellText(r, 7), "-5.00");

    const struct {
        const char* numbers;
        const char* comment;
        TStakeDialogCheck result;
        const char* fault = "";
    } cases[] = {
        {"1;2;3;4;5", "c", TStakeDialogCheck::Numbers, "нужно от 6 до 10 чисел, введено 5"},
        {"1;2;3;4;5;6;7;8;9;10;11", "c", TStakeDialogCheck::Numbers, "нужно от 6 до 10 чисел, введено 11"},
        {"1;2;3;4;5;43", "c", TStakeDialogCheck::Numbers, "число 43 вне диапазона 1..42"},
        {"1;2;3;4;5;5", "c", TStakeDialogCheck::Numbers, "число 5 повторяется"},
        {"1;2;3;4;5;x", "c", TStakeDialogCheck::Numbers, "\"x\" не число"},
        {"1;2;3;4;5;6", "", TStakeDialogCheck::Comment},
        {"10, 9;8;7;6;5;4;3;2;1", "c", TStakeDialogCheck::Ok},
    };
    for (const auto& c : cases) {
        TStakeNumbers n{};
        std::string message;
        EXPECT_EQ(CheckStakeDialog(c.numbers, c.comment, n, message), c.result) << c.numbers;
        if (c.result == TStakeDialogCheck::Numbers) {
            EXPECT_EQ(message, std::string("Введена некорректная комбинация!\r\r") + c.fault);
        }
        if (c.result == TStakeDialogCheck::Comment) {
            EXPECT_EQ(message, "Необходимо ввести комментарий!");
        }
        if (c.result == TStakeDialogCheck::Ok) {
            EXPECT_EQ(FormatStakeNumbers(n, ";"), "1;2;3;4;5;6;7;8;9;10");
            // The cost follows the numbers as finally typed: 210 tickets.
            EXPECT_EQ(ApplyStakeDialog(r, 50, "c", n, ws->Config()).Profit, MoneyFromAmount(-1050));
        }
    }
    EXPECT_EQ(StakeNumbersSum("1;2;x;4,"), 7);
}

TEST_F(StakesTest, GridRowsFollowTheFile) {
    EXPECT_EQ(ws->StakesGrid().Rows, 1);
    EXPECT_EQ(ws->StakesGrid().Selected, 0);
    EXPECT_EQ(ws->StakesGrid().StatusText, "Ставок: 0");
    ASSERT_TRUE(ws->CreateStake(Stake(5, {1, 2, 3, 4, 5, 6}), 1));
    EXPECT_EQ(ws->StakesGrid().Rows, 1);
    EXPECT_EQ(ws->StakesGrid().Selected, 0);
    EXPECT_EQ(ws->StakesGrid().StatusText, "Ставок: 1");
    // Bulk creation without scrolling leaves the rows for the final refresh.
    ws->SetStakesScrollEnabled(false);
    ASSERT_TRUE(ws->CreateStakes(Stake(6, {1, 2, 3, 4, 5, 6}), 2, true));
    EXPECT_EQ(ws->StakesGrid().Rows, 1);
    ws->RefreshStakesGrid(true, false);
    EXPECT_EQ(ws->StakesGrid().Rows, 5);
    EXPECT_EQ(ws->StakesGrid().StatusText, "Ставок: 5");
    EXPECT_EQ(ws->StakeAtRow(4).Draw, 7);
    EXPECT_EQ(ws->StakeAtRow(5).Draw, 0);  // past the end: an empty row, no message
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(host.Changes.back(), Change::Stakes);
    EXPECT_EQ(host.BusyCount(), 0);
}

TEST_F(StakesTest, LastCheckedDraws) {
    // Checked draws 1, 1, 2, then a separator, 3 and an unchecked 4.
    for (auto r : {CheckedStake(1, "a", 1, 0), CheckedStake(1, "a", 2, 0), CheckedStake(2, "a", 0, 0),
                   MakeSeparatorStake(), CheckedStake(3, "a", 0, 0), Stake(4, {1, 2, 3, 4, 5, 6})})
        Append(r);
    const struct {
        int n, found;
        int64_t start;
    } cases[] = {{1, 1, 3}, {2, 2, 2}, {3, 3, 0}, {9, 3, 0}};
    for (const auto& c : cases) {
        int64_t start = -1;
        EXPECT_EQ(ws->SeekLastCheckedDraws(c.n, start), c.found) << c.n;
        EXPECT_EQ(start, c.start) << c.n;
    }
}

TEST(StakeLogs, LineAndSizeLimit) {
    TStakeRecord r = Stake(1234, {3, 7, 15, 22, 30, 41}, "Тест");
    r.Checked = 1;
    r.Sample = 5245786;
    const uint8_t result[6] = {7, 19, 3, 40, 22, 11};
    std::memcpy(r.Result, result, 6);
    r.Matches = Numbers({3, 7, 22});
    r.Profit = MoneyFromAmount(20);
    std::tm tm{};
    tm.tm_year = 2024 - 1900;
    tm.tm_mon = 2;
    tm.tm_mday = 5;
    tm.tm_hour = 9;
    tm.tm_min = 7;
    tm.tm_sec = 3;
    const std::string line =
        "2024.03.05 09:07:03: Тираж № 1234. Ставка: \"Тест\" [3;7;15;22;30;41] {5245786}. "
        "Результаты тиража: [7;19;3;40;22;11]. Совпадений: 3. Профит: 20.00.";
    EXPECT_EQ(StakeLogLine(r, tm), line);

    EXPECT_FALSE(StakeLogNeedsReset(268435456));
    EXPECT_TRUE(StakeLogNeedsReset(268435457));

    test::TempDir dir;
    test::RecordingHost host;
    const std::string path = dir.File("Tessara_6x42-3.log");
    const std::string crlf = Utf8ToCp1251(line) + "\r\n";
    test::WriteBytes(path, std::string(100, 'x'));
    WriteStakeLog(host, dir.Path(), r, tm, 100);  // at the limit: appended
    EXPECT_EQ(ReadFileBytes(path), std::string(100, 'x') + crlf);
    test::WriteBytes(path, std::string(101, 'x'));
    WriteStakeLog(host, dir.Path(), r, tm, 100);  // past it: started anew
    EXPECT_EQ(ReadFileBytes(path), crlf);
    EXPECT_TRUE(host.Messages.empty());
}

TEST_F(StakesTest, LogsOnlyWhenEnabledAndTheirDeletion) {
    ws->Archive().Append(test::MakeDraw(1, {1, 2, 3, 40, 41, 42}));
    Append(Stake(1, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(ws->CheckStakes());
    EXPECT_TRUE(FindStakeLogs(dir.Path()).empty());
    EXPECT_FALSE(ws->DeleteStakeLogs());
    EXPECT_EQ(host.Messages.back().Text, "Файлы журналов не найдены!");

    ws->SetStakesLogEnabled(true);
    EXPECT_TRUE(ws->View().ReadBool(MainWindowSection, "StakesLogEnabled", false));
    Append(Stake(1, {1, 2, 7, 8, 9, 10}));
    Append(Stake(1, {11, 12, 13, 14, 15, 16}));
    ASSERT_TRUE(ws->CheckStakes());
    EXPECT_EQ(FindStakeLogs(dir.Path()),
              (std::vector<std::string>{dir.File("Tessara_6x42-0.log"), dir.File("Tessara_6x42-2.log")}));
    EXPECT_TRUE(ws->DeleteStakeLogs());
    EXPECT_EQ(host.Messages.back().Kind, MessageKind::Information);
    EXPECT_TRUE(FindStakeLogs(dir.Path()).empty());
}

}  // namespace
}  // namespace tessara
