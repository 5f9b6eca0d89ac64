// "kasa drukuj": lays a table from a file out as the window prints it and writes a PDF.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

int RunDrukuj(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
