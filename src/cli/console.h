// What the command line needs from the terminal it runs in; each system has its own file.
#pragma once

#include <string>
#include <vector>

namespace kasa::cli {

// Makes the console show and take UTF-8 text, where it would not by itself.
void PrepareConsole();
// The arguments after the program name, as UTF-8 text.
std::vector<std::string> ProgramArguments(int argc, char** argv);
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

}  // namespace kasa::cli
