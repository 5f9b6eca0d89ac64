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
constexpr std::string_view kTcpScheme = "tcp://";
constexpr std::string_view kTelnetScheme = "rfc2217://";

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c) != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}
}  // namespace

bool IsNetworkPortName(std::string_view name) {
    return StartsWithNoCase(name, kTcpScheme) || StartsWithNoCase(name, kTelnetScheme);
}

std::optional<NetworkPortName> ParseNetworkPortName(std::string_view name) {
    NetworkPortName result;
    if (StartsWithNoCase(name, kTcpScheme)) {
        name.remove_prefix(kTcpScheme.size());
    } else if (StartsWithNoCase(name, kTelnetScheme)) {
        name.remove_prefix(kTelnetScheme.size());
        result.telnet = true;
    } else {
        return std::nullopt;
    }
    std::string_view portText;
    if (!name.empty() && name[0] == '[') {
        const size_t close = name.find(']');
        if (close == std::string_view::npos || close + 1 >= name.size() || name[close + 1] != ':') {
            return std::nullopt;
        }
        result.host = std::string(name.substr(1, close - 1));
        portText = name.substr(close + 2);
        if (result.host.empty() ||
            result.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos) {
            return std::nullopt;
        }
    } else {
        const size_t colon = name.rfind(':');
        if (colon == std::string_view::npos || colon == 0) {
            return std::nullopt;
        }
        result.host = std::string(name.substr(0, colon));
        portText = name.substr(colon + 1);
        for (const char c : result.host) {
            if (!IsHostCharacter(c)) {
                return std::nullopt;
            }
        }
    }
    if (portText.empty() || portText.size() > 5) {
        return std::nullopt;
    }
    int port = 0;
    for (const char c : portText) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        port = port * 10 + (c - '0');
    }
    if (port < 1 || port > 65535) {
        return std::nullopt;
    }
    result.port = static_cast<uint16_t>(port);
    return result;
}

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
