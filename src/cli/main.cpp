#include <iostream>

#include "cli/command_line.h"
#include "cli/console.h"

int main(int argc, char** argv) {
    kasa::cli::PrepareConsole();
    return kasa::cli::Run(argc, argv, std::cin, std::cout, std::cerr);
}
