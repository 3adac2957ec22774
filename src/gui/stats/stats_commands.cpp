#include "stats/stats_commands.h"

#include "app/workspace.h"
#include "help/form_help.h"
#include "main/command_table.h"
#include "stats/form_filters.h"
#include "stats/stat_selectors.h"

namespace {

const QString kCategory = QStringLiteral("Статистика");
constexpr const char* kAskReset = "Вы действительно хотите сбросить список избранных фильтров?";

}  // namespace

StatsCommands::StatsCommands(tessara::Workspace& ws, StatSelectors& selectors,
                             CommandTable& commands, QWidget* dialogParent)
    : ws_(ws), selectors_(selectors), dialogParent_(dialogParent) {
    Register(commands);
}

void StatsCommands::Register(CommandTable& commands) {
    commands.Add({.Name = QStringLiteral("FiltersManager"),
                  .Caption = QStringLiteral("Избранные статистики"),
                  .Shortcut = QKeySequence(Qt::Key_F7),
                  .Category = kCategory,
                  .Handler = [this] { Manager(); }});
    commands.Add({.Name = QStringLiteral("FiltersReset"),
                  .Caption = QStringLiteral("Все доступные статистики"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F7),
                  .Category = kCategory,
                  .Handler = [this] { Reset(); }});
    commands.Add({.Name = QStringLiteral("FiltersInfo"),
                  .Caption = QStringLiteral("Описание статистики"),
                  .Shortcut = QKeySequence(Qt::Key_F8),
                  .Category = kCategory,
                  .Handler = [this] { Info(); },
                  .Enabled = [this] { return selectors_.SelectedStat() >= 0; }});
}

void StatsCommands::Manager() {
    if (!TFormFilters::Edit(dialogParent_, ws_)) return;
    // Re-registration saves the favourites file first.
    selectors_.Refill(true, false);
    ws_.GetHost().RefreshViews(false);
}

void StatsCommands::Reset() {
    if (!ws_.GetHost().Confirm(kAskReset)) return;
    ws_.Stats().SetAllFavourites();
    ws_.SaveFavourites();
    selectors_.Refill(true, false);
}

void StatsCommands::Info() {
    const int method = selectors_.SelectedStat();
    if (method < 0 || method >= ws_.Stats().Count()) return;
    TFormHelp::Open(dialogParent_, QString::fromStdString(ws_.Stats().HelpTopic(method)));
}
