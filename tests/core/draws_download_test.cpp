#include <gtest/gtest.h>

#include "archive_server.h"
#include "base/ini_file.h"
#include "model/files.h"
#include "online/draws_download.h"
#include "proxy_pages.h"
#include "stakes_test_support.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::ArchivePage;
using test::Descending;

std::vector<int> Numbers(const TDrawArchive& a) {
    std::vector<int> v;
    for (const TDrawRecord& d : a.Draws()) v.push_back(d.DrawNo);
    return v;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> v;
    for (int n = first; n <= last; ++n) v.push_back(n);
    return v;
}

// One download over a local site, the archive in memory and a counter of
// the saves.
class DownloadTest : public ::testing::Test {
protected:
    DownloadTest() : client(host, dir.File("Tessara_6x42.ini")) {
        client.SetTimeouts(2000, 1000);
        SetSite(site.Url());
    }
    void SetSite(const std::string& url, const std::string& proxyList = {}) {
        TOnlineConfig c;
        c.DrawsSite = url;
        c.ProxyListUrl = proxyList;
        ASSERT_TRUE(client.SetSettings(c));
    }
    void SetArchive(int first, int last) {
        archive.Clear();
        for (const TDrawRecord& d : test::MakeDraws(first, last)) archive.Append(d);
    }
    int Run() {
        TDrawsDownload d{client, host, archive, client.Settings().DrawsSite, [this] {
                             saved.push_back(Numbers(archive));
                             return true;
                         }};
        return DownloadDraws(d);
    }

    test::TempDir dir;
    test::RecordingHost host;
    test::ArchiveServer site;
    OnlineClient client;
    TDrawArchive archive;
    std::vector<std::vector<int>> saved;
};

TEST_F(DownloadTest, TakesTheNewDrawsOfOnePageOldestFirstAndSavesOnce) {
    SetArchive(1, 812);
    site.SetPage(1, ArchivePage(Descending(818, 809)));
    EXPECT_EQ(Run(), 6);
    EXPECT_EQ(Numbers(archive), Range(1, 818));
    EXPECT_EQ(saved.size(), 1u);
    EXPECT_EQ(site.Requests(), std::vector<int>{1});
    // The draw as the page shows it.
    const TDrawRecord& d = archive[archive.High()];
    const int a = 818 % 36 + 1;
    EXPECT_EQ(std::vector<int>(d.Numbers, d.Numbers + 6),
              (std::vector<int>{a, a + 1, a + 2, a + 3, a + 4, a + 6}));
    EXPECT_EQ(d.ExtraBall, 8);
    EXPECT_EQ(DrawDateText(d), "7 января 2026, 2");  // cut to 16 characters
    EXPECT_TRUE(host.Questions.empty());
}

TEST_F(DownloadTest, PagingPassesAndStartingPoints) {
    struct Case {
        const char* name;
        int archiveLast;  // 0: empty archive
        std::vector<std::vector<int>> pages;
        int added;
        std::vector<int> requests;
        size_t saves;
    };
    const Case cases[] = {
        // Twelve over two pages: saved, and a second pass finds nothing.
        {"twelve", 800, {Descending(812, 807), Descending(806, 799)}, 12, {1, 2, 1}, 1},
        // An empty archive starts from 471, nothing older.
        {"empty", 0, {Descending(476, 465)}, 6, {1}, 1},
        // The same draw listed twice is taken once.
        {"twice", 812, {{815, 814, 814, 813, 812}}, 3, {1}, 1},
        // Nothing new: no save.
        {"current", 812, {Descending(812, 803)}, 0, {1}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ArchiveServer local;
        SetSite(local.Url());
        for (size_t p = 0; p < c.pages.size(); ++p)
            local.SetPage(static_cast<int>(p + 1), ArchivePage(c.pages[p]));
        if (c.archiveLast > 0)
            SetArchive(c.archiveLast - 20, c.archiveLast);
        else
            archive.Clear();
        saved.clear();
        const int before = archive.Count();
        EXPECT_EQ(Run(), c.added);
        EXPECT_EQ(archive.Count(), before + c.added);
        EXPECT_EQ(local.Requests(), c.requests);
        EXPECT_EQ(saved.size(), c.saves);
        if (!archive.Empty() && c.added > 0) {
            EXPECT_EQ(archive[archive.High()].DrawNo, c.pages[0][0]);
        }
    }
    // The empty archive begins exactly at the first downloaded draw.
    test::ArchiveServer local;
    SetSite(local.Url());
    local.SetPage(1, ArchivePage(Descending(473, 460)));
    archive.Clear();
    EXPECT_EQ(Run(), 3);
    EXPECT_EQ(Numbers(archive), Range(471, 473));
}

TEST_F(DownloadTest, GzipEncodedPagesAreRead) {
    SetArchive(1, 812);
    site.SetGzip(true);
    site.SetPage(1, ArchivePage(Descending(814, 810)));
    EXPECT_EQ(Run(), 2);
}

TEST_F(DownloadTest, AFailedPassKeepsEarlierPassesAndDropsItsOwnDraws) {
    // The first page collects, the second fails: nothing of the pass stays.
    SetArchive(1, 800);
    site.SetPage(1, ArchivePage(Descending(812, 807)));
    site.SetPage(2, ArchivePage(Descending(806, 799)));
    site.FailRequest(2);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(archive.Count(), 800);
    EXPECT_TRUE(saved.empty());
    ASSERT_EQ(host.Questions.size(), 1u);
    EXPECT_NE(host.Questions[0].find("Ошибка загрузки архива тиражей с сайта: \""),
              std::string::npos);
    EXPECT_NE(host.Questions[0].find("500"), std::string::npos) << host.Questions[0];

    // A first pass saved, the second fails: the first one's draws stay.
    saved.clear();
    host.Questions.clear();
    test::ArchiveServer local;
    SetSite(local.Url());
    local.SetPage(1, ArchivePage(Descending(822, 813)));
    local.SetPage(2, ArchivePage(Descending(812, 801)));
    local.FailRequest(2);  // pass 1: page 1 ok (10 draws), pass 2: page 1 fails
    SetArchive(1, 812);
    EXPECT_EQ(Run(), 10);
    EXPECT_EQ(Numbers(archive), Range(1, 822));
    EXPECT_EQ(saved.size(), 1u);
    EXPECT_EQ(host.Questions.size(), 1u);  // answered No
}

TEST_F(DownloadTest, BrokenPagesAbortThePassWithTheirMessage) {
    struct Case {
        std::string page;
        std::string inQuestion;
    };
    const std::string noEnd = ArchivePage(Descending(815, 810), false);
    const Case cases[] = {
        {noEnd, "Не удалось найти пару идентификаторов \"<div class=\"ml-content\">\" - "
                "\"<ul class=\"s-paginator text-center\"\" в тексте\r\r[" + noEnd + "]!"},
        {"<div class=\"ml-content\"><div class=\"row mb20\">unfinished"
         "<ul class=\"s-paginator text-center\"",
         "\"</strong></div>\""},
    };
    for (const Case& c : cases) {
        SetArchive(1, 812);
        site.SetPage(1, c.page);
        host.Questions.clear();
        host.Answers = {true};  // one retry, then No
        saved.clear();
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(archive.Count(), 812);
        EXPECT_TRUE(saved.empty());
        ASSERT_EQ(host.Questions.size(), 2u);
        EXPECT_NE(host.Questions[0].find(c.inQuestion), std::string::npos) << host.Questions[0];
    }
}

TEST_F(DownloadTest, AServerThatNeverAnswersEndsWithTheTimeout) {
    test::SilentPort silent;
    SetSite("http://127.0.0.1:" + std::to_string(silent.Port()));
    SetArchive(1, 10);
    EXPECT_EQ(Run(), 0);
    ASSERT_EQ(host.Questions.size(), 1u);
    EXPECT_NE(host.Questions[0].find("1 seconds"), std::string::npos) << host.Questions[0];
}

TEST_F(DownloadTest, DeadFoundProxiesAreSkippedSilentlyThenTheUserIsAsked) {
    test::ForwardProxy live("", "");
    const std::string dead1 = "127.0.0.1:" + std::to_string(test::DeadPort());
    const std::string dead2 = "127.0.0.1:" + std::to_string(test::DeadPort());
    // The list service offers the live proxy once asked again.
    test::LocalServer list;
    list.Http().Get("/", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(test::ProxyPage({{"127.0.0.1", live.Port()}}), "text/html");
    });
    list.Start();
    SetSite(site.Url(), list.Url() + "/");

    struct Case {
        std::vector<std::string> found;
        std::deque<bool> answers;
        size_t questions;
        int added;
    };
    const Case cases[] = {
        // The first dies, the second carries the download: no question.
        {{dead1, "127.0.0.1:" + std::to_string(live.Port())}, {}, 0, 2},
        // Three dead: two silent retries, the question, Yes searches anew.
        {{dead1, dead2, dead1}, {true}, 1, 2},
        // ... and No gives up.
        {{dead1, dead2, dead1}, {false}, 1, 0},
    };
    for (const Case& c : cases) {
        TProxy p;
        p.Mode = 1;
        p.Found = c.found;
        client.SetProxy(p);
        SetArchive(1, 812);
        site.SetPage(1, ArchivePage(Descending(814, 810)));
        host.Questions.clear();
        host.Answers = c.answers;
        EXPECT_EQ(Run(), c.added);
        EXPECT_EQ(host.Questions.size(), c.questions);
        EXPECT_TRUE(client.Proxy().Found.empty());  // forgotten after every download
        // The proxy that worked is remembered for the next start.
        if (c.added > 0) {
            const IniFile ini = IniFile::Load(dir.File("Tessara_6x42.ini"));
            EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyMode", -1), 1);
            EXPECT_EQ(ini.ReadString("PROXY", "ProxyServer", ""), "127.0.0.1");
            EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyPort", 0), live.Port());
        }
    }
    EXPECT_GE(live.Forwarded(), 2);
}

TEST(DrawsDownloadCommand, ChecksTheStakesAndNeedsASite) {
    test::StakesWorkspace sw;
    Workspace& ws = *sw.ws;
    EXPECT_EQ(ws.DrawsDownload(), -1);
    ASSERT_EQ(sw.host.Messages.size(), 1u);
    EXPECT_EQ(sw.host.Messages[0].Text, MsgNoDrawsSite);

    for (const TDrawRecord& d : test::MakeDraws(1, 5)) ws.Archive().Append(d);
    test::ArchiveServer site;
    site.SetPage(1, ArchivePage(Descending(7, 1)));
    TOnlineConfig c;
    c.DrawsSite = site.Url() + "/";
    ASSERT_TRUE(ws.Online().SetSettings(c));
    sw.Append(test::Stake(7, {1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(ws.DrawsDownload(), 2);
    EXPECT_EQ(ws.Archive().Count(), 7);
    EXPECT_EQ(sw.At(0).Checked, 1);
    TDrawsArray onDisk;
    ReadDrawsFile(ws.PathOf(DrawsFileName), onDisk);
    EXPECT_EQ(onDisk.size(), 7u);
}

}  // namespace
}  // namespace tessara
