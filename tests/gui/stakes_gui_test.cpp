#include <QAbstractItemModelTester>
#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "main/status_panels.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "ratings/ratings_model.h"
#include "stakes/form_multi.h"
#include "stakes/form_stake.h"
#include "stakes/form_stake_filter.h"
#include "stakes/stake_create.h"
#include "stakes/stakes_grid.h"
#include "stakes/stakes_model.h"
#include "test_support.h"

using namespace tessara;

namespace {

// Draw 103 is the one the stakes are checked against; 104 is still to come.
const std::initializer_list<int> kDraw103 = {7, 19, 3, 40, 22, 11};

QStringList RowTexts(const QAbstractItemModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << m->data(m->index(row, c)).toString();
    return cells;
}

// "n" for a regular number, "n*" for a matched one.
QString NumbersText(const QAbstractItemModel* m, int row, int col) {
    QStringList out;
    for (const QVariant& item : m->data(m->index(row, col), StakesModel::NumbersRole).toList()) {
        const QVariantList pair = item.toList();
        out << pair.value(0).toString() + (pair.value(1).toBool() ? QStringLiteral("*") : QString());
    }
    return out.join(QLatin1Char(' '));
}

// A cell as the grid's delegate draws it, not selected.
QImage CellImage(QTableView* grid, int row, int col) {
    QImage image(grid->columnWidth(col), grid->rowHeight(row), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.initFrom(grid);
    option.state &= ~QStyle::State_Selected;
    option.rect = image.rect();
    option.font = grid->font();
    grid->itemDelegate()->paint(&painter, option, grid->model()->index(row, col));
    return image;
}

bool HasBlue(const QImage& image) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.blue() > 200 && c.red() < 80 && c.green() < 80) return true;
        }
    return false;
}

TStakeNumbers Numbers(std::initializer_list<int> numbers) {
    TStakeNumbers list{};
    for (int n : numbers) list.Numbers[list.Count++] = static_cast<uint8_t>(n);
    return list;
}

}  // namespace

class StakesGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void GridShowsStakesFromTheFile();
    void StakeDialogChecksItsFields_data();
    void StakeDialogChecksItsFields();
    void DoubleClickOnACombinationMakesAStake();
    void MultiStakeForSelectedCombinations();
    void DeleteByConditionAndBySelection();
    void RatingsListSortsByClickAndFollowsTheMode();
    void RatingsBecomeScenarioLinesAndACsvFile();
    void MenusHoldTheCommands();

  private:
    void StartWindow();
    // A stake of the core's own prefill, created and checked at once.
    void MakeStake(int draw, std::initializer_list<int> numbers, const std::string& comment);
    void ShowWindow();
    Workspace& Work() { return window_->Work(); }
    QTableView* Grid() const { return window_->findChild<QTableView*>("sgStakes"); }
    QTableView* Ratings() const { return window_->findChild<QTableView*>("lvRatings"); }
    QTableView* Combs() const { return window_->findChild<QTableView*>("lvCombs"); }
    QAction* Action(const char* name) const { return window_->Commands().Action(name); }
    bool Execute(const char* name) { return window_->Commands().Execute(name); }
    QString Panel(StatusPanels::Panel p) const { return window_->Panels().Text(p); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void StakesGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName),
                   {test::MakeDraw(101, {1, 2, 3, 4, 5, 6}), test::MakeDraw(102, {8, 9, 10, 11, 12, 13}),
                    test::MakeDraw(103, kDraw103)});
    StartWindow();
    // A ticket costs 5, three matches pay 25, four 250.
    TConfigData config = Work().Config();
    config.Cost = 5 * MoneyScale;
    config.Profits = {{3, 25 * MoneyScale}, {4, 250 * MoneyScale}};
    Work().ApplyConfig(config);
}

void StakesGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void StakesGuiTest::StartWindow() {
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void StakesGuiTest::ShowWindow() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void StakesGuiTest::MakeStake(int draw, std::initializer_list<int> numbers,
                              const std::string& comment) {
    TStakeRecord r = Work().PrefillManualStake(nullptr);
    r = ApplyStakeDialog(r, draw, comment, Numbers(numbers), Work().Config());
    QVERIFY(Work().CreateStake(r, 1));
}

void StakesGuiTest::GridShowsStakesFromTheFile() {
    const QAbstractItemModel* m = Grid()->model();
    // No stakes: the header and one blank row.
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(RowTexts(m, 0).join(QString()), QString());
    QCOMPARE(Panel(StatusPanels::StakesCount), QStringLiteral("Ставок: 0"));
    QCOMPARE(m->headerData(4, Qt::Horizontal).toString(), QStringLiteral("Результаты тиража"));
    // The reset widths, wider only where the font needs it.
    for (int c = 0; c < StakesGridColumnCount; ++c)
        QVERIFY(Grid()->horizontalHeader()->sectionSize(c) >= StakesGridColumnWidth(c));
    QCOMPARE(Grid()->horizontalHeader()->sectionSize(StakesModel::ColComment), 1000);

    MakeStake(103, {3, 7, 15, 22, 30, 41}, "Тест");   // three matches: 25 - 5
    MakeStake(104, {1, 2, 4, 5, 6, 8}, "Ждёт");       // no draw yet
    MakeStake(103, {1, 2, 4, 5, 6, 8, 9}, "Мимо");    // seven numbers, nothing matched

    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(Panel(StatusPanels::StakesCount), QStringLiteral("Ставок: 3"));
    QCOMPARE(Grid()->selectionModel()->selectedRows().value(0).row(), 2);
    QCOMPARE(RowTexts(m, 0), (QStringList{"103", "Вручную", "3;7;15;22;30;41", "5245786",
                                          "7;19;3;40;22;11", "3", "3 7 22", "20.00", "Тест"}));
    // Unchecked: the cost as profit, no result.
    QCOMPARE(RowTexts(m, 1), (QStringList{"104", "Вручную", "1;2;4;5;6;8", "5245786", "", "", "",
                                          "-5.00", "Ждёт"}));
    QCOMPARE(RowTexts(m, 2).at(7), QStringLiteral("-35.00"));

    // Matched numbers in both columns of numbers, the result in draw order.
    QCOMPARE(NumbersText(m, 0, StakesModel::ColNumbers), QStringLiteral("3* 7* 15 22* 30 41"));
    QCOMPARE(NumbersText(m, 0, StakesModel::ColResult), QStringLiteral("7* 19 3* 40 22* 11"));
    QCOMPARE(NumbersText(m, 1, StakesModel::ColResult), QString());

    // Colours: the kind's background; profit green, loss red, unchecked plain.
    QCOMPARE(m->data(m->index(1, 0), Qt::BackgroundRole), QVariant(QColor(234, 255, 234)));
    for (int col = StakesModel::ColMatchCount; col <= StakesModel::ColProfit; ++col) {
        QCOMPARE(m->data(m->index(0, col), Qt::ForegroundRole), QVariant(QColor(0, 128, 0)));
        QCOMPARE(m->data(m->index(2, col), Qt::ForegroundRole), QVariant(QColor(255, 0, 0)));
        QCOMPARE(m->data(m->index(1, col), Qt::ForegroundRole), QVariant(QColor(Qt::black)));
    }
    // Drawn: the kind's background, matched numbers in blue, the others not.
    QCOMPARE(CellImage(Grid(), 0, StakesModel::ColNumbers).pixelColor(0, 0), QColor(234, 255, 234));
    QVERIFY(HasBlue(CellImage(Grid(), 0, StakesModel::ColNumbers)));
    QVERIFY(HasBlue(CellImage(Grid(), 0, StakesModel::ColResult)));
    QVERIFY(!HasBlue(CellImage(Grid(), 2, StakesModel::ColNumbers)));
    QCOMPARE(m->data(m->index(0, StakesModel::ColProfit), Qt::TextAlignmentRole)
                 .value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);

    // A new draw checks the waiting stake with the next check.
    QVERIFY(Work().AddDraw(test::MakeDraw(104, {1, 2, 4, 30, 31, 32})));
    QVERIFY(Execute("StakesCheckManual"));
    QCOMPARE(RowTexts(m, 1).mid(4, 4), (QStringList{"1;2;4;30;31;32", "3", "1 2 4", "20.00"}));
}

void StakesGuiTest::StakeDialogChecksItsFields_data() {
    QTest::addColumn<QString>("numbers");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("drawsCount");  // typed into the field; empty leaves it
    QTest::addColumn<QString>("message");
    const QString badComb = QStringLiteral("Ошибка|Введена некорректная комбинация!\n\n");
    QTest::newRow("five") << "1;2;3;4;5" << "к" << "" << badComb + "нужно от 6 до 10 чисел, введено 5";
    QTest::newRow("eleven") << "1;2;3;4;5;6;7;8;9;10;11" << "к" << ""
                            << badComb + "нужно от 6 до 10 чисел, введено 11";
    QTest::newRow("43") << "1;2;3;4;5;43" << "к" << "" << badComb + "число 43 вне диапазона 1..42";
    QTest::newRow("twice") << "1,2,3,4,5,5" << "к" << "" << badComb + "число 5 повторяется";
    QTest::newRow("word") << "1;2;3;4;5;x" << "к" << "" << badComb + "\"x\" не число";
    QTest::newRow("no comment") << "1;2;3;4;5;6" << "" << ""
                                << QStringLiteral("Ошибка|Необходимо ввести комментарий!");
    QTest::newRow("no draws") << "1;2;3;4;5;6" << "к" << "0"
                              << QStringLiteral("Ошибка|Некорректное количество тиражей!\n\n"
                                                "нужно число от 1 до 65535, введено \"0\"");
}

void StakesGuiTest::StakeDialogChecksItsFields() {
    QFETCH(QString, numbers);
    QFETCH(QString, comment);
    QFETCH(QString, drawsCount);
    QFETCH(QString, message);
    bool refused = false;
    test::OnNextModal<TFormStake>([&](TFormStake* form) {
        form->findChild<QLineEdit*>("edStakeData")->setText(numbers);
        form->findChild<QLineEdit*>("edComment")->setText(comment);
        if (!drawsCount.isEmpty())
            form->findChild<QSpinBox*>("edDrawsCount")->findChild<QLineEdit*>()->setText(drawsCount);
        form->accept();
        refused = form->isVisible();
    });
    QVERIFY(Execute("StakeAdd"));
    QVERIFY(refused);
    QCOMPARE(prompts_->Seen, QStringList{message});
    QVERIFY(!Work().HasStakes());
}

void StakesGuiTest::DoubleClickOnACombinationMakesAStake() {
    ShowWindow();
    window_->findChild<QTabWidget*>("pcLeft")->setCurrentIndex(1);
    const QRect cell = Combs()->visualRect(Combs()->model()->index(1, 1));
    QTest::mouseClick(Combs()->viewport(), Qt::LeftButton, {}, cell.center());

    QStringList shown;
    test::OnNextModal<TFormStake>([&](TFormStake* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Добавление ставки"));
        shown << QString::number(form->findChild<QSpinBox*>("edDrawNumber")->value())
              << form->findChild<QLineEdit*>("edStakeData")->text()
              << form->findChild<QLineEdit*>("edComment")->text()
              << form->findChild<QLineEdit*>("edStakeSum")->text();
        // Typed numbers in any order and with both separators; two draws.
        form->findChild<QLineEdit*>("edStakeData")->setText("10,2;7;1;30;41,5");
        QCOMPARE(form->findChild<QLineEdit*>("edStakeSum")->text(), QStringLiteral("96"));
        form->findChild<QSpinBox*>("edDrawsCount")->setValue(2);
        form->accept();
    });
    QTest::mouseDClick(Combs()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(shown, (QStringList{"104", "1;2;3;4;5;7", "Ставка \"вручную\"", "22"}));
    QVERIFY2(prompts_->Seen.isEmpty(), qPrintable(prompts_->Seen.join('\n')));

    // Two draws in an empty file: stake, separator, stake.
    const QAbstractItemModel* m = Grid()->model();
    QCOMPARE(m->rowCount(), 3);
    QCOMPARE(RowTexts(m, 0).mid(0, 3), (QStringList{"104", "Вручную", "1;2;5;7;10;30;41"}));
    QCOMPARE(RowTexts(m, 0).at(7), QStringLiteral("-35.00"));
    QCOMPARE(RowTexts(m, 1).join(QString()), QString());
    QCOMPARE(RowTexts(m, 2).at(0), QStringLiteral("105"));
    QCOMPARE(Grid()->selectionModel()->selectedRows().value(0).row(), 2);
}

void StakesGuiTest::MultiStakeForSelectedCombinations() {
    QVERIFY(Work().GenerateCombs(true, {gmOnlyMine, "1;2;3;4;5;6;7"}));
    for (int r : {0, 2, 3})
        Combs()->selectionModel()->select(Combs()->model()->index(r, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    test::OnNextModal<TFormMulti>([&](TFormMulti* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Добавление мультиставки"));
        QCOMPARE(form->Draw(), 104);
        QCOMPARE(form->Comment(), std::string("Ставка \"вручную\""));
        form->findChild<QLineEdit*>("edComment")->clear();
        form->accept();
        QVERIFY(form->isVisible());
        QCOMPARE(prompts_->Seen, QStringList{"Ошибка|Необходимо ввести комментарий!"});
        form->findChild<QSpinBox*>("edDrawNumber")->setValue(103);
        form->findChild<QLineEdit*>("edComment")->setText("Три");
        form->accept();
    });
    QVERIFY(Execute("StakeAddSelected"));
    const QAbstractItemModel* m = Grid()->model();
    QCOMPARE(m->rowCount(), 3);
    // Checked at once against draw 103; the sample is the list's size.
    QCOMPARE(RowTexts(m, 0), (QStringList{"103", "Вручную", "1;2;3;4;5;6", "7", "7;19;3;40;22;11",
                                          "1", "3", "-5.00", "Три"}));
    // One stake per selected combination, in list order.
    QCOMPARE(RowTexts(m, 1).at(2), QStringLiteral("1;2;3;4;6;7"));
    QCOMPARE(RowTexts(m, 2).at(2), QStringLiteral("1;2;3;5;6;7"));
    QVERIFY(!Combs()->selectionModel()->hasSelection());
    QCOMPARE(Work().Ratings().Count(), size_t{1});
    QCOMPARE(Panel(StatusPanels::RatingCount), QStringLiteral("Рейтинг: 1"));
}

void StakesGuiTest::DeleteByConditionAndBySelection() {
    MakeStake(103, {3, 7, 15, 22, 30, 41}, "a");  // 3 matches
    MakeStake(103, {1, 2, 4, 5, 6, 8}, "b");      // 0
    MakeStake(104, {1, 2, 4, 5, 6, 8}, "c");      // unchecked
    MakeStake(103, {3, 2, 4, 5, 6, 8}, "d");      // 1
    MakeStake(103, {3, 7, 4, 5, 6, 8}, "e");      // 2
    QCOMPARE(Grid()->model()->rowCount(), 5);
    QAbstractItemModelTester tester(Grid()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);

    // "Менее [ < ]" 1 takes the unchecked stake and the one without matches.
    QStringList conditions;
    test::OnNextModal<TFormStakeFilter>([&](TFormStakeFilter* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Удаление по условию"));
        auto* box = form->findChild<QComboBox*>("cbCondition");
        for (int i = 0; i < box->count(); ++i) conditions << box->itemText(i);
        QCOMPARE(box->currentIndex(), 0);
        QCOMPARE(form->findChild<QSpinBox*>("seValue")->value(), 0);
        box->setCurrentIndex(3);
        form->findChild<QSpinBox*>("seValue")->setValue(1);
        form->accept();
    });
    QVERIFY(Execute("StakeFilter"));
    QCOMPARE(conditions, (QStringList{"Равно [ = ]", "Более [ > ]", "Не менее [ >= ]",
                                      "Менее [ < ]", "Не более [ <= ]"}));
    const QAbstractItemModel* m = Grid()->model();
    QStringList comments;
    for (int r = 0; r < m->rowCount(); ++r) comments << RowTexts(m, r).at(8);
    QCOMPARE(comments, (QStringList{"a", "d", "e"}));
    QCOMPARE(Panel(StatusPanels::StakesCount), QStringLiteral("Ставок: 3"));

    // The selection: rows 1..2 after a question; No keeps them.
    Grid()->selectionModel()->select(
        QItemSelection(m->index(1, 0), m->index(2, StakesModel::ColComment)),
        QItemSelectionModel::ClearAndSelect);
    prompts_->Seen.clear();
    QVERIFY(Execute("StakeDel"));
    QCOMPARE(m->rowCount(), 3);
    prompts_->Answers = {true};
    QVERIFY(Execute("StakeDel"));
    QCOMPARE(prompts_->Seen.at(0),
             QStringLiteral("Подтверждение|Удалить все выделенные записи (всего будет удалено 2 "
                            "записи(ей))?"));
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(RowTexts(m, 0).at(8), QStringLiteral("a"));

    // Clearing empties the grid and the panel.
    prompts_->Answers = {true, true};
    QVERIFY(Execute("StakeClear"));
    QCOMPARE(m->rowCount(), 1);
    QCOMPARE(RowTexts(m, 0).join(QString()), QString());
    QCOMPARE(Panel(StatusPanels::StakesCount), QStringLiteral("Ставок: 0"));
    window_->Commands().Update();
    for (const char* name : {"StakeDel", "StakeFilter", "StakeClear", "StakesCheckManual"})
        QVERIFY2(!Action(name)->isEnabled(), name);
}

void StakesGuiTest::RatingsListSortsByClickAndFollowsTheMode() {
    QAbstractItemModel* m = Ratings()->model();
    QAbstractItemModelTester tester(m, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(m->columnCount(), 20);
    QCOMPARE(m->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Ср. профит"));
    QCOMPARE(m->headerData(19, Qt::Horizontal).toString(), QStringLiteral("E6"));

    // "Тест" and "тест" are one row; "Один" hits better on average.
    MakeStake(103, {3, 7, 15, 22, 30, 41}, "Тест");  // 3 matches, +20
    MakeStake(103, {3, 8, 15, 23, 30, 41}, "тест");  // 1 match, -5
    MakeStake(103, {3, 7, 19, 22, 30, 41}, "Один");  // 4 matches, +245
    QCOMPARE(m->rowCount(), 2);
    QCOMPARE(Panel(StatusPanels::RatingCount), QStringLiteral("Рейтинг: 2"));
    // The default order: average matches, best first.
    QCOMPARE(RowTexts(m, 0).mid(0, 6),
             (QStringList{"Один", "1", "4", "4.000", "245.00", "245.00"}));
    QCOMPARE(RowTexts(m, 1).mid(0, 13), (QStringList{"Тест", "2", "4", "2.000", "15.00", "7.50",
                                                     "0", "1", "0", "1", "0", "0", "0"}));

    ShowWindow();
    auto* tabs = window_->findChild<QTabWidget*>("pcRight");
    tabs->setCurrentWidget(Ratings()->parentWidget());
    QHeaderView* header = Ratings()->horizontalHeader();
    const auto click = [&](int column) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    };
    click(1);  // "Ставок": most first
    QCOMPARE(Work().RatingsSortColumn(), 1);
    QCOMPARE(m->data(m->index(0, 0)).toString(), QStringLiteral("Тест"));
    click(1);  // again: fewest first
    QVERIFY(!Work().RatingsSortDescending());
    QCOMPARE(m->data(m->index(0, 0)).toString(), QStringLiteral("Один"));
    QCOMPARE(header->sortIndicatorSection(), 1);
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // The order is saved with the rows.
    QCOMPARE(RatingName(ParseRatingsFile(ReadFileBytes(dir_->File(RatingsFileName)))[0]),
             std::string("Один"));

    // Efficiency columns by the chosen mode; the mode's item shows checked.
    QVERIFY(Execute("RatingsEffMode0"));
    QVERIFY(Action("RatingsEffMode0")->isChecked());
    QVERIFY(!Action("RatingsEffMode1")->isChecked());
    QCOMPARE(m->data(m->index(1, 13)).toString(), QStringLiteral("1"));  // 2 stakes · P(0)
    QVERIFY(Execute("RatingsEffMode1"));
    QVERIFY(m->data(m->index(1, 13)).toString().endsWith(QLatin1Char('%')));
}

void StakesGuiTest::RatingsBecomeScenarioLinesAndACsvFile() {
    MakeStake(103, {3, 7, 15, 22, 30, 41},
              "03.012: мой @ EXCL:10#EXT + TSD#SUMS:10#LMV:3#SF:1 + TSD#NUMS:5#LNO:#SF:0");
    MakeStake(103, {1, 2, 4, 5, 6, 8}, "просто имя");
    const QAbstractItemModel* m = Ratings()->model();
    QCOMPARE(m->rowCount(), 2);
    window_->Commands().Update();
    QVERIFY(!Action("RatingsToScript")->isEnabled());

    Ratings()->selectAll();
    const size_t before = Work().Scenario().size();
    QVERIFY(Execute("RatingsToScript"));
    QCOMPARE(Work().Scenario().size(), before + 1);
    QCOMPARE(Work().Scenario().back(),
             std::string("EXCL:10#EXT|TSD#SUMS:10#LMV:3#SF:1|TSD#NUMS:5#LNO:#SF:0| | | | | |03.012: мой"));
    QCOMPARE(prompts_->Seen,
             QStringList{"Ошибка|Строку\n\nпросто имя\n\nневозможно добавить в сценарий!"});
    QCOMPARE(window_->findChild<QTabWidget*>("pcRight")->currentWidget()->objectName(),
             QStringLiteral("tsScript"));

    const QString csv = QString::fromStdString(dir_->File("rating.csv"));
    test::OnNextModal<QFileDialog>([&](QFileDialog* dialog) {
        QCOMPARE(dialog->nameFilters(), QStringList{"CSV-файлы (*.csv)"});
        // The name typed in, as a user would: selectFile() leaves the box empty
        // while the folder is still being read.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(csv);
        static_cast<QDialog*>(dialog)->accept();
    });
    QVERIFY(Execute("RatingsExport"));
    QCOMPARE(ReadFileBytes(csv.toStdString()), RatingsCsvText(Work().Ratings().Rows()));
}

void StakesGuiTest::MenusHoldTheCommands() {
    QStringList menus;
    for (QAction* a : window_->menuBar()->actions()) menus << a->text();
    QVERIFY(menus.indexOf("Ставки") > menus.indexOf("Статистика"));
    QCOMPARE(menus.indexOf("Рейтинг"), menus.indexOf("Ставки") + 1);

    QStringList stakes;
    for (QAction* a : window_->menuBar()->actions().at(menus.indexOf("Ставки"))->menu()->actions())
        stakes << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    QCOMPARE(stakes.join(' '), QStringLiteral("StakeAdd StakeAddRandom StakeAddSelected StakeAddAll SystemStakeFilter SystemStakeAll | "
                                              "StakeDel StakeFilter StakeClear | StakesGraphDraws | StakesXlsExport | StakesCheckManual | "
                                              "LogStakes LogStakesDelete StakesScroll StakesCheckLine"));
    QCOMPARE(Action("StakeAddAll")->shortcut(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F4));
    QCOMPARE(Action("StakeClear")->shortcut(), QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_Delete));
    QCOMPARE(window_->Commands().Row("RatingsRefresh")->Category, QStringLiteral("Ставки"));

    QMenu* ratings = window_->menuBar()->actions().at(menus.indexOf("Рейтинг"))->menu();
    QMenu* modes = ratings->findChild<QMenu*>("miRatingsEffMode");
    QVERIFY(modes);
    QCOMPARE(modes->title(), QStringLiteral("Эффективность (столбцы E0..n)"));
    QCOMPARE(modes->actions().size(), 3);
    QCOMPARE(modes->actions().at(1)->text(), QStringLiteral("Абсолютные значения эффективности"));
    QVERIFY(modes->actions().at(1)->isChecked());  // the default mode

    // Toggles are stored at once.
    QVERIFY(Action("StakesScroll")->isChecked());
    QVERIFY(Execute("StakesScroll"));
    QVERIFY(!Action("StakesScroll")->isChecked());
    QVERIFY(!Work().View().ReadBool(MainWindowSection, "StakesScrollEnabled", true));
}

QTEST_MAIN(StakesGuiTest)
#include "stakes_gui_test.moc"
