// The way a worker thread talks to the user: the window's own interface, except that once
// the window closes nothing is shown any more and every question is answered No.
#pragma once

#include <atomic>
#include <string>

#include "base/user_interface.h"

namespace kasa {

class WorkerUserInterface : public UserInterface {
  public:
    WorkerUserInterface(UserInterface& ui, const std::atomic<bool>& closing)
        : ui_(ui), closing_(closing) {}
    void Message(const std::string& title, const std::string& text) override {
        if (!closing_) {
            ui_.Message(title, text);
        }
    }
    Answer Ask(const std::string& title, const std::string& text, Buttons buttons) override {
        if (closing_) {
            return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Cancel
                                                                          : Answer::No;
        }
        return ui_.Ask(title, text, buttons);
    }
    void SetProgress(int position, int maximum) override {
        if (!closing_) {
            ui_.SetProgress(position, maximum);
        }
    }
    void SetStatusText(const std::string& text) override {
        if (!closing_) {
            ui_.SetStatusText(text);
        }
    }
    void LogLine(const std::string& line) override {
        if (!closing_) {
            ui_.LogLine(line);
        }
    }
    void ProcessPendingMessages() override {}

  private:
    UserInterface& ui_;
    const std::atomic<bool>& closing_;
};

}  // namespace kasa
