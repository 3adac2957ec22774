#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "archive_server.h"
#include "config/form_config.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "main/status_panels.h"
#include "model/draw_archive.h"
#include "online/draws_download.h"
#include "online/form_proxy.h"
#include "online/form_wait.h"
#include "test_support.h"

using namespace tessara;

class OnlineGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void DownloadButtonBringsTheArchiveUpToDate();
    void MenusAndStartOption();
    void ProxyDialogFieldsFollowTheChoice();
    void ConfigDialogHasTheAddressesPage();
};

namespace {

QMenu* MenuNamed(QMainWindow& w, const QString& title) {
    for (QAction* a : w.menuBar()->actions())
        if (a->text() == title) return a->menu();
    return nullptr;
}

}  // namespace

void OnlineGuiTest::DownloadButtonBringsTheArchiveUpToDate() {
    test::TempDir dir;
    WriteDrawsFile(dir.File(DrawsFileName), test::MakeDraws(1, 812));
    test::ArchiveServer site;
    site.SetPage(1, test::ArchivePage(test::Descending(818, 809)));
    {
        IniFile ini;
        ini.WriteString("ONLINE", "DrawsSite", site.Url());
        ini.Save(dir.File("Tessara_6x42.ini"));
        // Asked at start-up, answered No below.
    }
    auto window = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir.Path()});
    test::Prompts prompts(window->Host());
    QCOMPARE(window->InitTick(), InitOutcome::Ready);
    QCOMPARE(prompts.Seen, QStringList{QStringLiteral("Подтверждение|") +
                                       GuiHost::MessageText(MsgAskDownloadDraws)});
    QCOMPARE(window->Work().Archive().Count(), 812);

    // The wait window tells each step while the download runs.
    auto* wait = window->findChild<TFormWait*>(QStringLiteral("FormWait"));
    QVERIFY(wait);
    QStringList waitTexts;
    window->Host().OnStatus([&](const QString&) {
        if (wait->isVisible()) waitTexts << wait->Text();
    });
    auto* button = window->findChild<QToolButton*>(QStringLiteral("btnDrawsDownload"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Загрузка"));
    window->Commands().Update();
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(window->Work().Archive().Count(), 818);
    QCOMPARE(window->Panels().Text(StatusPanels::ArchiveSize),
             QStringLiteral("Архив тиражей: 818"));
    QVERIFY(!wait->isVisible());
    QVERIFY(waitTexts.contains(QStringLiteral("Загрузка архива тиражей...")));
    QCOMPARE(prompts.Seen.size(), 1);
    QCOMPARE(window->Commands().Action(QStringLiteral("DrawsDownload"))->shortcut(),
             QKeySequence(Qt::Key_F3));
}

void OnlineGuiTest::MenusAndStartOption() {
    test::TempDir dir;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<test::Prompts> prompts;
    test::StartMainWindow(dir.Path(), window, prompts);
    CommandTable& commands = window->Commands();

    QMenu* draws = MenuNamed(*window, QStringLiteral("Архив тиражей"));
    QVERIFY(draws);
    QVERIFY(draws->actions().contains(commands.Action(QStringLiteral("DrawsDownload"))));
    auto* sub = draws->findChild<QMenu*>(QStringLiteral("mnAutoDownload"));
    QVERIFY(sub);
    QCOMPARE(sub->title(), QStringLiteral("Автозагрузка при запуске программы"));
    QCOMPARE(sub->actions().size(), 3);
    QVERIFY(MenuNamed(*window, QStringLiteral("Файл"))
                ->actions()
                .contains(commands.Action(QStringLiteral("EditProxy"))));

    // One of the three carries the check mark, and the choice is stored at once.
    commands.Update();
    QVERIFY(commands.Action(QStringLiteral("AutoDownload0"))->isChecked());
    QVERIFY(commands.Execute(QStringLiteral("AutoDownload2")));
    commands.Update();
    QVERIFY(!commands.Action(QStringLiteral("AutoDownload0"))->isChecked());
    QVERIFY(commands.Action(QStringLiteral("AutoDownload2"))->isChecked());
    QCOMPARE(window->Work().View().ReadInteger(MainWindowSection, DownloadOnStartKey, -1), 2);

    // Without a site the download says where to set it.
    QVERIFY(commands.Execute(QStringLiteral("DrawsDownload")));
    QCOMPARE(prompts->Seen,
             QStringList{QStringLiteral("Ошибка|") + GuiHost::MessageText(MsgNoDrawsSite)});
}

void OnlineGuiTest::ProxyDialogFieldsFollowTheChoice() {
    TProxy saved;
    saved.Mode = 1;
    saved.Server = "found.proxy";
    saved.Port = 0;  // as the automatic choice leaves it
    TFormProxy form(saved);
    auto* server = form.findChild<QLineEdit*>(QStringLiteral("edServer"));
    auto* port = form.findChild<QSpinBox*>(QStringLiteral("edPort"));
    QVERIFY(form.findChild<QRadioButton*>(QStringLiteral("rbAuto"))->isChecked());
    QVERIFY(!server->isEnabled());
    QCOMPARE(port->value(), 80);
    QTest::mouseClick(form.findChild<QRadioButton*>(QStringLiteral("rbManual")), Qt::LeftButton);
    QVERIFY(server->isEnabled() && port->isEnabled());
    server->setText(QStringLiteral(" 10.1.1.1 "));
    port->setValue(3128);
    TProxy r = form.Result();
    QCOMPARE(int(r.Mode), 2);
    QCOMPARE(r.Server, std::string("10.1.1.1"));
    QCOMPARE(r.Port, 3128);
    QTest::mouseClick(form.findChild<QRadioButton*>(QStringLiteral("rbAuto")), Qt::LeftButton);
    QVERIFY(!server->isEnabled());
    r = form.Result();
    QCOMPARE(int(r.Mode), 1);
    QVERIFY(r.Server.empty());
}

void OnlineGuiTest::ConfigDialogHasTheAddressesPage() {
    test::RecordingHost host;
    TOnlineConfig online;
    online.DrawsSite = "https://site.example";
    TFormConfig form(TConfigData{}, host, nullptr, online);
    auto* tabs = form.findChild<QTabWidget*>(QStringLiteral("pcConfig"));
    QVERIFY(tabs);
    QCOMPARE(tabs->tabText(1), QStringLiteral("Сетевые адреса"));
    auto* site = form.findChild<QLineEdit*>(QStringLiteral("edDrawsSite"));
    QCOMPARE(site->text(), QStringLiteral("https://site.example"));
    form.findChild<QLineEdit*>(QStringLiteral("edProxyListUrl"))
        ->setText(QStringLiteral(" http://proxies.example/ "));
    const TOnlineConfig r = form.OnlineResult();
    QCOMPARE(r.DrawsSite, online.DrawsSite);
    QCOMPARE(r.ProxyListUrl, std::string("http://proxies.example/"));
}

QTEST_MAIN(OnlineGuiTest)
#include "online_gui_test.moc"
