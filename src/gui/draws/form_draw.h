#pragma once

#include <QDialog>

#include "model/records.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTimeEdit;

namespace tessara {
class Host;
}

// The draw dialog: number, the drawn numbers with the extra ball, and the
// date. OK is refused until the numbers pass the core's check.
class TFormDraw : public QDialog {
    Q_OBJECT
  public:
    explicit TFormDraw(tessara::Host& host, QWidget* parent = nullptr);

    // Set before SetDraw, so that the pickers are filled only when shown.
    void SetShowDates(bool show);
    void SetDraw(const tessara::TDrawRecord& draw);
    // The record the dialog holds; meaningful after OK.
    tessara::TDrawRecord Draw() const { return draw_; }

    void accept() override;

  private:
    tessara::Host& host_;
    bool showDates_ = true;
    tessara::TDrawRecord draw_{};
    QSpinBox* edDrawNumber_;
    QLineEdit* edDrawData_;
    QLabel* dateLabel_;
    QDateEdit* edDrawDate_;
    QTimeEdit* edDrawTime_;
};
