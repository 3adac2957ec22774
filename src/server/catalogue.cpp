#include "catalogue.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <vector>

#include <fmt/format.h>

#include "model/encoding.h"
#include "model/error.h"
#include "online/base64.h"
#include "online/server_rows.h"

namespace tessara::server {

namespace {

// A request the catalogue turns down; its text goes into the "<error>" row.
struct Refused : std::runtime_error {
    explicit Refused(const std::string& text) : std::runtime_error(text) {}
};

// Sizes a sensible client never exceeds; anything longer is refused rather
// than stored.
constexpr size_t MaxTitleChars = 64;
constexpr size_t MaxNameChars = 64;
constexpr size_t MaxMailChars = 254;
constexpr size_t MaxIdChars = 128;
constexpr size_t MaxDescrBytes = 64 * 1024;
constexpr size_t MaxNotesBytes = 4 * 1024;
constexpr size_t MaxUrlBytes = 2048;
constexpr size_t MaxScriptBytes = 4 * 1024 * 1024;

const std::string* FindField(const TFormFields& f, const char* name) {
    const auto it = f.find(name);
    return it == f.end() ? nullptr : &it->second;
}

// The raw value of a field, "" when absent, refused when too long.
std::string RawField(const TFormFields& f, const char* name, size_t maxBytes) {
    const std::string* v = FindField(f, name);
    if (!v) return {};
    if (v->size() > maxBytes) throw Refused(fmt::format("Слишком длинное значение поля {}", name));
    return *v;
}

// A text field as EscapeText wrote it; maxChars counts characters of the
// unescaped text, maxBytes its bytes.
std::string TextField(const TFormFields& f, const char* name, size_t maxChars,
                      size_t maxBytes = SIZE_MAX) {
    const std::string raw = RawField(f, name, maxBytes == SIZE_MAX ? maxChars * 8 : maxBytes * 2);
    std::string text = UnescapeText(raw);
    if (Utf8Length(text) > maxChars || text.size() > maxBytes)
        throw Refused(fmt::format("Слишком длинное значение поля {}", name));
    return text;
}

int64_t IntField(const TFormFields& f, const char* name) {
    const std::string* v = FindField(f, name);
    if (!v) throw Refused(fmt::format("Не указано поле {}", name));
    int32_t value = 0;
    if (!ParseInt32(Trim(*v), value))
        throw Refused(fmt::format("Неверное числовое значение поля {}: \"{}\"", name,
                                  Utf8Left(*v, 32)));
    return value;
}

int64_t IntFieldOr(const TFormFields& f, const char* name, int64_t def) {
    return FindField(f, name) ? IntField(f, name) : def;
}

// The caller as the protocol names it.
struct TCaller {
    std::string AppId, AppVer, HwdId, Name, Mail, MailKey;
    int64_t Lcid = 0;
};

TCaller ReadCaller(const TFormFields& f) {
    TCaller c;
    c.AppId = std::string(Trim(RawField(f, "appid", MaxIdChars)));
    c.AppVer = std::string(Trim(RawField(f, "appver", MaxIdChars)));
    c.HwdId = std::string(Trim(RawField(f, "hwdid", MaxIdChars)));
    c.Name = std::string(Trim(TextField(f, "cl_name", MaxNameChars)));
    c.Mail = std::string(Trim(TextField(f, "cl_mail", MaxMailChars)));
    c.MailKey = Utf8ToLower(c.Mail);
    c.Lcid = IntFieldOr(f, "cl_lcid", 0);
    return c;
}

// Changing requests need a full identity, so that ownership can be checked.
void RequireIdentity(const TCaller& c) {
    if (c.Mail.empty()) throw Refused("Не указан адрес электронной почты пользователя");
    if (c.HwdId.empty()) throw Refused("Не указан идентификатор установки программы");
    if (c.Mail.find_first_of("<>\r\n") != std::string::npos ||
        c.Name.find_first_of("<>\r\n") != std::string::npos)
        throw Refused("Недопустимые символы в имени или адресе пользователя");
}

std::string TitleKey(std::string_view title) { return Utf8ToLower(Trim(title)); }

// Splits a system list into its non-empty lines and checks each: six
// positions within 1..nums, separated as the program separates them.
int CheckSystemLines(const std::string& clist, int64_t nums) {
    int lines = 0;
    size_t pos = 0;
    while (pos <= clist.size()) {
        size_t end = clist.find('\n', pos);
        if (end == std::string::npos) end = clist.size();
        std::string_view line = Trim(std::string_view(clist).substr(pos, end - pos));
        pos = end + 1;
        if (line.empty()) continue;
        int words = 0;
        uint64_t seen = 0;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && std::string_view(" *+,-./:;=\\_|~\t\r").find(line[i]) !=
                                          std::string_view::npos)
                ++i;
            const size_t b = i;
            while (i < line.size() && std::string_view(" *+,-./:;=\\_|~\t\r").find(line[i]) ==
                                          std::string_view::npos)
                ++i;
            if (i == b) break;
            int32_t v = 0;
            if (!ParseInt32(line.substr(b, i - b), v) || v < 1 || v > nums)
                throw Refused(fmt::format("Неверная позиция в строке {} списка комбинаций",
                                          lines + 1));
            // A line naming a position twice is no combination: nobody could
            // play the system.
            if (words < 6 && (seen >> v & 1))
                throw Refused(fmt::format("Позиция {} повторяется в строке {} списка комбинаций",
                                          v, lines + 1));
            seen |= uint64_t{1} << v;
            ++words;
        }
        if (words < 6)
            throw Refused(fmt::format("Строка {} списка комбинаций короче шести позиций", lines + 1));
        ++lines;
    }
    return lines;
}

}  // namespace

std::string ApplicationName(const std::string& appId) {
    if (SameTextIgnoreCase(appId, ApplicationId)) return ApplicationTitle;
    return appId;
}

std::string FormatUtc(int64_t seconds) {
    if (seconds <= 0) return {};
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}", tm.tm_year + 1900, tm.tm_mon + 1,
                       tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
}

TCatalogue::TCatalogue(const std::string& dbPath)
    : db_(dbPath), clock_([] {
          return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                          std::chrono::system_clock::now().time_since_epoch())
                                          .count());
      }) {
    db_.Exec("PRAGMA journal_mode=WAL");
    db_.Exec("PRAGMA synchronous=NORMAL");
    db_.Exec("PRAGMA foreign_keys=ON");
    db_.Exec(R"(
CREATE TABLE IF NOT EXISTS scripts(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  owner_mail TEXT NOT NULL, owner_hwdid TEXT NOT NULL,
  cl_name TEXT NOT NULL, cl_mail TEXT NOT NULL, lcid INTEGER NOT NULL,
  app_guid TEXT NOT NULL, app_name TEXT NOT NULL, app_ver TEXT NOT NULL,
  uniapps INTEGER NOT NULL, publics INTEGER NOT NULL,
  title TEXT NOT NULL, title_key TEXT NOT NULL, descr TEXT NOT NULL, script TEXT NOT NULL,
  created INTEGER NOT NULL, downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0);
CREATE INDEX IF NOT EXISTS scripts_title ON scripts(title_key);
CREATE TABLE IF NOT EXISTS script_rates(
  script_id INTEGER NOT NULL REFERENCES scripts(id) ON DELETE CASCADE,
  rater_mail TEXT NOT NULL, rater_hwdid TEXT NOT NULL,
  cl_name TEXT NOT NULL, lcid INTEGER NOT NULL, app_name TEXT NOT NULL, app_ver TEXT NOT NULL,
  rate INTEGER NOT NULL, notes TEXT NOT NULL, created INTEGER NOT NULL,
  PRIMARY KEY(script_id, rater_mail, rater_hwdid));
CREATE TABLE IF NOT EXISTS systems(
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  owner_mail TEXT NOT NULL, owner_hwdid TEXT NOT NULL,
  author TEXT NOT NULL, cl_mail TEXT NOT NULL, lcid INTEGER NOT NULL,
  app_guid TEXT NOT NULL, app_ver TEXT NOT NULL,
  nums INTEGER NOT NULL, clen INTEGER NOT NULL, olap INTEGER NOT NULL, csize INTEGER NOT NULL,
  title TEXT NOT NULL, descr TEXT NOT NULL, clist TEXT NOT NULL, url TEXT NOT NULL,
  created INTEGER NOT NULL, downloads INTEGER NOT NULL DEFAULT 0,
  last_download INTEGER NOT NULL DEFAULT 0);
)");
}

template <class Fn>
std::string TCatalogue::Answer(Fn&& fn) {
    try {
        std::lock_guard lock(mutex_);
        return fn();
    } catch (const Refused& e) {
        return ServerErrorAnswer(e.what());
    } catch (const std::exception& e) {
        std::cerr << "tessara-server: " << e.what() << "\n";
        return ServerErrorAnswer("Внутренняя ошибка сервера");
    }
}

// ---- scenarios ------------------------------------------------------------

std::string TCatalogue::ScriptList(const TFormFields& f) {
    return Answer([&] {
        const int64_t filter = IntFieldOr(f, "fltid", 1);
        const TCaller c = ReadCaller(f);
        // The user's own rating decides hidden entries; an entry is visible
        // when public, or private and published from this very installation.
        static const char* const Conditions[] = {
            "you = -1",                       // -1 hidden ones
            "1",                              //  0 all, hidden included
            "you <> -1",                      //  1 all but hidden
            "s.owner_mail = ?1",              //  2 only mine
            "s.publics > 0 AND you <> -1",    //  3 only public
            "you > 0",                        //  4 with my rating
            "you = 0",                        //  5 without my rating
            "s.created >= ?3 AND you <> -1",  //  6 published in the last 24 hours
        };
        if (filter < -1 || filter > 6) throw Refused(fmt::format("Неизвестный фильтр {}", filter));
        const std::string sql = fmt::format(R"(
SELECT * FROM (
  SELECT s.id, s.cl_name, s.cl_mail, s.lcid, s.app_name, s.app_ver, s.app_guid, s.uniapps,
         s.publics, s.created,
         (SELECT AVG(rate) FROM script_rates r WHERE r.script_id = s.id AND r.rate > 0),
         (SELECT COUNT(*) FROM script_rates r WHERE r.script_id = s.id AND r.rate > 0),
         COALESCE((SELECT rate FROM script_rates r WHERE r.script_id = s.id
                   AND r.rater_mail = ?1 AND r.rater_hwdid = ?2), 0) AS you,
         s.downloads, s.last_download, s.title, s.descr, s.owner_mail, s.owner_hwdid
  FROM scripts s
  WHERE s.publics > 0 OR (s.owner_mail = ?1 AND s.owner_hwdid = ?2)) s
WHERE {} ORDER BY s.id)",
                                            Conditions[filter + 1]);
        TStatement q(db_, sql.c_str());
        q.Bind(1, std::string_view(c.MailKey)).Bind(2, std::string_view(c.HwdId));
        if (filter == 6) q.Bind(3, Now() - 24 * 3600);
        TServerRowsWriter w;
        while (q.Step()) {
            w.Row()
                .Field("id", q.Int(0))
                .Field("key_cl_name", q.Text(1))
                .Field("key_cl_mail", q.Text(2))
                .Field("key_cl_lcid", q.Int(3))
                .Field("app_name", q.Text(4))
                .Field("app_ver", q.Text(5))
                .Field("app_guid", q.Text(6))
                .Field("uniapps", q.Int(7))
                .Field("publics", q.Int(8))
                .Field("created", FormatUtc(q.Int(9)))
                .Field("rating_avg", fmt::format("{:.4f}", q.IsNull(10) ? 0.0 : q.Real(10)))
                .Field("rating_cnt", q.Int(11))
                .Field("rating_you", q.Int(12))
                .Field("downloads", q.Int(13))
                .Field("last_download", FormatUtc(q.Int(14)))
                .Base64Field("title", q.Text(15))
                .Base64Field("descr", q.Text(16));
        }
        return w.Text();
    });
}

std::string TCatalogue::ScriptData(const TFormFields& f) {
    return Answer([&] {
        const int64_t id = IntField(f, "scr_id");
        TTransaction t(db_);
        TStatement q(db_, "SELECT script FROM scripts WHERE id = ?1");
        q.Bind(1, id);
        if (!q.Step()) throw Refused(fmt::format("Сценарий #{} не найден", id));
        const std::string script = q.Text(0);
        TStatement u(db_,
                     "UPDATE scripts SET downloads = downloads + 1, last_download = ?2 "
                     "WHERE id = ?1");
        u.Bind(1, id).Bind(2, Now()).Run();
        t.Commit();
        return TServerRowsWriter().Row().Base64Field("script", script).Text();
    });
}

namespace {

// Refuses unless the entry exists and belongs to the caller's e-mail and
// installation together.
void CheckOwner(TSqliteDb& db, const char* table, const char* noun, int64_t id,
                const TCaller& c) {
    const std::string sql =
        fmt::format("SELECT owner_mail, owner_hwdid FROM {} WHERE id = ?1", table);
    TStatement q(db, sql.c_str());
    q.Bind(1, id);
    if (!q.Step()) throw Refused(fmt::format("{} #{} не найден(а)", noun, id));
    if (q.Text(0) != c.MailKey || q.Text(1) != c.HwdId)
        throw Refused(fmt::format(
            "{} #{} опубликован(а) другим пользователем или с другой установки программы: "
            "изменять и удалять его (её) может только автор",
            noun, id));
}

bool TitleTaken(TSqliteDb& db, int64_t id, const std::string& title) {
    TStatement q(db, "SELECT 1 FROM scripts WHERE title_key = ?1 AND id <> ?2 LIMIT 1");
    q.Bind(1, std::string_view(TitleKey(title))).Bind(2, id);
    return q.Step();
}

}  // namespace

std::string TCatalogue::PutScript(const TFormFields& f) {
    return Answer([&] {
        const int64_t del = IntField(f, "del_mode");
        const int64_t id = IntField(f, "scr_id");
        const TCaller c = ReadCaller(f);
        RequireIdentity(c);
        TTransaction t(db_);
        if (del == 1) {
            CheckOwner(db_, "scripts", "Сценарий", id, c);
            TStatement d(db_, "DELETE FROM scripts WHERE id = ?1");
            d.Bind(1, id).Run();
            t.Commit();
            return TServerRowsWriter().Row().Field("id_scripts", 0).Text();
        }
        if (del != 0) throw Refused(fmt::format("Неизвестный режим {}", del));
        const bool uni = IntFieldOr(f, "scr_uniapps", 0) > 0;
        const bool pub = IntFieldOr(f, "scr_publics", 1) > 0;
        const std::string title(Trim(TextField(f, "scr_title", MaxTitleChars)));
        const std::string descr = TextField(f, "scr_descr", MaxDescrBytes, MaxDescrBytes);
        const std::string script = TextField(f, "scr_script", MaxScriptBytes, MaxScriptBytes);
        if (title.empty()) throw Refused("Название сценария должно быть указано обязательно!");
        if (c.Name.empty()) throw Refused("Имя автора должно быть указано обязательно!");
        if (Trim(script).empty()) throw Refused("Сценарий не содержит ни одной строки");
        const int64_t ownId = id > 0 ? id : -1;
        if (id > 0) CheckOwner(db_, "scripts", "Сценарий", id, c);
        if (TitleTaken(db_, ownId, title))
            throw Refused("Сценарий с таким названием уже существует!");
        int64_t result = id;
        if (id > 0) {
            TStatement u(db_, R"(UPDATE scripts SET cl_name = ?2, cl_mail = ?3, lcid = ?4,
  app_guid = ?5, app_name = ?6, app_ver = ?7, uniapps = ?8, publics = ?9, title = ?10,
  title_key = ?11, descr = ?12, script = ?13, created = ?14 WHERE id = ?1)");
            u.Bind(1, id);
            u.Bind(2, std::string_view(c.Name)).Bind(3, std::string_view(c.Mail)).Bind(4, c.Lcid);
            u.Bind(5, std::string_view(c.AppId))
                .Bind(6, std::string_view(ApplicationName(c.AppId)))
                .Bind(7, std::string_view(c.AppVer));
            u.Bind(8, int64_t(uni)).Bind(9, int64_t(pub)).Bind(10, std::string_view(title));
            u.Bind(11, std::string_view(TitleKey(title))).Bind(12, std::string_view(descr));
            u.Bind(13, std::string_view(script)).Bind(14, Now()).Run();
        } else {
            TStatement i(db_, R"(INSERT INTO scripts(owner_mail, owner_hwdid, cl_name, cl_mail,
  lcid, app_guid, app_name, app_ver, uniapps, publics, title, title_key, descr, script, created)
  VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15))");
            i.Bind(1, std::string_view(c.MailKey)).Bind(2, std::string_view(c.HwdId));
            i.Bind(3, std::string_view(c.Name)).Bind(4, std::string_view(c.Mail)).Bind(5, c.Lcid);
            i.Bind(6, std::string_view(c.AppId))
                .Bind(7, std::string_view(ApplicationName(c.AppId)))
                .Bind(8, std::string_view(c.AppVer));
            i.Bind(9, int64_t(uni)).Bind(10, int64_t(pub)).Bind(11, std::string_view(title));
            i.Bind(12, std::string_view(TitleKey(title))).Bind(13, std::string_view(descr));
            i.Bind(14, std::string_view(script)).Bind(15, Now()).Run();
            result = db_.LastInsertId();
        }
        t.Commit();
        return TServerRowsWriter().Row().Field("id_scripts", result).Text();
    });
}

std::string TCatalogue::CheckTitle(const TFormFields& f) {
    return Answer([&] {
        const int64_t id = IntField(f, "scr_id");
        const std::string title = TextField(f, "scr_title", MaxTitleChars);
        const bool taken = Trim(title).empty() || TitleTaken(db_, id > 0 ? id : -1, title);
        return TServerRowsWriter().Row().Field("ret_code", taken ? 1 : 0).Text();
    });
}

std::string TCatalogue::SetRate(const TFormFields& f) {
    return Answer([&] {
        const int64_t id = IntField(f, "scr_id");
        const int64_t value = IntField(f, "rate_value");
        const std::string notes = TextField(f, "rate_notes", MaxNotesBytes, MaxNotesBytes);
        const TCaller c = ReadCaller(f);
        RequireIdentity(c);
        auto code = [](int v) { return TServerRowsWriter().Row().Field("res_code", v).Text(); };
        // Soft refusals keep the protocol's return codes: -1 no such
        // scenario, -2 a value outside -1..5.
        if (value < -1 || value > 5) return code(-2);
        TTransaction t(db_);
        TStatement exists(db_, "SELECT 1 FROM scripts WHERE id = ?1");
        exists.Bind(1, id);
        if (!exists.Step()) return code(-1);
        if (value == 0) {
            TStatement d(db_,
                         "DELETE FROM script_rates WHERE script_id = ?1 AND rater_mail = ?2 "
                         "AND rater_hwdid = ?3");
            d.Bind(1, id).Bind(2, std::string_view(c.MailKey)).Bind(3, std::string_view(c.HwdId));
            d.Run();
        } else {
            TStatement u(db_, R"(INSERT INTO script_rates(script_id, rater_mail, rater_hwdid,
  cl_name, lcid, app_name, app_ver, rate, notes, created)
  VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)
  ON CONFLICT(script_id, rater_mail, rater_hwdid) DO UPDATE SET cl_name = excluded.cl_name,
  lcid = excluded.lcid, app_name = excluded.app_name, app_ver = excluded.app_ver,
  rate = excluded.rate, notes = excluded.notes, created = excluded.created)");
            u.Bind(1, id).Bind(2, std::string_view(c.MailKey)).Bind(3, std::string_view(c.HwdId));
            u.Bind(4, std::string_view(c.Name)).Bind(5, c.Lcid);
            u.Bind(6, std::string_view(ApplicationName(c.AppId))).Bind(7, std::string_view(c.AppVer));
            u.Bind(8, value).Bind(9, std::string_view(value > 0 ? notes : std::string()));
            u.Bind(10, Now()).Run();
        }
        t.Commit();
        return code(0);
    });
}

std::string TCatalogue::ScriptRates(const TFormFields& f) {
    return Answer([&] {
        const int64_t id = IntField(f, "scr_id");
        TStatement q(db_, R"(SELECT cl_name, rate, created, app_name, app_ver, notes
  FROM script_rates WHERE script_id = ?1 AND rate > 0 ORDER BY created DESC, rowid DESC)");
        q.Bind(1, id);
        TServerRowsWriter w;
        while (q.Step()) {
            w.Row()
                .Field("key_cl_name", q.Text(0))
                .Field("rate", q.Int(1))
                .Field("created", FormatUtc(q.Int(2)))
                .Field("app_name", q.Text(3))
                .Field("app_ver", q.Text(4))
                .Field("notes", q.Text(5));
        }
        return w.Text();
    });
}

// ---- systems --------------------------------------------------------------

std::string TCatalogue::SystemList(const TFormFields& f) {
    return Answer([&] {
        const int64_t comblen = IntFieldOr(f, "comblen", 6);
        const int64_t maxnums = IntFieldOr(f, "maxnums", 42);
        ReadCaller(f);  // checks the sizes of what was sent
        TStatement q(db_, R"(SELECT id, nums, olap, csize, title, author, cl_mail, descr, created,
  downloads, last_download, url FROM systems WHERE clen = ?1 AND nums <= ?2
  ORDER BY nums, olap, id)");
        q.Bind(1, comblen).Bind(2, maxnums);
        TServerRowsWriter w;
        while (q.Step()) {
            w.Row()
                .Field("id", q.Int(0))
                .Field("nums", q.Int(1))
                .Field("olap", q.Int(2))
                .Field("csize", q.Int(3))
                .Base64Field("title", q.Text(4))
                .Field("author", q.Text(5))
                .Field("cl_mail", q.Text(6))
                .Base64Field("descr", q.Text(7))
                .Field("created", FormatUtc(q.Int(8)))
                .Field("downloads", q.Int(9))
                .Field("last_download", FormatUtc(q.Int(10)))
                .Field("url", q.Text(11));
        }
        return w.Text();
    });
}

std::string TCatalogue::SystemData(const TFormFields& f) {
    return Answer([&] {
        const int64_t id = IntField(f, "sys_id");
        TTransaction t(db_);
        TStatement q(db_, "SELECT clist FROM systems WHERE id = ?1");
        q.Bind(1, id);
        if (!q.Step()) throw Refused(fmt::format("Система #{} не найдена", id));
        const std::string clist = q.Text(0);
        TStatement u(db_,
                     "UPDATE systems SET downloads = downloads + 1, last_download = ?2 "
                     "WHERE id = ?1");
        u.Bind(1, id).Bind(2, Now()).Run();
        t.Commit();
        return TServerRowsWriter().Row().Base64Field("clist", clist).Text();
    });
}

std::string TCatalogue::PutSystem(const TFormFields& f) {
    return Answer([&] {
        const int64_t del = IntField(f, "del_mode");
        const int64_t id = IntField(f, "sys_id");
        const TCaller c = ReadCaller(f);
        RequireIdentity(c);
        TTransaction t(db_);
        if (del == 1) {
            CheckOwner(db_, "systems", "Система", id, c);
            TStatement d(db_, "DELETE FROM systems WHERE id = ?1");
            d.Bind(1, id).Run();
            t.Commit();
            return TServerRowsWriter().Row().Field("id_systems", 0).Text();
        }
        if (del != 0) throw Refused(fmt::format("Неизвестный режим {}", del));
        const int64_t nums = IntField(f, "nums");
        const int64_t clen = IntField(f, "clen");
        const int64_t olap = IntField(f, "olap");
        const int64_t csize = IntField(f, "csize");
        const std::string title(Trim(TextField(f, "title", MaxTitleChars)));
        const std::string descr = TextField(f, "descr", MaxDescrBytes, MaxDescrBytes);
        const std::string url = RawField(f, "url", MaxUrlBytes);
        std::string clist;
        try {
            clist = UnescapeText(Base64DecodeStrict(RawField(f, "clist", MaxScriptBytes * 2)));
        } catch (const Error& e) {
            throw Refused(std::string("Список комбинаций: ") + e.what());
        }
        if (title.empty()) throw Refused("Название системы должно быть указано обязательно!");
        if (c.Name.empty()) throw Refused("Имя автора должно быть указано обязательно!");
        if (clen != 6) throw Refused("Поддерживаются только комбинации из 6 чисел");
        if (nums < 7 || nums > 42)
            throw Refused("Указано недопустмое количество используемых чисел!");
        if (olap < 0 || olap > 5) throw Refused("Указан недопустмый размер блока!");
        const int lines = CheckSystemLines(clist, nums);
        if (lines == 0) throw Refused("Содержимое системы должно быть указано обязательно!");
        if (lines != csize)
            throw Refused(fmt::format(
                "Количество комбинаций ( {} ) отличается от указанного значения ( {} )", lines,
                csize));
        int64_t result = id;
        if (id > 0) {
            CheckOwner(db_, "systems", "Система", id, c);
            TStatement u(db_, R"(UPDATE systems SET author = ?2, cl_mail = ?3, lcid = ?4,
  app_guid = ?5, app_ver = ?6, nums = ?7, clen = ?8, olap = ?9, csize = ?10, title = ?11,
  descr = ?12, clist = ?13, url = ?14, created = ?15 WHERE id = ?1)");
            u.Bind(1, id).Bind(2, std::string_view(c.Name)).Bind(3, std::string_view(c.Mail));
            u.Bind(4, c.Lcid).Bind(5, std::string_view(c.AppId)).Bind(6, std::string_view(c.AppVer));
            u.Bind(7, nums).Bind(8, clen).Bind(9, olap).Bind(10, csize);
            u.Bind(11, std::string_view(title)).Bind(12, std::string_view(descr));
            u.Bind(13, std::string_view(clist)).Bind(14, std::string_view(url)).Bind(15, Now());
            u.Run();
        } else {
            TStatement i(db_, R"(INSERT INTO systems(owner_mail, owner_hwdid, author, cl_mail,
  lcid, app_guid, app_ver, nums, clen, olap, csize, title, descr, clist, url, created)
  VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16))");
            i.Bind(1, std::string_view(c.MailKey)).Bind(2, std::string_view(c.HwdId));
            i.Bind(3, std::string_view(c.Name)).Bind(4, std::string_view(c.Mail)).Bind(5, c.Lcid);
            i.Bind(6, std::string_view(c.AppId)).Bind(7, std::string_view(c.AppVer));
            i.Bind(8, nums).Bind(9, clen).Bind(10, olap).Bind(11, csize);
            i.Bind(12, std::string_view(title)).Bind(13, std::string_view(descr));
            i.Bind(14, std::string_view(clist)).Bind(15, std::string_view(url)).Bind(16, Now());
            i.Run();
            result = db_.LastInsertId();
        }
        t.Commit();
        return TServerRowsWriter().Row().Field("id_systems", result).Text();
    });
}

}  // namespace tessara::server
