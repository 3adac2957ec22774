#pragma once

#include <string>
#include <string_view>

namespace tessara {

enum class MessageKind { Error, Information, Warning, Attention };

// The captions of the message boxes; confirmations use "Подтверждение".
std::string_view MessageCaption(MessageKind kind);
inline constexpr std::string_view ConfirmationCaption = "Подтверждение";

// What changed in the workspace, so that views can refresh.
enum class Change { Archive, Offset, Options, List, Stakes, Ratings, Scenario, Configuration, Library };

// What the core needs from whoever runs it: the GUI with Qt, the CLI on the
// console, tests with a recording host.
class Host {
public:
    virtual ~Host() = default;

    // Puts a progress or step text into the message panel and lets pending
    // events run so that it shows at once.
    virtual void ShowStatus(const std::string& text) = 0;
    virtual void ShowMessage(MessageKind kind, const std::string& text) = 0;
    // A Yes/No question; No is the default answer.
    virtual bool Confirm(const std::string& text) = 0;
    // A Yes/No question about a failure, in a box captioned "Ошибка".
    virtual bool ConfirmError(const std::string& text) { return Confirm(text); }
    virtual void ProcessEvents() {}
    virtual void Notify(Change) {}
    // Asks the visible analysis views to recompute (unconditionally when full).
    virtual void RefreshViews(bool /*full*/) {}
    // Called when the busy counter goes from 0 to 1 and back.
    virtual void BusyChanged(bool /*busy*/) {}

    int BusyCount() const { return busy_; }
    bool Busy() const { return busy_ > 0; }
    void BeginBusy() {
        if (busy_++ == 0) BusyChanged(true);
    }
    void EndBusy() {
        if (busy_ > 0 && --busy_ == 0) BusyChanged(false);
    }

    void ShowError(const std::string& text) { ShowMessage(MessageKind::Error, text); }

private:
    int busy_ = 0;
};

// Raises the busy counter for a scope, optionally with a status text that is
// cleared again at the end.
class BusyGuard {
public:
    explicit BusyGuard(Host& host) : host_(host) { host_.BeginBusy(); }
    BusyGuard(Host& host, const std::string& status) : host_(host), status_(true) {
        host_.BeginBusy();
        host_.ShowStatus(status);
    }
    ~BusyGuard() {
        if (status_) host_.ShowStatus(std::string());
        host_.EndBusy();
    }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    Host& host_;
    bool status_ = false;
};

// The standard deletion question for n selected rows.
std::string DeleteRowsQuestion(int n);

}  // namespace tessara
