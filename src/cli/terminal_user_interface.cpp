#include "cli/terminal_user_interface.h"

#include <cstdint>
#include <istream>
#include <ostream>

#include "base/codepage.h"

namespace kasa::cli {

TerminalUserInterface::TerminalUserInterface(std::istream& in, std::ostream& err, bool answerYes,
                                             bool canAsk, bool showProgress)
    : in_(in), err_(err), answerYes_(answerYes), canAsk_(canAsk), showProgress_(showProgress) {}

void TerminalUserInterface::Message(const std::string& /*title*/, const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == '\n') {
        trimmed.pop_back();
    }
    err_ << trimmed << "\n";
}

Answer TerminalUserInterface::Ask(const std::string& title, const std::string& text,
                                  Buttons buttons) {
    const bool okButtons = buttons == Buttons::Ok || buttons == Buttons::OkCancel;
    const Answer yes = okButtons ? Answer::Ok : Answer::Yes;
    const Answer no = okButtons ? Answer::Cancel : Answer::No;
    if (answerYes_) {
        // Every question answered for the user is shown, so a log tells what was agreed to.
        err_ << title << "\n" << text << " (--tak: odpowiedź „Tak”)\n";
        return yes;
    }
    if (!canAsk_) {
        err_ << title << "\n" << text << "\n(brak terminala: odpowiedź „Nie”)\n";
        return no;
    }
    err_ << title << "\n" << text << " [t/N] " << std::flush;
    std::string line;
    if (!std::getline(in_, line)) {
        return no;
    }
    const std::string answer = Utf8ToUpper(line);
    return !answer.empty() && (answer[0] == 'T' || answer[0] == 'Y') ? yes : no;
}

void TerminalUserInterface::SetProgress(int position, int maximum) {
    if (!showProgress_) {
        return;
    }
    if (maximum <= 0) {
        // A reset ends a line left open by an operation that stopped half way.
        if (progressLineOpen_) {
            err_ << "\n";
            progressLineOpen_ = false;
        }
        return;
    }
    err_ << "\r" << status_ << (status_.empty() ? "" : " ")
         << static_cast<int64_t>(position) * 100 / maximum << "%   " << std::flush;
    progressLineOpen_ = position < maximum;
    if (!progressLineOpen_) {
        err_ << "\n";
    }
}

void TerminalUserInterface::SetStatusText(const std::string& text) {
    status_ = text;
}

void TerminalUserInterface::LogLine(const std::string& line) {
    err_ << line << "\n";
}

}  // namespace kasa::cli
