#include "main/gui_host.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

QString ToQString(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QMessageBox::Icon IconOf(tessara::MessageKind kind) {
    switch (kind) {
        case tessara::MessageKind::Error:
            return QMessageBox::Critical;
        case tessara::MessageKind::Information:
            return QMessageBox::Information;
        case tessara::MessageKind::Warning:
        case tessara::MessageKind::Attention:
            return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QString GuiHost::MessageText(const std::string& text) {
    return QString::fromStdString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void GuiHost::ShowStatus(const std::string& text) {
    if (messagePanel_) messagePanel_->setText(QString::fromStdString(text));
    if (onStatus_) onStatus_(QString::fromStdString(text));
    ProcessEvents();
}

void GuiHost::ShowMessage(tessara::MessageKind kind, const std::string& text) {
    const QString caption = ToQString(tessara::MessageCaption(kind));
    if (promptHook_) {
        promptHook_(caption, MessageText(text));
        return;
    }
    QMessageBox box(IconOf(kind), caption, MessageText(text), QMessageBox::Ok, window_);
    box.exec();
}

bool GuiHost::Confirm(const std::string& text) {
    const QString caption = ToQString(tessara::ConfirmationCaption);
    if (promptHook_) return promptHook_(caption, MessageText(text));
    QMessageBox box(QMessageBox::Question, caption, MessageText(text),
                    QMessageBox::Yes | QMessageBox::No, window_);
    // No translations of the standard buttons ship with the program.
    box.button(QMessageBox::Yes)->setText(QStringLiteral("Да"));
    box.button(QMessageBox::No)->setText(QStringLiteral("Нет"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

namespace {
constexpr qint64 kEventsEveryMs = 100;
constexpr qint64 kViewsEveryMs = 500;
constexpr qint64 kForcedGapMs = 2;
}  // namespace

void GuiHost::SetRunThrottled(bool on) {
    if (on == throttled_) return;
    throttled_ = on;
    if (on) {
        clock_.start();
        lastEvents_ = lastFlush_ = 0;
        forceEvents_ = false;
    } else {
        FlushChanges();
    }
}

void GuiHost::FlushChanges() {
    const unsigned pending = pendingChanges_;
    pendingChanges_ = 0;
    if (throttled_) lastFlush_ = clock_.elapsed();
    for (unsigned c = 0; pending >> c; ++c)
        if ((pending >> c) & 1u && onNotify_) onNotify_(static_cast<tessara::Change>(c));
}

void GuiHost::ProcessEvents() {
    if (throttled_) {
        const qint64 now = clock_.elapsed();
        // A forced call still leaves the timers a moment to come due.
        const qint64 gap = forceEvents_ ? kForcedGapMs : kEventsEveryMs;
        if (now - lastEvents_ < gap) return;
        forceEvents_ = false;
        lastEvents_ = now;
        if (pendingChanges_ && now - lastFlush_ >= kViewsEveryMs) FlushChanges();
    }
    // The user cannot start anything from here: input waits until the work ends.
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(userInput_ ? QEventLoop::AllEvents
                                                   : QEventLoop::ExcludeUserInputEvents);
}

void GuiHost::Notify(tessara::Change change) {
    if (throttled_) {
        pendingChanges_ |= 1u << static_cast<unsigned>(change);
        return;
    }
    if (onNotify_) onNotify_(change);
}

void GuiHost::RefreshViews(bool full) {
    if (onRefreshViews_) onRefreshViews_(full);
}

void GuiHost::BusyChanged(bool busy) {
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    if (onBusyChanged_) onBusyChanged_(busy);
}
