#include <QAbstractItemModelTester>
#include <QAction>
#include <QChart>
#include <QComboBox>
#include <QHeaderView>
#include <QLineSeries>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>
#include <cmath>
#include <memory>
#include <set>

#include "base/ini_file.h"
#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "main/status_panels.h"
#include "model/draw_archive.h"
#include "model/game.h"
#include "stats/filter.h"
#include "stats/form_filters.h"
#include "stats/prefetch.h"
#include "stats/stat_chart.h"
#include "stats/value_table.h"
#include "stats/value_table_model.h"
#include "test_support.h"

using namespace tessara;

namespace {

// Every number occurs in this many of the 5,245,786 combinations.
constexpr int32_t kNumberShare = 749398;

QStringList Column(const QAbstractItemModel* m, int column) {
    QStringList texts;
    for (int r = 0; r < m->rowCount(); ++r) texts << m->index(r, column).data().toString();
    return texts;
}

QStringList Column(const TValueTable& t, int column) {
    QStringList texts;
    for (const TValueTableRow& row : t.Rows)
        texts << QString::fromStdString(row.Cells[static_cast<size_t>(column)]);
    return texts;
}

int SumOfSix(const TCombination& c) {
    int sum = 0;
    for (int k = 0; k < BallsInDraw; ++k) sum += c[k];
    return sum;
}

}  // namespace

class StatsTableTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void NumbersTableShowsTheCoreTexts();
    void HeaderClicksSortTheTable();
    void SelectedRowsFilterTheCombinationList();
    void TableFollowsItsInputsWhileVisible();
    void FullSetComparisonAndIdealLine();
    void ModelIsConsistent();

  private:
    Workspace& Work() const { return window_->Work(); }
    int Method(const char* code) const { return Work().Stats().FindMethod(code); }
    QTableView* Table() const { return window_->findChild<QTableView*>("lvDrawsStat"); }
    const ValueTableModel* Model() const {
        return static_cast<const ValueTableModel*>(Table()->model());
    }
    QComboBox* StatBox() const { return window_->findChild<QComboBox*>("cbDrawsStat"); }
    QTabWidget* RightTabs() const { return window_->findChild<QTabWidget*>("pcRight"); }
    QList<QAbstractSeries*> Series() const {
        return window_->findChild<StatChart*>("chDrawsStat")->chart()->series();
    }
    void SelectMethod(const char* code) {
        StatBox()->setCurrentIndex(StatBox()->findData(Method(code)));
        QCOMPARE(StatBox()->currentData().toInt(), Method(code));
    }
    // The table the core computes for the tab's current inputs.
    TValueTable Expected(const char* code, int length, bool prefetch = false) {
        TValueTableOptions o;
        o.SampleLength = length;
        o.Offset = Work().DrawsOffset();
        o.Prefetch = prefetch;
        o.Coefs = Work().Config().Coefs;
        return ComputeValueTable(Work().StatSource(), Method(code), o);
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void StatsTableTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName), test::MakeDraws(101, 130));
    window_ = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir_->Path()});
    prompts_ = std::make_unique<test::Prompts>(window_->Host());
    QCOMPARE(window_->InitTick(), InitOutcome::Ready);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void StatsTableTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void StatsTableTest::NumbersTableShowsTheCoreTexts() {
    // The start-up computed the first statistic, the numbers, over the default length.
    QCOMPARE(StatBox()->currentData().toInt(), Method("NUMS"));
    const TValueTable expected = Expected("NUMS", 1000);
    QCOMPARE(Model()->rowCount(), 42);
    for (int c = 0; c < ValueColumnCount; ++c) {
        QCOMPARE(Model()->headerData(c, Qt::Horizontal).toString(),
                 QString::fromUtf8(ValueColumnCaption(c)));
        QCOMPARE(Column(Model(), c), Column(expected, c));
        // Without the full-set comparison its three columns are out of sight.
        QCOMPARE(Table()->horizontalHeader()->isSectionHidden(c), IsNormColumn(c));
    }
    const auto alignment = [this](int column) {
        return Model()->index(0, column).data(Qt::TextAlignmentRole).toInt() &
               Qt::AlignHorizontal_Mask;
    };
    QCOMPARE(alignment(vcValue), int(Qt::AlignLeft));
    QCOMPARE(alignment(vcCount), int(Qt::AlignRight));
    QCOMPARE(alignment(vcLastDraw), int(Qt::AlignHCenter));

    // One line of the observed counts, a point per value.
    const QList<QAbstractSeries*> series = Series();
    QCOMPARE(series.size(), 1);
    QCOMPARE(series[0]->name(), QStringLiteral("Фактические данные"));
    QCOMPARE(static_cast<QLineSeries*>(series[0])->count(), 42);
}

void StatsTableTest::HeaderClicksSortTheTable() {
    QHeaderView* header = Table()->horizontalHeader();
    TValueTable expected = Expected("NUMS", 1000);
    QCOMPARE(header->sortIndicatorSection(), int(vcCount));
    QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);

    // A first click sorts a column upwards, another click reverses it.
    struct Case {
        int Column;
        bool Descending;
    };
    for (const Case c : {Case{vcValue, false}, Case{vcValue, true}, Case{vcDepth, false}}) {
        const QPoint at(header->sectionViewportPosition(c.Column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        SortValueTable(expected, c.Column, c.Descending);
        QCOMPARE(Column(Model(), vcValue), Column(expected, vcValue));
    }

    // A new computation comes in the chosen order.
    QVERIFY(window_->Commands().Execute("DrawsStatCalc"));
    TValueTable fresh = Expected("NUMS", 1000);
    SortValueTable(fresh, vcDepth, false);
    QCOMPARE(Column(Model(), vcValue), Column(fresh, vcValue));
}

void StatsTableTest::SelectedRowsFilterTheCombinationList() {
    SelectMethod("SUMS");
    QAction* include = window_->Commands().Action("StatFilter_Include");
    window_->Commands().Update();
    QVERIFY(!include->isEnabled());

    // Two rows with their sums; F7 in the table keeps the combinations with them.
    std::set<int> sums;
    QStringList texts;
    for (int row : {0, 2}) {
        Table()->selectionModel()->select(Model()->index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
        sums.insert(Model()->Row(row).Row.Key.w[0]);
        texts << Model()->index(row, vcValue).data().toString();
    }
    window_->Commands().Update();
    QVERIFY(include->isEnabled());
    Table()->setFocus();
    const int64_t total = Work().CombsCount();
    QTest::keyClick(Table(), Qt::Key_F7);

    const TCombList& before = Work().Undo();
    QCOMPARE(before.Count(), total);
    int64_t kept = 0;
    for (int64_t i = 0; i < before.Count(); ++i) kept += sums.count(SumOfSix(before[i]));
    QVERIFY(kept > 0);
    QCOMPARE(Work().CombsCount(), kept);
    QCOMPARE(window_->Panels().Text(StatusPanels::CombsCount),
             QStringLiteral("Комбинаций: %1").arg(kept));
    const TFilterLogEntry& entry = Work().FilterLog().back();
    QCOMPARE(QString::fromStdString(entry.Caption), StatBox()->currentText());
    QCOMPARE(QString::fromStdString(entry.Value), texts.join(QStringLiteral("; ")));
    QCOMPARE(entry.Count, kept);
    QCOMPARE(entry.Icon, TLogIcon::Include);

    // Undo brings the whole list back; Ctrl+F7 then removes the same values.
    QVERIFY(window_->Commands().Execute("CombsUndo"));
    QCOMPARE(Work().CombsCount(), total);
    QTest::keyClick(Table(), Qt::Key_F7, Qt::ControlModifier);
    QCOMPARE(Work().CombsCount(), total - kept);
    QCOMPARE(Work().FilterLog().back().Icon, TLogIcon::Exclude);
    QCOMPARE(QString::fromStdString(Work().FilterLog().back().Value),
             texts.join(QStringLiteral("; ")));

    // Outside the table F7 still opens the favourites.
    bool opened = false;
    test::OnNextModal<TFormFilters>([&](TFormFilters*) { opened = true; });
    auto* draws = window_->findChild<QTableView*>("lvDraws");
    draws->setFocus();
    QTest::keyClick(draws, Qt::Key_F7);
    QVERIFY(opened);
    QCOMPARE(Work().CombsCount(), total - kept);
}

void StatsTableTest::TableFollowsItsInputsWhileVisible() {
    const auto counted = [this] {
        int sum = 0;
        for (const QString& text : Column(Model(), vcCount)) sum += text.toInt();
        return sum;
    };
    const auto factShown = [this] {
        return !Column(Model(), vcFact)
                    .filter(QRegularExpression(QStringLiteral("^\\d+$")))
                    .isEmpty();
    };
    QCOMPARE(counted(), 30 * BallsInDraw);
    QVERIFY(!factShown());  // nothing follows the newest draw

    // Enter in the length box recomputes over that many draws.
    auto* length = window_->findChild<QSpinBox*>("edDrawsStatLen");
    length->setFocus();
    length->selectAll();
    QTest::keyClicks(length, QStringLiteral("10"));
    QTest::keyClick(length, Qt::Key_Return);
    QCOMPARE(counted(), 10 * BallsInDraw);
    QCOMPARE(IniFile::Load(Work().View().Path()).ReadInteger(MainWindowSection, "DrawsStatLen", 0),
             10);

    // Looking back shows where each value came next.
    Work().SetDrawsOffset(5);
    QCOMPARE(Column(Model(), vcFact), Column(Expected("NUMS", 10), vcFact));
    QVERIFY(factShown());

    // A hidden tab waits until it is shown again.
    RightTabs()->setCurrentIndex(1);
    const QStringList atFive = Column(Model(), vcLastDraw);
    Work().SetDrawsOffset(12);
    QCOMPARE(Column(Model(), vcLastDraw), atFive);
    RightTabs()->setCurrentIndex(0);
    QCOMPARE(Column(Model(), vcLastDraw), Column(Expected("NUMS", 10), vcLastDraw));
}

void StatsTableTest::FullSetComparisonAndIdealLine() {
    // Present files are not built again, so stand-ins keep this quick: the
    // real counts for the numbers, a single value for every other statistic.
    for (int i = 0; i < Work().Stats().Count(); ++i) {
        if (!Work().Stats().HasNorm(i)) continue;
        TPrefetchData data;
        const bool numbers = i == Method("NUMS");
        for (int n = 1; n <= (numbers ? MaxNumber : 1); ++n)
            data.Records.push_back({MakeKey(static_cast<uint16_t>(n)), kNumberShare});
        data.MinCount = data.MaxCount = kNumberShare;
        const std::string path = PrefetchFileName(Work().StatSource(), i);
        QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(path)).path()));
        test::WriteBytes(path, PrefetchBytes(data));
    }
    QHeaderView* header = Table()->horizontalHeader();
    QVERIFY(window_->Commands().Execute("DrawsStatePrefetchsEnabled"));
    QVERIFY(Work().PrefetchsEnabled());
    QVERIFY(window_->Commands().Action("DrawsStatePrefetchsEnabled")->isChecked());
    for (int c : {vcNorm, vcDeviation, vcDeviationPercent}) {
        QVERIFY(!header->isSectionHidden(c));
        QCOMPARE(header->sectionSize(c), 80);
    }
    // Every number is equally frequent in the full set: the norm lies midway.
    const TValueTable expected = Expected("NUMS", 1000, true);
    QVERIFY(expected.HasPrefetch);
    QCOMPARE(Column(Model(), vcNorm), Column(expected, vcNorm));
    const double midway = (expected.Summary.MinCount + expected.Summary.MaxCount) / 2.0;
    QVERIFY(std::abs(Model()->index(0, vcNorm).data().toInt() - midway) <= 0.5);
    QCOMPARE(Series().size(), 2);
    QCOMPARE(Series()[1]->name(), QStringLiteral("Все возможные комбинации"));

    // The ideal line can be left out of the chart; the table stays as it was.
    QVERIFY(window_->Commands().Execute("DrawsStatShowTotalLine"));
    QCOMPARE(Series().size(), 1);
    QCOMPARE(Column(Model(), vcNorm), Column(expected, vcNorm));
    QVERIFY(
        !IniFile::Load(Work().View().Path()).ReadBool(MainWindowSection, "ShowTotalLine", true));

    QVERIFY(window_->Commands().Execute("DrawsStatePrefetchsEnabled"));
    QVERIFY(header->isSectionHidden(vcNorm));
    QCOMPARE(Model()->index(0, vcNorm).data().toString(), QStringLiteral("-"));
}

void StatsTableTest::ModelIsConsistent() {
    QAbstractItemModelTester tester(Table()->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    // The selection stays on its value when the rows move.
    Table()->selectRow(3);
    const QString value = Model()->index(3, vcValue).data().toString();
    Table()->sortByColumn(vcWeight, Qt::DescendingOrder);
    const QModelIndexList selected = Table()->selectionModel()->selectedRows(vcValue);
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected[0].data().toString(), value);

    SelectMethod("SUMS");
    QVERIFY(window_->Commands().Execute("DrawsStatCalc"));
    Work().ClearDraws();
    window_->Commands().Update();
    QVERIFY(!window_->Commands().Action("DrawsStatCalc")->isEnabled());
    window_->RefreshViews(true);
    QCOMPARE(Model()->rowCount(), 0);
}

QTEST_MAIN(StatsTableTest)
#include "stats_table_test.moc"
