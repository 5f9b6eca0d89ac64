// The command line's commands that change the register's databases: writing tables from a
// file and deleting a database.
#pragma once

#include <string>
#include <vector>

#include "cli/register_commands.h"

namespace kasa::cli {

// kasa zapis TABELA PLIK [--od N --do M] [--wyczysc] [--dalej]; kasa zapis wszystko PLIK.pod
int RunZapis(CommandContext& context, const std::vector<std::string>& args);
// kasa kasuj TABELA [--bez-sprawdzania]
int RunKasuj(CommandContext& context, const std::vector<std::string>& args);

}  // namespace kasa::cli
