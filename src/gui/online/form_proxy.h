#pragma once

#include <QDialog>

#include "base/config.h"

class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace tessara {
class Workspace;
}

// The proxy dialog: no proxy, automatic search or a proxy typed in.
class TFormProxy : public QDialog {
    Q_OBJECT
  public:
    explicit TFormProxy(const tessara::TProxy& proxy, QWidget* parent = nullptr);

    // The record as OK makes it (see ProxyDialogResult).
    tessara::TProxy Result() const;

    // Runs the dialog; on OK the record is taken over and saved.
    static bool Edit(QWidget* parent, tessara::Workspace& ws);

  private:
    void UpdateFields();

    tessara::TProxy proxy_;
    QRadioButton* rbNone_;
    QRadioButton* rbAuto_;
    QRadioButton* rbManual_;
    QLineEdit* edServer_;
    QSpinBox* edPort_;
    QLineEdit* edUsername_;
    QLineEdit* edPassword_;
};
