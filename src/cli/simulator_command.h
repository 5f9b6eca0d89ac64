// "kasa symulator": runs the virtual register as its own process, so the program (or a
// second terminal) has a register to talk to without hardware. `args` are the words after
// the command name.
#pragma once

#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace kasa::cli {

// symulator [--typ zen|vesper] [--link ŚCIEŻKA] [--baud N] [--puste]
// Runs until SIGINT or SIGTERM.
int RunSymulator(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The same, running until `stop` becomes true; installs no signal handlers.
int RunSymulatorUntil(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      const std::atomic<bool>& stop);

}  // namespace kasa::cli
