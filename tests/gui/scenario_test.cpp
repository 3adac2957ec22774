#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "model/files.h"
#include "scenario/form_filter.h"
#include "scenario/form_script_line.h"
#include "scenario/form_test_count.h"
#include "scenario/scenario_model.h"
#include "scenario/scenario_tab.h"
#include "scenario/script_line.h"
#include "test_support.h"

using namespace tessara;

namespace {

std::string Line(const std::string& options, int filter, const std::string& text,
                 const std::string& comment) {
    std::array<std::string, 7> filters{};
    filters[static_cast<size_t>(filter - 1)] = text;
    return BuildScriptLine(options, filters, comment);
}

QStringList RowCells(const QAbstractItemModel* m, int row) {
    QStringList cells;
    for (int c = 0; c < m->columnCount(); ++c) cells << m->data(m->index(row, c)).toString();
    return cells;
}

}  // namespace

class ScenarioGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void TableShowsNormalisedLines();
    void AddThroughTheLineEditorIsSaved();
    void DoubleClickEditsTheLine();
    void CommandsFollowTheSelection();
    void DeleteSelectedRows();
    void FilterEditorChecks_data();
    void FilterEditorChecks();
    void FilterEditorFillsAndWritesBack();
    void DoubleClickInAFilterFieldEditsThatFilter();
    void RunTestAndStopThroughTheCommands();
    void EveryButtonShowsInTheDefaultWindow();

  private:
    void SetLines(const std::vector<std::string>& lines);
    void SelectRows(std::initializer_list<int> rows);
    ScenarioTab* Tab() const { return window_->findChild<ScenarioTab*>(); }
    QTableView* List() const { return window_->findChild<QTableView*>("lvScript"); }
    QAction* Action(const char* name) const { return window_->Commands().Action(name); }
    const QComboBox* Methods() const { return window_->findChild<QComboBox*>("cbDrawsStat"); }
    Workspace& Work() const { return window_->Work(); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void ScenarioGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName), {test::MakeDraw(101, {1, 2, 3, 4, 5, 6}),
                                               test::MakeDraw(102, {7, 8, 9, 10, 11, 12})});
    test::StartMainWindow(dir_->Path(), window_, prompts_);
}

void ScenarioGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void ScenarioGuiTest::SetLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) Work().AppendScenarioLine(line);
    Tab()->ClearSelection();
}

void ScenarioGuiTest::SelectRows(std::initializer_list<int> rows) {
    Tab()->ClearSelection();
    for (int r : rows)
        List()->selectionModel()->select(List()->model()->index(r, 0),
                                         QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window_->Commands().Update();
}

void ScenarioGuiTest::TableShowsNormalisedLines() {
    QAbstractItemModelTester tester(Tab()->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(Tab()->Panel(0)->text(), QStringLiteral("Строк: 0"));
    SetLines({Line("EXCL:5#ext#NEX", 3, "tsd#sums:10, 20#lmv:3", "  first "), "", "   ",
              Line("full", 7, "BMF2#NOSUCH:5#XYZ#sc:x#0,5:abc:2:1:0", "")});

    const QAbstractItemModel* m = List()->model();
    QCOMPARE(m->rowCount(), 4);
    QCOMPARE(Tab()->Panel(0)->text(), QStringLiteral("Строк: 4"));
    QCOMPARE(m->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Комментарии"));
    QCOMPARE(m->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Опции"));
    QCOMPARE(m->headerData(8, Qt::Horizontal).toString(), QStringLiteral("Фильтр 7"));
    QCOMPARE(RowCells(m, 0),
             (QStringList{"first", "Исключить 5 тиражей; Расширенная; Только новые ставки", "", "",
                          "TSD1#SUMS:10, 20#LMV:3#SF:0", "", "", "", ""}));
    // Separators, also one of blanks only, show nothing at all.
    QCOMPARE(RowCells(m, 1), QStringList(9, QString()));
    QCOMPARE(RowCells(m, 2), QStringList(9, QString()));
    // An unknown code keeps its word; the rest is normalised.
    QCOMPARE(RowCells(m, 3).mid(1),
             (QStringList{"Исходный список; Расширенная; Все создаваемые ставки", "", "", "", "",
                          "", "", "BMF2#NOSUCH:5#LNO:#SC:1#0.5:0:2:1:0"}));
}

void ScenarioGuiTest::AddThroughTheLineEditorIsSaved() {
    SetLines({Line("FULL:0#EXT", 1, "TSD1#SUMS:10#LMV:3#SF:1", "old")});
    window_->findChild<QSpinBox*>("edCombsExclude")->setValue(7);
    QString title;
    test::OnNextModal<TFormScriptLine>([&](TFormScriptLine* form) {
        title = form->windowTitle();
        // A new line starts empty, with the combination tab's count.
        QCOMPARE(form->findChild<QSpinBox*>("edStartCount")->value(), 7);
        QCOMPARE(form->findChild<QComboBox*>("cbStartCombs")->currentIndex(), 0);
        QCOMPARE(form->findChild<QComboBox*>("cbResultMode")->count(), 10);
        QVERIFY(form->findChild<QLineEdit*>("edFilter1")->text().isEmpty());
        QCOMPARE(form->focusWidget(), form->findChild<QLineEdit*>("edComment"));
        form->findChild<QComboBox*>("cbStartCombs")->setCurrentIndex(scExcl);
        form->findChild<QComboBox*>("cbResultMode")->setCurrentIndex(rmRand);
        form->findChild<QCheckBox*>("chClearStakes")->setChecked(true);
        // Texts are kept as typed, not normalised.
        form->findChild<QLineEdit*>("edFilter2")->setText("tsd#sums:10#lmv:3");
        form->findChild<QLineEdit*>("edComment")->setText("new one");
        form->accept();
    });
    QVERIFY(window_->Commands().Execute("ScriptAdd"));
    QCOMPARE(title, QStringLiteral("Создание новой строки"));

    const std::string added = "EXCL:7#RAND#CLR| |tsd#sums:10#lmv:3| | | | | |new one";
    QCOMPARE(Work().Scenario().size(), size_t{2});
    QCOMPARE(Work().Scenario().back(), added);
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{1});
    const auto saved = ParseScenarioText(ReadFileBytes(dir_->File(CurrentScenarioFileName)));
    QCOMPARE(saved.back(), added);
}

void ScenarioGuiTest::DoubleClickEditsTheLine() {
    SetLines({"", Line("EXCL:5#LAST#NEX", 1, "tsd#sums:10, 20#lmv:3", "note")});
    window_->findChild<QTabWidget*>("pcRight")->setCurrentWidget(Tab());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const QRect cell = List()->visualRect(List()->model()->index(1, 1));
    test::OnNextModal<TFormScriptLine>([&](TFormScriptLine* form) {
        QCOMPARE(form->windowTitle(), QStringLiteral("Редактирование строки"));
        QCOMPARE(form->findChild<QComboBox*>("cbStartCombs")->currentIndex(), int{scExcl});
        QCOMPARE(form->findChild<QSpinBox*>("edStartCount")->value(), 5);
        QCOMPARE(form->findChild<QComboBox*>("cbResultMode")->currentIndex(), int{rmLast});
        QVERIFY(form->findChild<QCheckBox*>("chNewOnly")->isChecked());
        QVERIFY(!form->findChild<QCheckBox*>("chClearStakes")->isChecked());
        QCOMPARE(form->findChild<QLineEdit*>("edFilter1")->text(),
                 QStringLiteral("tsd#sums:10, 20#lmv:3"));
        form->findChild<QLineEdit*>("edComment")->setText("changed");
        form->accept();
    });
    // The double click selects the row first, then edits it.
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(Work().Scenario()[1], "EXCL:5#LAST#NEX|tsd#sums:10, 20#lmv:3| | | | | | |changed");
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{1});
}

void ScenarioGuiTest::CommandsFollowTheSelection() {
    for (const char* name : {"ScriptSave", "ScriptEmpty", "ScriptClr", "ScriptDel", "ScriptEdit"})
        QVERIFY2(!Action(name)->isEnabled(), name);
    QVERIFY(Action("ScriptAdd")->isEnabled());
    QVERIFY(Action("ScriptOpen")->isEnabled());

    const std::string a = Line("FULL:0#EXT", 1, "TSD1#SUMS:10#LMV:3#SF:1", "a");
    const std::string c = Line("FULL:0#EXT", 1, "TSD1#SUMS:20#LMV:3#SF:1", "c");
    SetLines({a, "", c});
    for (const char* name : {"ScriptSave", "ScriptEmpty", "ScriptClr"})
        QVERIFY2(Action(name)->isEnabled(), name);

    SelectRows({1});  // a separator
    QVERIFY(!Action("ScriptEdit")->isEnabled());
    QVERIFY(!Action("ScriptClone")->isEnabled());
    QVERIFY(Action("ScriptDel")->isEnabled());

    SelectRows({2, 0});  // the first selected row counts
    QVERIFY(Action("ScriptEdit")->isEnabled());
    QVERIFY(Action("ScriptClone")->isEnabled());
    QVERIFY(!Action("ScriptUp")->isEnabled());
    QVERIFY(Action("ScriptDown")->isEnabled());

    SelectRows({2});
    QVERIFY(!Action("ScriptDown")->isEnabled());
    QVERIFY(Action("ScriptUp")->isEnabled());

    SelectRows({1});
    QVERIFY(window_->Commands().Execute("ScriptUp"));
    QCOMPARE(Work().Scenario(), (std::vector<std::string>{"", a, c}));
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{0});
    QVERIFY(window_->Commands().Execute("ScriptDown"));
    QVERIFY(window_->Commands().Execute("ScriptDown"));
    QCOMPARE(Work().Scenario(), (std::vector<std::string>{a, c, ""}));
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{2});

    // A clone is appended at the end; the original stays.
    SelectRows({1});
    test::OnNextModal<TFormScriptLine>([](TFormScriptLine* form) { form->accept(); });
    QVERIFY(window_->Commands().Execute("ScriptClone"));
    QCOMPARE(Work().Scenario(), (std::vector<std::string>{a, c, "", c}));
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{3});

    QVERIFY(window_->Commands().Execute("ScriptEmpty"));
    QCOMPARE(Work().Scenario().back(), "");
    QCOMPARE(Tab()->SelectedRows(), std::vector<int>{4});
}

void ScenarioGuiTest::DeleteSelectedRows() {
    SetLines({"1", "2", "3", "4", "5"});
    SelectRows({3, 1});
    prompts_->Answers = {false, true};
    QVERIFY(window_->Commands().Execute("ScriptDel"));  // answered no
    QCOMPARE(Work().Scenario().size(), size_t{5});
    QVERIFY(window_->Commands().Execute("ScriptDel"));
    QCOMPARE(prompts_->Seen.last(),
             QStringLiteral("Подтверждение|Удалить все выделенные записи (всего будет удалено 2 "
                            "записи(ей))?"));
    const std::vector<std::string> left{"1", "3", "5"};
    QCOMPARE(Work().Scenario(), left);
    QCOMPARE(Tab()->Panel(0)->text(), QStringLiteral("Строк: 3"));
    QVERIFY(Tab()->SelectedRows().empty());
    QCOMPARE(ParseScenarioText(ReadFileBytes(dir_->File(CurrentScenarioFileName))), left);
}

void ScenarioGuiTest::FilterEditorChecks_data() {
    QTest::addColumn<QString>("drawsLen");
    QTest::addColumn<int>("levelMode");
    QTest::addColumn<QString>("levelValue");
    QTest::addColumn<bool>("multi");
    QTest::addColumn<int>("stopMode");
    QTest::addColumn<QString>("focus");  // empty: accepted

    const QString draws = QStringLiteral("edFilterDrawsLen");
    for (const char* bad : {"0", "", "abc", "10-1;2"})
        QTest::newRow(*bad ? bad : "empty") << bad << 0 << "" << false << 0 << draws;
    QTest::newRow("0, 5") << "0, 5" << 0 << "" << false << 0 << "";
    QTest::newRow("no level list") << "10" << 1 << "" << false << 0 << "edFilterLevelValue";
    QTest::newRow("level list") << "10" << 1 << "1-3;1" << false << 0 << "";
    QTest::newRow("multi, stop by combinations")
        << "10" << 0 << "" << true << 1 << "cbFilterStopMode";
    QTest::newRow("multi, all rows") << "10" << 0 << "" << true << 0 << "";
}

void ScenarioGuiTest::FilterEditorChecks() {
    QFETCH(QString, drawsLen);
    QFETCH(int, levelMode);
    QFETCH(QString, levelValue);
    QFETCH(bool, multi);
    QFETCH(int, stopMode);
    QFETCH(QString, focus);

    TFormFilter form(Work(), Methods());
    form.findChild<QLineEdit*>("edFilterDrawsLen")->setText(drawsLen);
    form.findChild<QComboBox*>("cbFilterLevelMode")->setCurrentIndex(levelMode);
    form.findChild<QLineEdit*>("edFilterLevelValue")->setText(levelValue);
    form.findChild<QCheckBox*>("chFilterMultiSelect")->setChecked(multi);
    form.findChild<QComboBox*>("cbFilterStopMode")->setCurrentIndex(stopMode);
    form.accept();
    if (focus.isEmpty()) {
        QCOMPARE(form.result(), int{QDialog::Accepted});
        QVERIFY(prompts_->Seen.isEmpty());
    } else {
        QCOMPARE(form.result(), int{QDialog::Rejected});
        QCOMPARE(prompts_->Seen.size(), 1);
        QVERIFY(prompts_->Seen[0].startsWith(QStringLiteral("Ошибка|")));
        QCOMPARE(form.focusWidget()->objectName(), focus);
    }
}

void ScenarioGuiTest::FilterEditorFillsAndWritesBack() {
    const TCDLCoefs global = Work().Config().Coefs;
    QVERIFY(global.Deviation != 0 || global.Level != 0);  // tells them from zeros

    const auto coefs = [](const TFormFilter& form) {
        return QList<double>{form.findChild<QDoubleSpinBox*>("edFilterCoefCount")->value(),
                             form.findChild<QDoubleSpinBox*>("edFilterCoefDeviation")->value(),
                             form.findChild<QDoubleSpinBox*>("edFilterCoefLevel")->value()};
    };
    {  // a new filter: the statistics tab's choices, zero coefficients
        TFormFilter form(Work(), Methods());
        form.SetItem(ParseFilterItem("", Work().Stats()));
        QCOMPARE(form.findChild<QComboBox*>("cbFilterType")->currentData(),
                 Methods()->currentData());
        QCOMPARE(form.findChild<QLineEdit*>("edFilterDrawsLen")->text(), QStringLiteral("1000"));
        QCOMPARE(form.findChild<QComboBox*>("cbFilterSortOrder")->currentIndex(), 1);
        QCOMPARE(coefs(form), (QList<double>{0, 0, 0}));
        QVERIFY(!form.findChild<QCheckBox*>("chFilterCDLOverride")->isEnabled());
    }
    {  // no override: the global coefficients, the box usable on a "Вес" mode
        TFormFilter form(Work(), Methods());
        form.SetItem(ParseFilterItem("TSD1#SUMS:10#WMV:3#SF:1", Work().Stats()));
        QCOMPARE(coefs(form), (QList<double>{global.Count, global.Deviation, global.Level}));
        QVERIFY(form.findChild<QCheckBox*>("chFilterCDLOverride")->isEnabled());
        QVERIFY(!form.findChild<QDoubleSpinBox*>("edFilterCoefCount")->isEnabled());
        form.findChild<QCheckBox*>("chFilterCDLOverride")->setChecked(true);
        QVERIFY(form.findChild<QDoubleSpinBox*>("edFilterCoefCount")->isEnabled());
        QVERIFY(form.findChild<QCheckBox*>("chFilterCoefAbs")->isEnabled());
        form.findChild<QComboBox*>("cbFilterLevelMode")->setCurrentIndex(1);
        QVERIFY(!form.findChild<QCheckBox*>("chFilterCDLOverride")->isEnabled());
        QVERIFY(!form.findChild<QDoubleSpinBox*>("edFilterCoefCount")->isEnabled());
    }
    {  // every field survives a round trip
        const std::string text = "BMF2#SUMS:10, 20#WDV:1-5;2#SP:7#0.5:2:-3.25:1:0";
        TFormFilter form(Work(), Methods());
        form.SetItem(ParseFilterItem(text, Work().Stats()));
        QCOMPARE(FormatFilterItem(form.Item()), text);
    }
}

void ScenarioGuiTest::DoubleClickInAFilterFieldEditsThatFilter() {
    TFormScriptLine form(Work(), Methods());
    form.SetLine(0, Line("FULL:0#EXT", 6, "tsd#sums:10#lmv:3", ""));
    QString shown;
    test::OnNextModal<TFormFilter>([&](TFormFilter* filter) {
        shown = filter->findChild<QLineEdit*>("edFilterDrawsLen")->text();
        filter->findChild<QLineEdit*>("edFilterDrawsLen")->setText("20");
        filter->accept();
    });
    auto* field = form.findChild<QLineEdit*>("edFilter6");
    QTest::mouseDClick(field, Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("10"));
    QCOMPARE(field->text(), QStringLiteral("TSD1#SUMS:20#LMV:3#SF:1"));
    for (const char* other : {"edFilter1", "edFilter5", "edFilter7"})
        QVERIFY(form.findChild<QLineEdit*>(other)->text().isEmpty());
}

void ScenarioGuiTest::RunTestAndStopThroughTheCommands() {
    for (int no = 103; no <= 110; ++no)
        Work().Archive().Draws().push_back(test::MakeDraw(no, {no - 100, 10, 20, 30, 40, 41}));
    SetLines({"FULL:0#FIRST| | | | | | | |"});
    window_->Commands().Update();
    QVERIFY(Action("ScriptRun")->isEnabled());
    QVERIFY(!Action("ScriptStop")->isEnabled());

    QVERIFY(window_->Commands().Execute(QStringLiteral("ScriptRun")));
    QCOMPARE(Work().StakesCount(), int64_t(1));
    QCOMPARE(Tab()->Panel(3)->text(), QStringLiteral("Ставок: 1"));
    QCOMPARE(Tab()->Panel(4)->text(), QStringLiteral("Сценарий завершен!"));

    // A test of five cycles, stopped by the command in the middle of cycle 2.
    test::OnNextModal<TFormTestCnt>([](TFormTestCnt* form) {
        QCOMPARE(form->findChild<QSpinBox*>("edTestCount")->maximum(), 9);
        form->findChild<QSpinBox*>("edTestCount")->setValue(5);
        form->accept();
    });
    prompts_->Answers = {true};
    bool lockedWhileRunning = false;
    QTimer clicker;
    clicker.setInterval(1);
    connect(&clicker, &QTimer::timeout, this, [&] {
        if (Tab()->Panel(1)->text() != QStringLiteral("Цикл: 2") ||
            Tab()->Panel(2)->text() != QStringLiteral("Строка: 1"))
            return;
        const auto* left = window_->findChild<QTabWidget*>("pcLeft");
        lockedWhileRunning = !List()->isEnabled() && !left->isTabEnabled(0) && !left->isTabEnabled(1);
        QVERIFY(window_->Commands().Execute(QStringLiteral("ScriptStop")));
        clicker.stop();
    });
    clicker.start();
    QVERIFY(window_->Commands().Execute(QStringLiteral("ScriptTest")));
    QVERIFY(lockedWhileRunning);
    QVERIFY(prompts_->Seen.contains(QStringLiteral("Подтверждение|Остановить выполнение сценария?")));
    QCOMPARE(Work().DrawsOffset(), 4);
    QCOMPARE(Tab()->Panel(4)->text(), QStringLiteral("Сценарий завершен!"));
    QVERIFY(List()->isEnabled());
    window_->Commands().Update();
    QVERIFY(!Action("ScriptStop")->isEnabled());
    QVERIFY(Action("ScriptRun")->isEnabled());
}

void ScenarioGuiTest::EveryButtonShowsInTheDefaultWindow() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    auto* right = window_->findChild<QTabWidget*>("pcRight");
    right->setCurrentWidget(Tab());
    QCoreApplication::processEvents();
    const auto* panel = Tab()->findChild<QWidget*>("tbScript");
    QVERIFY(panel);
    // Nothing hides behind an overflow: every button lies whole inside the
    // panel, none over another, and the panel sits above the list.
    QList<QRect> placed;
    for (const char* name : {"ScriptOpen", "ScriptSave", "ScriptAdd", "ScriptEdit", "ScriptDel", "ScriptUp",
                             "ScriptDown", "ScriptRun", "ScriptTest", "ScriptStop"}) {
        const auto* button = panel->findChild<QToolButton*>(QStringLiteral("btn") + QLatin1String(name));
        QVERIFY2(button, name);
        QVERIFY2(button->isVisible(), name);
        QVERIFY2(panel->rect().contains(button->geometry()), name);
        for (const QRect& other : placed) QVERIFY2(!other.intersects(button->geometry()), name);
        placed << button->geometry();
        QCOMPARE(button->defaultAction(), Action(name));
    }
    QCOMPARE(panel->findChild<QToolButton*>("btnScriptRun")->text(), QStringLiteral("Прогноз"));
    QCOMPARE(panel->findChild<QToolButton*>("btnScriptTest")->text(), QStringLiteral("Тест"));
    QCOMPARE(panel->findChild<QToolButton*>("btnScriptStop")->text(), QStringLiteral("Стоп"));
    QVERIFY(panel->geometry().bottom() < List()->geometry().top());

    // The forecast button runs the forecast.
    SetLines({"FULL:0#FIRST| | | | | | | |"});
    window_->Commands().Update();
    QTest::mouseClick(panel->findChild<QToolButton*>("btnScriptRun"), Qt::LeftButton);
    QCOMPARE(Work().StakesCount(), int64_t(1));
}

QTEST_MAIN(ScenarioGuiTest)
#include "scenario_test.moc"
