// Number texts that never depend on the C locale: the program sets the user's locale for
// the windows, and a comma must never slip into the protocol or the files.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kasa {

std::string DecimalText(int64_t value);
// A count with its Polish noun in the form the number takes: `one` for 1, `few` for 2-4,
// 22-24, ... (but not 12-14), `many` for the rest ("1 błąd", "3 błędy", "12 błędów").
std::string CountText(int64_t n, const char* one, const char* few, const char* many);
// Upper-case hexadecimal, zero-padded to `width` digits (0: no padding).
std::string HexText(uint64_t value, int width);
// printf-style formatting of one double ("%f", "%0.2f", "%.0lf%%", "%8.3e", ...), always
// with a decimal point.
std::string FormatDouble(std::string_view format, double value);
// A whole text read as a double ("." as the decimal point, leading "+" allowed); the
// longest number at the front is taken, as scanf would.
std::optional<double> ParseDouble(std::string_view text);
// The value of one hexadecimal digit of either case, or -1.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// Bytes 32 to 126 stand for themselves, every other byte is written as [xHH].
std::string PrintableText(std::string_view bytes);

}  // namespace kasa
