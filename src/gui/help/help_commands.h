#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class CommandTable;
class QWidget;

// The commands of the "Справка" menu that open the help: GetHelp (F1) on
// the page of the active tab, and the links to the chapters of the manual.
class HelpCommands {
  public:
    // activePage: the help page of the tab or list the user works in.
    HelpCommands(CommandTable& commands, QWidget* window, std::function<QString()> activePage);

    // The chapter links, in menu order.
    static QStringList MenuNames();
    // The help page of a tab by its caption; the contents for any other.
    static QString PageOfTab(const QString& caption);

  private:
    void Open(const QString& page);

    QWidget* window_;
    std::function<QString()> activePage_;
};
