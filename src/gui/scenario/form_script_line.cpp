#include "scenario/form_script_line.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>
#include <climits>

#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "scenario/form_filter.h"
#include "scenario/script_line.h"

namespace {

void SetHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

}  // namespace

TFormScriptLine::TFormScriptLine(tessara::Workspace& ws, const QComboBox* methods, QWidget* parent)
    : QDialog(parent), ws_(ws), methods_(methods) {
    setObjectName(QStringLiteral("FormScriptLine"));
    setWindowTitle(QStringLiteral("Элемент сценария"));

    auto* options = new QGroupBox(QStringLiteral(" Опции "), this);
    cbStartCombs_ = new QComboBox(options);
    cbStartCombs_->setObjectName(QStringLiteral("cbStartCombs"));
    for (int i = tessara::scFull; i <= tessara::scCurr; ++i)
        cbStartCombs_->addItem(QString::fromUtf8(tessara::StartCombsCaption(i)));
    edStartCount_ = new QSpinBox(options);
    edStartCount_->setObjectName(QStringLiteral("edStartCount"));
    edStartCount_->setRange(0, INT_MAX);
    SetHint(edStartCount_, QStringLiteral("Исключить указанное количество тиражей из списка "
                                          "комбинаций перед применением фильтров"));
    cbResultMode_ = new QComboBox(options);
    cbResultMode_->setObjectName(QStringLiteral("cbResultMode"));
    for (int i = tessara::rmExt; i <= tessara::rmNone; ++i)
        cbResultMode_->addItem(QString::fromUtf8(tessara::ResultModeCaption(i)));
    chClearStakes_ = new QCheckBox(
        QStringLiteral("Удалить все ставки перед выполнением (накопление только рейтинга)"),
        options);
    chClearStakes_->setObjectName(QStringLiteral("chClearStakes"));
    SetHint(chClearStakes_,
            QStringLiteral("Перед выполнением строки будет очищен файл ставок (для очень "
                           "\"массивных\" сценариев, дающих огромное количество ставок за "
                           "раз)\r\nНа накопление рейтинга не влияет"));
    chNewOnly_ = new QCheckBox(
        QStringLiteral("Только новые ставки (пропускать те ставки, которые уже есть в списке)"),
        options);
    chNewOnly_->setObjectName(QStringLiteral("chNewOnly"));
    SetHint(chNewOnly_, QStringLiteral("Если комбинация уже есть в списке ставок, то она не будет "
                                       "добавлена в список ставок"));

    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(new QLabel(QStringLiteral("Начальный список комбинаций:"), options), 0,
                             0);
    optionsLayout->addWidget(new QLabel(QStringLiteral("Кол-во тиражей:"), options), 0, 1);
    optionsLayout->addWidget(cbStartCombs_, 1, 0);
    optionsLayout->addWidget(edStartCount_, 1, 1);
    optionsLayout->addWidget(
        new QLabel(QStringLiteral("В случае неоднозначного результата после применения фильтров:"),
                   options),
        2, 0, 1, 2);
    optionsLayout->addWidget(cbResultMode_, 3, 0, 1, 2);
    optionsLayout->addWidget(chClearStakes_, 4, 0, 1, 2);
    optionsLayout->addWidget(chNewOnly_, 5, 0, 1, 2);
    optionsLayout->setColumnStretch(0, 1);

    auto* filters = new QGroupBox(QStringLiteral(" Фильтры "), this);
    auto* filtersLayout = new QGridLayout(filters);
    for (int i = 0; i < 7; ++i) {
        const QString number = QString::number(i + 1);
        auto* edit = new QLineEdit(filters);
        edit->setObjectName(QStringLiteral("edFilter") + number);
        SetHint(edit, QStringLiteral("Фильтр ") + number);
        edit->installEventFilter(this);
        auto* button = new QToolButton(filters);
        button->setObjectName(QStringLiteral("btnFilter") + number);
        button->setText(QStringLiteral("..."));
        SetHint(button, QStringLiteral("Редактировать фильтр"));
        connect(button, &QToolButton::clicked, this, [this, i] { EditFilter(i + 1); });
        filtersLayout->addWidget(new QLabel(QStringLiteral("Фильтр %1:").arg(number), filters), i,
                                 0);
        filtersLayout->addWidget(edit, i, 1);
        filtersLayout->addWidget(button, i, 2);
        edFilters_[static_cast<size_t>(i)] = edit;
        btnFilters_[static_cast<size_t>(i)] = button;
    }

    edComment_ = new QLineEdit(this);
    edComment_->setObjectName(QStringLiteral("edComment"));
    SetHint(edComment_, QStringLiteral("Комментарии (можно оставить пустым)"));

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
    SetHint(buttons->button(QDialogButtonBox::Ok), QStringLiteral("Сохранить изменения"));
    SetHint(buttons->button(QDialogButtonBox::Cancel),
            QStringLiteral("Отменить изменения и закрыть окно"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(options);
    layout->addWidget(filters);
    layout->addWidget(new QLabel(QStringLiteral("Комментарии:"), this));
    layout->addWidget(edComment_);
    layout->addWidget(buttons);
    // Filter texts are long: room for a typical one without scrolling.
    setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('0')) * 80);
    edComment_->setFocus();
}

void TFormScriptLine::SetLine(int defaultStartCount, const std::string& line) {
    edStartCount_->setValue(defaultStartCount);
    if (line.empty()) {
        cbStartCombs_->setCurrentIndex(0);
        cbResultMode_->setCurrentIndex(0);
        chClearStakes_->setChecked(false);
        chNewOnly_->setChecked(false);
        for (QLineEdit* edit : edFilters_) edit->clear();
        edComment_->clear();
        return;
    }
    const tessara::TScriptOptions o = tessara::ParseScriptOptions(tessara::ScriptLineOptions(line));
    edStartCount_->setValue(o.DrawsExclude);
    cbStartCombs_->setCurrentIndex(o.StartCombsType);
    cbResultMode_->setCurrentIndex(o.ResultCombsMode);
    chClearStakes_->setChecked(o.ClearStakes);
    chNewOnly_->setChecked(o.NewOnly);
    for (int n = 1; n <= 7; ++n)
        edFilters_[static_cast<size_t>(n - 1)]->setText(
            QString::fromStdString(tessara::ScriptLineFilter(line, n)));
    edComment_->setText(QString::fromStdString(tessara::ScriptLineComment(line)));
}

std::string TFormScriptLine::Line() const {
    tessara::TScriptOptions o;
    o.DrawsExclude = edStartCount_->value();
    o.StartCombsType = static_cast<uint8_t>(cbStartCombs_->currentIndex());
    o.ResultCombsMode = static_cast<uint8_t>(cbResultMode_->currentIndex());
    o.ClearStakes = chClearStakes_->isChecked();
    o.NewOnly = chNewOnly_->isChecked();
    std::array<std::string, 7> texts;
    for (size_t i = 0; i < texts.size(); ++i) texts[i] = edFilters_[i]->text().toStdString();
    return tessara::BuildScriptLine(tessara::FormatScriptOptions(o), texts,
                                    edComment_->text().toStdString());
}

void TFormScriptLine::EditFilter(int n) {
    QLineEdit* edit = edFilters_[static_cast<size_t>(n - 1)];
    tessara::TFilterItem item = tessara::ParseFilterItem(edit->text().toStdString(), ws_.Stats());
    if (TFormFilter::Edit(this, ws_, methods_, item))
        edit->setText(QString::fromStdString(tessara::FormatFilterItem(item)));
}

bool TFormScriptLine::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (size_t i = 0; i < edFilters_.size(); ++i) {
            if (watched == edFilters_[i]) {
                EditFilter(static_cast<int>(i) + 1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormScriptLine::Edit(QWidget* parent, tessara::Workspace& ws, const QComboBox* methods,
                           const QString& title, int defaultStartCount, std::string& line) {
    TFormScriptLine form(ws, methods, parent);
    form.setWindowTitle(title);
    form.SetLine(defaultStartCount, line);
    if (form.exec() != QDialog::Accepted) return false;
    line = form.Line();
    return true;
}
