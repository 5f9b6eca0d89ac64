// "kasa weryfikuj": asks the register whether a printed document, typed into a small
// text file, was printed by a device of its maker.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

// Exit code of a document the register does not confirm.
inline constexpr int kExitNotAuthentic = 3;

// `args`: the file, or "--przyklad" and the example's number.
int RunWeryfikuj(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
