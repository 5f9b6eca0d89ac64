#include <gtest/gtest.h>

#include "comm/port_name.h"

namespace kasa {
namespace {

// The transport keeps ports from 10 on as \\.\comN; both forms open the same device, and
// only COM1 to COM256 exist.
TEST(WindowsDevicePathTest, ComNamesOpenTheirDevice) {
    EXPECT_EQ(DevicePathForName("COM1"), "\\\\.\\COM1");
    EXPECT_EQ(DevicePathForName(DeviceNameForPort("com12")), "\\\\.\\COM12");
    EXPECT_EQ(DevicePathForName("\\\\.\\com256"), "\\\\.\\COM256");
    for (const char* none : {"COM0", "COM257", "LPT1", "/dev/ttyS0", "\\\\.\\"}) {
        EXPECT_EQ(DevicePathForName(none), "") << none;
    }
}

}  // namespace
}  // namespace kasa
