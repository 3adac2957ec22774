#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/versions.h"
#include "base/config.h"
#include "base/host.h"
#include "online/progress_window.h"

namespace tessara {

inline constexpr const char* MsgSearchFailed = "Ошибка поиска обновлений!\r\r";
inline constexpr const char* MsgNoUpdates = "Обновлений не найдено!";
inline constexpr const char* MsgInstallFailed = "Ошибка установки обновления!\r\r";
inline constexpr const char* MsgUpdateInstalled =
    "Установка обновления \"{}\" успешно выполнена.\r\rДля завершения установки необходимо "
    "перезапустить программу!";
inline constexpr const char* MsgSelfUpdateFailed = "Ошибка системы самообновления программы!\r\r";
inline constexpr const char* MsgUpdateFileNotFound = "Файл \"{}\" не найден!";
inline constexpr const char* MsgBadChecksum = "Неверная контрольная сумма скачанного файла.";
inline constexpr const char* MsgNoNotes = "< Описание обновления не доступно >";
inline constexpr const char* ProgressSearching = "Поиск доступных обновлений...";
inline constexpr const char* ProgressInstalling = "Загрузка и установка обновления \"{}\"...";
inline constexpr const char* MsgNoUpdateUrl =
    "Не задан адрес описания обновлений: укажите его в ключе UpdateUrl (или адрес сервера в "
    "ключе ServerUrl) раздела [ONLINE] файла \"Tessara_6x42.ini\"";
inline constexpr const char* MsgInstallDirReadOnly =
    "Нет прав на запись в папку программы \"{}\": обновление может установить только "
    "пользователь, которому она доступна для записи.";
inline constexpr const char* MsgUnsafeUpdateName =
    "Недопустимое имя файла в описании обновления: \"{}\"";

inline constexpr const char* UpdateDescriptionFile = "SelfUpdates.inf";
inline constexpr const char* UpdateWorkFolder = "SelfUpdate";
inline constexpr const char* UpdateGlobalSection = "GlobalOptions";
inline constexpr const char* ServerUpdatePath = "/files/autoupdates/Kovra_AU.cfg";
// A package goes to disk as it arrives, so it may be far larger than a page
// (the description and the notes keep the HTTP layer's limit).
inline constexpr int64_t MaxUpdatePackageBytes = int64_t{1024} * 1024 * 1024;

// The values of the update description, as written there.
struct TrSU_VerData {
    std::string VerId;
    std::string Description;
    std::string DownloadUrl;
    std::string OriginalFileName;
    std::string ChecksumCRC32;
    std::string GlobalDeleteAfter;
    std::string GlobalDeleteBefore;
    std::string GlobalExecAfter;
    std::string GlobalExecBefore;
    std::string DeleteAfter;
    std::string DeleteBefore;
    std::string ExecAfter;
    std::string ExecBefore;
    // Optional: 64 hexadecimal digits the package must match as well.
    std::string ChecksumSHA256;
};

// The interface language, for the name of the update notes.
struct TUpdateLanguage {
    std::string Abbreviation;  // three letters, e.g. "RUS"
    int LocaleId = 0;          // e.g. 1049
};
// The program speaks Russian.
inline const TUpdateLanguage RussianLanguage{"RUS", 1049};

// The build number of a version: its fourth word when split at ",", "-",
// "." and "_", read as an integer; 0 when missing or not a number.
int64_t VersionBuild(const std::string& version);

// The description address of the configuration: UpdateUrl when set, else
// ServerUrl followed by the server's path; empty when neither is set.
std::string UpdateDescriptionUrl(const TOnlineConfig& online);

// Reads the keys of a description for the executable's section.
TrSU_VerData ReadUpdateDescription(const IniFile& ini, const std::string& section);

// What the updater needs of whoever shows it.
class TSelfUpdateUi {
public:
    virtual ~TSelfUpdateUi() = default;
    virtual TProgressWindow& Progress() = 0;
    // The dialog "Найдена новая версия программы": true to install.
    virtual bool OfferUpdate(const std::string& current, const std::string& offered,
                             const std::string& notes) = 0;
};

struct TSelfUpdateOptions {
    // The installation: the folder of the executable and its file name
    // (which names the description's section).
    std::string InstallDir;
    std::string ExeName = "tessara";
    std::string RunningVersion = ProgramVersion();
    // Null: only the language-free notes are tried.
    const TUpdateLanguage* Language = &RussianLanguage;
    // How long one started program may run.
    int RunTimeoutMs = 60000;
    int PollMs = 100;
    // Deleting the package after its run: attempts and their interval.
    int DeleteRetries = 100;
    int DeleteRetryMs = 100;
    // The largest package downloaded.
    int64_t MaxPackageBytes = MaxUpdatePackageBytes;
};

// What the search found.
struct TUpdateOffer {
    bool Found = false;
    std::string RunningVersion;
    TrSU_VerData Data;
    std::string Notes;
};

// Searches, offers and installs updates of one installation.
class SelfUpdater {
public:
    SelfUpdater(Host& host, TSelfUpdateUi& ui, TSelfUpdateOptions options);

    // The whole check: 0 nothing installed (none found, or declined), 1
    // installed (a restart is needed), 2 failure. Silent hides the search
    // failure and the "none found" information.
    int SelfUpdate(const std::string& address, bool silent);

    // The search alone: 0 none found (told unless silent), 1 found (see
    // Offer), 2 failure (told unless silent).
    int Search(const std::string& address, bool silent);
    const TUpdateOffer& Offer() const { return offer_; }
    // Installs the offer found: 1 installed (the success message shown), 2
    // failure (its message shown).
    int Install();

private:
    std::string InstallPath(const std::string& name) const;
    void CheckInstallDirWritable() const;
    void FetchNotes(const std::string& address);
    void InstallSteps(ProgressScope& progress);
    void DownloadPackage(const std::string& package);
    void RunAndWait(const std::string& file, const std::string& workDir);
    void RunList(const std::string& list, const std::string& workDir);

    Host& host_;
    TSelfUpdateUi& ui_;
    TSelfUpdateOptions options_;
    TUpdateOffer offer_;
};

// The command CheckUpdate and the start-up check: SelfUpdate of the
// configured address; without one, nothing is checked and (unless silent)
// the user is told so, with result 2.
int SelfUpdate(const TOnlineConfig& online, bool silent, Host& host, TSelfUpdateUi& ui,
               const TSelfUpdateOptions& options);

}  // namespace tessara
