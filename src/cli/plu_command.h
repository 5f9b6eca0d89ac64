// "kasa plu": the goods data tools over a table file, the result written to another file,
// so data from elsewhere can be fixed up before it is loaded or sent.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

int RunPlu(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
