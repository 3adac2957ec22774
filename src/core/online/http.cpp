#include "online/http.h"

#include <curl/curl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>

#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"

namespace tessara {

namespace {

constexpr const char* kAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
constexpr const char* kAcceptEncoding = "gzip, deflate, sdch";
constexpr const char* kUserAgent =
    "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/47.0.2526.80 Safari/537.36";

void GlobalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Where a body goes: into memory, or into an open file.
struct Sink {
    std::string body;
    std::FILE* file = nullptr;
    std::string path;  // of the file, for a failure's text
    int64_t size = 0;
    int64_t max = MaxBodyBytes;
    bool tooLarge = false;
    int writeError = 0;
};

// Counts the decoded bytes, so a small compressed body that inflates beyond
// the limit is refused as well.
size_t WriteBody(char* data, size_t size, size_t count, void* user) {
    auto* sink = static_cast<Sink*>(user);
    const size_t n = size * count;
    if (sink->size + static_cast<int64_t>(n) > sink->max) {
        sink->tooLarge = true;
        return 0;
    }
    if (sink->file) {
        if (std::fwrite(data, 1, n, sink->file) != n) {
            sink->writeError = errno ? errno : EIO;
            return 0;
        }
    } else {
        sink->body.append(data, n);
    }
    sink->size += static_cast<int64_t>(n);
    return n;
}

std::string FormBody(const std::vector<std::string>& fields) {
    std::string body;
    for (const std::string& line : fields) {
        if (!body.empty()) body += '&';
        const size_t eq = line.find('=');
        if (eq == std::string::npos) {
            body += UrlEncode(line);
        } else {
            body += UrlEncode(std::string_view(line).substr(0, eq));
            body += '=';
            body += UrlEncode(std::string_view(line).substr(eq + 1));
        }
    }
    return body;
}

}  // namespace

std::string UrlEncode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '-' || c == '_' || c == '.' || c == '~') {
            out += ch;
        } else if (c == ' ') {
            out += '+';
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string BodyTooLargeMessage(int64_t maxBytes) {
    constexpr int64_t kMiB = int64_t{1024} * 1024;
    const std::string limit = maxBytes % kMiB == 0 ? std::to_string(maxBytes / kMiB) + " МиБ"
                                                   : std::to_string(maxBytes) + " байт";
    return "Ответ сервера превышает допустимый размер (" + limit + ")";
}

namespace {

// Runs one request into the sink (whose limit is the request's).
void Perform(const HttpRequest& request, Sink& sink) {
    GlobalInit();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) throw Error("curl_easy_init failed");
    CURL* c = curl.get();

    char errorText[CURL_ERROR_SIZE] = {0};
    sink.max = request.MaxBody;
    std::unique_ptr<curl_slist, SlistDeleter> headers(
        curl_slist_append(nullptr, (std::string("Accept: ") + kAccept).c_str()));
    const std::string form = request.Post ? FormBody(request.Fields) : std::string();

    curl_easy_setopt(c, CURLOPT_URL, request.Url.c_str());
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_USERAGENT, kUserAgent);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, kAcceptEncoding);
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.FollowRedirects ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, WriteBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.MaxBody));

    // Forged pages and packages must not get in: the certificate is checked
    // against the system's store, and nothing older than TLS 1.2 is spoken.
    curl_easy_setopt(c, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);

    if (request.ConnectTimeoutMs > 0)
        curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, request.ConnectTimeoutMs);
    if (request.ReadTimeoutMs > 0) {
        // A transfer that stalls (or never starts) for the read time-out ends
        // with the library's time-out error.
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, (request.ReadTimeoutMs + 999) / 1000);
    }

    // An empty proxy also keeps proxies from the environment out.
    if (request.Proxy.Host.empty()) {
        curl_easy_setopt(c, CURLOPT_PROXY, "");
    } else {
        curl_easy_setopt(c, CURLOPT_PROXY, request.Proxy.Host.c_str());
        curl_easy_setopt(c, CURLOPT_PROXYPORT, static_cast<long>(request.Proxy.Port));
        curl_easy_setopt(c, CURLOPT_PROXYTYPE, static_cast<long>(CURLPROXY_HTTP));
        if (!request.Proxy.Username.empty() || !request.Proxy.Password.empty()) {
            curl_easy_setopt(c, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
            curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, request.Proxy.Username.c_str());
            curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, request.Proxy.Password.c_str());
        }
    }

    if (request.Post) {
        curl_easy_setopt(c, CURLOPT_POST, 1L);
        curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(form.size()));
        curl_easy_setopt(c, CURLOPT_POSTFIELDS, form.c_str());
    } else {
        curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
    }

    const CURLcode rc = curl_easy_perform(c);
    if (rc != CURLE_OK) {
        if (sink.tooLarge || rc == CURLE_FILESIZE_EXCEEDED)
            throw Error(BodyTooLargeMessage(request.MaxBody));
        if (sink.writeError) throw Error(ErrnoText(sink.writeError) + ": " + sink.path);
        throw Error(errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(rc)));
    }
}

}  // namespace

std::string HttpFetch(const HttpRequest& request) {
    Sink sink;
    Perform(request, sink);
    return std::move(sink.body);
}

std::string HttpGetText(const std::string& url, bool followRedirects) {
    HttpRequest r;
    r.Url = url;
    r.FollowRedirects = followRedirects;
    return HttpFetch(r);
}

std::string HttpPostForm(const std::string& url, const std::vector<std::string>& fields,
                         bool followRedirects) {
    HttpRequest r;
    r.Url = url;
    r.FollowRedirects = followRedirects;
    r.Post = true;
    r.Fields = fields;
    return HttpFetch(r);
}

void DownloadToFile(const std::string& url, const std::string& fileName, int64_t maxBytes) {
    HttpRequest r;
    r.Url = url;
    r.MaxBody = maxBytes;
    Sink sink;
    sink.path = fileName + ".part~";
    sink.file = std::fopen(sink.path.c_str(), "wbe");
    if (!sink.file) throw Error(ErrnoText(errno) + ": " + sink.path);
    const auto fail = [&](int err, const std::string& what) {
        if (sink.file) std::fclose(sink.file);
        ::unlink(sink.path.c_str());
        throw Error(ErrnoText(err) + ": " + what);
    };
    try {
        Perform(r, sink);
    } catch (...) {
        std::fclose(sink.file);
        ::unlink(sink.path.c_str());
        throw;
    }
    if (std::fflush(sink.file) != 0 || ::fsync(::fileno(sink.file)) != 0) fail(errno, fileName);
    const int closed = std::fclose(sink.file);
    sink.file = nullptr;
    if (closed != 0) fail(errno, fileName);
    if (std::rename(sink.path.c_str(), fileName.c_str()) != 0) fail(errno, fileName);
}

std::string JoinQuery(std::string_view a, std::string_view b) {
    if (a.empty()) return std::string(b);
    if (b.empty()) return std::string(a);
    std::string r(a);
    r += '&';
    r += b;
    return r;
}

std::string UrlDirectory(std::string_view url) {
    const size_t slash = url.rfind('/');
    if (slash == std::string_view::npos) return std::string();
    return std::string(url.substr(0, slash + 1));
}

bool IsSecureUrl(std::string_view url) {
    return url.size() >= 8 && SameTextIgnoreCase(url.substr(0, 8), "https://");
}

}  // namespace tessara
