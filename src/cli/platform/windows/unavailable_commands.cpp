// Commands whose means are missing from the Windows version: printing needs Qt, and the
// virtual register needs a pseudo-terminal.
#include <ostream>

#include "cli/command_line.h"
#include "cli/print_command.h"
#include "cli/simulator_command.h"

namespace kasa::cli {

namespace {
int Unavailable(std::ostream& err, const char* command) {
    err << "Polecenie „" << command
        << "” nie jest dostępne w tej wersji programu (Windows); jest w wersji dla Linuksa.\n";
    return kExitUsage;
}
}  // namespace

int RunDrukuj(CommandContext& context, const std::vector<std::string>&) {
    return Unavailable(context.err, "drukuj");
}

int RunSymulator(const std::vector<std::string>&, std::ostream&, std::ostream& err) {
    return Unavailable(err, "symulator");
}

}  // namespace kasa::cli
