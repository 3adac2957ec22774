#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/host.h"
#include "model/records.h"

namespace tessara::test {

// A fresh folder under the system's temporary folder, removed at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Keeps every message and question; answers questions from a script
// (No when the script is empty).
class RecordingHost : public Host {
public:
    struct Message {
        MessageKind Kind;
        std::string Text;
    };
    void ShowStatus(const std::string& text) override { Statuses.push_back(text); }
    void ShowMessage(MessageKind kind, const std::string& text) override {
        Messages.push_back({kind, text});
    }
    bool Confirm(const std::string& text) override {
        Questions.push_back(text);
        if (Answers.empty()) return false;
        const bool a = Answers.front();
        Answers.pop_front();
        return a;
    }
    void Notify(Change c) override { Changes.push_back(c); }

    std::vector<std::string> Statuses;
    std::vector<Message> Messages;
    std::vector<std::string> Questions;
    std::vector<Change> Changes;
    std::deque<bool> Answers;
};

TDrawRecord MakeDraw(int drawNo, std::initializer_list<int> numbers, int extra = 0,
                     const std::string& date = {});
// Draws numbered first..last with numbers derived from the draw number.
TDrawsArray MakeDraws(int first, int last);
void WriteBytes(const std::string& path, const std::string& bytes);

}  // namespace tessara::test
