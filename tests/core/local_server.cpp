#include "local_server.h"

#include <openssl/evp.h>
#include <openssl/x509.h>
#include <zlib.h>

#include <stdexcept>

namespace tessara::test {

std::unique_ptr<httplib::Server> MakeSelfSignedServer() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600L * 24);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("127.0.0.1"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509_sign(cert, key, EVP_sha256());
    auto server = std::make_unique<httplib::SSLServer>(cert, key);
    X509_free(cert);
    EVP_PKEY_free(key);
    if (!server->is_valid()) throw std::runtime_error("TLS test server not valid");
    return server;
}

ForwardProxy::ForwardProxy(std::string user, std::string password)
    : expected_(user.empty() && password.empty()
                    ? std::string()
                    : httplib::make_basic_authentication_header(user, password, true).second) {
    auto forward = [this](const httplib::Request& req, httplib::Response& res) {
        if (!expected_.empty() && req.get_header_value("Proxy-Authorization") != expected_) {
            ++refused_;
            res.status = 407;
            res.set_header("Proxy-Authenticate", "Basic realm=\"test\"");
            return;
        }
        // The target arrives in absolute form: http://host:port/path.
        const std::string& target = req.target;
        const size_t hostStart = target.find("://");
        const size_t pathStart = target.find('/', hostStart + 3);
        if (hostStart == std::string::npos || pathStart == std::string::npos) {
            res.status = 400;
            return;
        }
        httplib::Client origin(target.substr(0, pathStart));
        origin.set_decompress(false);
        httplib::Headers headers;
        for (const auto& [k, v] : req.headers)
            if (k == "Accept-Encoding" || k == "User-Agent" || k == "Accept") headers.emplace(k, v);
        auto r = origin.Get(target.substr(pathStart), headers);
        if (!r) {
            res.status = 502;
            return;
        }
        ++forwarded_;
        res.status = r->status;
        for (const auto& [k, v] : r->headers)
            if (k == "Content-Encoding" || k == "Location") res.set_header(k, v);
        res.set_content(r->body, r->get_header_value("Content-Type"));
    };
    server_.Http().Get(".*", forward);
    server_.Start();
}

int DeadPort() {
    SilentPort p;
    return p.Port();
}

std::string Compress(const std::string& text, bool gzip) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    z.avail_in = static_cast<uInt>(text.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace tessara::test
