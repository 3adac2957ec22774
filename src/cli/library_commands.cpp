// tessara-cli library ...: the online scenario catalogue.
#include <algorithm>
#include <ostream>

#include <fmt/format.h>

#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"
#include "model/files.h"
#include "online/server_rows.h"
#include "scenario/script_line.h"

namespace tessara::cli {

namespace {

bool ReadLines(CommandContext& c, const std::string& path, std::vector<std::string>& lines) {
    try {
        lines = ParseScenarioText(ReadFileBytes(path));
        return true;
    } catch (const Error& e) {
        c.Err << "Ошибка: " << ConsoleText("Ошибка чтения файла \"" + path + "\"!\r\r" + e.what())
              << "\n";
        return false;
    }
}

bool ParseId(CommandContext& c, const std::string& text, int32_t& id) {
    if (ParseInt32(text, id) && id > 0) return true;
    c.Err << "Ошибка: неверный номер сценария \"" << text << "\"\n";
    return false;
}

// The workspace with the catalogue ready: no server address means the one
// message and exit code 1.
std::unique_ptr<Workspace> OpenLibrary(CommandContext& c, ConsoleHost& host) {
    auto ws = c.OpenWorkspace(host);
    if (!ws) return nullptr;
    if (!ws->Library().RequireServer()) return nullptr;
    return ws;
}

int Usage(CommandContext& c, const char* usage) {
    c.Err << "Использование: library " << usage << "\n";
    return 2;
}

int List(CommandContext& c) {
    const std::string filterText = c.TakeOption("--filter", "");
    if (!c.Args.empty()) return Usage(c, "list [--filter N]");
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    ScriptLibrary& lib = ws->Library();
    int32_t filter = lib.FilterIndex() - 1;
    if (!filterText.empty() && (!ParseInt32(filterText, filter) || filter < -1 || filter > 6)) {
        c.Err << "Ошибка: фильтр задаётся числом от -1 до 6\n";
        return 2;
    }
    std::vector<tScriptInfo> entries;
    if (!lib.GetScriptList(filter, UiLanguage, entries)) return 1;
    // The view's default order: by rating, ascending.
    std::stable_sort(entries.begin(), entries.end(), [](const tScriptInfo& a, const tScriptInfo& b) {
        return a.ratingAvg < b.ratingAvg;
    });
    c.Out << "ID";
    for (const std::string& caption : ScriptColumnCaptions()) c.Out << '\t' << caption;
    c.Out << '\n';
    for (const tScriptInfo& s : entries) {
        c.Out << s.id;
        for (int col = 0; col < ScriptColumnCount; ++col) {
            std::string cell = ScriptCellText(s, col);
            std::replace_if(cell.begin(), cell.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
            c.Out << '\t' << cell;
        }
        c.Out << '\n';
    }
    return 0;
}

int Get(CommandContext& c) {
    const std::string out = c.TakeOption("--out", "");
    int32_t id = 0;
    if (c.Args.size() != 1) return Usage(c, "get ID [--out ФАЙЛ.lsc]");
    if (!ParseId(c, c.Args[0], id)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    ScriptLibrary& lib = ws->Library();
    if (!lib.FocusEntry(id)) return 1;
    if (!lib.CanDownload()) {
        c.Err << "Ошибка: сценарий #" << id << " создан в другой программе и не может быть загружен\n";
        return 1;
    }
    if (out.empty()) {
        if (!lib.DownloadFocused()) return 1;
        c.Out << "Сценарий #" << id << " загружен в текущий сценарий (" << ws->Scenario().size()
              << " строк)\n";
        return 0;
    }
    std::vector<std::string> lines;
    if (!lib.GetScriptData(id, lines)) return 1;
    try {
        WriteFileAtomic(out, FormatScenarioText(lines));
    } catch (const Error& e) {
        host.ShowError(fmt::format("Ошибка записи в файл \"{}\"!\r\r{}", out, e.what()));
        return 1;
    }
    c.Out << "Сценарий #" << id << " сохранён в \"" << out << "\" (" << lines.size() << " строк)\n";
    return 0;
}

// The properties of a publication as the dialog would check them.
bool CheckData(ScriptLibrary& lib, const tScriptData& data) {
    return lib.CheckPublicFields(data.id, data.title, data.authorName) == TScrPublicField::None;
}

int Publish(CommandContext& c) {
    const char* usage = "publish ФАЙЛ.lsc --title T [--descr D] [--private] [--universal]";
    const bool hasTitle = c.HasOption("--title");
    const std::string title = c.TakeOption("--title", "");
    const std::string descr = c.TakeOption("--descr", "");
    const bool priv = c.TakeFlag("--private");
    const bool uni = c.TakeFlag("--universal");
    if (c.Args.size() != 1 || !hasTitle) return Usage(c, usage);
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    std::vector<std::string> lines;
    if (!ReadLines(c, c.Args[0], lines)) return 1;
    if (lines.empty()) {
        host.ShowError("Файл \"" + c.Args[0] + "\" не содержит строк сценария");
        return 1;
    }
    ScriptLibrary& lib = ws->Library();
    tScriptData data = lib.NewScriptData();
    data.title = std::string(Trim(title));
    data.description = descr;
    data.isPublic = priv ? 0 : 1;
    data.universal = uni ? 1 : 0;
    if (!CheckData(lib, data)) return 1;
    if (!lib.Publish(data, &lines)) return 1;
    c.Out << "Опубликован сценарий #" << lib.FocusedId() << " \"" << data.title << "\"\n";
    return 0;
}

int Replace(CommandContext& c) {
    const bool hasTitle = c.HasOption("--title");
    const std::string title = c.TakeOption("--title", "");
    const bool hasDescr = c.HasOption("--descr");
    const std::string descr = c.TakeOption("--descr", "");
    int32_t id = 0;
    if (c.Args.size() != 2) return Usage(c, "replace ID ФАЙЛ.lsc [--title T] [--descr D]");
    if (!ParseId(c, c.Args[0], id)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    std::vector<std::string> lines;
    if (!ReadLines(c, c.Args[1], lines)) return 1;
    if (lines.empty()) {
        host.ShowError("Файл \"" + c.Args[1] + "\" не содержит строк сценария");
        return 1;
    }
    ScriptLibrary& lib = ws->Library();
    if (!lib.FocusEntry(id)) return 1;
    if (!lib.CanDelete()) {
        host.ShowError(fmt::format("Сценарий #{} не Ваш: изменять можно только свои сценарии", id));
        return 1;
    }
    tScriptData data = lib.FocusedScriptData();
    if (hasTitle) data.title = std::string(Trim(title));
    if (hasDescr) data.description = descr;
    if (!CheckData(lib, data)) return 1;
    if (!lib.ReplaceFocused(data, &lines)) return 1;
    c.Out << "Сценарий #" << id << " изменён\n";
    return 0;
}

int Delete(CommandContext& c) {
    // The answer to the deletion question may follow the command, as written.
    if (c.TakeFlag("--yes")) c.Yes = true;
    int32_t id = 0;
    if (c.Args.size() != 1) return Usage(c, "delete ID --yes");
    if (!ParseId(c, c.Args[0], id)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    ScriptLibrary& lib = ws->Library();
    if (!lib.FocusEntry(id)) return 1;
    if (!lib.CanDelete()) {
        host.ShowError(fmt::format("Сценарий #{} не Ваш: удалять можно только свои сценарии", id));
        return 1;
    }
    if (!lib.DeleteFocused()) return 1;
    c.Out << "Сценарий #" << id << " удалён\n";
    return 0;
}

// Rating, unrating and hiding share their way.
int SendRate(CommandContext& c, int32_t id, int32_t value, const std::string& notes) {
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    ScriptLibrary& lib = ws->Library();
    if (!lib.FocusEntry(id)) return 1;
    if (!lib.RateFocused(value, notes)) return 1;
    c.Out << (value > 0 ? fmt::format("Сценарий #{} оценён: {}\n", id, value)
                        : value == 0 ? fmt::format("Оценка сценария #{} удалена\n", id)
                                     : fmt::format("Сценарий #{} скрыт\n", id));
    return 0;
}

int Rate(CommandContext& c) {
    const std::string notes = c.TakeOption("--notes", "");
    int32_t id = 0, value = 0;
    if (c.Args.size() != 2) return Usage(c, "rate ID 1..5 [--notes ТЕКСТ]");
    if (!ParseId(c, c.Args[0], id)) return 2;
    if (!ParseInt32(c.Args[1], value) || value < 1 || value > 5) {
        c.Err << "Ошибка: оценка задаётся числом от 1 до 5\n";
        return 2;
    }
    return SendRate(c, id, value, notes);
}

int Unrate(CommandContext& c) {
    int32_t id = 0;
    if (c.Args.size() != 1) return Usage(c, "unrate ID");
    if (!ParseId(c, c.Args[0], id)) return 2;
    return SendRate(c, id, 0, {});
}

int Hide(CommandContext& c) {
    int32_t id = 0;
    if (c.Args.size() != 1) return Usage(c, "hide ID");
    if (!ParseId(c, c.Args[0], id)) return 2;
    return SendRate(c, id, -1, {});
}

int Rates(CommandContext& c) {
    int32_t id = 0;
    if (c.Args.size() != 1) return Usage(c, "rates ID");
    if (!ParseId(c, c.Args[0], id)) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = OpenLibrary(c, host);
    if (!ws) return 1;
    std::vector<TScriptRate> rates;
    if (!ws->Library().GetScriptRates(id, rates)) return 1;
    c.Out << "Имя\tОценка\tДата\tПрограмма\tВерсия\tКомментарии\n";
    for (const TScriptRate& r : rates) {
        std::string notes = r.Notes;
        std::replace_if(notes.begin(), notes.end(), [](char ch) { return ch == '\t' || ch == '\r' || ch == '\n'; }, ' ');
        c.Out << r.Name << '\t' << r.Rate << '\t' << r.Created << '\t' << r.AppName << '\t'
              << r.AppVersion << '\t' << notes << '\n';
    }
    return 0;
}

}  // namespace

const std::vector<Command>& LibraryCommands() {
    static const std::vector<Command> commands = {
        {"library", "list", "[--filter N]", List},
        {"library", "get", "ID [--out ФАЙЛ.lsc]", Get},
        {"library", "publish", "ФАЙЛ.lsc --title T [--descr D] [--private] [--universal]", Publish},
        {"library", "replace", "ID ФАЙЛ.lsc [--title T] [--descr D]", Replace},
        {"library", "delete", "ID --yes", Delete},
        {"library", "rate", "ID 1..5 [--notes ТЕКСТ]", Rate},
        {"library", "unrate", "ID", Unrate},
        {"library", "hide", "ID", Hide},
        {"library", "rates", "ID", Rates},
    };
    return commands;
}

}  // namespace tessara::cli
