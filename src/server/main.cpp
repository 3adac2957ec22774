#include <atomic>
#include <csignal>
#include <iostream>
#include <string>
#include <thread>

#include "catalogue_server.h"

using tessara::server::TCatalogueServer;

namespace {

int Usage() {
    std::cerr << "Использование: tessara-server --root КАТАЛОГ [--listen АДРЕС] [--port N]\n"
                 "  по умолчанию --listen 127.0.0.1 --port 8642\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    std::string root, listen = "127.0.0.1";
    int port = 8642;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (i + 1 >= argc) return Usage();
        const std::string v = argv[++i];
        if (a == "--root") {
            root = v;
        } else if (a == "--listen") {
            listen = v;
        } else if (a == "--port") {
            try {
                size_t used = 0;
                port = std::stoi(v, &used);
                if (used != v.size() || port < 1 || port > 65535) return Usage();
            } catch (const std::exception&) {
                return Usage();
            }
        } else {
            return Usage();
        }
    }
    if (root.empty()) return Usage();

    // Signals are taken by one thread that stops the server in order.
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);

    std::unique_ptr<TCatalogueServer> server;
    try {
        server = std::make_unique<TCatalogueServer>(root);
    } catch (const std::exception& e) {
        std::cerr << "tessara-server: " << e.what() << "\n";
        return 3;
    }
    if (server->Bind(listen, port) < 0) {
        std::cerr << "tessara-server: не удалось открыть порт " << port << " на адресе " << listen
                  << " (порт занят или адрес недоступен)\n";
        return 2;
    }
    std::atomic<bool> signalled = false;
    std::thread stopper([&] {
        int sig = 0;
        sigwait(&set, &sig);
        signalled = true;
        server->Stop();
    });
    std::cout << "tessara-server: http://" << listen << ":" << port << "/ , каталог " << root
              << std::endl;
    const bool ok = server->Run();
    // Wake the signal thread if the server ended on its own.
    if (!signalled) pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return ok ? 0 : 4;
}
