#include "comm/port_name.h"

namespace kasa {

std::string DevicePathForName(std::string_view name) {
    if (!name.empty() && name[0] == '/') {
        return std::string(name);
    }
    const int number = PortNumberFromName(name);
    if (number < 1) {
        return {};
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

}  // namespace kasa
