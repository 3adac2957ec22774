#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "app/workspace.h"
#include "model/files.h"
#include "online/base64.h"
#include "online/system_files.h"
#include "online/systems_catalogue.h"
#include "server_support.h"
#include "stakes/stake_record.h"

namespace tessara::test {
namespace {

namespace fs = std::filesystem;

TOnlineConfig Identity(const std::string& url, const std::string& name, const std::string& mail) {
    TOnlineConfig c;
    c.ServerUrl = url;
    c.UserName = name;
    c.UserMail = mail;
    c.InstallId = "hw-" + name;
    return c;
}

TCombination Comb(std::initializer_list<int> v) {
    TCombination c{};
    int i = 0;
    for (const int x : v) c.n[i++] = static_cast<uint8_t>(x);
    return c;
}

// A stand-in server answering every systems page with a chosen text.
class CannedServer {
public:
    CannedServer() {
        http_.Post(R"(/scripts/(.*))", [this](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.matches[1].str() == "sys_getlist.php" ? ListAnswer : DataAnswer,
                            "text/xml");
        });
        port_ = http_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { http_.listen_after_bind(); });
    }
    ~CannedServer() {
        http_.stop();
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string ListAnswer = "<result></result>";
    std::string DataAnswer = "<result></result>";

private:
    httplib::Server http_;
    int port_ = 0;
    std::thread thread_;
};

TEST(SystemDialog, NormalisesTheCombinationList) {
    const TNormalisedCombs r = NormaliseSystemCombs(
        {"1,2,3,4,5,6", " 3 4 5 ", "", "02-03-04-05-06-12", "1 2 3 4 5 6 7", "a b c d e f",
         "1 2 3 4 5 5"});
    EXPECT_EQ(r.Lines, (std::vector<std::string>{"01 02 03 04 05 06", "02 03 04 05 06 12"}));
    EXPECT_EQ(r.Nums, 12);
    EXPECT_EQ(NormaliseSystemCombs({"3 4 5"}).Nums, 0);
    // max - min + 1 over the positions used
    EXPECT_EQ(NormaliseSystemCombs({"03 04 05 06 07 09"}).Nums, 7);
}

TEST(SystemDialog, ChecksTheFieldsInOrder) {
    tSystemData ok;
    ok.title = "Т";
    ok.nums = 10;
    ok.olap = 3;
    ok.author = "Анна";
    ok.description = "О";
    ok.clist = "01 02 03 04 05 06";
    struct Case {
        void (*Spoil)(tSystemData&);
        TSystemField Field;
    } cases[] = {
        {[](tSystemData&) {}, TSystemField::None},
        {[](tSystemData& d) { d.title = " "; d.nums = 3; }, TSystemField::Title},
        {[](tSystemData& d) { d.nums = 6; d.olap = 9; }, TSystemField::Nums},
        {[](tSystemData& d) { d.nums = 43; }, TSystemField::Nums},
        {[](tSystemData& d) { d.olap = 6; d.author.clear(); }, TSystemField::Olap},
        {[](tSystemData& d) { d.author.clear(); d.description.clear(); }, TSystemField::Author},
        {[](tSystemData& d) { d.description.clear(); d.clist.clear(); }, TSystemField::Descr},
        {[](tSystemData& d) { d.clist = "\r\n"; }, TSystemField::Combs},
    };
    for (const Case& c : cases) {
        tSystemData d = ok;
        c.Spoil(d);
        std::string message;
        EXPECT_EQ(CheckSystemFields(d, message), c.Field) << message;
        EXPECT_EQ(message.empty(), c.Field == TSystemField::None);
    }
}

TEST(SystemList, RowsPlaceholderAndMalformedAnswers) {
    CannedServer server;
    TempDir dir;
    RecordingHost host;
    Workspace ws(host, dir.Path());
    ASSERT_TRUE(ws.Online().SetSettings(Identity(server.Url(), "Анна", "anna@x.org")));
    SystemsCatalogue& sys = ws.Systems();

    // No result region at all: the one placeholder entry, without numbers.
    server.ListAnswer = "Service Unavailable";
    sys.LoadSystemList();
    ASSERT_EQ(sys.Entries().size(), 1u);
    EXPECT_EQ(sys.Entries()[0].id, -1);
    EXPECT_EQ(SystemCellText(sys.Entries()[0], false, 0), SystemsPlaceholderTitle);
    EXPECT_EQ(SystemCellText(sys.Entries()[0], false, 2), "");
    EXPECT_TRUE(host.Messages.empty());

    const std::string row = "<row><id>15</id><nums>10</nums><olap>3</olap><csize>120</csize><title>" +
                            Base64Encode("Десятка") + "</title><author>Анна</author>"
                            "<cl_mail>ANNA@x.org</cl_mail><descr>" + Base64Encode("О") +
                            "</descr><created>2026-01-02 03:04:05</created><downloads>x</downloads></row>";
    server.ListAnswer = "<result>" + row + "</result>";
    sys.LoadSystemList();
    ASSERT_EQ(sys.Entries().size(), 1u);
    const tSystemInfo& s = sys.Entries()[0];
    EXPECT_EQ(SystemCellText(s, false, 2), "10");
    EXPECT_EQ(s.downloads, 0);
    EXPECT_TRUE(sys.IsMine(s));
    EXPECT_EQ(fs::path(sys.LocalFile(s)).filename(), "6-10-3_0015.dat");

    // 119 lines where 120 were promised: the count message and no file.
    std::string clist;
    for (int i = 0; i < 119; ++i) clist += "01 02 03 04 05 06\r\n";
    server.DataAnswer = "<result><row><clist>" + Base64Encode(clist) + "</clist></row></result>";
    EXPECT_FALSE(sys.DownloadSystem(s));
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text,
              "Ошибка загрузки системы #15!\r\rКоличество скачанных комбинаций ( 119 ) отличается "
              "от ожидаемого значения ( 120 )");
    EXPECT_FALSE(FileExists(sys.LocalFile(s)));

    // A malformed number fails the whole list and leaves the view empty.
    server.ListAnswer = "<result>" + row + "<row><id>16</id><nums>ten</nums></row></result>";
    sys.LoadSystemList();
    EXPECT_TRUE(sys.Entries().empty());
    EXPECT_EQ(host.Messages.back().Text.rfind(MsgSystemListFailed, 0), 0u);
}

TEST(SystemGame, MapsTheListNumbersInOrderOfFirstAppearance) {
    TempDir dir;
    RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.InitGameTables();
    ASSERT_TRUE(ws.LoadStakesFile());
    // The distinct numbers are 5, 12, 3, 40, 7, 19, 28.
    ws.ReserveCombs(2, 0);
    ws.Combs().Append(Comb({5, 12, 3, 40, 7, 19}));
    ws.Combs().Append(Comb({28, 3, 5, 7, 12, 40}));
    EXPECT_EQ(DistinctListNumbers(ws.Combs()), (std::vector<uint8_t>{5, 12, 3, 40, 7, 19, 28}));
    fs::create_directories(dir.File("Systems"));
    WriteBytes(SystemFileName(dir.Path(), 7, 5, 3),
               "01 02 03 04 05 07\r\n1,2,3,4,5,6\r\n02 03 04 05 06 07\r\n");

    struct Case {
        TSystemGameMode Mode;
        std::vector<std::vector<int>> Stakes;
        int Sample;
        const char* Comment;
    } cases[] = {
        {TSystemGameMode::Whole,
         {{3, 5, 7, 12, 28, 40}, {3, 5, 7, 12, 19, 40}, {3, 7, 12, 19, 28, 40}},
         3,
         "Системная игра для 7 чисел [вся система]: 6-07-5_0003"},
        // The third system line is no combination of the list.
        {TSystemGameMode::InList, {{3, 5, 7, 12, 28, 40}, {3, 5, 7, 12, 19, 40}}, 2,
         "Системная игра для 7 чисел [комбинации]: 6-07-5_0003"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(ws.ClearStakes() || !ws.HasStakes());
        TSystemGamePlan plan;
        ASSERT_TRUE(ws.Systems().PrepareGame(c.Mode, plan));
        EXPECT_EQ(plan.Comment, c.Comment);
        ASSERT_TRUE(ws.Systems().PlayGame(plan, 500, 1, plan.Comment));
        std::vector<std::vector<int>> made;
        for (int64_t i = 0; i < ws.StakesCount(); ++i) {
            TStakeRecord r{};
            ASSERT_TRUE(ws.ReadStake(TStakeOrigin::Begin, i, r));
            if (r.Kind == skSeparator) continue;
            EXPECT_EQ(r.Kind, skSystem);
            EXPECT_EQ(r.Draw, 500);
            EXPECT_EQ(r.Sample, c.Sample);
            EXPECT_EQ(StakeComment(r), c.Comment);
            made.emplace_back(r.Numbers.Numbers, r.Numbers.Numbers + r.Numbers.Count);
        }
        EXPECT_EQ(made, c.Stakes);
        host.Answers.push_back(true);  // the clearing question of the next case
    }

    // No system for the count of numbers played.
    ws.Combs().Append(Comb({1, 2, 3, 4, 5, 6}));
    TSystemGamePlan plan;
    EXPECT_FALSE(ws.Systems().PrepareGame(TSystemGameMode::Whole, plan));
    EXPECT_EQ(host.Messages.back().Text.rfind("Система для 11 чисел не найдена", 0), 0u);

    // No line of the system maps onto a combination of the list: said, and
    // the stakes file is left as it was.
    WriteBytes(SystemFileName(dir.Path(), 8, 1, 9), "02 03 04 05 06 07\r\n");
    ws.ClearCombs();
    ws.ReserveCombs(2, 0);
    ws.Combs().Append(Comb({1, 2, 3, 4, 5, 6}));
    ws.Combs().Append(Comb({1, 2, 3, 4, 7, 8}));
    const int64_t before = ws.StakesCount();
    ASSERT_TRUE(ws.Systems().PrepareGame(TSystemGameMode::InList, plan));
    EXPECT_FALSE(ws.Systems().PlayGame(plan, 500, 1, plan.Comment));
    EXPECT_EQ(host.Messages.back().Text, MsgSystemNoneInList);
    EXPECT_EQ(host.Messages.back().Kind, MessageKind::Information);
    EXPECT_EQ(ws.StakesCount(), before);
}

// Anna publishes two systems for ten numbers; Boris downloads one, then the
// other, which takes its place, and cannot delete Anna's.
TEST(SystemsEndToEnd, PublishDownloadReplaceAndDelete) {
    RunningServer server;
    TempDir dirA, dirB;
    RecordingHost hostA, hostB;
    Workspace a(hostA, dirA.Path()), b(hostB, dirB.Path());
    // Anna's folder never talked to the catalogue: no installation id yet.
    TOnlineConfig anna = Identity(server.Url(), "Анна", "anna@x.org");
    anna.InstallId.clear();
    ASSERT_TRUE(a.Online().SetSettings(anna));
    ASSERT_TRUE(b.Online().SetSettings(Identity(server.Url(), "Борис", "boris@x.org")));
    SystemsCatalogue& sa = a.Systems();
    SystemsCatalogue& sb = b.Systems();

    tSystemData d = sa.NewSystemData();
    EXPECT_EQ(d.author, "Анна");
    d.title = "Десятка \"2\"?";
    d.description = "две строки\r\nописания";
    d.url = "https://example.org/a?b=1&c=2";
    d.nums = 10;
    d.olap = 2;
    d.clist = "01 02 03 04 05 06\r\n05 06 07 08 09 10";
    d.csize = 2;
    const int32_t first = sa.AddSystem(d);
    ASSERT_GT(first, 0) << (hostA.Messages.empty() ? "" : hostA.Messages[0].Text);
    EXPECT_FALSE(a.Online().Settings().InstallId.empty());
    EXPECT_EQ(sa.FocusedId(), first);
    d.title = "Десятка 3";
    d.olap = 3;
    d.clist = "1,2,3,4,5,6\r\n04 05 06 07 08 09\r\n05 06 07 08 09 10";
    d.csize = 3;
    const int32_t second = sa.AddSystem(d);
    ASSERT_GT(second, first);

    sb.LoadSystemList();
    ASSERT_EQ(sb.Entries().size(), 2u);
    const tSystemInfo one = *sb.Find(first);
    EXPECT_EQ(one.title, "Десятка \"2\"?");
    EXPECT_EQ(one.description, "две строки\r\nописания");
    EXPECT_EQ(one.url, "https://example.org/a?b=1&c=2");
    EXPECT_FALSE(sb.IsMine(one));
    ASSERT_TRUE(sb.DownloadSystems({first}));
    EXPECT_TRUE(sb.IsDownloaded(one));
    EXPECT_EQ(ReadFileBytes(sb.LocalFile(one)), "01 02 03 04 05 06\r\n05 06 07 08 09 10\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(sb.LocalFile(one).c_str(), &st), 0);

    // A local file whose time differs from the publication is fetched anew.
    const struct timespec old[2] = {{1000, 0}, {1000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, sb.LocalFile(one).c_str(), old, 0), 0);
    sb.LoadSystemList();
    struct stat again {};
    ASSERT_EQ(::stat(sb.LocalFile(one).c_str(), &again), 0);
    EXPECT_EQ(again.st_mtime, st.st_mtime);

    // The other system for ten numbers replaces the first on disk.
    ASSERT_TRUE(sb.DownloadSystems({second}));
    EXPECT_FALSE(sb.IsDownloaded(one));
    EXPECT_TRUE(sb.IsDownloaded(*sb.Find(second)));
    EXPECT_TRUE(hostB.Messages.empty());

    // Properties carry the list; only the author may delete.
    sb.SetFocusedId(second);
    tSystemData fetched;
    ASSERT_TRUE(sb.FocusedSystemData(fetched));
    EXPECT_EQ(fetched.clist, "1,2,3,4,5,6\r\n04 05 06 07 08 09\r\n05 06 07 08 09 10");
    EXPECT_FALSE(sb.CanDelete());
    EXPECT_FALSE(sb.DeleteFocused());
    EXPECT_EQ(hostB.Messages.back().Text, MsgSystemNotOwn);

    sa.LoadSystemList();
    sa.SetFocusedId(second);
    fetched.title = "Десятка три";
    fetched.mail = "anna@x.org";
    fetched.author = "Анна";
    ASSERT_TRUE(sa.UpdateSystem(fetched));
    EXPECT_EQ(sa.Find(second)->title, "Десятка три");
    hostA.Answers.push_back(true);
    ASSERT_TRUE(sa.DeleteFocused());
    EXPECT_EQ(hostA.Questions.back(), "Вы действительно хотите удалить систему \"Десятка три\"?");
    sb.LoadSystemList();
    EXPECT_EQ(sb.Entries().size(), 1u);
    EXPECT_TRUE(hostA.Messages.empty());
}

}  // namespace
}  // namespace tessara::test
