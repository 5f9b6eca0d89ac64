// What `kasa wyslij` sends: a file's bytes unchanged, each line of a `.sek` as its own
// frame, or the output of a compiled source.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace kasa::cli {

inline constexpr const char* kWyslijUsage =
    "Użycie: kasa [OPCJE] wyslij PLIK\n"
    "        kasa [OPCJE] wyslij --ramki PLIK.sek\n"
    "        kasa [OPCJE] wyslij --kompiluj PLIK.txt\n";

struct SendPieces {
    std::vector<std::string> pieces;  // sent one after another, each as one send
    std::optional<int> exitCode;      // set when nothing is to be sent
};

// Reads and prepares everything before the port is opened, so a bad file sends nothing.
SendPieces PrepareSend(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kasa::cli
