// "kasa porty": the report of the serial devices attached, as the port list window shows it.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

int RunPorty(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
