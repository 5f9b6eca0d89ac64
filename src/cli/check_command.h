// "kasa sprawdz": the validation that guards a write, run over a table file without a
// register, so a file can be checked before it is sent.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

int RunSprawdz(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
