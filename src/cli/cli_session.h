// The session with the register that one command of the command line holds, and the
// Ctrl+C handling of the commands that run long.
#pragma once

#include <algorithm>
#include <atomic>
#include <csignal>
#include <optional>
#include <ostream>
#include <string>

#include "app/communication_session.h"
#include "cli/register_commands.h"
#include "cli/terminal_user_interface.h"
#include "ecr/register_session.h"

namespace kasa::cli {

// The title of every message and question of the command line.
inline constexpr const char* kCaption = "kasa";

// How long each answer of the closing requests is waited for after Ctrl+C.
inline constexpr int32_t kCloseAfterAbortTimeoutMs = 1000;

// Ends the session as the stop button does, also after a failure or Ctrl+C: the saved
// mode goes back and the end frame is sent.
inline void EndSession(ECRClass& ecr) {
    // After Ctrl+C the register still gets its mode back, but a register that has stopped
    // answering properly holds the end of the program only briefly.
    if (ecr.abortRequested.exchange(false)) {
        ecr.answerTimeout = std::min(ecr.answerTimeout, kCloseAfterAbortTimeoutMs);
    }
    if (ecr.savedMode >= 0 && ecr.InitTransmission()) {
        ecr.EndTransmission();
        ecr.CloseTransmission();
    }
}

// One session with the register for the life of one command.
class CliSession {
  public:
    explicit CliSession(CommandContext& context)
        : context_(context),
          ui_(context.in, context.err, context.options.yes, context.stdinIsTerminal,
              context.stderrIsTerminal) {}

    ~CliSession() { EndSession(ecr_); }
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // Opens the port (the start requests go out) and identifies the register.
    bool Open() {
        if (context_.options.port.empty()) {
            context_.err << "Nie podano portu kasy: użyj opcji --port NAZWA.\n";
            return false;
        }
        ECRClass::LogCallback log;
        if (context_.options.log) {
            log = [this](const std::string& line, uint32_t) { context_.err << line << "\n"; };
        }
        ecr_.SetPortParams(context_.options.port, context_.options.baud, log, 0);
        if (!ecr_.InitTransmission()) {
            context_.err << kOpenFailedMessage << "\n";
            const std::string reason = PortOpenFailureReason(ecr_.OpenError(), ecr_.BaudRate());
            if (!reason.empty()) {
                context_.err << reason << "\n";
            }
            return false;
        }
        opened_ = true;
        if (!ecr_.Identify()) {
            Fail(ecr_.TransmissionErrorText());
            return false;
        }
        // The register's own type decides the tables; an unknown one falls back to --typ.
        std::string type = ecr_.IsIdentified() ? ecr_.ModelName() : context_.options.type;
        ActiveModelSelection().Select(type);
        return true;
    }
    void Fail(const std::string& text) { ui_.Message(kCaption, text); }
    // The register's fiscal flag, which decides what may be programmed; a failed read is
    // reported and gives no answer.
    std::optional<bool> Fiscal() {
        SessionDisplay display;
        if (!ReadStatusFlags(ecr_, ui_, kCaption, false, true, display)) {
            return std::nullopt;
        }
        return display.status.flags[2] != 0;
    }
    ECRClass& Ecr() { return ecr_; }
    TerminalUserInterface& Ui() { return ui_; }
    bool Opened() const { return opened_; }

  private:
    CommandContext& context_;
    TerminalUserInterface ui_;
    RegisterSession ecr_;
    bool opened_ = false;
};

// The abort flag that Ctrl+C raises while a send runs; none outside a send.
inline std::atomic<std::atomic<bool>*> interruptFlag{nullptr};

inline void RaiseAbortFlag(int) {
    if (std::atomic<bool>* flag = interruptFlag.load()) {
        flag->store(true);
    }
}

// While it lives, Ctrl+C raises the register object's abort flag instead of killing the
// program, so a send stops between two slices and the session still ends properly.
class InterruptRaisesAbort {
  public:
    explicit InterruptRaisesAbort(std::atomic<bool>& flag) {
        interruptFlag.store(&flag);
        previous_ = std::signal(SIGINT, RaiseAbortFlag);
    }
    ~InterruptRaisesAbort() {
        std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
        interruptFlag.store(nullptr);
    }
    InterruptRaisesAbort(const InterruptRaisesAbort&) = delete;
    InterruptRaisesAbort& operator=(const InterruptRaisesAbort&) = delete;

  private:
    void (*previous_)(int) = SIG_DFL;
};

}  // namespace kasa::cli
