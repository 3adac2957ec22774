#pragma once

#include <QDialog>
#include <vector>

#include "online/script_library.h"

// "Оценки пользователей": the ratings of one catalogue entry.
class TFormScriptRates : public QDialog {
    Q_OBJECT
  public:
    TFormScriptRates(const std::vector<tessara::TScriptRate>& rates, QWidget* parent = nullptr);
};
