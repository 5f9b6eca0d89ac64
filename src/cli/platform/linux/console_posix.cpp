#include <unistd.h>

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

}  // namespace kasa::cli
