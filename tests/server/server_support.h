#pragma once

#include <httplib.h>

#include <memory>
#include <string>
#include <thread>

#include "catalogue_server.h"
#include "test_support.h"

namespace tessara::test {

// tessara-server on a free port of 127.0.0.1 over a temporary root folder,
// served from a thread of its own for the life of the object.
class RunningServer {
public:
    explicit RunningServer(const std::string& root = {});
    ~RunningServer();
    int Port() const { return port_; }
    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_); }
    const std::string& Root() const { return root_; }
    server::TCatalogueServer& Server() { return *server_; }

private:
    TempDir dir_;
    std::string root_;
    std::unique_ptr<server::TCatalogueServer> server_;
    int port_ = -1;
    std::thread thread_;
};

}  // namespace tessara::test
