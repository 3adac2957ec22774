#include "help/form_help.h"

#include <QFile>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Справка");

QUrl PageUrl(const QString& page) { return QUrl(QStringLiteral("qrc") + TFormHelp::Root() + page); }

// A text browser that shows a plain note for a page it cannot find, instead
// of an empty window.
class HelpBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl& url) override {
        QVariant data = QTextBrowser::loadResource(type, url);
        if (type == QTextDocument::HtmlResource && !data.isValid())
            return QStringLiteral(
                       "<html><body><h1>Страница не найдена</h1><p>В справке нет страницы "
                       "\"%1\".</p><p><a href=\"index.htm\">Содержание</a></p></body></html>")
                .arg(url.fileName().toHtmlEscaped());
        return data;
    }
};

QToolButton* MakeButton(const QString& name, const QString& text, QWidget* parent) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return b;
}

}  // namespace

TFormHelp::TFormHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FormHelp"));
    setWindowTitle(kTitle);
    // A window of its own beside the main window, not a modal box.
    setWindowFlags(Qt::Window);
    setModal(false);

    btnBack_ = MakeButton(QStringLiteral("btnBack"), QStringLiteral("Назад"), this);
    btnForward_ = MakeButton(QStringLiteral("btnForward"), QStringLiteral("Вперед"), this);
    btnContents_ = MakeButton(QStringLiteral("btnContents"), QStringLiteral("Содержание"), this);
    btnBack_->setEnabled(false);
    btnForward_->setEnabled(false);

    wbHelp_ = new HelpBrowser(this);
    wbHelp_->setObjectName(QStringLiteral("wbHelp"));
    wbHelp_->setOpenLinks(true);
    // Addresses outside the help go to the desktop's browser.
    wbHelp_->setOpenExternalLinks(true);
    wbHelp_->setSearchPaths({Root()});

    connect(btnBack_, &QToolButton::clicked, wbHelp_, &QTextBrowser::backward);
    connect(btnForward_, &QToolButton::clicked, wbHelp_, &QTextBrowser::forward);
    connect(btnContents_, &QToolButton::clicked, this, [this] { OpenPage(ContentsPage()); });
    connect(wbHelp_, &QTextBrowser::backwardAvailable, btnBack_, &QToolButton::setEnabled);
    connect(wbHelp_, &QTextBrowser::forwardAvailable, btnForward_, &QToolButton::setEnabled);
    connect(wbHelp_, &QTextBrowser::sourceChanged, this, &TFormHelp::SourceChanged);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnBack_);
    buttons->addWidget(btnForward_);
    buttons->addWidget(btnContents_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(wbHelp_, 1);
    resize(760, 620);
}

bool TFormHelp::HasPage(const QString& page) {
    return !page.isEmpty() && QFile::exists(Root() + page);
}

TFormHelp* TFormHelp::Open(QWidget* window, const QString& page) {
    auto* form = window->findChild<TFormHelp*>(QStringLiteral("FormHelp"),
                                               Qt::FindDirectChildrenOnly);
    if (!form) form = new TFormHelp(window);
    form->OpenPage(page);
    form->show();
    form->raise();
    form->activateWindow();
    return form;
}

void TFormHelp::ShowModal(QWidget* parent, const QString& page) {
    TFormHelp form(parent);
    form.setModal(true);
    form.OpenPage(page);
    form.exec();
}

void TFormHelp::OpenPage(const QString& page) {
    wbHelp_->setSource(PageUrl(page.isEmpty() ? ContentsPage() : page));
}

QString TFormHelp::Page() const { return wbHelp_->source().fileName(); }

void TFormHelp::SourceChanged() {
    const QString title = wbHelp_->documentTitle();
    setWindowTitle(title.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + title);
}
