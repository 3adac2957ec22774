#include "views/number_views.h"

#include <QTabWidget>

#include "app/workspace.h"
#include "main/command_table.h"
#include "views/card_tab.h"
#include "views/layout_tab.h"
#include "views/view_options.h"
#include "views/week_tab.h"

NumberViews::NumberViews(tessara::Workspace& ws, CommandTable& commands, QTabWidget* tabs)
    : ws_(ws), tabs_(tabs) {
    card_ = new CardTab(ws_, commands, [this] { return Shown(card_); });
    layout_ = new LayoutTab(ws_, commands, [this] { return Shown(layout_); });
    week_ = new WeekTab(ws_, commands, [this] { return Shown(week_); });
    pages_[0] = {card_, "TabCard", false};
    pages_[1] = {layout_, "TabLayout", false};
    pages_[2] = {week_, "TabWeek", false};
    const char* const names[] = {"TabCard", "TabLayout", "TabWeek"};
    const char* const captions[] = {"Вкладка \"Карта\"", "Вкладка \"Схема\"", "Вкладка \"Неделя\""};
    for (int i = 0; i < 3; ++i) {
        Page& page = pages_[i];
        commands.Add({.Name = QString::fromLatin1(names[i]),
                      .Caption = QString::fromUtf8(captions[i]),
                      .Category = QStringLiteral("Вид"),
                      .Handler = [this, &page] { SetTabOn(page, !TabOn(page.Widget)); },
                      .Checked = [this, &page] { return TabOn(page.Widget); }});
    }
}

bool NumberViews::TabOn(const QWidget* page) const {
    const int index = tabs_->indexOf(page);
    return index >= 0 && tabs_->isTabVisible(index);
}

bool NumberViews::Shown(const QWidget* page) const {
    return TabOn(page) && tabs_->currentWidget() == page;
}

void NumberViews::LoadViewOptions() {
    card_->LoadViewOptions();
    layout_->LoadViewOptions();
    week_->LoadViewOptions();
    for (Page& page : pages_) {
        const int index = tabs_->indexOf(page.Widget);
        if (index >= 0) tabs_->setTabVisible(index, ReadViewBool(ws_, page.Key));
    }
}

void NumberViews::SetTabOn(Page& page, bool on) {
    const int index = tabs_->indexOf(page.Widget);
    if (index < 0) return;
    tabs_->setTabVisible(index, on);
    WriteViewBool(ws_, page.Key, on);
    if (!on) return;
    tabs_->setCurrentIndex(index);
    Refresh(page, true);
}

void NumberViews::Refresh(Page& page, bool force) {
    page.Stale = false;
    if (page.Widget == card_) {
        card_->RefreshCard(force);
    } else if (page.Widget == layout_) {
        layout_->RefreshLayout(force);
        layout_->RefreshLayoutCompare(force);
    } else {
        week_->RefreshWeek(force);
    }
}

void NumberViews::RefreshViews(bool full) {
    for (Page& page : pages_) {
        if (Shown(page.Widget))
            Refresh(page, full || page.Stale);
        else
            page.Stale = page.Stale || full;
    }
}
