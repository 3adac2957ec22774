// Pictures of the main window after a scenario test on the demo data, for a
// person to look at: runs only with TESSARA_SCREENSHOTS=DIR and writes the
// PNG files there.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "export/export_file_dialog.h"
#include "help/form_help.h"
#include "main/command_table.h"
#include "main/form_about.h"
#include "main/form_first_run.h"
#include "main/menu_layout.h"
#include "main/user_locale.h"
#include "stats/stat_list.h"
#include "main/main_window.h"
#include "scenario/form_test_count.h"
#include "test_support.h"

using namespace tessara;

class TourTest : public QObject {
    Q_OBJECT

  private slots:
    void MainTabsAfterATest();
    void EveryMainMenu();
    void PopupsHelpAndDialogs();
};

// The demo archive with the demo scenario as the current one.
void CopyDemoData(const test::TempDir& dir) {
    const std::string sample = TESSARA_SAMPLE_DIR;
    std::filesystem::copy_file(sample + "/Tessara_6x42.ldr", dir.File(DrawsFileName));
    std::filesystem::copy_file(sample + "/Tessara_demo.lsc", dir.File("Tessara_6x42.lss"));
}

void TourTest::MainTabsAfterATest() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    test::TempDir dir;
    CopyDemoData(dir);
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

namespace {

// Brings the page that holds widget forward in every tab control above it.
void ShowPageOf(QWidget* widget) {
    for (QWidget* w = widget; w && w->parentWidget(); w = w->parentWidget())
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget()))
            if (auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget()))
                tabs->setCurrentWidget(w);
}

// Saves the popup or modal window that the next call opens, then closes it.
void GrabNext(const QString& file) {
    QTimer::singleShot(300, [file] {
        QWidget* w = QApplication::activePopupWidget();
        if (!w) w = QApplication::activeModalWidget();
        if (!w) {
            qWarning() << "nothing open for" << file;
            return;
        }
        w->grab().save(file);
        w->close();
    });
}

}  // namespace

// The popup menus of the lists, the help on every tab and on a few
// statistics, and the dialogs of the shell: about, first run, export, a
// question, a line edit's own menu.
void TourTest::PopupsHelpAndDialogs() {
    const QString out = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (out.isEmpty()) QSKIP("set TESSARA_SCREENSHOTS=DIR to take the pictures");
    // As the program starts: Qt's own texts in Russian.
    ApplyUserLocale(QLocale::system());
    InstallQtTranslations();
    test::TempDir dir;
    CopyDemoData(dir);
    MainWindow window(std::vector<std::string>{"--data-dir", dir.Path()});
    test::Prompts prompts(window.Host());
    QCOMPARE(window.InitTick(), InitOutcome::Ready);
    window.resize(1600, 1000);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    QDir().mkpath(out);
    // Two stakes, so that the stakes and ratings lists have rows.
    for (int64_t row : {0, 1000})
        window.Work().CreateStake(window.Work().PrefillManualStake(&window.Work().Combs()[row]), 1);

    const char* const lists[] = {"lvDraws",  "lvCombs",    "lvDrawsStat", "chDrawsStat",
                                 "crtDrawsGraph", "sgCard", "sgLayout",   "sgWeek",
                                 "crtWeek",  "sgStakes",   "lvRatings",   "lvTables",
                                 "lvScript", "lvOnlineScripts", "lvSystems"};
    for (const char* name : lists) {
        auto* w = window.findChild<QWidget*>(QString::fromLatin1(name));
        if (!w) {
            qWarning() << "no" << name;
            continue;
        }
        ShowPageOf(w);
        QCoreApplication::processEvents();
        GrabNext(QStringLiteral("%1/popup_%2.png").arg(out, QString::fromLatin1(name)));
        emit w->customContextMenuRequested(QPoint(30, 30));
        QCoreApplication::processEvents();
    }

    // F1 on every tab of both sides.
    for (const char* side : {"pcLeft", "pcRight"}) {
        auto* tabs = window.findChild<QTabWidget*>(QString::fromLatin1(side));
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i)) continue;
            tabs->setCurrentIndex(i);
            // The key is pressed in the main window, not in the help.
            QApplication::setActiveWindow(&window);
            QWidget* list = tabs->currentWidget()->findChild<QAbstractItemView*>();
            (list ? list : tabs)->setFocus();
            QCoreApplication::processEvents();
            QVERIFY(window.Commands().Execute(QStringLiteral("GetHelp")));
            auto* help = window.findChild<TFormHelp*>(QStringLiteral("FormHelp"));
            QCoreApplication::processEvents();
            help->grab().save(QStringLiteral("%1/help_%2_%3.png").arg(out, side).arg(i));
        }
    }
    // F8 on a few statistics.
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cbDrawsStat"));
    for (const char* code : {"NUMS", "POS3", "SHR1", "PRC+1"}) {
        const int method = window.Work().Stats().FindMethod(code);
        const int index = box->findData(method);
        if (index < 0) {
            qWarning() << "not a favourite:" << code;
            continue;
        }
        box->setCurrentIndex(index);
        QVERIFY(window.Commands().Execute(QStringLiteral("FiltersInfo")));
        auto* help = window.findChild<TFormHelp*>(QStringLiteral("FormHelp"));
        QCoreApplication::processEvents();
        help->grab().save(QStringLiteral("%1/f8_%2.png").arg(out, QString::fromLatin1(code)));
    }
    window.findChild<TFormHelp*>(QStringLiteral("FormHelp"))->close();

    GrabNext(out + QStringLiteral("/about.png"));
    QVERIFY(window.Commands().Execute(QStringLiteral("About")));
    const QStringList& pages = menu_layout::HelpPages();
    GrabNext(out + QStringLiteral("/first_run.png"));
    TFormFirstRun::Run(window.Commands(), pages.constFirst(), pages.mid(1), &window);
    GrabNext(out + QStringLiteral("/export_dialog.png"));
    ExportFileDialog(&window, QStringLiteral("Экспорт в Microsoft Excel"),
                     QString::fromStdString(dir.Path()), QStringLiteral("Архив тиражей.xlsx"), true)
        .exec();
    GrabNext(out + QStringLiteral("/question.png"));
    QMessageBox::question(&window, QStringLiteral("Подтверждение"),
                          QStringLiteral("Удалить выделенную запись?"));
    QLineEdit edit(QStringLiteral("текст"));
    edit.show();
    edit.selectAll();
    GrabNext(out + QStringLiteral("/line_edit_menu.png"));
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), edit.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&edit, &menuEvent);
    QTest::qWait(600);
}

QTEST_MAIN(TourTest)
#include "tour_test.moc"
