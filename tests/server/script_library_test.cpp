#include <gtest/gtest.h>

#include <cstdlib>
#include <mutex>

#include "app/versions.h"
#include "app/workspace.h"
#include "model/error.h"
#include "online/base64.h"
#include "online/script_library.h"
#include "online/server_rows.h"
#include "server_support.h"

namespace tessara::test {
namespace {

TOnlineConfig Identity(const std::string& url, const std::string& name, const std::string& mail,
                       const std::string& install) {
    TOnlineConfig c;
    c.ServerUrl = url;
    c.UserName = name;
    c.UserMail = mail;
    c.InstallId = install;
    return c;
}

std::string ListRow(const std::string& extra) {
    return "<row><id>5</id><key_cl_name>Анна</key_cl_name><title>" + Base64Encode("Заголовок") +
           "</title><descr>" + Base64Encode("Описание") + "</descr>" + extra + "</row>";
}

TEST(ScriptInfo, ReadsEveryFieldRule) {
    const std::string other = "{00000000-0000-0000-0000-000000000000}";
    struct Case {
        std::string Extra;
        bool Mine, Applicable, Editable;
    } cases[] = {
        // another application's entry: shown, but neither downloadable nor editable
        {"<key_cl_mail>anna@x.org</key_cl_mail><uniapps>0</uniapps><app_guid>" + other + "</app_guid>",
         true, false, false},
        {"<key_cl_mail>ANNA@X.org</key_cl_mail><app_guid>" + std::string(ApplicationId) + "</app_guid>",
         true, true, true},
        {"<key_cl_mail>boris@x.org</key_cl_mail><uniapps>1</uniapps><app_guid>" + other + "</app_guid>",
         false, true, false},
    };
    for (const Case& c : cases) {
        const tScriptInfo s = ParseScriptInfo(ListRow(c.Extra), "anna@x.org", 1049);
        EXPECT_EQ(s.mine, c.Mine) << c.Extra;
        EXPECT_EQ(s.applicable, c.Applicable) << c.Extra;
        EXPECT_EQ(s.editable, c.Editable) << c.Extra;
        EXPECT_EQ(ScriptCellText(s, 0), c.Mine ? "Мой" : "Общий");
    }

    const tScriptInfo s = ParseScriptInfo(
        ListRow("<rating_cnt>много</rating_cnt><rating_you>-1</rating_you><rating_avg>4,5</rating_avg>"
                "<downloads>7</downloads><created></created><key_cl_lcid>1033</key_cl_lcid>"),
        "", 1049);
    EXPECT_EQ(s.ratingCount, 0);
    EXPECT_DOUBLE_EQ(s.ratingAvg, 4.5);
    EXPECT_EQ(s.created, 0);
    EXPECT_EQ(s.lcid, 1033);
    EXPECT_EQ(ScriptCellText(s, 9), "Скрытый");
    EXPECT_EQ(ScriptCellText(s, 6), "");
    EXPECT_EQ(s.title, "Заголовок");
    EXPECT_EQ(ParseScriptInfo(ListRow(""), "", 1049).lcid, 1049);  // the request's language

    EXPECT_DOUBLE_EQ(ParseLenientAverage(" 3.25 балла"), 3.25);
    EXPECT_DOUBLE_EQ(ParseLenientAverage("нет"), 0);
    EXPECT_THROW(ParseScriptInfo("<id>x5</id>", "", 1049), Error);
    EXPECT_THROW(ParseScriptInfo("<id>5</id><title>@@@</title>", "", 1049), Error);
}

TEST(ScriptInfo, DatesAreUtcShownInLocalTime) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "XYZ-3", 1);  // three hours east of UTC
    tzset();
    EXPECT_EQ(FormatScriptDate(ParseServerDate("2026-01-31 22:04:05")), "2026-02-01 01:04:05");
    EXPECT_EQ(ParseServerDate("2026-13-01 00:00:00"), 0);
    EXPECT_EQ(ParseServerDate(""), 0);
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

// A stand-in server answering every page with a chosen text and keeping the
// fields it received.
class CannedServer {
public:
    CannedServer() {
        http_.Post(R"(/scripts/(.*))", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            Requests.push_back({req.matches[1].str(), {req.params.begin(), req.params.end()}});
            const bool list = req.matches[1].str() == "scr_getlist.php" && !ListAnswer.empty();
            res.set_content(list ? ListAnswer : Answer, "text/xml");
        });
        port_ = http_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { http_.listen_after_bind(); });
    }
    ~CannedServer() {
        http_.stop();
        thread_.join();
    }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::string Field(size_t request, const std::string& name) {
        std::lock_guard lock(mutex_);
        const auto& f = Requests.at(request).second;
        const auto it = f.find(name);
        return it == f.end() ? "<absent>" : it->second;
    }

    std::string Answer = "<result></result>";
    std::string ListAnswer;  // the list page's own answer when set
    std::vector<std::pair<std::string, std::multimap<std::string, std::string>>> Requests;

private:
    httplib::Server http_;
    int port_ = 0;
    std::thread thread_;
    std::mutex mutex_;
};

class LibraryAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ws_.Online().SetSettings(Identity(server_.Url(), "Анна", "anna@x.org", "hw-a")));
    }
    std::string LastError() const {
        return host_.Messages.empty() ? std::string() : host_.Messages.back().Text;
    }
    CannedServer server_;
    TempDir dir_;
    RecordingHost host_;
    Workspace ws_{host_, dir_.Path()};
};

TEST_F(LibraryAnswers, DamagedMissingAndRefusedAnswers) {
    ScriptLibrary& lib = ws_.Library();
    std::vector<tScriptInfo> list;
    server_.Answer = "<result>" + ListRow("") + "<row><id>6</id><title>!!!</title></row></result>";
    EXPECT_FALSE(lib.GetScriptList(1, 1049, list));
    EXPECT_TRUE(list.empty());  // a failed list leaves the view empty
    EXPECT_EQ(LastError().rfind(MsgListFailed, 0), 0u);

    server_.Answer = "<html>Service unavailable</html>";
    host_.Messages.clear();
    EXPECT_TRUE(lib.GetScriptList(1, 1049, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(host_.Messages.empty());

    server_.Answer = ServerErrorAnswer("Доступ запрещён");
    std::vector<std::string> lines = {"keep"};
    EXPECT_FALSE(lib.GetScriptData(5, lines));
    EXPECT_EQ(LastError(), std::string(MsgDataFailed) + "Доступ запрещён");
    EXPECT_EQ(lines, std::vector<std::string>{"keep"});

    server_.Answer = "<result><row><res_code>-2</res_code></row></result>";
    EXPECT_FALSE(lib.SetRate(5, 3, 1049, ""));
    EXPECT_EQ(LastError(), std::string(MsgRateFailed) + "Код возврата: -2");

    server_.Answer = "<result><row><id_scripts>abc</id_scripts></row></result>";
    EXPECT_EQ(lib.PutScript(lib.NewScriptData(), "x"), -1);
    EXPECT_EQ(LastError().rfind(MsgPutFailed, 0), 0u);
}

TEST_F(LibraryAnswers, SendsTheProtocolFields) {
    ScriptLibrary& lib = ws_.Library();
    ASSERT_TRUE(ws_.ReplaceScenario({"строка 1", "строка 2"}));
    server_.ListAnswer = "<result>" +
                         ListRow("<key_cl_mail>anna@x.org</key_cl_mail><app_guid>" +
                                 std::string(ApplicationId) + "</app_guid>") +
                         "</result>";
    lib.Refresh();
    ASSERT_EQ(lib.Entries().size(), 1u);
    EXPECT_EQ(server_.Field(0, "fltid"), "1");  // the default filter entry
    EXPECT_EQ(server_.Field(0, "cl_mail"), "anna@x.org");
    EXPECT_EQ(server_.Field(0, "hwdid"), "hw-a");
    EXPECT_EQ(server_.Field(0, "appid"), ApplicationId);
    EXPECT_EQ(server_.Field(0, "appver"), ProgramVersion());
    lib.SetFocusedId(5);

    server_.Answer = "<result><row><res_code>0</res_code></row></result>";
    ASSERT_TRUE(lib.RateFocused(4, "ок"));
    ASSERT_TRUE(lib.RateFocused(0, ""));
    ASSERT_TRUE(lib.RateFocused(-1, ""));
    std::vector<std::string> values;
    for (size_t i = 0; i < server_.Requests.size(); ++i)
        if (server_.Requests[i].first == "scr_setrate.php") values.push_back(server_.Field(i, "rate_value"));
    EXPECT_EQ(values, (std::vector<std::string>{"4", "0", "-1"}));

    server_.Answer = "<result><row><id_scripts>9</id_scripts></row></result>";
    tScriptData d = lib.NewScriptData();
    d.title = "Мой \"лучший\" сценарий?\r\n'второй'";
    ASSERT_TRUE(lib.Publish(d));
    const size_t put = server_.Requests.size() - 1;
    EXPECT_EQ(server_.Requests[put].first, "scr_putscript.php");
    EXPECT_EQ(server_.Field(put, "scr_title"), "Мой \\\"лучший\\\" сценарий\\?\\r\\n\\'второй\\'");
    EXPECT_EQ(server_.Field(put, "scr_script"), "строка 1\\r\\nстрока 2");
    EXPECT_EQ(server_.Field(put, "scr_id"), "-1");
    EXPECT_EQ(server_.Field(put, "del_mode"), "0");
    EXPECT_EQ(lib.FocusedId(), 9);
    EXPECT_TRUE(lib.CanReplace());
}

TEST(LibraryIdentity, InstallIdIsMadeAtTheFirstRequestAndKept) {
    CannedServer server;
    TempDir dir;
    RecordingHost host;
    std::string first;
    {
        Workspace ws(host, dir.Path());
        ASSERT_TRUE(ws.Online().SetSettings(Identity(server.Url(), "Анна", "anna@x.org", "")));
        ws.Library().Refresh();
        first = server.Field(0, "hwdid");
        EXPECT_EQ(first.size(), 32u);
        EXPECT_EQ(ws.Online().Settings().InstallId, first);
    }
    Workspace again(host, dir.Path());
    again.LoadProxySettings();
    again.Library().Refresh();
    EXPECT_EQ(server.Field(1, "hwdid"), first);
}

TEST(LibraryWithoutServer, SaysSoOnceAndStartUpStaysQuiet) {
    TempDir dir;
    RecordingHost host;
    Workspace ws(host, dir.Path());
    ws.Library().Refresh(true);
    EXPECT_TRUE(host.Messages.empty());
    ws.Library().Refresh();
    ASSERT_EQ(host.Messages.size(), 1u);
    EXPECT_EQ(host.Messages[0].Text, MsgNoServerUrl);
    EXPECT_FALSE(ws.Library().Publish(ws.Library().NewScriptData()));
    EXPECT_EQ(host.Messages.size(), 2u);
}

// Two players with their own data folders against one tessara-server.
TEST(LibraryEndToEnd, TwoPlayersShareRateHideAndDelete) {
    RunningServer server;
    TempDir dirA, dirB;
    RecordingHost hostA, hostB;
    Workspace a(hostA, dirA.Path()), b(hostB, dirB.Path());
    ASSERT_TRUE(a.Online().SetSettings(Identity(server.Url(), "Анна", "anna@x.org", "hw-a")));
    ASSERT_TRUE(b.Online().SetSettings(Identity(server.Url(), "Борис", "boris@x.org", "hw-b")));
    const std::vector<std::string> lines = {"первая строка", "", "третья \"строка\"?"};
    ASSERT_TRUE(a.ReplaceScenario(lines));

    ScriptLibrary& la = a.Library();
    ScriptLibrary& lb = b.Library();
    tScriptData d = la.NewScriptData();
    d.title = "Сценарий Анны";
    d.description = "для всех";
    EXPECT_EQ(la.CheckPublicFields(d.id, d.title, d.authorName), TScrPublicField::None);
    ASSERT_TRUE(la.Publish(d));
    const int32_t id = la.FocusedId();

    // The title is taken for Boris, and free for Anna's own scenario.
    EXPECT_EQ(lb.CheckPublicFields(-1, " сценарий анны ", "Борис"), TScrPublicField::Title);
    EXPECT_EQ(hostB.Messages.back().Text, MsgTitleTaken);
    EXPECT_EQ(la.CheckPublicFields(id, "Сценарий Анны", "Анна"), TScrPublicField::None);
    EXPECT_EQ(la.CheckPublicFields(id, "Сценарий Анны", " "), TScrPublicField::Author);

    lb.Refresh();
    ASSERT_TRUE(lb.FocusEntry(id));
    EXPECT_EQ(ScriptCellText(*lb.Focused(), 0), "Общий");
    EXPECT_FALSE(lb.CanDelete());
    ASSERT_TRUE(lb.DownloadFocused());
    EXPECT_EQ(b.Scenario(), lines);

    ASSERT_TRUE(lb.RateFocused(4, "хорошо"));
    ASSERT_NE(lb.Focused(), nullptr);
    EXPECT_EQ(ScriptCellText(*lb.Focused(), 9), "4");
    EXPECT_EQ(ScriptCellText(*lb.Focused(), 10), "1");  // the download counted
    std::vector<TScriptRate> rates;
    ASSERT_TRUE(lb.GetScriptRates(id, rates));
    ASSERT_EQ(rates.size(), 1u);
    EXPECT_EQ(rates[0].Notes, "хорошо");
    ASSERT_TRUE(lb.RateFocused(0, ""));
    EXPECT_TRUE(lb.Focused() && lb.Focused()->myRating == 0);
    ASSERT_TRUE(lb.RateFocused(-1, ""));
    EXPECT_EQ(lb.Focused(), nullptr);  // hidden from the default filter
    lb.SetFilterIndex(1);              // "Все, включая скрытые"
    lb.Refresh();
    ASSERT_TRUE(lb.FocusEntry(id));
    EXPECT_EQ(ScriptCellText(*lb.Focused(), 9), "Скрытый");

    // Boris cannot replace it even by sending Anna's address.
    TOnlineConfig forged = b.Online().Settings();
    forged.UserMail = "ANNA@x.org";
    ASSERT_TRUE(b.Online().SetSettings(forged));
    lb.Refresh();
    ASSERT_TRUE(lb.FocusEntry(id));
    EXPECT_TRUE(lb.CanDelete());  // looks like his own
    hostB.Answers.push_back(true);
    EXPECT_FALSE(lb.DeleteFocused());
    EXPECT_EQ(hostB.Messages.back().Text.rfind(MsgDeleteFailed, 0), 0u);

    hostA.Answers.push_back(true);
    ASSERT_TRUE(la.DeleteFocused());
    la.Refresh();
    EXPECT_TRUE(la.Entries().empty());
}

}  // namespace
}  // namespace tessara::test
