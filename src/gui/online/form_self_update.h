#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPlainTextEdit;

// "Найдена новая версия программы": the running and the offered version and
// the notes of the new one; "Установить" accepts.
class TFormSelfUpdate : public QDialog {
    Q_OBJECT
  public:
    TFormSelfUpdate(const std::string& current, const std::string& offered,
                    const std::string& notes, QWidget* parent = nullptr);
};
