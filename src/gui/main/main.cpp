#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "main/command_table.h"
#include "main/main_window.h"
#include "main/menu_layout.h"
#include "main/user_locale.h"

namespace {

bool HasSwitch(int argc, char* argv[], const char* name) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], name) == 0) return true;
    return false;
}

// The command table without opening a window: the window is built on an
// empty temporary folder, never shown, so no data folder is touched.
int ListCommands() {
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fputs("Не удалось создать временную папку\n", stderr);
        return 1;
    }
    MainWindow window({"--data-dir", dir.path().toStdString()});
    for (const QString& line : menu_layout::Listing(window.Commands()))
        std::printf("%s\n", line.toUtf8().constData());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    const bool listCommands = HasSwitch(argc, argv, "--list-commands");
    if (listCommands && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessara"));
    ApplyUserLocale(QLocale::system());
    InstallQtTranslations();
    if (listCommands) return ListCommands();

    std::vector<std::string> params;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) params.push_back(args[i].toStdString());

    MainWindow window(params);
    if (!window.Created()) return 0;
    window.show();
    return app.exec();
}
