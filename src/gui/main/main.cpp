#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

#include "main/main_window.h"
#include "model/format.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tessara"));
    // Dates, month names and calendars in Russian whatever the system locale.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    // Numbers in the tables take the locale's decimal separator.
    const QString point = QLocale().decimalPoint();
    tessara::SetDecimalSeparator(point.size() == 1 && point[0].unicode() < 0x80 ? point[0].toLatin1()
                                                                               : ',');
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
