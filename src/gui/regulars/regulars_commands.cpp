#include "regulars/regulars_commands.h"

#include <QAction>
#include <QTableView>

#include "app/workspace.h"
#include "combs/combs_tab.h"
#include "main/command_table.h"
#include "regulars/form_table.h"
#include "regulars/regulars_tab.h"
#include "scenario/form_test_count.h"
#include "stakes/form_stake.h"

namespace {

const QString kCategory = QStringLiteral("Регуляры");

}  // namespace

RegularsCommands::RegularsCommands(tessara::Workspace& ws, RegularsTab& tab, CombsTab& combs,
                                   CommandTable& commands, std::function<void(bool)> showTab)
    : ws_(ws), tab_(tab), combs_(combs), showTab_(std::move(showTab)) {
    Register(commands);
}

QStringList RegularsCommands::MenuNames() {
    return {QStringLiteral("TablesAdd"), QStringLiteral("TablesDel"), QStringLiteral("|"),
            QStringLiteral("TablesStakeAdd"), QStringLiteral("TablesStakeTest")};
}

void RegularsCommands::Register(CommandTable& commands) {
    const auto visible = [this] { return ws_.Regulars().TabVisible(); };
    const auto selected = [this] {
        return ws_.Regulars().TabVisible() && !tab_.SelectedRows().empty();
    };
    const auto add = [&](CommandRow row) {
        if (row.Category.isEmpty()) row.Category = kCategory;
        return commands.Add(std::move(row));
    };
    add({.Name = QStringLiteral("TablesAdd"),
         .Caption = QStringLiteral("Добавить регулярную ставку"),
         .Handler = [this] { Add(); },
         .Enabled = visible,
         .Hint = QStringLiteral("Добавить регулярную табличную ставку")});
    add({.Name = QStringLiteral("TablesDel"),
         .Caption = QStringLiteral("Удалить регулярную ставку"),
         .Handler = [this] { Delete(); },
         .Enabled = selected,
         .Hint = QStringLiteral("Удалить выделенные регулярные табличные ставки")});
    add({.Name = QStringLiteral("TablesStakeAdd"),
         .Caption = QStringLiteral("Сделать ставку по регуляру"),
         .Handler = [this] { StakeAdd(); },
         .Enabled = [this] { return ws_.Regulars().TabVisible() && tab_.FocusedRow() >= 0; },
         .Hint = QStringLiteral("Создать ставку по выделенному регуляру")});
    add({.Name = QStringLiteral("TablesStakeTest"),
         .Caption = QStringLiteral("Тест регуляров"),
         .Handler = [this] { StakeTest(); },
         .Enabled = selected,
         .Hint = QStringLiteral("Тестирование регулярных ставок")});
    add({.Name = QStringLiteral("TabTables"),
         .Caption = QStringLiteral("Вкладка \"Регуляры\""),
         .Category = QStringLiteral("Вид"),
         .Handler = [this] { ToggleTab(); },
         .Checked = [this] { return ws_.Regulars().TabVisible(); },
         .Hint = QStringLiteral("Скрыть / показать вкладку \"Регулярные ставки\"")});
}

QWidget* RegularsCommands::DialogParent() const { return tab_.window(); }

void RegularsCommands::Add() {
    const tessara::TRowRanges rows = combs_.SelectedRanges();
    int64_t count = 0;
    for (const auto& [first, last] : rows) count += last - first + 1;
    const tessara::TCombination* single =
        count == 1 && rows[0].first < ws_.CombsCount() ? &ws_.Combs()[rows[0].first] : nullptr;
    TFormTable form(ws_.GetHost(), ws_.Regulars().Comments(), single, DialogParent());
    if (form.exec() != QDialog::Accepted) return;
    ws_.Regulars().Add(form.Rule(), ws_.Combs(), rows);
}

void RegularsCommands::Delete() {
    if (ws_.Regulars().Delete(tab_.SelectedRows())) tab_.List()->clearSelection();
}

void RegularsCommands::StakeAdd() {
    const int row = tab_.FocusedRow();
    if (row < 0) return;
    ws_.Regulars().StakeByRule(ws_, row, [this](tessara::TStakeRecord& stake, int& draws) {
        return TFormStake::Edit(DialogParent(), ws_, stake, draws);
    });
}

void RegularsCommands::StakeTest() {
    const std::vector<int> rows = tab_.SelectedRows();
    if (rows.empty()) return;
    const int count = TFormTestCnt::AskTestCount(DialogParent(), ws_.Archive().Count() - 1);
    if (count <= 0) return;
    ws_.Regulars().Test(ws_, count, rows);
}

void RegularsCommands::ToggleTab() {
    const bool on = !ws_.Regulars().TabVisible();
    // The page shows first, so the list loads into a visible tab.
    if (showTab_) showTab_(on);
    ws_.Regulars().ShowTab(on);
}
