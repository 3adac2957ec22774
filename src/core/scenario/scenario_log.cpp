#include "scenario/scenario_log.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fmt/format.h>

#include "base/host.h"
#include "base/view_keys.h"
#include "app/workspace.h"
#include "model/encoding.h"
#include "model/files.h"

namespace tessara {

namespace {

std::tm LocalNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

std::string Stamp(const std::tm& tm, const char* format) {
    char buf[64];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

bool IsLogName(const std::string& name) {
    return name.size() > 14 && name.compare(0, 10, "ScriptLog_") == 0 &&
           name.compare(name.size() - 4, 4, ".txt") == 0;
}

}  // namespace

TScenarioLog::TScenarioLog(Workspace& ws) : Now(LocalNow), ws_(ws) {
    try {
        enabled_ = ws_.View().ReadBool(MainWindowSection, "ScriptLogEnabled",
                                       MainViewDefault("ScriptLogEnabled") != 0);
    } catch (const std::exception&) {
        // The start-up reports an unreadable view-state file; the default stays.
    }
}

void TScenarioLog::SetEnabled(bool on) {
    enabled_ = on;
    try {
        ws_.View().WriteBool(MainWindowSection, "ScriptLogEnabled", on);
    } catch (const std::exception& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void TScenarioLog::New() {
    fileName_.clear();
    if (!enabled_) return;
    std::string name = FilePattern;
    name.replace(name.find("%s"), 2, Stamp(Now(), "%Y-%m-%d-%H-%M-%S"));
    fileName_ = ws_.PathOf(name);
}

void TScenarioLog::Write(const std::string& text) {
    if (!enabled_) return;
    if (fileName_.empty()) New();
    const std::string line = Utf8ToCp1251(Stamp(Now(), "[%Y-%m-%d %H:%M:%S]: ") + text) + "\r\n";
    std::FILE* f = std::fopen(fileName_.c_str(), "ab");
    bool ok = f != nullptr;
    int err = errno;
    if (f) {
        ok = std::fwrite(line.data(), 1, line.size(), f) == line.size();
        if (!ok) err = errno;
        if (std::fclose(f) != 0 && ok) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) ws_.GetHost().ShowError(fmt::format("Ошибка записи журнала: {}!", ErrnoText(err)));
}

void TScenarioLog::Close() {
    if (!fileName_.empty() && FileExists(fileName_) && Viewer) Viewer(fileName_);
    fileName_.clear();
}

bool TScenarioLog::DeleteAll() {
    Host& host = ws_.GetHost();
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(ws_.DataDir(), ec))
        if (entry.is_regular_file(ec) && IsLogName(entry.path().filename().string()))
            found.push_back(entry.path());
    if (found.empty()) {
        host.ShowMessage(MessageKind::Information, "Файлы журналов не найдены!");
        return false;
    }
    int deleted = 0;
    std::string failures;
    {
        BusyGuard busy(host, "Поиск файлов журналов...");
        for (const auto& path : found) {
            if (std::filesystem::remove(path, ec))
                ++deleted;
            else
                failures += fmt::format("\r{}: {}", path.filename().string(), ec.message());
        }
    }
    const bool ok = failures.empty();
    std::string text = fmt::format("Удалено файлов журналов: {} из {}.", deleted, found.size());
    text += ok ? "\r\rВсе найденные файлы удалены." : "\r\rНе удалось удалить:" + failures;
    host.ShowMessage(ok ? MessageKind::Information : MessageKind::Warning, text);
    return ok;
}

}  // namespace tessara
