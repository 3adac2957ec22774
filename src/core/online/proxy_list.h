#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// What the automatic proxy search asks of the public proxy-list service.
struct TProxyFilter {
    enum Protocol { Http, Https, Socks4, Socks5 };
    bool Protocols[4] = {false, false, false, false};
    bool Anonymity[4] = {false, false, false, false};  // levels 1..4
    std::vector<std::string> Countries;
    int32_t MinUptime = 0;
    int32_t MaxResponseMs = 0;
    int32_t Port = 0;  // 0: any
    int32_t Wanted = 0;
};

// Rows a full page of the service holds: a shorter page is the last one.
inline constexpr int ProxyPageRows = 15;

// The query of one page of the service.
std::string ProxyPageQuery(int page, const TProxyFilter& filter);
// Reads the entries ("host:port") of a page into list; the number of rows
// on the page. Throws Error for a page without its list end or a row with a
// malformed port.
int ParseProxyPage(std::string_view body, const TProxyFilter& filter,
                   std::vector<std::string>& list);

// One page from the service at rootUrl (following redirects).
int FetchProxyPage(const std::string& rootUrl, int page, const TProxyFilter& filter,
                   std::vector<std::string>& list);
// Pages until enough proxies are listed or a page is not full.
void FindProxies(const std::string& rootUrl, std::vector<std::string>& list,
                 const TProxyFilter& filter);

}  // namespace tessara
