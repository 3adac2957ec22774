// The systems commands against tessara-server on a free port: one data folder
// publishes a system, another lists, downloads, checks and plays it.
#include <gtest/gtest.h>

#include <sstream>

#include "cli.h"
#include "server_support.h"
#include "test_support.h"

namespace tessara {
namespace {

struct Result {
    int code;
    std::string out, err;
};

Result RunCli(const std::string& dir, std::vector<std::string> args) {
    if (!dir.empty()) args.insert(args.begin(), {"--data-dir", dir});
    std::ostringstream out, err;
    const int code = cli::RunCli(args, out, err);
    return {code, out.str(), err.str()};
}

void SetIdentity(const std::string& dir, const std::string& url, const std::string& name,
                 const std::string& mail) {
    for (const auto& [key, value] : {std::pair<std::string, std::string>{"ServerUrl", url},
                                     {"UserName", name},
                                     {"UserMail", mail}}) {
        const Result r = RunCli(dir, {"config", "set", "ONLINE", key, value});
        ASSERT_EQ(r.code, 0) << r.err;
    }
}

TEST(SystemsCli, PublishListDownloadCheckAndPlay) {
    test::RunningServer server;
    test::TempDir anna, boris;
    SetIdentity(anna.Path(), server.Url(), "Анна", "anna@x.org");
    SetIdentity(boris.Path(), server.Url(), "Борис", "boris@x.org");

    // Any separators; the line of three positions is tidied away.
    test::WriteBytes(anna.File("ten.txt"),
                     "1,2,3,4,5,6\n05-06-07-08-09-10\n 1 2 3\n01 02 03 07 08 09\n1 4 7 8 9 10\n");
    Result r = RunCli(anna.Path(), {"systems", "add", anna.File("ten.txt"), "--title", "Десятка",
                                 "--descr", "Четыре строки", "--olap", "2"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "1\n");

    r = RunCli(boris.Path(), {"systems", "list"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\n1\tДесятка\tАнна\t10\t2\t4\t"), std::string::npos) << r.out;
    r = RunCli(boris.Path(), {"systems", "download", "1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, boris.Path() + "/Systems/6-10-2_0001.dat\n");

    // The pair 2, 10 is on no line; any six of the ten keep four on one line.
    r = RunCli("", {"systems", "check", boris.Path() + "/Systems/6-10-2_0001.dat"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "1\t1\t0\t0.0000%\n2\t1\t2\t4.4444%\n3\t2\t49\t40.8333%\n4\t3\t152\t72.3810%\n"
              "5\t3\t45\t17.8571%\n6\t4\t118\t56.1905%\n\n"
              "01\t3\n02\t2\n03\t2\n04\t2\n05\t2\n06\t2\n07\t3\n08\t3\n09\t3\n10\t2\n");

    ASSERT_EQ(RunCli(boris.Path(), {"combs", "generate", "--mode", "2", "--params",
                                 "3;7;11;15;19;23;27;31;35;40", "--out", boris.File("ten.lcv")})
                  .code,
              0);
    r = RunCli(boris.Path(), {"systems", "play", "--in-list", "--list", boris.File("ten.lcv")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Системная игра для 10 чисел [комбинации]: 6-10-2_0001\nСоздано ставок: 4\n");
    r = RunCli(boris.Path(), {"stakes", "list"});
    EXPECT_NE(r.out.find("\tСистема\t3;7;11;15;19;23\t210\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\tСистема\t3;15;27;31;35;40\t210\t"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace tessara
