#include "catalogue_server.h"

#include <httplib.h>

#include <filesystem>
#include <fstream>

#include "archive_pages.h"
#include "model/draw_archive.h"
#include "model/error.h"

namespace tessara::server {

namespace fs = std::filesystem;

namespace {

constexpr const char* AnswerType = "text/xml; charset=utf-8";

// Fails early, with the folder's name, when the root cannot take files.
void CheckWritable(const fs::path& dir) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) throw Error("Не удалось создать каталог \"" + dir.string() + "\": " + ec.message());
    const fs::path probe = dir / ".tessara-server-probe";
    {
        std::ofstream out(probe);
        if (!out || !(out << "ok") || !out.flush())
            throw Error("Нет прав на запись в каталог \"" + dir.string() + "\"");
    }
    fs::remove(probe, ec);
}

}  // namespace

TCatalogueServer::TCatalogueServer(const std::string& root) : root_(root) {
    CheckWritable(root_);
    std::error_code ec;
    fs::create_directories(fs::path(root_) / "files", ec);
    catalogue_ = std::make_unique<TCatalogue>((fs::path(root_) / "catalogue.db").string());
    http_ = std::make_unique<httplib::Server>();
    Routes();
}

TCatalogueServer::~TCatalogueServer() = default;

void TCatalogueServer::Routes() {
    httplib::Server& s = *http_;
    // SO_REUSEADDR only: the library's default SO_REUSEPORT would let a
    // second server share a taken port instead of failing to start.
    s.set_socket_options([](socket_t sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Enough workers that a crowd of clients is accepted at once; the
    // catalogue itself takes one request at a time.
    s.new_task_queue = [] { return new httplib::ThreadPool(32); };
    s.set_tcp_nodelay(true);
    s.set_payload_max_length(MaxRequestBody);
    s.set_read_timeout(10, 0);
    s.set_write_timeout(10, 0);

    using Op = std::string (TCatalogue::*)(const TFormFields&);
    const std::pair<const char*, Op> ops[] = {
        {"/scripts/scr_getlist.php", &TCatalogue::ScriptList},
        {"/scripts/scr_getdata.php", &TCatalogue::ScriptData},
        {"/scripts/scr_putscript.php", &TCatalogue::PutScript},
        {"/scripts/scr_chktitle.php", &TCatalogue::CheckTitle},
        {"/scripts/scr_setrate.php", &TCatalogue::SetRate},
        {"/scripts/scr_getrates.php", &TCatalogue::ScriptRates},
        {"/scripts/sys_getlist.php", &TCatalogue::SystemList},
        {"/scripts/sys_getdata.php", &TCatalogue::SystemData},
        {"/scripts/sys_putdata.php", &TCatalogue::PutSystem},
    };
    for (const auto& [path, op] : ops) {
        s.Post(path, [this, op = op](const httplib::Request& req, httplib::Response& res) {
            // httplib decodes url-encoded form bodies into params; the query
            // string lands there too, which is harmless.
            TFormFields fields(req.params.begin(), req.params.end());
            res.set_content(((*catalogue_).*op)(fields), AnswerType);
        });
    }

    s.Get(R"(/ru/tessara/archive/page/(\d{1,9}))",
          [this](const httplib::Request& req, httplib::Response& res) {
              const fs::path file = fs::path(root_) / "Tessara_6x42.ldr";
              TDrawsArray draws;
              std::error_code ec;
              if (!fs::exists(file, ec)) {
                  res.status = 404;
                  return;
              }
              try {
                  ReadDrawsFile(file.string(), draws);
              } catch (const std::exception&) {
                  res.status = 500;
                  return;
              }
              const int page = std::stoi(req.matches[1].str());
              res.set_content(ArchivePageHtml(draws, page), "text/html; charset=utf-8");
          });

    // Update descriptions, notes and packages are plain files.
    s.set_mount_point("/files", (fs::path(root_) / "files").string());
}

int TCatalogueServer::Bind(const std::string& host, int port) {
    if (port == 0) return http_->bind_to_any_port(host.c_str());
    return http_->bind_to_port(host.c_str(), port) ? port : -1;
}

bool TCatalogueServer::Run() { return http_->listen_after_bind(); }

void TCatalogueServer::Stop() { http_->stop(); }

}  // namespace tessara::server
