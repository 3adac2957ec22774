#pragma once

#include <QDialog>
#include <QString>

class QWidget;

// The about box: the program and its version, the libraries it is built on
// and the licence.
class TFormAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TFormAbout(QWidget* parent);

    static void Show(QWidget* parent);
    // The text of the box, as HTML.
    static QString Text();
};
