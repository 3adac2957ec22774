#include "stakes/form_stake_filter.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "main/dialog_buttons.h"
#include "model/game.h"
#include "stakes/stakes_file.h"

TFormStakeFilter::TFormStakeFilter(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormStakeFilter"));
    setWindowTitle(QStringLiteral("Удаление по условию"));

    cbCondition_ = new QComboBox(this);
    cbCondition_->setObjectName(QStringLiteral("cbCondition"));
    for (int mode = 0; mode < tessara::StakeConditionCount; ++mode)
        cbCondition_->addItem(QString::fromUtf8(tessara::StakeConditionCaption(mode)));
    cbCondition_->setCurrentIndex(0);

    seValue_ = new QSpinBox(this);
    seValue_->setObjectName(QStringLiteral("seValue"));
    seValue_->setRange(0, tessara::BallsInDraw);
    seValue_->setValue(0);

    // Reads as a sentence: "Совпадений: Более [ > ] 2".
    auto* condition = new QHBoxLayout;
    condition->addWidget(cbCondition_, 1);
    condition->addWidget(seValue_);
    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Совпадений:"), condition);

    auto* buttons = OkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

int TFormStakeFilter::Mode() const { return cbCondition_->currentIndex(); }

int TFormStakeFilter::Value() const { return seValue_->value(); }

bool TFormStakeFilter::Edit(QWidget* parent, int& mode, int& value) {
    TFormStakeFilter form(parent);
    if (form.exec() != QDialog::Accepted) return false;
    mode = form.Mode();
    value = form.Value();
    return true;
}
