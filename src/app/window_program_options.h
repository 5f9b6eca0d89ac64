// The window program's command line: what it starts with, and the usage and version texts
// it prints and exits with, before any window (or display) is needed.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "update/auto_upgrade.h"

namespace kasa {

struct WindowProgramOptions {
    std::string configPath;       // --config; empty: the usual place
    bool demo = false;            // --demo: the built-in register until a port is picked
    bool noUpgradeCheck = false;  // --bez-aktualizacji: no upgrade check in this run
    UpgradeSource upgrade;        // where the check looks; no address: no check
    std::string backupFolder;     // where writes keep their backups; empty: the usual place
};

// Reads the arguments after the program name. --help and --version print to `out`, a
// missing value prints a Polish message to `err`; then the exit code is returned and the
// program ends. Otherwise nullopt: the program runs with `options`. Arguments it does not
// know are left to the window toolkit.
std::optional<int> ParseWindowProgramArguments(const std::vector<std::string>& arguments,
                                               WindowProgramOptions& options, std::ostream& out,
                                               std::ostream& err);

// Whether a graphical session is there to open the window in; each platform asks its own
// way. When there is none, the program prints NoDisplayMessage and ends.
bool HasGraphicalDisplay();
const char* NoDisplayMessage();

}  // namespace kasa
