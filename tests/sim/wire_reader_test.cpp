// The register's reader of write fields against byte vectors made by hand.
#include "sim/wire_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace kasa::sim {
namespace {

using kasa::testing::Bytes;

std::string Pad(std::string text, size_t width, char filler) {
    text.resize(width, filler);
    return text;
}

struct FieldCase {
    int code;
    std::string bytes;
    std::optional<std::string> value;  // empty: malformed
};

void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << "code " << c.code << ", " << c.bytes.size() << " bytes";
}

class WireReaderField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(WireReaderField, ReadsExactlyOneField) {
    const auto& c = GetParam();
    WireReader reader(c.bytes);
    EXPECT_EQ(reader.Field(c.code), c.value);
    if (c.value) {
        EXPECT_TRUE(reader.AtEnd()) << reader.Remaining() << " bytes left";
    }
}

const std::string kFF = "\xff";

INSTANTIATE_TEST_SUITE_P(
    WellFormed, WireReaderField,
    ::testing::Values(
        // 1: barcode, 14 digits padded with F.
        FieldCase{1, Bytes({0x59, 0x01, 0x23, 0x41, 0x23, 0x45, 0x7F}), "5901234123457"},
        FieldCase{1, Bytes({0x12, 0x34, 0x56, 0x78, 0x90, 0x12, 0x34}), "12345678901234"},
        FieldCase{1, std::string(7, '\xff'), ""},
        // 2: BCD(0, 2).
        FieldCase{2, Bytes({0x07}), "7"},
        // 3: BCD(1, 4) LE: 123.4.
        FieldCase{3, Bytes({0x34, 0x12}), "123.4"},
        // 4: BCD(2, 4) LE: 00 23 is 23, 50 00 is 0.5; 255 255 inactive, 254 255 exempt.
        FieldCase{4, Bytes({0x00, 0x23}), "23.00"}, FieldCase{4, Bytes({0x50, 0x00}), "0.50"},
        FieldCase{4, Bytes({0xFF, 0xFF}), "-1"}, FieldCase{4, Bytes({0xFE, 0xFF}), "-2"},
        // 5: BCD(3, 4) LE.
        FieldCase{5, Bytes({0x50, 0x01}), "0.150"},
        // 6: BCD(3, 6) LE: 12.5 is 012500.
        FieldCase{6, Bytes({0x00, 0x25, 0x01}), "12.500"},
        // 7: BCD(0, 6) LE.
        FieldCase{7, Bytes({0x56, 0x34, 0x12}), "123456"},
        // 8: BCD(0, 4) LE: the surcharge 850.
        FieldCase{8, Bytes({0x50, 0x08}), "850"},
        // 9: BCD(3, 10) LE: 120.5 is 0000120500.
        FieldCase{9, Bytes({0x00, 0x05, 0x12, 0x00, 0x00}), "120.500"},
        // 10: BCD(6, 10) LE: 4.25 is 0004250000.
        FieldCase{10, Bytes({0x00, 0x00, 0x25, 0x04, 0x00}), "4.250000"},
        // 11: BCD(10, 10) LE, a pure fraction.
        FieldCase{11, Bytes({0x00, 0x00, 0x00, 0x00, 0x50}), "0.5000000000"},
        // 12-19: fixed texts in Mazovia, padded with 255.
        FieldCase{12, "ABCDEF", "ABCDEF"},
        FieldCase{13, Pad(Bytes({0x8F, 0x95, 0x90}), 7, '\xff'), "ĄĆĘ"},
        FieldCase{14, Pad("Ania", 11, '\xff'), "Ania"},
        FieldCase{15, Pad(Bytes({0x47, 0x91, 0x9E}), 16, '\xff'), "Gęś"},
        FieldCase{16, Pad(Bytes({0xA1, 0xA2, 0x92, 0x8D}), 18, '\xff'), "Żółć"},
        FieldCase{17, Pad(Bytes({0x9C, 0xA2, 0x64, 0xA6}), 19, '\xff'), "Łódź"},
        FieldCase{17, std::string(19, '\xff'), ""},
        FieldCase{18, Pad(Bytes({0xA5, 0xA4, 0xA3, 0x98}), 20, '\xff'), "ŃńÓŚ"},
        FieldCase{19, Pad(Bytes({0xA0, 0xA6, 0x86, 0xA7}), 40, '\xff'), "Źźąż"},
        // 20 and 22: carriage-return form.
        FieldCase{20, Pad("Ala ma kota", 20, ' '), "Ala ma kota"},
        FieldCase{20, "\r" + std::string(19, '\xff'), ""},
        FieldCase{20, std::string(20, '\xff'), ""},
        FieldCase{22, Pad("Paragon", 43, ' '), "Paragon"},
        // 21: line-feed form.
        FieldCase{21, Bytes({0x9C, 0x86, 0x6B, 0x61, 0x0A}), "Łąka"}, FieldCase{21, "\n", ""},
        // 23: BCD(2, 10) LE: 12.34 and 99999997.20.
        FieldCase{23, Bytes({0x34, 0x12, 0x00, 0x00, 0x00}), "12.34"},
        FieldCase{23, Bytes({0x20, 0x97, 0x99, 0x99, 0x99}), "99999997.20"},
        // 25: two ASCII hexadecimal digits; 26: one raw byte.
        FieldCase{25, "1F", "31"}, FieldCase{26, Bytes({0x93}), "147"},
        // 27: BCD(0, 4) BE; 28: LE; small negatives as (256 - d), 255.
        FieldCase{27, Bytes({0x24, 0x68}), "2468"}, FieldCase{27, Bytes({0xFF, 0xFF}), "-1"},
        FieldCase{27, Bytes({0xF7, 0xFF}), "-9"}, FieldCase{28, Bytes({0x68, 0x24}), "2468"},
        FieldCase{28, Bytes({0xFE, 0xFF}), "-2"},
        // 29: BCD(0, 4) LE.
        FieldCase{29, Bytes({0x07, 0x00}), "7"},
        // 30: 32 bits, least significant byte first: 0x8FFF0000 and 1.
        FieldCase{30, Bytes({0x00, 0x00, 0xFF, 0x8F}), "-1879113728"},
        // 31: two BCD(0, 2) bytes, first number first.
        FieldCase{31, Bytes({0x34, 0x12}), "34 12"}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, WireReaderField,
    ::testing::Values(FieldCase{1, Bytes({0x5A, 0x01, 0x23, 0x45, 0x67, 0x89, 0x0F}), {}},
                      FieldCase{1, Bytes({0x59, 0x01}), {}}, FieldCase{2, Bytes({0x4B}), {}},
                      FieldCase{3, Bytes({0x34}), {}}, FieldCase{8, Bytes({0x0A, 0x00}), {}},
                      FieldCase{17, std::string(18, '\xff'), {}},
                      FieldCase{20, std::string(19, ' '), {}}, FieldCase{21, "no end", {}},
                      FieldCase{23, Bytes({0x34, 0x12, 0x00, 0x00}), {}},
                      FieldCase{23, Bytes({0x3A, 0x12, 0x00, 0x00, 0x00}), {}},
                      FieldCase{25, "1f", {}}, FieldCase{25, "1", {}}, FieldCase{26, "", {}},
                      FieldCase{27, Bytes({0xF6, 0xFF}), {}}, FieldCase{28, Bytes({0xFF}), {}},
                      FieldCase{30, Bytes({0x01, 0x00, 0x00}), {}},
                      FieldCase{31, Bytes({0x34, 0x1C}), {}},
                      // No such write field.
                      FieldCase{0, "\x01\x02", {}}, FieldCase{24, "\x01\x02", {}},
                      FieldCase{32, "\x01\x02\x03\x04", {}}, FieldCase{33, "\x01", {}}));

TEST(WireReader, ReadsAKeyRecordFieldAfterField) {
    // PLU 1234 (code 28: 34 12), then the flag byte 0x15: quantity 5, end of transaction.
    const std::string body = Bytes({0x34, 0x12, 0x15});
    WireReader reader(body);
    EXPECT_EQ(reader.Field(28), "1234");
    EXPECT_EQ(reader.Remaining(), 1u);
    EXPECT_EQ(reader.Field(26), "21");
    EXPECT_TRUE(reader.AtEnd());
    EXPECT_EQ(reader.Field(26), std::nullopt);
}

TEST(WireReader, AMalformedFieldConsumesNothingThatFollowsIt) {
    // The short amount fails; the reader does not run past the body's end.
    const std::string body = Bytes({0x12, 0x00});
    WireReader reader(body);
    EXPECT_EQ(reader.Field(23), std::nullopt);
    EXPECT_EQ(reader.Field(29), "12");
}

TEST(CanonicalNumber, LeadingZerosGoDecimalsStay) {
    EXPECT_EQ(CanonicalNumber("0001234", 2), "12.34");
    EXPECT_EQ(CanonicalNumber("0000", 0), "0");
    EXPECT_EQ(CanonicalNumber("000050", 2), "0.50");
    EXPECT_EQ(CanonicalNumber("1000", 0), "1000");
    EXPECT_EQ(CanonicalNumber("5000000000", 10), "0.5000000000");
}

}  // namespace
}  // namespace kasa::sim
