#include "export/export_commands.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QSpinBox>
#include <QUrl>
#include <memory>

#include "app/workspace.h"
#include "export/export_file_dialog.h"
#include "export/export_progress.h"
#include "export/workspace_export.h"
#include "main/command_table.h"
#include "model/error.h"
#include "stats/stat_list.h"
#include "stats/statistics_tab.h"
#include "stats/value_table_model.h"
#include "views/layout_tab.h"
#include "views/number_views.h"

namespace {

const QString kDialogCaption = QStringLiteral("Экспорт в Microsoft Excel");

QString Xlsx(const char* name) { return QString::fromUtf8(name) + QStringLiteral(".xlsx"); }

}  // namespace

ExportCommands::ExportCommands(tessara::Workspace& ws, CommandTable& commands, StatisticsTab& stats,
                               NumberViews& views, QWidget* window)
    : ws_(ws), stats_(stats), views_(views), window_(window) {
    Register(commands);
}

QStringList ExportCommands::Names() {
    return {QStringLiteral("DrawsXlsExport"),         QStringLiteral("CombsXlsExport"),
            QStringLiteral("DrawsStatExportToExcel"), QStringLiteral("CardXlsExport"),
            QStringLiteral("LayoutXlsExport"),        QStringLiteral("StakesXlsExport"),
            QStringLiteral("RatingsXlsExport")};
}

void ExportCommands::Register(CommandTable& commands) {
    const auto hasDraws = [this] { return !ws_.Archive().Empty(); };
    commands.Add({.Name = QStringLiteral("DrawsXlsExport"),
                  .Caption = QStringLiteral("Экспорт в Microsoft Excel"),
                  .Category = QStringLiteral("Архив тиражей"),
                  .Handler =
                      [this] {
                          Export(
                              Xlsx("Архив тиражей"),
                              [this] { return tessara::WorkspaceDrawsSheet(ws_); }, false);
                      },
                  .Enabled = hasDraws,
                  .Hint = QStringLiteral("Сохранить архив тиражей в книгу Microsoft Excel")});
    commands.Add({.Name = QStringLiteral("CombsXlsExport"),
                  .Caption = QStringLiteral("Экспорт в Microsoft Excel"),
                  .Category = QStringLiteral("Комбинации"),
                  .Handler =
                      [this] {
                          Export(
                              Xlsx("Комбинации"),
                              [this] { return tessara::WorkspaceCombsSheet(ws_); }, true);
                      },
                  .Enabled = [this] { return ws_.CombsCount() > 0; },
                  .Hint = QStringLiteral("Сохранить список комбинаций в книгу Microsoft Excel")});
    commands.Add({.Name = QStringLiteral("StakesXlsExport"),
                  .Caption = QStringLiteral("Экспорт ставок в Microsoft Excel"),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Export(
                              Xlsx("Ставки"), [this] { return tessara::WorkspaceStakesSheet(ws_); },
                              ws_.StakesFile().Count() >= 50000);
                      },
                  .Enabled = [this] { return ws_.StakesFile().HasStakes(); },
                  .Hint = QStringLiteral("Сохранить список ставок в книгу Microsoft Excel")});
    commands.Add({.Name = QStringLiteral("RatingsXlsExport"),
                  .Caption = QStringLiteral("Экспорт рейтинга в Microsoft Excel"),
                  .Category = QStringLiteral("Ставки"),
                  .Handler =
                      [this] {
                          Export(
                              Xlsx("Рейтинг"),
                              [this] { return tessara::WorkspaceRatingsSheet(ws_); }, false);
                      },
                  .Enabled = [this] { return !ws_.Ratings().Empty(); },
                  .Hint = QStringLiteral("Сохранить рейтинг в книгу Microsoft Excel")});
    commands.Add({.Name = QStringLiteral("DrawsStatExportToExcel"),
                  .Caption = QStringLiteral("Экспорт статистики в Microsoft Excel"),
                  .Category = QStringLiteral("Статистика"),
                  .Handler = [this] { ExportStats(); },
                  .Enabled = [this] { return stats_.Model()->rowCount() > 0; },
                  .Hint = QStringLiteral("Сохранить таблицу статистики в книгу Microsoft Excel")});
    commands.Add({.Name = QStringLiteral("CardXlsExport"),
                  .Caption = QStringLiteral("Экспорт карты тиражей в Microsoft Excel"),
                  .Category = QStringLiteral("Карта"),
                  .Handler =
                      [this] {
                          Export(
                              Xlsx("Карта"), [this] { return tessara::WorkspaceCardSheet(ws_); },
                              false);
                      },
                  .Enabled = hasDraws,
                  .Hint = QStringLiteral("Сохранить карту тиражей в книгу Microsoft Excel")});
    commands.Add(
        {.Name = QStringLiteral("LayoutXlsExport"),
         .Caption = QStringLiteral("Экспорт схемы в Microsoft Excel"),
         .Category = QStringLiteral("Схема"),
         .Handler = [this] { ExportLayout(); },
         .Enabled = hasDraws,
         .Hint = QStringLiteral("Сохранить схему выпадения номеров в книгу Microsoft Excel")});
}

void ExportCommands::ExportStats() {
    // The table as the tab shows it: brought up to date first, in its sort order.
    stats_.Refresh(false);
    const int method = stats_.SelectedStat();
    if (stats_.Model()->rowCount() == 0) return;
    const QString code =
        method >= 0 ? QString::fromStdString(ws_.Stats().Items(method).Code()) : QString();
    Export(
        QStringLiteral("Статистика %1.xlsx").arg(code).trimmed(),
        [this, method] {
            return tessara::WorkspaceStatsSheet(ws_, method, stats_.Model()->Table(),
                                                stats_.PrefetchsEnabled());
        },
        false);
}

void ExportCommands::ExportLayout() {
    LayoutTab* layout = views_.Layout();
    const int length = layout->LengthBox()->value();
    const bool gradient = layout->Gradient();
    Export(
        Xlsx("Схема"),
        [this, length, gradient] { return tessara::WorkspaceLayoutSheet(ws_, length, gradient); },
        false);
}

void ExportCommands::Export(const QString& fileName, const std::function<tessara::TSheet()>& build,
                            bool progressWindow) {
    tessara::TExportParams params = tessara::LoadExportParams(ws_);
    ExportFileDialog dialog(window_, kDialogCaption, QString::fromStdString(params.Folder),
                            fileName, params.OpenFile);
    if (dialog.exec() != QDialog::Accepted) return;
    const QString path = dialog.FilePath();
    if (path.isEmpty()) return;
    params.Folder = QFileInfo(path).absolutePath().toStdString();
    params.OpenFile = dialog.OpenFile();
    try {
        tessara::SaveExportParams(ws_, params);
    } catch (const tessara::Error& e) {
        ws_.GetHost().ShowError(e.what());
    }

    const tessara::TSheet sheet = build();
    tessara::TXlsxOptions options;
    std::unique_ptr<ExportProgress> progress;
    if (progressWindow) {
        progress = std::make_unique<ExportProgress>(window_);
        options.Progress = [&progress](int64_t written, int64_t total) {
            progress->SetProgress(written, total);
        };
        options.Cancelled = [&progress] { return progress->Stopped(); };
    }
    const int outcome = tessara::ExportSheets(ws_.GetHost(), path.toStdString(), {sheet}, options);
    progress.reset();
    if (outcome == 0)
        ws_.GetHost().ShowMessage(tessara::MessageKind::Information,
                                  "Экспорт прерван, файл не сохранен.");
    if (outcome == 1 && params.OpenFile) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
