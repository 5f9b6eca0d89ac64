// The "kasa" command line: parses the arguments and runs one command.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kasa::cli {

// Exit codes of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err);
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err);
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err, bool stdinIsTerminal, bool stderrIsTerminal,
        const std::string& backupFolder = {});
std::string UsageText();

}  // namespace kasa::cli
