#include "main/command_table.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QWidget>

namespace {

constexpr int kIdleIntervalMs = 150;

}  // namespace

CommandTable::CommandTable(tessara::Host& host, QWidget* owner)
    : QObject(owner), host_(host), owner_(owner) {
    idleTimer_.setInterval(kIdleIntervalMs);
    connect(&idleTimer_, &QTimer::timeout, this, &CommandTable::Update);
    idleTimer_.start();
}

QAction* CommandTable::Add(CommandRow row) {
    Q_ASSERT(!entries_.count(row.Name));
    auto* action = new QAction(row.Caption, owner_);
    action->setObjectName(row.Name);
    if (!row.Shortcut.isEmpty()) action->setShortcut(row.Shortcut);
    if (!row.Hint.isEmpty()) action->setStatusTip(row.Hint);
    action->setCheckable(static_cast<bool>(row.Checked));
    owner_->addAction(action);
    const QString name = row.Name;
    auto& entry = entries_.emplace(name, Entry{std::move(row), action}).first->second;
    // The handler flips toggles itself; the check mark then follows the rule.
    connect(action, &QAction::triggered, this, [this, &entry] { Run(entry); });
    return action;
}

QAction* CommandTable::Action(const QString& name) const {
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : it->second.Action;
}

const CommandRow* CommandTable::Row(const QString& name) const {
    const auto it = entries_.find(name);
    return it == entries_.end() ? nullptr : &it->second.Row;
}

void CommandTable::FillMenu(QMenu* menu, const QStringList& names) const {
    for (const QString& name : names) {
        if (name == QLatin1String("|")) {
            menu->addSeparator();
        } else if (QAction* action = Action(name)) {
            menu->addAction(action);
        } else {
            Q_ASSERT_X(false, "CommandTable::FillMenu", qPrintable(name));
        }
    }
}

QToolButton* CommandTable::MakeButton(const QString& name, QWidget* parent) const {
    auto* button = new QToolButton(parent);
    button->setDefaultAction(Action(name));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setObjectName(QStringLiteral("btn") + name);
    return button;
}

bool CommandTable::Execute(const QString& name) {
    const auto it = entries_.find(name);
    if (it == entries_.end()) return false;
    Update();
    if (!it->second.Action->isEnabled()) return false;
    Run(it->second);
    return true;
}

void CommandTable::Run(Entry& entry) {
    // A shortcut may arrive between two idle updates: check the rule again.
    if (!Allowed(entry)) {
        Update();
        return;
    }
    try {
        if (entry.Row.Handler) entry.Row.Handler();
    } catch (const std::exception& e) {
        host_.ShowError(e.what());
    }
    Update();
}

void CommandTable::SetReady(bool ready) {
    ready_ = ready;
    Update();
}

bool CommandTable::Allowed(const Entry& entry) const {
    return ready_ && (entry.Row.WhileBusy || !host_.Busy()) &&
           (!entry.Row.Enabled || entry.Row.Enabled());
}

void CommandTable::Update() {
    for (auto& [name, entry] : entries_) {
        const bool enabled = Allowed(entry);
        if (entry.Action->isEnabled() != enabled) entry.Action->setEnabled(enabled);
        if (entry.Row.Checked) {
            const bool checked = entry.Row.Checked();
            if (entry.Action->isChecked() != checked) entry.Action->setChecked(checked);
        }
    }
}
