// The virtual register behind a listening socket on the loopback, as a register behind a
// serial device server: raw TCP and Telnet with the COM-PORT-OPTION carry the same
// conversation as the serial line, fixed texts padded with byte 255 included.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "comm/telnet_com_port.h"
#include "sim/register_fixture.h"
#include "support/register_state.h"

namespace kasa::sim {
namespace {

using Listening = VirtualRegisterOptions::Listening;

class NetworkRegister : public ::testing::TestWithParam<Listening>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(RegisterType::Vesper, true, 0, GetParam())); }
};

TEST_P(NetworkRegister, PortNameNamesTheLoopbackListener) {
    const std::string scheme = GetParam() == Listening::kTcp ? "tcp://" : "rfc2217://";
    EXPECT_EQ(reg->PortPath().rfind(scheme + "127.0.0.1:", 0), 0u) << reg->PortPath();
    EXPECT_EQ(reg->Connections(), 1);
}

TEST_P(NetworkRegister, IdentifiesAndReadsTheDemoGoods) {
    ASSERT_TRUE(ecr.Identify());
    EXPECT_EQ(ecr.ModelName(), "VESPER");
    PluRecord first;
    ASSERT_TRUE(ReadBack(1, first));
    EXPECT_EQ(first.name, "Chleb żytni");
    EXPECT_EQ(first.name, Stored(7, 1)[0]);
}

TEST_P(NetworkRegister, RecordsWithByte255CrossBothWaysUnchanged) {
    PluRecord plu;
    plu.name = "Sok";  // 3 letters of 19: sixteen fill bytes 255 follow on the wire
    plu.price = 2.55;
    plu.vat = 1;
    plu.group = 3;
    iBuffer wire;
    ASSERT_TRUE(plu.Encode(wire, layout, 30, WireForm::kWrite));
    ASSERT_NE(std::string(wire.View()).find('\xff'), std::string::npos);

    ASSERT_EQ(Write(30, plu), 0);
    // The register read 19 name bytes: an undoubled or doubly-counted 255 would shift
    // every field after the name.
    const std::vector<std::string> stored = Stored(7, 30);
    ASSERT_GE(stored.size(), 3u);
    EXPECT_EQ(stored[0], "Sok");
    EXPECT_EQ(stored[2], "2.55");
    PluRecord back;
    ASSERT_TRUE(ReadBack(30, back));
    EXPECT_EQ(back.name, "Sok");
    EXPECT_DOUBLE_EQ(back.price, 2.55);
    EXPECT_EQ(back.group, 3);
    // The untouched neighbour still reads as before.
    PluRecord first;
    ASSERT_TRUE(ReadBack(1, first));
    EXPECT_EQ(first.name, "Chleb żytni");
}

TEST_P(NetworkRegister, LineSettingsReachTheServerOnlyOverTelnet) {
    const telnet::LineSettings line = reg->LineSettings();
    if (GetParam() == Listening::kTcp) {
        EXPECT_EQ(line, telnet::LineSettings{});  // raw TCP carries nothing but the bytes
        return;
    }
    // 115200 baud, 8 data bits, no parity (1), one stop bit (1), no flow control (1), DTR
    // off (9) and RTS off (12), as the serial transport leaves its lines.
    telnet::LineSettings expected;
    expected.baudRate = 115200;
    expected.dataSize = 8;
    expected.parity = 1;
    expected.stopSize = 1;
    expected.flowControl = 1;
    expected.dtr = 9;
    expected.rts = 12;
    EXPECT_EQ(line, expected);
    // The purge of both directions at the opening goes to the server's port as well.
    const std::vector<uint8_t> purges = reg->PurgeRequests();
    ASSERT_FALSE(purges.empty());
    EXPECT_EQ(purges.front(), 3);
}

TEST_P(NetworkRegister, SecondConnectionIsRefusedWhileOneIsServed) {
    RegisterSession second;
    second.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
    second.savedMode = 0;
    // The same port name in this program: the project's own lock says busy.
    EXPECT_FALSE(second.InitTransmission());
    EXPECT_EQ(second.OpenError(), EBUSY);
    ecr.CloseTransmission();
    ASSERT_TRUE(second.InitTransmission());
    ASSERT_TRUE(second.Identify());
}

TEST_P(NetworkRegister, ConnectionLostMidAnswerIsALineGoneAndTheNextOpenConnectsAgain) {
    reg->InjectFault({FaultKind::CloseMidAnswer, 0, 0, 0, 0});
    PluRecord record;
    EXPECT_FALSE(ReadBack(2, record));
    EXPECT_FALSE(ecr.IsOpen());  // let go, as a pulled cable is
    ASSERT_TRUE(ecr.InitTransmission());
    ASSERT_TRUE(ReadBack(2, record));
    EXPECT_EQ(record.name, Stored(7, 2)[0]);
    EXPECT_EQ(reg->Connections(), 2);
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, NetworkRegister,
                         ::testing::Values(Listening::kTcp, Listening::kRfc2217),
                         [](const ::testing::TestParamInfo<Listening>& param) {
                             return param.param == Listening::kTcp ? "Tcp" : "Rfc2217";
                         });

}  // namespace
}  // namespace kasa::sim
