#include "online/form_wait.h"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QVBoxLayout>

#include "main/gui_host.h"

TFormWait::TFormWait(QWidget* parent) : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FormWait"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("lbWait"));
    label_->setAlignment(Qt::AlignCenter);
    label_->setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    label_->setWordWrap(true);
    // Without a title bar the window needs an edge to stand out.
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(label_, 1, Qt::AlignVCenter);
    setFixedSize(380, 96);
}

void TFormWait::CentreOnParent() {
    if (QWidget* p = parentWidget()) {
        const QRect r = p->frameGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
}

void TFormWait::Open(const std::string& text) {
    CentreOnParent();
    show();
    SetText(text);
}

void TFormWait::SetText(const std::string& text) {
    label_->setText(GuiHost::MessageText(text));
    raise();
    repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFormWait::Close() { hide(); }

QString TFormWait::Text() const { return label_->text(); }
