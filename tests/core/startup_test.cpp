#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/startup.h"
#include "base/platform.h"
#include "stats/prefetch.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

TEST(Switches, PrefixesAndCase) {
    const struct {
        std::vector<std::string> params;
        bool set;
    } cases[] = {
        {{"restart"}, true},   {{"-RESTART"}, true}, {{"--Restart"}, true}, {{"/restart"}, true},
        {{"\\restart"}, true}, {{"---restart"}, false}, {{"restarts"}, false}, {{}, false},
        {{"x", "/ReStArT"}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsParamSet(c.params, "restart"), c.set) << ::testing::PrintToString(c.params);
    const TStartupSwitches s =
        ParseStartupSwitches({"-loadonly", "--fullrefresh", "--data-dir", "/tmp/x"});
    EXPECT_TRUE(s.LoadOnly && s.FullRefresh && s.Batch());
    EXPECT_FALSE(s.Restart || s.FullRecreate);
    EXPECT_EQ(s.DataDir, "/tmp/x");
    EXPECT_EQ(ParseStartupSwitches({"--data-dir=/y"}).DataDir, "/y");
    EXPECT_FALSE(ParseStartupSwitches({}).Batch());
}

TEST(DataFolder, BesideTheProgramUnlessItMayNotBeWritten) {
    test::TempDir dir;
    // A portable copy keeps its data beside itself.
    EXPECT_EQ(DefaultDataDir(dir.Path(), nullptr, "/home/x"), dir.Path());
    // An installed program (a folder it may not write; root may write
    // anywhere, so a missing folder stands in) uses the user's data folder,
    // made on first start.
    const std::string installed = dir.File("missing/bin");
    EXPECT_EQ(DefaultDataDir(installed, nullptr, dir.Path().c_str()),
              dir.Path() + "/.local/share/Tessara");
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() + "/.local/share/Tessara"));
    EXPECT_EQ(DefaultDataDir(installed, dir.File("xdg").c_str(), "/nowhere"),
              dir.File("xdg") + "/Tessara");
    // A relative XDG_DATA_HOME is ignored, as the desktop rules say.
    EXPECT_EQ(DefaultDataDir(installed, "rel", dir.Path().c_str()),
              dir.Path() + "/.local/share/Tessara");
    // The bin folder of an installation, though writable, keeps no data.
    std::filesystem::create_directories(dir.File("prefix/bin"));
    std::filesystem::create_directories(dir.File("prefix/share/tessara"));
    EXPECT_EQ(DefaultDataDir(dir.File("prefix/bin"), dir.File("xdg").c_str(), "/nowhere"),
              dir.File("xdg") + "/Tessara");
}

TEST(SingleInstance, SecondProcessOnTheSameFolderIsRefused) {
    test::TempDir dir, other;
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        test::RecordingHost host;
        Workspace ws(host, dir.Path());
        const char ok = ws.OpenStakesFile() ? '1' : '0';
        (void)!::write(ready[1], &ok, 1);
        char c;
        (void)!::read(release[0], &c, 1);  // hold until the parent lets go
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    char ok = 0;
    ASSERT_EQ(::read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, '1');

    test::RecordingHost host;
    Workspace second(host, dir.Path());
    EXPECT_FALSE(second.OpenStakesFile());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Kind, MessageKind::Error);
    EXPECT_EQ(host.Messages[0].Text, MsgExclusiveAccess(second.DataDir()));
    EXPECT_NE(host.Messages[0].Text.find(dir.Path()), std::string::npos);

    Workspace elsewhere(host, other.Path());
    EXPECT_TRUE(elsewhere.OpenStakesFile());

    ::close(release[1]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(second.OpenStakesFile());
    EXPECT_TRUE(FileExists(dir.File(StakesFileName)));
}

// A process with a name of its own, so that other test processes running at
// the same time never count as the old copy.
pid_t SpawnNamedSleep(const std::string& exe, const char* seconds) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execl(exe.c_str(), BaseName(exe).c_str(), seconds, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

// A copy of sleep under a name of its own in dir, for the process look-ups.
std::string SleepNamed(const test::TempDir& dir, const std::string& name) {
    const std::string exe = dir.File(name);
    std::filesystem::copy_file("/bin/sleep", exe);
    std::filesystem::permissions(exe, std::filesystem::perms::owner_all);
    return exe;
}

// Waits (a second at most) until a process of that name shows.
void WaitUntilListed(const std::string& name) {
    for (int i = 0; i < 200 && FindOtherProcesses(name).empty(); ++i) ::usleep(5000);
}

TEST(RestartWait, WaitsForTheOldCopyToEnd) {
    test::TempDir dir;
    const std::string name = "tsr-" + std::to_string(::getpid());
    const std::string exe = SleepNamed(dir, name);

    const pid_t quick = SpawnNamedSleep(exe, "0.3");
    ASSERT_GT(quick, 0);
    WaitUntilListed(name);
    ASSERT_EQ(FindOtherProcesses(name).size(), 1u);
    int pumps = 0;
    // Letter case does not matter; the ended child (not reaped yet) no longer counts.
    EXPECT_TRUE(WaitForOtherInstances("TSR-" + std::to_string(::getpid()), 300, 20,
                                      [&] { ++pumps; }));
    EXPECT_GT(pumps, 0);
    ::waitpid(quick, nullptr, 0);

    const pid_t slow = SpawnNamedSleep(exe, "30");
    ASSERT_GT(slow, 0);
    WaitUntilListed(name);
    EXPECT_FALSE(WaitForOtherInstances(name, 3, 10, nullptr));
    ::kill(slow, SIGKILL);
    ::waitpid(slow, nullptr, 0);
    EXPECT_TRUE(FindOtherProcesses(name).empty());
}

TEST(RestartWait, InstalledExecutablePath) {
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara"), "/opt/t/tessara");
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara (deleted)"), "/opt/t/tessara");
    // The self-update moved the running file aside and then deleted it.
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara.~1 (deleted)"), "/opt/t/tessara");
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara.~12"), "/opt/t/tessara");
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara.~x"), "/opt/t/tessara.~x");
    EXPECT_EQ(InstalledExecutablePath("/opt/t/tessara.~"), "/opt/t/tessara.~");
    EXPECT_EQ(InstalledExecutablePath("/opt/t/.~1"), "/opt/t/.~1");
}

// The restarted copy waits for the old one also when the update replaced
// the old one's file (moved aside as "name.~1", then deleted).
TEST(RestartWait, FindsTheOldCopyAfterAnUpdateReplacedItsFile) {
    test::TempDir dir;
    const std::string name = "tsu-" + std::to_string(::getpid());
    const std::string exe = SleepNamed(dir, name);
    const pid_t old = SpawnNamedSleep(exe, "30");
    ASSERT_GT(old, 0);
    WaitUntilListed(name);
    ASSERT_EQ(FindOtherProcesses(name).size(), 1u);
    std::filesystem::rename(exe, exe + ".~1");
    std::filesystem::copy_file("/bin/sleep", exe);
    std::filesystem::remove(exe + ".~1");
    EXPECT_EQ(FindOtherProcesses(name), std::vector<int>{static_cast<int>(old)});
    ::kill(old, SIGKILL);
    ::waitpid(old, nullptr, 0);
    EXPECT_TRUE(FindOtherProcesses(name).empty());
}

class RecordingHooks : public StartupHooks {
public:
    void HideSystemsTab() override { Calls.push_back("HideSystemsTab"); }
    void RestoreLayout() override { Calls.push_back("RestoreLayout"); }
    void HidePrefetchColumns() override { Calls.push_back("HidePrefetchColumns"); }
    void StartInitTimer() override { Calls.push_back("StartInitTimer"); }
    void SetVersionCaption(const std::string&) override { Calls.push_back("SetVersionCaption"); }
    void RefreshViews() override { Calls.push_back("RefreshViews"); }
    void ShowFirstRunDialog() override { Calls.push_back("ShowFirstRunDialog"); }
    std::vector<std::string> Calls;
};

TEST(Startup, FreshFolderStartsEmptyWithAStakesFile) {
    test::TempDir dir;
    test::RecordingHost host;
    RecordingHooks hooks;
    Workspace ws(host, dir.Path());
    const TStartupSwitches none;
    ASSERT_TRUE(RunCreationStage(ws, none, hooks));
    EXPECT_EQ(RunInitTick(ws, none, hooks), InitOutcome::Ready);
    EXPECT_EQ(hooks.Calls,
              (std::vector<std::string>{"HideSystemsTab", "RestoreLayout", "HidePrefetchColumns",
                                        "StartInitTimer", "SetVersionCaption", "RefreshViews"}));
    EXPECT_TRUE(host.Messages.empty());
    EXPECT_EQ(ws.TotalCombs(), 5245786u);
    EXPECT_EQ(ws.MatchTable().Counts[6], 1u);
    EXPECT_TRUE(ws.StakesFileOpen());
    EXPECT_TRUE(ws.Archive().Empty());
    EXPECT_EQ(std::filesystem::file_size(dir.File(StakesFileName)), 0u);
    EXPECT_TRUE(ws.View().ReadBool(MainWindowSection, "PrefetchsInit", false));
    EXPECT_TRUE(ws.View().ReadString(MainWindowSection, "PrefetchsEnabled", "") == "0");
    EXPECT_EQ(host.BusyCount(), 0);

    // The second start finds the keys initialised and keeps the columns.
    RunShutdown(ws);
    EXPECT_FALSE(ws.StakesFileOpen());
    RecordingHooks again;
    Workspace ws2(host, dir.Path());
    ASSERT_TRUE(RunCreationStage(ws2, none, again));
    EXPECT_EQ(std::count(again.Calls.begin(), again.Calls.end(), "HidePrefetchColumns"), 0);
}

TEST(Startup, BatchSwitchesEndAfterLoadingAndAskNothing) {
    test::TempDir dir;
    WriteDrawsFile(dir.File(DrawsFileName), test::MakeDraws(1, 20));
    ViewState(dir.File("tessara.frm")).WriteBool(MainWindowSection, "FirstRun", true);
    // Every prefetch file is present, so fullrefresh has nothing to build (a
    // full rebuild over every method takes minutes in a debug build, and
    // fullrecreate is left out for that reason).
    {
        test::RecordingHost host;
        Workspace ws(host, dir.Path());
        ws.RegisterStats();
        std::filesystem::create_directories(dir.File("Prefetchs"));
        for (int i = 0; i < ws.Stats().Count(); ++i)
            if (ws.Stats().HasNorm(i)) test::WriteBytes(PrefetchFileName(ws.StatSource(), i), std::string(12, '\0'));
    }
    const struct {
        std::vector<std::string> params;
        InitOutcome outcome;
        bool firstRun;
    } cases[] = {
        {{}, InitOutcome::Ready, true},
        {{"/LOADONLY"}, InitOutcome::Exit, false},
        {{"-loadonly", "--fullrefresh"}, InitOutcome::Exit, false},
        {{"fullrefresh"}, InitOutcome::Exit, false},
    };
    for (const auto& c : cases) {
        test::RecordingHost host;
        RecordingHooks hooks;
        Workspace ws(host, dir.Path());
        const TStartupSwitches s = ParseStartupSwitches(c.params);
        ASSERT_TRUE(RunCreationStage(ws, s, hooks));
        EXPECT_EQ(RunInitTick(ws, s, hooks), c.outcome);
        EXPECT_EQ(ws.Archive().Count(), 20);
        EXPECT_EQ(std::count(hooks.Calls.begin(), hooks.Calls.end(), "ShowFirstRunDialog"),
                  c.firstRun ? 1 : 0);
        EXPECT_TRUE(host.Questions.empty());
    }
}

TEST(Startup, HeldFolderEndsBeforeLoading) {
    test::TempDir dir;
    WriteDrawsFile(dir.File(DrawsFileName), test::MakeDraws(1, 5));
    InstanceLock other;
    other.Acquire(dir.File(StakesFileName));
    test::RecordingHost host;
    RecordingHooks hooks;
    Workspace ws(host, dir.Path());
    EXPECT_EQ(RunInitTick(ws, {}, hooks), InitOutcome::Exit);
    EXPECT_TRUE(ws.Archive().Empty());
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, MsgExclusiveAccess(ws.DataDir()));
}

}  // namespace
}  // namespace tessara
