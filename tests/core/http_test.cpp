#include "online/http.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "local_server.h"
#include "model/error.h"
#include "model/files.h"
#include "test_support.h"

namespace tessara {
namespace {

using test::Compress;
using test::LocalServer;

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.what();
    }
    return "<no error>";
}

class HttpTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto& s = server_.Http();
        s.Get("/headers", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Accept") + "\n" +
                                req.get_header_value("Accept-Encoding") + "\n" +
                                req.get_header_value("User-Agent"),
                            "application/octet-stream");
        });
        s.Get("/gzip", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(Compress("сжатая страница", true), "application/octet-stream");
        });
        s.Get("/deflate", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "deflate");
            res.set_content(Compress("deflated page", false), "application/octet-stream");
        });
        s.Get("/badgzip", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Content-Encoding", "gzip");
            res.set_content(std::string("\x1f\x8b\x08\x00garbage that is no deflate stream", 38),
                            "application/octet-stream");
        });
        s.Get("/redirect",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/target"); });
        s.Get("/target", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("arrived", "text/plain");
        });
        s.Get("/missing",
              [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
        s.Get("/short", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("new", "application/octet-stream");
        });
        s.Get("/huge", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(static_cast<size_t>(MaxBodyBytes) + 1, 'x'),
                            "application/octet-stream");
        });
        // Small on the wire, beyond the limit once decoded, sent in chunks
        // so no length warns the client beforehand.
        s.Get("/bomb", [](const httplib::Request&, httplib::Response& res) {
            auto packed = std::make_shared<std::string>(
                Compress(std::string(static_cast<size_t>(MaxBodyBytes) + 4096, '\0'), true));
            res.set_header("Content-Encoding", "gzip");
            res.set_chunked_content_provider(
                "application/octet-stream", [packed](size_t offset, httplib::DataSink& sink) {
                    if (offset >= packed->size()) {
                        sink.done();
                        return true;
                    }
                    const size_t n = std::min<size_t>(65536, packed->size() - offset);
                    return sink.write(packed->data() + offset, n);
                });
        });
        s.Post("/form", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Content-Type") + "\n" + req.body,
                            "application/octet-stream");
        });
        server_.Start();
    }
    std::string Url(const std::string& path) const { return server_.Url() + path; }

    LocalServer server_;
};

TEST_F(HttpTest, SendsTheSharedHeaders) {
    EXPECT_EQ(HttpGetText(Url("/headers")),
              "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\n"
              "gzip, deflate, sdch\n"
              "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/47.0.2526.80 Safari/537.36");
}

TEST_F(HttpTest, DecodesCompressedBodiesAndRefusesBrokenOnes) {
    EXPECT_EQ(HttpGetText(Url("/gzip")), "сжатая страница");
    EXPECT_EQ(HttpGetText(Url("/deflate")), "deflated page");
    const std::string err = ErrorOf([&] { HttpGetText(Url("/badgzip")); });
    EXPECT_NE(err, "<no error>");
    EXPECT_EQ(err.find("garbage"), std::string::npos) << err;
}

TEST_F(HttpTest, FollowsRedirectsUnlessToldNot) {
    EXPECT_EQ(HttpGetText(Url("/redirect"), true), "arrived");
    EXPECT_NE(HttpGetText(Url("/redirect"), false), "arrived");
}

TEST_F(HttpTest, HttpErrorsAndRefusedConnectionsRaiseTheLibraryText) {
    EXPECT_NE(ErrorOf([&] { HttpGetText(Url("/missing")); }).find("404"), std::string::npos);
    const std::string dead = "http://127.0.0.1:" + std::to_string(test::DeadPort()) + "/";
    EXPECT_NE(ErrorOf([&] { HttpGetText(dead); }).find("onnect"), std::string::npos);
    // Only the web's own protocols are spoken, whatever an address says.
    EXPECT_NE(ErrorOf([&] { HttpGetText("file:///etc/passwd"); }), "<no error>");
}

TEST_F(HttpTest, PostsFieldsUrlEncoded) {
    EXPECT_EQ(HttpPostForm(Url("/form"), {"appid=T 42", "cl_name=Иван & Co", "q=a=b"}),
              "application/x-www-form-urlencoded\n"
              "appid=T+42&cl_name=%D0%98%D0%B2%D0%B0%D0%BD+%26+Co&q=a%3Db");
}

TEST_F(HttpTest, RefusesBodiesOverTheLimit) {
    EXPECT_EQ(ErrorOf([&] { HttpGetText(Url("/huge")); }), MsgBodyTooLarge);
    EXPECT_EQ(ErrorOf([&] { HttpGetText(Url("/bomb")); }), MsgBodyTooLarge);
}

TEST_F(HttpTest, DownloadReplacesTheWholeFileOnlyOnSuccess) {
    test::TempDir dir;
    const std::string file = JoinPath(dir.Path(), "update.bin");
    WriteFileAtomic(file, "a much longer old content");
    DownloadToFile(Url("/short"), file);
    EXPECT_EQ(ReadFileBytes(file), "new");
    EXPECT_NE(ErrorOf([&] { DownloadToFile(Url("/missing"), file); }), "<no error>");
    EXPECT_EQ(ReadFileBytes(file), "new");
}

TEST_F(HttpTest, DownloadGoesToDiskUpToItsOwnLimit) {
    test::TempDir dir;
    const std::string file = JoinPath(dir.Path(), "package.upd");
    WriteFileAtomic(file, "old");
    // A page's limit by default; a larger one for a file on disk.
    EXPECT_EQ(ErrorOf([&] { DownloadToFile(Url("/huge"), file); }), MsgBodyTooLarge);
    EXPECT_EQ(ReadFileBytes(file), "old");
    DownloadToFile(Url("/huge"), file, 2 * MaxBodyBytes);
    EXPECT_EQ(std::filesystem::file_size(file), static_cast<uintmax_t>(MaxBodyBytes) + 1);
    EXPECT_EQ(ErrorOf([&] { DownloadToFile(Url("/short"), file, 2); }),
              "Ответ сервера превышает допустимый размер (2 байт)");
    EXPECT_EQ(std::filesystem::file_size(file), static_cast<uintmax_t>(MaxBodyBytes) + 1);
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_EQ(BodyTooLargeMessage(MaxBodyBytes), MsgBodyTooLarge);
}

TEST(HttpTimeouts, ServerThatSaysNothingEndsWithTheTimeout) {
    test::SilentPort silent;
    HttpRequest r;
    r.Url = silent.Url();
    r.ReadTimeoutMs = 1000;
    const auto start = std::chrono::steady_clock::now();
    const std::string err = ErrorOf([&] { HttpFetch(r); });
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_NE(err.find("1 seconds"), std::string::npos) << err;
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(HttpTls, RefusesASelfSignedCertificate) {
    LocalServer tls(test::MakeSelfSignedServer());
    tls.Http().Get("/", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("forged draws", "text/plain");
    });
    tls.Start();
    const std::string err = ErrorOf([&] { HttpGetText(tls.Url("https") + "/"); });
    EXPECT_NE(err.find("certificate"), std::string::npos) << err;
}

TEST(HttpProxy, GoesThroughAForwardProxyWithBasicCredentials) {
    LocalServer origin;
    origin.Http().Get("/page", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("через прокси", "text/html");
    });
    origin.Start();
    test::ForwardProxy proxy("user", "pa:ss");
    HttpRequest r;
    r.Url = origin.Url() + "/page";
    r.Proxy = {"127.0.0.1", proxy.Port(), "user", "pa:ss"};
    EXPECT_EQ(HttpFetch(r), "через прокси");
    EXPECT_EQ(proxy.Forwarded(), 1);

    r.Proxy.Password = "wrong";
    EXPECT_NE(ErrorOf([&] { HttpFetch(r); }).find("407"), std::string::npos);
    EXPECT_EQ(proxy.Refused(), 1);
}

TEST(HttpHelpers, QueryAndUrlPieces) {
    EXPECT_EQ(JoinQuery("a=1", "b=2"), "a=1&b=2");
    EXPECT_EQ(JoinQuery("", "b=2"), "b=2");
    EXPECT_EQ(JoinQuery("a=1", ""), "a=1");
    EXPECT_EQ(JoinQuery("", ""), "");
    EXPECT_EQ(UrlDirectory("https://host/dir/file.php?x=1"), "https://host/dir/");
    EXPECT_EQ(UrlDirectory("nothing"), "");
    EXPECT_TRUE(IsSecureUrl("HTTPS://host"));
    EXPECT_FALSE(IsSecureUrl("http://host"));
    EXPECT_FALSE(IsSecureUrl("https:/"));
}

}  // namespace
}  // namespace tessara
