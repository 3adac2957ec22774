#pragma once

#include <QStringList>

class CardTab;
class CommandTable;
class LayoutTab;
class QTabWidget;
class QWidget;
class WeekTab;

namespace tessara {
class Workspace;
}

// The three number views of the right side ("Карта", "Схема", "Неделя"):
// builds their pages, registers the commands that show and hide them, and
// passes the window's view refresh on to the ones the user looks at.
class NumberViews {
  public:
    NumberViews(tessara::Workspace& ws, CommandTable& commands, QTabWidget* tabs);

    CardTab* Card() const { return card_; }
    LayoutTab* Layout() const { return layout_; }
    WeekTab* Week() const { return week_; }

    // Once the pages are in the tab control and the view-state file is
    // settled: the options and which pages are shown.
    void LoadViewOptions();
    // A page in view recomputes (unconditionally with full); a page out of
    // view remembers that a full refresh is due when it comes into view.
    void RefreshViews(bool full);

  private:
    struct Page {
        QWidget* Widget;
        const char* Key;
        bool Stale;
    };
    bool Shown(const QWidget* page) const;
    bool TabOn(const QWidget* page) const;
    void SetTabOn(Page& page, bool on);
    void Refresh(Page& page, bool force);

    tessara::Workspace& ws_;
    QTabWidget* tabs_;
    CardTab* card_;
    LayoutTab* layout_;
    WeekTab* week_;
    Page pages_[3];
};
