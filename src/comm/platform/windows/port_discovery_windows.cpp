// The serial ports as the system's device map lists them: each value of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM names a driver's device and holds its COM name.
#include <windows.h>

#include <algorithm>

#include "base/platform/windows/wide_text.h"
#include "comm/port_discovery.h"
#include "comm/port_monitor.h"
#include "comm/port_name.h"
#include "comm/serial_port_list.h"

namespace kasa {

namespace {

struct MappedPort {
    std::string device;  // the driver's device, e.g. \Device\Serial0
    std::string name;    // COM3
};

// nullopt when the map cannot be read; a machine without serial ports has no map at all.
std::optional<std::vector<MappedPort>> ReadDeviceMap() {
    HKEY key = nullptr;
    const LONG opened = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                                        KEY_QUERY_VALUE, &key);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return std::vector<MappedPort>{};
    }
    if (opened != ERROR_SUCCESS) {
        return std::nullopt;
    }
    std::vector<MappedPort> ports;
    for (DWORD index = 0;; ++index) {
        wchar_t valueName[256];
        wchar_t data[256];
        DWORD nameLength = 256;
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = ::RegEnumValueW(key, index, valueName, &nameLength, nullptr, &type,
                                            reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            continue;
        }
        data[dataBytes / sizeof(wchar_t)] = L'\0';
        ports.push_back(
            {Utf8FromWide(std::wstring_view(valueName, nameLength)), Utf8FromWide(data)});
    }
    ::RegCloseKey(key);
    std::sort(ports.begin(), ports.end(), [](const MappedPort& a, const MappedPort& b) {
        return PortNumberFromName(a.name) < PortNumberFromName(b.name);
    });
    return ports;
}

bool IsUsbDevice(const std::string& device) {
    std::string upper = device;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return upper.find("USB") != std::string::npos || upper.find("VCP") != std::string::npos;
}

}  // namespace

std::optional<std::vector<DeviceProperties>> EnumerateSerialDevices(bool, std::string& error) {
    const auto map = ReadDeviceMap();
    if (!map) {
        error =
            "Krytyczny błąd w poszukiwaniu portu.\r\nBłąd systemowy w wywołaniu funkcji "
            "RegOpenKeyEx.\r\n";
        return std::nullopt;
    }
    std::vector<DeviceProperties> devices;
    for (const MappedPort& port : *map) {
        DeviceProperties p;
        p.instanceId = port.device;
        p.description = IsUsbDevice(port.device) ? "Port szeregowy USB" : "Port szeregowy";
        p.friendlyName = p.description + " (" + port.name + ")";
        p.devicePath = port.name;
        p.usable = true;
        devices.push_back(std::move(p));
    }
    return devices;
}

std::vector<PortEntry> ListSerialPorts(const std::string&) {
    std::vector<PortEntry> ports;
    for (const MappedPort& port : ReadDeviceMap().value_or(std::vector<MappedPort>{})) {
        ports.push_back({port.name, "(" + port.device + ")"});
    }
    return ports;
}

// The device map sends no notices; the port list is refreshed on demand.
struct PortMonitor::Impl {};

PortMonitor::PortMonitor() : impl_(new Impl) {}

PortMonitor::~PortMonitor() {
    delete impl_;
}

int PortMonitor::Descriptor() const {
    return -1;
}

bool PortMonitor::TakeNotices() {
    return false;
}

}  // namespace kasa
