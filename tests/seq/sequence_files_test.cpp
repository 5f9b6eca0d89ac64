#include "seq/sequence_files.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/bytes.h"

namespace kasa {
namespace {

using Lines = std::vector<std::string>;
using testing::Bytes;

struct FrameCase {
    const char* name;
    std::string line;
    std::string frame;
};

class LineToFrameCases : public ::testing::TestWithParam<FrameCase> {};

TEST_P(LineToFrameCases, GivesExactFrame) {
    EXPECT_EQ(LineToFrame(GetParam().line), GetParam().frame);
}

INSTANTIATE_TEST_SUITE_P(
    SequenceFiles, LineToFrameCases,
    ::testing::Values(
        FrameCase{"EmptyLine", "", Bytes({0x1B, 0x50, 0x46, 0x46, 0x1B, 0x5C})},
        // FF^41 = BE.
        FrameCase{"OneLetter", "A", Bytes({0x1B, 0x50, 0x41, 0x42, 0x45, 0x1B, 0x5C})},
        // FF^1B = E4, E4^50 = B4.
        FrameCase{"EscapeInEitherCase", "[x1B]P",
                  Bytes({0x1B, 0x50, 0x1B, 0x50, 0x42, 0x34, 0x1B, 0x5C})},
        // ą is B9 in Windows-1250 and 86 in Mazovia; FF^86 = 79.
        FrameCase{"PolishLetter", "ą", Bytes({0x1B, 0x50, 0x86, 0x37, 0x39, 0x1B, 0x5C})},
        // The notation is the byte as typed, not a letter to convert: FF^B9 = 46.
        FrameCase{"HexNotConverted", "[xB9]", Bytes({0x1B, 0x50, 0xB9, 0x34, 0x36, 0x1B, 0x5C})},
        // Not a byte notation: one digit only. FF^5B^78^34^5D = B5.
        FrameCase{"ShortNotationKept", "[x4]",
                  Bytes({0x1B, 0x50, 0x5B, 0x78, 0x34, 0x5D, 0x42, 0x35, 0x1B, 0x5C})},
        // Not a byte notation: G is no digit. FF^5B^78^47^31^5D = F7.
        FrameCase{"NonHexNotationKept", "[xG1]",
                  Bytes({0x1B, 0x50, 0x5B, 0x78, 0x47, 0x31, 0x5D, 0x46, 0x37, 0x1B, 0x5C})}),
    [](const ::testing::TestParamInfo<FrameCase>& param) { return std::string(param.param.name); });

TEST(SequenceFiles, FramesToLinesSkipsBytesOutsideFramesAndUnfinishedFrame) {
    const std::string bytes = "xx" + LineToFrame("A") + "\r\n" + LineToFrame("") + "yy" +
                              Bytes({0x1B, 0x50, 0x42, 0x42, 0x44});
    const FramesAsLines read = FramesToLines(bytes);
    EXPECT_EQ(read.lines, (Lines{"A", ""}));
    EXPECT_EQ(read.checksumMismatches, 0);
}

TEST(SequenceFiles, FramesToLinesWritesNotationForControlAndHighBytes) {
    // Content: ESC P 1F 20 7E 7F 86(Mazovia ą) 80; checksum digits not checked here.
    const std::string frame =
        Bytes({0x1B, 0x50, 0x1B, 0x50, 0x1F, 0x20, 0x7E, 0x7F, 0x86, 0x80, 0x30, 0x30, 0x1B, 0x5C});
    const FramesAsLines read = FramesToLines(frame);
    EXPECT_EQ(read.lines, (Lines{"[x1B]P[x1F] ~[x7F]ą[x80]"}));
    EXPECT_EQ(read.checksumMismatches, 1);
    // Text that would read as the notation keeps its bracket as a byte of its own.
    const FramesAsLines literal = FramesToLines(LineToFrame("[x5B]x41] [X41] [x4]"));
    EXPECT_EQ(literal.lines, (Lines{"[x5B]x41] [X41] [x4]"}));
}

TEST(SequenceFiles, FramesToLinesCountsWrongChecksums) {
    const std::string bytes = Bytes({0x1B, 0x50, 0x41, 0x42, 0x44, 0x1B, 0x5C}) +  // BD: wrong
                              Bytes({0x1B, 0x50, 0x41, 0x62, 0x65, 0x1B, 0x5C}) +  // be: right
                              Bytes({0x1B, 0x50, 0x41, 0x1B, 0x5C});  // too short for a checksum
    const FramesAsLines read = FramesToLines(bytes);
    EXPECT_EQ(read.lines, (Lines{"A", "A", ""}));
    EXPECT_EQ(read.checksumMismatches, 2);
    EXPECT_EQ(read.mismatchedFrames, (std::vector<size_t>{1, 3}));
    EXPECT_EQ(ChecksumMismatchText(3), "Błędna suma kontrolna w ramce 3.");
}

TEST(SequenceFiles, BinWrittenFromLinesReadsBackToSameLines) {
    const Lines lines{"[x1B]P1#",          "Cena: 12,50 zł", "",
                      "Zażółć gęślą jaźń", "ĄĆĘŁŃÓŚŹŻ",      "[x00][x0D][x0A][xFF][xB9]"};
    const FramesAsLines read = FramesToLines(LinesToFrames(lines));
    EXPECT_EQ(read.lines, lines);
    EXPECT_EQ(read.checksumMismatches, 0);
}

// A `.sek` file ends at its first empty line; a source file keeps empty lines.
TEST(SequenceFiles, LineReading) {
    using Reader = std::optional<Lines> (*)(std::string);
    struct Case {
        const char* name;
        Reader read;
        std::string bytes;
        Lines lines;
    };
    const Case cases[] = {
        {"sek stops at empty third line", SekLinesFromFile, "A\r\nB\r\n\r\nC\r\n", {"A", "B"}},
        {"sek lf only", SekLinesFromFile, "A\nB", {"A", "B"}},
        {"sek empty first line", SekLinesFromFile, "\r\nA\r\n", {}},
        {"sek cr inside a line kept", SekLinesFromFile, "A\rB\r\n", {"A\rB"}},
        {"sek empty", SekLinesFromFile, "", {}},
        {"sek utf-16le with mark",
         SekLinesFromFile,
         std::string("\xFF\xFE\x05\x01\r\0\n\0", 8),
         {"ą"}},
        {"source crlf", SourceLinesFromFile, "a\r\nb\r\n", {"a", "b"}},
        {"source cr only", SourceLinesFromFile, "a\rb", {"a", "b"}},
        {"source lf only", SourceLinesFromFile, "a\nb\n", {"a", "b"}},
        {"source empty lines kept", SourceLinesFromFile, "a\r\n\r\nb", {"a", "", "b"}},
        {"source empty", SourceLinesFromFile, "", {}},
        {"source utf-16be with mark",
         SourceLinesFromFile,
         std::string("\xFE\xFF\0x\x01\x42", 6),
         {"xł"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.read(c.bytes), c.lines) << c.name;
    }
}

TEST(SequenceFiles, SekWrittenInWindows1250WithCrLf) {
    EXPECT_EQ(SekFileBytes({"ą[x1B]", "B"}), "\xB9[x1B]\r\nB\r\n");
    EXPECT_EQ(SekLinesFromFile(SekFileBytes({"ą[x1B]", "B"})), (Lines{"ą[x1B]", "B"}));
    EXPECT_FALSE(SekLinesFromFile(std::string("A\0\x01\x02\r\n", 6)).has_value());
}

TEST(SequenceFiles, SekSaveRefusesAnEmptyLineBeforeTheLast) {
    EXPECT_EQ(SekSaveRefusal({"A", "B", ""}), "");
    EXPECT_EQ(SekSaveRefusal({"A", "", "C"}).rfind("Linia 2 jest pusta.", 0), 0u);
}

TEST(SequenceFiles, SourceWrittenInWindows1250WithCrLf) {
    EXPECT_EQ(SourceFileBytes({"zażółć", ""}), "za\xBF\xF3\xB3\xE6\r\n\r\n");
}

TEST(SequenceFiles, ChecksumDigits) {
    EXPECT_EQ(ChecksumDigits(""), "FF");
    EXPECT_EQ(ChecksumDigits("AB"), "FC");
    EXPECT_EQ(ChecksumDigits(Bytes({0xFF})), "00");
}

struct ExtensionCase {
    const char* chosen;
    const char* extension;
    const char* kept;
};

class SaveExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(SaveExtension, Applies) {
    EXPECT_EQ(WithSaveExtension(GetParam().chosen, GetParam().extension), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    SequenceFiles, SaveExtension,
    ::testing::Values(
        ExtensionCase{"seq.dat", ".txt", "seq.txt"}, ExtensionCase{"a.b.c", ".txt", "a.txt"},
        ExtensionCase{"x.TXT", ".txt", "x.TXT"}, ExtensionCase{"x.Txt.old", ".txt", "x.Txt.old"},
        ExtensionCase{"plik", ".bin", "plik.bin"}, ExtensionCase{"ramki.sek", ".SEK", "ramki.sek"},
        ExtensionCase{"/home/jan.kowalski/seq.dat", ".txt", "/home/jan.kowalski/seq.txt"},
        ExtensionCase{"/dane.txt/seq", ".txt", "/dane.txt/seq.txt"},
        ExtensionCase{"/dane/zażółć.dat", ".bin", "/dane/zażółć.bin"}));

}  // namespace
}  // namespace kasa
