#include <iostream>

#include "cli/command_line.h"

int main(int argc, char** argv) {
    return kasa::cli::Run(argc, argv, std::cin, std::cout, std::cerr);
}
