#include "stakes/form_multi.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "base/host.h"
#include "main/dialog_buttons.h"
#include "stakes/stake_create.h"

TFormMulti::TFormMulti(tessara::Host& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormMulti"));
    setWindowTitle(QStringLiteral("Добавление мультиставки"));

    edDrawNumber_ = new QSpinBox(this);
    edDrawNumber_->setObjectName(QStringLiteral("edDrawNumber"));
    edDrawNumber_->setRange(1, std::numeric_limits<int>::max());

    edComment_ = new QLineEdit(this);
    edComment_->setObjectName(QStringLiteral("edComment"));
    edComment_->setMaxLength(tessara::MaxStakeCommentLength);

    edDrawsCount_ = new QSpinBox(this);
    edDrawsCount_->setObjectName(QStringLiteral("edDrawsCount"));
    edDrawsCount_->setRange(1, tessara::MaxStakeDraws);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Номер тиража:"), edDrawNumber_);
    fields->addRow(QStringLiteral("Комментарий к ставке:"), edComment_);
    fields->addRow(QStringLiteral("Кол-во тиражей:"), edDrawsCount_);

    auto* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 50);
}

void TFormMulti::SetValues(int draw, const std::string& comment, int drawCount) {
    edDrawNumber_->setValue(draw);
    edComment_->setText(QString::fromStdString(comment));
    edDrawsCount_->setValue(drawCount);
}

int TFormMulti::Draw() const { return edDrawNumber_->value(); }

std::string TFormMulti::Comment() const { return edComment_->text().toStdString(); }

int TFormMulti::DrawsCount() const { return edDrawsCount_->value(); }

void TFormMulti::accept() {
    std::string message;
    if (!tessara::CheckMultiStakeDialog(Comment(), message)) {
        host_.ShowError(message);
        edComment_->setFocus();
        return;
    }
    QDialog::accept();
}

bool TFormMulti::Edit(QWidget* parent, tessara::Host& host, int& draw, std::string& comment,
                      int& drawCount) {
    TFormMulti form(host, parent);
    form.SetValues(draw, comment, drawCount);
    if (form.exec() != QDialog::Accepted) return false;
    draw = form.Draw();
    comment = form.Comment();
    drawCount = form.DrawsCount();
    return true;
}
