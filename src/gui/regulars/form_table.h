#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "stakes/regular_stake.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tessara {
class Host;
}

// The regular-stake dialog: comment, where the base comes from (the start
// combination or the previous draw), the start combination and the step.
// OK is refused until the core's checks pass; the focus then goes to the
// field at fault.
class TFormTable : public QDialog {
    Q_OBJECT
  public:
    // comments: those of the rules already in the list. single: the one
    // combination selected in the combination list, or null when there are
    // none or several (the field then stands for the selection and is closed).
    TFormTable(tessara::Host& host, std::vector<std::string> comments,
               const tessara::TCombination* single, QWidget* parent = nullptr);

    // Meaningful after OK: comment, base, start and step as entered.
    const tessara::TRegularStake& Rule() const { return rule_; }

    void accept() override;

    static constexpr const char* SelectionText = "{...Выделенные комбинации...}";

  private:
    void UpdateField();

    tessara::Host& host_;
    std::vector<std::string> comments_;
    bool single_;
    tessara::TRegularStake rule_{};
    QLineEdit* edComment_;
    QRadioButton* rbUseMyComb_;
    QRadioButton* rbUseLastDraw_;
    QLineEdit* edCombStart_;
    QSpinBox* edStep_;
};
