// Defaults of the command line's global options, taken from the settings file.
#pragma once

#include <string>

#include "cli/register_commands.h"

namespace kasa::cli {

// Fills the port, speed, register type and minPLU from the settings file (`configPath`,
// or the program's usual config.cfg when empty); a missing file leaves the defaults.
void LoadOptionDefaults(const std::string& configPath, GlobalOptions& options);

}  // namespace kasa::cli
