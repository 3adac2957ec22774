#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>

class QTextBrowser;
class QToolButton;
class QWidget;

// The help window: the pages shipped with the program (resources under
// ":/help/"), with back, forward and contents. The main window keeps one
// that every help command reuses.
class TFormHelp : public QDialog {
    Q_OBJECT
  public:
    explicit TFormHelp(QWidget* parent = nullptr);

    // Where the pages live, and whether a page is there.
    static QString Root() { return QStringLiteral(":/help/"); }
    static bool HasPage(const QString& page);
    static bool Present() { return HasPage(ContentsPage()); }
    static QString ContentsPage() { return QStringLiteral("index.htm"); }

    // The window of the main window (made on first use), shown on page.
    static TFormHelp* Open(QWidget* window, const QString& page);
    // A window of its own, modal: for dialogs that are modal themselves.
    static void ShowModal(QWidget* parent, const QString& page);

    // Shows page (a file name such as "Filters_1049_NUMS.htm").
    void OpenPage(const QString& page);
    // The file name of the page shown.
    QString Page() const;

  private:
    void SourceChanged();

    QTextBrowser* wbHelp_;
    QToolButton* btnBack_;
    QToolButton* btnForward_;
    QToolButton* btnContents_;
};
