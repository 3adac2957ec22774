// The configuration file of the workspace: loading at start-up, saving after
// every edit.
#include <fmt/format.h>

#include "app/workspace.h"
#include "model/error.h"
#include "model/files.h"
#include "stats/prefetch.h"

namespace tessara {

namespace {

constexpr const char* kLoadingStatus = "Загрузка файла конфигурации...";
constexpr const char* kSavingStatus = "Сохранение файла конфигурации...";

// The file up to (not including) its first broken line, so that only the
// values before it are taken.
IniFile LoadUpToBrokenLine(const std::string& path, std::string& brokenCause) {
    const std::string bytes = FileExists(path) ? ReadFileBytes(path) : std::string();
    IniFile ini = IniFile::Parse(bytes);
    if (ini.BrokenLine() == 0) return ini;
    brokenCause = fmt::format("Строка {}: \"{}\"", ini.BrokenLine(), ini.BrokenText());
    const auto lines = SplitLines(bytes);
    std::string head;
    for (int i = 0; i + 1 < ini.BrokenLine(); ++i) head += lines[static_cast<size_t>(i)] + "\r\n";
    return IniFile::Parse(head);
}

}  // namespace

void Workspace::LoadConfig() {
    BusyGuard busy(host_, kLoadingStatus);
    try {
        std::string broken;
        const IniFile ini = LoadUpToBrokenLine(PathOf(ConfigFileName), broken);
        ReadGenerateDefaults(ini, generateDefaults_);
        ReadConfigSections(ini, config_);
        ReadShreddingSection(ini, shredding_);
        if (!broken.empty()) throw Error(broken);
    } catch (const Error& e) {
        host_.ShowError(MsgConfigRead + std::string(e.what()));
    }
    host_.Notify(Change::Configuration);
}

void Workspace::LoadProxySettings() {
    BusyGuard busy(host_, kLoadingStatus);
    try {
        std::string broken;
        online_->ReadSettings(LoadUpToBrokenLine(PathOf(ConfigFileName), broken));
    } catch (const Error& e) {
        host_.ShowError(MsgConfigRead + std::string(e.what()));
    }
}

const TOnlineConfig& Workspace::CatalogueSettings() {
    // The catalogue knows this installation by an identifier made once, when
    // a server is first set: loading alone never writes the configuration.
    if (!online_->Settings().ServerUrl.empty() && online_->Settings().InstallId.empty()) {
        TOnlineConfig settings = online_->Settings();
        settings.InstallId = MakeInstallId();
        online_->SetSettings(settings);
    }
    return online_->Settings();
}

namespace {

template <typename Writer>
bool SaveSections(Host& host, const std::string& path, bool showStatus, Writer write) {
    BusyGuard busy(host);
    if (showStatus) host.ShowStatus(kSavingStatus);
    bool ok = true;
    try {
        IniFile ini = IniFile::Load(path);
        write(ini);
        ini.Save(path);
    } catch (const Error& e) {
        host.ShowError(MsgConfigWrite + std::string(e.what()));
        ok = false;
    }
    if (showStatus) host.ShowStatus(std::string());
    return ok;
}

}  // namespace

bool Workspace::SaveConfig() {
    return SaveSections(host_, PathOf(ConfigFileName), true,
                        [&](IniFile& ini) { WriteConfigSections(ini, config_); });
}

bool Workspace::SaveShreddingConfig() {
    return SaveSections(host_, PathOf(ConfigFileName), true,
                        [&](IniFile& ini) { WriteShreddingSection(ini, shredding_); });
}

bool Workspace::SaveGenerateDefaults() {
    return SaveSections(host_, PathOf(ConfigFileName), true,
                        [&](IniFile& ini) { WriteGenerateDefaults(ini, generateDefaults_); });
}

bool Workspace::SaveProxySettings(bool showStatus) { return online_->SaveProxySettings(showStatus); }

TChangedFamilies Workspace::ApplyConfig(const TConfigData& config) {
    const TChangedFamilies changed = ChangedFamilies(config_, config);
    config_ = config;
    SaveConfig();
    // Parameter ranges follow the configuration, and the full-set counts of
    // the changed families are stale.
    if (changed.Any()) {
        ReregisterStats();
        std::set<int> groups;
        if (changed.Channel) groups.insert(3);
        if (changed.Matrix) groups.insert(4);
        if (changed.Segment) groups.insert(5);
        BuildPrefetchFiles(*this, false, groups, PrefetchsEnabled());
    }
    host_.Notify(Change::Configuration);
    host_.RefreshViews(true);
    return changed;
}

void Workspace::ApplyShredding(const TShreddingConfig& shredding) {
    shredding_ = shredding;
    SaveShreddingConfig();
    ReregisterStats();
    BuildPrefetchFiles(*this, false, {12}, PrefetchsEnabled());
    host_.Notify(Change::Configuration);
    // A shredding table on screen shows the old formula's values until recomputed.
    host_.RefreshViews(true);
}

void Workspace::SetGenerateDefaults(const TCombsGenerateParams& params) {
    generateDefaults_ = params;
    SaveGenerateDefaults();
}

void Workspace::SetProxy(const TProxy& proxy) { online_->SetProxy(proxy); }

}  // namespace tessara
