#include "online/update_commands.h"

#include "base/platform.h"
#include "base/view_keys.h"
#include "main/command_table.h"
#include "model/error.h"
#include "online/form_progress.h"
#include "online/form_self_update.h"

UpdateCommands::UpdateCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window,
                               std::function<void()> restart)
    : QObject(window), ws_(ws), window_(window), restart_(std::move(restart)) {
    options_.InstallDir = tessara::ExecutableDir();
    commands.Add({.Name = QStringLiteral("AutoSelfUpdate"),
                  .Caption = QStringLiteral("Автоматическое обновление"),
                  .Category = QStringLiteral("Автообновление"),
                  .Handler = [this] { SetAutoUpdates(!AutoUpdatesOn()); },
                  .Checked = [this] { return AutoUpdatesOn(); },
                  .Hint = QStringLiteral("Автоматическое обновление программы при запуске")});
    commands.Add({.Name = QStringLiteral("CheckUpdate"),
                  .Caption = QStringLiteral("Поиск обновлений"),
                  .Category = QStringLiteral("Автообновление"),
                  .Handler =
                      [this] {
                          if (Check(false) == 1 && restart_) restart_();
                      },
                  .Hint = QStringLiteral("Искать обновления программы через интернет")});
}

UpdateCommands::~UpdateCommands() = default;

int UpdateCommands::Check(bool silent) {
    return tessara::SelfUpdate(ws_.Online().Settings(), silent, ws_.GetHost(), *this, options_);
}

tessara::TProgressWindow& UpdateCommands::Progress() {
    if (!progress_) progress_ = std::make_unique<TFormProgress>(window_);
    return *progress_;
}

bool UpdateCommands::OfferUpdate(const std::string& current, const std::string& offered,
                                 const std::string& notes) {
    TFormSelfUpdate form(current, offered, notes, window_);
    return form.exec() == QDialog::Accepted;
}

bool UpdateCommands::AutoUpdatesOn() const {
    try {
        return ws_.View().ReadBool(tessara::MainWindowSection, "AutoUpdates",
                                   tessara::MainViewDefault("AutoUpdates"));
    } catch (const std::exception&) {
        return tessara::MainViewDefault("AutoUpdates") != 0;
    }
}

void UpdateCommands::SetAutoUpdates(bool on) {
    try {
        ws_.View().WriteBool(tessara::MainWindowSection, "AutoUpdates", on);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}
