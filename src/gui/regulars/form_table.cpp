#include "regulars/form_table.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/host.h"
#include "main/dialog_buttons.h"
#include "stakes/stake_create.h"

namespace {

void SetHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

}  // namespace

TFormTable::TFormTable(tessara::Host& host, std::vector<std::string> comments,
                       const tessara::TCombination* single, QWidget* parent)
    : QDialog(parent), host_(host), comments_(std::move(comments)), single_(single != nullptr) {
    setObjectName(QStringLiteral("FormTable"));
    setWindowTitle(QStringLiteral("Добавление регулярной ставки"));
    rule_ = tessara::MakeRegular(tessara::RegularDefaultComment, false,
                                 single ? *single : tessara::TCombination{}, 1);

    edComment_ = new QLineEdit(QString::fromUtf8(tessara::RegularDefaultComment), this);
    edComment_->setObjectName(QStringLiteral("edComment"));
    edComment_->setMaxLength(tessara::MaxStakeCommentLength);
    auto* commentLabel = new QLabel(QStringLiteral("Комментарий к ставке:"), this);
    commentLabel->setBuddy(edComment_);

    rbUseMyComb_ =
        new QRadioButton(QStringLiteral("Использовать постоянную стартовую комбинацию:"), this);
    rbUseMyComb_->setObjectName(QStringLiteral("rbUseMyComb"));
    rbUseMyComb_->setChecked(true);
    rbUseLastDraw_ = new QRadioButton(QStringLiteral("Использовать данные предыдущего тиража"), this);
    rbUseLastDraw_->setObjectName(QStringLiteral("rbUseLastDraw"));
    connect(rbUseMyComb_, &QRadioButton::toggled, this, &TFormTable::UpdateField);

    edCombStart_ = new QLineEdit(this);
    edCombStart_->setObjectName(QStringLiteral("edCombStart"));
    SetHint(edCombStart_, QStringLiteral("Введите числа, разделенные точкой с запятой или запятой"));
    edCombStart_->setText(single ? QString::fromStdString(tessara::RegularCombText(*single))
                                 : QString::fromUtf8(SelectionText));

    edStep_ = new QSpinBox(this);
    edStep_->setObjectName(QStringLiteral("edStep"));
    edStep_->setRange(-tessara::MaxRegularStep, tessara::MaxRegularStep);
    edStep_->setValue(1);
    SetHint(edStep_, QStringLiteral("Шаг изменения элементов комбинации"));
    auto* stepLabel = new QLabel(QStringLiteral("Шаг:"), this);
    stepLabel->setBuddy(edStep_);

    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(stepLabel);
    stepRow->addWidget(edStep_);
    stepRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(commentLabel);
    layout->addWidget(edComment_);
    layout->addSpacing(6);
    layout->addWidget(rbUseMyComb_);
    layout->addWidget(edCombStart_);
    layout->addWidget(rbUseLastDraw_);
    layout->addSpacing(6);
    layout->addLayout(stepRow);
    layout->addWidget(OkCancelButtons(this));
    UpdateField();
    resize(420, sizeHint().height());
}

void TFormTable::UpdateField() { edCombStart_->setEnabled(single_ && rbUseMyComb_->isChecked()); }

void TFormTable::accept() {
    const bool editable = edCombStart_->isEnabled();
    const std::string comment = edComment_->text().toStdString();
    tessara::TCombination start = tessara::RegularStart(rule_);
    std::string message;
    switch (tessara::CheckRegularDialog(editable, edCombStart_->text().toStdString(), comment,
                                        comments_, start, message)) {
        case tessara::TRegularDialogCheck::Combination:
            host_.ShowError(message);
            edCombStart_->setFocus();
            return;
        case tessara::TRegularDialogCheck::Comment:
        case tessara::TRegularDialogCheck::Duplicate:
            host_.ShowError(message);
            edComment_->setFocus();
            return;
        case tessara::TRegularDialogCheck::Ok:
            break;
    }
    rule_ = tessara::MakeRegular(comment, rbUseLastDraw_->isChecked(), start, edStep_->value());
    QDialog::accept();
}
