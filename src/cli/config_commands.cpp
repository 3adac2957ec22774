// tessara-cli config ...: the configuration file without the dialog.
#include <fmt/format.h>
#include <ostream>
#include <regex>

#include "base/config.h"
#include "cli.h"
#include "model/encoding.h"
#include "model/error.h"

namespace tessara::cli {

namespace {

bool KnownKey(const std::string& section, const std::string& key) {
    static const std::vector<std::pair<std::string, std::regex>> keys = {
        {"GLOBAL", std::regex("MatrixCols|MatrixSegments|ChannelSize|CombsGenerateMode|"
                              "CombsGenerateParameters", std::regex::icase)},
        {"STAKES", std::regex("Cost|MaxStake|Profits|Profit_[0-9]+_(Overlap|Profit)",
                              std::regex::icase)},
        {"CDL", std::regex("Count|Deviation|Level|UsePercents|UseAbsValues", std::regex::icase)},
        {"SHREDDING", std::regex("Formula[1-3](Digits)?", std::regex::icase)},
        {"PROXY", std::regex("ProxyMode|ProxyServer|ProxyPort|ProxyUsername|ProxyPassword",
                             std::regex::icase)},
        {"ONLINE", std::regex("DrawsSite|ProxyListUrl|ServerUrl|UserName|UserMail|InstallId|UpdateUrl",
                              std::regex::icase)},
    };
    for (const auto& [s, re] : keys)
        if (SameTextIgnoreCase(s, section)) return std::regex_match(key, re);
    return false;
}

// The effective configuration in the file's own form.
IniFile Effective(const Workspace& ws) {
    IniFile ini;
    WriteConfigSections(ini, ws.Config());
    WriteGenerateDefaults(ini, ws.GenerateDefaults());
    WriteShreddingSection(ini, ws.Shredding());
    WriteProxySection(ini, ws.Proxy());
    WriteOnlineSection(ini, ws.Online().Settings());
    return ini;
}

int Show(CommandContext& c) {
    if (!c.ExpectArgs(0, 0, {})) return 2;
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenReadOnly(host);
    if (!ws) return 1;
    std::string text = Cp1251ToUtf8(Effective(*ws).Serialize());
    std::erase(text, '\r');
    c.Out << text;
    return host.ErrorShown() ? 1 : 0;
}

int Set(CommandContext& c) {
    // A value may itself begin with "-" (a formula such as "-n1/8").
    static const char* const kNames[] = {"РАЗДЕЛ", "КЛЮЧ", "ЗНАЧЕНИЕ"};
    if (c.Args.size() < 3) return c.Refuse(std::string("не хватает параметра ") + kNames[c.Args.size()]);
    if (c.Args.size() > 3) return c.Refuse("лишний параметр \"" + c.Args[3] + "\"");
    const std::string& section = c.Args[0];
    const std::string& key = c.Args[1];
    const std::string& value = c.Args[2];
    if (!KnownKey(section, key)) {
        c.Err << "Ошибка: неизвестный ключ [" << section << "] " << key << "\n";
        return 2;
    }
    // A line break would write lines of its own into the file.
    for (unsigned char ch : value)
        if (ch < 0x20 || ch == 0x7F) {
            c.Err << "Ошибка: значение содержит управляющие символы\n";
            return 2;
        }
    ConsoleHost host(c.Err, c.Yes);
    auto ws = c.OpenWorkspace(host);
    if (!ws) return 1;
    const std::string path = ws->PathOf(ConfigFileName);
    try {
        IniFile ini = IniFile::Load(path);
        // Loading stops at a broken line, so a rewrite would drop it and
        // everything after it, or make values count that were never read.
        if (ini.BrokenLine() != 0)
            throw Error(fmt::format("Строка {}: \"{}\"", ini.BrokenLine(), ini.BrokenText()));
        ini.WriteString(section, key, value);
        // The new value must read back before the file changes.
        TConfigData config;
        TCombsGenerateParams gen;
        TShreddingConfig shredding;
        TProxy proxy;
        ReadGenerateDefaults(ini, gen);
        ReadConfigSections(ini, config);
        ReadShreddingSection(ini, shredding);
        ReadProxySection(ini, proxy);
        TOnlineConfig online;
        ReadOnlineSection(ini, online);
        ini.Save(path);
    } catch (const Error& e) {
        host.ShowError(MsgConfigWrite + std::string(e.what()));
        return 1;
    }
    return 0;
}

}  // namespace

const std::vector<Command>& ConfigCommands() {
    static const std::vector<Command> commands = {
        {"config", "show", "", Show},
        {"config", "set", "РАЗДЕЛ КЛЮЧ ЗНАЧЕНИЕ", Set},
    };
    return commands;
}

}  // namespace tessara::cli
