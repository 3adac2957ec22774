#pragma once

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

#include "main/gui_host.h"

namespace tessara::test {

// Takes over the message boxes and questions of a GuiHost: keeps them as
// "caption|text" and answers questions from a script (No when it runs out).
class Prompts {
  public:
    explicit Prompts(GuiHost& host) {
        host.SetPromptHook([this](const QString& caption, const QString& text) {
            Seen << caption + QLatin1Char('|') + text;
            if (Answers.empty()) return false;
            const bool answer = Answers.front();
            Answers.pop_front();
            return answer;
        });
    }
    QStringList Seen;
    std::deque<bool> Answers;
};

// Runs work on the next modal dialog of type T once it is open, e.g. to fill
// and accept a dialog that a command runs with exec(). A dialog that work
// leaves open is cancelled, so a failing test never hangs.
template <typename T>
void OnNextModal(std::function<void(T*)> work) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, work] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            work(dialog);
            if (dialog->isVisible()) dialog->reject();
        }
    });
    timer->start();
}

}  // namespace tessara::test
