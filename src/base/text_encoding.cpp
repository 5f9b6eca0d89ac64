#include "base/text_encoding.h"

#include <algorithm>
#include <cstdint>

#include "base/codepage.h"

namespace kasa {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// One control character in twenty is more than any text holds.
constexpr size_t kControlShareDivisor = 20;

bool IsAscii(std::string_view bytes) {
    return std::none_of(bytes.begin(), bytes.end(),
                        [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    const auto unitAt = [&](size_t pos) -> char32_t {
        const auto first = static_cast<uint8_t>(bytes[pos]);
        const auto second = static_cast<uint8_t>(bytes[pos + 1]);
        return bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
    };
    // A last odd byte is half a character and is dropped.
    for (size_t pos = 0; pos + 1 < bytes.size(); pos += 2) {
        char32_t unit = unitAt(pos);
        if (unit >= 0xD800 && unit <= 0xDBFF && pos + 3 < bytes.size()) {
            const char32_t low = unitAt(pos + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                pos += 2;
            }
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = 0xFFFD;  // half of a pair
        }
        AppendUtf8(out, unit);
    }
    return out;
}

}  // namespace

bool HoldsPolishLetter(std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        if (static_cast<uint8_t>(utf8[pos]) < 0x80) {
            ++pos;
            continue;
        }
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (std::find(PolishLetterCodePoints.begin(), PolishLetterCodePoints.end(), cp) !=
            PolishLetterCodePoints.end()) {
            return true;
        }
    }
    return false;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Bom)) {
        return TextEncoding::kUtf8;
    }
    if (bytes.starts_with(kUtf16LeBom)) {
        return TextEncoding::kUtf16Le;
    }
    if (bytes.starts_with(kUtf16BeBom)) {
        return TextEncoding::kUtf16Be;
    }
    if (IsAscii(bytes) || (IsValidUtf8(bytes) && HoldsPolishLetter(bytes))) {
        return TextEncoding::kUtf8;
    }
    return TextEncoding::kWindows1250;
}

bool LooksLikeText(std::string_view utf8) {
    size_t controls = 0;
    // The share is counted in characters, so that a text judged in one encoding is judged
    // the same in another.
    size_t characters = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<uint8_t>(utf8[i]);
        if (byte == 0) {
            return false;
        }
        if ((byte & 0xC0) != 0x80) {
            ++characters;
        }
        const bool c0 = byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r' && byte != '\f';
        // C1 controls (U+0080..U+009F) are where the bytes Windows-1250 leaves undefined go.
        const bool c1 = byte == 0xC2 && i + 1 < utf8.size() &&
                        static_cast<uint8_t>(utf8[i + 1]) >= 0x80 &&
                        static_cast<uint8_t>(utf8[i + 1]) <= 0x9F;
        if (c0 || c1 || byte == 0x7F) {
            ++controls;
        }
    }
    return controls * kControlShareDivisor <= characters;
}

bool DecodeTextInPlace(std::string& bytes) {
    const TextEncoding encoding = DetectTextEncoding(bytes);
    switch (encoding) {
        case TextEncoding::kUtf8:
            if (bytes.starts_with(kUtf8Bom)) {
                bytes.erase(0, kUtf8Bom.size());
            }
            break;
        case TextEncoding::kUtf16Le:
        case TextEncoding::kUtf16Be: {
            std::string text = Utf16ToUtf8(std::string_view(bytes).substr(kUtf16LeBom.size()),
                                           encoding == TextEncoding::kUtf16Be);
            bytes = std::move(text);
            break;
        }
        case TextEncoding::kWindows1250: {
            std::string text = Windows1250ToUtf8(bytes);
            bytes = std::move(text);
            break;
        }
    }
    if (!LooksLikeText(bytes)) {
        bytes.clear();
        bytes.shrink_to_fit();
        return false;
    }
    return true;
}

std::string NotTextFileMessage(std::string_view path) {
    return "Plik " + std::string(path) +
           " nie jest plikiem tekstowym: zawiera dane binarne, więc nie został odczytany.";
}

}  // namespace kasa
