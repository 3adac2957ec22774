// The systems tab and the system dialog: the game commands follow the tab's
// switch, and the dialog's wheel check follows the list being edited.
#include <QAction>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "systems/form_system.h"
#include "test_support.h"

using namespace tessara;

namespace {

// Every 6 of the positions 1..7 but the ones listed in skip.
QString FullWheelOf7(int skip) {
    QStringList lines;
    for (int left = 1; left <= 7; ++left) {
        if (left == skip) continue;
        QStringList line;
        for (int p = 1; p <= 7; ++p)
            if (p != left) line << QStringLiteral("%1").arg(p, 2, 10, QLatin1Char('0'));
        lines << line.join(' ');
    }
    return lines.join('\n');
}

QString Cell(const QTableWidget* t, int row, int col) {
    const QTableWidgetItem* item = t->item(row, col);
    return item ? item->text() : QString();
}

}  // namespace

class SystemsGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void SwitchShowsTabAndGameCommands() {
        test::TempDir dir;
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<test::Prompts> prompts;
        test::StartMainWindow(dir.Path(), window, prompts);
        auto* right = window->findChild<QTabWidget*>(QStringLiteral("pcRight"));
        int tab = -1;
        for (int i = 0; i < right->count(); ++i)
            if (right->tabText(i) == QStringLiteral("Системы")) tab = i;
        QVERIFY(tab >= 0);
        const bool on = right->isTabVisible(tab);
        QAction* game = window->Commands().Action(QStringLiteral("SystemStakeAll"));
        QCOMPARE(game->isVisible(), on);
        QVERIFY(window->Commands().Execute(QStringLiteral("SystemsOn")));
        QCOMPARE(right->isTabVisible(tab), !on);
        QCOMPARE(game->isVisible(), !on);
        QCOMPARE(window->Work().Systems().Enabled(), !on);
    }

    void WheelCheckFollowsTheList() {
        test::RecordingHost host;
        tSystemData data;
        TFormSystem form(host, data, false);
        auto* combs = form.findChild<QPlainTextEdit*>(QStringLiteral("edCombs"));
        QTableWidget* wheel = form.WheelTable();
        QVERIFY(combs && wheel);
        // The full wheel of 7 positions keeps 6 if 6 are drawn among them.
        combs->setPlainText(FullWheelOf7(0));
        QTRY_COMPARE(Cell(wheel, 5, 1), QStringLiteral("6 из 6"));
        QCOMPARE(Cell(wheel, 5, 0), QStringLiteral("7"));
        // Without one line exactly one 6-subset of the 7 falls short.
        combs->setPlainText(FullWheelOf7(3));
        QTRY_COMPARE(Cell(wheel, 5, 1), QStringLiteral("5 из 6"));
        QVERIFY2(Cell(wheel, 5, 7).startsWith(QStringLiteral("1 (")), qPrintable(Cell(wheel, 5, 7)));
        combs->clear();
        QTRY_COMPARE(Cell(wheel, 5, 1), QString());
    }
};

QTEST_MAIN(SystemsGuiTest)
#include "systems_gui_test.moc"
