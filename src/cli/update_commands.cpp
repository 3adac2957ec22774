// tessara-cli update ...: the self-update of an installation from the
// update description, without the window.
#include <ostream>
#include <string>

#include "base/ini_file.h"
#include "base/platform.h"
#include "cli.h"
#include "model/error.h"
#include "model/files.h"
#include "online/self_update.h"

namespace tessara::cli {

namespace {

// The console shows no gauge; the offer is printed and installed only when
// --yes answers the question.
class ConsoleUpdateUi : public TSelfUpdateUi {
public:
    ConsoleUpdateUi(std::ostream& out, Host& host) : out_(out), host_(host) {}
    TProgressWindow& Progress() override { return progress_; }
    bool OfferUpdate(const std::string& current, const std::string& offered,
                     const std::string& notes) override {
        PrintOffer(out_, current, offered, notes);
        return host_.Confirm("Установить это обновление?");
    }
    static void PrintOffer(std::ostream& out, const std::string& current, const std::string& offered,
                           const std::string& notes) {
        out << "Текущая версия программы:\t" << current << "\n"
            << "Новая версия программы:\t" << offered << "\n";
        std::string text = ConsoleText(notes);
        while (!text.empty() && text.back() == '\n') text.pop_back();
        if (!text.empty()) out << "Описание версии:\n" << text << "\n";
    }

private:
    TProgressWindow progress_;
    std::ostream& out_;
    Host& host_;
};

struct UpdateArgs {
    std::string Address;
    TSelfUpdateOptions Options;
};

// The options of both commands; false (after the refusal) on a bad line.
bool ReadUpdateArgs(CommandContext& c, ConsoleHost& host, UpdateArgs& a) {
    a.Address = c.TakeOption("--description", "");
    a.Options.InstallDir = c.TakeOption("--install-dir", "");
    if (!c.ExpectArgs(0, 0, {})) return false;
    if (a.Options.InstallDir.empty()) a.Options.InstallDir = ExecutableDir();
    if (a.Address.empty()) {
        TOnlineConfig online;
        try {
            ReadOnlineSection(IniFile::Load(JoinPath(c.DataDir, ConfigFileName)), online);
        } catch (const Error& e) {
            host.ShowError(MsgConfigRead + std::string(e.what()));
            return false;
        }
        a.Address = UpdateDescriptionUrl(online);
        if (a.Address.empty()) {
            host.ShowError(MsgNoUpdateUrl);
            return false;
        }
    }
    return true;
}

int Check(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    UpdateArgs a;
    if (!ReadUpdateArgs(c, host, a)) return host.ErrorShown() ? 1 : 2;
    ConsoleUpdateUi ui(c.Out, host);
    SelfUpdater updater(host, ui, a.Options);
    const int found = updater.Search(a.Address, false);
    if (found == 2) return 1;
    const TUpdateOffer& offer = updater.Offer();
    ConsoleUpdateUi::PrintOffer(c.Out, offer.RunningVersion, offer.Data.VerId,
                                found == 1 ? offer.Notes : std::string());
    return 0;
}

int Install(CommandContext& c) {
    ConsoleHost host(c.Err, c.Yes);
    UpdateArgs a;
    if (!ReadUpdateArgs(c, host, a)) return host.ErrorShown() ? 1 : 2;
    ConsoleUpdateUi ui(c.Out, host);
    SelfUpdater updater(host, ui, a.Options);
    return updater.SelfUpdate(a.Address, false) == 2 ? 1 : 0;
}

}  // namespace

const std::vector<Command>& UpdateCommands() {
    static const std::vector<Command> commands = {
        {"update", "check", "[--description URL|ФАЙЛ] [--install-dir КАТАЛОГ]", Check},
        {"update", "install", "[--yes] [--description URL|ФАЙЛ] [--install-dir КАТАЛОГ]", Install},
    };
    return commands;
}

}  // namespace tessara::cli
