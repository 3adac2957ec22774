#include "online/script_library.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <random>

#include <fmt/format.h>

#include "app/versions.h"
#include "model/dates.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/format.h"
#include "online/base64.h"
#include "online/http.h"
#include "online/server_rows.h"

namespace tessara {

const std::vector<TLanguage>& ScriptLanguages() {
    static const std::vector<TLanguage> languages = {{1049, "Русский"}, {1033, "English"}};
    return languages;
}

std::string LanguageName(int32_t lcid) {
    for (const TLanguage& l : ScriptLanguages())
        if (l.Lcid == lcid) return l.Name;
    return lcid == 0 ? std::string() : std::to_string(lcid);
}

const std::vector<std::string>& ScriptFilterCaptions() {
    static const std::vector<std::string> captions = {
        "Скрытые",
        "Все, включая скрытые",
        "Все, кроме скрытых (по умолчанию)",
        "Только мои",
        "Только публичные",
        "С моими оценками",
        "Без моих оценок",
        "Новые (24 часа с момента публикации)",
    };
    return captions;
}

const std::vector<std::string>& ScriptColumnCaptions() {
    static const std::vector<std::string> captions = {
        "Тип",    "Название", "Автор",       "Программа", "Версия",    "Язык",       "Создан",
        "Рейтинг", "Оценок",  "Ваша оценка", "Загрузок",  "Последняя", "Комментарии"};
    return captions;
}

std::string FormatScriptDate(TDateTime dt) {
    if (dt <= 0) return {};
    const TDateParts p = DecodeDateTime(dt);
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", p.Year, p.Month, p.Day, p.Hour,
                       p.Minute, p.Second);
}

std::string ScriptCellText(const tScriptInfo& s, int column) {
    switch (column) {
        case 0: return s.mine ? "Мой" : "Общий";
        case 1: return s.title;
        case 2: return s.authorName;
        case 3: return s.universal ? "Универсальный" : s.appName;
        case 4: return s.appVersion;
        case 5: return LanguageName(s.lcid);
        case 6: return FormatScriptDate(s.created);
        case 7: {
            std::string t = fmt::format("{:.3f}", s.ratingAvg);
            std::replace(t.begin(), t.end(), '.', DecimalSeparator());
            return t;
        }
        case 8: return std::to_string(s.ratingCount);
        case 9:
            return s.myRating == -1 ? "Скрытый"
                                    : (s.myRating == 0 ? std::string() : std::to_string(s.myRating));
        case 10: return std::to_string(s.downloads);
        case 11: return FormatScriptDate(s.lastDownload);
        case 12: return s.description;
        default: return {};
    }
}

TDateTime ParseServerDate(std::string_view text) {
    text = Trim(text);
    if (text.size() < 19) return 0;
    auto num = [&](size_t pos, size_t len, int& v) {
        const auto r = std::from_chars(text.data() + pos, text.data() + pos + len, v);
        return r.ec == std::errc() && r.ptr == text.data() + pos + len;
    };
    std::tm tm{};
    int y, mo, d, h, mi, s;
    if (!num(0, 4, y) || !num(5, 2, mo) || !num(8, 2, d) || !num(11, 2, h) || !num(14, 2, mi) ||
        !num(17, 2, s) || !IsValidDate(y, mo, d) || h > 23 || mi > 59 || s > 59)
        return 0;
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    const std::time_t utc = timegm(&tm);
    std::tm local{};
    localtime_r(&utc, &local);
    return EncodeDateTime({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                           local.tm_min, local.tm_sec});
}

double ParseLenientAverage(std::string_view text) {
    std::string kept;
    for (const char c : text) {
        if ((c >= '0' && c <= '9') || c == '-')
            kept += c;
        else if (c == '.' || c == ',')
            kept += '.';
    }
    double v = 0;
    const auto r = std::from_chars(kept.data(), kept.data() + kept.size(), v);
    if (r.ec != std::errc() || r.ptr != kept.data() + kept.size()) return 0;
    return v;
}

tScriptInfo ParseScriptInfo(std::string_view row, const std::string& userMail, int32_t requestLcid) {
    tScriptInfo s;
    s.id = RowIntStrict(row, "id");
    s.authorName = RowElement(row, "key_cl_name");
    s.authorMail = RowElement(row, "key_cl_mail");
    s.lcid = RowElement(row, "key_cl_lcid").empty() ? requestLcid : RowIntLenient(row, "key_cl_lcid");
    s.appName = RowElement(row, "app_name");
    s.appVersion = RowElement(row, "app_ver");
    s.universal = RowIntLenient(row, "uniapps") > 0;
    s.isPublic = RowIntLenient(row, "publics") > 0;
    s.created = ParseServerDate(RowElement(row, "created"));
    s.ratingAvg = ParseLenientAverage(RowElement(row, "rating_avg"));
    s.ratingCount = RowIntLenient(row, "rating_cnt");
    s.myRating = RowIntLenient(row, "rating_you");
    s.downloads = RowIntLenient(row, "downloads");
    s.lastDownload = ParseServerDate(RowElement(row, "last_download"));
    s.title = Base64DecodeStrict(RowElement(row, "title"));
    s.description = Base64DecodeStrict(RowElement(row, "descr"));
    s.mine = !userMail.empty() && SameTextIgnoreCase(s.authorMail, userMail);
    s.applicable = s.universal || SameTextIgnoreCase(RowElement(row, "app_guid"), ApplicationId);
    s.editable = s.mine && s.applicable;
    return s;
}

std::string MakeInstallId() {
    std::random_device rd;
    std::string id;
    for (int i = 0; i < 4; ++i) id += fmt::format("{:08X}", static_cast<uint32_t>(rd()));
    return id;
}

namespace {

std::vector<std::string> SplitScriptLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

std::string JoinScriptLines(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text;
}

}  // namespace

ScriptLibrary::ScriptLibrary(Host& host, const ViewState& view,
                             std::function<const TOnlineConfig&()> settings,
                             std::function<bool(const TOnlineConfig&)> saveSettings,
                             TScenarioAccess scenario)
    : host_(host),
      view_(view),
      settings_(std::move(settings)),
      saveSettings_(std::move(saveSettings)),
      scenario_(std::move(scenario)) {}

void ScriptLibrary::LoadViewOptions() {
    panelOn_ = view_.ReadBool(MainWindowSection, "ScriptLibraryOn", true);
    panelHeight_ = view_.ReadInteger(MainWindowSection, "ScriptLibraryHeight", 223);
    filterIndex_ = view_.ReadInteger(MainWindowSection, "ScriptLibraryFilter", ScriptFilterDefault);
    if (filterIndex_ < 0 || filterIndex_ >= static_cast<int>(ScriptFilterCaptions().size()))
        filterIndex_ = ScriptFilterDefault;
}

namespace {

template <class T>
void Store(Host& host, const ViewState& view, const char* key, T value) {
    try {
        if constexpr (std::is_same_v<T, bool>)
            view.WriteBool(MainWindowSection, key, value);
        else
            view.WriteInteger(MainWindowSection, key, value);
    } catch (const Error& e) {
        host.ShowError(std::string("Ошибка записи параметров программы!\r\r") + e.what());
    }
}

}  // namespace

void ScriptLibrary::SetPanelOn(bool on) {
    panelOn_ = on;
    Store(host_, view_, "ScriptLibraryOn", on);
}

void ScriptLibrary::SetFilterIndex(int index) {
    filterIndex_ = std::clamp(index, 0, static_cast<int>(ScriptFilterCaptions().size()) - 1);
    Store(host_, view_, "ScriptLibraryFilter", filterIndex_);
}

void ScriptLibrary::SetPanelHeight(int height) {
    panelHeight_ = height;
    Store(host_, view_, "ScriptLibraryHeight", height);
}

std::string ScriptLibrary::AppVersion() const { return ProgramVersion(); }

bool ScriptLibrary::RequireServer() {
    if (ServerSet()) return true;
    host_.ShowError(MsgNoServerUrl);
    return false;
}

std::string ScriptLibrary::Url(const char* page) const {
    std::string base = settings_().ServerUrl;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + "/scripts/" + page;
}

std::vector<std::string> ScriptLibrary::CommonFields(const std::string& name, int32_t lcid) {
    // The installation is named by an identifier made once and kept in the
    // configuration; a folder that never talks to the catalogue keeps none.
    if (settings_().InstallId.empty()) {
        TOnlineConfig changed = settings_();
        changed.InstallId = MakeInstallId();
        if (!saveSettings_(changed)) throw Error("Не удалось сохранить идентификатор установки");
    }
    const TOnlineConfig& s = settings_();
    return {std::string("appid=") + ApplicationId,
            "appver=" + AppVersion(),
            "hwdid=" + s.InstallId,
            "cl_name=" + EscapeText(name),
            "cl_mail=" + EscapeText(s.UserMail),
            fmt::format("cl_lcid={}", lcid)};
}

std::vector<std::string> ScriptLibrary::Post(const char* page,
                                             const std::vector<std::string>& fields) {
    if (!ServerSet()) throw Error(MsgNoServerUrl);
    std::vector<std::string> rows = ReadServerRows(HttpPostForm(Url(page), fields));
    CheckServerRows(rows);
    return rows;
}

bool ScriptLibrary::GetScriptList(int filter, int32_t lcid, std::vector<tScriptInfo>& out) {
    out.clear();
    try {
        std::vector<std::string> fields = {fmt::format("fltid={}", filter)};
        const auto common = CommonFields(settings_().UserName, lcid);
        fields.insert(fields.end(), common.begin(), common.end());
        for (const std::string& row : Post("scr_getlist.php", fields))
            out.push_back(ParseScriptInfo(row, settings_().UserMail, lcid));
        return true;
    } catch (const Error& e) {
        out.clear();
        host_.ShowError(MsgListFailed + std::string(e.what()));
        return false;
    }
}

bool ScriptLibrary::GetScriptData(int32_t id, std::vector<std::string>& lines) {
    try {
        for (const std::string& row : Post("scr_getdata.php", {fmt::format("scr_id={}", id)})) {
            const std::string text = Base64DecodeStrict(RowElement(row, "script"));
            if (text.empty()) continue;
            lines = SplitScriptLines(text);
            return true;
        }
        // An answer without a text must not empty the current scenario.
        throw Error(fmt::format("Сервер не передал текст сценария #{}", id));
    } catch (const Error& e) {
        host_.ShowError(MsgDataFailed + std::string(e.what()));
        return false;
    }
}

int32_t ScriptLibrary::PutScript(const tScriptData& data, const std::string& text) {
    try {
        std::vector<std::string> fields = {
            "del_mode=0",
            fmt::format("scr_id={}", data.id),
            data.universal ? "scr_uniapps=1" : "scr_uniapps=0",
            data.isPublic ? "scr_publics=1" : "scr_publics=0",
            "scr_title=" + EscapeText(data.title),
            "scr_descr=" + EscapeText(data.description),
            "scr_script=" + EscapeText(text)};
        const auto common = CommonFields(data.authorName, data.lcid);
        fields.insert(fields.end(), common.begin(), common.end());
        const auto rows = Post("scr_putscript.php", fields);
        return rows.empty() ? -1 : RowIntStrict(rows.back(), "id_scripts");
    } catch (const Error& e) {
        host_.ShowError(MsgPutFailed + std::string(e.what()));
        return -1;
    }
}

int32_t ScriptLibrary::DeleteScript(const tScriptData& data) {
    try {
        std::vector<std::string> fields = {
            "del_mode=1",
            fmt::format("scr_id={}", data.id),
            data.universal ? "scr_uniapps=1" : "scr_uniapps=0",
            data.isPublic ? "scr_publics=1" : "scr_publics=0",
            "scr_title=" + EscapeText(data.title),
            "scr_descr=" + EscapeText(data.description)};
        const auto common = CommonFields(data.authorName, data.lcid);
        fields.insert(fields.end(), common.begin(), common.end());
        const auto rows = Post("scr_putscript.php", fields);
        return rows.empty() ? -1 : RowIntStrict(rows.back(), "id_scripts");
    } catch (const Error& e) {
        host_.ShowError(MsgDeleteFailed + std::string(e.what()));
        return -1;
    }
}

int ScriptLibrary::TitleState(int32_t id, const std::string& title) {
    BusyGuard busy(host_);
    try {
        const auto rows = Post("scr_chktitle.php", {fmt::format("scr_id={}", id),
                                                    "scr_title=" + EscapeText(title)});
        return RowIntStrict(rows.empty() ? std::string() : rows.front(), "ret_code") == 0 ? 0 : 1;
    } catch (const Error& e) {
        host_.ShowError(MsgTitleFailed + std::string(e.what()));
        return -1;
    }
}

bool ScriptLibrary::CheckTitle(int32_t id, const std::string& title) {
    return TitleState(id, title) == 0;
}

bool ScriptLibrary::SetRate(int32_t id, int32_t value, int32_t lcid, const std::string& notes) {
    try {
        std::vector<std::string> fields = {fmt::format("scr_id={}", id),
                                           fmt::format("rate_value={}", value),
                                           "rate_notes=" + EscapeText(notes)};
        const auto common = CommonFields(settings_().UserName, lcid);
        fields.insert(fields.end(), common.begin(), common.end());
        const auto rows = Post("scr_setrate.php", fields);
        const int32_t code = RowIntStrict(rows.empty() ? std::string() : rows.back(), "res_code");
        if (code < 0) throw Error(fmt::format("Код возврата: {}", code));
        return true;
    } catch (const Error& e) {
        host_.ShowError(MsgRateFailed + std::string(e.what()));
        return false;
    }
}

bool ScriptLibrary::GetScriptRates(int32_t id, std::vector<TScriptRate>& out) {
    out.clear();
    BusyGuard busy(host_, StatusLibraryRates);
    try {
        for (const std::string& row : Post("scr_getrates.php", {fmt::format("scr_id={}", id)}))
            out.push_back({RowElement(row, "key_cl_name"), RowElement(row, "rate"),
                           FormatScriptDate(ParseServerDate(RowElement(row, "created"))),
                           RowElement(row, "app_name"), RowElement(row, "app_ver"),
                           RowElement(row, "notes")});
        return true;
    } catch (const Error& e) {
        out.clear();
        host_.ShowError(MsgRatesFailed + std::string(e.what()));
        return false;
    }
}

const tScriptInfo* ScriptLibrary::Find(int32_t id) const {
    for (const tScriptInfo& s : entries_)
        if (s.id == id) return &s;
    return nullptr;
}

const tScriptInfo* ScriptLibrary::Focused() const { return Find(focusedId_); }

void ScriptLibrary::Refresh(bool quietWithoutServer) {
    {
        BusyGuard busy(host_, StatusLibraryLoad);
        const int32_t remembered = focusedId_;
        entries_.clear();
        if (panelOn_) {
            if (ServerSet())
                GetScriptList(filterIndex_ - 1, UiLanguage, entries_);
            else if (!quietWithoutServer)
                host_.ShowError(MsgNoServerUrl);
        }
        focusedId_ = Find(remembered) ? remembered : -1;
    }
    host_.Notify(Change::Library);
}

bool ScriptLibrary::DownloadFocused() {
    if (!RequireServer()) return false;
    const tScriptInfo* s = Focused();
    if (!s || !s->applicable) return false;
    std::vector<std::string> lines;
    {
        BusyGuard busy(host_, StatusLibraryDownload);
        if (!GetScriptData(s->id, lines)) return false;
    }
    return scenario_.Replace(lines);
}

tScriptData ScriptLibrary::NewScriptData() const {
    tScriptData d;
    d.id = -1;
    d.authorName = settings_().UserName;
    d.lcid = UiLanguage;
    d.universal = 0;
    d.isPublic = 1;
    return d;
}

tScriptData ScriptLibrary::FocusedScriptData() const {
    tScriptData d;
    if (const tScriptInfo* s = Focused()) {
        d.id = s->id;
        d.authorName = s->authorName;
        d.lcid = s->lcid;
        d.universal = s->universal;
        d.isPublic = s->isPublic;
        d.title = s->title;
        d.description = s->description;
    }
    return d;
}

bool ScriptLibrary::FocusEntry(int32_t id) {
    if (!RequireServer()) return false;
    if (!Find(id)) {
        BusyGuard busy(host_, StatusLibraryLoad);
        std::vector<tScriptInfo> all;
        if (!GetScriptList(0, UiLanguage, all)) return false;
        entries_ = std::move(all);
    }
    if (!Find(id)) {
        host_.ShowError(fmt::format("Сценарий #{} в online-каталоге не найден!", id));
        return false;
    }
    focusedId_ = id;
    return true;
}

bool ScriptLibrary::Publish(const tScriptData& data, const std::vector<std::string>* lines) {
    if (!RequireServer()) return false;
    int32_t id = -1;
    {
        BusyGuard busy(host_, StatusLibrarySave);
        id = PutScript(data, JoinScriptLines(lines ? *lines : scenario_.Lines()));
    }
    if (id <= 0) return false;
    tScriptInfo s;
    s.id = id;
    s.appName = ApplicationTitle;
    s.appVersion = AppVersion();
    s.authorName = data.authorName;
    s.authorMail = settings_().UserMail;
    s.lcid = data.lcid;
    s.universal = data.universal;
    s.isPublic = data.isPublic;
    s.created = Now();
    s.title = data.title;
    s.description = data.description;
    s.mine = s.applicable = s.editable = true;
    entries_.push_back(s);
    focusedId_ = id;
    host_.Notify(Change::Library);
    return true;
}

bool ScriptLibrary::ReplaceFocused(const tScriptData& data, const std::vector<std::string>* lines) {
    if (!RequireServer()) return false;
    const tScriptInfo* focused = Focused();
    if (!focused || !focused->editable) return false;
    int32_t id = -1;
    {
        BusyGuard busy(host_, StatusLibrarySave);
        id = PutScript(data, JoinScriptLines(lines ? *lines : scenario_.Lines()));
    }
    if (id <= 0) return false;
    for (tScriptInfo& s : entries_)
        if (s.id == data.id) {
            s.id = id;
            s.appVersion = AppVersion();
            s.created = Now();
            s.authorName = data.authorName;
            s.lcid = data.lcid;
            s.universal = data.universal;
            s.isPublic = data.isPublic;
            s.title = data.title;
            s.description = data.description;
        }
    focusedId_ = id;
    host_.Notify(Change::Library);
    return true;
}

bool ScriptLibrary::DeleteFocused() {
    if (!RequireServer()) return false;
    const tScriptInfo* s = Focused();
    if (!s || !s->editable) return false;
    if (!host_.Confirm(fmt::format("Вы действительно хотите удалить сценарий \"{}\"?", s->title)))
        return false;
    int32_t result = -1;
    {
        BusyGuard busy(host_, StatusLibraryDelete);
        result = DeleteScript(FocusedScriptData());
    }
    if (result != 0) return false;
    const int32_t id = focusedId_;
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [id](const tScriptInfo& e) { return e.id == id; }),
                   entries_.end());
    focusedId_ = -1;
    host_.Notify(Change::Library);
    return true;
}

bool ScriptLibrary::RateFocused(int32_t value, const std::string& notes) {
    if (!RequireServer()) return false;
    const tScriptInfo* s = Focused();
    if (!s) return false;
    bool ok = false;
    {
        BusyGuard busy(host_, StatusLibraryRate);
        ok = SetRate(s->id, value, UiLanguage, notes);
    }
    if (ok) Refresh();
    return ok;
}

bool ScriptLibrary::CanDownload() const {
    const tScriptInfo* s = Focused();
    return s && s->applicable;
}

bool ScriptLibrary::CanUpload() const { return !scenario_.Lines().empty(); }

bool ScriptLibrary::CanReplace() const {
    const tScriptInfo* s = Focused();
    return s && s->editable && CanUpload();
}

bool ScriptLibrary::CanDelete() const {
    const tScriptInfo* s = Focused();
    return s && s->editable;
}

bool ScriptLibrary::CanUnrate() const {
    const tScriptInfo* s = Focused();
    return s && s->myRating != 0;
}

TScrPublicField ScriptLibrary::CheckPublicFields(int32_t id, const std::string& title,
                                                 const std::string& author) {
    const std::string t(Trim(title));
    if (t.empty()) {
        host_.ShowError(MsgTitleEmpty);
        return TScrPublicField::Title;
    }
    const int state = TitleState(id, t);
    if (state != 0) {
        // A failed request has shown its own message already.
        if (state == 1) host_.ShowError(MsgTitleTaken);
        return TScrPublicField::Title;
    }
    if (Trim(author).empty()) {
        host_.ShowError(MsgAuthorEmpty);
        return TScrPublicField::Author;
    }
    return TScrPublicField::None;
}

}  // namespace tessara
