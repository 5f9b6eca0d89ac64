#include "comm/port_discovery.h"

#include <algorithm>

#include "base/number_text.h"

namespace kasa {

namespace {

constexpr std::string_view kEnd = "\r\n";

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return upper;
}

bool Contains(std::string_view text, std::string_view word) {
    return text.find(word) != std::string_view::npos;
}

// The hexadecimal digits at the front of `text`, as a number.
uint64_t LeadingHex(std::string_view text) {
    uint64_t value = 0;
    for (size_t i = 0; i < text.size() && i < 16 && HexDigitValue(text[i]) >= 0; ++i) {
        value = value * 16 + static_cast<uint64_t>(HexDigitValue(text[i]));
    }
    return value;
}

// The decimal digits at the front of `text`, as a number (bounded).
int32_t LeadingDecimal(std::string_view text) {
    int32_t value = 0;
    for (size_t i = 0; i < text.size() && i < 9 && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// What follows `word` in `text`, or nothing.
std::string_view After(std::string_view text, std::string_view word) {
    const size_t at = text.find(word);
    return at == std::string_view::npos ? std::string_view() : text.substr(at + word.size());
}

// A model word followed by the COM0 / COM1 choice of its two codes.
int32_t ComCode(std::string_view description, int32_t com0, int32_t com1) {
    return Contains(description, "COM0") ? com0 : Contains(description, "COM1") ? com1 : 0;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string_view::npos; start = at + 1) {
        parts.push_back(text.substr(start, at - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

bool IsSerialTtyName(std::string_view kernelName) {
    static constexpr std::string_view kPrefixes[] = {
        "ttyUSB", "ttyACM", "ttyAMA", "ttySAC", "ttymxc", "ttyTHS",
        "ttyMSM", "ttyHS",  "ttyO",   "ttyXR",  "ttyS",   "rfcomm",
    };
    for (const std::string_view prefix : kPrefixes) {
        if (kernelName.size() > prefix.size() && kernelName.substr(0, prefix.size()) == prefix &&
            kernelName.find_first_not_of("0123456789", prefix.size()) == std::string_view::npos) {
            return true;
        }
    }
    return false;
}

int32_t DeviceTypeCode(std::string_view description) {
    const std::string d = Upper(description);
    if (Contains(d, "ROSTAL USB")) {
        return 1;
    }
    if (Contains(d, "DELMAR USB")) {
        return 2;
    }
    if (Contains(d, "KOPIA ELEKTR")) {
        return 3;
    }
    if (Contains(d, "RX-4")) {
        return ComCode(d, 4, 5);
    }
    if (Contains(d, "PQ410")) {
        return ComCode(d, 8, 9);
    }
    if (Contains(d, "VESPER")) {
        return ComCode(d, 6, 7);
    }
    const size_t com = d.find("COM1,");
    return com != std::string::npos && d.find("EJ", com) != std::string::npos ? 5 : 0;
}

void SystemAndDeviceNumbers(std::string_view instanceId, uint64_t& systemNumber,
                            uint32_t& deviceNumber) {
    systemNumber = 0;
    deviceNumber = 0;
    const std::string id = Upper(instanceId);
    const std::vector<std::string_view> parts = Split(id, '&');
    int k = 0;
    for (int i = std::min<int>(10, static_cast<int>(parts.size()) - 1); i >= 1 && k == 0; --i) {
        k = parts[static_cast<size_t>(i)].empty() ? 0 : i;
    }
    if (k == 0) {
        return;
    }
    deviceNumber = static_cast<uint32_t>(LeadingHex(parts[static_cast<size_t>(k)]));
    if (k - 2 > 0) {
        const std::string_view base = parts[static_cast<size_t>(k - 3)];
        const size_t slash = base.find('\\');
        const uint64_t low =
            slash == std::string_view::npos ? 0 : LeadingHex(base.substr(slash + 1));
        systemNumber = (LeadingHex(parts[static_cast<size_t>(k - 2)]) << 8) | low;
    }
}

KorvexPortsType RecordFromProperties(const DeviceProperties& device) {
    KorvexPortsType record;
    record.systemId = device.instanceId;
    record.description = device.description;
    record.deviceTypeCode = DeviceTypeCode(device.description);
    record.hardwareId = Upper(device.hardwareId);
    const std::vector<std::string_view> hardwareParts = Split(record.hardwareId, '&');
    // An id without "&" has no product part.
    record.productText = hardwareParts.size() > 1 ? std::string(hardwareParts[1]) : std::string();
    record.revision = LeadingDecimal(After(record.hardwareId, "REV_"));
    record.vendor = static_cast<int32_t>(LeadingHex(After(record.hardwareId, "VID_").substr(0, 4)));
    record.compatibleIds = device.compatibleIds;
    record.portNumber = LeadingDecimal(After(device.friendlyName, "(COM"));
    record.usable = device.usable;
    if (!device.devicePath.empty()) {
        record.portText = device.devicePath;
    } else if (record.portNumber > 0) {
        record.portText = "com" + DecimalText(record.portNumber);
    } else {
        record.portText = "Port szeregowy niezdefiniowany";
    }
    SystemAndDeviceNumbers(device.instanceId, record.systemNumber, record.deviceNumber);
    return record;
}

bool UsbClass::Kept(const KorvexPortsType& record) const {
    if (NumberedPortsOnly && record.portNumber < 1 && !record.usable) {
        return false;
    }
    if (MakerDevicesOnly) {
        const std::string id = Upper(record.systemId);
        const std::string vendor = Upper(makerVendorId);
        return vendor.empty()
                   ? id.rfind("USB\\", 0) == 0
                   : Contains(id, "VID_" +
                                      std::string(4 - std::min<size_t>(vendor.size(), 4), '0') +
                                      vendor);
    }
    return true;
}

void UsbClass::ScanDevices(const std::vector<DeviceProperties>& devices) {
    devices_.clear();
    error_.clear();
    for (const DeviceProperties& device : devices) {
        KorvexPortsType record = RecordFromProperties(device);
        if (Verbose) {
            report_ += Upper(device.instanceId) + std::string(kEnd) +
                       "HARDWAREID:    " + device.hardwareId + std::string(kEnd) +
                       "COMPATIBLEIDS: " + device.compatibleIds + std::string(kEnd) +
                       "FRIENDLYNAME:  " + device.friendlyName + std::string(kEnd) +
                       "Driver desc:   " + device.description + std::string(kEnd) +
                       std::string(kEnd);
        }
        if (Kept(record)) {
            devices_.push_back(std::move(record));
        }
    }
}

bool UsbClass::ScanPorts() {
    std::string error;
    const std::optional<std::vector<DeviceProperties>> devices =
        EnumerateSerialDevices(AllDevices, error);
    if (!devices) {
        devices_.clear();
        error_ = error;
        return false;
    }
    ScanDevices(*devices);
    return true;
}

void UsbClass::BuildReport() {
    for (const KorvexPortsType& d : devices_) {
        const std::string lines[] = {
            d.portText,
            "HardwareId:         " + d.hardwareId,
            "Version:            " + FormatDouble("%0.2f", d.revision / 100.0),
            "SystemID:           " + d.systemId,
            "Numer systemowy:    " + HexText(d.systemNumber, 0),
            "Numer urzadzenia:   " + HexText(d.deviceNumber, 0),
            "Identyfikator:      " + d.compatibleIds,
            "Nazwa urzadzenia:   " + d.description,
            "Kod urzadzenia:     " + HexText(static_cast<uint32_t>(d.deviceTypeCode), 0),
            "Vendor odczytany:   0x" + HexText(static_cast<uint32_t>(d.vendor), 0),
            "PID konfiguracyjny: " + d.productText,
            "",
        };
        for (const std::string& line : lines) {
            report_ += line;
            report_ += kEnd;
        }
    }
}

std::vector<PortEntry> AttachedSerialPorts() {
    UsbClass scan;
    scan.NumberedPortsOnly = true;
    if (!scan.ScanPorts()) {
        return ListSerialPorts();
    }
    std::vector<PortEntry> ports;
    for (size_t i = 0; i < scan.DeviceCount(); ++i) {
        const KorvexPortsType& device = scan.Device(i);
        ports.push_back({device.portText, "(" + device.description + ")"});
    }
    return ports;
}

std::vector<std::string> ReportLines(std::string_view report) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < report.size()) {
        size_t end = report.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            end = report.size();
        }
        lines.emplace_back(report.substr(start, end - start));
        // CR LF ends one line.
        start = end + (report.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace kasa
