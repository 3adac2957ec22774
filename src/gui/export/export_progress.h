#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

// The window over a long export: rows written so far and the button "Стоп",
// which breaks the export off (the file is then not written).
class ExportProgress : public QDialog {
    Q_OBJECT
  public:
    explicit ExportProgress(QWidget* parent);

    // Shows the rows written; at most twenty times a second it repaints and
    // lets the button be pressed.
    void SetProgress(int64_t written, int64_t total);
    bool Stopped() const { return stopped_; }
    QPushButton* StopButton() const { return btStop_; }
    // Escape and the title bar's close stop the export as the button does.
    void reject() override;

  private:
    QLabel* lbText_;
    QProgressBar* pbExport_;
    QPushButton* btStop_;
    QElapsedTimer shown_;
    bool stopped_ = false;
};
