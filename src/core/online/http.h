#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessara {

// The one HTTP layer of the program. Every request sends the same headers,
// decodes gzip and deflate bodies, verifies TLS certificates against the
// system's store (TLS 1.2 or newer) and refuses bodies over MaxBodyBytes.
// Failures throw Error carrying the transfer library's own text.

inline constexpr int64_t MaxBodyBytes = int64_t{64} * 1024 * 1024;
inline constexpr long DefaultConnectTimeoutMs = 5000;
inline constexpr long DefaultReadTimeoutMs = 10000;

inline constexpr const char* MsgBodyTooLarge = "Ответ сервера превышает допустимый размер (64 МиБ)";
// The same message for another limit ("N МиБ", or "N байт" when the limit is
// not a whole number of MiB).
std::string BodyTooLargeMessage(int64_t maxBytes);

// A proxy for a request; an empty host means a direct connection.
struct HttpProxy {
    std::string Host;
    int32_t Port = 80;
    std::string Username;
    std::string Password;
};

struct HttpRequest {
    std::string Url;
    bool FollowRedirects = true;
    // A POST when set: "name=value" lines, sent URL-encoded as a form body.
    bool Post = false;
    std::vector<std::string> Fields;
    HttpProxy Proxy;
    long ConnectTimeoutMs = DefaultConnectTimeoutMs;
    // A transfer that receives nothing for this long ends with a time-out.
    long ReadTimeoutMs = DefaultReadTimeoutMs;
    int64_t MaxBody = MaxBodyBytes;
};

// Runs one request and returns the (decoded) body. An HTTP status of 400 or
// more is a failure.
std::string HttpFetch(const HttpRequest& request);

// One-shot operations over a direct connection.
std::string HttpGetText(const std::string& url, bool followRedirects = true);
std::string HttpPostForm(const std::string& url, const std::vector<std::string>& fields,
                         bool followRedirects = true);
// The body goes straight to disk, so maxBytes may be larger than a page's
// limit (an update package). The file is replaced atomically once the whole
// body has arrived; after a failure the old file is left as it was.
void DownloadToFile(const std::string& url, const std::string& fileName,
                    int64_t maxBytes = MaxBodyBytes);

// a + "&" + b when both are non-empty, otherwise the non-empty one.
std::string JoinQuery(std::string_view a, std::string_view b);
// The url up to and including its last "/".
std::string UrlDirectory(std::string_view url);
// Starts with "https://", compared without regard to case.
bool IsSecureUrl(std::string_view url);
// Percent-encoding of a form value (spaces as "+").
std::string UrlEncode(std::string_view text);

}  // namespace tessara
