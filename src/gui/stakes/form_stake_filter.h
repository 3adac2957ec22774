#pragma once

#include <QDialog>

class QComboBox;
class QSpinBox;

// The dialog of the deletion by condition: how the number of matches of a
// stake compares with a value 0..6.
class TFormStakeFilter : public QDialog {
    Q_OBJECT
  public:
    explicit TFormStakeFilter(QWidget* parent = nullptr);

    int Mode() const;
    int Value() const;

    // Runs the dialog, both fields at their first values; on OK the
    // arguments hold the choice.
    static bool Edit(QWidget* parent, int& mode, int& value);

  private:
    QComboBox* cbCondition_;
    QSpinBox* seValue_;
};
