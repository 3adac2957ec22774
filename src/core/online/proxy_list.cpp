#include "online/proxy_list.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>

#include "model/error.h"
#include "online/base64.h"
#include "online/http.h"
#include "online/markers.h"

namespace tessara {

namespace {

constexpr const char* kProtocolNames[4] = {"http", "https", "socks4", "socks5"};

bool ParseInt(std::string_view text, int32_t& value) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && p == text.data() + text.size() && !text.empty();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "\x41\x42" -> "AB"; a piece after "\x" without two hexadecimal digits
// gives nothing.
std::string DecodeHexEscapes(std::string_view text) {
    std::string out;
    size_t pos = text.find("\\x");
    while (pos != std::string_view::npos) {
        const size_t next = text.find("\\x", pos + 2);
        const std::string_view piece =
            text.substr(pos + 2, (next == std::string_view::npos ? text.size() : next) - pos - 2);
        if (piece.size() >= 2) {
            const int hi = HexDigit(piece[0]), lo = HexDigit(piece[1]);
            if (hi >= 0 && lo >= 0) out += static_cast<char>(hi * 16 + lo);
        }
        pos = next;
    }
    return out;
}

}  // namespace

std::string ProxyPageQuery(int page, const TProxyFilter& f) {
    std::string q;
    for (int i = 0; i < 4; ++i)
        if (f.Protocols[i]) q = JoinQuery(q, fmt::format("protocol={}", kProtocolNames[i]));
    for (int i = 0; i < 4; ++i)
        if (f.Anonymity[i]) q = JoinQuery(q, fmt::format("anonlvl={}", i + 1));
    for (const std::string& c : f.Countries) q = JoinQuery(q, fmt::format("country={}", c));
    if (f.MinUptime > 0) q = JoinQuery(q, fmt::format("min_uptime={}", f.MinUptime));
    if (f.MaxResponseMs > 0)
        q = JoinQuery(q, fmt::format("max_response_time={}", f.MaxResponseMs / 1000));
    if (page > 1) q = JoinQuery(q, fmt::format("offset={}", (page - 1) * ProxyPageRows));
    return q;
}

int ParseProxyPage(std::string_view body, const TProxyFilter& filter,
                   std::vector<std::string>& list) {
    std::string region = ExtractBetween(body, "<tbody>", "</tbody>", TMarkerMode::Raise);
    int32_t base = 0;
    const std::string baseText = ExtractBetween(
        ExtractBetween(body, "<div style=\"display:none\" data-", "</div>", TMarkerMode::Empty),
        "=\"", "\"", TMarkerMode::Empty);
    if (!ParseInt(baseText, base)) base = 0;

    int rows = 0;
    while (FindMarker(region, "<tr>") != std::string::npos) {
        const std::string row = CutAt(region, "<tr>");
        ++rows;
        const std::string script = ExtractBetween(row, "<script>", "</script>", TMarkerMode::Empty);
        std::string partA = ExtractBetween(
            ExtractBetween(script, "var", "split", TMarkerMode::Empty), "'", "'",
            TMarkerMode::Empty);
        std::reverse(partA.begin(), partA.end());
        const std::string partB =
            Base64Decode(DecodeHexEscapes(ExtractBetween(script, "atob('", "'", TMarkerMode::Empty)));
        const std::string portText = ExtractBetween(
            ExtractBetween(script, "pp =", ";", TMarkerMode::Empty), " ", "(", TMarkerMode::Empty);
        int32_t port = 0;
        if (!ParseInt(portText, port))
            throw Error(fmt::format("\"{}\" не является целым числом", portText));
        port += base;
        if (filter.Port == 0 || filter.Port == port)
            list.push_back(fmt::format("{}{}:{}", partA, partB, port));
    }
    return rows;
}

int FetchProxyPage(const std::string& rootUrl, int page, const TProxyFilter& filter,
                   std::vector<std::string>& list) {
    const std::string query = ProxyPageQuery(page, filter);
    const std::string url = query.empty() ? rootUrl : rootUrl + "?" + query;
    return ParseProxyPage(HttpGetText(url, true), filter, list);
}

void FindProxies(const std::string& rootUrl, std::vector<std::string>& list,
                 const TProxyFilter& filter) {
    list.clear();
    int page = 1;
    int rows = 0;
    do {
        rows = FetchProxyPage(rootUrl, page++, filter, list);
    } while (static_cast<int>(list.size()) < filter.Wanted && rows >= ProxyPageRows);
}

}  // namespace tessara
