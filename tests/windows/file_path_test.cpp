#include "base/file_path.h"

#include <gtest/gtest.h>

#include <string>

namespace kasa {
namespace {

// A UTF-8 path becomes the UTF-16 path of the same letters, whatever the ANSI code page;
// the letters below are written out by their code points (ł U+0142, ż U+017C, ó U+00F3,
// ć U+0107).
TEST(WindowsFilePathTest, Utf8BecomesTheWidePathOfTheSameLetters) {
    const std::string utf8 = "C:\\Users\\Pawe\xC5\x82\\\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87.csv";
    const std::filesystem::path path = PathFromUtf8(utf8);
    EXPECT_EQ(path.native(), L"C:\\Users\\Pawe\u0142\\\u017C\u00F3\u0142\u0107.csv");
    EXPECT_EQ(path.filename().native(), L"\u017C\u00F3\u0142\u0107.csv");
    EXPECT_EQ(path.parent_path().native(), L"C:\\Users\\Pawe\u0142");
    EXPECT_EQ(Utf8FromPath(path), utf8);
    EXPECT_EQ(Utf8FromPath(path.parent_path() / L"\u017C\u00F3\u0142\u0107.pod"),
              "C:\\Users\\Pawe\xC5\x82\\\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87.pod");
    // A letter outside the basic plane takes two UTF-16 units and comes back whole.
    EXPECT_EQ(PathFromUtf8("\xF0\x9F\x93\x84.txt").native(), L"\U0001F4C4.txt");
    EXPECT_EQ(Utf8FromPath(PathFromUtf8("\xF0\x9F\x93\x84.txt")), "\xF0\x9F\x93\x84.txt");
    EXPECT_TRUE(PathFromUtf8("").empty());
}

// Bytes that are not UTF-8 (a name typed in Windows-1250 into a settings file) give a
// path that opens nothing, never an exception.
TEST(WindowsFilePathTest, BytesThatAreNotUtf8DoNotThrow) {
    std::filesystem::path path;
    EXPECT_NO_THROW(path = PathFromUtf8("Pawe\xB3.csv"));
    EXPECT_EQ(path.native(), L"Pawe\uFFFD.csv");
}

}  // namespace
}  // namespace kasa
