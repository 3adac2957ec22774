#include "online/progress_window.h"

#include "model/error.h"

namespace tessara {

void TProgressWindow::Open(const std::string& text, int steps) {
    if (open_) throw Error(MsgProgressWindowExists);
    open_ = true;
    steps_ = steps < 0 ? 0 : steps;
    position_ = 0;
    Shown(text, steps_);
}

void TProgressWindow::Step() {
    if (!open_ || position_ >= steps_) return;
    Moved(++position_);
}

void TProgressWindow::Close() {
    if (!open_) return;
    open_ = false;
    Hidden();
}

}  // namespace tessara
