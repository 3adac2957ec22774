#include "main/user_locale.h"

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
