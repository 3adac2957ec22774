#pragma once

#include <QLocale>

// The interface speaks Russian (dates, month names, calendars) whatever the
// system says, while numbers with decimals follow the user's own locale:
// the core's decimal separator is taken from its decimal point.
void ApplyUserLocale(const QLocale& user);

// A locale for the number fields of the dialogs whose decimal point is the
// core's separator, so that a field shows what the tables show.
QLocale NumberLocale();

// Qt's own dialogs, buttons and context menus in Russian, like the rest of
// the window. False when Qt's translations are not installed.
bool InstallQtTranslations();
