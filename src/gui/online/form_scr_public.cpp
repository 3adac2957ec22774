#include "online/form_scr_public.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "online/server_rows.h"

namespace {

QGroupBox* TwoChoices(const QString& title, const char* name, QRadioButton* a, QRadioButton* b) {
    auto* box = new QGroupBox(title);
    box->setObjectName(QString::fromLatin1(name));
    auto* l = new QVBoxLayout(box);
    l->addWidget(a);
    l->addWidget(b);
    return box;
}

}  // namespace

TFormScrPublic::TFormScrPublic(tessara::ScriptLibrary& library, const tessara::tScriptData& data,
                               bool readOnly, QWidget* parent)
    : QDialog(parent), library_(library), data_(data) {
    setObjectName(QStringLiteral("FormScrPublic"));
    setWindowTitle(QStringLiteral("Свойства сценария"));

    edTitle_ = new QLineEdit(QString::fromStdString(data.title));
    edTitle_->setObjectName(QStringLiteral("edTitle"));
    edTitle_->setMaxLength(64);
    edTitle_->setToolTip(QStringLiteral("Название сценария"));
    edClName_ = new QLineEdit(QString::fromStdString(data.authorName));
    edClName_->setObjectName(QStringLiteral("edClName"));
    edClName_->setMaxLength(64);
    edClName_->setToolTip(QStringLiteral("Автор сценария"));
    cbClLcid_ = new QComboBox;
    cbClLcid_->setObjectName(QStringLiteral("cbClLcid"));
    cbClLcid_->setToolTip(QStringLiteral("Язык сценария"));
    for (const tessara::TLanguage& l : tessara::ScriptLanguages())
        cbClLcid_->addItem(QString::fromUtf8(l.Name), l.Lcid);
    const int lang = cbClLcid_->findData(data.lcid);
    cbClLcid_->setCurrentIndex(lang >= 0 ? lang : 0);

    appOnly_ = new QRadioButton(QStringLiteral("Только в \"%1\"").arg(QString::fromLatin1(tessara::ApplicationTitle)));
    appAny_ = new QRadioButton(QStringLiteral("В любом приложении Kovrax"));
    (data.universal ? appAny_ : appOnly_)->setChecked(true);
    viewAll_ = new QRadioButton(QStringLiteral("Сценарий виден всем пользователям"));
    viewMine_ = new QRadioButton(QStringLiteral("Сценарий виден только мне"));
    (data.isPublic ? viewAll_ : viewMine_)->setChecked(true);
    edDescr_ = new QPlainTextEdit(QString::fromStdString(data.description));
    edDescr_->setObjectName(QStringLiteral("edDescr"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Название:"), edTitle_);
    form->addRow(QStringLiteral("Автор:"), edClName_);
    form->addRow(QStringLiteral("Язык:"), cbClLcid_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(TwoChoices(QStringLiteral(" Применяемость "), "rgAppMode", appOnly_, appAny_));
    layout->addWidget(TwoChoices(QStringLiteral(" Доступность "), "rgViewMode", viewAll_, viewMine_));
    layout->addWidget(new QLabel(QStringLiteral("Описание:")));
    layout->addWidget(edDescr_, 1);

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setToolTip(QStringLiteral("Отправить сценарий на сервер"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setToolTip(QStringLiteral("Закрыть окно"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (readOnly) {
        edTitle_->setReadOnly(true);
        edClName_->setReadOnly(true);
        edDescr_->setReadOnly(true);
        for (QWidget* w : std::initializer_list<QWidget*>{cbClLcid_, appOnly_, appAny_, viewAll_, viewMine_})
            w->setEnabled(false);
        ok->hide();
        cancel->setDefault(true);
    }
    resize(480, 420);
}

tessara::tScriptData TFormScrPublic::Result() const {
    tessara::tScriptData d = data_;
    d.title = edTitle_->text().trimmed().toStdString();
    d.authorName = edClName_->text().trimmed().toStdString();
    d.lcid = cbClLcid_->currentData().toInt();
    d.universal = appAny_->isChecked() ? 1 : 0;
    d.isPublic = viewAll_->isChecked() ? 1 : 0;
    d.description = edDescr_->toPlainText().toStdString();
    return d;
}

void TFormScrPublic::accept() {
    switch (library_.CheckPublicFields(data_.id, edTitle_->text().toStdString(),
                                       edClName_->text().toStdString())) {
        case tessara::TScrPublicField::Title:
            edTitle_->setFocus();
            return;
        case tessara::TScrPublicField::Author:
            edClName_->setFocus();
            return;
        case tessara::TScrPublicField::None:
            QDialog::accept();
    }
}

bool TFormScrPublic::Edit(QWidget* parent, tessara::ScriptLibrary& library,
                          tessara::tScriptData& data) {
    TFormScrPublic form(library, data, false, parent);
    if (form.exec() != QDialog::Accepted) return false;
    data = form.Result();
    return true;
}

void TFormScrPublic::View(QWidget* parent, tessara::ScriptLibrary& library,
                          const tessara::tScriptData& data) {
    TFormScrPublic form(library, data, true, parent);
    form.exec();
}
