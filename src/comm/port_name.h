// How a configured port name becomes the device that is opened.
#pragma once

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

}  // namespace kasa
