#include <QAbstractItemModelTester>
#include <QAction>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHeaderView>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "base/ini_file.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "test_support.h"
#include "views/card_model.h"
#include "views/card_tab.h"
#include "views/layout_tab.h"
#include "views/number_views.h"
#include "views/week_chart.h"
#include "views/week_tab.h"

using namespace tessara;

namespace {

QColor Background(const QAbstractItemModel* m, int row, int column) {
    return m->data(m->index(row, column), Qt::BackgroundRole).value<QColor>();
}

void Select(QAbstractItemView* view, int top, int left, int bottom, int right) {
    const QAbstractItemModel* m = view->model();
    view->selectionModel()->select(QItemSelection(m->index(top, left), m->index(bottom, right)),
                                   QItemSelectionModel::ClearAndSelect);
}

}  // namespace

class ViewsGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void CardShowsTheArchiveAndFilters();
    void LayoutAndItsComparisonLists();
    void WeekCountsChartAndFilter();
    void TabsAndOptionsAreKept();
    void ScreenshotsOfTheDemoData();

  private:
    bool Run(const char* name) { return window_->Commands().Execute(QString::fromLatin1(name)); }
    QTabWidget* Right() const { return window_->findChild<QTabWidget*>("pcRight"); }
    void Show(QWidget* page) { Right()->setCurrentWidget(page); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void ViewsGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    // Draw 100 (1, 2, 3, ...) under draw 101 (2, 10, ...); 7 and 14 March
    // 2021 were Sundays, the 8th a Monday.
    WriteDrawsFile(dir_->File(DrawsFileName),
                   {test::MakeDraw(99, {5, 12, 20, 30, 40, 41}, 3, "07 марта 2021"),
                    test::MakeDraw(100, {1, 2, 3, 20, 25, 33}, 5, "08 марта 2021"),
                    test::MakeDraw(101, {2, 10, 30, 36, 38, 7}, 7, "14 марта 2021")});
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void ViewsGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void ViewsGuiTest::CardShowsTheArchiveAndFilters() {
    CardTab* card = window_->Views().Card();
    Show(card);
    QTableView* grid = card->Grid();
    QCOMPARE(grid->objectName(), QStringLiteral("sgCard"));
    const QAbstractItemModel* m = grid->model();
    QAbstractItemModelTester tester(const_cast<QAbstractItemModel*>(m),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(m->columnCount(), 43);
    QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QStringLiteral("101"));
    QCOMPARE(m->headerData(42, Qt::Horizontal).toString(), QStringLiteral("E"));
    QCOMPARE(m->data(m->index(0, 1)).toString(), QStringLiteral("2"));
    QCOMPARE(m->data(m->index(0, 42)).toString(), QStringLiteral("7"));
    QCOMPARE(Background(m, 0, 1), QColor(0, 255, 0));    // the 2 of draw 101
    QCOMPARE(Background(m, 1, 1), QColor(255, 255, 0));  // the 2 of draw 100

    // Sequences off: the 2 takes its channel's colour; the option is kept.
    QVERIFY(Run("ViewColorCardSequences"));
    QCOMPARE(Background(m, 1, 1), QColor(170, 255, 170));
    QCOMPARE(window_->Work().View().ReadBool(MainWindowSection, "ColorCardSequences", true), false);

    // The extra-ball column alone cannot filter.
    Select(grid, 0, 42, 2, 42);
    window_->Commands().Update();
    QVERIFY(!window_->Commands().Action("CardFilter_Include")->isEnabled());
    // Draw 99's cells 5..12 hold 5 and 12.
    Select(grid, 2, 4, 2, 11);
    QVERIFY(Run("CardFilter_Include"));
    QCOMPARE(window_->Work().CombsCount(), 1407406);
    QCOMPARE(window_->Work().FilterLog().back().Caption, std::string("Карта"));
    QCOMPARE(window_->Work().FilterLog().back().Value, std::string("5; 12"));
    // Only empty cells: the message, and the list stays.
    Select(grid, 0, 3, 1, 4);
    QVERIFY(Run("CardFilter_Exclude"));
    QCOMPARE(prompts_->Seen.value(0), QStringLiteral("Ошибка|В выделенном диапазоне нет значений для фильтра!"));
    QCOMPARE(window_->Work().CombsCount(), 1407406);
    QCOMPARE(window_->Work().FilterLog().size(), size_t{1});
}

void ViewsGuiTest::LayoutAndItsComparisonLists() {
    LayoutTab* layout = window_->Views().Layout();
    Show(layout);
    QTableWidget* grid = layout->Grid();
    // Three draws in the window: 2, 20 and 30 twice.
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("2"));
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("101"));
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("2, 30"));
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("20"));
    QCOMPARE(layout->CompareList(0)->headerItem()->text(1), QStringLiteral("99 - 101"));
    QCOMPARE(layout->CompareList(0)->topLevelItem(0)->text(1), QStringLiteral("2, 30, 20"));
    // A draw changed in place is a change too, though the archive keeps its size.
    TDrawRecord edited = window_->Work().Archive()[2];
    edited.Numbers[2] = 11;
    QVERIFY(window_->Work().ReplaceDraw(2, edited));
    QCOMPARE(grid->item(0, 0)->text(), QStringLiteral("2"));
    QCOMPARE(layout->CompareList(0)->topLevelItem(0)->text(1), QStringLiteral("2, 20"));
    edited.Numbers[2] = 30;
    QVERIFY(window_->Work().ReplaceDraw(2, edited));

    // One draw back: the numbers of draw 101 are marked and green.
    window_->Work().SetDrawsOffset(1);
    QCOMPARE(grid->horizontalHeaderItem(0)->text(), QStringLiteral("100"));
    QList<QTableWidgetItem*> marked = grid->findItems(QStringLiteral("[2]"), Qt::MatchContains);
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked[0]->background().color(), QColor(0, 255, 0));
    QCOMPARE(layout->CompareList(0)->headerItem()->text(1), QStringLiteral("99 - 100"));
    // The gradient gives way to the checkerboard.
    QTableWidgetItem* plain = grid->findItems(QStringLiteral("20"), Qt::MatchExactly).value(0);
    QVERIFY(plain);
    QVERIFY(Run("ViewShemaGradient"));
    QCOMPARE(plain->background().color(), QColor(234, 255, 234));

    // A scheme cell filters by its numbers, brackets removed.
    grid->setRangeSelected(QTableWidgetSelectionRange(marked[0]->row(), marked[0]->column(),
                                                      marked[0]->row(), marked[0]->column()),
                           true);
    QVERIFY(Run("LayoutFilter_Exclude"));
    QCOMPARE(window_->Work().FilterLog().back().Caption, std::string("Схема"));
    QCOMPARE(window_->Work().FilterLog().back().Value, std::string("1; 2; 3; 25; 33"));
    QCOMPARE(window_->Work().CombsCount(), 2324784);  // C(37,6)
}

void ViewsGuiTest::WeekCountsChartAndFilter() {
    WeekTab* week = window_->Views().Week();
    Show(week);
    QTableWidget* grid = week->Grid();
    QCOMPARE(grid->verticalHeaderItem(0)->text(), QStringLiteral("Пн"));
    QCOMPARE(grid->verticalHeaderItem(6)->text(), QStringLiteral("Вс"));
    QCOMPARE(grid->item(6, 1)->text(), QStringLiteral("1"));   // 2 on Sunday the 14th
    QCOMPARE(grid->item(0, 1)->text(), QStringLiteral("1"));   // and Monday the 8th
    QCOMPARE(grid->item(6, 29)->text(), QStringLiteral("2"));  // 30 on both Sundays
    QCOMPARE(grid->item(6, 29)->background().color(), QColor(255, 0, 0));
    QCOMPARE(grid->item(0, 29)->text(), QString());

    // Weekday mode with number 7 selected: seven bars, Monday to Sunday.
    QVERIFY(Run("ViewWeekChartMode"));
    grid->setCurrentCell(3, 6);
    QChart* chart = week->Chart()->chart();
    QCOMPARE(chart->series().size(), 1);
    QCOMPARE(chart->axes().size(), 2);
    auto* bars = qobject_cast<QBarSeries*>(chart->series().at(0));
    QVERIFY(bars);
    QCOMPARE(bars->barSets().at(0)->count(), 7);
    QCOMPARE(bars->barSets().at(0)->at(6), 1.0);
    QCOMPARE(window_->Work().View().ReadInteger(MainWindowSection, "WeekChartMode", 0), 1);

    grid->setRangeSelected(QTableWidgetSelectionRange(2, 4, 3, 6), true);
    QVERIFY(Run("WeekFilter_Exclude"));
    QCOMPARE(window_->Work().CombsCount(), 3262623);
    QCOMPARE(window_->Work().FilterLog().back().Caption, std::string("Неделя"));
    QCOMPARE(window_->Work().FilterLog().back().Value, std::string("5; 6; 7"));
}

void ViewsGuiTest::TabsAndOptionsAreKept() {
    QTabWidget* right = Right();
    const int index = right->indexOf(window_->Views().Layout());
    QVERIFY(right->isTabVisible(index));
    QVERIFY(Run("TabLayout"));
    QVERIFY(!right->isTabVisible(index));
    window_->Views().Layout()->LengthBox()->setValue(7);
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    right = Right();
    QVERIFY(!right->isTabVisible(right->indexOf(window_->Views().Layout())));
    QCOMPARE(window_->Views().Layout()->LengthBox()->value(), 7);
    // Shown again, the tab comes to the front with a fresh scheme.
    QVERIFY(Run("TabLayout"));
    QCOMPARE(right->currentWidget(), window_->Views().Layout());
    QCOMPARE(window_->Views().Layout()->Grid()->horizontalHeaderItem(0)->text(), QStringLiteral("101"));
}

void ViewsGuiTest::ScreenshotsOfTheDemoData() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    test::TempDir demo;
    const std::string sample = TESSARA_SAMPLE_DIR;
    std::filesystem::copy_file(sample + "/Tessara_6x42.ldr", demo.File(DrawsFileName));
    test::StartMainWindow(demo.Path(), window_, prompts_);
    window_->resize(1400, 900);
    window_->show();
    QDir().mkpath(out);
    const auto shoot = [&](QWidget* page, const char* name) {
        Show(page);
        QCoreApplication::processEvents();
        QVERIFY(window_->grab().save(out + QLatin1Char('/') + QLatin1String(name)));
    };
    CardTab* card = window_->Views().Card();
    Show(card);
    Select(card->Grid(), 0, 0, 4, 6);
    QVERIFY(Run("CardFilter_Include"));
    shoot(card, "card.png");
    window_->Work().SetDrawsOffset(1);
    shoot(window_->Views().Layout(), "layout.png");
    QVERIFY(Run("ViewShemaGradient"));
    shoot(window_->Views().Layout(), "layout_checkerboard.png");
    window_->Views().Week()->Grid()->setCurrentCell(2, 6);
    shoot(window_->Views().Week(), "week.png");
    QVERIFY(Run("ViewWeekChartType"));
    QVERIFY(Run("ViewWeekChartMode"));
    shoot(window_->Views().Week(), "week_line.png");
}

QTEST_MAIN(ViewsGuiTest)
#include "views_gui_test.moc"
