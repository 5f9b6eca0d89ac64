// The serial devices attached to the machine, as the operating system's device service
// reports them: one record per device, recognised by the maker's words in its
// description, and a text report of them for the port list window. The platform file
// gathers each device's properties; everything read from them is done here, so the
// records and the report come out the same on every system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/serial_port_list.h"

namespace kasa {

// What the platform tells of one serial device. The identifiers are built in the
// system-neutral shape "USB\VID_vvvv&PID_pppp&REV_rrrr" and "USB\VID_vvvv&PID_pppp\serial"
// so that one set of parsing rules serves.
struct DeviceProperties {
    std::string instanceId;
    std::string hardwareId;
    std::string compatibleIds;
    std::string friendlyName;
    std::string description;
    std::string devicePath;  // what the program opens: a /dev/serial/by-id link or /dev/tty*
    bool usable = false;     // the device node is there and real hardware is behind it
};

struct KorvexPortsType {
    int32_t portNumber = 0;
    int32_t revision = 0;
    int32_t deviceTypeCode = 0;
    int32_t vendor = 0;
    uint64_t systemNumber = 0;
    uint32_t deviceNumber = 0;
    std::string productText;
    std::string systemId;
    std::string portText;
    std::string hardwareId;
    std::string compatibleIds;
    std::string description;
    bool usable = false;
};

// Whether a tty's kernel name is that of a serial port driver (ttyS3, ttyUSB0, ttyACM1,
// ttyAMA0, ...): consoles, pseudo terminals and virtual consoles (console, ptmx, tty, tty7)
// are not.
bool IsSerialTtyName(std::string_view kernelName);

// The maker's word in a device description as a code (0 for none).
int32_t DeviceTypeCode(std::string_view description);
// The system and device numbers from an instance id; both 0 for an id without "&".
void SystemAndDeviceNumbers(std::string_view instanceId, uint64_t& systemNumber,
                            uint32_t& deviceNumber);
// One record from the properties of a device.
KorvexPortsType RecordFromProperties(const DeviceProperties& device);

// The platform's list of serial devices; nullopt with `error` (two Polish lines) when the
// device service cannot be asked. `allDevices` includes the ports without a device behind.
std::optional<std::vector<DeviceProperties>> EnumerateSerialDevices(bool allDevices,
                                                                    std::string& error);

class UsbClass {
  public:
    bool AllDevices = false;
    bool NumberedPortsOnly = false;
    bool MakerDevicesOnly = false;
    bool Verbose = false;
    // The maker's USB vendor id in hexadecimal; empty keeps every USB serial device.
    std::string makerVendorId;

    // Fills the list; false, with the list empty and the error text set, when the device
    // service cannot be asked.
    bool ScanPorts();
    // Scans the given devices instead of the platform's.
    void ScanDevices(const std::vector<DeviceProperties>& devices);
    // Appends the report of every device to the report text.
    void BuildReport();

    size_t DeviceCount() const { return devices_.size(); }
    const KorvexPortsType& Device(size_t i) const { return devices_[i]; }
    const std::string& Report() const { return report_; }
    const std::string& Error() const { return error_; }

  private:
    bool Kept(const KorvexPortsType& record) const;

    std::vector<KorvexPortsType> devices_;
    std::string report_;
    std::string error_;
};

// The ports the settings window offers: the scan's devices that can be opened, each by
// its path with its description; the device folders' list when udev cannot be asked.
std::vector<PortEntry> AttachedSerialPorts();

// The report split at CR and LF into the lines of the port list window; nothing for an
// empty text.
std::vector<std::string> ReportLines(std::string_view report);

}  // namespace kasa
