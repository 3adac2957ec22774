#include "online/form_proxy.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/workspace.h"
#include "main/dialog_buttons.h"
#include "online/online_client.h"

namespace {

QLineEdit* MakeField(QWidget* parent, const char* name, const QString& hint = {}) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    field->setPlaceholderText(hint);
    field->setToolTip(hint);
    return field;
}

}  // namespace

TFormProxy::TFormProxy(const tessara::TProxy& proxy, QWidget* parent)
    : QDialog(parent), proxy_(proxy) {
    setObjectName(QStringLiteral("FormProxy"));
    setWindowTitle(QStringLiteral("Параметры proxy-сервера"));

    rbNone_ = new QRadioButton(QStringLiteral("Не использовать proxy-сервер"), this);
    rbNone_->setObjectName(QStringLiteral("rbNone"));
    rbAuto_ =
        new QRadioButton(QStringLiteral("Автоматический поиск сервера (возможны задержки)"), this);
    rbAuto_->setObjectName(QStringLiteral("rbAuto"));
    rbManual_ = new QRadioButton(QStringLiteral("Ручной выбор proxy-сервера:"), this);
    rbManual_->setObjectName(QStringLiteral("rbManual"));

    edServer_ = MakeField(this, "edServer");
    edPort_ = new QSpinBox(this);
    edPort_->setObjectName(QStringLiteral("edPort"));
    edPort_->setRange(1, 65535);
    edUsername_ =
        MakeField(this, "edUsername", QStringLiteral("Имя пользователя (не обязательно)"));
    edPassword_ = MakeField(this, "edPassword", QStringLiteral("Пароль (не обязательно)"));
    edPassword_->setEchoMode(QLineEdit::Password);

    auto* fields = new QFormLayout;
    fields->setContentsMargins(24, 0, 0, 0);
    fields->addRow(QStringLiteral("Имя или адрес сервера:"), edServer_);
    fields->addRow(QStringLiteral("Порт:"), edPort_);
    fields->addRow(QStringLiteral("Имя пользователя:"), edUsername_);
    fields->addRow(QStringLiteral("Пароль:"), edPassword_);

    auto* buttons = OkCancelButtons(this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rbNone_);
    layout->addWidget(rbAuto_);
    layout->addWidget(rbManual_);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addWidget(buttons);
    setMinimumWidth(420);

    if (proxy.Mode == 1)
        rbAuto_->setChecked(true);
    else if (proxy.Mode == 2)
        rbManual_->setChecked(true);
    else
        rbNone_->setChecked(true);
    edServer_->setText(QString::fromStdString(proxy.Server));
    edPort_->setValue(proxy.Port >= 1 && proxy.Port <= 65535 ? proxy.Port : 80);
    edUsername_->setText(QString::fromStdString(proxy.Username));
    edPassword_->setText(QString::fromStdString(proxy.Password));
    UpdateFields();
    for (QRadioButton* b : {rbNone_, rbAuto_, rbManual_})
        connect(b, &QRadioButton::clicked, this, &TFormProxy::UpdateFields);
}

void TFormProxy::UpdateFields() {
    const bool manual = rbManual_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{edServer_, edPort_, edUsername_, edPassword_})
        w->setEnabled(manual);
}

tessara::TProxy TFormProxy::Result() const {
    const int choice = rbManual_->isChecked() ? 2 : rbNone_->isChecked() ? 0 : 1;
    return tessara::ProxyDialogResult(proxy_, choice, edServer_->text().trimmed().toStdString(),
                                      edPort_->value(), edUsername_->text().toStdString(),
                                      edPassword_->text().toStdString());
}

bool TFormProxy::Edit(QWidget* parent, tessara::Workspace& ws) {
    TFormProxy form(ws.Proxy(), parent);
    if (form.exec() != QDialog::Accepted) return false;
    ws.SetProxy(form.Result());
    return true;
}
