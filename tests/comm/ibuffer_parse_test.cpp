// Numbers and lines taken from the front of a buffer, as protocol answers are read.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "comm/ibuffer.h"
#include "support/bytes.h"

namespace kasa {
namespace {

using testing::Bytes;

struct IntegerCase {
    const char* content;
    int64_t value;
    uint8_t separator;
    const char* left;
};

// Each case is read as a decimal and as a hexadecimal number.
TEST(IBufferTakeInteger, ReadsTheNumberAndRemovesItWithItsSeparator) {
    const IntegerCase cases[] = {
        {"12;0", 12, ';', "0"},
        {"0", 0, 0, ""},
        {"-007x", -7, 'x', ""},
        {"  +42 rest", 42, ' ', "rest"},
        {"", 0, 0, ""},
        {"abc", 0, 'a', "bc"},
        {"9223372036854775807;", INT64_MAX, ';', ""},
        {"-9223372036854775808;", INT64_MIN, ';', ""},
    };
    for (const IntegerCase& c : cases) {
        iBuffer b(c.content);
        EXPECT_EQ(b.TakeInteger(), c.value) << c.content;
        EXPECT_EQ(b.LastSeparator(), c.separator) << c.content;
        EXPECT_EQ(Bytes(b), c.left) << c.content;
    }
    const IntegerCase hex[] = {
        {"1aF;x", 0x1AF, ';', "x"},
        {"-10;", -16, ';', ""},
        {"G1", 0, 'G', "1"},
        {"7FFFFFFFFFFFFFFF:", INT64_MAX, ':', ""},
    };
    for (const IntegerCase& c : hex) {
        iBuffer b(c.content);
        EXPECT_EQ(b.TakeHex(), c.value) << c.content;
        EXPECT_EQ(b.LastSeparator(), c.separator) << c.content;
        EXPECT_EQ(Bytes(b), c.left) << c.content;
    }
}

TEST(IBufferTakeInteger, AfterKey) {
    iBuffer b("a=1;b=22;a=3;ID:1F2E;");
    EXPECT_EQ(b.TakeIntegerAfter("b="), 22);
    EXPECT_EQ(b.LastSeparator(), ';');
    EXPECT_EQ(Bytes(b), "a=3;ID:1F2E;");
    EXPECT_EQ(b.TakeIntegerAfter("a="), 3);
    EXPECT_EQ(b.TakeHexAfter("ID:"), 0x1F2E);
    EXPECT_EQ(b.Length(), 0);
    for (const char* key : {"zz=", "", static_cast<const char*>(nullptr)}) {
        iBuffer unchanged("a=1;");
        EXPECT_EQ(unchanged.TakeIntegerAfter(key), 0);
        EXPECT_EQ(unchanged.TakeHexAfter(key), 0);
        EXPECT_EQ(Bytes(unchanged), "a=1;");
    }
}

TEST(IBufferTakeFloat, ReadsCommaOrPointAndStopsAtTheSecondOne) {
    struct Case {
        const char* content;
        double value;
        uint8_t separator;
        const char* left;
    };
    const Case cases[] = {
        {"12,5;x", 12.5, ';', "x"},  {"1.2.3", 1.2, '.', "3"}, {"1,2.3", 1.2, '.', "3"},
        {"+3e2 z", 300.0, ' ', "z"}, {",5|", 0.5, '|', ""},    {"7", 7.0, 0, ""},
    };
    for (const Case& c : cases) {
        iBuffer b(c.content);
        const std::optional<double> value = b.TakeFloat();
        ASSERT_TRUE(value.has_value()) << c.content;
        EXPECT_DOUBLE_EQ(*value, c.value) << c.content;
        EXPECT_EQ(b.LastSeparator(), c.separator) << c.content;
        EXPECT_EQ(Bytes(b), c.left) << c.content;
    }
}

TEST(IBufferTakeFloat, FailureRemovesNothingAndKeepsTheSeparator) {
    for (const char* content : {"abc", "", "-;", "e5", ".x"}) {
        iBuffer b((std::string(";") + content).c_str());
        b.TakeInteger();  // LastSeparator becomes ';', and the ';' goes
        EXPECT_FALSE(b.TakeFloat().has_value()) << content;
        EXPECT_EQ(Bytes(b), content);
        EXPECT_EQ(b.LastSeparator(), ';') << content;
    }
}

TEST(IBufferTakeFloat, CopiesAtMostOneHundredBytes) {
    iBuffer b(std::string(150, '1').c_str());
    const std::optional<double> value = b.TakeFloat();
    ASSERT_TRUE(value.has_value());
    EXPECT_NEAR(*value / 1.111111111111111e99, 1.0, 1e-12);
    EXPECT_EQ(b.LastSeparator(), '1');  // the 101st byte
    EXPECT_EQ(b.Length(), 49);
}

std::vector<std::string> AllLines(iBuffer& b) {
    std::vector<std::string> lines;
    while (const char* line = b.TakeLine()) {
        lines.emplace_back(line);
    }
    return lines;
}

TEST(IBufferTakeLine, CutsLinesAtLineFeeds) {
    struct Case {
        const char* content;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"ab\r\ncd\nef", {"ab", "cd", "ef"}},
        {"\nx", {"", "x"}},
        {"\rx\n", {"", "x"}},
        {"x\n\n", {"x", ""}},
        {"only", {"only"}},
        {"a\rb\n", {"a\rb"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        iBuffer b(c.content);
        EXPECT_EQ(AllLines(b), c.lines) << c.content;
        EXPECT_EQ(b.Length(), 0);
    }
}

TEST(IBufferTakeLine, LinesLongerThanTheScratchPool) {
    const std::string longLine(3000, 'L');
    iBuffer b((longLine + "\r\nshort\n" + std::string(1500, 'M')).c_str());
    const char* first = b.TakeLine();
    const char* second = b.TakeLine();
    const char* third = b.TakeLine();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(std::string(first), longLine);
    EXPECT_STREQ(second, "short");
    EXPECT_EQ(std::string(third), std::string(1500, 'M'));
    EXPECT_EQ(b.TakeLine(), nullptr);
}

}  // namespace
}  // namespace kasa
