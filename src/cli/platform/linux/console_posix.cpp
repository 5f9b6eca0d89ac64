#include <unistd.h>

#include "cli/console.h"

namespace kasa::cli {

void PrepareConsole() {}

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
