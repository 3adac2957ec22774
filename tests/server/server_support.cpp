#include "server_support.h"

#include <stdexcept>

namespace tessara::test {

RunningServer::RunningServer(const std::string& root) : root_(root.empty() ? dir_.Path() : root) {
    server_ = std::make_unique<server::TCatalogueServer>(root_);
    port_ = server_->Bind("127.0.0.1", 0);
    if (port_ <= 0) throw std::runtime_error("no free port");
    thread_ = std::thread([this] { server_->Run(); });
}

RunningServer::~RunningServer() {
    server_->Stop();
    thread_.join();
}

}  // namespace tessara::test
