#include <QAbstractItemModelTester>
#include <QAction>
#include <QChart>
#include <QCheckBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "graph/form_graph.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "regulars/form_table.h"
#include "regulars/regulars_model.h"
#include "scenario/form_test_count.h"
#include "stakes/form_stake.h"
#include "stakes/stake_graphs.h"
#include "test_support.h"

using namespace tessara;

namespace {

QStringList RowTexts(const QAbstractItemModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << m->data(m->index(row, c)).toString();
    return cells;
}

// The titles and point counts of a graph window's series.
QStringList SeriesOf(TFormGraph* form) {
    QStringList out;
    for (QAbstractSeries* s : form->Chart()->series())
        out << QStringLiteral("%1:%2").arg(s->name()).arg(static_cast<QLineSeries*>(s)->count());
    return out;
}

}  // namespace

class RegularsGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void AddFromTheSelectedCombinationAndFromTheDraw();
    void StakeByRuleAndTheTest();
    void HidingTheTabEmptiesTheList();
    void StakeGraphsOpenOrSayWhy();
    void Screenshots();

  private:
    Workspace& Work() { return window_->Work(); }
    QTableView* Tables() const { return window_->findChild<QTableView*>("lvTables"); }
    QTableView* Combs() const { return window_->findChild<QTableView*>("lvCombs"); }
    QTableView* Ratings() const { return window_->findChild<QTableView*>("lvRatings"); }
    QTabWidget* Right() const { return window_->findChild<QTabWidget*>("pcRight"); }
    bool Execute(const char* name) { return window_->Commands().Execute(name); }
    bool Enabled(const char* name) {
        window_->Commands().Update();
        return window_->Commands().Action(name)->isEnabled();
    }
    // The add dialog filled and accepted.
    void AddRule(const QString& comment, int step, bool fromDraw);
    // Two rules, tested over three draws: six checked stakes.
    void MakeTestedStakes();

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void RegularsGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName),
                   {test::MakeDraw(101, {1, 2, 3, 4, 5, 6}), test::MakeDraw(102, {8, 9, 10, 11, 12, 13}),
                    test::MakeDraw(103, {20, 21, 22, 30, 31, 32}),
                    test::MakeDraw(104, {7, 19, 3, 40, 22, 11})});
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void RegularsGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void RegularsGuiTest::AddRule(const QString& comment, int step, bool fromDraw) {
    test::OnNextModal<TFormTable>([&](TFormTable* form) {
        form->findChild<QLineEdit*>("edComment")->setText(comment);
        form->findChild<QSpinBox*>("edStep")->setValue(step);
        if (fromDraw) form->findChild<QRadioButton*>("rbUseLastDraw")->setChecked(true);
        form->accept();
    });
    QVERIFY(Execute("TablesAdd"));
}

void RegularsGuiTest::AddFromTheSelectedCombinationAndFromTheDraw() {
    QAbstractItemModelTester tester(Tables()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Row 1 of the full list is 1;2;3;4;5;7.
    Combs()->selectRow(1);
    bool checked = false;
    test::OnNextModal<TFormTable>([&](TFormTable* form) {
        auto* field = form->findChild<QLineEdit*>("edCombStart");
        QCOMPARE(field->text(), QStringLiteral("1;2;3;4;5;7"));
        QVERIFY(field->isEnabled());
        QCOMPARE(form->findChild<QLineEdit*>("edComment")->text(), QStringLiteral("Регулярная ставка"));
        form->findChild<QRadioButton*>("rbUseLastDraw")->setChecked(true);
        QVERIFY(!field->isEnabled());
        form->findChild<QRadioButton*>("rbUseMyComb")->setChecked(true);
        field->setText(QStringLiteral("1;2;3;4;5"));
        form->accept();
        // Refused: the dialog stays with the focus on the field.
        QVERIFY(form->isVisible());
        QCOMPARE(prompts_->Seen.last(), QStringLiteral("Ошибка|Введена некорректная комбинация!"));
        field->setText(QStringLiteral("40;2;3;4;5;1"));
        form->findChild<QSpinBox*>("edStep")->setValue(10);
        form->accept();
        QVERIFY(!form->isVisible());
        checked = true;
    });
    QVERIFY(Execute("TablesAdd"));
    QVERIFY(checked);

    // Several selected: the field stands for them and stays closed; the
    // comment is already taken.
    Combs()->selectionModel()->select(Combs()->model()->index(2, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    test::OnNextModal<TFormTable>([&](TFormTable* form) {
        auto* field = form->findChild<QLineEdit*>("edCombStart");
        QCOMPARE(field->text(), QStringLiteral("{...Выделенные комбинации...}"));
        QVERIFY(!field->isEnabled());
        form->accept();
        QVERIFY(form->isVisible());
        QVERIFY(prompts_->Seen.last().startsWith(
            QStringLiteral("Ошибка|Запись с таким комментарией уже присутствует в списке!")));
        form->findChild<QLineEdit*>("edComment")->setText(QStringLiteral("Пара"));
        form->accept();
    });
    QVERIFY(Execute("TablesAdd"));
    Combs()->clearSelection();
    AddRule(QStringLiteral("Тираж"), 1, true);

    const QAbstractItemModel* m = Tables()->model();
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Стартовая комбинация"));
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(RowTexts(m, 0), (QStringList{"Регулярная ставка", "1;2;3;4;5;40", "10", "1;2;3;4;5;40", "0"}));
    QCOMPARE(RowTexts(m, 1).at(0), QStringLiteral("Пара (2)"));
    QCOMPARE(RowTexts(m, 2), (QStringList{"Пара (3)", "1;2;3;4;5;8", "1", "1;2;3;4;5;8", "0"}));
    QCOMPARE(RowTexts(m, 3).mid(0, 3), (QStringList{"Тираж", "0;0;0;0;0;0", "1"}));
    QCOMPARE(ReadFileBytes(dir_->File(RegularsFileName)).size(), 4 * RegularRecordSize);
}

void RegularsGuiTest::StakeByRuleAndTheTest() {
    Combs()->selectRow(0);
    AddRule(QStringLiteral("Шаг"), 10, false);
    Combs()->clearSelection();
    AddRule(QStringLiteral("Тираж"), 1, true);
    QVERIFY(!Enabled("TablesStakeAdd"));
    Tables()->setCurrentIndex(Tables()->model()->index(0, 0));
    QVERIFY(Enabled("TablesStakeAdd"));

    // Cancelled: the rule is as it was, nothing is staked.
    test::OnNextModal<TFormStake>([](TFormStake* form) { form->reject(); });
    QVERIFY(Execute("TablesStakeAdd"));
    QCOMPARE(RowTexts(Tables()->model(), 0).mid(3), (QStringList{"1;2;3;4;5;6", "0"}));
    QCOMPARE(Work().StakesCount(), 0);

    test::OnNextModal<TFormStake>([](TFormStake* form) {
        QCOMPARE(form->findChild<QLineEdit*>("edStakeData")->text(), QStringLiteral("11;12;13;14;15;16"));
        form->accept();
    });
    Tables()->setCurrentIndex(Tables()->model()->index(0, 0));
    QVERIFY(Execute("TablesStakeAdd"));
    QCOMPARE(RowTexts(Tables()->model(), 0).mid(3), (QStringList{"11;12;13;14;15;16", "1"}));
    QCOMPARE(Work().StakesCount(), 1);
    QCOMPARE(Work().StakesFile().Read(TStakeOrigin::Begin, 0).Draw, 105);

    // Both rules over three draws: the dialog offers at most the archive less one.
    Tables()->selectAll();
    test::OnNextModal<TFormTestCnt>([](TFormTestCnt* form) {
        auto* count = form->findChild<QSpinBox*>("edTestCount");
        QCOMPARE(count->maximum(), 3);
        count->setValue(3);
        form->accept();
    });
    QVERIFY(Execute("TablesStakeTest"));
    QCOMPARE(Work().StakesCount(), 7);
    QCOMPARE(Work().DrawsOffset(), 0);
    QCOMPARE(RowTexts(Tables()->model(), 0).mid(3), (QStringList{"1;2;3;4;41;42", "4"}));
    QCOMPARE(RowTexts(Tables()->model(), 1).at(4), QStringLiteral("3"));
    // Checked at once, and in the rating under the rules' comments.
    QVERIFY(StakeIsChecked(Work().StakesFile().Read(TStakeOrigin::End, -1)));
    QCOMPARE(Ratings()->model()->rowCount(), 2);
}

void RegularsGuiTest::HidingTheTabEmptiesTheList() {
    Combs()->selectRow(0);
    AddRule(QStringLiteral("Шаг"), 10, false);
    const int page = Right()->indexOf(Tables()->parentWidget());
    QVERIFY(Right()->isTabVisible(page));
    QVERIFY(Execute("TabTables"));
    QVERIFY(!Right()->isTabVisible(page));
    QCOMPARE(Tables()->model()->rowCount(), 0);
    QVERIFY(!Enabled("TablesAdd"));
    QCOMPARE(ReadFileBytes(dir_->File(RegularsFileName)).size(), RegularRecordSize);

    // The choice outlives the program.
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    QVERIFY(!Right()->isTabVisible(Right()->indexOf(Tables()->parentWidget())));
    QCOMPARE(Tables()->model()->rowCount(), 0);
    QVERIFY(Execute("TabTables"));
    QVERIFY(Right()->isTabVisible(page));
    QCOMPARE(Right()->currentIndex(), page);
    QCOMPARE(Tables()->model()->rowCount(), 1);
}

void RegularsGuiTest::MakeTestedStakes() {
    Combs()->selectRow(0);
    AddRule(QStringLiteral("Шаг"), 10, false);
    Combs()->clearSelection();
    AddRule(QStringLiteral("Тираж"), 1, true);
    QVERIFY(Work().Regulars().Test(Work(), 3, {0, 1}));
}

void RegularsGuiTest::StakeGraphsOpenOrSayWhy() {
    // Without stakes the profit graph is disabled; with only separators it says why.
    QVERIFY(!Enabled("StakesGraphDraws"));
    Work().AppendSeparator();
    Work().StakesFile().Append(MakeSeparatorStake());
    prompts_->Seen.clear();
    QVERIFY(Execute("StakesGraphDraws"));
    QCOMPARE(prompts_->Seen, QStringList{QStringLiteral("Ошибка|") + MsgGraphNeedsDraws});
    Work().StakesFile().Truncate();

    MakeTestedStakes();
    QStringList seen;
    test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
        seen << form->windowTitle() << SeriesOf(form);
        form->accept();
    });
    QVERIFY(Execute("StakesGraphDraws"));
    QCOMPARE(seen, (QStringList{"График суммарного профита ставок по тиражам",
                                "Суммарный профит ставок по тиражу:3", "Среднее значение:3",
                                "Накопленное значение:3"}));

    QVERIFY(!Enabled("StakesGraphOverlap"));
    Ratings()->selectAll();
    for (const char* name : {"StakesGraphOverlap", "StakesGraphProfits"}) {
        seen.clear();
        test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
            seen << SeriesOf(form);
            form->accept();
        });
        QVERIFY(Execute(name));
        seen.sort();
        QCOMPARE(seen, (QStringList{"Тираж:3", "Шаг:3"}));
    }
    // A double click on the rating opens the graph of its rows.
    seen.clear();
    test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
        seen << form->windowTitle() << SeriesOf(form).first();
        form->accept();
    });
    emit Ratings()->doubleClicked(Ratings()->model()->index(0, 0));
    QCOMPARE(seen, (QStringList{"График количества совпадений для выделенных строк рейтинга",
                                "Нормальные значения:7"}));
}

void RegularsGuiTest::Screenshots() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    QDir().mkpath(out);
    // A ticket costs 5, two matches pay 10, three 25.
    TConfigData config = Work().Config();
    config.Cost = 5 * MoneyScale;
    config.Profits = {{2, 10 * MoneyScale}, {3, 25 * MoneyScale}};
    Work().ApplyConfig(config);
    MakeTestedStakes();
    Combs()->selectRow(5);
    AddRule(QStringLiteral("Минус пять"), -5, false);
    window_->resize(1400, 800);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    Right()->setCurrentWidget(Tables()->parentWidget());
    Tables()->selectRow(1);
    QCoreApplication::processEvents();
    QVERIFY(window_->grab().save(out + "/regulars_tab.png"));
    Ratings()->selectAll();
    for (const char* name : {"StakesGraphDraws", "StakesGraphOverlap", "StakesGraphProfits",
                             "RatingsGraphOverlap"}) {
        test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
            form->resize(900, 560);
            QTest::qWait(200);
            form->grab().save(out + "/" + name + ".png");
            form->accept();
        });
        QVERIFY(Execute(name));
    }
}

QTEST_MAIN(RegularsGuiTest)
#include "regulars_gui_test.moc"
