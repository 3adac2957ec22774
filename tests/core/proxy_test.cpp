#include <gtest/gtest.h>

#include <mutex>

#include "base/config.h"
#include "base/ini_file.h"
#include "local_server.h"
#include "model/error.h"
#include "online/online_client.h"
#include "online/proxy_list.h"
#include "proxy_pages.h"

namespace tessara {
namespace {

TProxyFilter SearchFilter() {
    TProxyFilter f;
    f.Protocols[TProxyFilter::Http] = f.Protocols[TProxyFilter::Https] = true;
    f.MinUptime = 75;
    f.MaxResponseMs = 10;
    f.Wanted = 30;
    return f;
}

TEST(ProxyList, QueryOfAPage) {
    EXPECT_EQ(ProxyPageQuery(3, SearchFilter()),
              "protocol=http&protocol=https&min_uptime=75&max_response_time=0&offset=30");
    TProxyFilter f;
    EXPECT_EQ(ProxyPageQuery(1, f), "");
    f.Protocols[TProxyFilter::Socks5] = true;
    f.Anonymity[0] = f.Anonymity[3] = true;
    f.Countries = {"RU", "DE"};
    f.MaxResponseMs = 2500;
    EXPECT_EQ(ProxyPageQuery(2, f),
              "protocol=socks5&anonlvl=1&anonlvl=4&country=RU&country=DE&max_response_time=2&"
              "offset=15");
}

TEST(ProxyList, RowsDecodeToHostAndPort) {
    std::vector<std::string> list;
    TProxyFilter f;
    const std::string page = test::ProxyPage({{"10.20.30.40", 8080}, {"proxy.example", 3128}});
    EXPECT_EQ(ParseProxyPage(page, f, list), 2);
    EXPECT_EQ(list, (std::vector<std::string>{"10.20.30.40:8080", "proxy.example:3128"}));

    // A wanted port filters the entries, every row still counts.
    list.clear();
    f.Port = 3128;
    EXPECT_EQ(ParseProxyPage(page, f, list), 2);
    EXPECT_EQ(list, (std::vector<std::string>{"proxy.example:3128"}));

    // No list start: no rows; no list end or a broken port: an error.
    EXPECT_EQ(ParseProxyPage("<html>nothing</html>", f, list), 0);
    EXPECT_THROW(ParseProxyPage("<tbody><tr>", f, list), Error);
    std::string broken = page;
    broken.replace(broken.find("pp = base+ "), 14, "pp = base+ x7");
    EXPECT_THROW(ParseProxyPage(broken, f, list), Error);
}

// A proxy-list service whose pages each hold a given number of rows.
class ProxyListServer {
public:
    explicit ProxyListServer(std::vector<int> rowsPerPage) : rows_(std::move(rowsPerPage)) {
        server_.Http().Get("/", [this](const httplib::Request& req, httplib::Response& res) {
            std::lock_guard lock(mutex_);
            queries_.push_back(req.has_param("offset") ? req.get_param_value("offset") : "");
            const size_t page =
                req.has_param("offset") ? std::stoul(req.get_param_value("offset")) / 15 : 0;
            std::vector<std::pair<std::string, int>> proxies;
            for (int i = 0; page < rows_.size() && i < rows_[page]; ++i)
                proxies.push_back({"10.0.0." + std::to_string(i), 8000 + static_cast<int>(page)});
            res.set_content(test::ProxyPage(proxies), "text/html");
        });
        server_.Start();
    }
    std::string Url() const { return server_.Url() + "/"; }
    std::vector<std::string> Offsets() {
        std::lock_guard lock(mutex_);
        return queries_;
    }

private:
    test::LocalServer server_;
    std::vector<int> rows_;
    std::mutex mutex_;
    std::vector<std::string> queries_;
};

TEST(ProxyList, SearchPagesWhileFullAndShortOfWanted) {
    struct Case {
        std::vector<int> rows;
        size_t listed;
        std::vector<std::string> offsets;
    };
    const Case cases[] = {
        {{15, 14, 15}, 29, {"", "15"}},       // a page of 14 rows ends it
        {{15, 15, 15, 15}, 30, {"", "15"}},   // 30 wanted and listed
        {{0}, 0, {""}},
    };
    for (const Case& c : cases) {
        ProxyListServer service(c.rows);
        std::vector<std::string> list = {"stale:1"};
        FindProxies(service.Url(), list, SearchFilter());
        EXPECT_EQ(list.size(), c.listed);
        EXPECT_EQ(service.Offsets(), c.offsets);
    }
}

TEST(ProxySettings, ServerWithoutModeMeansManual) {
    struct Case {
        const char* ini;
        int mode;
    };
    const Case cases[] = {
        {"[PROXY]\r\nProxyServer=10.0.0.1\r\n", 2},
        {"[PROXY]\r\nProxyPort=8080\r\n", 0},
        {"[PROXY]\r\nProxyServer=10.0.0.1\r\nProxyMode=1\r\n", 1},
    };
    for (const Case& c : cases) {
        TProxy p;
        ReadProxySection(IniFile::Parse(c.ini), p);
        EXPECT_EQ(p.Mode, c.mode) << c.ini;
        EXPECT_TRUE(p.Saved);
    }
}

TEST(ProxySettings, DialogResultByChoice) {
    TProxy saved;
    saved.Mode = 1;
    saved.Server = "found.proxy";
    saved.Port = 3128;
    struct Case {
        int choice;
        uint8_t mode;
        const char* server;
        int32_t port;
    };
    const Case cases[] = {
        {0, 0, "typed", 8080},  // no proxy: the fields stay as typed
        {1, 1, "", 0},          // automatic: whatever was saved is cleared
        {2, 2, "typed", 8080},
    };
    for (const Case& c : cases) {
        const TProxy p = ProxyDialogResult(saved, c.choice, "typed", 8080, "u", "w");
        EXPECT_EQ(p.Mode, c.mode);
        EXPECT_EQ(p.Server, c.server);
        EXPECT_EQ(p.Port, c.port);
        EXPECT_FALSE(p.Saved);
        EXPECT_EQ(p.Username.empty(), c.choice == 1);
    }
}

}  // namespace
}  // namespace tessara
