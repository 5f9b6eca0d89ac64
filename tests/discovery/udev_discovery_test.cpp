// The scan over recorded devices: umockdev presents a USB adapter, a CDC-ACM device, two
// 16550 slots (one without a chip), a register whose description names its port, and the
// console, the pseudo terminal master and virtual consoles, which are no ports.
#include <gtest/gtest.h>
#include <umockdev.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "comm/port_discovery.h"

namespace kasa {
namespace {

class UdevDiscovery : public ::testing::Test {
  protected:
    void SetUp() override {
        // The wrapper preloads its library without a path, which the library's own test misses.
        const char* preload = std::getenv("LD_PRELOAD");
        if (preload == nullptr || std::strstr(preload, "libumockdev-preload") == nullptr) {
            GTEST_SKIP() << "umockdev nie działa w tym środowisku (brak umockdev-wrapper).";
        }
        bed_ = umockdev_testbed_new();
        AddUsb("1-1", "0403", "6001", "0600", "A1B2", "FT232R USB UART", "ttyUSB0",
               "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0");
        AddUsb("1-2", "2a03", "0043", "0001", "7543", "Kasa VESPER USB COM1", "ttyACM0", "");
        gchar* platform =
            umockdev_testbed_add_device(bed_, "platform", "serial8250", nullptr, nullptr, nullptr);
        Add("ttyS0", platform, "4", "");
        Add("ttyS1", platform, "0", "");
        g_free(platform);
        // What every system has besides its ports: no driver's device above them.
        for (const char* virtualTty : {"console", "ptmx", "tty", "tty0", "tty7"}) {
            Add(virtualTty, nullptr, "0", "");
        }
    }
    void TearDown() override {
        if (bed_ != nullptr) {
            g_object_unref(bed_);
        }
    }

    void Add(const char* name, const char* parent, const char* type, const std::string& link) {
        const std::string node = std::string("/dev/") + name;
        gchar* tty =
            umockdev_testbed_add_device(bed_, "tty", name, parent, "type", type, nullptr, "DEVNAME",
                                        node.c_str(), "DEVLINKS", link.c_str(), nullptr);
        g_free(tty);
    }
    void AddUsb(const char* name, const char* vendor, const char* product, const char* revision,
                const char* serial, const char* productName, const char* tty,
                const std::string& link) {
        gchar* usb =
            umockdev_testbed_add_device(bed_, "usb", name, nullptr, "idVendor", vendor, "idProduct",
                                        product, "bcdDevice", revision, "serial", serial, "product",
                                        productName, nullptr, "DEVTYPE", "usb_device", nullptr);
        Add(tty, usb, "0", link);
        g_free(usb);
    }

    UMockdevTestbed* bed_ = nullptr;
};

TEST_F(UdevDiscovery, AttachedPortsAreFoundWithTheirIdentifiers) {
    UsbClass scan;
    scan.AllDevices = true;
    ASSERT_TRUE(scan.ScanPorts()) << scan.Error();
    std::vector<std::string> found;
    for (size_t i = 0; i < scan.DeviceCount(); ++i) {
        const KorvexPortsType& d = scan.Device(i);
        found.push_back(d.portText + "|" + d.hardwareId + "|" + d.systemId + "|" + d.description +
                        "|" + std::to_string(d.deviceTypeCode));
    }
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found,
              (std::vector<std::string>{
                  "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0|USB\\VID_"
                  "0403&PID_6001&REV_0600|USB\\VID_0403&PID_6001\\A1B2|FT232R USB UART|0",
                  "/dev/ttyACM0|USB\\VID_2A03&PID_0043&REV_0001|USB\\VID_2A03&PID_0043\\7543|"
                  "Kasa VESPER USB COM1|7",
                  "/dev/ttyS0||SERIAL\\ttyS0|Port szeregowy|0",
                  "/dev/ttyS1||SERIAL\\ttyS1|Port szeregowy|0"}));

    // The slot without a chip is no port to offer; the maker's devices are the USB ones.
    scan.NumberedPortsOnly = true;
    ASSERT_TRUE(scan.ScanPorts());
    for (size_t i = 0; i < scan.DeviceCount(); ++i) {
        EXPECT_NE(scan.Device(i).portText, "/dev/ttyS1");
    }
    scan.NumberedPortsOnly = false;
    scan.MakerDevicesOnly = true;
    scan.makerVendorId = "2A03";
    ASSERT_TRUE(scan.ScanPorts());
    ASSERT_EQ(scan.DeviceCount(), 1u);
    scan.BuildReport();
    EXPECT_EQ(ReportLines(scan.Report())[2], "Version:            0.01");
}

}  // namespace
}  // namespace kasa
