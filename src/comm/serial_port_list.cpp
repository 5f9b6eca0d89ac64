#include "comm/serial_port_list.h"

namespace kasa {

std::string PortEntryText(const PortEntry& entry) {
    if (entry.description.empty()) {
        return entry.path;
    }
    return entry.path + " " + entry.description;
}

}  // namespace kasa
