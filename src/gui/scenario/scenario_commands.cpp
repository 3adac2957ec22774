#include "scenario/scenario_commands.h"

#include <QAction>
#include <QFileDialog>
#include <QTableView>

#include "main/file_dialogs.h"
#include "app/workspace.h"
#include "main/command_table.h"
#include "model/error.h"
#include "scenario/form_script_line.h"
#include "scenario/scenario_model.h"
#include "scenario/scenario_tab.h"

namespace {

const QString kCategory = QStringLiteral("Сценарий");

QString ChooseScenarioFile(QWidget* parent, bool save) {
    return ChooseFile(parent, {.Filter = QStringLiteral("Файлы сценариев (*.lsc)"),
                               .Suffix = QStringLiteral("lsc"),
                               .Save = save});
}

}  // namespace

void ScopeShortcut(QAction* action, QWidget* scope) {
    // An action still attached to the window would match anywhere in it.
    if (auto* owner = qobject_cast<QWidget*>(action->parent())) owner->removeAction(action);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    scope->addAction(action);
}

ScenarioCommands::ScenarioCommands(tessara::Workspace& ws, ScenarioTab& tab, CommandTable& commands,
                                   const QComboBox* methods, std::function<int()> startCount)
    : ws_(ws), tab_(tab), methods_(methods), startCount_(std::move(startCount)) {
    Register(commands);
}

const QStringList& ScenarioCommands::MenuNames() {
    static const QStringList names = {
        QStringLiteral("ScriptOpen"),  QStringLiteral("ScriptSave"),  QStringLiteral("|"),
        QStringLiteral("ScriptAdd"),   QStringLiteral("ScriptEmpty"), QStringLiteral("ScriptLoad"),
        QStringLiteral("ScriptClone"), QStringLiteral("ScriptEdit"),  QStringLiteral("ScriptDel"),
        QStringLiteral("ScriptClr"),   QStringLiteral("|"),           QStringLiteral("ScriptUp"),
        QStringLiteral("ScriptDown")};
    return names;
}

void ScenarioCommands::Register(CommandTable& commands) {
    const auto hasLines = [this] { return !ws_.Scenario().empty(); };
    const auto lineSelected = [this] { return LineSelected(); };
    const auto add = [&](CommandRow row) {
        row.Category = kCategory;
        ScopeShortcut(commands.Add(std::move(row)), &tab_);
    };
    add({.Name = QStringLiteral("ScriptOpen"),
         .Caption = QStringLiteral("Открыть"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_J),
         .Handler = [this] { Open(false); },
         .Hint = QStringLiteral("Загрузить сценарий из файла")});
    add({.Name = QStringLiteral("ScriptSave"),
         .Caption = QStringLiteral("Сохранить"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_I),
         .Handler = [this] { Save(); },
         .Enabled = hasLines,
         .Hint = QStringLiteral("Сохранить сценарий в файле")});
    add({.Name = QStringLiteral("ScriptAdd"),
         .Caption = QStringLiteral("Добавить фильтры"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Insert),
         .Handler = [this] { Add(QStringLiteral("Создание новой строки"), {}); },
         .Hint = QStringLiteral("Добавить новую команду в сценарий")});
    add({.Name = QStringLiteral("ScriptEmpty"),
         .Caption = QStringLiteral("Добавить разделитель"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Insert),
         .Handler = [this] { AppendLine({}); },
         .Enabled = hasLines,
         .Hint = QStringLiteral("Добавить разделитель в сценарий")});
    add({.Name = QStringLiteral("ScriptLoad"),
         .Caption = QStringLiteral("Добавить сценарий"),
         .Handler = [this] { Open(true); },
         .Hint = QStringLiteral("Добавить выбранный сценарий из файла в текущий сценарий")});
    add({.Name = QStringLiteral("ScriptClone"),
         .Caption = QStringLiteral("Клонировать"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_K),
         .Handler =
             [this] {
                 Add(QStringLiteral("Создание новой строки"),
                     ws_.GetScenarioLine(tab_.FirstSelectedRow()));
             },
         .Enabled = lineSelected,
         .Hint = QStringLiteral(
             "Добавить новую команду в сценарий и скопировать в нее данные из выделенной")});
    add({.Name = QStringLiteral("ScriptEdit"),
         .Caption = QStringLiteral("Изменить"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Return),
         .Handler = [this] { Edit(); },
         .Enabled = lineSelected,
         .Hint = QStringLiteral("Редактировать выделенную команду")});
    // Enter of the keypad as well as the main one.
    commands.Action(QStringLiteral("ScriptEdit"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    add({.Name = QStringLiteral("ScriptDel"),
         .Caption = QStringLiteral("Удалить"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Delete),
         .Handler = [this] { Delete(); },
         .Enabled = [this] { return tab_.FirstSelectedRow() >= 0; },
         .Hint = QStringLiteral("Удалить выделенные строки")});
    add({.Name = QStringLiteral("ScriptClr"),
         .Caption = QStringLiteral("Удалить все"),
         .Handler = [this] { ws_.ClearScenario(); },
         .Enabled = hasLines,
         .Hint = QStringLiteral("Удалить весь сценарий")});
    add({.Name = QStringLiteral("ScriptUp"),
         .Caption = QStringLiteral("Переместить вверх"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Up),
         .Handler = [this] { Move(true); },
         .Enabled = [this] { return tab_.FirstSelectedRow() > 0; },
         .Hint = QStringLiteral("Переместить выделенную строку вверх")});
    add({.Name = QStringLiteral("ScriptDown"),
         .Caption = QStringLiteral("Переместить вниз"),
         .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_Down),
         .Handler = [this] { Move(false); },
         .Enabled =
             [this] {
                 const int row = tab_.FirstSelectedRow();
                 return row >= 0 && row + 1 < static_cast<int>(ws_.Scenario().size());
             },
         .Hint = QStringLiteral("Переместить выделенную строку вниз")});
}

QWidget* ScenarioCommands::DialogParent() const { return tab_.window(); }

bool ScenarioCommands::LineSelected() const {
    const int row = tab_.FirstSelectedRow();
    if (row < 0 || row >= static_cast<int>(ws_.Scenario().size())) return false;
    // A separator shows no options.
    const QModelIndex options = tab_.Model()->index(row, ScenarioModel::ColOptions);
    return !options.data().toString().isEmpty();
}

void ScenarioCommands::Open(bool append) {
    const QString path = ChooseScenarioFile(DialogParent(), false);
    if (path.isEmpty()) return;
    ws_.LoadScenarioFile(path.toStdString(), append);
    ws_.SaveCurrentScenario();
}

void ScenarioCommands::Save() {
    const QString path = ChooseScenarioFile(DialogParent(), true);
    if (!path.isEmpty()) ws_.SaveScenarioFile(path.toStdString());
}

void ScenarioCommands::AppendLine(const std::string& line) {
    tab_.ClearSelection();
    tab_.SelectRow(ws_.AppendScenarioLine(line));
}

void ScenarioCommands::Add(const QString& title, const std::string& source) {
    std::string line = source;
    if (TFormScriptLine::Edit(DialogParent(), ws_, methods_, title, startCount_(), line))
        AppendLine(line);
}

void ScenarioCommands::Edit() {
    const int row = tab_.FirstSelectedRow();
    try {
        std::string line = ws_.GetScenarioLine(row);
        if (TFormScriptLine::Edit(DialogParent(), ws_, methods_,
                                  QStringLiteral("Редактирование строки"), startCount_(), line))
            ws_.ReplaceScenarioLine(row, line);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }
}

void ScenarioCommands::Delete() {
    if (ws_.DeleteScenarioLines(tab_.SelectedRows())) tab_.ClearSelection();
}

void ScenarioCommands::Move(bool up) {
    const int row = tab_.FirstSelectedRow();
    if (row < 0) return;
    tab_.SelectRow(ws_.MoveScenarioLine(row, up));
}
