#include "comm/port_name.h"

namespace kasa {

namespace {
constexpr int kHighestPort = 256;
}  // namespace

std::string DevicePathForName(std::string_view name) {
    // "\\.\com12" is the form the transport keeps for ports from 10 on.
    const std::string_view prefix = "\\\\.\\";
    if (name.substr(0, prefix.size()) == prefix) {
        name.remove_prefix(prefix.size());
    }
    const int number = PortNumberFromName(name);
    if (number < 1 || number > kHighestPort || name.size() < 4 || name[0] == '\\' ||
        name[0] == '.' || name[0] == '/') {
        return {};
    }
    return "\\\\.\\COM" + std::to_string(number);
}

}  // namespace kasa
