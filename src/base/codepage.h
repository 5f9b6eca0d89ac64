// Code pages at the edges of the program: the Polish letter table and the conversions
// between UTF-8 (the program's own text) and the 8-bit code pages of files and the wire.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kasa {

// Columns of the Polish letter table.
enum PolishColumn : int {
    kLatin = 0,
    kWindows1250 = 1,
    kMazovia = 2,
    kCp852 = 3,
    kIso88592 = 4,
    kRegisterCode = 5,
};

inline constexpr int kPolishLetterCount = 18;
inline constexpr int kPolishColumnCount = 6;

// Rows in the order Ą Ć Ę Ł Ń Ó Ś Ź Ż ą ć ę ł ń ó ś ź ż.
extern const std::array<std::array<uint8_t, kPolishColumnCount>, kPolishLetterCount>
    PolishLetterTable;
// The Unicode code point of each row of the table.
extern const std::array<char32_t, kPolishLetterCount> PolishLetterCodePoints;

// Replaces each byte of 0x80 or above found in column `from` by the same row's byte in
// column `to`; every other byte is left alone.
void ConvertPolishLetters(uint8_t* data, size_t count, int from, int to);
void ConvertPolishLetters(std::string& bytes, int from, int to);

// UTF-8 helpers. Invalid sequences decode as U+FFFD and advance by one byte.
char32_t DecodeUtf8(std::string_view text, size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
size_t Utf8Length(std::string_view text);
bool IsValidUtf8(std::string_view text);
// The first `count` characters of a UTF-8 text.
std::string Utf8Prefix(std::string_view text, size_t count);

// Windows-1250. Bytes without a character map to the C1 code point of the same value so
// that nothing is lost on a round trip.
char32_t Windows1250ToUnicode(uint8_t byte);
// The Windows-1250 byte of a code point, or 0 when the code page has none.
uint8_t UnicodeToWindows1250(char32_t cp);
std::string Windows1250ToUtf8(std::string_view bytes);
// Characters without a Windows-1250 byte become `replacement`.
std::string Utf8ToWindows1250(std::string_view utf8, char replacement = '?');

// ISO-8859-2, as some Linux programs still save Polish text.
char32_t Iso88592ToUnicode(uint8_t byte);
std::string Iso88592ToUtf8(std::string_view bytes);

// Mazovia, as texts travel to and from the register: Polish letters by the table, other
// bytes as in Windows-1250. A character whose Windows-1250 byte is a Mazovia Polish letter
// is written as `replacement`, so it never turns into a letter on the register.
std::string MazoviaToUtf8(std::string_view bytes);
std::string Utf8ToMazovia(std::string_view utf8, char replacement = '?');

// Upper-case of a UTF-8 text, Polish letters included; other non-ASCII characters kept.
std::string Utf8ToUpper(std::string_view utf8);
// Polish letters replaced by their plain Latin letters.
std::string Utf8StripPolish(std::string_view utf8);

}  // namespace kasa
