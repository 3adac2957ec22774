#include "main/user_locale.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "model/format.h"

void ApplyUserLocale(const QLocale& user) {
    // The user's decimal point is read before the interface's locale
    // replaces the default.
    tessara::SetDecimalSeparatorFromLocale(user.decimalPoint().toStdString());
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

QLocale NumberLocale() {
    if (tessara::DecimalSeparator() == '.') return QLocale::c();
    return QLocale(QLocale::Russian, QLocale::Russia);
}

bool InstallQtTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Russian), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
