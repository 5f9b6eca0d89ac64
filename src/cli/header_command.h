// "kasa naglowek": prints the receipt header, or programs it from a text file.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

// `args` are the words after "naglowek": none, or "ustaw" and the file.
int RunNaglowek(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
