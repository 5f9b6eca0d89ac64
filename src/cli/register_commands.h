// The command line's commands that talk to a register: one process is one session.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace kasa::cli {

struct GlobalOptions {
    std::string port;
    int baud = 9600;
    std::string type = "Vesper";
    std::string config;
    bool log = false;
    bool yes = false;
    int minPlu = 1;
    int errorMax = 0;  // the fault limit of checks; corrected when a check starts
};

struct CommandContext {
    GlobalOptions options;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool stdinIsTerminal = false;
    bool stderrIsTerminal = false;
    // Where the backups of writes go; empty: the user's own folder (BackupFolder).
    std::string backupFolder;
};

// Tells a wrong use of a command: `lead` when there is one, then the command's usage text.
// Returns the usage exit code.
int UsageFailure(CommandContext& context, std::string_view lead, std::string_view usage);

// Each returns the exit code; `args` are the words after the command's name.
int RunInfo(CommandContext& context, const std::vector<std::string>& args);
int RunOdczyt(CommandContext& context, const std::vector<std::string>& args);
int RunVat(CommandContext& context, const std::vector<std::string>& args);
int RunTotalizery(CommandContext& context, const std::vector<std::string>& args);
int RunZegar(CommandContext& context, const std::vector<std::string>& args);
int RunWyslij(CommandContext& context, const std::vector<std::string>& args);
// Converts a table between the file kinds, without a register.
int RunPlik(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
