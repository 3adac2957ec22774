#include <QAction>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "gui_test_support.h"
#include "help/form_help.h"
#include "help/help_commands.h"
#include "main/command_table.h"
#include "main/main_window.h"
#include "model/draw_archive.h"
#include "test_support.h"

using namespace tessara;

class HelpGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void ResourcesHoldEveryPageOfTheHelpFolder();
    void GetHelpOpensThePageOfTheActiveTab();
    void ChapterCommandsAndNavigation();

  private:
    TFormHelp* Help() const {
        return window_->findChild<TFormHelp*>("FormHelp", Qt::FindDirectChildrenOnly);
    }
    QTabWidget* Tabs(const char* name) const { return window_->findChild<QTabWidget*>(name); }
    void ShowTab(const char* tabs, const QString& caption) {
        QTabWidget* t = Tabs(tabs);
        for (int i = 0; i < t->count(); ++i)
            if (t->tabText(i) == caption) t->setCurrentIndex(i);
        QCOMPARE(t->tabText(t->currentIndex()), caption);
    }

    std::unique_ptr<test::TempDir> dir_;
    std::unique_ptr<MainWindow> window_;
    std::unique_ptr<test::Prompts> prompts_;
};

void HelpGuiTest::init() {
    dir_ = std::make_unique<test::TempDir>();
    WriteDrawsFile(dir_->File(DrawsFileName),
                   {test::MakeDraw(1, {3, 14, 22, 7, 40, 41}, 2, "01 марта 2021"),
                    test::MakeDraw(2, {5, 10, 15, 20, 25, 30}, 0, "04 марта 2021")});
    test::StartMainWindow(dir_->Path(), window_, prompts_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void HelpGuiTest::cleanup() {
    window_.reset();
    prompts_.reset();
    dir_.reset();
}

void HelpGuiTest::ResourcesHoldEveryPageOfTheHelpFolder() {
    // The build compiles in whatever the folder holds, pages added later too.
    const QStringList files = QDir(QStringLiteral(TESSARA_HELP_DIR)).entryList(QDir::Files);
    QVERIFY(files.contains(QStringLiteral("index.htm")));
    QVERIFY(files.contains(QStringLiteral("Filters_1049_NUMS.htm")));
    for (const QString& f : files) {
        QFile resource(TFormHelp::Root() + f), original(QStringLiteral(TESSARA_HELP_DIR "/") + f);
        QVERIFY2(resource.open(QIODevice::ReadOnly), qPrintable(f));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(resource.readAll(), original.readAll());
    }
    QCOMPARE(QDir(TFormHelp::Root()).entryList(QDir::Files), files);
    QVERIFY(TFormHelp::Present());
    QVERIFY(window_->Commands().Action("GetHelp")->isEnabled());
}

void HelpGuiTest::GetHelpOpensThePageOfTheActiveTab() {
    const struct {
        const char* tabs;
        const char* caption;
        const char* page;
    } cases[] = {
        {"pcRight", "Статистика", "statistics.htm"}, {"pcRight", "Ставки", "stakes.htm"},
        {"pcRight", "Графики", "views.htm"},         {"pcRight", "Неделя", "views.htm"},
        {"pcRight", "Сценарий", "scenario.htm"},     {"pcLeft", "Комбинации", "combinations.htm"},
        {"pcLeft", "Архив тиражей", "archive.htm"},
    };
    QAction* f1 = window_->Commands().Action("GetHelp");
    QCOMPARE(f1->shortcut(), QKeySequence(Qt::Key_F1));
    for (const auto& c : cases) {
        const QString caption = QString::fromUtf8(c.caption);
        ShowTab(c.tabs, caption);
        // The side that holds the focus decides.
        QTabWidget* tabs = Tabs(c.tabs);
        tabs->currentWidget()->setFocus();
        QTRY_VERIFY(tabs->isAncestorOf(QApplication::focusWidget()) ||
                    QApplication::focusWidget() == tabs->currentWidget());
        QVERIFY(window_->Commands().Execute("GetHelp"));
        QVERIFY(Help());
        QVERIFY(Help()->isVisible());
        QCOMPARE(Help()->Page(), QString::fromLatin1(c.page));
        QCOMPARE(HelpCommands::PageOfTab(caption), QString::fromLatin1(c.page));
        window_->activateWindow();
    }
    QCOMPARE(window_->findChildren<TFormHelp*>().size(), 1);
}

void HelpGuiTest::ChapterCommandsAndNavigation() {
    const QStringList names = HelpCommands::MenuNames();
    QCOMPARE(names.size(), 8);
    const struct {
        const char* name;
        const char* caption;
        const char* page;
    } chapters[] = {
        {"HelpManual", "Руководство пользователя", "index.htm"},
        {"HelpArchive", "Архив тиражей и загрузка", "archive.htm"},
        {"HelpStatistics", "Статистики и фильтры", "statistics.htm"},
        {"HelpScenarios", "Сценарии", "scenario.htm"},
        {"HelpStakes", "Ставки и рейтинг", "stakes.htm"},
        {"HelpSystems", "Системы и проверка гарантий", "systems.htm"},
        {"HelpOnline", "Online-сервисы", "online.htm"},
        {"HelpCommandLine", "Командная строка", "cli.htm"},
    };
    for (int i = 0; i < names.size(); ++i) {
        const auto& c = chapters[i];
        QCOMPARE(names[i], QString::fromLatin1(c.name));
        const CommandRow* row = window_->Commands().Row(names[i]);
        QVERIFY(row);
        QCOMPARE(row->Caption, QString::fromUtf8(c.caption));
        QCOMPARE(row->Category, QStringLiteral("Справка"));
        QVERIFY(window_->Commands().Execute(names[i]));
        QCOMPARE(Help()->Page(), QString::fromLatin1(c.page));
    }

    // Contents, a link to a statistic page, back and forward.
    TFormHelp* help = Help();
    auto* browser = help->findChild<QTextBrowser*>("wbHelp");
    help->findChild<QToolButton*>("btnContents")->click();
    QCOMPARE(help->Page(), QStringLiteral("index.htm"));
    QVERIFY(browser->toHtml().contains(QStringLiteral("Filters_1049_NUMS.htm")));
    browser->setSource(QUrl(QStringLiteral("Filters_1049_SUMS.htm")));
    QCOMPARE(help->Page(), QStringLiteral("Filters_1049_SUMS.htm"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("SUMS")));
    // With TESSARA_SCREENSHOTS=DIR, a picture of a page for a person to look at.
    if (const QByteArray dir = qgetenv("TESSARA_SCREENSHOTS"); !dir.isEmpty()) {
        help->resize(760, 900);
        help->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/help_page.png"));
    }
    auto* back = help->findChild<QToolButton*>("btnBack");
    auto* forward = help->findChild<QToolButton*>("btnForward");
    QVERIFY(back->isEnabled());
    back->click();
    QCOMPARE(help->Page(), QStringLiteral("index.htm"));
    QVERIFY(forward->isEnabled());
    forward->click();
    QCOMPARE(help->Page(), QStringLiteral("Filters_1049_SUMS.htm"));
    // A page the help does not have says so instead of showing nothing.
    help->OpenPage(QStringLiteral("no-such-page.htm"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Страница не найдена")));
}

QTEST_MAIN(HelpGuiTest)
#include "help_gui_test.moc"
