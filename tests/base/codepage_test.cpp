// Polish letters between code pages, and Windows-1250 / Mazovia against UTF-8.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "base/codepage.h"
#include "comm/ibuffer.h"
#include "support/bytes.h"

namespace kasa {
namespace {

using testing::AllByteValues;

// The published code points: Latin, Windows-1250, Mazovia, CP852, ISO-8859-2, register.
constexpr uint8_t kLetters[18][6] = {
    {'A', 0xA5, 0x8F, 0xA4, 0xA1, 0x0E},  // Ą
    {'C', 0xC6, 0x95, 0x8F, 0xC6, 0x0F},  // Ć
    {'E', 0xCA, 0x90, 0xA8, 0xCA, 0x10},  // Ę
    {'L', 0xA3, 0x9C, 0x9D, 0xA3, 0x11},  // Ł
    {'N', 0xD1, 0xA5, 0xE3, 0xD1, 0x12},  // Ń
    {'O', 0xD3, 0xA3, 0xE0, 0xD3, 0x13},  // Ó
    {'S', 0x8C, 0x98, 0x97, 0xA6, 0x14},  // Ś
    {'Z', 0x8F, 0xA0, 0x8D, 0xAC, 0x15},  // Ź
    {'Z', 0xAF, 0xA1, 0xBD, 0xAF, 0x16},  // Ż
    {'a', 0xB9, 0x86, 0xA5, 0xB1, 0x17},  // ą
    {'c', 0xE6, 0x8D, 0x86, 0xE6, 0x18},  // ć
    {'e', 0xEA, 0x91, 0xA9, 0xEA, 0x19},  // ę
    {'l', 0xB3, 0x92, 0x88, 0xB3, 0x1A},  // ł
    {'n', 0xF1, 0xA4, 0xE4, 0xF1, 0x1B},  // ń
    {'o', 0xF3, 0xA2, 0xA2, 0xF3, 0x1C},  // ó
    {'s', 0x9C, 0x9E, 0x98, 0xB6, 0x1D},  // ś
    {'z', 0x9F, 0xA6, 0xAB, 0xBC, 0x1E},  // ź
    {'z', 0xBF, 0xA7, 0xBE, 0xBF, 0x1F},  // ż
};

constexpr const char* kLettersUtf8 = "ĄĆĘŁŃÓŚŹŻąćęłńóśźż";

// Windows-1250 bytes 0x80 to 0xFF as Unicode; 0 where the code page has no character.
constexpr char32_t kWindows1250Unicode[128] = {
    0x20AC, 0x0000, 0x201A, 0x0000, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x0000, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,  // 0x88
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0000, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,  // 0x98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,  // 0xA0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,  // 0xA8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,  // 0xB8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,  // 0xC0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,  // 0xC8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,  // 0xD0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,  // 0xD8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,  // 0xE0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,  // 0xE8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,  // 0xF0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,  // 0xF8
};

std::string Column(int column) {
    std::string bytes;
    for (const auto& row : kLetters) {
        bytes += static_cast<char>(row[column]);
    }
    return bytes;
}

// UTF-8 of one code point, written out by hand for the ranges used here.
std::string Utf8Of(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Every byte between every pair of code pages: the letters move to their column, every other
// byte stays as it was.
TEST(PolishLetters, EveryByteBetweenEveryPairOfCodePages) {
    for (int from = 1; from <= 4; ++from) {
        for (int to = 0; to <= 5; ++to) {
            iBuffer b;
            const std::string all = AllByteValues();
            b.AppendBytes(all.data(), all.size());
            b.ConvertPolishLetters(from, to);
            for (int byte = 0; byte < 256; ++byte) {
                uint8_t expected = static_cast<uint8_t>(byte);
                for (const auto& row : kLetters) {
                    if (byte >= 0x80 && row[from] == byte) {
                        expected = row[to];
                    }
                }
                EXPECT_EQ(b.ByteAt(byte), expected) << from << " -> " << to << " byte " << byte;
            }
        }
    }
}

// The Latin and register columns are below 0x80, so nothing in them is converted; nor
// between columns that do not exist.
TEST(PolishLetters, LatinAndRegisterColumnsAreNoSource) {
    iBuffer codes("Za\x1F\x1C\x1A\x18");
    codes.ConvertPolishLetters(kRegisterCode, kWindows1250);
    codes.ConvertPolishLetters(kLatin, kMazovia);
    EXPECT_EQ(std::string(codes.View()), "Za\x1F\x1C\x1A\x18");
    iBuffer outside("\xB9\xB3");
    outside.ConvertPolishLetters(kWindows1250, 6);
    outside.ConvertPolishLetters(-1, kMazovia);
    EXPECT_EQ(std::string(outside.View()), "\xB9\xB3");
}

TEST(Windows1250, EveryByteToUtf8AndBack) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const std::string utf8 = Windows1250ToUtf8(one);
        if (byte < 0x80) {
            EXPECT_EQ(utf8, one);
        } else if (kWindows1250Unicode[byte - 0x80] != 0) {
            EXPECT_EQ(utf8, Utf8Of(kWindows1250Unicode[byte - 0x80])) << byte;
        }
        EXPECT_EQ(Utf8ToWindows1250(utf8), one) << byte;  // undefined bytes survive too
    }
    const std::string all = AllByteValues();
    EXPECT_EQ(Utf8ToWindows1250(Windows1250ToUtf8(all)), all);
}

TEST(Windows1250, CharactersOutsideTheCodePageAreReplaced) {
    EXPECT_EQ(Utf8ToWindows1250("a✓ж"), "a??");
    EXPECT_EQ(Utf8ToWindows1250("a✓", '_'), "a_");
}

TEST(Mazovia, PolishLettersBothWays) {
    EXPECT_EQ(MazoviaToUtf8(Column(kMazovia)), kLettersUtf8);
    EXPECT_EQ(Utf8ToMazovia(kLettersUtf8), Column(kMazovia));
}

TEST(Mazovia, CharactersThatWouldReadAsPolishLettersAreReplaced) {
    // ’ is 0x92 and the no-break space 0xA0 in Windows-1250: ł and Ź in Mazovia.
    EXPECT_EQ(Utf8ToMazovia("it’s\u00A0¤§"), "it?s???");
    EXPECT_EQ(Utf8ToMazovia("x’", '_'), "x_");
    for (int byte = 0x80; byte < 0x100; ++byte) {
        const std::string utf8 = Windows1250ToUtf8(std::string(1, static_cast<char>(byte)));
        const std::string mazovia = Utf8ToMazovia(utf8);
        ASSERT_EQ(mazovia.size(), 1u);
        // Whatever is sent either reads back as itself or is the replacement.
        if (mazovia != "?") {
            EXPECT_EQ(MazoviaToUtf8(mazovia), utf8) << byte;
        }
    }
}

TEST(Unicode, ConstructionDropsCharactersFromU2000Up) {
    const iBuffer b = iBuffer::FromUnicode("Zażółć €✓ab");
    EXPECT_EQ(std::string(b.View()), "Za\xBF\xF3\xB3\xE6 ab");
    EXPECT_EQ(b.Capacity(), 100);
    EXPECT_EQ(iBuffer::FromUnicode("\u1FFF").Length(), 1);  // below the limit: kept
    EXPECT_EQ(iBuffer::FromUnicode("\u2000").Length(), 0);
    EXPECT_EQ(iBuffer::FromUnicode("😀x").Length(), 1);

    iBuffer appended("1:");
    appended.AppendWide("ŁÓDŹ…");
    EXPECT_EQ(std::string(appended.View()),
              "1:\xA3\xD3"
              "D\x8F");
}

TEST(Unicode, Utf8LengthCountsCharacters) {
    EXPECT_EQ(Utf8Length(""), 0u);
    EXPECT_EQ(Utf8Length("zażółć gęślą jaźń"), 17u);
    EXPECT_EQ(Utf8Length("€😀"), 2u);
    EXPECT_EQ(Utf8Length("\xFF"
                         "a"),
              2u);  // a stray byte counts as one
    EXPECT_EQ(Utf8Prefix("zażółć", 3), "zaż");
}

}  // namespace
}  // namespace kasa
