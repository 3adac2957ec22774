#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>

#include "base/host.h"

class QAction;
class QMenu;
class QToolButton;
class QWidget;

// One user command. Menus, button panels and popup menus refer to it by name.
struct CommandRow {
    QString Name{};  // also the objectName of its QAction
    QString Caption{};
    QKeySequence Shortcut{};
    QString Category{};
    std::function<void()> Handler{};
    std::function<bool()> Enabled{};  // empty: always (unless busy)
    std::function<bool()> Checked{};  // set for toggles: the check mark follows it
    QString Hint{};
    bool WhileBusy = false;  // the stop of a long run stays usable while busy
};

// The table of all commands of the main window. Each tab registers the rows of
// its own commands; the window assembles menus from them by name.
class CommandTable : public QObject {
    Q_OBJECT
  public:
    // The actions are added to owner so that their shortcuts work anywhere in it.
    CommandTable(tessara::Host& host, QWidget* owner);

    QAction* Add(CommandRow row);
    QAction* Action(const QString& name) const;
    const CommandRow* Row(const QString& name) const;

    // Fills a menu from command names; "|" stands for a separator line.
    void FillMenu(QMenu* menu, const QStringList& names) const;
    QToolButton* MakeButton(const QString& name, QWidget* parent) const;

    // Until the data is loaded every command stays disabled, so that nothing
    // can write over a file that has not been read yet.
    void SetReady(bool ready);

    // Runs a command when its rule allows it; false when it was disabled.
    bool Execute(const QString& name);

    // Evaluates every enabled rule and check mark. Runs on a short timer while
    // the program is idle and right after each command.
    void Update();

  private:
    struct Entry {
        CommandRow Row;
        QAction* Action;
    };
    void Run(Entry& entry);
    bool Allowed(const Entry& entry) const;

    tessara::Host& host_;
    QWidget* owner_;
    std::map<QString, Entry> entries_;
    QTimer idleTimer_;
    bool ready_ = false;
};
