#include "base/codepage.h"

namespace kasa {

const std::array<std::array<uint8_t, kPolishColumnCount>, kPolishLetterCount> PolishLetterTable = {{
    {{'A', 0xA5, 0x8F, 0xA4, 0xA1, 0x0E}},  // Ą
    {{'C', 0xC6, 0x95, 0x8F, 0xC6, 0x0F}},  // Ć
    {{'E', 0xCA, 0x90, 0xA8, 0xCA, 0x10}},  // Ę
    {{'L', 0xA3, 0x9C, 0x9D, 0xA3, 0x11}},  // Ł
    {{'N', 0xD1, 0xA5, 0xE3, 0xD1, 0x12}},  // Ń
    {{'O', 0xD3, 0xA3, 0xE0, 0xD3, 0x13}},  // Ó
    {{'S', 0x8C, 0x98, 0x97, 0xA6, 0x14}},  // Ś
    {{'Z', 0x8F, 0xA0, 0x8D, 0xAC, 0x15}},  // Ź
    {{'Z', 0xAF, 0xA1, 0xBD, 0xAF, 0x16}},  // Ż
    {{'a', 0xB9, 0x86, 0xA5, 0xB1, 0x17}},  // ą
    {{'c', 0xE6, 0x8D, 0x86, 0xE6, 0x18}},  // ć
    {{'e', 0xEA, 0x91, 0xA9, 0xEA, 0x19}},  // ę
    {{'l', 0xB3, 0x92, 0x88, 0xB3, 0x1A}},  // ł
    {{'n', 0xF1, 0xA4, 0xE4, 0xF1, 0x1B}},  // ń
    {{'o', 0xF3, 0xA2, 0xA2, 0xF3, 0x1C}},  // ó
    {{'s', 0x9C, 0x9E, 0x98, 0xB6, 0x1D}},  // ś
    {{'z', 0x9F, 0xA6, 0xAB, 0xBC, 0x1E}},  // ź
    {{'z', 0xBF, 0xA7, 0xBE, 0xBF, 0x1F}},  // ż
}};

const std::array<char32_t, kPolishLetterCount> PolishLetterCodePoints = {
    0x0104, 0x0106, 0x0118, 0x0141, 0x0143, 0x00D3, 0x015A, 0x0179, 0x017B,
    0x0105, 0x0107, 0x0119, 0x0142, 0x0144, 0x00F3, 0x015B, 0x017A, 0x017C,
};

namespace {
// Windows-1250 bytes 0x80 to 0xFF; 0 marks a byte without a character.
constexpr std::array<char16_t, 128> kWindows1250High = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, 0,      0x2030, 0x0160, 0x2039,
    0x015A, 0x0164, 0x017D, 0x0179, 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0, 0x02C7, 0x02D8, 0x0141,
    0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB,
    0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3,
    0x00D4, 0x0150, 0x00D6, 0x00D7, 0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB,
    0x011B, 0x00ED, 0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
}  // namespace

void ConvertPolishLetters(uint8_t* data, size_t count, int from, int to) {
    if (from < 0 || from >= kPolishColumnCount || to < 0 || to >= kPolishColumnCount) {
        return;
    }
    for (size_t i = 0; i < count; ++i) {
        if (data[i] < 0x80) {
            continue;
        }
        for (const auto& row : PolishLetterTable) {
            if (row[from] == data[i]) {
                data[i] = row[to];
                break;
            }
        }
    }
}

void ConvertPolishLetters(std::string& bytes, int from, int to) {
    ConvertPolishLetters(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size(), from, to);
}

char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t b0 = byte(pos);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
        ++pos;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + extra >= text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i <= extra; ++i) {
        const uint8_t b = byte(pos + i);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += extra + 1;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

size_t Utf8Length(std::string_view text) {
    size_t count = 0;
    for (size_t pos = 0; pos < text.size();) {
        DecodeUtf8(text, pos);
        ++count;
    }
    return count;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t pos = 0; pos < text.size();) {
        const size_t start = pos;
        // An invalid sequence decodes as U+FFFD in one byte; a real U+FFFD takes three.
        if (DecodeUtf8(text, pos) == 0xFFFD && pos - start == 1) {
            return false;
        }
    }
    return true;
}

std::string Utf8Prefix(std::string_view text, size_t count) {
    size_t pos = 0;
    for (size_t n = 0; n < count && pos < text.size(); ++n) {
        DecodeUtf8(text, pos);
    }
    return std::string(text.substr(0, pos));
}

char32_t Windows1250ToUnicode(uint8_t byte) {
    if (byte < 0x80) {
        return byte;
    }
    const char16_t cp = kWindows1250High[byte - 0x80];
    return cp != 0 ? cp : byte;
}

uint8_t UnicodeToWindows1250(char32_t cp) {
    if (cp < 0x80) {
        return static_cast<uint8_t>(cp);
    }
    for (int i = 0; i < 128; ++i) {
        if (kWindows1250High[i] == cp || (kWindows1250High[i] == 0 && cp == char32_t(0x80 + i))) {
            return static_cast<uint8_t>(0x80 + i);
        }
    }
    return 0;
}

std::string Windows1250ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        AppendUtf8(out, Windows1250ToUnicode(static_cast<uint8_t>(c)));
    }
    return out;
}

namespace {
// ISO-8859-2 from 0xA0 to 0xBF; from 0xC0 up it agrees with Windows-1250, and below 0xA0
// it holds the C1 controls, which keep their code points.
constexpr std::array<char16_t, 32> kIso88592A0 = {
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7, 0x00A8, 0x0160, 0x015E,
    0x0164, 0x0179, 0x00AD, 0x017D, 0x017B, 0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E,
    0x015B, 0x02C7, 0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C,
};
}  // namespace

char32_t Iso88592ToUnicode(uint8_t byte) {
    if (byte < 0xA0) {
        return byte;
    }
    if (byte < 0xC0) {
        return kIso88592A0[byte - 0xA0];
    }
    return Windows1250ToUnicode(byte);
}

std::string Iso88592ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        AppendUtf8(out, Iso88592ToUnicode(static_cast<uint8_t>(c)));
    }
    return out;
}

namespace {
// UTF-8 into an 8-bit code page: ASCII stays, every other character is the byte `byteOf`
// gives it.
template <class ByteOf>
std::string FromUtf8(std::string_view utf8, ByteOf byteOf) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        out += cp < 0x80 ? static_cast<char>(cp) : byteOf(cp);
    }
    return out;
}
}  // namespace

std::string Utf8ToWindows1250(std::string_view utf8, char replacement) {
    return FromUtf8(utf8, [replacement](char32_t cp) {
        const uint8_t b = UnicodeToWindows1250(cp);
        return b != 0 ? static_cast<char>(b) : replacement;
    });
}

std::string MazoviaToUtf8(std::string_view bytes) {
    std::string converted(bytes);
    ConvertPolishLetters(converted, kMazovia, kWindows1250);
    return Windows1250ToUtf8(converted);
}

namespace {
// The row of the Polish letter whose byte in `column` is `b`, or -1.
int LetterRowOfByte(uint8_t b, int column) {
    for (int i = 0; i < kPolishLetterCount; ++i) {
        if (PolishLetterTable[i][column] == b) {
            return i;
        }
    }
    return -1;
}
}  // namespace

std::string Utf8ToMazovia(std::string_view utf8, char replacement) {
    return FromUtf8(utf8, [replacement](char32_t cp) {
        const uint8_t windows = UnicodeToWindows1250(cp);
        if (const int row = LetterRowOfByte(windows, kWindows1250); windows != 0 && row >= 0) {
            return static_cast<char>(PolishLetterTable[row][kMazovia]);
        }
        if (windows == 0 || LetterRowOfByte(windows, kMazovia) >= 0) {
            // Without this, ’ (0x92 in Windows-1250) would reach the register as Mazovia ł.
            return replacement;
        }
        return static_cast<char>(windows);
    });
}

namespace {
int PolishRow(char32_t cp) {
    for (int i = 0; i < kPolishLetterCount; ++i) {
        if (PolishLetterCodePoints[i] == cp) {
            return i;
        }
    }
    return -1;
}
}  // namespace

std::string Utf8ToUpper(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 'a' && cp <= 'z') {
            cp -= 0x20;
        } else if (const int row = PolishRow(cp); row >= 9) {
            cp = PolishLetterCodePoints[row - 9];
        }
        AppendUtf8(out, cp);
    }
    return out;
}

std::string Utf8StripPolish(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (const int row = PolishRow(cp); row >= 0) {
            out += static_cast<char>(PolishLetterTable[row][kLatin]);
        } else {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

}  // namespace kasa
