// The Telnet layer of rfc2217:// on bytes worked out by hand: IAC 255, SB 250, SE 240,
// WILL 251, WONT 252, DO 253, DONT 254; options binary 0, suppress-go-ahead 3, ECHO 1 and
// COM-PORT-OPTION 44, whose server replies carry the command code plus 100.
#include "comm/telnet_com_port.h"

#include <gtest/gtest.h>

#include "comm/port_name.h"

namespace kasa::telnet {
namespace {

Bytes Escaped(const Bytes& data) {
    Bytes out;
    AppendEscaped(out, data.data(), data.size());
    return out;
}

// Feeds raw bytes in the pieces given and returns the data bytes that came out.
Bytes FeedPieces(Reader& reader, const std::vector<Bytes>& pieces) {
    Bytes data;
    for (const Bytes& piece : pieces) {
        Bytes out(piece.size());
        out.resize(reader.Feed(piece.data(), piece.size(), out.data()));
        data.insert(data.end(), out.begin(), out.end());
    }
    return data;
}

TEST(TelnetBytes, DataByte255IsDoubledAndNothingElseChanges) {
    EXPECT_EQ(Escaped({0x41, 0xFF, 0x42, 0xFF, 0xFF}),
              (Bytes{0x41, 0xFF, 0xFF, 0x42, 0xFF, 0xFF, 0xFF, 0xFF}));
    // CR, LF and NUL pass as they are: the binary option is in force, no CR NUL stuffing.
    EXPECT_EQ(Escaped({0x0D, 0x00, 0x0A, 0x1B}), (Bytes{0x0D, 0x00, 0x0A, 0x1B}));
    EXPECT_EQ(Escaped({}), Bytes{});
}

TEST(TelnetBytes, DataBytesWithinCountsOnlyWholeEscapes) {
    const Bytes data = {0x41, 0xFF, 0x42};  // escaped: 41 FF FF 42
    const size_t expected[] = {0, 1, 1, 2, 3};
    for (size_t raw = 0; raw <= 4; ++raw) {
        EXPECT_EQ(DataBytesWithin(data.data(), data.size(), raw), expected[raw]) << raw;
    }
}

TEST(TelnetReader, UnescapesDataAcrossReadsAndKeepsCommandsApart) {
    Reader reader;
    // 'A', IAC IAC cut between two reads, 'B', DO ECHO cut after IAC DO, WILL COM-PORT, 'C'.
    const Bytes data = FeedPieces(
        reader, {{0x41, 0xFF}, {0xFF, 0x42, 0xFF, 0xFD}, {0x01, 0xFF, 0xFB, 0x2C, 0x43}});
    EXPECT_EQ(data, (Bytes{0x41, 0xFF, 0x42, 0x43}));
    const std::vector<Event> expected = {{kDo, 1, {}}, {kWill, 44, {}}};
    EXPECT_EQ(reader.Events(), expected);
}

TEST(TelnetReader, SubnegotiationValueIsUnescapedAndTwoByteCommandsVanish) {
    Reader reader;
    // IAC NOP, then the server's reply to SET-BAUDRATE 65280 (00 00 FF 00, the FF doubled),
    // split inside the doubled FF, then data 0x07.
    const Bytes data = FeedPieces(reader, {{0xFF, 0xF1, 0xFF, 0xFA, 0x2C, 0x65, 0x00, 0x00, 0xFF},
                                           {0xFF, 0x00, 0xFF, 0xF0, 0x07}});
    EXPECT_EQ(data, (Bytes{0x07}));
    const std::vector<Event> expected = {{kSb, 44, {101, 0x00, 0x00, 0xFF, 0x00}}};
    EXPECT_EQ(reader.Events(), expected);
}

TEST(TelnetNegotiation, ClientOpensWithBinarySuppressGoAheadAndComPort) {
    Negotiation client;
    EXPECT_EQ(client.Opening(true), (Bytes{0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03,
                                           0xFF, 0xFD, 0x03, 0xFF, 0xFB, 0x2C}));
    Negotiation server;
    EXPECT_EQ(server.Opening(false), (Bytes{0xFF, 0xFB, 0x00, 0xFF, 0xFD, 0x00, 0xFF, 0xFB, 0x03,
                                            0xFF, 0xFD, 0x03, 0xFF, 0xFD, 0x2C}));
}

TEST(TelnetNegotiation, AnswersEachRequestOnceAndNeverAnAnswer) {
    Negotiation client;
    client.Opening(true);
    // The server's answers to the client's own requests get no reply.
    EXPECT_EQ(client.Answer({kDo, 0, {}}), Bytes{});
    EXPECT_EQ(client.Answer({kWill, 3, {}}), Bytes{});
    EXPECT_EQ(client.Answer({kDo, 44, {}}), Bytes{});
    EXPECT_EQ(client.Answer({kDont, 44, {}}), Bytes{});
    // ECHO is refused both ways, once.
    EXPECT_EQ(client.Answer({kDo, 1, {}}), (Bytes{0xFF, 0xFC, 0x01}));
    EXPECT_EQ(client.Answer({kDo, 1, {}}), Bytes{});
    EXPECT_EQ(client.Answer({kWill, 1, {}}), (Bytes{0xFF, 0xFE, 0x01}));
    EXPECT_EQ(client.Answer({kWill, 1, {}}), Bytes{});
    // Before the opening, the supported options are taken up when the other side asks.
    Negotiation fresh;
    EXPECT_EQ(fresh.Answer({kWill, 0, {}}), (Bytes{0xFF, 0xFD, 0x00}));
    EXPECT_EQ(fresh.Answer({kDo, 44, {}}), (Bytes{0xFF, 0xFB, 0x2C}));
    EXPECT_EQ(fresh.Answer({kWont, 0, {}}), Bytes{});
}

TEST(TelnetNegotiation, TwoSidesFallQuietAfterTheirOpenings) {
    Negotiation client;
    Negotiation server;
    Bytes toServer = client.Opening(true);
    Bytes toClient = server.Opening(false);
    Reader clientReader;
    Reader serverReader;
    int rounds = 0;
    while ((!toServer.empty() || !toClient.empty()) && rounds < 10) {
        ++rounds;
        Bytes nextToServer;
        Bytes nextToClient;
        Bytes scratch(std::max(toServer.size(), toClient.size()));
        serverReader.Feed(toServer.data(), toServer.size(), scratch.data());
        for (const Event& e : serverReader.Events()) {
            const Bytes a = server.Answer(e);
            nextToClient.insert(nextToClient.end(), a.begin(), a.end());
        }
        serverReader.Events().clear();
        clientReader.Feed(toClient.data(), toClient.size(), scratch.data());
        for (const Event& e : clientReader.Events()) {
            const Bytes a = client.Answer(e);
            nextToServer.insert(nextToServer.end(), a.begin(), a.end());
        }
        clientReader.Events().clear();
        toServer = nextToServer;
        toClient = nextToClient;
    }
    // Both asked for the same options, so nothing is answered at all.
    EXPECT_EQ(rounds, 1);
}

TEST(TelnetComPort, LineSettingsGoInOrderWithTheirCodes) {
    LineSettings line;
    line.baudRate = 115200;  // 00 01 C2 00
    line.dataSize = 8;
    line.parity = kParityNone;
    line.stopSize = 1;
    line.flowControl = kControlNoFlow;
    line.dtr = kControlDtrOff;
    line.rts = kControlRtsOff;
    const Bytes expected = {
        0xFF, 0xFA, 44, 1, 0x00, 0x01, 0xC2, 0x00, 0xFF, 0xF0,  // baud rate
        0xFF, 0xFA, 44, 2, 8,    0xFF, 0xF0,                    // 8 data bits
        0xFF, 0xFA, 44, 3, 1,    0xFF, 0xF0,                    // no parity
        0xFF, 0xFA, 44, 4, 1,    0xFF, 0xF0,                    // one stop bit
        0xFF, 0xFA, 44, 5, 1,    0xFF, 0xF0,                    // no flow control
        0xFF, 0xFA, 44, 5, 9,    0xFF, 0xF0,                    // DTR off
        0xFF, 0xFA, 44, 5, 12,   0xFF, 0xF0,                    // RTS off
    };
    EXPECT_EQ(LineSettingsCommands(line), expected);
    // A value byte 255 inside a command is doubled as data is.
    EXPECT_EQ(ComPortCommand(kSetBaudRate, {0x00, 0x00, 0xFF, 0x00}),
              (Bytes{0xFF, 0xFA, 44, 1, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xF0}));
}

TEST(TelnetComPort, ServerAppliesCommandsAndAcknowledgesTheValueInForce) {
    LineSettings line;
    std::vector<uint8_t> purges;
    // SET-BAUDRATE 9600 = 00 00 25 80; the reply has code 101.
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {1, 0x00, 0x00, 0x25, 0x80}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 101, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0}));
    // A rate of 0 only asks.
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {1, 0, 0, 0, 0}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 101, 0x00, 0x00, 0x25, 0x80, 0xFF, 0xF0}));
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {2, 8}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 102, 8, 0xFF, 0xF0}));
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {5, 8}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 105, 8, 0xFF, 0xF0}));
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {5, 1}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 105, 1, 0xFF, 0xF0}));
    EXPECT_EQ(AnswerComPortCommand({kSb, 44, {12, 3}}, line, &purges),
              (Bytes{0xFF, 0xFA, 44, 112, 3, 0xFF, 0xF0}));
    EXPECT_EQ(line.baudRate, 9600u);
    EXPECT_EQ(line.dataSize, 8);
    EXPECT_EQ(line.dtr, kControlDtrOn);
    EXPECT_EQ(line.flowControl, kControlNoFlow);
    EXPECT_EQ(purges, (std::vector<uint8_t>{3}));
    // Another option's subnegotiation, or a server's reply, is not a command to answer.
    EXPECT_FALSE(AnswerComPortCommand({kSb, 24, {1}}, line, &purges));
    EXPECT_FALSE(AnswerComPortCommand({kSb, 44, {101, 0, 0, 0, 0}}, line, &purges));
}

TEST(NetworkPortNames, FormsAndTheirParts) {
    auto tcp = ParseNetworkPortName("tcp://serwer-portow.sklep:4001");
    ASSERT_TRUE(tcp);
    EXPECT_FALSE(tcp->telnet);
    EXPECT_EQ(tcp->host, "serwer-portow.sklep");
    EXPECT_EQ(tcp->port, 4001);
    auto v6 = ParseNetworkPortName("RFC2217://[fe80::1]:2217");
    ASSERT_TRUE(v6);
    EXPECT_TRUE(v6->telnet);
    EXPECT_EQ(v6->host, "fe80::1");
    EXPECT_EQ(v6->port, 2217);
    auto v4 = ParseNetworkPortName("tcp://192.168.1.20:65535");
    ASSERT_TRUE(v4);
    EXPECT_EQ(v4->host, "192.168.1.20");
    EXPECT_EQ(v4->port, 65535);
    for (const char* bad :
         {"tcp://host", "tcp://:4001", "tcp://host:0", "tcp://host:65536", "tcp://host:40a1",
          "tcp://[::1]4001", "tcp://::1:4001", "tcp://a b:1", "rfc2217://[]:1", "udp://host:1"}) {
        EXPECT_FALSE(ParseNetworkPortName(bad)) << bad;
    }
    EXPECT_TRUE(IsNetworkPortName("TCP://host"));  // network-looking, yet malformed
    EXPECT_FALSE(IsNetworkPortName("COM3"));
    EXPECT_FALSE(IsNetworkPortName("/dev/ttyUSB0"));
}

}  // namespace
}  // namespace kasa::telnet
