#include "stats/stat_table_commands.h"

#include <QProgressDialog>
#include <QRegularExpression>
#include <functional>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/gui_host.h"
#include "stats/prefetch.h"
#include "stats/statistics_tab.h"

namespace {

const QString kFilters = QStringLiteral("Фильтры");
const QString kStatistics = QStringLiteral("Статистика");
const QString kBuildingPrefetchs =
    QStringLiteral("Создание файлов для полного набора комбинаций...");

// Stops following the status texts however the build ends.
class StatusFollower {
  public:
    StatusFollower(GuiHost& host, std::function<void(const QString&)> f) : host_(host) {
        host_.OnStatus(std::move(f));
    }
    ~StatusFollower() { host_.OnStatus({}); }
    StatusFollower(const StatusFollower&) = delete;
    StatusFollower& operator=(const StatusFollower&) = delete;

  private:
    GuiHost& host_;
};

}  // namespace

StatTableCommands::StatTableCommands(tessara::Workspace& ws, GuiHost& host, StatisticsTab& tab,
                                     CommandTable& commands)
    : ws_(ws), host_(host), tab_(tab) {
    Register(commands);
}

void StatTableCommands::Register(CommandTable& commands) {
    const auto canFilter = [this] { return ws_.CombsCount() > 0 && tab_.HasSelection(); };
    commands.Add({.Name = QStringLiteral("StatFilter_Include"),
                  .Caption = QStringLiteral("Оставить выделенные"),
                  .Shortcut = QKeySequence(Qt::Key_F7),
                  .Category = kFilters,
                  .Handler = [this] { tab_.FilterSelected(false); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral(
                      "В списке комбинаций оставить комбинации с выделенными характеристиками")});
    commands.Add({.Name = QStringLiteral("StatFilter_Exclude"),
                  .Caption = QStringLiteral("Удалить выделенные"),
                  .Shortcut = QKeySequence(Qt::CTRL | Qt::Key_F7),
                  .Category = kFilters,
                  .Handler = [this] { tab_.FilterSelected(true); },
                  .Enabled = canFilter,
                  .Hint = QStringLiteral(
                      "Из списка комбинаций удалить комбинации с выделенными характеристиками")});
    commands.Add({.Name = QStringLiteral("DrawsStatCalc"),
                  .Caption = QStringLiteral("Обновить"),
                  .Category = kStatistics,
                  .Handler = [this] { tab_.Refresh(true); },
                  .Enabled = [this] { return !ws_.Archive().Empty() && tab_.SelectedStat() >= 0; },
                  .Hint = QStringLiteral("Пересчитать статистику по выбранным параметрам")});
    commands.Add({.Name = QStringLiteral("DrawsStatePrefetchsEnabled"),
                  .Caption = QStringLiteral("Использовать сравнение с полным набором комбинаций"),
                  .Category = kStatistics,
                  .Handler = [this] { TogglePrefetchs(); },
                  .Checked = [this] { return tab_.PrefetchsEnabled(); }});
    commands.Add({.Name = QStringLiteral("DrawsStatShowTotalLine"),
                  .Caption = QStringLiteral("График идеального распределения"),
                  .Category = kStatistics,
                  .Handler = [this] { ToggleTotalLine(); },
                  .Checked = [this] { return tab_.ShowTotalLine(); }});
}

void StatTableCommands::TogglePrefetchs() {
    const bool on = !tab_.PrefetchsEnabled();
    tab_.SetPrefetchsEnabled(on);
    if (on) BuildPrefetchFiles();
    tab_.UpdateNormColumns();
    tab_.Refresh(true);
}

void StatTableCommands::ToggleTotalLine() {
    tab_.SetShowTotalLine(!tab_.ShowTotalLine());
    tab_.Refresh(true);
}

void StatTableCommands::BuildPrefetchFiles() {
    QProgressDialog progress(kBuildingPrefetchs, QString(), 0, 100, tab_.window());
    progress.setObjectName(QStringLiteral("FormPrefetchProgress"));
    progress.setWindowTitle(kBuildingPrefetchs);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);
    // The build reports how far it got in its status texts.
    static const QRegularExpression kDone(QStringLiteral("завершено (\\d+) %"));
    const StatusFollower follower(host_, [&progress](const QString& text) {
        const QRegularExpressionMatch m = kDone.match(text);
        if (m.hasMatch()) progress.setValue(m.captured(1).toInt());
    });
    tessara::BuildPrefetchFiles(ws_, false, {}, true);
}
