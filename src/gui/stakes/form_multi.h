#pragma once

#include <QDialog>
#include <string>

class QLineEdit;
class QSpinBox;

namespace tessara {
class Host;
}

// The multi-stake dialog: the draw, the comment and the number of draws that
// every stake of a list of combinations gets.
class TFormMulti : public QDialog {
    Q_OBJECT
  public:
    explicit TFormMulti(tessara::Host& host, QWidget* parent = nullptr);

    void SetValues(int draw, const std::string& comment, int drawCount);
    int Draw() const;
    std::string Comment() const;
    int DrawsCount() const;

    void accept() override;

    // Runs the dialog; on OK the arguments hold what was entered.
    static bool Edit(QWidget* parent, tessara::Host& host, int& draw, std::string& comment,
                     int& drawCount);

  private:
    tessara::Host& host_;
    QSpinBox* edDrawNumber_;
    QLineEdit* edComment_;
    QSpinBox* edDrawsCount_;
};
