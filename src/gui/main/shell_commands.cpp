#include "main/shell_commands.h"

#include <QDesktopServices>
#include <QKeySequence>
#include <QUrl>

#include "app/workspace.h"
#include "main/command_table.h"
#include "main/form_about.h"
#include "online/online_client.h"

namespace {

// The lottery operator's page: the site the archive comes from.
QString LotoSite(const tessara::Workspace& ws) {
    return QString::fromStdString(ws.Online().Settings().DrawsSite).trimmed();
}

}  // namespace

ShellCommands::ShellCommands(tessara::Workspace& ws, CommandTable& commands, QWidget* window)
    : QObject(window), ws_(ws), commands_(commands), window_(window) {
    Register();
}

void ShellCommands::Register() {
    // Russian is the one interface language there is; the entry shows it.
    commands_.Add({.Name = QStringLiteral("Language_ru"),
                   .Caption = QStringLiteral("Русский"),
                   .Category = QStringLiteral("Файл"),
                   .Handler = [] {},
                   .Checked = [] { return true; },
                   .Hint = QStringLiteral("Язык интерфейса программы")});
    commands_.Add({.Name = QStringLiteral("About"),
                   .Caption = QStringLiteral("О программе"),
                   .Category = QStringLiteral("Справка"),
                   .Handler = [this] { TFormAbout::Show(window_); },
                   .Hint = QStringLiteral("Версия программы и ее составных частей")});
    commands_.Add({.Name = QStringLiteral("OpenLotoSite"),
                   .Caption = QStringLiteral("Сайт лотереи"),
                   .Category = QStringLiteral("Справка"),
                   .Handler = [this] { OpenLotoSite(); },
                   .Enabled = [this] { return !LotoSite(ws_).isEmpty(); },
                   .Hint = QStringLiteral("Открыть сайт лотереи в браузере")});
}

void ShellCommands::OpenLotoSite() {
    const QUrl url = QUrl::fromUserInput(LotoSite(ws_));
    if (!url.isValid() || !QDesktopServices::openUrl(url))
        ws_.GetHost().ShowError("Не удалось открыть сайт лотереи в браузере:\r\r" +
                                LotoSite(ws_).toStdString());
}

void ShellCommands::AddSecondKeys(CommandTable& commands) {
    // Alt+F4 closes the window on every desktop and Ctrl+Alt+F4 switches to
    // the fourth console; Alt+F6 switches between a program's windows.
    commands.AddSecondKey(QStringLiteral("ExitProgram"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    commands.AddSecondKey(QStringLiteral("StakeAddSelected"), QKeySequence(Qt::SHIFT | Qt::Key_F4));
    commands.AddSecondKey(QStringLiteral("StakeAddAll"),
                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F4));
    commands.AddSecondKey(QStringLiteral("StakesGraphProfits"),
                          QKeySequence(Qt::SHIFT | Qt::Key_F6));
}
