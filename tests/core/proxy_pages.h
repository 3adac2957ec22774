#pragma once

// Pages of the public proxy-list service in the markup the search reads:
// the host split in two halves (the first reversed, the second Base64 in
// "\x" escapes) and the port as an offset from the page's port base.

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "online/base64.h"

namespace tessara::test {

inline std::string HexEscaped(const std::string& s) {
    std::string out;
    char buf[8];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "\\x%02x", c);
        out += buf;
    }
    return out;
}

inline std::string ProxyRow(const std::string& host, int port, int base) {
    const std::string a(host.begin(), host.begin() + static_cast<long>(host.size() / 2));
    const std::string b = host.substr(host.size() / 2);
    const std::string reversedA(a.rbegin(), a.rend());
    return "<tr><td>" + std::to_string(port) + "</td><td><script>var h = '" + reversedA +
           "'.split('').reverse().join(''); var t = atob('" + HexEscaped(Base64Encode(b)) +
           "'); pp = base+ " + std::to_string(port - base) + " (h);</script></td></tr>\n";
}

inline std::string ProxyPage(const std::vector<std::pair<std::string, int>>& proxies,
                             int base = 1000) {
    std::string page = "<html><body><div style=\"display:none\" data-base=\"" +
                       std::to_string(base) + "\"></div><table><thead><tr><th>IP</th></tr>"
                       "</thead><tbody>\n";
    for (const auto& [host, port] : proxies) page += ProxyRow(host, port, base);
    page += "</tbody></table></body></html>";
    return page;
}

}  // namespace tessara::test
