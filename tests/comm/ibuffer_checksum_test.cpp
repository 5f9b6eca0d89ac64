// Checksums, hex text and the printable form used by the protocol log.
#include <gtest/gtest.h>

#include <string>

#include "comm/ibuffer.h"
#include "support/bytes.h"

namespace kasa {
namespace {

using testing::AllByteValues;
using testing::Bytes;
using testing::FromBytes;

TEST(IBufferXorChecksum, StartsFromTheInitialByteAndCoversNBytes) {
    EXPECT_EQ(iBuffer().XorChecksum(0, 0x5A), 0x5A);

    const iBuffer b = FromBytes("\x01\x02\x04\x80");
    EXPECT_EQ(b.XorChecksum(0, 0xFF), 0x78);  // 0xFF ^ 0x87
    EXPECT_EQ(b.XorChecksum(), 0x78);
    EXPECT_EQ(b.XorChecksum(1, 0xFF), 0xFE);
    EXPECT_EQ(b.XorChecksum(3, 0x00), 0x07);
    EXPECT_EQ(b.XorChecksum(100, 0xFF), 0x78);  // no more than the content
}

TEST(IBufferCrc16, ModbusRequestFrames) {
    // A read-holding-registers request; the wire shows the CRC's low byte first, the buffer
    // appends the high byte first.
    iBuffer one = FromBytes(std::string("\x01\x03\x00\x00\x00\x01", 6));
    one.AppendCrc16();
    EXPECT_EQ(Bytes(one), std::string("\x01\x03\x00\x00\x00\x01\x0A\x84", 8));

    iBuffer empty;
    empty.AppendCrc16();
    EXPECT_EQ(Bytes(empty), "\xFF\xFF");
}

TEST(IBufferCrc16, CheckFailsOnAnyDamage) {
    iBuffer b("123456789");
    b.AppendCrc16();
    const std::string good = std::string("123456789") + "\x4B\x37";  // the check value
    EXPECT_EQ(Bytes(b), good);
    EXPECT_TRUE(b.CheckCrc16());
    b.DropCrc16();
    EXPECT_EQ(Bytes(b), "123456789");
    EXPECT_FALSE(FromBytes(std::string("123456789") + "\x37\x4B").CheckCrc16());
    for (size_t i = 0; i < good.size(); ++i) {
        std::string damaged = good;
        damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
        EXPECT_FALSE(FromBytes(damaged).CheckCrc16()) << i;
    }
    EXPECT_FALSE(iBuffer().CheckCrc16());
    EXPECT_FALSE(iBuffer("1").CheckCrc16());
    EXPECT_TRUE(FromBytes("\xFF\xFF").CheckCrc16());  // CRC of nothing
}

TEST(IBufferHexText, ToHexTextDoublesTheLength) {
    iBuffer empty;
    empty.ToHexText();
    EXPECT_EQ(empty.Length(), 0);

    iBuffer all = FromBytes(AllByteValues());
    all.ToHexText();
    EXPECT_EQ(all.Length(), 512);
    EXPECT_EQ(std::string(all.View().substr(0, 6)), "000102");
    EXPECT_EQ(std::string(all.View().substr(506)), "FDFEFF");
    ASSERT_TRUE(all.FromHexText());
    EXPECT_EQ(Bytes(all), AllByteValues());
}

TEST(IBufferHexText, FromHexText) {
    struct Case {
        const char* text;
        bool valid;
        std::string bytes;
    };
    const Case cases[] = {
        {"abff", true, "\xAB\xFF"},
        {"ABC", true, "\xAB\xC0"},
        {"1G", false, "\x10"},
        {"ZZ41", false, std::string("\x00\x41", 2)},
        {"", true, ""},
    };
    for (const Case& c : cases) {
        iBuffer b(c.text);
        EXPECT_EQ(b.FromHexText(), c.valid) << c.text;
        EXPECT_EQ(Bytes(b), c.bytes) << c.text;
    }
}

TEST(IBufferPrintable, RendersControlAndHighBytesInBrackets) {
    struct Case {
        std::string bytes;
        const char* text;
    };
    const Case cases[] = {
        {"\x1B\x5C", "[x1B]\\"},
        {std::string("\x00\x7F\x20\x7E\x1F\x80\xFF", 7), "[x00][x7F] ~[x1F][x80][xFF]"},
        {"", ""},
    };
    for (const Case& c : cases) {
        iBuffer b = FromBytes(c.bytes);
        b.ToPrintable();
        EXPECT_EQ(Bytes(b), c.text);
        b.FromPrintable();
        EXPECT_EQ(Bytes(b), c.bytes) << c.text;
    }
}

TEST(IBufferPrintable, AllByteValuesRoundTrip) {
    iBuffer b = FromBytes(AllByteValues());
    b.ToPrintable();
    EXPECT_EQ(b.Length(), 95 + 161 * 5);  // 95 printable bytes, the rest as [xHH]
    EXPECT_EQ(b.Find("[x"), 0);
    b.FromPrintable();
    EXPECT_EQ(Bytes(b), AllByteValues());
}

TEST(IBufferPrintable, FromPrintableKeepsWhatIsNotAGroup) {
    for (const char* text : {"[x1b]", "[x1", "[xZZ]", "[X41]", "x41]", "[x41", "[ x41]"}) {
        iBuffer b(text);
        b.FromPrintable();
        EXPECT_EQ(Bytes(b), text);
    }
    iBuffer mixed("a[x41]b[x4]c[x0D][x0A]");
    mixed.FromPrintable();
    EXPECT_EQ(Bytes(mixed), "aAb[x4]c\r\n");
}

}  // namespace
}  // namespace kasa
