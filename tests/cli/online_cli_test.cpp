#include <gtest/gtest.h>

#include <sstream>

#include "archive_server.h"
#include "cli.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

struct Result {
    int code;
    std::string out, err;
};

class OnlineCliTest : public ::testing::Test {
  protected:
    Result Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--data-dir", dir.Path()});
        std::ostringstream out, err;
        const int code = cli::RunCli(args, out, err);
        return {code, out.str(), err.str()};
    }
    int ArchiveCount() {
        TDrawsArray draws;
        ReadDrawsFile(dir.File(DrawsFileName), draws);
        return static_cast<int>(draws.size());
    }
    test::TempDir dir;
    test::ArchiveServer site;
};

TEST_F(OnlineCliTest, DownloadBringsTheArchiveUpToDateAndChecksTheStakes) {
    WriteDrawsFile(dir.File(DrawsFileName), test::MakeDraws(1, 812));
    site.SetPage(1, test::ArchivePage(test::Descending(818, 809)));
    // A stake on a draw that is still to come.
    ASSERT_EQ(Run({"stakes", "add", "1;2;3;4;5;6", "--draw", "815"}).code, 0);

    Result r = Run({"draws", "download"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("DrawsSite"), std::string::npos) << r.err;

    r = Run({"draws", "download", "--site", site.Url()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Добавлено тиражей: 6\n");
    EXPECT_EQ(ArchiveCount(), 818);
    r = Run({"stakes", "list"});
    // Checked against the downloaded result of draw 815.
    EXPECT_NE(r.out.find("\t815\tВручную\t1;2;3;4;5;6\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t24;25;26;27;28;30\t0\t"), std::string::npos) << r.out;

    // The site set once in the configuration serves every later run.
    ASSERT_EQ(Run({"config", "set", "ONLINE", "DrawsSite", site.Url()}).code, 0);
    site.SetPage(1, test::ArchivePage(test::Descending(819, 810)));
    r = Run({"draws", "download"});
    EXPECT_EQ(r.out, "Добавлено тиражей: 1\n");
}

TEST_F(OnlineCliTest, RetriesAsAllowedThenFails) {
    site.FailRequest(1);
    site.FailRequest(2);
    site.FailRequest(3);
    site.SetPage(1, test::ArchivePage(test::Descending(475, 470)));
    Result r = Run({"draws", "download", "--site", site.Url(), "--retry", "1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(site.Requests().size(), 2u);
    EXPECT_NE(r.err.find("Повторить попытку? Да"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Повторить попытку? Нет"), std::string::npos);
    r = Run({"draws", "download", "--site", site.Url(), "--retry", "3"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Добавлено тиражей: 5\n");
    EXPECT_EQ(Run({"draws", "download", "--retry", "-1"}).code, 2);
}

TEST_F(OnlineCliTest, ProxySetAndShow) {
    Result r = Run({"proxy", "set", "--mode", "2", "--server", "10.0.0.1", "--port", "3128",
                    "--user", "u", "--password", "secret"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = Run({"proxy", "show"});
    EXPECT_EQ(r.out,
              "Свойство\tЗначение\n"
              "Режим:\t2 (Ручной выбор proxy-сервера:)\n"
              "Имя или адрес сервера:\t10.0.0.1\n"
              "Порт:\t3128\n"
              "Имя пользователя:\tu\n"
              "Пароль:\t********\n");
    // The automatic search forgets the proxy saved before.
    ASSERT_EQ(Run({"proxy", "set", "--mode", "1"}).code, 0);
    r = Run({"proxy", "show"});
    EXPECT_NE(r.out.find("Имя или адрес сервера:\t\n"), std::string::npos) << r.out;
    EXPECT_EQ(Run({"proxy", "set", "--mode", "2"}).code, 2);  // manual needs a server
    EXPECT_EQ(Run({"proxy", "set", "--mode", "3"}).code, 2);
    EXPECT_EQ(Run({"proxy", "set", "--mode", "2", "--server", "h", "--port", "70000"}).code, 2);
}

}  // namespace
}  // namespace tessara
