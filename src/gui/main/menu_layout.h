#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class CommandTable;

// The order of the main menu and of the popup menus of the window's lists,
// as command names. "|" is a separator line; "{objectName:Title" opens a
// submenu and "}" closes it.
namespace menu_layout {

struct Menu {
    QString Title;
    QStringList Entries;
};

const QList<Menu>& MainMenu();

// The commands that open the pages of the help, in the order of the
// "Справка" menu; the first opens its contents.
const QStringList& HelpPages();

// The popup menus, by the objectName of the list or chart they belong to.
enum class Popup {
    Draws,        // lvDraws
    Combs,        // lvCombs
    StatTable,    // lvDrawsStat
    StatChart,    // the chart of the statistics tab
    Graphs,       // the graphs tab
    Card,         // sgCard
    Layout,       // sgLayout
    WeekTable,    // sgWeek
    WeekChart,    // the chart of the week tab
};
const QStringList& PopupEntries(Popup popup);

// Every command name that a menu lists, submenus included.
QStringList CommandNames(const QStringList& entries);

// The menus above the first main menu entry of a command, e.g. "Архив
// тиражей > Автозагрузка при запуске программы"; empty when no main menu
// lists it.
QString MenuPath(const QString& command);

// One line per command, tab-separated: name, caption, keys (", " between
// them), category, menu path; for "tessara --list-commands".
QStringList Listing(const CommandTable& commands);

}  // namespace menu_layout
