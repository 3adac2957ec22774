// Pictures of the main window after a scenario test on the demo data, for a
// person to look at: runs only with TESSARA_SCREENSHOTS=DIR and writes the
// PNG files there.
#include <QMenu>
#include <QMenuBar>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "scenario/form_test_count.h"
#include "test_support.h"

using namespace tessara;

class TourTest : public QObject {
    Q_OBJECT

  private slots:
    void MainTabsAfterATest();
    void EveryMainMenu();
};

void TourTest::MainTabsAfterATest() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    test::TempDir dir;
    const std::string sample = TESSARA_SAMPLE_DIR;
    std::filesystem::copy_file(sample + "/Tessara_6x42.ldr", dir.File(DrawsFileName));
    std::filesystem::copy_file(sample + "/Tessara_demo.lsc", dir.File("Tessara_6x42.lss"));
    MainWindow window(std::vector<std::string>{"--data-dir", dir.Path()});
    test::Prompts prompts(window.Host());
    QCOMPARE(window.InitTick(), InitOutcome::Ready);
    window.resize(1600, 1000);
    window.show();
    const int cycles = qEnvironmentVariableIntValue("TESSARA_TOUR_CYCLES");
    test::OnNextModal<TFormTestCnt>([cycles](TFormTestCnt* form) {
        form->findChild<QSpinBox*>("edTestCount")->setValue(cycles > 0 ? cycles : 2);
        form->accept();
    });
    auto* right = window.findChild<QTabWidget*>("pcRight");
    right->setCurrentIndex(right->count() - 1);
    QVERIFY(window.Commands().Execute(QStringLiteral("ScriptTest")));
    QDir().mkpath(out);
    for (int i = 0; i < right->count(); ++i) {
        if (!right->isTabVisible(i)) continue;
        right->setCurrentIndex(i);
        QCoreApplication::processEvents();
        const QString name = QStringLiteral("%1/tab%2.png").arg(out).arg(i);
        QVERIFY(window.grab().save(name));
    }
    qInfo() << prompts.Seen;
}

// Each menu of the main window, submenus open beside it, on the demo data.
void TourTest::EveryMainMenu() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    test::TempDir dir;
    std::filesystem::copy_file(std::string(TESSARA_SAMPLE_DIR) + "/Tessara_6x42.ldr",
                               dir.File(DrawsFileName));
    MainWindow window(std::vector<std::string>{"--data-dir", dir.Path()});
    test::Prompts prompts(window.Host());
    QCOMPARE(window.InitTick(), InitOutcome::Ready);
    window.show();
    QDir().mkpath(out);
    int index = 0;
    for (QAction* title : window.menuBar()->actions()) {
        QMenu* menu = title->menu();
        window.Commands().Update();
        menu->popup(QPoint(0, 0));
        QCoreApplication::processEvents();
        QVERIFY(menu->grab().save(QStringLiteral("%1/menu%2.png").arg(out).arg(index)));
        int sub = 0;
        for (QAction* a : menu->actions())
            if (a->menu()) {
                a->menu()->popup(QPoint(0, 0));
                QCoreApplication::processEvents();
                QVERIFY(a->menu()->grab().save(
                    QStringLiteral("%1/menu%2_%3.png").arg(out).arg(index).arg(sub++)));
                a->menu()->hide();
            }
        menu->hide();
        ++index;
    }
}

QTEST_MAIN(TourTest)
#include "tour_test.moc"
