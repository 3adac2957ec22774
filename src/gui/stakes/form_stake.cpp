#include "stakes/form_stake.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <limits>

#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "model/game.h"
#include "stakes/stake_create.h"

namespace {

void SetHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

// A spin box whose text is not a number of its range (a typed "0" leaves
// value() at the last good number) is refused with what was typed.
bool SpinBoxAccepted(QSpinBox* box, const char* message, tessara::Host& host) {
    if (box->hasAcceptableInput()) return true;
    const QString typed = box->cleanText().trimmed();
    host.ShowError(std::string(message) + "\r\r" + "нужно число от " + std::to_string(box->minimum()) +
                   " до " + std::to_string(box->maximum()) + ", введено \"" + typed.toStdString() + "\"");
    box->setFocus();
    box->selectAll();
    return false;
}

}  // namespace

TFormStake::TFormStake(tessara::Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormStake"));
    setWindowTitle(QStringLiteral("Добавление ставки"));

    edDrawNumber_ = new QSpinBox(this);
    edDrawNumber_->setObjectName(QStringLiteral("edDrawNumber"));
    edDrawNumber_->setRange(1, std::numeric_limits<int>::max());
    SetHint(edDrawNumber_, QStringLiteral("Номер первого тиража"));

    edStakeData_ = new QLineEdit(this);
    edStakeData_->setObjectName(QStringLiteral("edStakeData"));
    SetHint(edStakeData_, QStringLiteral("Введите числа, разделенные точкой с запятой или запятой"));
    connect(edStakeData_, &QLineEdit::textChanged, this, &TFormStake::UpdateSum);

    edComment_ = new QLineEdit(this);
    edComment_->setObjectName(QStringLiteral("edComment"));
    edComment_->setMaxLength(tessara::MaxStakeCommentLength);

    edDrawsCount_ = new QSpinBox(this);
    edDrawsCount_->setObjectName(QStringLiteral("edDrawsCount"));
    edDrawsCount_->setRange(1, tessara::MaxStakeDraws);
    SetHint(edDrawsCount_, QStringLiteral("Количество тиражей, на которые нужно сделать ставку "
                                          "(начиная с указанного)"));

    edStakeSum_ = new QLineEdit(this);
    edStakeSum_->setObjectName(QStringLiteral("edStakeSum"));
    edStakeSum_->setReadOnly(true);
    edStakeSum_->setFocusPolicy(Qt::NoFocus);
    SetHint(edStakeSum_, QStringLiteral("Сумма введенных чисел"));

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Номер тиража:"), edDrawNumber_);
    fields->addRow(QStringLiteral("Ставка:"), edStakeData_);
    fields->addRow(QStringLiteral("Комментарий к ставке:"), edComment_);
    fields->addRow(QStringLiteral("Кол-во тиражей:"), edDrawsCount_);
    fields->addRow(QStringLiteral("Сумма:"), edStakeSum_);

    auto* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);
    // Room for ten two-digit numbers and a long comment.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 60);
    UpdateSum();
}

void TFormStake::SetStake(const tessara::TStakeRecord& record) {
    stake_ = record;
    edDrawNumber_->setValue(record.Draw);
    edStakeData_->setText(QString::fromStdString(tessara::FormatStakeNumbers(record.Numbers, ";")));
    edComment_->setText(QString::fromStdString(tessara::StakeComment(record)));
    edDrawsCount_->setValue(1);
}

int TFormStake::DrawsCount() const { return edDrawsCount_->value(); }

void TFormStake::UpdateSum() {
    edStakeSum_->setText(
        QString::number(tessara::StakeNumbersSum(edStakeData_->text().toStdString())));
}

void TFormStake::accept() {
    tessara::TStakeNumbers numbers{};
    std::string message;
    const std::string comment = edComment_->text().toStdString();
    switch (tessara::CheckStakeDialog(edStakeData_->text().toStdString(), comment, numbers,
                                      message)) {
        case tessara::TStakeDialogCheck::Numbers:
            ws_.GetHost().ShowError(message);
            edStakeData_->setFocus();
            return;
        case tessara::TStakeDialogCheck::Comment:
            ws_.GetHost().ShowError(message);
            edComment_->setFocus();
            return;
        case tessara::TStakeDialogCheck::Ok:
            break;
    }
    if (!SpinBoxAccepted(edDrawNumber_, "Некорректный номер тиража!", ws_.GetHost()) ||
        !SpinBoxAccepted(edDrawsCount_, "Некорректное количество тиражей!", ws_.GetHost()))
        return;
    stake_ = tessara::ApplyStakeDialog(stake_, edDrawNumber_->value(), comment, numbers,
                                       ws_.Config());
    QDialog::accept();
}

bool TFormStake::Edit(QWidget* parent, tessara::Workspace& ws, tessara::TStakeRecord& record,
                      int& drawCount) {
    TFormStake form(ws, parent);
    form.SetStake(record);
    if (form.exec() != QDialog::Accepted) return false;
    record = form.Stake();
    drawCount = form.DrawsCount();
    return true;
}
