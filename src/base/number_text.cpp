#include "base/number_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

namespace kasa {

std::string DecimalText(int64_t value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string HexText(uint64_t value, int width) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value, 16);
    std::string hex(text, result.ptr);
    for (char& c : hex) {
        if (c >= 'a' && c <= 'f') {
            c = static_cast<char>(c - 0x20);
        }
    }
    if (static_cast<int>(hex.size()) < width) {
        hex.insert(0, static_cast<size_t>(width) - hex.size(), '0');
    }
    return hex;
}

namespace {

// Formats come from settings files; a silly width or precision must not overflow.
constexpr int kLargestField = 2000;

std::string ConvertOne(char conversion, int precision, double value) {
    std::chars_format format = std::chars_format::fixed;
    switch (conversion) {
        case 'e':
        case 'E':
            format = std::chars_format::scientific;
            break;
        case 'g':
        case 'G':
            format = std::chars_format::general;
            break;
        default:
            break;
    }
    // The largest double has 309 integer digits; the precision adds to that.
    std::vector<char> text(static_cast<size_t>(precision) + 330);
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, format, precision);
    if (result.ec != std::errc()) {
        return "0";
    }
    std::string out(text.data(), result.ptr);
    if (format == std::chars_format::scientific) {
        // printf writes at least two exponent digits.
        const size_t e = out.find('e');
        if (e != std::string::npos && out.size() - e == 3) {
            out = out.substr(0, e + 2) + '0' + out.substr(e + 2);
        }
    }
    if (conversion == 'E' || conversion == 'G') {
        for (char& c : out) {
            if (c == 'e') {
                c = 'E';
            }
        }
    }
    return out;
}

}  // namespace

std::string FormatDouble(std::string_view format, double value) {
    std::string out;
    size_t i = 0;
    bool converted = false;
    while (i < format.size()) {
        const char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        ++i;
        bool left = false, plus = false, space = false, zero = false;
        for (; i < format.size(); ++i) {
            const char f = format[i];
            if (f == '-') {
                left = true;
            } else if (f == '+') {
                plus = true;
            } else if (f == ' ') {
                space = true;
            } else if (f == '0') {
                zero = true;
            } else if (f != '#') {
                break;
            }
        }
        int width = 0;
        while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
            width = std::min(width * 10 + (format[i] - '0'), kLargestField);
            ++i;
        }
        int precision = 6;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9') {
                precision = std::min(precision * 10 + (format[i] - '0'), kLargestField);
                ++i;
            }
        }
        while (i < format.size() && (format[i] == 'l' || format[i] == 'L')) {
            ++i;
        }
        const char conversion = i < format.size() ? format[i] : 'f';
        ++i;
        if (converted) {
            continue;  // one value only; further conversions print nothing
        }
        converted = true;
        std::string number = ConvertOne(conversion, precision, value);
        std::string sign;
        if (!number.empty() && number[0] == '-') {
            sign = "-";
            number.erase(0, 1);
        } else if (plus) {
            sign = "+";
        } else if (space) {
            sign = " ";
        }
        const int length = static_cast<int>(sign.size() + number.size());
        if (length < width) {
            const auto pad = static_cast<size_t>(width - length);
            if (left) {
                number.append(pad, ' ');
            } else if (zero) {
                number.insert(0, pad, '0');
            } else {
                sign.insert(0, pad, ' ');
            }
        }
        out += sign;
        out += number;
    }
    return out;
}

std::optional<double> ParseDouble(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    text.remove_prefix(i);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        return std::nullopt;  // from_chars would take the second sign
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::string PrintableText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char ch : bytes) {
        const auto b = static_cast<uint8_t>(ch);
        if (b >= 32 && b <= 126) {
            out += ch;
        } else {
            out += "[x";
            out += kDigits[b >> 4];
            out += kDigits[b & 0x0F];
            out += ']';
        }
    }
    return out;
}

std::string CountText(int64_t n, const char* one, const char* few, const char* many) {
    const int64_t tens = n % 100;
    const int64_t units = n % 10;
    const char* word = n == 1                                                 ? one
                       : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? few
                                                                              : many;
    return DecimalText(n) + " " + word;
}

}  // namespace kasa
