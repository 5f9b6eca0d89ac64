// The one way core operations talk to the user: the window, the command line and the
// tests each supply their own implementation.
#pragma once

#include <string>

namespace kasa {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
enum class Answer { Ok, Cancel, Yes, No };

class UserInterface {
  public:
    virtual ~UserInterface() = default;

    // A modal message with an OK button; the title is the caption of the raising window.
    // Messages tell of failures and refusals.
    virtual void Message(const std::string& title, const std::string& text) = 0;
    // A modal message that tells of something done, not of a failure; shown as a message
    // wherever the two look alike.
    virtual void Notice(const std::string& title, const std::string& text) { Message(title, text); }
    // A modal question; returns the button chosen.
    virtual Answer Ask(const std::string& title, const std::string& text, Buttons buttons) = 0;
    // The progress bar "Postep"; maximum 0 hides or resets it.
    virtual void SetProgress(int position, int maximum) = 0;
    // The "Info" label.
    virtual void SetStatusText(const std::string& text) = 0;
    // One protocol log line.
    virtual void LogLine(const std::string& line) = 0;
    // Lets the window handle its pending events while an operation waits.
    virtual void ProcessPendingMessages() = 0;
};

// Answers every question with the default given and shows nothing; for operations run
// where nobody is watching.
class SilentUserInterface : public UserInterface {
  public:
    explicit SilentUserInterface(Answer answer = Answer::No) : answer_(answer) {}
    void Message(const std::string&, const std::string&) override {}
    Answer Ask(const std::string&, const std::string&, Buttons buttons) override {
        if (buttons == Buttons::Ok || buttons == Buttons::OkCancel) {
            return answer_ == Answer::Yes || answer_ == Answer::Ok ? Answer::Ok : Answer::Cancel;
        }
        return answer_ == Answer::Ok ? Answer::Yes : answer_;
    }
    void SetProgress(int, int) override {}
    void SetStatusText(const std::string&) override {}
    void LogLine(const std::string&) override {}
    void ProcessPendingMessages() override {}

  private:
    Answer answer_;
};

}  // namespace kasa
