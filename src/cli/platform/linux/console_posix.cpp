#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "cli/console.h"

namespace kasa::cli {

void PrepareConsole() {
    // A reader that went away (kasa ... | head) is a failed write the command reports,
    // not a signal that ends the program before it can close the register's session.
    std::signal(SIGPIPE, SIG_IGN);
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool StandardInputIsTerminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool StandardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) != 0;
}

int WriteStandardStream(std::FILE* stream, std::string_view text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stream) == text.size()) {
        return 0;
    }
    // A short write without an error from the system is still a write that did not happen.
    return errno != 0 ? errno : EIO;
}

int FlushStandardStream(std::FILE* stream) {
    errno = 0;
    if (std::fflush(stream) == 0) {
        return 0;
    }
    return errno != 0 ? errno : EIO;
}

}  // namespace kasa::cli
