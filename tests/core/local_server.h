#pragma once

// Servers that network tests start on 127.0.0.1: a plain HTTP server, a
// self-signed TLS server, a forward proxy with basic credentials and a port
// that accepts connections and never answers.

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace tessara::test {

class LocalServer {
public:
    LocalServer() : server_(std::make_unique<httplib::Server>()) {}
    explicit LocalServer(std::unique_ptr<httplib::Server> server) : server_(std::move(server)) {}
    ~LocalServer() { Stop(); }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    httplib::Server& Http() { return *server_; }

    // Binds a free port and serves on a thread until destroyed.
    void Start() {
        port_ = server_->bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_->listen_after_bind(); });
        while (!server_->is_running()) std::this_thread::yield();
    }
    void Stop() {
        if (thread_.joinable()) {
            server_->stop();
            thread_.join();
        }
    }
    int Port() const { return port_; }
    std::string Url(const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_);
    }

private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
};

// A TLS server whose certificate (for 127.0.0.1) is signed by itself, so a
// client that verifies certificates must refuse it.
std::unique_ptr<httplib::Server> MakeSelfSignedServer();

// Forwards absolute-form requests ("GET http://host:port/path") to their
// origin when they carry the expected basic credentials, else answers 407.
// Without a user and password it forwards everything.
class ForwardProxy {
public:
    ForwardProxy(std::string user, std::string password);
    int Port() const { return server_.Port(); }
    int Forwarded() const { return forwarded_; }
    int Refused() const { return refused_; }

private:
    LocalServer server_;
    std::string expected_;
    std::atomic<int> forwarded_{0};
    std::atomic<int> refused_{0};
};

// A listening socket that never accepts: connections complete in the
// kernel's backlog and then hear nothing.
class SilentPort {
public:
    SilentPort() {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(fd_, 8);
        socklen_t len = sizeof a;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
        port_ = ntohs(a.sin_port);
    }
    ~SilentPort() { ::close(fd_); }
    int Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

private:
    int fd_ = -1;
    int port_ = 0;
};

// A port nobody listens on (bound, then released).
int DeadPort();

// gzip (or raw deflate, when gzip is false) of a text.
std::string Compress(const std::string& text, bool gzip);

}  // namespace tessara::test
