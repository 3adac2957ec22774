#pragma once

#include <QElapsedTimer>
#include <QString>
#include <functional>

#include "base/host.h"

class QLabel;
class QWidget;

// The host of the desktop program: message boxes, the message panel of the
// status bar, the wait cursor and change notifications for the main window.
class GuiHost : public tessara::Host {
  public:
    // Receives every message box and question instead of showing it (caption,
    // text with line breaks); the return value answers questions. Tests set it
    // so that nothing modal ever blocks them.
    using PromptHook = std::function<bool(const QString& caption, const QString& text)>;

    void SetWindow(QWidget* window) { window_ = window; }
    void SetMessagePanel(QLabel* panel) { messagePanel_ = panel; }
    void SetPromptHook(PromptHook hook) { promptHook_ = std::move(hook); }
    void OnNotify(std::function<void(tessara::Change)> f) { onNotify_ = std::move(f); }
    void OnRefreshViews(std::function<void(bool)> f) { onRefreshViews_ = std::move(f); }
    void OnBusyChanged(std::function<void(bool)> f) { onBusyChanged_ = std::move(f); }
    // Follows the status texts, e.g. for a progress window over a long build.
    void OnStatus(std::function<void(const QString&)> f) { onStatus_ = std::move(f); }

    void ShowStatus(const std::string& text) override;
    void ShowMessage(tessara::MessageKind kind, const std::string& text) override;
    bool Confirm(const std::string& text) override;
    void ProcessEvents() override;
    void Notify(tessara::Change change) override;
    void RefreshViews(bool full) override;
    void BusyChanged(bool busy) override;

    // While a scenario runs the user must reach its stop command: pending
    // input is then processed too (the rest of the window is locked).
    void SetUserInputAllowed(bool on) { userInput_ = on; }
    // While a scenario runs the core asks for events far more often than a
    // window can repaint: pending events are then processed at most ten
    // times a second (unless the next call is forced, for a new cycle or
    // line of the run), and the views follow the changes twice a second.
    // Ending the run brings every view up to date.
    void SetRunThrottled(bool on);
    void ForceNextEvents() { forceEvents_ = true; }

    // Core texts use "\r" as the line break.
    static QString MessageText(const std::string& text);

  private:
    QWidget* window_ = nullptr;
    QLabel* messagePanel_ = nullptr;
    PromptHook promptHook_;
    std::function<void(tessara::Change)> onNotify_;
    std::function<void(bool)> onRefreshViews_;
    std::function<void(bool)> onBusyChanged_;
    std::function<void(const QString&)> onStatus_;
    bool userInput_ = false;

    void FlushChanges();
    bool throttled_ = false;
    bool forceEvents_ = false;
    unsigned pendingChanges_ = 0;
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;
    qint64 lastFlush_ = 0;
};
