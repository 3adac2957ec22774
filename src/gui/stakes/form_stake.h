#pragma once

#include <QDialog>

#include "stakes/stake_record.h"

class QLineEdit;
class QSpinBox;

namespace tessara {
class Workspace;
}

// The stake dialog: draw, numbers, comment and the number of draws, with the
// sum of the numbers as they are typed. OK is refused until the numbers and
// the comment pass the core's checks.
class TFormStake : public QDialog {
    Q_OBJECT
  public:
    explicit TFormStake(tessara::Workspace& ws, QWidget* parent = nullptr);

    // Fills the fields from a prefilled record; the rest of it is kept.
    void SetStake(const tessara::TStakeRecord& record);
    // Meaningful after OK.
    const tessara::TStakeRecord& Stake() const { return stake_; }
    int DrawsCount() const;

    void accept() override;

    // Runs the dialog over a prefilled record; on OK the record holds what
    // was entered and drawCount the number of draws.
    static bool Edit(QWidget* parent, tessara::Workspace& ws, tessara::TStakeRecord& record,
                     int& drawCount);

  private:
    void UpdateSum();

    tessara::Workspace& ws_;
    tessara::TStakeRecord stake_{};
    QSpinBox* edDrawNumber_;
    QLineEdit* edStakeData_;
    QLineEdit* edComment_;
    QSpinBox* edDrawsCount_;
    QLineEdit* edStakeSum_;
};
