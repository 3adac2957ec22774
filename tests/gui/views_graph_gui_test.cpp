// The graphs tab and the repeats window. With TESSARA_SCREENSHOTS=DIR the
// tests also leave pictures of them on the demo archive there.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineSeries>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "base/ini_file.h"
#include "graph/form_graph.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "stats/graphs_tab.h"
#include "test_support.h"
#include "views/draw_graph.h"
#include "views/form_repeats.h"
#include "views/repeats.h"
#include "views/sum_distribution.h"

using namespace tessara;

namespace {

QList<QLineSeries*> Lines(QChartView* view) {
    QList<QLineSeries*> lines;
    for (QAbstractSeries* s : view->chart()->series())
        if (auto* line = qobject_cast<QLineSeries*>(s)) lines << line;
    return lines;
}

void PressEnter(QWidget* w) { QTest::keyClick(w, Qt::Key_Return); }

void SaveShot(QWidget* w, const char* name) {
    const QString dir = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    QVERIFY(w->grab().save(dir + QLatin1Char('/') + QString::fromLatin1(name)));
}

}  // namespace

class ViewsGraphGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void GraphOfTheSelectedKind();
    void RedrawsOnlyWhenInputsChange();
    void TabSwitchesOffAndOn();
    void RepeatsWindowListsAndCharts();
    void SumDistributionInTheGraphWindow();

  private:
    Workspace& Work() const { return window_->Work(); }
    QTabWidget* RightTabs() const { return window_->findChild<QTabWidget*>("pcRight"); }
    GraphsTab* Tab() const { return window_->findChild<GraphsTab*>("tsDrawsGraph"); }
    QComboBox* GraphBox() const { return window_->findChild<QComboBox*>("cbDrawsGraphType"); }
    QSpinBox* Length() const { return window_->findChild<QSpinBox*>("edDrawsGraphLen"); }
    void SelectGraph(const char* code) {
        const int method = Work().Stats().FindMethod(code);
        GraphBox()->setCurrentIndex(GraphBox()->findData(method));
    }
    void ShowGraphs() {
        RightTabs()->setCurrentWidget(Tab());
        QCoreApplication::processEvents();
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void ViewsGraphGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    std::filesystem::copy_file(std::string(TESSARA_SAMPLE_DIR) + "/Tessara_6x42.ldr",
                               dir_->File(DrawsFileName));
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    window_->resize(1400, 900);
    window_->show();
}

void ViewsGraphGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void ViewsGraphGuiTest::GraphOfTheSelectedKind() {
    ShowGraphs();
    SelectGraph("SUMS");
    const TDrawGraph expected = ComputeDrawGraph(Work().Stats(), Work().Stats().FindMethod("SUMS"),
                                                 100, 0, false, "");
    const QList<QLineSeries*> lines = Lines(Tab()->Chart());
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0]->name(), GraphBox()->currentText());
    QCOMPARE(lines[1]->name(), QString::fromUtf8(DrawGraphMeanTitle));
    QCOMPARE(lines[2]->name(), QString::fromUtf8(DrawGraphModeTitle));
    QCOMPARE(lines[0]->pen().color(), QColor(0, 128, 0));
    QCOMPARE(lines[0]->pen().width(), 2);
    QCOMPARE(lines[1]->pen().color(), QColor(0, 0, 255));
    QCOMPARE(lines[2]->pen().color(), QColor(255, 0, 0));
    QVERIFY(lines[0]->pointsVisible());
    QVERIFY(!lines[1]->pointsVisible());
    for (QLineSeries* line : lines) QCOMPARE(line->count(), 100);
    const int high = Work().Archive().High();
    QCOMPARE(lines[0]->at(99).x(), double(Work().Archive()[high].DrawNo));
    QCOMPARE(lines[0]->at(99).y(), expected.Values.Points[99].Y);
    QCOMPARE(lines[1]->at(0).y(), expected.Mean);
    QCOMPARE(lines[2]->at(0).y(), double(expected.Mode));
    SaveShot(window_.get(), "graphs_tab.png");

    // The marks follow the box without a new computation.
    const int computed = Tab()->Computations();
    auto* marks = window_->findChild<QCheckBox*>("cbDrawsGraphShowMarks");
    QVERIFY(!lines[0]->pointLabelsVisible());
    marks->setChecked(true);
    QVERIFY(lines[0]->pointLabelsVisible());
    QVERIFY(!lines[1]->pointLabelsVisible());
    QCOMPARE(Tab()->Computations(), computed);
    QCOMPARE(Lines(Tab()->Chart()).first(), lines[0]);
    Length()->setValue(30);
    PressEnter(Length());
    SaveShot(window_.get(), "graphs_tab_marks.png");
    marks->setChecked(false);
    QCOMPARE(Tab()->Computations(), computed + 1);
    QCOMPARE(Lines(Tab()->Chart()).first()->count(), 30);
    QVERIFY(!Lines(Tab()->Chart()).first()->pointLabelsVisible());
    // The length is kept for the next start.
    QCOMPARE(Work().View().ReadInteger(MainWindowSection, "DrawsGraphLen", 0), 30);
}

void ViewsGraphGuiTest::RedrawsOnlyWhenInputsChange() {
    ShowGraphs();
    SelectGraph("SUMS");
    const int computed = Tab()->Computations();
    window_->RefreshViews(false);
    QCOMPARE(Tab()->Computations(), computed);
    QVERIFY(window_->Commands().Execute("DrawsGraphDraw"));
    QCOMPARE(Tab()->Computations(), computed + 1);

    // A new offset reaches the graph through the view refresh: the last point
    // is the draw at High - 10.
    Work().SetDrawsOffset(10);
    QCOMPARE(Tab()->Computations(), computed + 2);
    const int high = Work().Archive().High();
    QCOMPARE(Lines(Tab()->Chart()).first()->points().last().x(),
             double(Work().Archive()[high - 10].DrawNo));

    // In the background a full refresh waits until the tab is shown again.
    RightTabs()->setCurrentIndex(0);
    window_->RefreshViews(true);
    QCOMPARE(Tab()->Computations(), computed + 2);
    ShowGraphs();
    QCOMPARE(Tab()->Computations(), computed + 3);

    // Nothing to draw: an empty archive disables the command and empties the chart.
    Work().ClearDraws();
    window_->RefreshViews(true);
    QVERIFY(Lines(Tab()->Chart()).isEmpty());
    window_->Commands().Update();
    QVERIFY(!window_->Commands().Action("DrawsGraphDraw")->isEnabled());
}

void ViewsGraphGuiTest::TabSwitchesOffAndOn() {
    QAction* toggle = window_->Commands().Action("TabGraps");
    QCOMPARE(toggle->text(), QStringLiteral("Вкладка \"Графики\""));
    const int index = RightTabs()->indexOf(Tab());
    QVERIFY(RightTabs()->isTabVisible(index));
    window_->Commands().Update();
    QVERIFY(toggle->isChecked());

    QVERIFY(window_->Commands().Execute("TabGraps"));
    QVERIFY(!RightTabs()->isTabVisible(index));
    QVERIFY(!toggle->isChecked());
    QCOMPARE(Work().View().ReadBool(MainWindowSection, "TabGraphs", true), false);
    // A switched-off tab never draws.
    const int computed = Tab()->Computations();
    Tab()->RefreshGraphs(true);
    QCOMPARE(Tab()->Computations(), computed);

    // The next start keeps it hidden; switching it on shows and draws it.
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    QVERIFY(!RightTabs()->isTabVisible(RightTabs()->indexOf(Tab())));
    QVERIFY(window_->Commands().Execute("TabGraps"));
    QVERIFY(RightTabs()->isTabVisible(RightTabs()->indexOf(Tab())));
    QCOMPARE(RightTabs()->currentWidget(), Tab());
    QCOMPARE(Lines(Tab()->Chart()).size(), 3);
    QCOMPARE(Work().View().ReadBool(MainWindowSection, "TabGraphs", false), true);
}

void ViewsGraphGuiTest::RepeatsWindowListsAndCharts() {
    // The menu carries both the tab toggle and the analysis.
    QStringList menus;
    for (QAction* a : window_->menuBar()->actions())
        for (QAction* item : a->menu()->actions()) menus << item->objectName();
    QVERIFY(menus.contains("TabGraps"));
    QVERIFY(menus.contains("AnalyzeRepeats"));
    QVERIFY(menus.contains("TotalSumCombs"));

    bool checked = false;
    test::OnNextModal<TFormRepeats>([&](TFormRepeats* form) {
        form->resize(1000, 700);
        const TRepeatsAnalysis expected = AnalyzeRepeats(Work().Archive().Draws(), 100, 100);
        auto* list = form->findChild<QTreeWidget*>("lvList");
        QCOMPARE(list->topLevelItemCount(), int(expected.Rows.size()));
        QVERIFY(list->topLevelItemCount() > 100);
        QCOMPARE(list->headerItem()->text(3), QStringLiteral("Список тиражей"));
        const TRepeatsRow& r = expected.Rows[5];
        QTreeWidgetItem* item = list->topLevelItem(5);
        QCOMPARE(item->text(0), QString::number(r.DrawNo));
        QCOMPARE(item->text(1), QString::number(r.Matches));
        QCOMPARE(item->text(2), QString::number(r.Repeats));
        QCOMPARE(item->text(3), QString::fromStdString(r.Draws));
        const QList<QLineSeries*> lines = Lines(form->Chart());
        QCOMPARE(lines.size(), expected.MaxMatches);
        QCOMPARE(lines[0]->name(), QStringLiteral("Совпадений: 1"));
        SaveShot(form, "repeats.png");

        // Enter in the depth box runs it again with depth 1.
        auto* deep = form->findChild<QSpinBox*>("edDeep");
        deep->setValue(1);
        PressEnter(deep);
        QVERIFY(form->isVisible());
        const TRepeatsAnalysis shallow = AnalyzeRepeats(Work().Archive().Draws(), 100, 1);
        QCOMPARE(list->topLevelItemCount(), int(shallow.Rows.size()));
        checked = true;
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("AnalyzeRepeats"));
    QVERIFY(checked);
    QCOMPARE(Work().View().ReadInteger("TFormRepeats", "DrawsDeep", 0), 1);
    QCOMPARE(Work().View().ReadInteger("TFormRepeats", "DrawsLength", 0), 100);
    QVERIFY(Work().View().ReadInteger("TFormRepeats", "GraphHeight", 0) > 0);

    // The next window starts from the stored depth.
    test::OnNextModal<TFormRepeats>([](TFormRepeats* form) {
        QCOMPARE(form->findChild<QSpinBox*>("edDeep")->value(), 1);
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("AnalyzeRepeats"));
    QVERIFY(prompts_->Seen.isEmpty());
}

void ViewsGraphGuiTest::SumDistributionInTheGraphWindow() {
    const TSumDistribution d = ComputeSumDistribution(Work().Archive().Draws());
    const std::vector<TGraphSeries> expected = SumDistributionSeries(d);
    bool checked = false;
    test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
        form->resize(1100, 700);
        QCOMPARE(form->windowTitle(), QString::fromUtf8(SumDistributionCaption));
        const QList<QAbstractSeries*> all = form->Chart()->series();
        QCOMPARE(all.size(), 5);
        const QColor colors[] = {QColor(255, 0, 0), QColor(128, 0, 0), QColor(0, 128, 0),
                                 QColor(0, 0, 255), QColor(255, 0, 255)};
        for (int i = 0; i < 5; ++i) {
            auto* line = qobject_cast<QLineSeries*>(all[i]);
            QVERIFY(line);
            QCOMPARE(line->name(), QString::fromStdString(expected[size_t(i)].Title));
            QCOMPARE(line->color(), colors[i]);
            QCOMPARE(line->count(), int(expected[size_t(i)].Points.size()));
            QCOMPARE(line->pointsVisible(), i == 0);
        }
        QCOMPARE(all[2]->name(),
                 QStringLiteral("Диапазон 1 (от 1/3 и выше по оси Y) - суммы 87-171"));
        // The scaled theoretical curve peaks at the largest actual count.
        QCOMPARE(qobject_cast<QLineSeries*>(all[1])->at(129 - 21).y(), double(d.MaxActual));
        SaveShot(form, "sums.png");
        checked = true;
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("TotalSumCombs"));
    QVERIFY(checked);
    QVERIFY(!Work().GetHost().Busy());

    // An empty archive still shows the theoretical curve, flat at zero.
    Work().ClearDraws();
    window_->Commands().Update();
    QVERIFY(!window_->Commands().Action("AnalyzeRepeats")->isEnabled());
    checked = false;
    test::OnNextModal<TFormGraph>([&](TFormGraph* form) {
        QCOMPARE(form->Chart()->series().size(), 5);
        checked = true;
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("TotalSumCombs"));
    QVERIFY(checked);
    QVERIFY(prompts_->Seen.isEmpty());
}

QTEST_MAIN(ViewsGraphGuiTest)
#include "views_graph_gui_test.moc"
