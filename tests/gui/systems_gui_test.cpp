// The systems tab and the system dialog: the game commands follow the tab's
// switch, and the dialog's wheel check follows the list being edited.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/files.h"
#include "online/system_files.h"
#include "server_support.h"
#include "stakes/form_multi.h"
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

QStringList RowTexts(const QAbstractItemModel* m, int row, int first, int last) {
    QStringList texts;
    for (int c = first; c <= last; ++c) texts << m->index(row, c).data().toString();
    return texts;
}

// With TESSARA_SCREENSHOTS=DIR the steps leave pictures for a person to look at.
void Shot(QWidget* w, const char* name) {
    const QString dir = qEnvironmentVariable("TESSARA_SCREENSHOTS");
    if (dir.isEmpty()) return;
    if (auto* window = qobject_cast<MainWindow*>(w)) {
        window->resize(1400, 900);
        window->show();
    }
    QTest::qWait(300);
    w->grab().save(QStringLiteral("%1/%2.png").arg(dir, QString::fromLatin1(name)));
}

void ShowTab(MainWindow* window, const QString& caption) {
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("pcRight"));
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == caption) tabs->setCurrentIndex(i);
}

void SetIdentity(const std::string& dir, const std::string& url, const std::string& name,
                 const std::string& mail) {
    test::RecordingHost host;
    Workspace ws(host, dir);
    TOnlineConfig c;
    c.ServerUrl = url;
    c.UserName = name;
    c.UserMail = mail;
    c.InstallId = "hw-" + mail;
    QVERIFY(ws.Online().SetSettings(c));
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

    // The count of numbers typed after leaving a tidy list is the system's,
    // as for a system over twelve numbers whose lines use only ten.
    void TypedCountOfNumbersStands() {
        test::RecordingHost host;
        tSystemData data;
        data.author = "Анна";
        TFormSystem form(host, data, false);
        form.findChild<QLineEdit*>(QStringLiteral("edTitle"))->setText(QStringLiteral("Т"));
        form.findChild<QPlainTextEdit*>(QStringLiteral("edDescr"))->setPlainText(QStringLiteral("О"));
        form.findChild<QPlainTextEdit*>(QStringLiteral("edCombs"))->setPlainText(FullWheelOf7(0));
        form.Normalise();
        auto* nums = form.findChild<QLineEdit*>(QStringLiteral("edNums"));
        QCOMPARE(nums->text(), QStringLiteral("7"));
        nums->setText(QStringLiteral("12"));
        form.accept();
        QCOMPARE(form.result(), int(QDialog::Accepted));
        QCOMPARE(form.Result().nums, uint8_t{12});
        QVERIFY(host.Messages.empty());
    }

    // Thousands of lines over 42 positions take long to check: a newer text
    // or closing the dialog stops the check instead of waiting for it.
    void HugeSystemGivesWayToANewerText() {
        QStringList lines;
        for (int i = 0; i < 20000; ++i) {
            QStringList line;
            for (int k = 0; k < 6; ++k) line << QString::number(1 + (i * 7 + k * 5) % 42);
            lines << line.join(' ');
        }
        tSystemData huge;
        huge.clist = lines.join(QStringLiteral("\r\n")).toStdString();
        test::RecordingHost host;
        {
            TFormSystem closed(host, huge, true);
        }
        TFormSystem form(host, huge, false);
        form.findChild<QPlainTextEdit*>(QStringLiteral("edCombs"))->setPlainText(FullWheelOf7(0));
        QTRY_COMPARE(Cell(form.WheelTable(), 5, 1), QStringLiteral("6 из 6"));
    }

    // Anna publishes a system from her window; Boris, in another data folder,
    // downloads it, reads its guarantee in the read-only dialog and plays it
    // with his combination list.
    void PublishDownloadCheckAndPlay() {
        test::RunningServer server;
        test::TempDir annaDir, borisDir;
        SetIdentity(annaDir.Path(), server.Url(), "Анна", "anna@x.org");
        SetIdentity(borisDir.Path(), server.Url(), "Борис", "boris@x.org");
        std::filesystem::copy_file(std::string(TESSARA_SAMPLE_DIR) + "/Tessara_6x42.ldr",
                                   borisDir.File("Tessara_6x42.ldr"));
        // As typed: any separators, one line too short to be a combination.
        const QString typed = QStringLiteral(
            "1,2,3,4,5,6\n05-06-07-08-09-10\n 1 2 3\n01 02 03 07 08 09\n1 4 7 8 9 10 \n");
        const QString tidy = QStringLiteral(
            "01 02 03 04 05 06\n05 06 07 08 09 10\n01 02 03 07 08 09\n01 04 07 08 09 10");
        // Every position is on a line, the pair 2, 10 on none, and any six
        // of the ten keep four on one line.
        const QStringList guarantees = {"1 из 1", "1 из 2", "2 из 3", "3 из 4", "3 из 5", "4 из 6"};

        std::unique_ptr<MainWindow> window;
        std::unique_ptr<test::Prompts> prompts;
        int32_t id = 0;
        {
            test::StartMainWindow(annaDir.Path(), window, prompts);
            auto* list = window->findChild<QTableView*>(QStringLiteral("lvSystems"));
            QCOMPARE(list->model()->rowCount(), 0);
            bool stayedOpen = false;
            QStringList shown;
            test::OnNextModal<TFormSystem>([&](TFormSystem* form) {
                QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("edAuthor"))->text(),
                         QStringLiteral("Анна"));
                auto* combs = form->findChild<QPlainTextEdit*>(QStringLiteral("edCombs"));
                combs->setPlainText(typed);
                form->accept();  // no title yet
                stayedOpen = form->isVisible();
                QCOMPARE(combs->toPlainText(), tidy);
                QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("edNums"))->text(),
                         QStringLiteral("10"));
                QCOMPARE(form->findChild<QLabel*>(QStringLiteral("lbCSize"))->text(),
                         QStringLiteral("4"));
                for (int m = 1; m <= 6; ++m) QTRY_COMPARE(Cell(form->WheelTable(), m - 1, 1), guarantees[m - 1]);
                form->findChild<QLineEdit*>(QStringLiteral("edTitle"))->setText(QStringLiteral("Десятка Анны"));
                form->findChild<QPlainTextEdit*>(QStringLiteral("edDescr"))
                    ->setPlainText(QStringLiteral("Четыре строки на десять чисел"));
                form->findChild<QLineEdit*>(QStringLiteral("edOlap"))->setText(QStringLiteral("2"));
                Shot(form, "sys-publish");
                form->accept();
            });
            QVERIFY(window->Commands().Execute(QStringLiteral("SystemsAdd")));
            QVERIFY(stayedOpen);
            QCOMPARE(prompts->Seen, QStringList{QStringLiteral(
                                        "Предупреждение|Название системы должно быть указано обязательно!")});
            QCOMPARE(list->model()->rowCount(), 1);
            QCOMPARE(RowTexts(list->model(), 0, 0, 4),
                     (QStringList{"Десятка Анны", "Анна", "10", "2", "4"}));
            QCOMPARE(list->model()->index(0, 6).data().toString(), QString());
            id = window->Work().Systems().FocusedId();
            QVERIFY(id > 0);
            window->Commands().Update();
            QVERIFY(window->Commands().Action(QStringLiteral("SystemsDel"))->isEnabled());
            ShowTab(window.get(), QStringLiteral("Системы"));
            Shot(window.get(), "sys-tab-anna");
        }

        prompts->Seen.clear();
        test::StartMainWindow(borisDir.Path(), window, prompts);
        Workspace& ws = window->Work();
        CommandTable& commands = window->Commands();
        auto* list = window->findChild<QTableView*>(QStringLiteral("lvSystems"));
        QCOMPARE(list->model()->rowCount(), 1);  // listed at start-up
        list->selectionModel()->setCurrentIndex(list->model()->index(0, 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        commands.Update();
        QVERIFY(!commands.Action(QStringLiteral("SystemsDel"))->isEnabled());
        QVERIFY(commands.Execute(QStringLiteral("SystemsDownload")));
        QCOMPARE(list->model()->index(0, 6).data().toString(), QStringLiteral("Загружена"));
        const std::string file = SystemFileName(ws.DataDir(), 10, 2, id);
        QCOMPARE(QString::fromStdString(ReadFileBytes(file)),
                 QString(tidy).replace('\n', QStringLiteral("\r\n")) + QStringLiteral("\r\n"));

        // Another author's system opens read-only, with its guarantee.
        QStringList seen;
        test::OnNextModal<TFormSystem>([&](TFormSystem* form) {
            QVERIFY(form->findChild<QPlainTextEdit*>(QStringLiteral("edCombs"))->isReadOnly());
            QVERIFY(!form->findChild<QPushButton*>(QStringLiteral("btnOk"))->isVisible());
            QCOMPARE(form->findChild<QLineEdit*>(QStringLiteral("edTitle"))->text(),
                     QStringLiteral("Десятка Анны"));
            QTRY_VERIFY(!Cell(form->WheelTable(), 5, 1).isEmpty());
            for (int m = 1; m <= 6; ++m) seen << Cell(form->WheelTable(), m - 1, 1);
            Shot(form, "sys-props");
        });
        ShowTab(window.get(), QStringLiteral("Системы"));
        Shot(window.get(), "sys-tab-boris");
        QVERIFY(commands.Execute(QStringLiteral("SystemsProp")));
        QCOMPARE(seen, guarantees);

        // The list: every six of ten numbers but those holding both 3 and 7,
        // so 7 comes last in order of appearance and stands for position 10.
        const int numbers[] = {3, 7, 11, 15, 19, 23, 27, 31, 35, 40};
        QString text;
        int listed = 0;
        std::array<bool, 10> pick{true, true, true, true, true, true};
        do {  // in lexicographic order, as the list is generated
            if (pick[0] && pick[1]) continue;
            QStringList line;
            for (int i = 0; i < 10; ++i)
                if (pick[i]) line << QString::number(numbers[i]);
            text += line.join(' ') + '\n';
            ++listed;
        } while (std::prev_permutation(pick.begin(), pick.end()));
        QVERIFY(ws.PasteCombs(text.toStdString()));
        QCOMPARE(ws.CombsCount(), int64_t{listed});
        const int draw = ws.NextDrawNo();
        test::OnNextModal<TFormMulti>([&](TFormMulti* form) {
            QCOMPARE(form->Draw(), draw);
            QCOMPARE(form->Comment(), "Системная игра для 10 чисел [комбинации]: 6-10-2_" +
                                          QString::asprintf("%04d", id).toStdString());
            form->accept();
        });
        QVERIFY(commands.Execute(QStringLiteral("SystemStakeFilter")));
        QVERIFY2(prompts->Seen.isEmpty(), qPrintable(prompts->Seen.join('\n')));

        // The fourth line holds positions 1 and 10, 3 and 7: not in the list.
        const QAbstractItemModel* m = window->findChild<QTableView*>(QStringLiteral("sgStakes"))->model();
        QCOMPARE(m->rowCount(), 3);
        const QString sample = QString::number(listed);
        const QStringList made[] = {{"3;11;15;19;23;27"}, {"7;23;27;31;35;40"}, {"3;11;15;31;35;40"}};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(RowTexts(m, r, 0, 3),
                     (QStringList{QString::number(draw), "Система", made[r][0], sample}));
            QVERIFY(m->index(r, 8).data().toString().endsWith(QStringLiteral("[комбинации]: 6-10-2_") +
                                                              QString::asprintf("%04d", id)));
        }
        ShowTab(window.get(), QStringLiteral("Ставки"));
        Shot(window.get(), "sys-stakes");
    }
};

QTEST_MAIN(SystemsGuiTest)
#include "systems_gui_test.moc"
