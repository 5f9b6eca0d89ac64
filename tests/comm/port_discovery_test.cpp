#include "comm/port_discovery.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kasa {
namespace {

TEST(PortDiscovery, OnlySerialDriversNamesArePorts) {
    for (const char* port :
         {"ttyS0", "ttyS31", "ttyUSB0", "ttyACM12", "ttyAMA0", "ttymxc1", "rfcomm0"}) {
        EXPECT_TRUE(IsSerialTtyName(port)) << port;
    }
    for (const char* other : {"console", "ptmx", "tty", "tty0", "tty63", "ttyprintk", "ttyS",
                              "ttyUSB", "ttySx1", "ttyS0a", "", "vcs1", "ttynull"}) {
        EXPECT_FALSE(IsSerialTtyName(other)) << other;
    }
}

TEST(PortDiscovery, DeviceTypeCodesFollowTheFirstMatchingWord) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"Rostal USB port", 1}, {"delmar usb", 2},       {"Kopia elektr. COM1", 3},
        {"RX-4 COM0", 4},       {"rx-4 com1", 5},        {"RX-4 bez portu", 0},
        {"PQ410 COM1", 9},      {"VESPER kasa COM1", 7}, {"Vesper COM0", 6},
        {"Port COM1, EJ", 5},   {"Port EJ COM1,", 0},    {"FT232R USB UART", 0}};
    for (const auto& [description, code] : cases) {
        EXPECT_EQ(DeviceTypeCode(description), code) << description;
    }
}

TEST(PortDiscovery, SystemAndDeviceNumbersComeFromTheInstanceId) {
    uint64_t system = 1;
    uint32_t device = 1;
    SystemAndDeviceNumbers("PCI\\VEN_8086&DEV_1E3D&SUBSYS\\3&11583659&0&b0", system, device);
    // The last part is the device; two before it, shifted by 8, with the "3" after "\".
    EXPECT_EQ(device, 0xB0u);
    EXPECT_EQ(system, 0x1158365903u);
    SystemAndDeviceNumbers("USB\\VID_0403\\A1", system, device);
    EXPECT_EQ(system, 0u);
    EXPECT_EQ(device, 0u);
}

DeviceProperties Adapter() {
    DeviceProperties d;
    d.instanceId = "USB\\VID_0403&PID_6001\\A1B2";
    d.hardwareId = "usb\\vid_0403&pid_6001&rev_0100";
    d.description = "KASA VESPER USB COM1";
    d.friendlyName = d.description + " (/dev/serial/by-id/usb-FTDI-if00)";
    d.devicePath = "/dev/serial/by-id/usb-FTDI-if00";
    d.usable = true;
    return d;
}

TEST(PortDiscovery, ReportListsEveryKeptDeviceInOrder) {
    DeviceProperties placeholder;
    placeholder.instanceId = "SERIAL\\ttyS3";
    placeholder.description = "Port szeregowy";
    UsbClass scan;
    scan.NumberedPortsOnly = true;
    scan.ScanDevices({placeholder, Adapter()});
    ASSERT_EQ(scan.DeviceCount(), 1u);
    scan.BuildReport();
    EXPECT_EQ(ReportLines(scan.Report()),
              (std::vector<std::string>{
                  "/dev/serial/by-id/usb-FTDI-if00",
                  "HardwareId:         USB\\VID_0403&PID_6001&REV_0100", "Version:            1.00",
                  "SystemID:           USB\\VID_0403&PID_6001\\A1B2", "Numer systemowy:    0",
                  "Numer urzadzenia:   0", "Identyfikator:      ",
                  "Nazwa urzadzenia:   KASA VESPER USB COM1", "Kod urzadzenia:     7",
                  "Vendor odczytany:   0x403", "PID konfiguracyjny: PID_6001", ""}));

    // Without a path and a "(COM" the port is undefined; an id without "&" has no product.
    placeholder.hardwareId = "ACPI\\PNP0501";
    const KorvexPortsType record = RecordFromProperties(placeholder);
    EXPECT_EQ(record.portText, "Port szeregowy niezdefiniowany");
    EXPECT_EQ(record.productText, "");
    EXPECT_TRUE(ReportLines("").empty());
}

TEST(PortDiscovery, MakerDevicesAreTheVendorsOrEveryUsbDevice) {
    DeviceProperties plain;
    plain.instanceId = "SERIAL\\ttyS0";
    plain.usable = true;
    UsbClass scan;
    scan.MakerDevicesOnly = true;
    scan.ScanDevices({plain, Adapter()});
    EXPECT_EQ(scan.DeviceCount(), 1u);
    scan.makerVendorId = "1a86";
    scan.ScanDevices({plain, Adapter()});
    EXPECT_EQ(scan.DeviceCount(), 0u);
    scan.makerVendorId = "403";
    scan.ScanDevices({plain, Adapter()});
    EXPECT_EQ(scan.DeviceCount(), 1u);
}

TEST(PortDiscovery, MakerVendorIsMatchedOnlyRightAfterVid) {
    // The product id and the serial number hold the digits of other vendors.
    DeviceProperties adapter = Adapter();
    adapter.instanceId = "USB\\VID_0403&PID_6001\\A52A03X";
    UsbClass scan;
    scan.MakerDevicesOnly = true;
    for (const char* other : {"6001", "2A03", "2a03", "A52A", "PID_"}) {
        scan.makerVendorId = other;
        scan.ScanDevices({adapter});
        EXPECT_EQ(scan.DeviceCount(), 0u) << other;
    }
    for (const char* own : {"0403", "403"}) {
        scan.makerVendorId = own;
        scan.ScanDevices({adapter});
        EXPECT_EQ(scan.DeviceCount(), 1u) << own;
    }
}

}  // namespace
}  // namespace kasa
