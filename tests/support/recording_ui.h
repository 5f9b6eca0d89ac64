// A user interface for tests: answers questions from a script and records every call, so
// a test can check the exact title and text of each message.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "base/user_interface.h"

namespace kasa::testing {

struct ShownMessage {
    std::string title;
    std::string text;
};

class RecordingUserInterface : public UserInterface {
  public:
    void Message(const std::string& title, const std::string& text) override {
        messages.push_back({title, text});
    }
    Answer Ask(const std::string& title, const std::string& text, Buttons kind) override {
        questions.push_back({title, text});
        buttons.push_back(kind);
        if (!answers.empty()) {
            const Answer a = answers.front();
            answers.pop_front();
            return a;
        }
        return kind == Buttons::Ok || kind == Buttons::OkCancel ? Answer::Cancel : Answer::No;
    }
    void SetProgress(int position, int maximum) override {
        progress.emplace_back(position, maximum);
    }
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void LogLine(const std::string& line) override { logLines.push_back(line); }
    void ProcessPendingMessages() override { ++pumps; }

    std::vector<ShownMessage> messages;
    std::vector<ShownMessage> questions;
    std::vector<Buttons> buttons;  // of each question
    std::deque<Answer> answers;
    std::vector<std::pair<int, int>> progress;
    std::vector<std::string> statusTexts;
    std::vector<std::string> logLines;
    int pumps = 0;
};

}  // namespace kasa::testing
