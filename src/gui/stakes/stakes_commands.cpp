#include "stakes/stakes_commands.h"

#include <QAction>
#include <QEvent>
#include <QKeyEvent>
#include <QTableView>
#include <random>

#include "app/workspace.h"
#include "combs/combs_tab.h"
#include "main/command_table.h"
#include "model/game.h"
#include "scenario/scenario_commands.h"
#include "stakes/form_multi.h"
#include "stakes/form_stake.h"
#include "stakes/form_stake_filter.h"
#include "stakes/stake_create.h"
#include "stakes/stakes_tab.h"

namespace {

const QString kCategory = QStringLiteral("Ставки");
const QString kAddSelected = QStringLiteral("StakeAddSelected");
const QKeyCombination kAddSelectedKey(Qt::AltModifier, Qt::Key_F4);

}  // namespace

QStringList RegisteredCommands(const CommandTable& commands, const QStringList& names) {
    QStringList out;
    bool pendingSeparator = false;
    for (const QString& name : names) {
        if (name == QLatin1String("|")) {
            pendingSeparator = !out.isEmpty();
        } else if (commands.Action(name)) {
            if (pendingSeparator) out << QStringLiteral("|");
            pendingSeparator = false;
            out << name;
        }
    }
    return out;
}

StakesCommands::StakesCommands(tessara::Workspace& ws, StakesTab& tab, CombsTab& combs,
                               CommandTable& commands)
    : ws_(ws), tab_(tab), combs_(combs) {
    Register(commands);
}

StakesCommands::~StakesCommands() = default;

QStringList StakesCommands::MenuNames(const CommandTable& commands) {
    static const QStringList names = {
        QStringLiteral("StakeAdd"),          QStringLiteral("StakeAddRandom"),
        QStringLiteral("StakeAddSelected"),  QStringLiteral("StakeAddAll"),
        QStringLiteral("SystemStakeFilter"), QStringLiteral("SystemStakeAll"),
        QStringLiteral("|"),                 QStringLiteral("StakeDel"),
        QStringLiteral("StakeFilter"),       QStringLiteral("StakeClear"),
        QStringLiteral("|"),                 QStringLiteral("StakesGraphDraws"),
        QStringLiteral("|"),                 QStringLiteral("StakesXlsExport"),
        QStringLiteral("|"),                 QStringLiteral("StakesCheckManual"),
        QStringLiteral("|"),                 QStringLiteral("LogStakes"),
        QStringLiteral("LogStakesDelete"),   QStringLiteral("StakesScroll"),
        QStringLiteral("StakesCheckLine"),
    };
    return RegisteredCommands(commands, names);
}

void StakesCommands::Register(CommandTable& commands) {
    const auto fileOpen = [this] { return ws_.StakesFileOpen(); };
    const auto hasCombs = [this] { return ws_.StakesFileOpen() && ws_.CombsCount() > 0; };
    const auto hasStakes = [this] { return ws_.HasStakes(); };
    const auto add = [&](CommandRow row) {
        row.Category = kCategory;
        return commands.Add(std::move(row));
    };
    add({.Name = QStringLiteral("StakeAdd"),
         .Caption = QStringLiteral("Сделать ставку"),
         .Shortcut = QKeySequence(Qt::Key_F4),
         .Handler = [this] { AddStake(false); },
         .Enabled = fileOpen});
    add({.Name = QStringLiteral("StakeAddRandom"),
         .Caption = QStringLiteral("Сделать случайную ставку"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F4),
         .Handler = [this] { AddStake(true); },
         .Enabled = hasCombs});
    QAction* addSelected =
        add({.Name = kAddSelected,
             .Caption = QStringLiteral("Сделать ставки для выделенных комбинаций"),
             .Shortcut = QKeySequence(kAddSelectedKey),
             .Handler = [this] { AddStakes(false); },
             .Enabled = [this] { return ws_.StakesFileOpen() && combs_.HasSelection(); }});
    // Alt+F4 also closes the program: in the combination list it makes the
    // stakes (the window routes keys held by several commands).
    if (auto* owner = qobject_cast<QWidget*>(addSelected->parent()))
        owner->removeAction(addSelected);
    addSelected->setShortcutContext(Qt::WidgetShortcut);
    combs_.List()->addAction(addSelected);
    add({.Name = QStringLiteral("StakeAddAll"),
         .Caption = QStringLiteral("Сделать ставки для всех комбинаций"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F4),
         .Handler = [this] { AddStakes(true); },
         .Enabled = hasCombs});
    // Ctrl+Del deletes in the list that has the focus.
    ScopeShortcut(add({.Name = QStringLiteral("StakeDel"),
                       .Caption = QStringLiteral("Удалить ставку"),
                       .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Delete),
                       .Handler = [this] { Delete(); },
                       .Enabled =
                           [this] { return ws_.HasStakes() && tab_.SelectedRows().first >= 0; }}),
                  &tab_);
    add({.Name = QStringLiteral("StakeFilter"),
         .Caption = QStringLiteral("Удалить по условию"),
         .Shortcut = QKeySequence(Qt::ALT | Qt::Key_D),
         .Handler = [this] { DeleteByCondition(); },
         .Enabled = hasStakes});
    add({.Name = QStringLiteral("StakeClear"),
         .Caption = QStringLiteral("Удалить все ставки"),
         .Shortcut = QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Delete),
         .Handler = [this] { ws_.ClearStakes(); },
         .Enabled = hasStakes});
    add({.Name = QStringLiteral("StakesCheckManual"),
         .Caption = QStringLiteral("Проверить ставки"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F5),
         .Handler = [this] { ws_.CheckStakesManual(); },
         .Enabled = hasStakes});
    add({.Name = QStringLiteral("LogStakes"),
         .Caption = QStringLiteral("Журналы ставок"),
         .Handler = [this] { ws_.SetStakesLogEnabled(!ws_.StakesLogEnabled()); },
         .Checked = [this] { return ws_.StakesLogEnabled(); }});
    add({.Name = QStringLiteral("LogStakesDelete"),
         .Caption = QStringLiteral("Удалить журналы ставок"),
         .Handler = [this] { ws_.DeleteStakeLogs(); }});
    add({.Name = QStringLiteral("StakesScroll"),
         .Caption = QStringLiteral("Прокручивать список при добавлении"),
         .Handler = [this] { ws_.SetStakesScrollEnabled(!ws_.StakesScrollEnabled()); },
         .Checked = [this] { return ws_.StakesScrollEnabled(); }});
    add({.Name = QStringLiteral("StakesCheckLine"),
         .Caption = QStringLiteral("Проверять ставки после каждой строки сценария"),
         .Handler = [this] { ws_.SetStakesCheckOnLine(!ws_.StakesCheckOnLine()); },
         .Checked = [this] { return ws_.StakesCheckOnLine(); }});
}

QWidget* StakesCommands::DialogParent() const { return tab_.window(); }

void StakesCommands::AddStake(bool random) {
    const int64_t count = ws_.CombsCount();
    int64_t row = -1;
    if (random) {
        if (count == 0) return;
        row = std::uniform_int_distribution<int64_t>(0, count - 1)(tessara::RandomGenerator());
    } else {
        row = combs_.FirstSelectedRow();
    }
    const tessara::TCombination* comb = row >= 0 && row < count ? &ws_.Combs()[row] : nullptr;
    tessara::TStakeRecord record = ws_.PrefillManualStake(comb);
    int drawCount = 1;
    if (TFormStake::Edit(DialogParent(), ws_, record, drawCount))
        ws_.CreateStake(record, drawCount);
}

void StakesCommands::AddStakes(bool all) {
    int draw = ws_.NextDrawNo();
    std::string comment = tessara::ManualStakeComment;
    int drawCount = 1;
    if (!TFormMulti::Edit(DialogParent(), ws_.GetHost(), draw, comment, drawCount)) return;
    if (all) {
        ws_.AddStakesForAllCombs(draw, drawCount, comment);
        return;
    }
    const tessara::TRowRanges rows = combs_.SelectedRanges();
    ws_.AddStakesForCombs(rows, draw, drawCount, comment);
    combs_.ClearSelection();
}

void StakesCommands::Delete() {
    const auto [first, last] = tab_.SelectedRows();
    if (first >= 0) ws_.DeleteStakes(first, last);
}

void StakesCommands::DeleteByCondition() {
    int mode = 0, value = 0;
    if (TFormStakeFilter::Edit(DialogParent(), mode, value)) ws_.DeleteStakesWhere(mode, value);
}
