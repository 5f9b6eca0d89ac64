// What the command line needs from the terminal it runs in; each system has its own file.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace kasa::cli {

// Makes the console show and take UTF-8 text, where it would not by itself.
void PrepareConsole();
// The arguments after the program name, as UTF-8 text.
std::vector<std::string> ProgramArguments(int argc, char** argv);
bool StandardInputIsTerminal();
bool StandardErrorIsTerminal();

// Writes UTF-8 text to the program's standard output or error: to a console as characters
// the console shows, to a pipe or a file as the bytes themselves. 0, or the errno value of
// the failed write.
int WriteStandardStream(std::FILE* stream, std::string_view text);
// Hands what was written to the system; 0, or the errno value of the failed write.
int FlushStandardStream(std::FILE* stream);

}  // namespace kasa::cli
