#include "comm/port_name.h"

namespace kasa {

namespace {
int DigitsFrom(std::string_view name, size_t from) {
    int value = 0;
    for (size_t i = from; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        value = value * 10 + (name[i] - '0');
        if (value > 100000) {
            break;
        }
    }
    return value;
}

bool IsComPrefix(std::string_view name) {
    const auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
    return name.size() >= 3 && lower(name[0]) == 'c' && lower(name[1]) == 'o' &&
           lower(name[2]) == 'm';
}
}  // namespace

int PortNumberFromName(std::string_view name) {
    if (name.size() < 3) {
        return 0;
    }
    if (IsComPrefix(name)) {
        return DigitsFrom(name, 3);
    }
    if (name[0] == '\\' || name[0] == '.' || name[0] == '/') {
        return DigitsFrom(name, 1);
    }
    return 0;
}

std::string DeviceNameForPort(std::string_view name) {
    const int number = PortNumberFromName(name);
    const std::string digits = std::to_string(number);
    return number <= 9 ? "com" + digits : "\\\\.\\com" + digits;
}

}  // namespace kasa
