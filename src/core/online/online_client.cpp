#include "online/online_client.h"

#include <fmt/format.h>

#include <charconv>

#include "model/encoding.h"
#include "model/error.h"
#include "online/proxy_list.h"

namespace tessara {

namespace {

constexpr const char* kSavingStatus = "Сохранение файла конфигурации...";

std::string WaitDetail(const std::string& detail) {
    return std::string(WaitDownloading) + "\r\r" + detail;
}

}  // namespace

TProxy ProxyDialogResult(const TProxy& current, int choice, const std::string& server,
                         int32_t port, const std::string& username, const std::string& password) {
    TProxy p = current;
    p.Server = server;
    p.Port = port;
    p.Username = username;
    p.Password = password;
    p.Saved = false;
    if (choice == 2) {
        p.Mode = 2;
    } else if (choice == 0) {
        p.Mode = 0;
    } else {
        p.Mode = 1;
        p.Server.clear();
        p.Port = 0;
        p.Username.clear();
        p.Password.clear();
    }
    return p;
}

OnlineClient::OnlineClient(Host& host, std::string configPath)
    : host_(host), configPath_(std::move(configPath)) {}

void OnlineClient::ReadSettings(const IniFile& ini) {
    ReadOnlineSection(ini, settings_);
    ReadProxySection(ini, proxy_);
}

bool OnlineClient::SaveProxySettings(bool showStatus) {
    BusyGuard busy(host_);
    if (showStatus) host_.ShowStatus(kSavingStatus);
    bool ok = true;
    try {
        IniFile ini = IniFile::Load(configPath_);
        WriteProxySection(ini, proxy_);
        ini.Save(configPath_);
        proxy_.Saved = true;
    } catch (const Error& e) {
        host_.ShowError(MsgConfigWrite + std::string(e.what()));
        ok = false;
    }
    if (showStatus) host_.ShowStatus(std::string());
    return ok;
}

void OnlineClient::SaveProxyIfChanged() {
    if (!proxy_.Saved) SaveProxySettings(false);
}

void OnlineClient::SetProxy(const TProxy& proxy) {
    proxy_ = proxy;
    proxy_.Saved = false;
    SaveProxySettings(true);
}

bool OnlineClient::SetSettings(const TOnlineConfig& settings) {
    BusyGuard busy(host_, kSavingStatus);
    try {
        IniFile ini = IniFile::Load(configPath_);
        WriteOnlineSection(ini, settings);
        ini.Save(configPath_);
        settings_ = settings;
        return true;
    } catch (const Error& e) {
        host_.ShowError(MsgConfigWrite + std::string(e.what()));
        return false;
    }
}

void OnlineClient::SetWaitText(const std::string& text) {
    if (wait_) wait_->SetText(text);
}

void OnlineClient::SearchProxies(const std::string& url) {
    SetWaitText(WaitDetail("Поиск proxy-серверов"));
    if (settings_.ProxyListUrl.empty()) throw Error(MsgNoProxyListUrl);
    TProxyFilter filter;
    filter.Protocols[TProxyFilter::Https] = true;
    if (!IsSecureUrl(url)) filter.Protocols[TProxyFilter::Http] = true;
    filter.MinUptime = 75;
    filter.MaxResponseMs = 10;
    filter.Wanted = 30;
    FindProxies(settings_.ProxyListUrl, proxy_.Found, filter);
    if (proxy_.Found.empty()) throw Error(MsgNoProxyFound);
}

bool OnlineClient::ApplyProxy(const std::string& url) {
    current_ = HttpProxy();
    if (proxy_.Mode == 1 && proxy_.Server.empty()) {
        if (proxy_.Found.empty()) {
            try {
                SearchProxies(url);
            } catch (const Error& e) {
                host_.ShowError(MsgProxyListFailed + std::string(e.what()));
                return false;
            }
        }
        try {
            const std::string& entry = proxy_.Found.front();
            const size_t colon = entry.find(':');
            const std::string server(Trim(std::string_view(entry).substr(0, colon)));
            const std::string_view portText =
                colon == std::string::npos ? std::string_view() : Trim(std::string_view(entry).substr(colon + 1));
            int32_t port = 0;
            const auto [p, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
            if (portText.empty() || ec != std::errc() || p != portText.data() + portText.size())
                throw Error(fmt::format("\"{}\" не является целым числом", portText));
            proxy_.Server = server;
            proxy_.Port = port;
            proxy_.Username.clear();
            proxy_.Password.clear();
            proxy_.Saved = false;
        } catch (const Error& e) {
            host_.ShowError(MsgProxyPickFailed + std::string(e.what()));
            return false;
        }
    }
    if (proxy_.Mode == 2 || (proxy_.Mode == 1 && !proxy_.Server.empty()))
        current_ = {proxy_.Server, proxy_.Port, proxy_.Username, proxy_.Password};
    if (proxy_.Mode != 0 && !proxy_.Server.empty())
        SetWaitText(WaitDetail(
            fmt::format("Попытка {}, proxy {} : {}", attempt_, proxy_.Server, proxy_.Port)));
    else
        SetWaitText(WaitDownloading);
    return true;
}

bool OnlineClient::DropFailedProxy() {
    if (proxy_.Mode != 1) return false;
    proxy_.Server.clear();
    proxy_.Port = 0;
    proxy_.Username.clear();
    proxy_.Password.clear();
    proxy_.Saved = false;
    if (!proxy_.Found.empty()) proxy_.Found.erase(proxy_.Found.begin());
    return !proxy_.Found.empty();
}

std::string OnlineClient::MainClientGet(const std::string& url) {
    if (!ApplyProxy(url)) return std::string();
    HttpRequest r;
    r.Url = url;
    r.Proxy = current_;
    r.ConnectTimeoutMs = connectMs_;
    r.ReadTimeoutMs = readMs_;
    return HttpFetch(r);
}

}  // namespace tessara
