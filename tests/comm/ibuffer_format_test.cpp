// Number texts formatted by the buffer into its scratch pool.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "comm/ibuffer.h"

namespace kasa {
namespace {

// Texts of every kind stay valid together, past the pool's first kilobyte.
TEST(IBufferScratch, GrowsPastItsFirstKilobyteInsteadOfOverwriting) {
    iBuffer b;
    std::vector<const char*> texts;
    std::vector<std::string> wanted;
    for (int64_t i = 0; i < 300; ++i) {  // about 4 KB of texts
        const char digits[] = "0123456789ABCDEF";
        const auto low = static_cast<uint8_t>(i);
        texts.push_back(b.FormatDecimal(i * 1000000007LL));
        wanted.push_back(std::to_string(i * 1000000007LL));
        texts.push_back(b.FormatHex(low, 1));
        wanted.push_back({digits[low >> 4], digits[low & 15]});
        texts.push_back(b.FormatFloat(0.5));
        wanted.push_back("0.500000");
    }
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(std::string(texts[i]), wanted[i]) << i;
    }
}

TEST(IBufferScratch, TextsAppendedToTheSameBuffer) {
    iBuffer b;
    for (int i = 0; i < 200; ++i) {
        b.Append(b.FormatHex(static_cast<uint64_t>(i), 1));
        b.AppendByte(';');
    }
    EXPECT_EQ(b.Length(), 600);
    EXPECT_EQ(std::string(b.View().substr(0, 12)), "00;01;02;03;");
    EXPECT_EQ(std::string(b.View().substr(591)), "C5;C6;C7;");
    b.Clear();
    EXPECT_STREQ(b.FormatDecimal(7), "7");  // the pool comes back after Clear
}

TEST(IBufferFormat, Decimal) {
    iBuffer b;
    EXPECT_STREQ(b.FormatDecimal(0), "0");
    EXPECT_STREQ(b.FormatDecimal(INT64_MAX), "9223372036854775807");
    EXPECT_STREQ(b.FormatDecimal(INT64_MIN), "-9223372036854775808");
    const uint8_t byte = 0xFF;  // a byte is zero-extended
    EXPECT_STREQ(b.FormatDecimal(byte), "255");
    const int32_t word = -5;  // a signed 32-bit value is sign-extended
    EXPECT_STREQ(b.FormatDecimal(word), "-5");
}

TEST(IBufferFormat, HexCutToTheLastDigitsOfTheBytes) {
    struct Case {
        uint64_t value;
        int bytes;
        const char* text;
    };
    const Case cases[] = {
        {0x1AB, 1, "AB"},
        {0xFF, 4, "000000FF"},
        {0x123456789ABCDEF0, 3, "BCDEF0"},
        {static_cast<uint64_t>(-1), 2, "FFFF"},
    };
    iBuffer b;
    for (const Case& c : cases) {
        EXPECT_STREQ(b.FormatHex(c.value, c.bytes), c.text) << c.text;
    }
}

TEST(IBufferFormat, HexWithoutPadding) {
    iBuffer b;
    EXPECT_STREQ(b.FormatHex(0), "0");
    EXPECT_STREQ(b.FormatHex(0x1AB), "1AB");
    EXPECT_STREQ(b.FormatHex(UINT64_MAX), "FFFFFFFFFFFFFFFF");
}

TEST(IBufferFormat, FloatWithDefaultAndOwnFormat) {
    iBuffer b;
    EXPECT_STREQ(b.FormatFloat(1.5), "1.500000");
    b.SetNumberFormat("%0.2f");
    EXPECT_STREQ(b.FormatFloat(2.5), "2.50");
    EXPECT_STREQ(b.FormatFloat(-0.004), "-0.00");
    b.SetNumberFormat("%.0lf%%");
    EXPECT_STREQ(b.FormatFloat(23.0), "23%");
    b.SetNumberFormat("Cena: %8.3f zl");
    EXPECT_STREQ(b.FormatFloat(3.14159), "Cena:    3.142 zl");
    b.SetNumberFormat(nullptr);
    EXPECT_STREQ(b.FormatFloat(1.0), "1.000000");
}

TEST(IBufferFormat, NumberFormatIsCopied) {
    iBuffer b;
    {
        std::string format = "%0.1f";
        b.SetNumberFormat(format.c_str());
        format = "%0.4f";
    }
    EXPECT_STREQ(b.FormatFloat(2.26), "2.3");
}

TEST(IBufferFormat, RoundTo) {
    struct Case {
        double x;
        int n;
        double rounded;
    };
    // 1.005 * 100 is 100.49999999999999, which still counts as a half.
    const Case cases[] = {
        {2.344, 2, 2.34},   {2.345, 2, 2.35},     {1.005, 2, 1.01},    {0.5, 0, 1.0},
        {0.4999, 0, 0.0},   {0.49999995, 0, 1.0}, {123.456, 1, 123.5}, {19.999, 2, 20.0},
        {-2.345, 2, -2.35}, {-1.239, 2, -1.24},   {-1.231, 2, -1.23},  {0.0, 3, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(iBuffer::RoundTo(c.x, c.n), c.rounded) << c.x << " to " << c.n;
    }
}

}  // namespace
}  // namespace kasa
