#pragma once

#include <QDialog>

#include "online/script_library.h"

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "Свойства сценария": the properties of a scenario to publish, or of an
// entry to look at (read-only, without OK).
class TFormScrPublic : public QDialog {
    Q_OBJECT
  public:
    TFormScrPublic(tessara::ScriptLibrary& library, const tessara::tScriptData& data, bool readOnly,
                   QWidget* parent = nullptr);

    // Runs the dialog; true on OK with data updated.
    static bool Edit(QWidget* parent, tessara::ScriptLibrary& library, tessara::tScriptData& data);
    static void View(QWidget* parent, tessara::ScriptLibrary& library,
                     const tessara::tScriptData& data);

    tessara::tScriptData Result() const;
    void accept() override;

  private:
    tessara::ScriptLibrary& library_;
    tessara::tScriptData data_;
    QLineEdit* edTitle_;
    QLineEdit* edClName_;
    QComboBox* cbClLcid_;
    QRadioButton* appOnly_;
    QRadioButton* appAny_;
    QRadioButton* viewAll_;
    QRadioButton* viewMine_;
    QPlainTextEdit* edDescr_;
};
