#include "online/systems_catalogue.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>

#include <fmt/format.h>

#include "app/versions.h"
#include "app/workspace.h"
#include "base/view_keys.h"
#include "combs/comb_list.h"
#include "model/dates.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "model/game.h"
#include "online/base64.h"
#include "online/http.h"
#include "online/script_library.h"
#include "online/server_rows.h"
#include "online/system_files.h"
#include "stakes/stake_create.h"
#include "stakes/stake_record.h"

namespace tessara {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSeparators = " *+,-./:;=\\_|~";

std::string DateText(TDateTime dt) { return FormatScriptDate(dt); }

// The file times of a system are its publication time, to the second.
std::time_t ToTimeT(TDateTime dt) {
    const TDateParts p = DecodeDateTime(dt);
    std::tm tm{};
    tm.tm_year = p.Year - 1900;
    tm.tm_mon = p.Month - 1;
    tm.tm_mday = p.Day;
    tm.tm_hour = p.Hour;
    tm.tm_min = p.Minute;
    tm.tm_sec = p.Second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

void SetFileTime(const std::string& path, TDateTime dt) {
    const std::time_t t = ToTimeT(dt);
    const struct timespec times[2] = {{t, 0}, {t, 0}};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) throw Error(ErrnoText(errno));
}

bool FileTimeIs(const std::string& path, TDateTime dt) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return st.st_mtime == ToTimeT(dt);
}

bool HasResultRegion(std::string_view answer) {
    std::string lower(answer);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("<result>") != std::string::npos;
}

// Colex rank of a sorted combination of 1-based numbers.
uint32_t CombRank(TCombination c) {
    std::sort(std::begin(c.n), std::end(c.n));
    auto binom = [](int n, int k) -> uint32_t {
        if (k > n) return 0;
        uint64_t r = 1;
        for (int i = 1; i <= k; ++i) r = r * static_cast<uint64_t>(n - k + i) / static_cast<uint64_t>(i);
        return static_cast<uint32_t>(r);
    };
    uint32_t rank = 0;
    for (int i = 0; i < BallsInDraw; ++i) rank += binom(c.n[i] - 1, i + 1);
    return rank;
}

std::vector<std::string> SplitWords(std::string_view line) {
    std::vector<std::string> words;
    size_t pos = 0;
    while (true) {
        pos = line.find_first_not_of(kSeparators, pos);
        if (pos == std::string_view::npos) break;
        const size_t end = std::min(line.find_first_of(kSeparators, pos), line.size());
        words.emplace_back(Trim(line.substr(pos, end - pos)));
        pos = end;
    }
    return words;
}

}  // namespace

const std::vector<std::string>& SystemColumnCaptions() {
    static const std::vector<std::string> captions = {
        "Название", "Автор",     "Числа",     "Блок",        "Комбинаций", "Дата создания",
        "Статус",   "Загрузок",  "Последняя", "Комментарии", "Ссылка"};
    return captions;
}

std::string SystemCellText(const tSystemInfo& s, bool downloaded, int column) {
    const bool numbers = s.id > 0;  // the placeholder shows no numbers
    switch (column) {
        case 0: return s.title;
        case 1: return s.author;
        case 2: return numbers ? fmt::format("{:02d}", s.nums) : std::string();
        case 3: return numbers ? std::to_string(s.olap) : std::string();
        case 4: return numbers ? std::to_string(s.csize) : std::string();
        case 5: return DateText(s.created);
        case 6: return downloaded ? "Загружена" : "";
        case 7: return numbers ? std::to_string(s.downloads) : std::string();
        case 8: return DateText(s.lastDownload);
        case 9: return s.description;
        case 10: return s.url;
        default: return {};
    }
}

tSystemInfo ParseSystemInfo(std::string_view row) {
    tSystemInfo s;
    s.id = RowIntStrict(row, "id");
    const int32_t nums = RowIntStrict(row, "nums");
    const int32_t olap = RowIntStrict(row, "olap");
    s.csize = RowIntStrict(row, "csize");
    // A byte each; values outside make no sense for any system.
    if (nums < 0 || nums > 255 || olap < 0 || olap > 255)
        throw Error(fmt::format("Недопустимые параметры системы #{}", s.id));
    s.nums = static_cast<uint8_t>(nums);
    s.olap = static_cast<uint8_t>(olap);
    s.title = Base64DecodeStrict(RowElement(row, "title"));
    s.author = RowElement(row, "author");
    s.mail = RowElement(row, "cl_mail");
    s.description = Base64DecodeStrict(RowElement(row, "descr"));
    s.created = ParseServerDate(RowElement(row, "created"));
    s.downloads = RowIntLenient(row, "downloads");
    s.lastDownload = ParseServerDate(RowElement(row, "last_download"));
    s.url = RowElement(row, "url");
    return s;
}

std::vector<std::string> SystemTextLines(const std::string& clist) { return SplitLines(clist); }

TSystemField CheckSystemFields(const tSystemData& d, std::string& message) {
    auto refuse = [&](TSystemField f, const char* text) {
        message = text;
        return f;
    };
    if (Trim(d.title).empty())
        return refuse(TSystemField::Title, "Название системы должно быть указано обязательно!");
    if (d.nums < 7 || d.nums > SystemsMaxNums)
        return refuse(TSystemField::Nums, "Указано недопустмое количество используемых чисел!");
    if (d.olap > 5) return refuse(TSystemField::Olap, "Указан недопустмый размер блока!");
    if (Trim(d.author).empty())
        return refuse(TSystemField::Author, "Имя автора должно быть указано обязательно!");
    if (Trim(d.description).empty())
        return refuse(TSystemField::Descr, "Описание системы должно быть указано обязательно!");
    if (Trim(d.clist).empty())
        return refuse(TSystemField::Combs, "Содержимое системы должно быть указано обязательно!");
    message.clear();
    return TSystemField::None;
}

TNormalisedCombs NormaliseSystemCombs(const std::vector<std::string>& lines) {
    TNormalisedCombs r;
    int lo = 0, hi = 0;
    bool any = false;
    // From the last line to the first, as the editor deletes in place.
    std::vector<std::string> kept;
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        const std::vector<std::string> words = SplitWords(Trim(*it));
        if (words.size() != 6) continue;
        std::string out;
        bool ok = true;
        std::array<int, 6> v{};
        for (size_t i = 0; i < words.size() && ok; ++i) {
            int32_t x = 0;
            ok = TryStrToInt(words[i], x) && x >= 0 && x <= 99;
            v[i] = x;
            for (size_t j = 0; j < i && ok; ++j) ok = v[j] != x;
        }
        // A word that is no number of two digits would be written as
        // something else than the user typed, and a line naming a position
        // twice maps onto no combination: such a line goes like any other
        // unreadable one.
        if (!ok) continue;
        for (size_t i = 0; i < v.size(); ++i) {
            if (i) out += ' ';
            out += fmt::format("{:02d}", v[i]);
            lo = any ? std::min(lo, v[i]) : v[i];
            hi = any ? std::max(hi, v[i]) : v[i];
            any = true;
        }
        kept.push_back(std::move(out));
    }
    r.Lines.assign(kept.rbegin(), kept.rend());
    r.Nums = any ? hi - lo + 1 : 0;
    return r;
}

std::vector<uint8_t> DistinctListNumbers(const TCombList& list) {
    std::vector<uint8_t> numbers;
    bool seen[MaxNumber + 1] = {};
    for (int64_t i = 0; i < list.Count() && numbers.size() < static_cast<size_t>(MaxNumber); ++i) {
        for (int k = 0; k < BallsInDraw && numbers.size() < static_cast<size_t>(MaxNumber); ++k) {
            const uint8_t n = list[i][k];
            if (n < 1 || n > MaxNumber || seen[n]) continue;
            seen[n] = true;
            numbers.push_back(n);
        }
    }
    return numbers;
}

SystemsCatalogue::SystemsCatalogue(Host& host, Workspace& ws,
                                   std::function<const TOnlineConfig&()> settings)
    : host_(host), ws_(ws), settings_(std::move(settings)) {}

void SystemsCatalogue::LoadViewOptions() {
    enabled_ = ws_.View().ReadBool(MainWindowSection, "SystemsEnabled", MainViewDefault("SystemsEnabled"));
}

void SystemsCatalogue::SetEnabled(bool on) {
    enabled_ = on;
    if (!on) {
        entries_.clear();
        focusedId_ = -1;
        host_.Notify(Change::Systems);
    }
    try {
        ws_.View().WriteBool(MainWindowSection, "SystemsEnabled", on);
    } catch (const Error& e) {
        host_.ShowError(std::string("Ошибка записи параметров программы!\r\r") + e.what());
    }
}

bool SystemsCatalogue::RequireServer() {
    if (ServerSet()) return true;
    host_.ShowError(MsgNoServerUrl);
    return false;
}

bool SystemsCatalogue::IsMine(const tSystemInfo& info) const {
    return !info.mail.empty() && SameTextIgnoreCase(info.mail, UserMail());
}

std::string SystemsCatalogue::Url(const char* page) const {
    std::string base = settings_().ServerUrl;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + "/scripts/" + page;
}

std::vector<std::string> SystemsCatalogue::CommonFields(const std::string& name,
                                                        const std::string& mail) {
    // The server keeps a system for the installation that published it, so a
    // folder that never talked to the catalogue makes its identifier now.
    if (settings_().InstallId.empty()) {
        TOnlineConfig changed = settings_();
        changed.InstallId = MakeInstallId();
        if (!ws_.Online().SetSettings(changed))
            throw Error("Не удалось сохранить идентификатор установки");
    }
    const TOnlineConfig& s = settings_();
    return {std::string("appid=") + ApplicationId,
            "appver=" + ProgramVersion(),
            "hwdid=" + s.InstallId,
            "cl_name=" + EscapeText(name),
            "cl_mail=" + EscapeText(mail),
            fmt::format("cl_lcid={}", UiLanguage)};
}

std::string SystemsCatalogue::PostRaw(const char* page, const std::vector<std::string>& fields) {
    if (!ServerSet()) throw Error(MsgNoServerUrl);
    return HttpPostForm(Url(page), fields);
}

bool SystemsCatalogue::GetSystemList(std::vector<tSystemInfo>& out, bool& hasResult) {
    out.clear();
    hasResult = false;
    try {
        std::vector<std::string> fields = {fmt::format("comblen={}", SystemsClen),
                                           fmt::format("maxnums={}", SystemsMaxNums)};
        const auto common = CommonFields(UserName(), UserMail());
        fields.insert(fields.end(), common.begin(), common.end());
        const std::string answer = PostRaw("sys_getlist.php", fields);
        hasResult = HasResultRegion(answer);
        const std::vector<std::string> rows = ReadServerRows(answer);
        CheckServerRows(rows);
        for (const std::string& row : rows) out.push_back(ParseSystemInfo(row));
        return true;
    } catch (const Error& e) {
        out.clear();
        host_.ShowError(MsgSystemListFailed + std::string(e.what()));
        return false;
    }
}

bool SystemsCatalogue::GetSystemData(int32_t id, std::string& clist) {
    const std::vector<std::string> rows =
        ReadServerRows(PostRaw("sys_getdata.php", {fmt::format("sys_id={}", id)}));
    CheckServerRows(rows);
    for (const std::string& row : rows) {
        clist = Base64DecodeStrict(RowElement(row, "clist"));
        if (!clist.empty()) return true;
    }
    clist.clear();
    return false;
}

int32_t SystemsCatalogue::PutSystem(const tSystemData& d, bool remove) {
    BusyGuard busy(host_, fmt::format(fmt::runtime(remove ? "Удаление \"{}\"..." : "Сохранение \"{}\"..."), d.title));
    try {
        std::vector<std::string> fields = {
            remove ? "del_mode=1" : "del_mode=0",
            fmt::format("sys_id={}", std::max(d.id, 0)),
            fmt::format("nums={}", d.nums),
            fmt::format("clen={}", SystemsClen),
            fmt::format("olap={}", d.olap),
            "title=" + EscapeText(d.title),
            "descr=" + EscapeText(d.description),
            fmt::format("csize={}", d.csize),
            "clist=" + (remove ? std::string() : Base64Encode(EscapeText(d.clist))),
            "url=" + d.url};
        const auto common = CommonFields(d.author, d.mail);
        fields.insert(fields.end(), common.begin(), common.end());
        const std::vector<std::string> rows = ReadServerRows(PostRaw("sys_putdata.php", fields));
        CheckServerRows(rows);
        for (const std::string& row : rows) {
            int32_t v = 0;
            if (ParseInt32(RowElement(row, "id_systems"), v) && v >= 0) return v;
        }
        throw Error("Сервер не сообщил номер системы");
    } catch (const Error& e) {
        host_.ShowError(fmt::format("Ошибка сохранения системы #{}!\r\r{}", d.id, e.what()));
        return -1;
    }
}

std::string SystemsCatalogue::LocalFile(const tSystemInfo& info) const {
    return SystemFileName(ws_.DataDir(), info.nums, info.olap, info.id);
}

bool SystemsCatalogue::IsDownloaded(const tSystemInfo& info) const {
    return info.id > 0 && FileExists(LocalFile(info));
}

void SystemsCatalogue::DeleteOtherFiles(const tSystemInfo& info) {
    const std::string keep = fs::path(LocalFile(info)).filename().string();
    const std::string prefix = fmt::format("{}-{:02d}-", SystemsClen, info.nums);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(JoinPath(ws_.DataDir(), SystemsFolder), ec)) {
        const std::string name = entry.path().filename().string();
        if (name == keep || name.compare(0, prefix.size(), prefix) != 0 || name.size() < 4 ||
            name.compare(name.size() - 4, 4, ".dat") != 0 || name.find('_') == std::string::npos)
            continue;
        std::error_code rm;
        fs::remove(entry.path(), rm);
    }
}

bool SystemsCatalogue::DownloadSystem(const tSystemInfo& info) {
    BusyGuard busy(host_, fmt::format("Загрузка \"{}\"...", info.title));
    try {
        std::string clist;
        GetSystemData(info.id, clist);
        const std::vector<std::string> lines = SystemTextLines(clist);
        if (clist.empty() || static_cast<int64_t>(lines.size()) != info.csize)
            throw Error(fmt::format(
                "Количество скачанных комбинаций ( {} ) отличается от ожидаемого значения ( {} )",
                clist.empty() ? 0 : lines.size(), info.csize));
        const std::string dir = JoinPath(ws_.DataDir(), SystemsFolder);
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec) throw Error(ec.message());
        std::string text;
        for (const std::string& line : lines) text += Utf8ToCp1251(line) + "\r\n";
        const std::string path = LocalFile(info);
        WriteFileAtomic(path, text);
        if (info.created > 0) SetFileTime(path, info.created);
        if (!FileExists(path)) return false;
    } catch (const Error& e) {
        host_.ShowError(fmt::format("Ошибка загрузки системы #{}!\r\r{}", info.id, e.what()));
        return false;
    }
    DeleteOtherFiles(info);
    return true;
}

const tSystemInfo* SystemsCatalogue::Find(int32_t id) const {
    for (const tSystemInfo& s : entries_)
        if (s.id == id) return &s;
    return nullptr;
}

const tSystemInfo* SystemsCatalogue::Focused() const { return focusedId_ > 0 ? Find(focusedId_) : nullptr; }

void SystemsCatalogue::LoadSystemList(bool quietWithoutServer) {
    BusyGuard busy(host_, "Загрузка списка систем...");
    const int32_t keep = focusedId_;
    entries_.clear();
    focusedId_ = -1;
    if (!ServerSet()) {
        host_.Notify(Change::Systems);
        if (!quietWithoutServer) RequireServer();
        return;
    }
    std::vector<tSystemInfo> list;
    bool hasResult = false;
    if (!GetSystemList(list, hasResult)) {
        host_.Notify(Change::Systems);
        return;
    }
    if (!hasResult) {
        tSystemInfo placeholder;
        placeholder.id = -1;
        placeholder.title = SystemsPlaceholderTitle;
        entries_.push_back(placeholder);
        host_.Notify(Change::Systems);
        return;
    }
    for (const tSystemInfo& s : list) {
        entries_.push_back(s);
        const std::string file = LocalFile(s);
        if (s.id > 0 && FileExists(file) && s.created > 0 && !FileTimeIs(file, s.created))
            DownloadSystem(s);
    }
    if (Find(keep)) focusedId_ = keep;
    host_.Notify(Change::Systems);
}

bool SystemsCatalogue::DownloadSystems(const std::vector<int32_t>& ids) {
    bool ok = true;
    for (const int32_t id : ids) {
        const tSystemInfo* s = Find(id);
        if (!s || s->id <= 0) continue;
        if (!DownloadSystem(tSystemInfo(*s))) {
            ok = false;
            break;
        }
    }
    host_.Notify(Change::Systems);
    return ok;
}

tSystemData SystemsCatalogue::NewSystemData() const {
    tSystemData d;
    d.id = 0;
    d.author = UserName();
    d.mail = UserMail();
    return d;
}

bool SystemsCatalogue::FocusedSystemData(tSystemData& data) {
    const tSystemInfo* f = Focused();
    if (!f) return false;
    BusyGuard busy(host_);
    try {
        static_cast<tSystemInfo&>(data) = *f;
        if (!GetSystemData(f->id, data.clist))
            throw Error(fmt::format("Сервер не передал список комбинаций системы #{}", f->id));
        return true;
    } catch (const Error& e) {
        host_.ShowError(MsgSystemPropFailed + std::string(e.what()));
        return false;
    }
}

int32_t SystemsCatalogue::AddSystem(const tSystemData& data) {
    tSystemData d = data;
    d.id = 0;
    const int32_t id = PutSystem(d, false);
    if (id < 0) return -1;
    tSystemInfo entry = d;
    entry.id = id;
    // The placeholder goes once there is a real entry.
    std::erase_if(entries_, [](const tSystemInfo& s) { return s.id <= 0; });
    entries_.push_back(entry);
    focusedId_ = id;
    host_.Notify(Change::Systems);
    return id;
}

bool SystemsCatalogue::UpdateSystem(const tSystemData& data) {
    const int32_t id = PutSystem(data, false);
    if (id < 0) return false;
    for (tSystemInfo& s : entries_) {
        if (s.id != data.id) continue;
        s = data;
        if (id > 0) s.id = id;
    }
    host_.Notify(Change::Systems);
    return true;
}

bool SystemsCatalogue::CanDelete() const {
    const tSystemInfo* f = Focused();
    return f && IsMine(*f);
}

bool SystemsCatalogue::DeleteFocused() {
    const tSystemInfo* f = Focused();
    if (!f) return false;
    if (!IsMine(*f)) {
        host_.ShowMessage(MessageKind::Information, MsgSystemNotOwn);
        return false;
    }
    if (!host_.Confirm(fmt::format("Вы действительно хотите удалить систему \"{}\"?", f->title)))
        return false;
    tSystemData d;
    static_cast<tSystemInfo&>(d) = *f;
    const int32_t result = PutSystem(d, true);
    if (result != 0) return false;
    const std::string file = LocalFile(d);
    std::erase_if(entries_, [&](const tSystemInfo& s) { return s.id == d.id; });
    focusedId_ = -1;
    host_.Notify(Change::Systems);
    std::error_code ec;
    fs::remove(file, ec);
    if (ec) {
        host_.ShowError(MsgSystemDelFailed + ec.message());
        return false;
    }
    return true;
}

bool SystemsCatalogue::CanPlay() const { return ws_.Combs().Count() > 0 && ws_.StakesFileOpen(); }

bool SystemsCatalogue::PrepareGame(TSystemGameMode mode, TSystemGamePlan& plan) {
    plan = TSystemGamePlan{};
    plan.Mode = mode;
    if (!CanPlay()) return false;
    {
        BusyGuard busy(host_, StatusPleaseWait);
        plan.Numbers = DistinctListNumbers(ws_.Combs());
        if (!LoadSystemFor(host_, ws_.DataDir(), plan.Numbers, plan.Combinations, plan.File))
            return false;
    }
    plan.Comment = fmt::format(fmt::runtime(mode == TSystemGameMode::Whole
                                                ? "Системная игра для {} чисел [вся система]: {}"
                                                : "Системная игра для {} чисел [комбинации]: {}"),
                               plan.Numbers.size(), fs::path(plan.File).stem().string());
    plan.Draw = ws_.NextDrawNo();
    return true;
}

bool SystemsCatalogue::PlayGame(const TSystemGamePlan& plan, int draw, int drawCount,
                                const std::string& comment) {
    if (plan.Combinations.empty() || !ws_.StakesFileOpen()) return false;
    const TCombList& list = ws_.Combs();
    std::vector<bool> inList;
    if (plan.Mode == TSystemGameMode::InList) {
        inList.assign(ws_.TotalCombs() > 0 ? ws_.TotalCombs() : 5245786u, false);
        for (int64_t i = 0; i < list.Count(); ++i) {
            const uint32_t r = CombRank(list[i]);
            if (r < inList.size()) inList[r] = true;
        }
    }
    const int64_t sample = plan.Mode == TSystemGameMode::InList
                               ? list.Count()
                               : static_cast<int64_t>(plan.Combinations.size());
    std::vector<TCombination> stakes;
    for (TCombination c : plan.Combinations) {
        std::sort(std::begin(c.n), std::end(c.n));
        if (plan.Mode == TSystemGameMode::InList) {
            const uint32_t r = CombRank(c);
            if (r >= inList.size() || !inList[r]) continue;
        }
        stakes.push_back(c);
    }
    // Said rather than done silently: the command would otherwise leave only
    // a separator behind.
    if (stakes.empty()) {
        host_.ShowMessage(MessageKind::Information, MsgSystemNoneInList);
        return false;
    }
    bool ok = false;
    {
        BusyGuard busy(host_, "Создание ставок...");
        ws_.AppendSeparator();
        for (TCombination c : stakes) {
            TStakeRecord rec = PrefillManualStake(draw, sample, &c, ws_.Config());
            rec.Kind = skSystem;
            SetStakeComment(rec, comment);
            ok = ws_.CreateStakes(rec, drawCount, true);
            if (!ok) break;
        }
    }
    if (ok) {
        ws_.CheckStakesAndUpdate();
        ws_.RefreshStakesGrid(true, true);
    }
    return ok;
}

}  // namespace tessara
