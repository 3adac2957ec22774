#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "combs/combs_model.h"
#include "combs/combs_tab.h"
#include "combs/filter_log_model.h"
#include "combs/form_gen_combs.h"
#include "draws/form_info.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "main/status_panels.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "test_support.h"

using namespace tessara;

namespace {

constexpr int kFullList = 5245786;
// The seven combinations of the numbers 1..7, in generation order.
const TCombsGenerateParams kSeven{gmOnlyMine, "1;2;3;4;5;6;7"};

QString RowText(const QAbstractItemModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << m->data(m->index(row, c)).toString();
    return cells.join(QLatin1Char(' '));
}

QStringList AllRows(const QAbstractItemModel* m) {
    QStringList rows;
    for (int r = 0; r < m->rowCount(); ++r) rows << RowText(m, r);
    return rows;
}

QImage IconImage(const QVariant& v) { return v.value<QIcon>().pixmap(16, 16).toImage(); }

}  // namespace

class CombsGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void StartsWithTheFullList();
    void GenerateThroughTheDialog();
    void DeleteSelectedThenUndo();
    void CopyAndPaste();
    void ExcludeDrawsFromTheSpinBoxAndKeepOptions();
    void InfoAndSearchUseTheFirstSelectedRow();
    void SelectionRangesMerge_data();
    void SelectionRangesMerge();
    void ModelsAreConsistent();

  private:
    void StartWindow();
    void MakeSevenRows();
    void SelectRows(std::initializer_list<int> rows);
    QTableView* List() const { return window_->findChild<QTableView*>("lvCombs"); }
    QAbstractItemModel* Log() const {
        return window_->findChild<QTableView*>("lvFilters")->model();
    }
    QAction* Action(const char* name) const { return window_->Commands().Action(name); }
    QString CountPanel() const { return window_->Panels().Text(StatusPanels::CombsCount); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void CombsGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    // The newest draw keeps its numbers in drawn order.
    WriteDrawsFile(dir_->File(DrawsFileName), {test::MakeDraw(101, {1, 2, 3, 4, 5, 6}),
                                               test::MakeDraw(102, {7, 8, 9, 10, 11, 12}),
                                               test::MakeDraw(103, {33, 7, 41, 2, 18, 25})});
    StartWindow();
}

void CombsGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void CombsGuiTest::StartWindow() {
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void CombsGuiTest::MakeSevenRows() {
    QVERIFY(window_->Work().GenerateCombs(true, kSeven));
    QCOMPARE(List()->model()->rowCount(), 7);
}

void CombsGuiTest::SelectRows(std::initializer_list<int> rows) {
    for (int r : rows)
        List()->selectionModel()->select(List()->model()->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CombsGuiTest::StartsWithTheFullList() {
    const QAbstractItemModel* m = List()->model();
    QCOMPARE(m->rowCount(), kFullList);
    QCOMPARE(CountPanel(), QStringLiteral("Комбинаций: 5245786"));
    QCOMPARE(RowText(m, 0), QStringLiteral("1 1 2 3 4 5 6 21"));
    QCOMPARE(RowText(m, kFullList - 1), QStringLiteral("5245786 37 38 39 40 41 42 237"));
    QCOMPARE(m->headerData(CombsModel::ColIndex, Qt::Horizontal).toString(),
             QStringLiteral("№ п.п."));
    QCOMPARE(Log()->rowCount(), 0);

    // Channel colours: white cells, the group colour on the numbers.
    const TColor c = NumberGroupColor(42, window_->Work().ChannelSize());
    QCOMPARE(m->data(m->index(kFullList - 1, CombsModel::ColSum - 1), Qt::BackgroundRole),
             QVariant(QColor(c.r, c.g, c.b)));
    QCOMPARE(m->data(m->index(0, CombsModel::ColSum), Qt::BackgroundRole),
             QVariant(QColor(Qt::white)));

    QCOMPARE(window_->findChild<QToolButton*>("btnCombsGen")->text(), QStringLiteral("Новый"));
    QCOMPARE(window_->findChild<QToolButton*>("btnCombsDelExists")->text(),
             QStringLiteral("[-] Тиражи"));
    QVERIFY(!Action("CombsUndo")->isEnabled());
    QVERIFY(!Action("CombsDelSelected")->isEnabled());
    QVERIFY(!Action("CombsDelExists")->isEnabled());  // nothing to exclude yet
    QVERIFY(Action("CombsSave")->isEnabled());

    // Selecting everything is one range, not millions of rows.
    QVERIFY(window_->Commands().Execute("CombsSelectAll"));
    const auto* tab = window_->findChild<CombsTab*>();
    QCOMPARE(tab->SelectedRanges(), (TRowRanges{{0, kFullList - 1}}));
    QVERIFY(Action("CombsDelSelected")->isEnabled());
}

void CombsGuiTest::GenerateThroughTheDialog() {
    QString caption;
    test::OnNextModal<TFormGenCombs>([&](TFormGenCombs* form) {
        caption = form->windowTitle();
        auto* mode = form->findChild<QComboBox*>("cbCombsGenerateMode");
        auto* text = form->findChild<QLineEdit*>("edCombsGenerateParam");
        auto* file = form->findChild<QToolButton*>("btnCombsGenerateFile");
        auto* save = form->findChild<QCheckBox*>("cbSaveParameters");
        // Opens on the defaults: the full list needs no text.
        QCOMPARE(mode->count(), 5);
        QCOMPARE(mode->currentIndex(), 0);
        QVERIFY(!text->isEnabled());
        QVERIFY(!file->isEnabled());
        QVERIFY(!save->isChecked());
        mode->setCurrentIndex(gmFromFile);
        QVERIFY(text->isEnabled());
        QVERIFY(file->isEnabled());
        mode->setCurrentIndex(gmOnlyMine);
        QVERIFY(!file->isEnabled());
        text->setText(QString::fromStdString(kSeven.Parameters));
        save->setChecked(true);
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("CombsGen"));
    QCOMPARE(caption, QStringLiteral("Создание нового списка комбинаций"));
    QCOMPARE(
        AllRows(List()->model()),
        QStringList({"1 1 2 3 4 5 6 21", "2 1 2 3 4 5 7 22", "3 1 2 3 4 6 7 23", "4 1 2 3 5 6 7 24",
                     "5 1 2 4 5 6 7 25", "6 1 3 4 5 6 7 26", "7 2 3 4 5 6 7 27"}));
    QCOMPARE(CountPanel(), QStringLiteral("Комбинаций: 7"));
    // A generation that went through leaves nothing to undo.
    QVERIFY(!Action("CombsUndo")->isEnabled());
    QCOMPARE(window_->Work().GenerateDefaults(), kSeven);

    // The next dialog opens on the saved defaults; cancelling changes nothing.
    int openedMode = -1;
    test::OnNextModal<TFormGenCombs>([&](TFormGenCombs* form) {
        openedMode = form->findChild<QComboBox*>("cbCombsGenerateMode")->currentIndex();
        QVERIFY(form->findChild<QLineEdit*>("edCombsGenerateParam")->isEnabled());
        form->reject();
    });
    QVERIFY(window_->Commands().Execute("CombsGen"));
    QCOMPARE(openedMode, int(gmOnlyMine));
    QCOMPARE(List()->model()->rowCount(), 7);

    // Numbers outside 1..42 would leave an empty list that cannot be
    // undone: the user is asked first, and No keeps the list.
    const auto generateMine = [&](const QString& numbers) {
        test::OnNextModal<TFormGenCombs>([numbers](TFormGenCombs* form) {
            form->findChild<QComboBox*>("cbCombsGenerateMode")->setCurrentIndex(gmOnlyMine);
            form->findChild<QLineEdit*>("edCombsGenerateParam")->setText(numbers);
            form->accept();
        });
        QVERIFY(window_->Commands().Execute("CombsGen"));
    };
    prompts_->Seen.clear();
    generateMine(QStringLiteral("1;2;3;50"));
    QCOMPARE(prompts_->Seen,
             QStringList{QStringLiteral("Подтверждение|Числа вне диапазона 1..42 не войдут в комбинации: 50."
                                        "\n\nСписок комбинаций будет пуст.\n\nСгенерировать список?")});
    QCOMPARE(List()->model()->rowCount(), 7);
    QCOMPARE(window_->Work().GenerateDefaults(), kSeven);
    prompts_->Answers = {true};
    generateMine(QStringLiteral("1;2;3;50"));
    QCOMPARE(List()->model()->rowCount(), 0);
}

void CombsGuiTest::DeleteSelectedThenUndo() {
    MakeSevenRows();
    SelectRows({1, 4});
    QVERIFY(window_->Commands().Execute("CombsDelSelected"));
    QCOMPARE(AllRows(List()->model()),
             QStringList({"1 1 2 3 4 5 6 21", "2 1 2 3 4 6 7 23", "3 1 2 3 5 6 7 24",
                          "4 1 3 4 5 6 7 26", "5 2 3 4 5 6 7 27"}));
    QVERIFY(!List()->selectionModel()->hasSelection());
    QCOMPARE(CountPanel(), QStringLiteral("Комбинаций: 5"));
    QCOMPARE(Log()->rowCount(), 1);
    QCOMPARE(RowText(Log(), 0), QStringLiteral("Выделенные комбинации 2 5"));
    QCOMPARE(IconImage(Log()->data(Log()->index(0, 0), Qt::DecorationRole)),
             IconImage(FilterLogModel::Icon(TLogIcon::Exclude)));

    QVERIFY(window_->Commands().Execute("CombsUndo"));
    QCOMPARE(List()->model()->rowCount(), 7);
    QCOMPARE(RowText(List()->model(), 1), QStringLiteral("2 1 2 3 4 5 7 22"));
    QCOMPARE(Log()->rowCount(), 0);
    QCOMPARE(CountPanel(), QStringLiteral("Комбинаций: 7"));
    QVERIFY(!Action("CombsUndo")->isEnabled());
}

void CombsGuiTest::CopyAndPaste() {
    MakeSevenRows();
    // Copied top to bottom, whatever the order of selecting.
    SelectRows({2, 0});
    QVERIFY(window_->Commands().Execute("CombsCopy"));
    QClipboard* clipboard = QGuiApplication::clipboard();
    QCOMPARE(clipboard->text(), QStringLiteral("01 02 03 04 05 06\r\n01 02 03 04 06 07\r\n"));

    clipboard->setText(QStringLiteral("1 2 3 4 5 6\r\nbad\r\n"));
    QVERIFY(window_->Commands().Execute("CombsPaste"));
    QCOMPARE(prompts_->Seen,
             QStringList{QStringLiteral("Ошибка|Некорректная комбинация: \"bad\"!")});
    QCOMPARE(List()->model()->rowCount(), 7);
    QCOMPARE(RowText(List()->model(), 6), QStringLiteral("7 2 3 4 5 6 7 27"));
    QVERIFY(!Action("CombsUndo")->isEnabled());

    clipboard->setText(QStringLiteral("3,12,17,25,30,41\n41|30|25|17|12|3"));
    QVERIFY(window_->Commands().Execute("CombsPaste"));
    QCOMPARE(AllRows(List()->model()),
             QStringList({"1 3 12 17 25 30 41 128", "2 41 30 25 17 12 3 128"}));
    QCOMPARE(CountPanel(), QStringLiteral("Комбинаций: 2"));
}

void CombsGuiTest::ExcludeDrawsFromTheSpinBoxAndKeepOptions() {
    auto* exclude = window_->findChild<QSpinBox*>("edCombsExclude");
    QCOMPARE(exclude->value(), 0);
    exclude->setValue(1);
    QTRY_VERIFY(Action("CombsDelExists")->isEnabled());
    // Enter in the box runs the command: the newest draw goes, in any order.
    QTest::keyClick(exclude, Qt::Key_Return);
    QCOMPARE(List()->model()->rowCount(), kFullList - 1);
    QCOMPARE(RowText(Log(), 0), QStringLiteral("Последние тиражи 1 5245785"));
    QVERIFY(!window_->Work().CombsContains(TCombination{{2, 7, 18, 25, 33, 41}}));

    QVERIFY(window_->Commands().Execute("ViewColorCombs"));
    QVERIFY(!Action("ViewColorCombs")->isChecked());
    const QAbstractItemModel* m = List()->model();
    QVERIFY(!m->data(m->index(0, CombsModel::ColFirstNumber), Qt::BackgroundRole).isValid());

    // Both options come back with the next start.
    StartWindow();
    QCOMPARE(window_->findChild<QSpinBox*>("edCombsExclude")->value(), 1);
    QVERIFY(!Action("ViewColorCombs")->isChecked());
    QVERIFY(Action("CombsDelExists")->isEnabled());
}

void CombsGuiTest::InfoAndSearchUseTheFirstSelectedRow() {
    window_->Work().PasteCombs("1 2 3 4 5 6\r\n2 7 18 25 33 41\r\n");
    QVERIFY(!Action("CombsInfo")->isEnabled());
    SelectRows({1});
    QTRY_VERIFY(Action("CombsInfo")->isEnabled());

    QStringList card;
    QMap<QString, QString> props;
    test::OnNextModal<TFormInfo>([&](TFormInfo* form) {
        const auto* grid = form->findChild<QTableWidget*>("sgCard");
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (grid->item(r, c) && !grid->item(r, c)->text().isEmpty())
                    card << grid->item(r, c)->text();
        const auto* list = form->findChild<QTreeWidget*>("lvProps");
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            props[list->topLevelItem(i)->text(0)] = list->topLevelItem(i)->text(1);
    });
    QVERIFY(window_->Commands().Execute("CombsInfo"));
    card.sort();
    QCOMPARE(card, QStringList({"18", "2", "25", "33", "41", "7"}));
    // The statistic rows as for a draw, without the number and date rows.
    const TStatList& stats = window_->Work().Stats();
    int graphs = 0;
    for (int i = 0; i < stats.Count(); ++i) graphs += stats.HasGraph(i) && stats.IsListed(i);
    QVERIFY(graphs > 0);
    QCOMPARE(props.size(), graphs);
    QVERIFY(!props.contains(QStringLiteral("Номер тиража:")));
    const auto name = [&](const char* code) {
        return QString::fromStdString(stats.Items(stats.FindMethod(code)).DisplayName());
    };
    QCOMPARE(props.value(name("POS1")), QStringLiteral("2"));

    QVERIFY(window_->Commands().Execute("CombsFindInDraws"));
    QCOMPARE(prompts_->Seen.size(), 1);
    QVERIFY(prompts_->Seen[0].startsWith(
        QStringLiteral("Информация|Выделенная комбинация найдена в следующих тиражах:\n\n")));
}

void CombsGuiTest::SelectionRangesMerge_data() {
    QTest::addColumn<TRowRanges>("ranges");
    QTest::addColumn<TRowRanges>("merged");
    QTest::newRow("none") << TRowRanges{} << TRowRanges{};
    QTest::newRow("unordered, adjacent")
        << TRowRanges{{5, 6}, {0, 1}, {9, 9}, {2, 3}, {8, 8}} << TRowRanges{{0, 3}, {5, 6}, {8, 9}};
    QTest::newRow("overlapping, nested")
        << TRowRanges{{4, 4}, {0, 5}, {2, 3}, {3, 7}} << TRowRanges{{0, 7}};
}

void CombsGuiTest::SelectionRangesMerge() {
    QFETCH(TRowRanges, ranges);
    QFETCH(TRowRanges, merged);
    QCOMPARE(MergeRowRanges(ranges), merged);
}

void CombsGuiTest::ModelsAreConsistent() {
    window_.reset();
    GuiHost host;
    test::Prompts prompts(host);
    Workspace ws(host, dir_->Path());
    CombsModel combs(ws);
    FilterLogModel log(ws);
    QAbstractItemModelTester combsTester(&combs,
                                         QAbstractItemModelTester::FailureReportingMode::QtTest);
    QAbstractItemModelTester logTester(&log,
                                       QAbstractItemModelTester::FailureReportingMode::QtTest);
    host.OnNotify([&](Change change) {
        if (change != Change::List) return;
        combs.Refresh();
        log.Refresh();
    });

    QVERIFY(ws.GenerateCombs(true, kSeven));
    QCOMPARE(combs.rowCount(), 7);
    QVERIFY(ws.DeleteSelectedCombs({{0, 1}}));
    ws.AddFilterLogEntry(false, "Сумма", "21-30");
    ws.AddUndoLogEntry();
    QCOMPARE(combs.rowCount(), 5);
    QCOMPARE(log.rowCount(), 3);
    QCOMPARE(log.headerData(FilterLogModel::ColCount, Qt::Horizontal).toString(),
             QStringLiteral("Комбинаций"));
    // The three kinds of step are told apart at a glance.
    const QImage exclude = IconImage(log.data(log.index(0, 0), Qt::DecorationRole));
    const QImage include = IconImage(log.data(log.index(1, 0), Qt::DecorationRole));
    const QImage undo = IconImage(log.data(log.index(2, 0), Qt::DecorationRole));
    QVERIFY(!exclude.isNull());
    QVERIFY(exclude != include && include != undo && undo != exclude);
    QVERIFY(ws.UndoLastOperation());
    QCOMPARE(combs.rowCount(), 7);
    QVERIFY(ws.PasteCombs("1 2 3 4 5 6\n"));
    QCOMPARE(combs.rowCount(), 1);
    QCOMPARE(log.rowCount(), 0);
}

QTEST_MAIN(CombsGuiTest)
#include "combs_gui_test.moc"
