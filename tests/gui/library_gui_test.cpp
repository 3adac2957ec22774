#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>

#include "app/workspace.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "online/form_scr_public.h"
#include "online/script_library.h"
#include "online/server_rows.h"
#include "server_support.h"
#include "test_support.h"

using namespace tessara;
using namespace tessara::test;

class LibraryGuiTest : public QObject {
    Q_OBJECT
  private slots:
    void PanelListsDownloadsPublishesAndRates();
};

namespace {

int RowOf(QTableView* view, const QString& title) {
    for (int r = 0; r < view->model()->rowCount(); ++r)
        if (view->model()->index(r, 1).data().toString() == title) return r;
    return -1;
}

void Focus(QTableView* view, int row) {
    view->selectionModel()->setCurrentIndex(
        view->model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

}  // namespace

void LibraryGuiTest::PanelListsDownloadsPublishesAndRates() {
    RunningServer server;
    TempDir annaDir, borisDir;
    const std::vector<std::string> lines = {"строка Анны 1", "строка Анны 2"};
    {
        RecordingHost host;
        Workspace anna(host, annaDir.Path());
        TOnlineConfig c;
        c.ServerUrl = server.Url();
        c.UserName = "Анна";
        c.UserMail = "anna@x.org";
        c.InstallId = "hw-anna";
        QVERIFY(anna.Online().SetSettings(c));
        QVERIFY(anna.ReplaceScenario(lines));
        tScriptData d = anna.Library().NewScriptData();
        d.title = "Сценарий Анны";
        QVERIFY(anna.Library().Publish(d));
        // An entry made with another program: listed, never downloadable here.
        httplib::Client http("127.0.0.1", server.Port());
        auto res = http.Post("/scripts/scr_putscript.php",
                             httplib::Params{{"del_mode", "0"}, {"scr_id", "-1"},
                                             {"scr_uniapps", "0"}, {"scr_title", "Чужая программа"},
                                             {"scr_script", "x"}, {"appid", "{other}"},
                                             {"hwdid", "hw-other"}, {"cl_name", "Вера"},
                                             {"cl_mail", "vera@x.org"}});
        QVERIFY(res && res->body.find("id_scripts") != std::string::npos);
    }
    {
        RecordingHost host;
        Workspace boris(host, borisDir.Path());
        TOnlineConfig c;
        c.ServerUrl = server.Url();
        c.UserName = "Борис";
        c.UserMail = "boris@x.org";
        QVERIFY(boris.Online().SetSettings(c));
    }

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<Prompts> prompts;
    StartMainWindow(borisDir.Path(), window, prompts);
    window->resize(1400, 900);
    auto* list = window->findChild<QTableView*>(QStringLiteral("lvOnlineScripts"));
    QVERIFY(list);
    QCOMPARE(list->model()->rowCount(), 2);  // loaded at start-up
    CommandTable& commands = window->Commands();
    auto enabled = [&](const char* name) {
        commands.Update();
        return commands.Action(QString::fromLatin1(name))->isEnabled();
    };

    Focus(list, RowOf(list, QStringLiteral("Чужая программа")));
    QVERIFY(!enabled("ScriptLibraryDownload"));
    QVERIFY(enabled("ScriptLibraryView"));
    Focus(list, RowOf(list, QStringLiteral("Сценарий Анны")));
    QVERIFY(enabled("ScriptLibraryDownload"));
    QVERIFY(!enabled("ScriptLibraryDelete"));
    QVERIFY(!enabled("ScriptLibraryUpload"));  // Boris has no lines yet
    QVERIFY(commands.Execute(QStringLiteral("ScriptLibraryDownload")));
    QCOMPARE(window->Work().Scenario(), lines);
    QVERIFY(enabled("ScriptLibraryUpload"));

    // Publishing under a taken title keeps the dialog open; a new one passes.
    bool stayedOpen = false;
    OnNextModal<TFormScrPublic>([&](TFormScrPublic* form) {
        auto* title = form->findChild<QLineEdit*>(QStringLiteral("edTitle"));
        title->setText(QStringLiteral("сценарий анны"));
        form->accept();
        stayedOpen = form->isVisible();
        title->setText(QStringLiteral("Сценарий Бориса"));
        form->accept();
    });
    QVERIFY(commands.Execute(QStringLiteral("ScriptLibraryUpload")));
    QVERIFY(stayedOpen);
    QVERIFY(prompts->Seen.join(QLatin1Char('\n')).contains(QStringLiteral("Сценарий с таким названием уже существует!")));
    QCOMPARE(list->model()->rowCount(), 3);
    QVERIFY(RowOf(list, QStringLiteral("Сценарий Бориса")) >= 0);
    QVERIFY(enabled("ScriptLibraryDelete"));  // the new entry is focused and his own

    Focus(list, RowOf(list, QStringLiteral("Сценарий Анны")));
    OnNextModal<QInputDialog>([](QInputDialog* d) {
        d->setTextValue(QStringLiteral("Полезный"));
        d->accept();
    });
    QVERIFY(commands.Execute(QStringLiteral("ScriptLibraryRate4")));
    const int anna = RowOf(list, QStringLiteral("Сценарий Анны"));
    QCOMPARE(list->model()->index(anna, 9).data().toString(), QStringLiteral("4"));
    QCOMPARE(list->model()->index(anna, 8).data().toString(), QStringLiteral("1"));
    QVERIFY(commands.Action(QStringLiteral("ScriptLibraryRate4"))->isChecked());

    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("pcRight"));
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == QStringLiteral("Сценарий")) tabs->setCurrentIndex(i);
    if (const char* shot = std::getenv("TESSARA_SHOT")) {
        window->show();
        QTest::qWait(200);
        window->grab().save(QString::fromLocal8Bit(shot));
    }

    // Hiding takes it out of the default list.
    QVERIFY(commands.Execute(QStringLiteral("ScriptLibraryHide")));
    QCOMPARE(RowOf(list, QStringLiteral("Сценарий Анны")), -1);
}

QTEST_MAIN(LibraryGuiTest)
#include "library_gui_test.moc"
