#include "seq/sequence_files.h"

#include <cstdint>

#include "base/atomic_file.h"
#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"

namespace kasa {

namespace {

constexpr char kCr = '\r';
constexpr char kLf = '\n';

std::string Windows1250Lines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += Utf8ToWindows1250(line);
        bytes += "\r\n";
    }
    return bytes;
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
}

// The Polish letter a Mazovia byte stands for, 0 for any other byte.
char32_t MazoviaLetter(uint8_t byte) {
    for (size_t row = 0; row < kPolishLetterCount; ++row) {
        if (PolishLetterTable[row][kMazovia] == byte) {
            return PolishLetterCodePoints[row];
        }
    }
    return 0;
}

// The byte that the notation [xHH] at `at` stands for, or -1 when none stands there.
int NotationAt(std::string_view text, size_t at) {
    if (text[at] != '[' || at + 4 >= text.size() || text[at + 1] != 'x' || text[at + 4] != ']') {
        return -1;
    }
    const int high = HexDigitValue(text[at + 2]);
    const int low = HexDigitValue(text[at + 3]);
    return high >= 0 && low >= 0 ? high * 16 + low : -1;
}

}  // namespace

std::optional<std::vector<std::string>> SourceLinesFromFile(std::string bytes) {
    if (!DecodeTextInPlace(bytes)) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string_view text = bytes;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.emplace_back(text);  // a last line without an end
            break;
        }
        lines.emplace_back(text.substr(0, end));
        const bool crlf = text[end] == kCr && end + 1 < text.size() && text[end + 1] == kLf;
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::string SourceFileBytes(const std::vector<std::string>& lines) {
    return Windows1250Lines(lines);
}

std::string SequenceFileTooLargeMessage(const std::string& name, const std::string& purpose) {
    return "Plik " + name + " jest za duży " + purpose + ".\nPlik sekwencji może mieć najwyżej " +
           DecimalText(static_cast<int64_t>(kSequenceFileLimitMegabytes)) + " MB.";
}

std::optional<std::string> ReadEditableSequenceFile(const std::string& path, std::string& error) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        error = "Nie można odczytać pliku " + path + ".";
        return std::nullopt;
    }
    if (bytes.size() > kSequenceFileLimitBytes) {
        error = SequenceFileTooLargeMessage(path, "do edycji");
        return std::nullopt;
    }
    return bytes;
}

std::string ChecksumDigits(std::string_view bytes) {
    uint8_t sum = 0xFF;
    for (const char c : bytes) {
        sum ^= static_cast<uint8_t>(c);
    }
    return HexText(sum, 2);
}

std::string LineToFrameContent(std::string_view line) {
    // Letters are converted before the notation is decoded, so [xHH] is the byte as typed.
    std::string raw = Utf8ToWindows1250(line);
    ConvertPolishLetters(raw, kWindows1250, kMazovia);
    std::string content;
    content.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (const int byte = NotationAt(raw, i); byte >= 0) {
            content += static_cast<char>(byte);
            i += 4;
            continue;
        }
        content += raw[i];
    }
    return content;
}

std::string LineToFrame(std::string_view line) {
    const std::string content = LineToFrameContent(line);
    std::string frame;
    frame.reserve(content.size() + 6);
    frame += kFrameEscape;
    frame += 'P';
    frame += content;
    frame += ChecksumDigits(content);
    frame += kFrameEscape;
    frame += '\\';
    return frame;
}

std::string LinesToFrames(const std::vector<std::string>& lines) {
    std::string frames;
    for (const std::string& line : lines) {
        frames += LineToFrame(line);
    }
    return frames;
}

FramesAsLines FramesToLines(std::string_view bytes) {
    constexpr std::string_view kStart = "\x1BP";
    constexpr std::string_view kEnd = "\x1B\\";
    FramesAsLines result;
    size_t pos = 0;
    for (;;) {
        const size_t start = bytes.find(kStart, pos);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t contentStart = start + kStart.size();
        const size_t end = bytes.find(kEnd, contentStart);
        if (end == std::string_view::npos) {
            break;
        }
        std::string_view content = bytes.substr(contentStart, end - contentStart);
        pos = end + kEnd.size();
        const size_t number = result.lines.size() + 1;
        if (content.size() < 2) {
            ++result.checksumMismatches;
            result.mismatchedFrames.push_back(number);
            result.lines.emplace_back();
            continue;
        }
        const std::string_view digits = content.substr(content.size() - 2);
        content.remove_suffix(2);
        const std::string expected = ChecksumDigits(content);
        if (AsciiUpper(digits[0]) != expected[0] || AsciiUpper(digits[1]) != expected[1]) {
            ++result.checksumMismatches;
            result.mismatchedFrames.push_back(number);
        }
        std::string line;
        line.reserve(content.size());
        for (size_t i = 0; i < content.size(); ++i) {
            const char c = content[i];
            const auto b = static_cast<uint8_t>(c);
            if (const char32_t letter = MazoviaLetter(b); letter != 0) {
                AppendUtf8(line, letter);
            } else if (b < 0x20 || b >= 0x7F || NotationAt(content, i) >= 0) {
                // A bracket that would read as the notation is written as one itself, so
                // that the line gives back the frame's own bytes.
                line += "[x" + HexText(b, 2) + "]";
            } else {
                line += c;
            }
        }
        result.lines.push_back(std::move(line));
    }
    return result;
}

std::string ChecksumMismatchText(size_t frameNumber) {
    return "Błędna suma kontrolna w ramce " + DecimalText(static_cast<int64_t>(frameNumber)) + ".";
}

std::string SekSaveRefusal(const std::vector<std::string>& lines) {
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].empty()) {
            return "Linia " + DecimalText(static_cast<int64_t>(i + 1)) +
                   " jest pusta.\nOdczyt sekwencji kończy się na pierwszej pustej linii, więc "
                   "dalsze linie zostałyby utracone.\nUsuń pustą linię lub zapisz plik "
                   "binarny.";
        }
    }
    return {};
}

std::optional<std::vector<std::string>> SekLinesFromFile(std::string bytes) {
    if (!DecodeTextInPlace(bytes)) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    std::string_view text = bytes;
    while (!text.empty()) {
        const size_t end = text.find(kLf);
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with(kCr)) {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            break;
        }
        lines.emplace_back(line);
    }
    return lines;
}

std::string SekFileBytes(const std::vector<std::string>& lines) {
    return Windows1250Lines(lines);
}

}  // namespace kasa
