#pragma once

#include <QDialog>

#include "online/progress_window.h"

class QLabel;
class QProgressBar;
class QPushButton;

// The small window with a text and a step gauge shown while updates are
// searched and installed. Its cancel button stays hidden: the work it shows
// cannot be broken off halfway.
class TFormProgress : public QDialog, public tessara::TProgressWindow {
    Q_OBJECT
  public:
    explicit TFormProgress(QWidget* parent = nullptr);

  protected:
    void Shown(const std::string& text, int steps) override;
    void Moved(int position) override;
    void Hidden() override;

  private:
    QLabel* lbText_;
    QProgressBar* pbSteps_;
    QPushButton* btCancel_;
};
