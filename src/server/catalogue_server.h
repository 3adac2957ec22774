#pragma once

#include <memory>
#include <string>

#include "catalogue.h"

namespace httplib {
class Server;
}

namespace tessara::server {

// Request bodies above this are refused before they are read.
inline constexpr size_t MaxRequestBody = 8 * 1024 * 1024;

// tessara-server over one root folder: the catalogues in "catalogue.db",
// static files from "files/" under "/files/", and the archive pages of the
// draws file "Tessara_6x42.ldr" when the folder holds one.
class TCatalogueServer {
public:
    // Creates the folder layout and opens the database; throws Error when the
    // folder cannot be written.
    explicit TCatalogueServer(const std::string& root);
    ~TCatalogueServer();

    // Binds; port 0 takes a free one. The port bound, or -1 when the address
    // or port cannot be had.
    int Bind(const std::string& host, int port);
    // Serves until Stop (blocking).
    bool Run();
    void Stop();
    TCatalogue& Catalogue() { return *catalogue_; }

private:
    void Routes();

    std::string root_;
    std::unique_ptr<TCatalogue> catalogue_;
    std::unique_ptr<httplib::Server> http_;
};

}  // namespace tessara::server
