#include "scenario/form_test_count.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "main/dialog_buttons.h"

TFormTestCnt::TFormTestCnt(int maximum, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormTestCnt"));
    setWindowTitle(QStringLiteral("Количество тестов"));
    edTestCount_ = new QSpinBox(this);
    edTestCount_->setObjectName(QStringLiteral("edTestCount"));
    edTestCount_->setToolTip(QStringLiteral(
        "Укажите количество последних тиражей, на которых будет производится тестирование"));
    edTestCount_->setRange(1, std::max(1, maximum));
    edTestCount_->setValue(std::min(10, std::max(1, maximum)));
    auto* label = new QLabel(QStringLiteral("Укажите количество тестов:"), this);
    label->setBuddy(edTestCount_);

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(edTestCount_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttons);
}

int TFormTestCnt::Count() const { return edTestCount_->value(); }

int TFormTestCnt::AskTestCount(QWidget* parent, int maximum) {
    if (maximum < 1) return 0;
    TFormTestCnt form(maximum, parent);
    return form.exec() == QDialog::Accepted ? form.Count() : 0;
}
