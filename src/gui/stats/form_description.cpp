#include "stats/form_description.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "stats/stat_list.h"

TFormDescription::TFormDescription(const QString& topic, QWidget* parent)
    : QDialog(parent), topic_(topic) {
    setObjectName(QStringLiteral("FormDescription"));
    setWindowTitle(QStringLiteral("Описание методики расчета"));
    setModal(true);

    wbHelp_ = new QTextBrowser(this);
    wbHelp_->setObjectName(QStringLiteral("wbHelp"));
    wbHelp_->setOpenExternalLinks(true);
    if (!topic_.isEmpty()) wbHelp_->setSource(QUrl(topic_));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &TFormDescription::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(wbHelp_, 1);
    layout->addWidget(buttons);
    resize(640, 480);
}

void TFormDescription::Show(QWidget* parent, const tessara::TStatList& stats, int i) {
    if (i < 0 || i >= stats.Count()) return;
    TFormDescription form(QString::fromStdString(stats.HelpTopic(i)), parent);
    form.exec();
}
