// tessara-cli draws download and proxy ...: the draw download and the proxy
// settings without the window.
#include <fmt/format.h>

#include <ostream>

#include "cli.h"
#include "model/game.h"
#include "online/online_client.h"

namespace tessara::cli {

namespace {

// Answers the retry question of the download Yes as many times as allowed.
class DownloadHost : public ConsoleHost {
  public:
    DownloadHost(std::ostream& err, bool yes, int retries)
        : ConsoleHost(err, yes), err_(err), retries_(retries) {}
    bool ConfirmError(const std::string& text) override {
        const bool again = retries_ > 0;
        if (again) --retries_;
        failed_ = !again;
        err_ << MessageCaption(MessageKind::Error) << ": " << ConsoleText(text) << " "
             << (again ? "Да" : "Нет") << "\n";
        return again;
    }
    bool GaveUp() const { return failed_; }

  private:
    std::ostream& err_;
    int retries_;
    bool failed_ = false;
};

int Download(CommandContext& c) {
    const std::string site = c.TakeOption("--site", "");
    const std::string retryText = c.TakeOption("--retry", "0");
    int32_t retries = 0;
    if (!c.Args.empty() || !TryStrToInt(retryText, retries) || retries < 0) {
        c.Err << "Использование: draws download [--site URL] [--retry N]\n";
        return 2;
    }
    DownloadHost host(c.Err, c.Yes, retries);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    if (!site.empty()) {
        TOnlineConfig settings = ws->Online().Settings();
        settings.DrawsSite = site;
        ws->Online().SetSettings(settings, false);
    }
    const int added = ws->DrawsDownload();
    if (added < 0) return 1;
    c.Out << "Добавлено тиражей: " << added << "\n";
    return host.GaveUp() || host.ErrorShown() ? 1 : 0;
}

const char* ModeCaption(int mode) {
    switch (mode) {
        case 1:
            return "Автоматический поиск сервера (возможны задержки)";
        case 2:
            return "Ручной выбор proxy-сервера:";
        default:
            return "Не использовать proxy-сервер";
    }
}

int ProxyShow(CommandContext& c) {
    if (!c.Args.empty()) {
        c.Err << "Использование: proxy show\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const TProxy& p = ws->Proxy();
    c.Out << "Свойство\tЗначение\n"
          << "Режим:\t" << int(p.Mode) << " (" << ModeCaption(p.Mode) << ")\n"
          << "Имя или адрес сервера:\t" << p.Server << "\n"
          << "Порт:\t" << p.Port << "\n"
          << "Имя пользователя:\t" << p.Username << "\n"
          << "Пароль:\t" << (p.Password.empty() ? "" : "********") << "\n";
    return host.ErrorShown() ? 1 : 0;
}

int ProxySet(CommandContext& c) {
    const char* usage =
        "Использование: proxy set --mode 0|1|2 [--server HOST] [--port P] [--user U] "
        "[--password W]\n";
    const std::string modeText = c.TakeOption("--mode", "");
    const bool hasServer = c.HasOption("--server");
    const std::string server = c.TakeOption("--server", "");
    const bool hasPort = c.HasOption("--port");
    const std::string portText = c.TakeOption("--port", "");
    const bool hasUser = c.HasOption("--user");
    const std::string user = c.TakeOption("--user", "");
    const bool hasPassword = c.HasOption("--password");
    const std::string password = c.TakeOption("--password", "");
    int32_t mode = -1, port = 0;
    if (!c.Args.empty() || !TryStrToInt(modeText, mode) || mode < 0 || mode > 2 ||
        (hasPort && !TryStrToInt(portText, port))) {
        c.Err << usage;
        return 2;
    }
    if (hasPort && (port < 1 || port > 65535)) {
        c.Err << "Ошибка: порт должен быть от 1 до 65535\n";
        return 2;
    }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const TProxy& now = ws->Proxy();
    // Options left out keep what the dialog would show.
    const std::string newServer = hasServer ? server : now.Server;
    if (mode == 2 && newServer.empty()) {
        c.Err << "Ошибка: для ручного выбора нужен --server\n";
        return 2;
    }
    const int32_t shownPort = now.Port >= 1 && now.Port <= 65535 ? now.Port : 80;
    ws->SetProxy(ProxyDialogResult(now, mode, newServer, hasPort ? port : shownPort,
                                   hasUser ? user : now.Username,
                                   hasPassword ? password : now.Password));
    return host.ErrorShown() ? 1 : 0;
}

}  // namespace

const std::vector<Command>& OnlineCommands() {
    static const std::vector<Command> commands = {
        {"draws", "download", "[--site URL] [--retry N]", Download},
        {"proxy", "show", "", ProxyShow},
        {"proxy", "set", "--mode 0|1|2 [--server HOST] [--port P] [--user U] [--password W]",
         ProxySet},
    };
    return commands;
}

}  // namespace tessara::cli
