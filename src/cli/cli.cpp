#include "cli.h"

#include <algorithm>
#include <ostream>

#include "model/error.h"
#include "model/files.h"
#include "model/game.h"

namespace tessara::cli {

std::string ConsoleText(const std::string& text) {
    // CR LF (text files) and a lone CR (the messages' "\r\r") both end a line.
    std::string r;
    r.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            r += text[i];
        } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
            r += '\n';
        }
    }
    return r;
}

void ConsoleHost::ShowMessage(MessageKind kind, const std::string& text) {
    if (kind == MessageKind::Error) errorShown_ = true;
    err_ << MessageCaption(kind) << ": " << ConsoleText(text) << "\n";
}

bool ConsoleHost::Confirm(const std::string& text) {
    err_ << ConfirmationCaption << ": " << ConsoleText(text) << " " << (yes_ ? "Да" : "Нет")
         << "\n";
    return yes_;
}

std::unique_ptr<Workspace> CommandContext::OpenWorkspace(ConsoleHost& host) const {
    auto ws = std::make_unique<Workspace>(host, DataDir);
    ws->InitGameTables();
    if (!ws->LoadStakesFile()) return nullptr;
    try {
        ws->LoadViewOptions();
    } catch (const std::exception& e) {
        host.ShowError(std::string("Ошибка загрузки параметров программы!\r\r") + e.what());
    }
    ws->LoadConfig();
    ws->LoadProxySettings();
    ws->RegisterStats();
    ws->LoadDrawsFile();
    return ws;
}

std::unique_ptr<Workspace> CommandContext::OpenReadOnly(ConsoleHost& host) const {
    auto ws = std::make_unique<Workspace>(host, DataDir);
    ws->InitGameTables();
    const std::string stakesPath = ws->PathOf(StakesFileName);
    if (FileExists(stakesPath)) {
        try {
            ws->StakesFile().OpenReadOnly(stakesPath);
        } catch (const Error& e) {
            host.ShowError(std::string("Ошибка чтения файла ставок!\r\r") + e.what());
            return nullptr;
        }
        ws->RefreshStakesGrid(true, false);
    }
    try {
        ws->LoadViewOptions();
    } catch (const std::exception& e) {
        host.ShowError(std::string("Ошибка загрузки параметров программы!\r\r") + e.what());
    }
    ws->LoadConfig();
    ws->LoadProxySettings();
    ws->RegisterStats();
    ws->LoadDrawsFile();
    return ws;
}

std::unique_ptr<Workspace> CommandContext::OpenWithList(ConsoleHost& host) const {
    auto ws = OpenWorkspace(host);
    if (!ws) return nullptr;
    ws->ReserveCombs(ws->TotalCombs(), 0);
    ws->GenerateCombs(false, ws->GenerateDefaults());
    return ws;
}

int CommandContext::Refuse(const std::string& reason) const {
    Err << "Ошибка: " << reason << "\n";
    if (!Usage.empty()) Err << "Использование: " << Usage << "\n";
    return 2;
}

bool CommandContext::ReadInt(const std::string& name, const std::string& text, int lo, int hi,
                             int& value) const {
    int32_t v = 0;
    if (!TryStrToInt(text, v)) {
        Refuse(name + ": \"" + text + "\" не целое число");
        return false;
    }
    if (v < lo || v > hi) {
        Refuse(name + ": " + std::to_string(v) + " вне диапазона " + std::to_string(lo) + ".." +
               std::to_string(hi));
        return false;
    }
    value = v;
    return true;
}

bool CommandContext::ExpectArgs(size_t min, size_t max, const std::vector<std::string>& names) const {
    if (!MissingValue.empty()) {
        Refuse(MissingValue + ": не указано значение");
        return false;
    }
    for (const std::string& a : Args)
        if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            Refuse("неизвестный параметр " + a);
            return false;
        }
    if (Args.size() < min) {
        const size_t missing = Args.size();
        Refuse("не хватает параметра " + (missing < names.size() ? names[missing] : std::string("")));
        return false;
    }
    if (Args.size() > max) {
        Refuse("лишний параметр \"" + Args[max] + "\"");
        return false;
    }
    return true;
}

std::string CommandContext::TakeOption(const std::string& name, const std::string& def) {
    for (size_t i = 0; i + 1 < Args.size(); ++i)
        if (Args[i] == name) {
            std::string v = Args[i + 1];
            Args.erase(Args.begin() + static_cast<std::ptrdiff_t>(i),
                       Args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            return v;
        }
    if (!Args.empty() && Args.back() == name) MissingValue = name;
    return def;
}

bool CommandContext::TakeFlag(const std::string& name) {
    const auto it = std::find(Args.begin(), Args.end(), name);
    if (it == Args.end()) return false;
    Args.erase(it);
    return true;
}

bool CommandContext::HasOption(const std::string& name) const {
    return std::find(Args.begin(), Args.end(), name) != Args.end();
}

namespace {

const std::vector<const std::vector<Command>*>& CommandTables() {
    static const std::vector<const std::vector<Command>*> tables = {
        &DrawsCommands(), &CombsCommands(), &ConfigCommands(), &StatsCommands(), &PrefetchCommands(), &ScenarioCommands(), &StakesCommands(), &RatingsCommands(), &DemoCommands(),
        &RegularsCommands(), &GraphsCommands(),
        &NumberViewsCommands(), &LibraryCommands(),
        &OnlineCommands(), &ViewsGraphCommands(), &SystemsCommands(),
        &UpdateCommands(), &ExportCommands()};
    return tables;
}

void PrintUsage(std::ostream& s) {
    s << "Использование: tessara-cli [--data-dir КАТАЛОГ] [--yes] ГРУППА КОМАНДА [ПАРАМЕТРЫ]\n";
    for (const auto* table : CommandTables())
        for (const Command& c : *table) s << "  " << c.Group << " " << c.Name << " " << c.Usage << "\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> rest;
    std::string dataDir;
    bool yes = false;
    // The global flags may stand before the command or anywhere after it.
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data-dir") {
            if (i + 1 >= args.size()) {
                err << "Ошибка: --data-dir: не указан каталог\n";
                return 2;
            }
            dataDir = args[++i];
        } else if (args[i].starts_with("--data-dir=")) {
            dataDir = args[i].substr(11);
        } else if (args[i] == "--yes" || args[i] == "-y") {
            yes = true;
        } else if (args[i] == "--help" || args[i] == "-h") {
            PrintUsage(out);
            return 0;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() < 2) {
        PrintUsage(err);
        return 2;
    }
    if (dataDir.empty()) dataDir = DefaultDataDir();
    for (const auto* table : CommandTables())
        for (const Command& c : *table)
            if (rest[0] == c.Group && rest[1] == c.Name) {
                CommandContext ctx{{rest.begin() + 2, rest.end()}, out, err, dataDir, yes,
                                   std::string(c.Group) + " " + c.Name + " " + c.Usage, {}};
                while (!ctx.Usage.empty() && ctx.Usage.back() == ' ') ctx.Usage.pop_back();
                return c.Run(ctx);
            }
    err << "Неизвестная команда: " << rest[0] << " " << rest[1] << "\n";
    PrintUsage(err);
    return 2;
}

}  // namespace tessara::cli
