// The user interface of the command line: messages go to the error stream, questions are
// asked on the terminal, or answered Yes with --tak, or No when nobody can answer.
#pragma once

#include <iosfwd>
#include <string>

#include "base/user_interface.h"

namespace kasa::cli {

class TerminalUserInterface : public UserInterface {
  public:
    TerminalUserInterface(std::istream& in, std::ostream& err, bool answerYes, bool canAsk,
                          bool showProgress);

    void Message(const std::string& title, const std::string& text) override;
    Answer Ask(const std::string& title, const std::string& text, Buttons buttons) override;
    void SetProgress(int position, int maximum) override;
    void SetStatusText(const std::string& text) override;
    void LogLine(const std::string& line) override;
    void ProcessPendingMessages() override {}

  private:
    std::istream& in_;
    std::ostream& err_;
    bool answerYes_;
    bool canAsk_;
    bool showProgress_;
    bool progressLineOpen_ = false;
    std::string status_;
};

}  // namespace kasa::cli
