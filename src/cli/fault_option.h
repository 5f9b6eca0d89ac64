// The faults "kasa symulator --usterka" injects into the virtual register, so a technician
// or a script can reproduce a misbehaving register without writing code.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/fault_option_help.h"
#include "sim/virtual_register.h"

namespace kasa::cli {

// "RODZAJ[=WARTOŚĆ][:co=N|:po=N|:raz]", e.g. "brak-odpowiedzi:co=100", "suma:raz",
// "status=24:po=3"; nullopt and a Polish `error` naming the fault when it is wrong.
std::optional<sim::Fault> ParseFaultOption(std::string_view text, std::string& error);

}  // namespace kasa::cli
