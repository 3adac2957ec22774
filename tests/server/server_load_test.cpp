#include <cstdio>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iostream>
#include <set>

#include "online/base64.h"
#include "online/server_rows.h"
#include "server_support.h"

namespace tessara::test {
namespace {

// Many players at once: 16 clients send 200 mixed requests each to one server.
// Nothing may fail and every published scenario must be listed afterwards.
TEST(ServerLoad, SixteenClientsOfTwoHundredMixedRequests) {
    constexpr int Clients = 16;
    constexpr int Requests = 200;
    RunningServer server;
    std::atomic<int> failures = 0;
    std::atomic<int> transportRetries = 0;
    std::atomic<int64_t> worstMicros = 0;
    std::vector<std::vector<int>> published(Clients);

    auto client = [&](int k) {
        httplib::Client http("127.0.0.1", server.Port());
        http.set_connection_timeout(10);
        http.set_read_timeout(30);
        http.set_tcp_nodelay(true);
        const std::string mail = "player" + std::to_string(k) + "@example.org";
        auto ident = [&](httplib::Params p) {
            p.emplace("appid", ApplicationId);
            p.emplace("appver", "1.0.0.1");
            p.emplace("hwdid", "hw-" + std::to_string(k));
            p.emplace("cl_name", "Игрок " + std::to_string(k));
            p.emplace("cl_mail", mail);
            p.emplace("cl_lcid", "1049");
            return p;
        };
        for (int j = 0; j < Requests; ++j) {
            httplib::Params p;
            std::string path;
            const int own = published[k].empty() ? 1 : published[k][j % published[k].size()];
            switch (j % 10) {
                case 0:
                case 1:
                    path = "scr_putscript.php";
                    p = ident({{"del_mode", "0"},
                               {"scr_id", "-1"},
                               {"scr_publics", "1"},
                               {"scr_title", "Сценарий " + std::to_string(k) + "-" + std::to_string(j)},
                               {"scr_descr", "нагрузка"},
                               {"scr_script", std::string(2000, 'x')}});
                    break;
                case 2:
                case 3:
                case 4:
                    path = "scr_getlist.php";
                    p = ident({{"fltid", std::to_string(j % 8 - 1)}});
                    break;
                case 5:
                case 6:
                    path = "scr_getdata.php";
                    p = {{"scr_id", std::to_string(own)}};
                    break;
                case 7:
                    path = "scr_setrate.php";
                    p = ident({{"scr_id", std::to_string(own)}, {"rate_value", "5"}, {"rate_notes", "ok"}});
                    break;
                case 8:
                    path = "scr_chktitle.php";
                    p = {{"scr_id", "-1"}, {"scr_title", "Свободное " + std::to_string(j)}};
                    break;
                default:
                    path = "scr_getrates.php";
                    p = {{"scr_id", std::to_string(own)}};
            }
            const auto start = std::chrono::steady_clock::now();
            // A transport error of the test's own client (a connection that
            // ends before its answer under load) is tried again; every answer
            // the server gives must still be right.
            auto res = http.Post(("/scripts/" + path).c_str(), p);
            for (int again = 0; again < 2 && !res; ++again) {
                ++transportRetries;
                res = http.Post(("/scripts/" + path).c_str(), p);
            }
            const int64_t us = std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
            int64_t worst = worstMicros.load();
            while (us > worst && !worstMicros.compare_exchange_weak(worst, us)) {
            }
            if (!res || res->status != 200) {
                std::fprintf(stderr, "failed %s: %s %d\n", path.c_str(),
                             res ? "status" : httplib::to_string(res.error()).c_str(),
                             res ? res->status : 0);
                ++failures;
                continue;
            }
            const auto rows = ReadServerRows(res->body);
            bool refused = false;
            for (const auto& r : rows) refused = refused || !RowElement(r, "error").empty();
            if (refused) {
                std::fprintf(stderr, "refused %s: %s\n", path.c_str(), res->body.c_str());
                ++failures;
            }
            if (path == "scr_putscript.php" && !rows.empty() && !refused)
                published[k].push_back(RowIntLenient(rows.back(), "id_scripts"));
        }
    };

    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> threads;
    for (int k = 0; k < Clients; ++k) threads.emplace_back(client, k);
    for (auto& t : threads) t.join();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    EXPECT_EQ(failures.load(), 0);
    std::set<int> expected;
    for (const auto& ids : published) expected.insert(ids.begin(), ids.end());
    EXPECT_EQ(expected.size(), size_t(Clients * Requests / 5));

    httplib::Client http("127.0.0.1", server.Port());
    auto res = http.Post("/scripts/scr_getlist.php", httplib::Params{{"fltid", "0"}});
    ASSERT_TRUE(res);
    std::set<int> listed;
    for (const auto& r : ReadServerRows(res->body)) listed.insert(RowIntStrict(r, "id"));
    EXPECT_EQ(listed, expected);

    const double rps = Clients * Requests / seconds;
    std::cout << "load: " << Clients * Requests << " requests in " << seconds << " s, " << rps
              << " requests/s, worst latency " << worstMicros.load() / 1000.0 << " ms, "
              << transportRetries.load() << " requests sent again\n";
    ::testing::Test::RecordProperty("requests_per_second", std::to_string(rps));
    ::testing::Test::RecordProperty("worst_latency_ms", std::to_string(worstMicros.load() / 1000.0));
}

}  // namespace
}  // namespace tessara::test
