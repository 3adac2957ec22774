#include "scenario/form_filter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <climits>

#include "base/view_keys.h"
#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "main/user_locale.h"
#include "stats/value_table.h"

namespace {

constexpr int kWeightModeFirst = 19;  // the "Вес" level modes: 19, 20, 21
constexpr int kWeightModeLast = 21;
constexpr double kCoefLimit = 1e9;

const QString kListFormats = QStringLiteral(
    "\r\n\r\nДопустимые форматы:\r\n1 - одно значение\r\n1, 2, 3 - список значений через "
    "запятую\r\n1-10;2 - нижняя и верхняя граница диапазона; шаг изменения");

void SetHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

template <typename T>
T* Named(T* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QDoubleSpinBox* MakeCoef(const char* name, QWidget* parent) {
    auto* box = Named(new QDoubleSpinBox(parent), name);
    box->setLocale(NumberLocale());
    box->setDecimals(3);
    box->setRange(-kCoefLimit, kCoefLimit);
    return box;
}

bool IsListKey(const QString& text) {
    for (const QChar c : text)
        if (!(c.category() == QChar::Other_Control || c.isDigit() || c == QLatin1Char(',') ||
              c == QLatin1Char('-') || c == QLatin1Char(';')))
            return false;
    return true;
}

}  // namespace

TFormFilter::TFormFilter(tessara::Workspace& ws, const QComboBox* methods, QWidget* parent)
    : QDialog(parent), ws_(ws) {
    setObjectName(QStringLiteral("FormFilter"));
    setWindowTitle(QStringLiteral("Фильтр"));

    cbFilterType_ = Named(new QComboBox(this), "cbFilterType");
    for (int i = 0; i < methods->count(); ++i)
        cbFilterType_->addItem(methods->itemText(i), methods->itemData(i));
    cbFilterType_->setCurrentIndex(methods->currentIndex());

    edDrawsLen_ = Named(new QLineEdit(this), "edFilterDrawsLen");
    SetHint(edDrawsLen_,
            QStringLiteral("Количество тиражей для расчета статистики") + kListFormats);
    edDrawsLen_->setText(QString::number(ws_.View().ReadInteger(
        tessara::MainWindowSection, "DrawsStatLen", tessara::MainViewDefault("DrawsStatLen"))));
    edDrawsLen_->installEventFilter(this);

    cbSortOrder_ = Named(new QComboBox(this), "cbFilterSortOrder");
    for (int c = 0; c < tessara::ValueColumnCount; ++c)
        cbSortOrder_->addItem(QString::fromUtf8(tessara::ValueColumnCaption(c)));
    cbSortOrder_->setCurrentIndex(1);

    cbDirection_ = Named(new QComboBox(this), "cbFilterDirection");
    cbDirection_->addItems({QStringLiteral("Сверху-вниз"), QStringLiteral("Снизу-вверх")});

    chMultiSelect_ =
        Named(new QCheckBox(QStringLiteral("Использовать режим одновременного выделения нескольких "
                                           "значений в списке"),
                            this),
              "chFilterMultiSelect");

    cbFilterMode_ = Named(new QComboBox(this), "cbFilterMode");
    cbFilterMode_->addItems(
        {QStringLiteral("Удалить выделенные"), QStringLiteral("Оставить выделенные")});

    cbLevelMode_ = Named(new QComboBox(this), "cbFilterLevelMode");
    for (int m = 0; m < tessara::LevelModeCount; ++m)
        cbLevelMode_->addItem(QString::fromUtf8(tessara::LevelModeCaption(m)));
    edLevelValue_ = Named(new QLineEdit(this), "edFilterLevelValue");
    SetHint(edLevelValue_, QStringLiteral("Учитываемые значения глубины") + kListFormats);
    edLevelValue_->installEventFilter(this);

    auto* coefGroup =
        new QGroupBox(QStringLiteral(" Коэффициенты для расчета значений \"Вес\" "), this);
    chCDLOverride_ =
        Named(new QCheckBox(QStringLiteral("Использовать приведенные ниже "
                                           "коэффициенты для расчета значений \"Вес\""),
                            coefGroup),
              "chFilterCDLOverride");
    edCoefCount_ = MakeCoef("edFilterCoefCount", coefGroup);
    edCoefDeviation_ = MakeCoef("edFilterCoefDeviation", coefGroup);
    edCoefLevel_ = MakeCoef("edFilterCoefLevel", coefGroup);
    chCoefPercents_ = Named(new QCheckBox(QStringLiteral("Использовать значения в %"), coefGroup),
                            "chFilterCoefPercents");
    chCoefAbs_ = Named(new QCheckBox(QStringLiteral("Использовать абсолютные значения"), coefGroup),
                       "chFilterCoefAbs");
    auto* coefRow = new QHBoxLayout;
    const auto addCoef = [&](const char* caption, QDoubleSpinBox* box) {
        auto* label = new QLabel(QString::fromUtf8(caption), coefGroup);
        label->setBuddy(box);
        coefRow->addWidget(label);
        coefRow->addWidget(box, 1);
    };
    addCoef("Количество:", edCoefCount_);
    addCoef("Отклонение:", edCoefDeviation_);
    addCoef("Глубина:", edCoefLevel_);
    auto* coefLayout = new QVBoxLayout(coefGroup);
    coefLayout->addWidget(chCDLOverride_);
    coefLayout->addLayout(coefRow);
    coefLayout->addWidget(chCoefPercents_);
    coefLayout->addWidget(chCoefAbs_);

    cbStopMode_ = Named(new QComboBox(this), "cbFilterStopMode");
    for (int m = 0; m < tessara::StopModeCount; ++m)
        cbStopMode_->addItem(QString::fromUtf8(tessara::StopModeCaption(m)));
    edStopValue_ = Named(new QSpinBox(this), "edFilterStopValue");
    edStopValue_->setRange(1, INT_MAX);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Тип фильтра:"), cbFilterType_);
    form->addRow(QStringLiteral("Количество тиражей:"), edDrawsLen_);
    form->addRow(QStringLiteral("Сортировать по столбцу:"), cbSortOrder_);
    form->addRow(QStringLiteral("Направление:"), cbDirection_);
    form->addRow(chMultiSelect_);
    form->addRow(QStringLiteral("Режим фильтра:"), cbFilterMode_);
    form->addRow(new QLabel(QStringLiteral("Режим выделения значений в списке статистики:"), this));
    form->addRow(cbLevelMode_);
    form->addRow(QStringLiteral("Значения:"), edLevelValue_);
    form->addRow(coefGroup);
    auto* stopRow = new QHBoxLayout;
    stopRow->addWidget(cbStopMode_, 1);
    stopRow->addWidget(new QLabel(QStringLiteral("Значение:"), this));
    stopRow->addWidget(edStopValue_);
    form->addRow(QStringLiteral("Остановка по:"), stopRow);

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    SetHint(buttons->button(QDialogButtonBox::Ok), QStringLiteral("Сохранить изменения"));
    SetHint(buttons->button(QDialogButtonBox::Cancel),
            QStringLiteral("Отменить изменения и закрыть окно"));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(cbLevelMode_, &QComboBox::currentIndexChanged, this, &TFormFilter::UpdateEnabled);
    connect(chCDLOverride_, &QCheckBox::toggled, this, &TFormFilter::UpdateEnabled);
    SetCoefs({});
    UpdateEnabled();
}

void TFormFilter::SetCoefs(const tessara::TFilterCoefs& coefs) {
    chCDLOverride_->setChecked(coefs.CDLOverride);
    edCoefCount_->setValue(static_cast<double>(coefs.CoefCount));
    edCoefDeviation_->setValue(static_cast<double>(coefs.CoefDeviation));
    edCoefLevel_->setValue(static_cast<double>(coefs.CoefLevel));
    chCoefPercents_->setChecked(coefs.CoefPercents);
    chCoefAbs_->setChecked(coefs.CoefAbs);
}

void TFormFilter::SetItem(const tessara::TFilterItem& item) {
    if (!item.Used) return;
    const int entry = cbFilterType_->findData(item.Method);
    cbFilterType_->setCurrentIndex(entry >= 0 ? entry : 0);
    if (!item.DrawsLen.empty()) edDrawsLen_->setText(QString::fromStdString(item.DrawsLen));
    cbSortOrder_->setCurrentIndex(item.SortOrder);
    cbDirection_->setCurrentIndex(item.BottomUp ? 1 : 0);
    chMultiSelect_->setChecked(item.MultiSelect);
    cbFilterMode_->setCurrentIndex(item.KeepSelected ? 1 : 0);
    cbLevelMode_->setCurrentIndex(item.LevelMode);
    if (!item.LevelValue.empty()) edLevelValue_->setText(QString::fromStdString(item.LevelValue));
    if (item.Coefs.CDLOverride) {
        SetCoefs(item.Coefs);
    } else {
        const tessara::TCDLCoefs& global = ws_.Stats().Config().Coefs;
        SetCoefs({false, global.Count, global.Deviation, global.Level, global.UsePercents,
                  global.UseAbsValues});
    }
    cbStopMode_->setCurrentIndex(item.StopMode);
    edStopValue_->setValue(item.StopValue);
    UpdateEnabled();
}

tessara::TFilterItem TFormFilter::Item() const {
    tessara::TFilterItem item;
    item.Used = true;
    item.Method =
        cbFilterType_->currentData().isValid() ? cbFilterType_->currentData().toInt() : -1;
    if (item.Method >= 0 && item.Method < ws_.Stats().Count())
        item.MethodCode = ws_.Stats().Items(item.Method).Code();
    else
        item.Method = -1;
    item.DrawsLen = edDrawsLen_->text().toStdString();
    item.StatText = item.MethodCode + ":" + item.DrawsLen;
    item.SortOrder = cbSortOrder_->currentIndex();
    item.BottomUp = cbDirection_->currentIndex() == 1;
    item.MultiSelect = chMultiSelect_->isChecked();
    item.KeepSelected = cbFilterMode_->currentIndex() == 1;
    item.LevelMode = static_cast<uint8_t>(cbLevelMode_->currentIndex());
    item.LevelValue = edLevelValue_->text().toStdString();
    item.Coefs = {chCDLOverride_->isChecked(),  edCoefCount_->value(),
                  edCoefDeviation_->value(),    edCoefLevel_->value(),
                  chCoefPercents_->isChecked(), chCoefAbs_->isChecked()};
    item.StopMode = static_cast<uint8_t>(cbStopMode_->currentIndex());
    item.StopValue = edStopValue_->value();
    return item;
}

void TFormFilter::UpdateEnabled() {
    const int mode = cbLevelMode_->currentIndex();
    const bool weights = mode >= kWeightModeFirst && mode <= kWeightModeLast;
    chCDLOverride_->setEnabled(weights);
    const bool own = weights && chCDLOverride_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{edCoefCount_, edCoefDeviation_, edCoefLevel_,
                                                      chCoefPercents_, chCoefAbs_})
        w->setEnabled(own);
}

void TFormFilter::accept() {
    const tessara::TFilterItem item = Item();
    const bool numeric = item.Method < 0 || ws_.Stats().Items(item.Method).Class->HasNumericValues;
    std::string message;
    const tessara::TFilterCheck check =
        tessara::CheckFilterEditor(item.DrawsLen, item.LevelMode, item.LevelValue, numeric,
                                   item.MultiSelect, item.StopMode, message);
    QWidget* focus = nullptr;
    switch (check) {
        case tessara::TFilterCheck::Ok:
            QDialog::accept();
            return;
        case tessara::TFilterCheck::DrawsLen:
            focus = edDrawsLen_;
            break;
        case tessara::TFilterCheck::LevelMode:
            focus = cbLevelMode_;
            break;
        case tessara::TFilterCheck::LevelValue:
            focus = edLevelValue_;
            break;
        case tessara::TFilterCheck::StopMode:
            focus = cbStopMode_;
            break;
    }
    ws_.GetHost().ShowError(message);
    focus->setFocus();
}

bool TFormFilter::eventFilter(QObject* watched, QEvent* event) {
    // The value lists take only digits and the list separators.
    if ((watched == edDrawsLen_ || watched == edLevelValue_) && event->type() == QEvent::KeyPress) {
        const QString text = static_cast<QKeyEvent*>(event)->text();
        if (!IsListKey(text)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormFilter::Edit(QWidget* parent, tessara::Workspace& ws, const QComboBox* methods,
                       tessara::TFilterItem& item) {
    TFormFilter form(ws, methods, parent);
    form.SetItem(item);
    if (form.exec() != QDialog::Accepted) return false;
    item = form.Item();
    return true;
}
