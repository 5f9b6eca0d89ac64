// How a configured port name becomes the device that is opened.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kasa {

// "COM3" gives 3; a name starting with a backslash, a point or a slash gives the digits
// from its second character on; any other name, or one shorter than three characters, 0.
int PortNumberFromName(std::string_view name);
// "com3" up to 9, "\\.\com12" from 10 on.
std::string DeviceNameForPort(std::string_view name);
// The path opened on this system, empty when the name has no device. Linux: a name
// starting with "/" is used as given, comN is /dev/ttyS(N-1). Windows: com1 to com256,
// also written \\.\comN, open as \\.\COMN.
std::string DevicePathForName(std::string_view name);

// A register behind a serial device server: "tcp://HOST:PORT" carries the line's bytes as
// they are, "rfc2217://HOST:PORT" inside Telnet with the line settings negotiated. HOST is a
// name, an IPv4 address or an IPv6 address in brackets; PORT is 1 to 65535.
struct NetworkPortName {
    bool telnet = false;  // rfc2217://
    std::string host;     // without the brackets of an IPv6 address
    uint16_t port = 0;
};
// Whether the name starts as a network port does (in any letter case), well formed or not.
bool IsNetworkPortName(std::string_view name);
// The parts of a well-formed network port name; nothing for any other name.
std::optional<NetworkPortName> ParseNetworkPortName(std::string_view name);

}  // namespace kasa
