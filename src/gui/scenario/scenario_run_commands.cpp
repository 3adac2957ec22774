#include "scenario/scenario_run_commands.h"

#include <QDesktopServices>
#include <QLabel>
#include <QUrl>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/gui_host.h"
#include "scenario/form_test_count.h"
#include "scenario/scenario_commands.h"
#include "scenario/scenario_tab.h"

namespace {
const QString kCategory = QStringLiteral("Сценарий");
}

ScenarioRunCommands::ScenarioRunCommands(tessara::Workspace& ws, GuiHost& host, ScenarioTab& tab,
                                         CommandTable& commands, std::function<void(bool)> lock)
    : ws_(ws),
      host_(host),
      tab_(tab),
      commands_(commands),
      lock_(std::move(lock)),
      runner_(std::make_unique<tessara::TScenarioRunner>(ws, this)) {
    runner_->Log().Viewer = [](const std::string& path) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
    };
    Register(commands);
}

ScenarioRunCommands::~ScenarioRunCommands() = default;

const QStringList& ScenarioRunCommands::MenuNames() {
    static const QStringList names = {QStringLiteral("ScriptRun"), QStringLiteral("ScriptTest"),
                                      QStringLiteral("ScriptStop"), QStringLiteral("|"),
                                      QStringLiteral("LogToggle"), QStringLiteral("LogsDelete")};
    return names;
}

bool ScenarioRunCommands::CanStart() const {
    return !Running() && !ws_.Scenario().empty() && !ws_.Archive().Empty();
}

void ScenarioRunCommands::Register(CommandTable& commands) {
    const auto idle = [this] { return !Running(); };
    commands.Add({.Name = QStringLiteral("ScriptRun"),
                  .Caption = QStringLiteral("Прогноз"),
                  .Shortcut = QKeySequence(Qt::Key_F10),
                  .Category = kCategory,
                  .Handler = [this] { Run(); },
                  .Enabled = [this] { return CanStart(); },
                  .Hint = QStringLiteral("Выполнить сценарий для текущего тиража и смещения")});
    commands.Add({.Name = QStringLiteral("ScriptTest"),
                  .Caption = QStringLiteral("Тест"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F10),
                  .Category = kCategory,
                  .Handler = [this] { Test(); },
                  .Enabled = [this] { return CanStart(); },
                  .Hint = QStringLiteral("Тестирование сценария на основе результатов предыдуших тиражей")});
    commands.Add({.Name = QStringLiteral("ScriptStop"),
                  .Caption = QStringLiteral("Стоп"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_X),
                  .Category = kCategory,
                  .Handler = [this] { AskStop(); },
                  .Enabled = [this] { return runner_->CanStop(); },
                  .WhileBusy = true});
    commands.Add({.Name = QStringLiteral("LogToggle"),
                  .Caption = QStringLiteral("Журнал выполнения сценария"),
                  .Category = kCategory,
                  .Handler = [this] { runner_->Log().SetEnabled(!runner_->Log().Enabled()); },
                  .Enabled = idle,
                  .Checked = [this] { return runner_->Log().Enabled(); }});
    commands.Add({.Name = QStringLiteral("LogsDelete"),
                  .Caption = QStringLiteral("Удалить журналы выполнения сценариев"),
                  .Category = kCategory,
                  .Handler = [this] { runner_->Log().DeleteAll(); },
                  .Enabled = idle});
}

void ScenarioRunCommands::Run() {
    if (!CanStart()) return;
    runner_->Forecast(ws_.Scenario());
    commands_.Update();
}

void ScenarioRunCommands::Test() {
    if (!CanStart()) return;
    const int count =
        TFormTestCnt::AskTestCount(tab_.window(), tessara::TScenarioRunner::MaxTestCount(ws_));
    if (count <= 0) return;
    runner_->Test(ws_.Scenario(), count);
    commands_.Update();
}

bool ScenarioRunCommands::AskStop() {
    if (!runner_->CanStop()) return true;
    if (!host_.Confirm("Остановить выполнение сценария?")) return false;
    runner_->RequestStop();
    commands_.Update();
    return true;
}

void ScenarioRunCommands::RunLocked(bool locked) {
    host_.SetUserInputAllowed(locked);
    host_.SetRunThrottled(locked);
    if (lock_) lock_(locked);
    commands_.Update();
}

void ScenarioRunCommands::RunStateChanged(const tessara::TRunState& s) {
    tab_.Panel(1)->setText(QStringLiteral("Цикл: %1").arg(s.CycleNo));
    tab_.Panel(2)->setText(QStringLiteral("Строка: %1").arg(s.LineNo));
    tab_.Panel(3)->setText(QStringLiteral("Ставок: %1").arg(s.StakesMade));
    tab_.Panel(4)->setText(QString::fromStdString(s.Text));
    // A new cycle or line is shown at once; the other panels follow with
    // the next events.
    if (s.CycleNo != shownCycle_ || s.LineNo != shownLine_) host_.ForceNextEvents();
    shownCycle_ = s.CycleNo;
    shownLine_ = s.LineNo;
}

void ScenarioRunCommands::LineSelected(int index) {
    if (index < 0)
        tab_.ClearSelection();
    else
        tab_.SelectRow(index);
}
