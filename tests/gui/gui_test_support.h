#pragma once

#include <QApplication>
#include <QStringList>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "main/gui_host.h"
#include "main/main_window.h"

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

// A main window on a data folder, past its init tick, with its message
// boxes taken over; start-up must not have said anything.
inline void StartMainWindow(const std::string& dir, std::unique_ptr<MainWindow>& window,
                            std::unique_ptr<Prompts>& prompts) {
    window.reset();
    window = std::make_unique<MainWindow>(std::vector<std::string>{"--data-dir", dir});
    prompts = std::make_unique<Prompts>(window->Host());
    QVERIFY(window->Created());
    QCOMPARE(window->InitTick(), InitOutcome::Ready);
    QVERIFY2(prompts->Seen.isEmpty(), qPrintable(prompts->Seen.join('\n')));
}

}  // namespace tessara::test
