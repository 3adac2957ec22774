#include "online/form_self_update.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormSelfUpdate::TFormSelfUpdate(const std::string& current, const std::string& offered,
                                 const std::string& notes, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("FormSelfUpdate"));
    setWindowTitle(QStringLiteral("Найдена новая версия программы"));
    auto* versions = new QFormLayout;
    auto* edCurrent = new QLabel(QString::fromStdString(current), this);
    edCurrent->setObjectName(QStringLiteral("edCurrentVersion"));
    auto* edNew = new QLabel(QString::fromStdString(offered), this);
    edNew->setObjectName(QStringLiteral("edNewVersion"));
    QFont bold = edNew->font();
    bold.setBold(true);
    edNew->setFont(bold);
    versions->addRow(QStringLiteral("Текущая версия программы:"), edCurrent);
    versions->addRow(QStringLiteral("Новая версия программы:"), edNew);

    auto* edNotes = new QPlainTextEdit(QString::fromStdString(notes), this);
    edNotes->setObjectName(QStringLiteral("edDescription"));
    edNotes->setReadOnly(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* install = buttons->addButton(QStringLiteral("Установить"), QDialogButtonBox::AcceptRole);
    install->setObjectName(QStringLiteral("btInstall"));
    install->setToolTip(QStringLiteral("Установить это обновление"));
    install->setDefault(true);
    QPushButton* decline = buttons->addButton(QStringLiteral("Отказаться"), QDialogButtonBox::RejectRole);
    decline->setObjectName(QStringLiteral("btDecline"));
    decline->setToolTip(QStringLiteral("Отказаться от обновления"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(versions);
    layout->addWidget(new QLabel(QStringLiteral("Описание версии:"), this));
    layout->addWidget(edNotes, 1);
    layout->addWidget(buttons);
    resize(520, 380);
}
