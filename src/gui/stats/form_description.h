#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace tessara {
class TStatList;
}

// The description of a statistic method: its page of the help file.
class TFormDescription : public QDialog {
    Q_OBJECT
  public:
    // topic: the address of the page; empty leaves the window blank.
    explicit TFormDescription(const QString& topic, QWidget* parent = nullptr);

    const QString& Topic() const { return topic_; }

    // Shows the description of method i of the registry, modal.
    static void Show(QWidget* parent, const tessara::TStatList& stats, int i);

  private:
    QString topic_;
    QTextBrowser* wbHelp_;
};
