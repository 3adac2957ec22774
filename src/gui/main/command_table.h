#pragma once

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <vector>

#include "base/host.h"

class QAction;
class QMenu;
class QShortcut;
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

    // The names in the order they were registered.
    const QStringList& Names() const { return order_; }

    // Fills a menu from command names; "|" stands for a separator line, and
    // "{objectName:Title" ... "}" for a submenu. Names not registered leave
    // no entry, and no separator stands first, last or twice.
    void FillMenu(QMenu* menu, const QStringList& names) const;

    // A second key for a command whose key the desktop takes for itself
    // (Alt+F4 closes windows, Ctrl+Alt+F1..F12 switch consoles); menus show
    // both.
    void AddSecondKey(const QString& name, const QKeySequence& key);

    // Keys held by several commands (F7 for the favourites and for the
    // table's filter, Ctrl+Del in every list...) reach the command whose
    // list or tab has the focus, otherwise the one that belongs to the whole
    // window; a command belongs to a list when its shortcut context is
    // bound to that widget. Call once every command is registered.
    void RouteSharedKeys();

    // The command a shared key reaches with the focus where it is now; empty
    // when none does.
    QString RouteTarget(const QKeySequence& key) const;

    // Every key of a command, the written one first.
    QList<QKeySequence> Keys(const QString& name) const;
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
        QList<QKeySequence> Keys;  // the written key first
    };
    // Shows the keys after a tab in the action's text, which menus show as
    // its keys; buttons keep the caption.
    static void ShowKeys(Entry& entry);
    void Run(Entry& entry);
    bool Allowed(const Entry& entry) const;

    struct Route {
        QString Name;
        QWidget* Scope;  // nullptr: the whole window
    };

    tessara::Host& host_;
    QWidget* owner_;
    std::map<QString, Entry> entries_;
    QStringList order_;
    // The shared keys and the commands that hold them.
    std::map<QString, std::vector<Route>> routes_;
    // Commands whose keys the window's routing shortcuts take.
    std::vector<QString> routed_;
    QTimer idleTimer_;
    bool ready_ = false;
};
