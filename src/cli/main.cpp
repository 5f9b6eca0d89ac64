#include <cstdio>
#include <iostream>

#include "cli/checked_output.h"
#include "cli/command_line.h"
#include "cli/console.h"

int main(int argc, char** argv) {
    kasa::cli::PrepareConsole();
    // Standard output keeps the cause of a failed write, which the end of the command tells.
    kasa::cli::CheckedFileBuffer buffer(stdout);
    std::ostream out(&buffer);
    // Messages go out at once, as through std::cerr, but the same way as the output does.
    kasa::cli::CheckedFileBuffer errorBuffer(stderr);
    std::ostream err(&errorBuffer);
    err.setf(std::ios::unitbuf);
    return kasa::cli::Run(argc, argv, std::cin, out, err);
}
