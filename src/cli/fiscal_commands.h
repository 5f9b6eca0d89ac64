// "kasa pamiec" reads the fiscal memory; "kasa uprawnienia" shows a cashier's permissions.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

int RunPamiec(CommandContext& context, const std::vector<std::string>& args);
int RunUprawnienia(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
