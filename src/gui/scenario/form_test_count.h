#pragma once

#include <QDialog>

class QSpinBox;

// Asks how many of the latest draws a scenario test replays.
class TFormTestCnt : public QDialog {
    Q_OBJECT
  public:
    TFormTestCnt(int maximum, QWidget* parent = nullptr);
    int Count() const;

    // The count on OK, 0 on cancel or when the archive allows no test.
    static int AskTestCount(QWidget* parent, int maximum);

  private:
    QSpinBox* edTestCount_;
};
