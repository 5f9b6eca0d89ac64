#include "sim/wire_reader.h"

#include "base/codepage.h"

namespace kasa::sim {

std::string CanonicalNumber(const std::string& digits, int decimals) {
    std::string integer = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    const std::string fraction = digits.substr(integer.size());
    const size_t first = integer.find_first_not_of('0');
    integer = first == std::string::npos ? "0" : integer.substr(first);
    return decimals > 0 ? integer + "." + fraction : integer;
}

bool WireReader::Take(size_t count, std::string_view& out) {
    if (pos_ + count > body_.size()) {
        return false;
    }
    out = body_.substr(pos_, count);
    pos_ += count;
    return true;
}

std::optional<std::string> WireReader::Bcd(int bytes, int decimals, bool littleEndian) {
    std::string_view raw;
    if (!Take(static_cast<size_t>(bytes), raw)) {
        return std::nullopt;
    }
    std::string digits;
    for (int i = 0; i < bytes; ++i) {
        const auto b = static_cast<uint8_t>(raw[littleEndian ? bytes - 1 - i : i]);
        const int high = b >> 4;
        const int low = b & 15;
        if (high > 9 || low > 9) {
            return std::nullopt;
        }
        digits += static_cast<char>('0' + high);
        digits += static_cast<char>('0' + low);
    }
    return CanonicalNumber(digits, decimals);
}

std::optional<std::string> WireReader::FixedText(size_t width) {
    std::string_view raw;
    if (!Take(width, raw)) {
        return std::nullopt;
    }
    const size_t end = raw.find('\xff');
    return MazoviaToUtf8(raw.substr(0, end));
}

std::optional<std::string> WireReader::CrText(size_t width) {
    std::string_view raw;
    if (!Take(width, raw)) {
        return std::nullopt;
    }
    size_t end = raw.find_first_of(std::string_view("\r\xff", 2));
    std::string_view text = raw.substr(0, end);
    // Non-empty lines are padded with spaces to the width.
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return MazoviaToUtf8(text);
}

std::optional<std::string> WireReader::LfText() {
    const size_t end = body_.find('\n', pos_);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view text = body_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return MazoviaToUtf8(text);
}

std::optional<std::string> WireReader::SmallSigned(bool littleEndian) {
    std::string_view raw;
    if (pos_ + 2 > body_.size()) {
        return std::nullopt;
    }
    raw = body_.substr(pos_, 2);
    const auto first = static_cast<uint8_t>(raw[0]);
    const auto second = static_cast<uint8_t>(raw[1]);
    if (second == 0xFF && first >= 247) {
        pos_ += 2;
        return "-" + std::to_string(256 - first);
    }
    return Bcd(2, 0, littleEndian);
}

std::optional<std::string> WireReader::Field(int code) {
    switch (code) {
        case 1: {
            std::string_view raw;
            if (!Take(7, raw)) {
                return std::nullopt;
            }
            static const char* digits = "0123456789ABCDEF";
            std::string hex;
            for (const char c : raw) {
                hex += digits[static_cast<uint8_t>(c) >> 4];
                hex += digits[static_cast<uint8_t>(c) & 15];
            }
            const std::string code1 = hex.substr(0, hex.find('F'));
            if (code1.find_first_not_of("0123456789") != std::string::npos) {
                return std::nullopt;
            }
            return code1;
        }
        case 2:
            return Bcd(1, 0, false);
        case 3:
            return Bcd(2, 1, true);
        case 4: {
            // Rates use two markers: 255 255 inactive, 254 255 exempt.
            if (pos_ + 2 <= body_.size() && static_cast<uint8_t>(body_[pos_ + 1]) == 0xFF) {
                const auto first = static_cast<uint8_t>(body_[pos_]);
                if (first == 0xFF || first == 0xFE) {
                    pos_ += 2;
                    return first == 0xFF ? "-1" : "-2";
                }
            }
            return Bcd(2, 2, true);
        }
        case 5:
            return Bcd(2, 3, true);
        case 6:
            return Bcd(3, 3, true);
        case 7:
            return Bcd(3, 0, true);
        case 8:
            return Bcd(2, 0, true);
        case 9:
            return Bcd(5, 3, true);
        case 10:
            return Bcd(5, 6, true);
        case 11:
            return Bcd(5, 10, true);
        case 12:
            return FixedText(6);
        case 13:
            return FixedText(7);
        case 14:
            return FixedText(11);
        case 15:
            return FixedText(16);
        case 16:
            return FixedText(18);
        case 17:
            return FixedText(19);
        case 18:
            return FixedText(20);
        case 19:
            return FixedText(40);
        case 20:
            return CrText(20);
        case 21:
            return LfText();
        case 22:
            return CrText(43);
        case 23:
            return Bcd(5, 2, true);
        case 25: {
            std::string_view raw;
            if (!Take(2, raw)) {
                return std::nullopt;
            }
            const auto value = [](char c) {
                return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            };
            if (value(raw[0]) < 0 || value(raw[1]) < 0) {
                return std::nullopt;
            }
            return std::to_string(value(raw[0]) * 16 + value(raw[1]));
        }
        case 26: {
            std::string_view raw;
            if (!Take(1, raw)) {
                return std::nullopt;
            }
            return std::to_string(static_cast<uint8_t>(raw[0]));
        }
        case 27:
            return SmallSigned(false);
        case 28:
            return SmallSigned(true);
        case 29:
            return Bcd(2, 0, true);
        case 30: {
            std::string_view raw;
            if (!Take(4, raw)) {
                return std::nullopt;
            }
            uint32_t value = 0;
            for (int i = 3; i >= 0; --i) {
                value = (value << 8) | static_cast<uint8_t>(raw[static_cast<size_t>(i)]);
            }
            return std::to_string(static_cast<int32_t>(value));
        }
        case 31: {
            const auto first = Bcd(1, 0, false);
            const auto second = Bcd(1, 0, false);
            if (!first || !second) {
                return std::nullopt;
            }
            return *first + " " + *second;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace kasa::sim
