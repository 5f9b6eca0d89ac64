// The sequence commands of the command line: compiling a source and converting between
// `.sek` lines and `.bin` frames. `args` are the words after the command name.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace kasa::cli {

// kompiluj ŹRÓDŁO.txt WYJŚCIE.bin | kompiluj --opis
int RunKompiluj(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// sek2bin WEJŚCIE.sek WYJŚCIE.bin
int RunSek2Bin(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// bin2sek WEJŚCIE.bin WYJŚCIE.sek
int RunBin2Sek(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kasa::cli
