#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/config.h"
#include "base/host.h"
#include "base/ini_file.h"
#include "model/records.h"

namespace tessara {

// One entry of the online scenario catalogue.
struct tScriptInfo {
    int32_t id = 0;
    std::string authorName;
    std::string authorMail;
    int32_t lcid = 0;
    std::string appName;
    std::string appVersion;
    bool universal = false;
    bool isPublic = false;
    TDateTime created = 0;  // local time; 0 without a date
    double ratingAvg = 0;
    int32_t ratingCount = 0;
    int32_t myRating = 0;  // 0 none, 1..5, -1 hidden
    int32_t downloads = 0;
    TDateTime lastDownload = 0;
    std::string title;
    std::string description;
    bool mine = false;
    bool applicable = false;
    bool editable = false;
};

// What is published.
struct tScriptData {
    int32_t id = -1;  // -1 for a new scenario
    std::string authorName;
    int32_t lcid = 0;
    uint8_t universal = 0;
    uint8_t isPublic = 1;
    std::string title;
    std::string description;
};

// One row of the ratings dialog, texts as received.
struct TScriptRate {
    std::string Name;
    std::string Rate;
    std::string Created;  // "yyyy-mm-dd hh:mm:ss", local time
    std::string AppName;
    std::string AppVersion;
    std::string Notes;
};

// The language of the user interface (its Windows locale number) and the
// languages the properties dialog offers.
inline constexpr int32_t UiLanguage = 1049;
struct TLanguage {
    int32_t Lcid;
    const char* Name;
};
const std::vector<TLanguage>& ScriptLanguages();
std::string LanguageName(int32_t lcid);

// The filter list of the catalogue view; its index - 1 is sent as fltid.
const std::vector<std::string>& ScriptFilterCaptions();
inline constexpr int ScriptFilterDefault = 2;

// The columns of lvOnlineScripts and the text of a cell.
inline constexpr int ScriptColumnCount = 13;
inline constexpr int ScriptDefaultSortColumn = 7;
const std::vector<std::string>& ScriptColumnCaptions();
std::string ScriptCellText(const tScriptInfo& info, int column);
// "yyyy-mm-dd hh:mm:ss"; empty without a date.
std::string FormatScriptDate(TDateTime dt);

// Reading the answers. Dates come as UTC "yyyy-mm-dd hh:mm:ss" and turn into
// local time (0 for an empty or unreadable element); the average keeps
// digits and "-", reads "." and "," as the decimal point and drops the rest.
TDateTime ParseServerDate(std::string_view text);
double ParseLenientAverage(std::string_view text);
// One list row as the user with this e-mail sees it; throws Error for a
// malformed id.
tScriptInfo ParseScriptInfo(std::string_view row, const std::string& userMail, int32_t requestLcid);

// A new random installation identifier: 32 hexadecimal digits.
std::string MakeInstallId();

// Messages of the catalogue.
inline constexpr const char* MsgNoServerUrl =
    "Не задан адрес сервера online-каталога: укажите его в ключе ServerUrl раздела [ONLINE] "
    "файла \"Tessara_6x42.ini\" (диалог \"Параметры системы\", страница \"Сетевые адреса\")";
inline constexpr const char* MsgListFailed = "Ошибка загрузки каталога online-сценариев!\r\r";
inline constexpr const char* MsgDataFailed = "Ошибка загрузки online-сценария!\r\r";
inline constexpr const char* MsgPutFailed = "Ошибка сохранения online-сценария в базе данных!\r\r";
inline constexpr const char* MsgDeleteFailed = "Ошибка удаления online-сценария из базы данных!\r\r";
inline constexpr const char* MsgTitleFailed = "Ошибка проверки уникальности online-сценария!\r\r";
inline constexpr const char* MsgRateFailed = "Ошибка сохранения оценки online-сценария!\r\r";
inline constexpr const char* MsgRatesFailed = "Ошибка просмотра оценок online-сценария!\r\r";
inline constexpr const char* MsgPublishFailed = "Ошибка публикации online-сценария!\r\r";
inline constexpr const char* MsgViewFailed = "Ошибка просмотра свойств online-сценария!\r\r";
inline constexpr const char* MsgTitleEmpty = "Название сценария должно быть указано обязательно!";
inline constexpr const char* MsgTitleTaken =
    "Сценарий с таким названием уже существует!\rВыберите другое название.";
inline constexpr const char* MsgAuthorEmpty = "Имя автора должно быть указано обязательно!";
inline constexpr const char* MsgRateComment = "Вы можете оставить свой комментарий:";
inline constexpr const char* StatusLibraryLoad = "Загрузка online-каталога сценариев...";
inline constexpr const char* StatusLibraryDownload = "Скачивание сценария из online-каталога...";
inline constexpr const char* StatusLibrarySave = "Сохранение сценария в базе данных...";
inline constexpr const char* StatusLibraryDelete = "Удаление сценария из базы данных...";
inline constexpr const char* StatusLibraryRate = "Отправка оценки на сервер...";
inline constexpr const char* StatusLibraryRates = "Загрузка списка оценок...";

// Which field of the properties dialog refused its value.
enum class TScrPublicField { None, Title, Author };

// The online scenario catalogue: the seven requests, the entries of the
// view with the focused one, the view settings, and the commands over them.
// Every request reports its own failure through the host.
class ScriptLibrary {
public:
    // The scenario it reads and writes: the current lines, and their
    // replacement (saved and shown by the owner).
    struct TScenarioAccess {
        std::function<const std::vector<std::string>&()> Lines;
        std::function<bool(const std::vector<std::string>&)> Replace;
    };
    ScriptLibrary(Host& host, const ViewState& view, std::function<const TOnlineConfig&()> settings,
                  TScenarioAccess scenario);

    // The view settings; the setters store at once.
    void LoadViewOptions();
    bool PanelOn() const { return panelOn_; }
    void SetPanelOn(bool on);
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index);
    int PanelHeight() const { return panelHeight_; }
    void SetPanelHeight(int height);

    bool ServerSet() const { return !settings_().ServerUrl.empty(); }
    // Shows the one message of a missing server address; false then.
    bool RequireServer();
    std::string AppVersion() const;

    // The protocol.
    bool GetScriptList(int filter, int32_t lcid, std::vector<tScriptInfo>& out);
    bool GetScriptData(int32_t id, std::vector<std::string>& lines);
    int32_t PutScript(const tScriptData& data, const std::string& text);
    int32_t DeleteScript(const tScriptData& data);
    // True when the title is free for the scenario id.
    bool CheckTitle(int32_t id, const std::string& title);
    bool SetRate(int32_t id, int32_t value, int32_t lcid, const std::string& notes);
    bool GetScriptRates(int32_t id, std::vector<TScriptRate>& out);

    // The entries of the view, and the focused one (id, -1 for none).
    const std::vector<tScriptInfo>& Entries() const { return entries_; }
    int32_t FocusedId() const { return focusedId_; }
    void SetFocusedId(int32_t id) { focusedId_ = id; }
    const tScriptInfo* Focused() const;
    const tScriptInfo* Find(int32_t id) const;

    // The commands (the window runs the dialogs and questions first).
    // Refresh: entries anew, the focus kept on the same id when present.
    // Start-up passes quietWithoutServer, so that no server means no message.
    void Refresh(bool quietWithoutServer = false);
    bool DownloadFocused();
    // New data as publishing starts from it, and from the focused entry.
    tScriptData NewScriptData() const;
    tScriptData FocusedScriptData() const;
    // The current scenario is sent unless other lines are given.
    bool Publish(const tScriptData& data, const std::vector<std::string>* lines = nullptr);
    bool ReplaceFocused(const tScriptData& data, const std::vector<std::string>* lines = nullptr);
    // Focuses the entry with this id, listing the whole catalogue (hidden
    // entries included) when it is not among the entries; false, with a
    // message, when the catalogue has no such entry.
    bool FocusEntry(int32_t id);
    // Asks first; true when the entry was deleted.
    bool DeleteFocused();
    // 1..5 with a comment, 0 removes the user's rating, -1 hides.
    bool RateFocused(int32_t value, const std::string& notes);

    // The enabled rules of the commands (busy state and panel aside).
    bool CanDownload() const;
    bool CanUpload() const;
    bool CanReplace() const;
    bool CanDelete() const;
    bool HasFocus() const { return Focused() != nullptr; }
    bool CanUnrate() const;

    // The checks of OK in the properties dialog, in order; the title check
    // asks the server. The field that refused, None when all passed.
    TScrPublicField CheckPublicFields(int32_t id, const std::string& title,
                                      const std::string& author);

private:
    int TitleState(int32_t id, const std::string& title);
    std::string Url(const char* page) const;
    std::vector<std::string> CommonFields(const std::string& name, int32_t lcid) const;
    std::vector<std::string> Post(const char* page, const std::vector<std::string>& fields);

    Host& host_;
    const ViewState& view_;
    std::function<const TOnlineConfig&()> settings_;
    TScenarioAccess scenario_;
    std::vector<tScriptInfo> entries_;
    int32_t focusedId_ = -1;
    bool panelOn_ = true;
    int filterIndex_ = ScriptFilterDefault;
    int panelHeight_ = 223;
};

}  // namespace tessara
