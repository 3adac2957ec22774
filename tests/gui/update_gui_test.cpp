#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>

#include "base/config.h"
#include "base/view_keys.h"
#include "gui_test_support.h"
#include "main/command_table.h"
#include "model/files.h"
#include "online/checksums.h"
#include "online/form_self_update.h"
#include "online/update_commands.h"
#include "test_support.h"

using tessara::test::Prompts;
using tessara::test::WriteBytes;

class UpdateGuiTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        dir_ = std::make_unique<tessara::test::TempDir>();
        install_ = dir_->File("install");
        std::filesystem::create_directories(install_);
        std::filesystem::create_directories(dir_->File("srv/UpdDescr"));
        WriteBytes(install_ + "/a.txt", "old a");
        WriteBytes(dir_->File("srv/pkg.sh"), "#!/bin/sh\nprintf 'new a' > a.txt\n");
        WriteBytes(dir_->File("srv/UpdDescr/UpdDescr_2.0.0.2.txt"), "Новая вкладка");
    }

    // The server cannot be reached: a start with AutoUpdates on says nothing.
    void silentStartWithServerDown() {
        WriteBytes(dir_->File(tessara::ConfigFileName),
                   "[ONLINE]\r\nUpdateUrl=http://127.0.0.1:1/files/autoupdates/Kovra_AU.cfg\r\n");
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<Prompts> prompts;
        tessara::test::StartMainWindow(dir_->Path(), window, prompts);
    }

    void helpMenuAndToggle() {
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<Prompts> prompts;
        tessara::test::StartMainWindow(dir_->Path(), window, prompts);
        QMenu* help = nullptr;
        for (QAction* a : window->menuBar()->actions())
            if (a->text() == QStringLiteral("Справка")) help = a->menu();
        QVERIFY(help);
        QStringList names;
        for (QAction* a : help->actions()) names << a->objectName();
        const qsizetype at = names.indexOf(QStringLiteral("AutoSelfUpdate"));
        QVERIFY(at >= 0);
        QCOMPARE(names.value(at + 1), QStringLiteral("CheckUpdate"));
        QAction* autoUpdate = window->Commands().Action(QStringLiteral("AutoSelfUpdate"));
        window->Commands().Update();
        QVERIFY(autoUpdate->isChecked());
        QVERIFY(window->Commands().Execute(QStringLiteral("AutoSelfUpdate")));
        QVERIFY(!autoUpdate->isChecked());
        QCOMPARE(window->Work().View().ReadBool(tessara::MainWindowSection, "AutoUpdates", true), false);
    }

    void offerInstallAndRefuseForgery() {
        std::unique_ptr<MainWindow> window;
        std::unique_ptr<Prompts> prompts;
        tessara::test::StartMainWindow(dir_->Path(), window, prompts);
        tessara::TOnlineConfig online = window->Work().Online().Settings();
        online.UpdateUrl = dir_->File("srv/Kovra_AU.cfg");
        QVERIFY(window->Work().Online().SetSettings(online));
        tessara::TSelfUpdateOptions options;
        options.InstallDir = install_;
        options.RunningVersion = "1.0.0.1";
        window->Updates().SetOptions(options);

        // A forged package: refused, the installation unchanged.
        Describe("00000000");
        tessara::test::OnNextModal<TFormSelfUpdate>([](TFormSelfUpdate* form) {
            form->findChild<QPushButton*>(QStringLiteral("btInstall"))->click();
        });
        QCOMPARE(window->Updates().Check(false), 2);
        QCOMPARE(prompts->Seen.size(), 1);
        QVERIFY2(prompts->Seen[0].startsWith(QStringLiteral("Ошибка|Ошибка установки обновления!")),
                 qPrintable(prompts->Seen[0]));
        QVERIFY(prompts->Seen[0].contains(QStringLiteral("Неверная контрольная сумма скачанного файла.")));
        QCOMPARE(QString::fromStdString(tessara::ReadFileBytes(install_ + "/a.txt")), QStringLiteral("old a"));

        // The real one: the dialog shows both versions and the notes.
        prompts->Seen.clear();
        Describe(tessara::FileCrc32Hex(dir_->File("srv/pkg.sh")));
        QStringList shown;
        tessara::test::OnNextModal<TFormSelfUpdate>([&shown](TFormSelfUpdate* form) {
            shown << form->windowTitle();
            for (const char* name : {"edCurrentVersion", "edNewVersion"})
                shown << form->findChild<QLabel*>(QString::fromLatin1(name))->text();
            shown << form->findChild<QPlainTextEdit*>(QStringLiteral("edDescription"))->toPlainText();
            if (const QByteArray dir = qgetenv("TESSARA_SCREENSHOTS"); !dir.isEmpty())
                form->grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/self_update.png"));
            form->findChild<QPushButton*>(QStringLiteral("btInstall"))->click();
        });
        QCOMPARE(window->Updates().Check(false), 1);
        QCOMPARE(shown, (QStringList{"Найдена новая версия программы", "1.0.0.1", "2.0.0.2", "Новая вкладка"}));
        QCOMPARE(prompts->Seen,
                 (QStringList{"Информация|Установка обновления \"Вкладки\" успешно выполнена.\n\nДля "
                              "завершения установки необходимо перезапустить программу!"}));
        QCOMPARE(QString::fromStdString(tessara::ReadFileBytes(install_ + "/a.txt")), QStringLiteral("new a"));
        QVERIFY(!window->Host().Busy());
    }

  private:
    void Describe(const std::string& crc) {
        WriteBytes(dir_->File("srv/Kovra_AU.cfg"),
                   "[tessara]\r\nVerId=2.0.0.2\r\nDescription=Вкладки\r\nDownloadUrl=" +
                       dir_->File("srv/pkg.sh") + "\r\nOriginalFileName=setup.sh\r\nChecksumCRC32=" +
                       crc + "\r\n");
    }
    std::unique_ptr<tessara::test::TempDir> dir_;
    std::string install_;
};

QTEST_MAIN(UpdateGuiTest)
#include "update_gui_test.moc"
