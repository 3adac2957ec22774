#include "main/command_table.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QShortcut>
#include <QToolButton>
#include <QWidget>
#include <algorithm>

#include "main/command_hints.h"

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
    if (row.Hint.isEmpty()) row.Hint = DefaultCommandHint(row.Name);
    auto* action = new QAction(row.Caption, owner_);
    action->setObjectName(row.Name);
    if (!row.Shortcut.isEmpty()) action->setShortcut(row.Shortcut);
    if (!row.Hint.isEmpty()) action->setStatusTip(row.Hint);
    action->setCheckable(static_cast<bool>(row.Checked));
    owner_->addAction(action);
    const QString name = row.Name;
    order_ << name;
    QList<QKeySequence> keys;
    if (!row.Shortcut.isEmpty()) keys << row.Shortcut;
    auto& entry = entries_.emplace(name, Entry{std::move(row), action, keys}).first->second;
    if (!keys.isEmpty()) ShowKeys(entry);
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
    std::vector<QMenu*> stack{menu};
    std::vector<bool> pending{false};
    for (const QString& name : names) {
        QMenu* current = stack.back();
        if (name == QLatin1String("|")) {
            pending.back() = !current->isEmpty();
        } else if (name.startsWith(QLatin1Char('{'))) {
            if (pending.back()) current->addSeparator();
            pending.back() = false;
            const qsizetype colon = name.indexOf(QLatin1Char(':'));
            QMenu* sub = current->addMenu(name.mid(colon + 1));
            sub->setObjectName(name.mid(1, colon - 1));
            connect(sub, &QMenu::aboutToShow, this, &CommandTable::Update);
            stack.push_back(sub);
            pending.push_back(false);
        } else if (name == QLatin1String("}")) {
            if (stack.size() > 1) {
                stack.pop_back();
                pending.pop_back();
            }
        } else if (QAction* action = Action(name)) {
            if (pending.back()) current->addSeparator();
            pending.back() = false;
            current->addAction(action);
        }
    }
}

void CommandTable::ShowKeys(Entry& entry) {
    QStringList texts;
    // The main keyboard's Enter, which Qt calls Return, by the name on its key.
    for (const QKeySequence& k : entry.Keys)
        texts << k.toString(QKeySequence::NativeText)
                     .replace(QLatin1String("Return"), QLatin1String("Enter"));
    entry.Action->setIconText(entry.Row.Caption);
    entry.Action->setText(entry.Row.Caption + QLatin1Char('\t') + texts.join(QStringLiteral(", ")));
}

void CommandTable::AddSecondKey(const QString& name, const QKeySequence& key) {
    const auto it = entries_.find(name);
    if (it == entries_.end()) return;
    Entry& entry = it->second;
    entry.Keys << key;
    // A menu shows only the first key of an action, unless its text brings
    // the keys after a tab.
    if (std::find(routed_.begin(), routed_.end(), name) == routed_.end())
        entry.Action->setShortcuts(entry.Keys);
    ShowKeys(entry);
}

QList<QKeySequence> CommandTable::Keys(const QString& name) const {
    const auto it = entries_.find(name);
    return it == entries_.end() ? QList<QKeySequence>{} : it->second.Keys;
}

void CommandTable::RouteSharedKeys() {
    std::map<QString, std::vector<Entry*>> holders;
    for (const QString& name : order_) {
        Entry& entry = entries_.at(name);
        for (const QKeySequence& key : entry.Keys)
            holders[key.toString(QKeySequence::PortableText)].push_back(&entry);
    }
    // A command that shares a key gives up every key of its own: the window's
    // routing shortcuts take them, so no two shortcuts ever meet as an
    // ambiguous key. The list it belongs to is the widget its shortcut
    // context was bound to.
    for (auto& [text, entries] : holders) {
        if (entries.size() < 2) continue;
        for (Entry* entry : entries) {
            if (std::find(routed_.begin(), routed_.end(), entry->Row.Name) != routed_.end())
                continue;
            routed_.push_back(entry->Row.Name);
            QAction* action = entry->Action;
            QWidget* scope = nullptr;
            if (action->shortcutContext() == Qt::WidgetShortcut ||
                action->shortcutContext() == Qt::WidgetWithChildrenShortcut) {
                for (QObject* o : action->associatedObjects()) {
                    auto* w = qobject_cast<QWidget*>(o);
                    if (w && w != owner_ && !qobject_cast<QMenu*>(w) &&
                        !qobject_cast<QAbstractButton*>(w)) {
                        scope = w;
                        break;
                    }
                }
            }
            for (const QKeySequence& key : entry->Keys)
                routes_[key.toString(QKeySequence::PortableText)].push_back(
                    {entry->Row.Name, scope});
            action->setShortcuts({});
            ShowKeys(*entry);
        }
    }
    for (auto& [text, route] : routes_) {
        auto* shortcut = new QShortcut(QKeySequence(text), owner_);
        shortcut->setObjectName(QStringLiteral("route ") + text);
        connect(shortcut, &QShortcut::activated, this, [this, key = QKeySequence(text)] {
            const QString target = RouteTarget(key);
            if (!target.isEmpty()) Execute(target);
        });
    }
}

QString CommandTable::RouteTarget(const QKeySequence& key) const {
    const auto it = routes_.find(key.toString(QKeySequence::PortableText));
    if (it == routes_.end()) return {};
    const QWidget* focus = QApplication::focusWidget();
    const Route* best = nullptr;
    for (const Route& r : it->second) {
        if (!r.Scope || !focus || (r.Scope != focus && !r.Scope->isAncestorOf(focus))) continue;
        if (!best || best->Scope->isAncestorOf(r.Scope)) best = &r;
    }
    if (!best)
        for (const Route& r : it->second)
            if (!r.Scope) {
                best = &r;
                break;
            }
    return best ? best->Name : QString();
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
