#include "ratings/ratings_commands.h"

#include <QAction>
#include <QActionGroup>
#include <QFileDialog>
#include <QMenu>

#include "main/file_dialogs.h"
#include "app/workspace.h"
#include "main/command_table.h"
#include "ratings/ratings_tab.h"
#include "stakes/stakes_commands.h"

namespace {

// The stakes' category: the rating sums up stakes.
const QString kCategory = QStringLiteral("Ставки");

const char* const kEffModeCaptions[] = {
    "Ожидаемые значения совпадений",
    "Абсолютные значения эффективности",
    "Относительные значения эффективности",
};

QString EffModeName(int mode) { return QStringLiteral("RatingsEffMode%1").arg(mode); }

}  // namespace

RatingsCommands::RatingsCommands(tessara::Workspace& ws, RatingsTab& tab, CommandTable& commands,
                                 std::function<void()> showScenario)
    : ws_(ws), tab_(tab), showScenario_(std::move(showScenario)) {
    Register(commands);
}

void RatingsCommands::FillMenu(QMenu* menu, const CommandTable& commands) {
    commands.FillMenu(menu, RegisteredCommands(commands, {QStringLiteral("StakesGraphOverlap"),
                                                          QStringLiteral("StakesGraphProfits"),
                                                          QStringLiteral("RatingsGraphOverlap")}));
    QMenu* modes = menu->addMenu(QStringLiteral("Эффективность (столбцы E0..n)"));
    modes->setObjectName(QStringLiteral("miRatingsEffMode"));
    for (int mode = 0; mode < 3; ++mode) modes->addAction(commands.Action(EffModeName(mode)));
    menu->addSeparator();
    commands.FillMenu(menu, RegisteredCommands(commands, {QStringLiteral("RatingsRefresh"),
                                                          QStringLiteral("|"),
                                                          QStringLiteral("RatingsToScript"),
                                                          QStringLiteral("|"),
                                                          QStringLiteral("RatingsExport"),
                                                          QStringLiteral("RatingsXlsExport")}));
}

void RatingsCommands::Register(CommandTable& commands) {
    const auto hasRows = [this] { return !ws_.Ratings().Empty(); };
    const auto add = [&](CommandRow row) {
        row.Category = kCategory;
        return commands.Add(std::move(row));
    };
    add({.Name = QStringLiteral("RatingsRefresh"),
         .Caption = QStringLiteral("Обновить рейтинг"),
         .Shortcut = QKeySequence(Qt::Key_F5),
         .Handler = [this] { ws_.RatingsRefresh(); },
         .Enabled = [this] { return ws_.StakesFileOpen(); }});
    add({.Name = QStringLiteral("RatingsExport"),
         .Caption = QStringLiteral("Экспорт рейтинга в CSV-файл"),
         .Handler = [this] { Export(); },
         .Enabled = hasRows});
    add({.Name = QStringLiteral("RatingsToScript"),
         .Caption = QStringLiteral("Добавить в сценарий"),
         .Handler = [this] { ToScript(); },
         .Enabled = [this] { return !tab_.SelectedRows().empty(); }});
    // One mode is on at a time: the items show as radio buttons.
    auto* group = new QActionGroup(&tab_);
    for (int mode = 0; mode < 3; ++mode) {
        QAction* action = add({.Name = EffModeName(mode),
                               .Caption = QString::fromUtf8(kEffModeCaptions[mode]),
                               .Handler = [this, mode] { ws_.SetRatingsEffMode(mode); },
                               .Checked = [this, mode] { return ws_.RatingsEffMode() == mode; }});
        group->addAction(action);
    }
}

QWidget* RatingsCommands::DialogParent() const { return tab_.window(); }

void RatingsCommands::Export() {
    const QString path =
        ChooseFile(DialogParent(), {.Title = QStringLiteral("Экспорт рейтинга в CSV-файл"),
                                    .Filter = QStringLiteral("CSV-файлы (*.csv)"),
                                    .Suffix = QStringLiteral("csv"),
                                    .Save = true});
    if (!path.isEmpty()) ws_.ExportRatings(path.toStdString());
}

void RatingsCommands::ToScript() {
    if (ws_.RatingsToScript(tab_.SelectedRows()) > 0 && showScenario_) showScenario_();
}
