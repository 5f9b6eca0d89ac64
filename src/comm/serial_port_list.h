// The serial devices a user can choose from (each platform lists its own): on Linux the
// stable names under /dev/serial/by-id and the usual tty names of serial ports and USB
// adapters, on Windows the COM ports of the system's device map.
#pragma once

#include <string>
#include <vector>

namespace kasa {

struct PortEntry {
    std::string path;
    std::string description;
};

// The devices found under `devRoot` (normally "/dev"): first the links of serial/by-id
// with the device each leads to, then ttyS*, ttyUSB* and ttyACM*, each group in natural
// order (ttyS2 before ttyS10). Windows ignores `devRoot`.
std::vector<PortEntry> ListSerialPorts(const std::string& devRoot = "/dev");

// The line of the port list: the path, a blank and the description.
std::string PortEntryText(const PortEntry& entry);

}  // namespace kasa
