#pragma once

#include <string>

namespace tessara {

inline constexpr const char* MsgProgressWindowExists = "Окно индикатора уже создано!";

// The small window with a text and a step gauge that long online work shows.
// Only one may be open at a time; the gauge never goes past its last step.
class TProgressWindow {
public:
    virtual ~TProgressWindow() = default;
    // Throws Error with MsgProgressWindowExists when one is open already.
    void Open(const std::string& text, int steps);
    void Step();
    void Close();
    bool IsOpen() const { return open_; }
    int Position() const { return position_; }
    int Steps() const { return steps_; }

protected:
    virtual void Shown(const std::string& /*text*/, int /*steps*/) {}
    virtual void Moved(int /*position*/) {}
    virtual void Hidden() {}

private:
    bool open_ = false;
    int steps_ = 0;
    int position_ = 0;
};

// Opens a progress window for a scope and closes it again.
class ProgressScope {
public:
    ProgressScope(TProgressWindow& window, const std::string& text, int steps) : window_(window) {
        window_.Open(text, steps);
    }
    ~ProgressScope() { window_.Close(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
    void Step() { window_.Step(); }
    const TProgressWindow& Window() const { return window_; }

private:
    TProgressWindow& window_;
};

}  // namespace tessara
