#pragma once

#include <QDialog>

#include "base/config.h"

class QLineEdit;
class QSpinBox;

namespace tessara {
class Workspace;
}  // namespace tessara

// The three shredding formulas and their decimal places. The formulas are
// taken as typed: a formula that does not evaluate gives the value 0.
class TFormShredding : public QDialog {
    Q_OBJECT
  public:
    explicit TFormShredding(const tessara::TShreddingConfig& shredding, QWidget* parent = nullptr);

    tessara::TShreddingConfig Result() const;

    // Runs the dialog on the live formulas and applies them on OK.
    static bool Edit(QWidget* parent, tessara::Workspace& ws);

  private:
    tessara::TShreddingConfig shredding_;
    QLineEdit* edFormula_[3];
    QSpinBox* edDigits_[3];
};
