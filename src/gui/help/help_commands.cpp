#include "help/help_commands.h"

#include <map>

#include "help/form_help.h"
#include "main/command_table.h"

namespace {

const QString kCategory = QStringLiteral("Справка");

// The chapters of the manual; they stand where the maker's web pages were.
struct Chapter {
    const char* Name;
    const char* Caption;
    const char* Page;
};
const Chapter kChapters[] = {
    {"HelpManual", "Руководство пользователя", "index.htm"},
    {"HelpArchive", "Архив тиражей и загрузка", "archive.htm"},
    {"HelpStatistics", "Статистики и фильтры", "statistics.htm"},
    {"HelpScenarios", "Сценарии", "scenario.htm"},
    {"HelpStakes", "Ставки и рейтинг", "stakes.htm"},
    {"HelpSystems", "Системы и проверка гарантий", "systems.htm"},
    {"HelpOnline", "Online-сервисы", "online.htm"},
    {"HelpCommandLine", "Командная строка", "cli.htm"},
};

}  // namespace

HelpCommands::HelpCommands(CommandTable& commands, QWidget* window,
                           std::function<QString()> activePage)
    : window_(window), activePage_(std::move(activePage)) {
    commands.Add({.Name = QStringLiteral("GetHelp"),
                  .Caption = QStringLiteral("Справка"),
                  .Shortcut = QKeySequence(Qt::Key_F1),
                  .Category = kCategory,
                  .Handler = [this] { Open(activePage_ ? activePage_() : QString()); },
                  .Enabled = [] { return TFormHelp::Present(); },
                  .Hint = QStringLiteral("Справка по текущему разделу программы")});
    for (const Chapter& c : kChapters) {
        const QString page = QString::fromUtf8(c.Page);
        commands.Add({.Name = QString::fromUtf8(c.Name),
                      .Caption = QString::fromUtf8(c.Caption),
                      .Category = kCategory,
                      .Handler = [this, page] { Open(page); },
                      .Enabled = [] { return TFormHelp::Present(); },
                      .Hint = QStringLiteral("Открыть раздел справки \"%1\"")
                                  .arg(QString::fromUtf8(c.Caption))});
    }
}

QStringList HelpCommands::MenuNames() {
    QStringList names;
    for (const Chapter& c : kChapters) names << QString::fromUtf8(c.Name);
    return names;
}

QString HelpCommands::PageOfTab(const QString& caption) {
    static const std::map<QString, QString> pages = {
        {QStringLiteral("Архив тиражей"), QStringLiteral("archive.htm")},
        {QStringLiteral("Комбинации"), QStringLiteral("combinations.htm")},
        {QStringLiteral("Статистика"), QStringLiteral("statistics.htm")},
        {QStringLiteral("Графики"), QStringLiteral("views.htm")},
        {QStringLiteral("Карта"), QStringLiteral("views.htm")},
        {QStringLiteral("Схема"), QStringLiteral("views.htm")},
        {QStringLiteral("Неделя"), QStringLiteral("views.htm")},
        {QStringLiteral("Ставки"), QStringLiteral("stakes.htm")},
        {QStringLiteral("Рейтинг"), QStringLiteral("ratings.htm")},
        {QStringLiteral("Регуляры"), QStringLiteral("regulars.htm")},
        {QStringLiteral("Системы"), QStringLiteral("systems.htm")},
        {QStringLiteral("Сценарий"), QStringLiteral("scenario.htm")},
    };
    const auto it = pages.find(caption);
    return it != pages.end() ? it->second : TFormHelp::ContentsPage();
}

void HelpCommands::Open(const QString& page) { TFormHelp::Open(window_, page); }
