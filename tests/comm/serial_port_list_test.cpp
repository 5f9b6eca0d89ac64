#include "comm/serial_port_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

TEST(SerialPortList, FindsDevicesInNaturalOrder) {
    const testing::ScratchFolder dev;
    ASSERT_TRUE(dev.Valid());
    namespace fs = std::filesystem;
    const fs::path root = dev.Path("");
    for (const char* name :
         {"ttyS10", "ttyS2", "ttyS0", "ttyUSB0", "ttyACM1", "ttySX", "tty1", "ttyUSB"}) {
        dev.Write(name, "\n");
    }
    fs::create_directories(root / "serial" / "by-id");
    fs::create_symlink("../../ttyUSB0", root / "serial" / "by-id" / "usb-Korvex_Vesper-if00");
    const std::string rootText = dev.Path("").substr(0, dev.Path("").size() - 1);
    const std::vector<PortEntry> ports = ListSerialPorts(rootText);
    std::vector<std::string> paths;
    for (const PortEntry& port : ports) {
        paths.push_back(port.path.substr(rootText.size()));
    }
    EXPECT_EQ(paths, (std::vector<std::string>{"/serial/by-id/usb-Korvex_Vesper-if00", "/ttyS0",
                                               "/ttyS2", "/ttyS10", "/ttyUSB0", "/ttyACM1"}));
    ASSERT_EQ(ports.size(), 6u);
    EXPECT_EQ(ports[0].description, "(" + rootText + "/ttyUSB0)");
    EXPECT_EQ(PortEntryText(ports[1]), rootText + "/ttyS0 (port szeregowy)");
    EXPECT_TRUE(ListSerialPorts(rootText + "/missing").empty());
}

}  // namespace
}  // namespace kasa
