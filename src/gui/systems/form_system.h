#pragma once

#include <QDialog>
#include <QTimer>
#include <atomic>
#include <memory>
#include <thread>

#include "online/systems_catalogue.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace tessara {
class Host;
struct TWheelCheck;
}

// The system dialog: the fields of a catalogue system, its combination list
// and the wheel check of that list, kept up to date while it is edited.
class TFormSystem : public QDialog {
    Q_OBJECT
  public:
    TFormSystem(tessara::Host& host, const tessara::tSystemData& data, bool readOnly,
                QWidget* parent = nullptr);
    ~TFormSystem() override;

    tessara::tSystemData Result() const;
    void accept() override;
    // The combination editor tidied as on leaving it.
    void Normalise();
    bool CombsTidy() const;
    QTableWidget* WheelTable() const { return sgWheel_; }

    // Runs the dialog; on OK data holds the fields.
    static bool Edit(QWidget* parent, tessara::Host& host, tessara::tSystemData& data, bool readOnly);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowCombsMenu(const QPoint& pos);
    void LoadCombs();
    void SaveCombs();
    void RefreshWheel();
    void StopWheel();
    void ShowWheel(const tessara::TWheelCheck* check);

    tessara::Host& host_;
    tessara::tSystemData data_;
    bool readOnly_;
    QLineEdit* edTitle_;
    QPlainTextEdit* edDescr_;
    QLineEdit* edAuthor_;
    QLineEdit* edURL_;
    QPushButton* btnURL_;
    QPlainTextEdit* edCombs_;
    QLineEdit* edNums_;
    QLineEdit* edCLen_;
    QLineEdit* edOlap_;
    QLabel* lbCreated_;
    QLabel* lbCSize_;
    QLabel* lbDownloads_;
    QLabel* lbLast_;
    QTableWidget* sgWheel_;
    QLabel* lbPositions_;
    QTimer wheelTimer_;
    // The check of the latest text runs on its own thread.
    std::thread wheelThread_;
    std::shared_ptr<std::atomic<bool>> wheelStop_;
    int wheelGeneration_ = 0;
};
