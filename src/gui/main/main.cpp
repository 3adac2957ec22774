#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

#include "main/main_window.h"
#include "main/user_locale.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessara"));
    ApplyUserLocale(QLocale::system());
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    std::vector<std::string> params;
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) params.push_back(args[i].toStdString());

    MainWindow window(params);
    if (!window.Created()) return 0;
    window.show();
    return app.exec();
}
