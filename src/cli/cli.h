#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "base/host.h"
#include "app/workspace.h"

namespace tessara::cli {

// The console host: messages go to the error stream, questions are answered
// by the --yes flag (No otherwise), status texts are not shown.
class ConsoleHost : public Host {
public:
    ConsoleHost(std::ostream& err, bool yes) : err_(err), yes_(yes) {}
    void ShowStatus(const std::string&) override {}
    void ShowMessage(MessageKind kind, const std::string& text) override;
    bool Confirm(const std::string& text) override;
    bool ErrorShown() const { return errorShown_; }

private:
    std::ostream& err_;
    bool yes_;
    bool errorShown_ = false;
};

// What a command receives: its own arguments (after the group and command
// names), the streams and the global options.
struct CommandContext {
    std::vector<std::string> Args;
    std::ostream& Out;
    std::ostream& Err;
    std::string DataDir;
    bool Yes = false;
    // "group name parameters", for the usage line after a refusal.
    std::string Usage;
    // An option named last without its value, refused by ExpectArgs.
    std::string MissingValue;

    // Opens the workspace of the data folder the way the desktop program
    // does: game tables, the exclusive hold, view options, the archive.
    // Null when the folder is held by another copy.
    std::unique_ptr<Workspace> OpenWorkspace(ConsoleHost& host) const;
    // The same for a command that only reads: the stakes file is opened for
    // reading without the hold, so it works while the window has the
    // folder. Every file it reads is replaced whole by its writer, except a
    // stake record rewritten in place, which shows its old or its new state.
    std::unique_ptr<Workspace> OpenReadOnly(ConsoleHost& host) const;
    // OpenWorkspace, then the combination list the window starts with,
    // generated with the configuration's parameters (the start list of a
    // scenario line and the sample of a stake read it).
    std::unique_ptr<Workspace> OpenWithList(ConsoleHost& host) const;

    // Refusals of the arguments: each prints "Ошибка: " and the reason, then
    // the usage line, and returns the exit code of a bad command line.
    int Refuse(const std::string& reason) const;
    // Reads an integer lo..hi; otherwise refuses, naming the argument.
    bool ReadInt(const std::string& name, const std::string& text, int lo, int hi, int& value) const;
    // After the options are taken: between min and max arguments remain and
    // none of them looks like an option; otherwise refuses with the first
    // missing or extra one. names are the missing arguments' names in order.
    bool ExpectArgs(size_t min, size_t max, const std::vector<std::string>& names) const;
    // Value of "--name VALUE" among Args (removed from them), or def.
    std::string TakeOption(const std::string& name, const std::string& def);
    bool TakeFlag(const std::string& name);
    bool HasOption(const std::string& name) const;
};

using CommandFn = int (*)(CommandContext&);

struct Command {
    const char* Group;
    const char* Name;
    const char* Usage;
    CommandFn Run;
};

// The command groups register their rows here.
const std::vector<Command>& DrawsCommands();
const std::vector<Command>& DemoCommands();
const std::vector<Command>& ConfigCommands();
const std::vector<Command>& StatsCommands();
const std::vector<Command>& PrefetchCommands();
const std::vector<Command>& ScenarioCommands();
const std::vector<Command>& CombsCommands();
const std::vector<Command>& StakesCommands();
const std::vector<Command>& RatingsCommands();
// draws download and the proxy group.
const std::vector<Command>& OnlineCommands();
const std::vector<Command>& RegularsCommands();
const std::vector<Command>& GraphsCommands();
// views card/layout/layout-compare/week and combs filter-numbers.
const std::vector<Command>& NumberViewsCommands();
const std::vector<Command>& LibraryCommands();
// views graph, views repeats, views sums.
const std::vector<Command>& ViewsGraphCommands();
// The systems catalogue, the system game and the wheel check.
const std::vector<Command>& SystemsCommands();
// update check/install: the self-update.
const std::vector<Command>& UpdateCommands();
// export draws|combs|stakes|ratings|stats|card|layout: spreadsheet files.
const std::vector<Command>& ExportCommands();

// Runs a command line (without the program name); returns the exit code.
int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Text of a message as printed on the console: "\r" line breaks (and the
// "\r\n" of text files) become "\n".
std::string ConsoleText(const std::string& text);

}  // namespace tessara::cli
