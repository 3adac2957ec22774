#include "draws/form_draw.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <limits>

#include "base/host.h"
#include "main/dialog_buttons.h"
#include "model/dates.h"
#include "model/draw_archive.h"
#include "model/error.h"

namespace {

// TDateTime counts days from 30 December 1899.
const QDate kDateBase(1899, 12, 30);

QDate ToQDate(tessara::TDateTime dt) { return kDateBase.addDays(static_cast<qint64>(dt)); }

tessara::TDateTime FromQDateTime(QDate date, QTime time) {
    return tessara::EncodeDate(date.year(), date.month(), date.day()) +
           time.msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

TFormDraw::TFormDraw(tessara::Host& host, QWidget* parent) : QDialog(parent), host_(host) {
    setObjectName(QStringLiteral("FormDraw"));
    setWindowTitle(QStringLiteral("Данные тиража"));

    edDrawNumber_ = new QSpinBox(this);
    edDrawNumber_->setObjectName(QStringLiteral("edDrawNumber"));
    edDrawNumber_->setRange(1, std::numeric_limits<int>::max());

    edDrawData_ = new QLineEdit(this);
    edDrawData_->setObjectName(QStringLiteral("edDrawData"));

    edDrawDate_ = new QDateEdit(this);
    edDrawDate_->setObjectName(QStringLiteral("edDrawDate"));
    edDrawDate_->setCalendarPopup(true);
    edDrawDate_->setDisplayFormat(locale().dateFormat(QLocale::LongFormat));
    edDrawTime_ = new QTimeEdit(this);
    edDrawTime_->setObjectName(QStringLiteral("edDrawTime"));
    edDrawTime_->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    auto* numberLabel = new QLabel(QStringLiteral("Номер тиража:"), this);
    numberLabel->setBuddy(edDrawNumber_);
    auto* dataLabel = new QLabel(
        QStringLiteral("Выпавшие числа, разделенные точкой с запятой или запятой:"), this);
    dataLabel->setBuddy(edDrawData_);
    dateLabel_ = new QLabel(QStringLiteral("Дата и время тиража:"), this);
    dateLabel_->setBuddy(edDrawDate_);

    auto* buttons = OkCancelButtons(this);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(edDrawDate_, 1);
    dateRow->addWidget(edDrawTime_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(numberLabel);
    layout->addWidget(edDrawNumber_);
    layout->addWidget(dataLabel);
    layout->addWidget(edDrawData_);
    layout->addWidget(dateLabel_);
    layout->addLayout(dateRow);
    layout->addStretch(1);
    layout->addWidget(buttons);
}

void TFormDraw::SetShowDates(bool show) {
    showDates_ = show;
    dateLabel_->setVisible(show);
    edDrawDate_->setVisible(show);
    edDrawTime_->setVisible(show);
    if (!show) resize(width(), 200);
}

void TFormDraw::SetDraw(const tessara::TDrawRecord& draw) {
    draw_ = draw;
    edDrawNumber_->setValue(draw.DrawNo);
    edDrawData_->setText(QString::fromStdString(tessara::DrawDataText(draw)));
    if (!showDates_) return;
    const std::string dateText = tessara::DrawDateText(draw);
    QDateTime shown = QDateTime::currentDateTime();
    if (!dateText.empty()) {
        // Only the date is stored; a text that cannot be read shows today.
        QDate date = shown.date();
        try {
            date = ToQDate(tessara::TextToDrawDate(dateText));
        } catch (const tessara::Error&) {
        }
        shown = QDateTime(date, QTime(0, 0));
    }
    edDrawDate_->setDate(shown.date());
    edDrawTime_->setTime(shown.time());
}

void TFormDraw::accept() {
    tessara::TDrawRecord draw = draw_;
    const std::string text = edDrawData_->text().toStdString();
    if (!tessara::CheckDrawData(text, draw)) {
        host_.ShowError(std::string(tessara::MsgIncorrectCombination) + "\r\r" +
                        tessara::DrawDataFault(text));
        edDrawData_->setFocus();
        return;
    }
    draw.DrawNo = edDrawNumber_->value();
    if (showDates_)
        tessara::SetDrawDateText(
            draw, tessara::DrawDateToText(FromQDateTime(edDrawDate_->date(), edDrawTime_->time())));
    else
        tessara::SetDrawDateText(draw, std::string());
    draw_ = draw;
    QDialog::accept();
}
