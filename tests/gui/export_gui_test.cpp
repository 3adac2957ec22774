#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "export/export_commands.h"
#include "export/export_file_dialog.h"
#include "export/export_progress.h"
#include "export/workspace_export.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "test_support.h"
#include "xlsx_reader.h"

using namespace tessara;

class ExportGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void CommandsWithTheirCaptionsAndRules();
    void SavesThroughTheDialogAndKeepsItsChoices();
    void StopBreaksOffTheCombinationList();

  private:
    QAction* Action(const QString& name) const { return window_->Commands().Action(name); }
    // Accepts the next save dialog with a file name and the check box state.
    void AnswerDialog(const QString& name, bool open);

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
    QString seenFolder_;
};

void ExportGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName),
                   {test::MakeDraw(101, {1, 2, 3, 4, 5, 6}, 0, "01 марта 2021"),
                    test::MakeDraw(102, {7, 8, 9, 10, 11, 12}, 1, "04 марта 2021")});
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void ExportGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void ExportGuiTest::AnswerDialog(const QString& name, bool open) {
    test::OnNextModal<ExportFileDialog>([this, name, open](ExportFileDialog* d) {
        seenFolder_ = d->directory().absolutePath();
        d->OpenFileBox()->setChecked(open);
        d->selectFile(name);
        static_cast<QDialog*>(d)->accept();  // the file dialog's own accept checks the name
    });
}

void ExportGuiTest::CommandsWithTheirCaptionsAndRules() {
    const struct {
        const char* Name;
        const char* Caption;
        const char* Category;
        bool Enabled;  // two draws, the full list, no stakes and no rating
    } rows[] = {
        {"DrawsXlsExport", "Экспорт в Microsoft Excel", "Архив тиражей", true},
        {"CombsXlsExport", "Экспорт в Microsoft Excel", "Комбинации", true},
        {"StakesXlsExport", "Экспорт ставок в Microsoft Excel", "Ставки", false},
        {"RatingsXlsExport", "Экспорт рейтинга в Microsoft Excel", "Ставки", false},
        {"DrawsStatExportToExcel", "Экспорт статистики в Microsoft Excel", "Статистика", true},
        {"CardXlsExport", "Экспорт карты тиражей в Microsoft Excel", "Карта", true},
        {"LayoutXlsExport", "Экспорт схемы в Microsoft Excel", "Схема", true},
    };
    QCOMPARE(ExportCommands::Names().size(), 7);
    window_->Commands().Update();
    for (const auto& r : rows) {
        const QString name = QString::fromLatin1(r.Name);
        QVERIFY2(ExportCommands::Names().contains(name), r.Name);
        const CommandRow* row = window_->Commands().Row(name);
        QVERIFY2(row, r.Name);
        QCOMPARE(row->Caption, QString::fromUtf8(r.Caption));
        QCOMPARE(row->Category, QString::fromUtf8(r.Category));
        QVERIFY2(Action(name)->isEnabled() == r.Enabled, r.Name);
    }
    // Every one waits while the program is busy.
    {
        BusyGuard busy(window_->Host());
        window_->Commands().Update();
        for (const QString& name : ExportCommands::Names()) QVERIFY(!Action(name)->isEnabled());
    }
}

void ExportGuiTest::SavesThroughTheDialogAndKeepsItsChoices() {
    const std::string out = dir_->File("out");
    QVERIFY(QDir().mkpath(QString::fromStdString(out)));
    // The first export starts in the data folder.
    AnswerDialog(QString::fromStdString(out + "/Тиражи"), false);
    QVERIFY(window_->Commands().Execute(QStringLiteral("DrawsXlsExport")));
    QCOMPARE(seenFolder_, QString::fromStdString(dir_->Path()));
    QVERIFY2(prompts_->Seen.isEmpty(), qPrintable(prompts_->Seen.join('\n')));
    // The suffix is added; the sheet is the draws list.
    const test::XlsxFile file(out + "/Тиражи.xlsx");
    QCOMPARE(QString::fromStdString(file.SheetAt(0).Text("A1")), QStringLiteral("Архив тиражей"));
    QCOMPARE(QString::fromStdString(file.SheetAt(0).Text("A3")), QStringLiteral("102"));
    const TExportParams saved = LoadExportParams(window_->Work());
    QCOMPARE(saved.Folder, out);
    QVERIFY(!saved.OpenFile);

    // The next one starts where the last one saved, with the box as left.
    test::OnNextModal<ExportFileDialog>([this](ExportFileDialog* d) {
        seenFolder_ = d->directory().absolutePath();
        QVERIFY(!d->OpenFile());
        d->reject();
    });
    window_->Commands().Execute(QStringLiteral("CardXlsExport"));
    QCOMPARE(seenFolder_, QString::fromStdString(out));
    QVERIFY(!FileExists(out + "/Карта.xlsx"));
}

void ExportGuiTest::StopBreaksOffTheCombinationList() {
    QVERIFY(window_->Work().CombsCount() > 1000000);
    AnswerDialog(QString::fromStdString(dir_->File("c.xlsx")), false);
    test::OnNextModal<ExportProgress>([](ExportProgress* p) { p->StopButton()->click(); });
    QVERIFY(window_->Commands().Execute(QStringLiteral("CombsXlsExport")));
    QCOMPARE(prompts_->Seen,
             QStringList{QStringLiteral("Информация|Экспорт прерван, файл не сохранен.")});
    QVERIFY(!FileExists(dir_->File("c.xlsx")));
    QVERIFY(!FileExists(dir_->File("c.xlsx.tmp~")));
}

QTEST_MAIN(ExportGuiTest)
#include "export_gui_test.moc"
