#include "main/main_window.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/versions.h"
#include "app/workspace.h"
#include "draws/draws_model.h"
#include "draws/form_draw.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/status_panels.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "model/game.h"
#include "test_support.h"

using namespace tessara;

namespace {

// Draws 101..105, oldest first; 104 keeps its numbers in drawn (unsorted) order.
TDrawsArray FixtureDraws() {
    return {
        test::MakeDraw(101, {1, 2, 3, 4, 5, 6}, 0, "01 марта 2021"),
        test::MakeDraw(102, {7, 8, 9, 10, 11, 12}, 1, "04 марта 2021"),
        test::MakeDraw(103, {13, 14, 15, 16, 17, 18}, 2, "08 марта 2021"),
        test::MakeDraw(104, {33, 7, 41, 2, 18, 25}, 4, "11 марта 2021"),
        test::MakeDraw(105, {19, 20, 21, 22, 23, 24}, 5, "15 марта 2021"),
    };
}

QVariant Cell(const QAbstractItemModel* m, int row, int col, int role = Qt::DisplayRole) {
    return m->data(m->index(row, col), role);
}

QString RowText(const QAbstractItemModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << Cell(m, row, c).toString();
    return cells.join(QLatin1Char(' '));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void StartsWithTheArchiveNewestFirst();
    void OffsetMovesTheCurrentRowAndStatus();
    void SortedDrawsShowsSortedNumbersKeepsFile();
    void CommandRulesFollowSelectionAndBusy();
    void AddDrawThroughTheDialog();
    void DeleteSelectedAsksFirst();
    void EmptyFolderStartsEmpty();
    void DrawsModelIsConsistent();

  private:
    void StartWindow(const std::string& dir);
    QTableView* List() const { return window_->findChild<QTableView*>("lvDraws"); }
    QAction* Action(const char* name) const { return window_->Commands().Action(name); }
    QString Panel(StatusPanels::Panel p) const { return window_->Panels().Text(p); }
    std::string DrawsFile() const { return dir_->File(DrawsFileName); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void MainWindowTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(DrawsFile(), FixtureDraws());
    StartWindow(dir_->Path());
}

void MainWindowTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void MainWindowTest::StartWindow(const std::string& dir) {
    window_.reset();
    window_ = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir});
    prompts_ = std::make_unique<test::Prompts>(window_->Host());
    QVERIFY(window_->Created());
    // Nothing may touch the files before they are loaded.
    QVERIFY(!Action("DrawsAdd")->isEnabled());
    QCOMPARE(window_->InitTick(), InitOutcome::Ready);
    QVERIFY(Action("DrawsAdd")->isEnabled());
    QVERIFY2(prompts_->Seen.isEmpty(), qPrintable(prompts_->Seen.join('\n')));
}

void MainWindowTest::StartsWithTheArchiveNewestFirst() {
    QVERIFY(window_->windowTitle().endsWith(QStringLiteral(" версия ") +
                                            QString::fromStdString(tessara::ProgramVersion())));
    const QAbstractItemModel* m = List()->model();
    QCOMPARE(m->rowCount(), 5);
    QCOMPARE(RowText(m, 0), QStringLiteral("105 19 20 21 22 23 24 5 129 15 марта 2021"));
    QCOMPARE(RowText(m, 1), QStringLiteral("104 33 7 41 2 18 25 4 126 11 марта 2021"));
    QCOMPARE(RowText(m, 4), QStringLiteral("101 1 2 3 4 5 6 0 21 01 марта 2021"));
    QCOMPARE(m->headerData(DrawsModel::ColDate, Qt::Horizontal).toString(),
             QStringLiteral("Дата тиража"));

    QCOMPARE(Panel(StatusPanels::ArchiveSize), QStringLiteral("Архив тиражей: 5"));
    QCOMPARE(Panel(StatusPanels::NextDraw), QStringLiteral("Следующий тираж: 106"));
    QCOMPARE(Panel(StatusPanels::NextDrawResult), QString());
    QCOMPARE(window_->findChild<QSpinBox*>("seDrawsOffset")->maximum(), 4);

    const auto* right = window_->findChild<QTabWidget*>("pcRight");
    // Every tab shows by default, the systems tab included.
    for (int i = 0; i < right->count(); ++i) QVERIFY2(right->isTabVisible(i), qPrintable(right->tabText(i)));
}

void MainWindowTest::OffsetMovesTheCurrentRowAndStatus() {
    window_->findChild<QSpinBox*>("seDrawsOffset")->setValue(2);
    QCOMPARE(window_->Work().DrawsOffset(), 2);
    // Draw 103 is now the last known one; 104 is the next, already drawn.
    QCOMPARE(Panel(StatusPanels::NextDraw), QStringLiteral("Следующий тираж: 104"));
    QCOMPARE(Panel(StatusPanels::NextDrawResult), QStringLiteral("33;7;41;2;18;25"));

    const QAbstractItemModel* m = List()->model();
    const QColor offsetRow(255, 170, 170);
    QCOMPARE(Cell(m, 2, DrawsModel::ColDrawNo, Qt::BackgroundRole).value<QColor>(), offsetRow);
    QCOMPARE(Cell(m, 2, DrawsModel::ColDate, Qt::BackgroundRole).value<QColor>(), offsetRow);
    QCOMPARE(Cell(m, 0, DrawsModel::ColDrawNo, Qt::BackgroundRole).value<QColor>(),
             QColor(Qt::white));
    // Number cells take the colour of their group.
    const TColor c = NumberGroupColor(33, window_->Work().ChannelSize());
    QCOMPARE(Cell(m, 1, DrawsModel::ColFirstNumber, Qt::BackgroundRole).value<QColor>(),
             QColor(c.r, c.g, c.b));

    // Without channel colours only the current row is painted.
    window_->Commands().Execute("ViewColorDraws");
    QVERIFY(!window_->Work().ColorDraws());
    QVERIFY(!Cell(m, 0, DrawsModel::ColFirstNumber, Qt::BackgroundRole).isValid());
    QCOMPARE(Cell(m, 2, DrawsModel::ColFirstNumber, Qt::BackgroundRole).value<QColor>(), offsetRow);
}

void MainWindowTest::SortedDrawsShowsSortedNumbersKeepsFile() {
    const std::string before = ReadFileBytes(DrawsFile());
    QVERIFY(window_->Commands().Execute("DrawsSorted"));
    QVERIFY(Action("DrawsSorted")->isChecked());
    QCOMPARE(RowText(List()->model(), 1),
             QStringLiteral("104 2 7 18 25 33 41 4 126 11 марта 2021"));
    QCOMPARE(ReadFileBytes(DrawsFile()), before);

    QVERIFY(window_->Commands().Execute("DrawsSorted"));
    QVERIFY(!Action("DrawsSorted")->isChecked());
    QCOMPARE(Cell(List()->model(), 1, DrawsModel::ColFirstNumber).toInt(), 33);
}

void MainWindowTest::CommandRulesFollowSelectionAndBusy() {
    QAction* edit = Action("DrawsEdit");
    QVERIFY(!edit->isEnabled());
    QVERIFY(!Action("DrawsDel")->isEnabled());
    QVERIFY(Action("DrawsAdd")->isEnabled());
    QVERIFY(Action("DrawsExport")->isEnabled());

    // Rules are evaluated when the program is idle, not on each click.
    List()->selectRow(1);
    QTRY_VERIFY(edit->isEnabled());
    QVERIFY(Action("DrawsDel")->isEnabled());
    QVERIFY(Action("DrawsInfo")->isEnabled());

    window_->Host().BeginBusy();
    QTRY_VERIFY(!Action("DrawsAdd")->isEnabled());
    QVERIFY(!edit->isEnabled());
    QVERIFY(!Action("ExitProgram")->isEnabled());
    QVERIFY(!window_->Commands().Execute("DrawsAdd"));
    window_->Host().EndBusy();
    QTRY_VERIFY(Action("DrawsAdd")->isEnabled());
}

void MainWindowTest::AddDrawThroughTheDialog() {
    QString caption;
    int proposed = 0;
    test::OnNextModal<TFormDraw>([&](TFormDraw* form) {
        caption = form->windowTitle();
        proposed = form->findChild<QSpinBox*>("edDrawNumber")->value();
        form->findChild<QLineEdit*>("edDrawData")->setText("33;7;41;2;18;25;4");
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("DrawsAdd"));
    QCOMPARE(caption, QStringLiteral("Введите данные следующего тиража"));
    QCOMPARE(proposed, 106);

    QCOMPARE(List()->model()->rowCount(), 6);
    QVERIFY(RowText(List()->model(), 0).startsWith(QStringLiteral("106 33 7 41 2 18 25 4 126 ")));
    QCOMPARE(Panel(StatusPanels::ArchiveSize), QStringLiteral("Архив тиражей: 6"));
    QCOMPARE(Panel(StatusPanels::NextDraw), QStringLiteral("Следующий тираж: 107"));
    QCOMPARE(window_->findChild<QSpinBox*>("seDrawsOffset")->maximum(), 5);
    QCOMPARE(ReadFileBytes(DrawsFile()).size(), 6 * sizeof(TDrawRecord));
}

void MainWindowTest::DeleteSelectedAsksFirst() {
    auto* list = List();
    // Rows 0 and 2: draws 105 and 103.
    list->selectionModel()->select(list->model()->index(0, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->select(list->model()->index(2, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QString question =
        QStringLiteral("Подтверждение|") + GuiHost::MessageText(DeleteRowsQuestion(2));

    prompts_->Answers = {false};
    QVERIFY(window_->Commands().Execute("DrawsDel"));
    QCOMPARE(prompts_->Seen, QStringList{question});
    QCOMPARE(list->model()->rowCount(), 5);
    QVERIFY(list->selectionModel()->hasSelection());

    prompts_->Answers = {true};
    QVERIFY(window_->Commands().Execute("DrawsDel"));
    QCOMPARE(prompts_->Seen.size(), 2);
    QCOMPARE(list->model()->rowCount(), 3);
    QVERIFY(!list->selectionModel()->hasSelection());
    QCOMPARE(Cell(list->model(), 0, 0).toInt(), 104);
    QCOMPARE(Cell(list->model(), 1, 0).toInt(), 102);
    QCOMPARE(Panel(StatusPanels::ArchiveSize), QStringLiteral("Архив тиражей: 3"));

    TDrawsArray saved;
    ReadDrawsFile(DrawsFile(), saved);
    QCOMPARE(saved.size(), size_t{3});
    QCOMPARE(saved[2].DrawNo, 104);
}

void MainWindowTest::EmptyFolderStartsEmpty() {
    test::TempDir empty;
    StartWindow(empty.Path());
    QCOMPARE(List()->model()->rowCount(), 0);
    // Nothing was loaded, so the panels keep their initial texts.
    QCOMPARE(Panel(StatusPanels::ArchiveSize), QStringLiteral("Архив тиражей: 0"));
    QCOMPARE(Panel(StatusPanels::NextDraw), QStringLiteral("Следующий тираж: 0"));
    QCOMPARE(window_->findChild<QSpinBox*>("seDrawsOffset")->maximum(), 0);
    QVERIFY(!Action("DrawsExport")->isEnabled());

    int proposed = 0;
    test::OnNextModal<TFormDraw>([&](TFormDraw* form) {
        proposed = form->findChild<QSpinBox*>("edDrawNumber")->value();
        form->reject();
    });
    QVERIFY(window_->Commands().Execute("DrawsAdd"));
    QCOMPARE(proposed, 1);
    QVERIFY(!FileExists(empty.File(DrawsFileName)));
    window_.reset();
}

void MainWindowTest::DrawsModelIsConsistent() {
    // Its own workspace, so the tester sees every change from the first load.
    window_.reset();
    test::TempDir dir;
    WriteDrawsFile(dir.File(DrawsFileName), FixtureDraws());
    GuiHost host;
    test::Prompts prompts(host);
    Workspace ws(host, dir.Path());
    DrawsModel model(ws);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);

    ws.LoadDrawsFile();
    model.Refresh(false);
    QCOMPARE(model.rowCount(), 5);
    ws.AddDraw(test::MakeDraw(106, {1, 2, 3, 4, 5, 7}));
    model.Refresh(true);
    QCOMPARE(model.data(model.index(0, 0)).toInt(), 106);
    QCOMPARE(model.data(model.index(5, 0)).toInt(), 101);
    prompts.Answers = {true};
    QVERIFY(ws.DeleteDraws({106, 101}));
    model.Refresh(true);
    QCOMPARE(model.rowCount(), 4);
    // Rows past the archive's end read as empty until the model hears of it.
    ws.ClearDraws();
    QVERIFY(!model.data(model.index(0, 0)).isValid());
}

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
