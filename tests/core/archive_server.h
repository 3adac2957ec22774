#pragma once

// A local operator's site serving archive pages, with a log of the pages
// asked for.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "archive_pages.h"
#include "local_server.h"

namespace tessara::test {

class ArchiveServer {
public:
    ArchiveServer() {
        server_.Http().Get(R"(/ru/tessara/archive/page/(\d+))",
                           [this](const httplib::Request& req, httplib::Response& res) {
                               const int page = std::stoi(req.matches[1]);
                               std::lock_guard lock(mutex_);
                               requests_.push_back(page);
                               const size_t n = requests_.size();
                               if (failAt_.count(n)) {
                                   res.status = 500;
                                   return;
                               }
                               const auto it = pages_.find(page);
                               const std::string body =
                                   it != pages_.end() ? it->second : ArchivePage({});
                               if (gzip_) {
                                   res.set_header("Content-Encoding", "gzip");
                                   res.set_content(Compress(body, true), "application/octet-stream");
                               } else {
                                   res.set_content(body, "text/html; charset=utf-8");
                               }
                           });
        server_.Start();
    }
    void SetPage(int page, const std::string& body) {
        std::lock_guard lock(mutex_);
        pages_[page] = body;
    }
    // The n-th request (from 1) answers 500.
    void FailRequest(size_t n) {
        std::lock_guard lock(mutex_);
        failAt_[n] = true;
    }
    void SetGzip(bool on) { gzip_ = on; }
    std::vector<int> Requests() {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::string Url() const { return server_.Url(); }
    int Port() const { return server_.Port(); }

private:
    LocalServer server_;
    std::mutex mutex_;
    std::map<int, std::string> pages_;
    std::map<size_t, bool> failAt_;
    std::vector<int> requests_;
    bool gzip_ = false;
};

}  // namespace tessara::test
