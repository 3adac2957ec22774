#include <QHeaderView>
#include <QSplitter>
#include <QTableView>
#include <QtTest>
#include <memory>

#include "base/ini_file.h"
#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/main_window.h"
#include "test_support.h"

using namespace tessara;

class LayoutStateTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void SizesSurviveARestart();
    void StoredPanelWidthApplies_data();
    void StoredPanelWidthApplies();

  private:
    void Start();
    QSplitter* Splitter() const { return window_->findChild<QSplitter*>("splitterMain"); }
    QHeaderView* DrawsColumns() const {
        return window_->findChild<QTableView*>("lvDraws")->horizontalHeader();
    }
    std::string ViewFile() const { return dir_->File(std::string(ProgramName) + ".frm"); }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void LayoutStateTest::init() { dir_ = std::make_unique<test::TempDir>(); }

void LayoutStateTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void LayoutStateTest::Start() {
    window_.reset();
    window_ = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir_->Path()});
    prompts_ = std::make_unique<test::Prompts>(window_->Host());
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void LayoutStateTest::SizesSurviveARestart() {
    Start();
    window_->resize(1100, 700);
    QTRY_COMPARE(window_->size(), QSize(1100, 700));
    const int layoutWidth = Splitter()->sizes().at(0);
    DrawsColumns()->resizeSection(0, 77);
    Splitter()->setSizes({layoutWidth - 30, Splitter()->sizes().at(1) + 30});
    window_.reset();

    const IniFile view = IniFile::Load(ViewFile());
    QCOMPARE(view.ReadInteger(MainWindowSection, "lvDraws.Column0", -1), 77);
    QCOMPARE(view.ReadInteger(MainWindowSection, "LeftPanelWidth", -1), layoutWidth - 30);
    QVERIFY(!view.ReadString(MainWindowSection, "Geometry", "").empty());

    Start();
    QCOMPARE(DrawsColumns()->sectionSize(0), 77);
    QCOMPARE(Splitter()->sizes().at(0), layoutWidth - 30);
    QCOMPARE(window_->size(), QSize(1100, 700));
}

void LayoutStateTest::StoredPanelWidthApplies_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<bool>("layoutWidth");
    QTest::newRow("-1 leaves the layout's width") << -1 << true;
    QTest::newRow("a width") << 400 << false;
}

void LayoutStateTest::StoredPanelWidthApplies() {
    QFETCH(int, stored);
    QFETCH(bool, layoutWidth);
    Start();
    const int fromLayout = Splitter()->sizes().at(0);
    window_.reset();

    ViewState(ViewFile()).WriteInteger(MainWindowSection, "LeftPanelWidth", stored);
    Start();
    QCOMPARE(Splitter()->sizes().at(0), layoutWidth ? fromLayout : stored);
}

QTEST_MAIN(LayoutStateTest)
#include "layout_state_test.moc"
