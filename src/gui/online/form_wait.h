#pragma once

#include <QFrame>

#include "online/online_client.h"

class QLabel;

// The wait window of the download: a small window without buttons that
// shows what is going on, brought to the front and repainted at each change.
class TFormWait : public QFrame, public tessara::TWaitWindow {
    Q_OBJECT
  public:
    explicit TFormWait(QWidget* parent = nullptr);

    void Open(const std::string& text) override;
    void SetText(const std::string& text) override;
    void Close() override;

    QString Text() const;

  private:
    void CentreOnParent();

    QLabel* label_;
};
