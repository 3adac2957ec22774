#include "combs/form_gen_combs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "main/file_dialogs.h"
#include "combs/comb_list.h"
#include "main/dialog_buttons.h"

namespace {

// The text field holds at most this many characters (the stored string's limit).
constexpr int kParamsMaxLength = 255;

void SetHint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

}  // namespace

QString ChooseCombsFile(QWidget* parent, bool save, const QString& start) {
    return ChooseFile(parent, {.Filter = QStringLiteral("Файлы комбинаций (*.lcv)"),
                               .Suffix = QStringLiteral("lcv"),
                               .Save = save,
                               .Start = start});
}

TFormGenCombs::TFormGenCombs(const tessara::TCombsGenerateParams& defaults, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormGenCombs"));
    setWindowTitle(QStringLiteral("Создание нового списка комбинаций"));

    cbCombsGenerateMode_ = new QComboBox(this);
    cbCombsGenerateMode_->setObjectName(QStringLiteral("cbCombsGenerateMode"));
    for (int mode = tessara::gmFull; mode <= tessara::gmFromFile; ++mode)
        cbCombsGenerateMode_->addItem(QString::fromUtf8(tessara::GenerateModeCaption(mode)));
    auto* modeLabel = new QLabel(QStringLiteral("Режим генерации списка комбинаций:"), this);
    modeLabel->setBuddy(cbCombsGenerateMode_);

    edCombsGenerateParam_ = new QLineEdit(this);
    edCombsGenerateParam_->setObjectName(QStringLiteral("edCombsGenerateParam"));
    edCombsGenerateParam_->setMaxLength(kParamsMaxLength);
    SetHint(edCombsGenerateParam_,
            QStringLiteral("Список \"моих чисел\" через точку с запятой или имя файла для режима "
                           "\"Загрузка из файла\""));
    auto* paramLabel = new QLabel(QStringLiteral("Мои числа или имя файла для загрузки:"), this);
    paramLabel->setBuddy(edCombsGenerateParam_);

    btnCombsGenerateFile_ = new QToolButton(this);
    btnCombsGenerateFile_->setObjectName(QStringLiteral("btnCombsGenerateFile"));
    btnCombsGenerateFile_->setText(QStringLiteral("..."));
    SetHint(btnCombsGenerateFile_, QStringLiteral("Выбор файла"));
    connect(btnCombsGenerateFile_, &QToolButton::clicked, this, &TFormGenCombs::ChooseFile);

    cbSaveParameters_ = new QCheckBox(
        QStringLiteral("Сохранить эти параметры для генерации комбинаций \"по умолчанию\""), this);
    cbSaveParameters_->setObjectName(QStringLiteral("cbSaveParameters"));

    auto* buttons = OkCancelButtons(this);
    SetHint(buttons->button(QDialogButtonBox::Ok),
            QStringLiteral("Создать список возможных комбинаций"));

    auto* paramRow = new QHBoxLayout;
    paramRow->addWidget(edCombsGenerateParam_, 1);
    paramRow->addWidget(btnCombsGenerateFile_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(modeLabel);
    layout->addWidget(cbCombsGenerateMode_);
    layout->addWidget(paramLabel);
    layout->addLayout(paramRow);
    layout->addSpacing(6);
    layout->addWidget(cbSaveParameters_);
    layout->addStretch(1);
    layout->addWidget(buttons);

    // An unknown stored mode opens as the full list.
    const int mode =
        defaults.Mode <= tessara::gmFromFile ? int{defaults.Mode} : int{tessara::gmFull};
    connect(cbCombsGenerateMode_, &QComboBox::currentIndexChanged, this,
            &TFormGenCombs::ModeChanged);
    cbCombsGenerateMode_->setCurrentIndex(mode);
    edCombsGenerateParam_->setText(QString::fromStdString(defaults.Parameters));
    ModeChanged(mode);
}

void TFormGenCombs::ModeChanged(int mode) {
    edCombsGenerateParam_->setEnabled(mode != tessara::gmFull);
    btnCombsGenerateFile_->setEnabled(mode == tessara::gmFromFile);
}

void TFormGenCombs::ChooseFile() {
    const QString file = ChooseCombsFile(this, false, edCombsGenerateParam_->text());
    if (!file.isEmpty()) edCombsGenerateParam_->setText(file);
}

tessara::TCombsGenerateParams TFormGenCombs::Params() const {
    return {static_cast<uint8_t>(cbCombsGenerateMode_->currentIndex()),
            edCombsGenerateParam_->text().toStdString()};
}

bool TFormGenCombs::SaveAsDefaults() const { return cbSaveParameters_->isChecked(); }
