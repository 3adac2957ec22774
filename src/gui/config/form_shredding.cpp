#include "config/form_shredding.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "app/workspace.h"
#include "main/dialog_buttons.h"

TFormShredding::TFormShredding(const tessara::TShreddingConfig& shredding, QWidget* parent)
    : QDialog(parent), shredding_(shredding) {
    setObjectName(QStringLiteral("TFormShredding"));
    setWindowTitle(QStringLiteral("Методы шинковки"));
    auto* grid = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<size_t>(i);
        edFormula_[i] = new QLineEdit(QString::fromStdString(shredding.Formulas[k]), this);
        edFormula_[i]->setObjectName(QStringLiteral("edFormula%1").arg(i + 1));
        edFormula_[i]->setToolTip(QStringLiteral("Используемая формула"));
        edFormula_[i]->setMinimumWidth(320);
        edDigits_[i] = new QSpinBox(this);
        edDigits_[i]->setObjectName(QStringLiteral("edDigits%1").arg(i + 1));
        edDigits_[i]->setToolTip(QStringLiteral("Количество используемых знаков после запятой"));
        edDigits_[i]->setRange(1, 5);
        edDigits_[i]->setValue(std::clamp(shredding.Digits[k], 1, 5));
        auto* label = new QLabel(QStringLiteral("Формула %1:").arg(i + 1), this);
        label->setBuddy(edFormula_[i]);
        grid->addWidget(label, i, 0);
        grid->addWidget(edFormula_[i], i, 1);
        grid->addWidget(edDigits_[i], i, 2);
    }
    auto* note = new QLabel(QStringLiteral("Используемые переменные:\n"
                                           "n1, n2, n3, ..., nX - числа текущего тиража\n"
                                           "p1, p2, p3, ..., pX - числа предыдущего тиража"),
                            this);

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

tessara::TShreddingConfig TFormShredding::Result() const {
    tessara::TShreddingConfig r = shredding_;
    for (int i = 0; i < 3; ++i) {
        const auto k = static_cast<size_t>(i);
        r.Formulas[k] = edFormula_[i]->text().toStdString();
        // Places outside the box's range from a hand-edited file stay unless edited.
        if (edDigits_[i]->value() != std::clamp(shredding_.Digits[k], 1, 5))
            r.Digits[k] = edDigits_[i]->value();
    }
    return r;
}

bool TFormShredding::Edit(QWidget* parent, tessara::Workspace& ws) {
    TFormShredding form(ws.Shredding(), parent);
    if (form.exec() != QDialog::Accepted) return false;
    ws.ApplyShredding(form.Result());
    return true;
}
