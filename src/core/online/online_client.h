#pragma once

#include <string>

#include "base/config.h"
#include "base/host.h"
#include "base/ini_file.h"
#include "online/http.h"

namespace tessara {

// The small window without buttons that tells what the download is doing.
class TWaitWindow {
public:
    virtual ~TWaitWindow() = default;
    virtual void Open(const std::string& text) = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void Close() = 0;
};

inline constexpr const char* MsgProxyListFailed = "Ошибка получения списка proxy-серверов!\r\r";
inline constexpr const char* MsgNoProxyFound =
    "Не найдено ни одного proxy-сервера с заданными параметрами";
inline constexpr const char* MsgProxyPickFailed = "Ошибка автоматического выбора proxy сервера!\r\r";
inline constexpr const char* MsgNoProxyListUrl =
    "Не задан адрес службы списков proxy-серверов: укажите его в ключе ProxyListUrl раздела "
    "[ONLINE] файла \"Tessara_6x42.ini\" (диалог \"Параметры системы\", страница \"Сетевые "
    "адреса\")";
inline constexpr const char* WaitDownloading = "Загрузка архива тиражей...";

// What OK of the proxy dialog makes of its fields: choice 0 no proxy, 1
// automatic search, 2 manual. The automatic choice forgets any proxy saved
// before, so that the next download searches afresh.
TProxy ProxyDialogResult(const TProxy& current, int choice, const std::string& server,
                         int32_t port, const std::string& username, const std::string& password);

// The online side of the workspace: the addresses of the services, the
// proxy record and the main client through which the archive download goes
// (the only client that uses a proxy).
class OnlineClient {
public:
    OnlineClient(Host& host, std::string configPath);

    // Settings of the configuration file: PROXY and ONLINE.
    const TProxy& Proxy() const { return proxy_; }
    const TOnlineConfig& Settings() const { return settings_; }
    // Start-up: takes both sections from the file's contents; throws Error
    // at the first value that cannot be read.
    void ReadSettings(const IniFile& ini);
    bool SaveProxySettings(bool showStatus);
    // Writes PROXY without a status text when the record differs from the file.
    void SaveProxyIfChanged();
    // The proxy dialog's result: taken over and saved.
    void SetProxy(const TProxy& proxy);
    // Takes over and saves the addresses.
    bool SetSettings(const TOnlineConfig& settings);

    // The main client.
    void SetWaitWindow(TWaitWindow* wait) { wait_ = wait; }
    TWaitWindow* WaitWindow() const { return wait_; }
    void SetWaitText(const std::string& text);
    int Attempt() const { return attempt_; }
    void SetAttempt(int attempt) { attempt_ = attempt; }
    // Chooses the proxy of the next request (searching one in the automatic
    // mode); false, with the message shown, when none could be chosen.
    bool ApplyProxy(const std::string& url);
    // After a failed attempt in the automatic mode: forgets the proxy just
    // used; true when another found one is left to try at once.
    bool DropFailedProxy();
    void ClearFoundProxies() { proxy_.Found.clear(); }
    // GET through the chosen proxy with the main client's time-outs; empty
    // without a request when no proxy could be chosen. Throws Error.
    std::string MainClientGet(const std::string& url);
    // Time-outs of the main client (tests shorten them).
    void SetTimeouts(long connectMs, long readMs) {
        connectMs_ = connectMs;
        readMs_ = readMs;
    }

private:
    void SearchProxies(const std::string& url);

    Host& host_;
    std::string configPath_;
    TProxy proxy_;
    TOnlineConfig settings_;
    TWaitWindow* wait_ = nullptr;
    int attempt_ = 1;
    HttpProxy current_;
    long connectMs_ = DefaultConnectTimeoutMs;
    long readMs_ = DefaultReadTimeoutMs;
};

}  // namespace tessara
