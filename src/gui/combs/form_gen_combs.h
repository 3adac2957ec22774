#pragma once

#include <QDialog>

#include "base/config.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QToolButton;

// The dialog that asks how to build a new combination list. It only collects
// the parameters; the command runs the generation after OK.
class TFormGenCombs : public QDialog {
    Q_OBJECT
  public:
    explicit TFormGenCombs(const tessara::TCombsGenerateParams& defaults,
                           QWidget* parent = nullptr);

    tessara::TCombsGenerateParams Params() const;
    // The user asked to keep these parameters as the defaults.
    bool SaveAsDefaults() const;

  private:
    void ModeChanged(int mode);
    void ChooseFile();

    QComboBox* cbCombsGenerateMode_;
    QLineEdit* edCombsGenerateParam_;
    QToolButton* btnCombsGenerateFile_;
    QCheckBox* cbSaveParameters_;
};

// The file dialog of combination list files; an empty string when cancelled.
QString ChooseCombsFile(QWidget* parent, bool save, const QString& start = {});
