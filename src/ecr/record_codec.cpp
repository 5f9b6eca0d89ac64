#include "ecr/record_codec.h"

#include <charconv>
#include <cmath>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr uint8_t kCarriageReturn = 13;
constexpr uint8_t kLineFeed = 10;
constexpr uint8_t kFill = 255;

// The bytes of the fixed texts, kFieldText6 .. kFieldText40 in code order; 0 for any other
// field.
int FixedTextLength(FieldCode code) {
    constexpr int kBytes[] = {6, 7, 11, 16, 18, 19, 20, 40};
    return code >= kFieldText6 && code <= kFieldText40 ? kBytes[code - kFieldText6] : 0;
}

int NibbleOf(char c) {
    return HexDigitValue(c);
}

// Packs pairs of characters into bytes, the first of a pair the high nibble; a character
// that is not a hexadecimal digit counts as 0.
void AppendPacked(iBuffer& request, std::string_view digits) {
    for (size_t i = 0; i + 1 < digits.size(); i += 2) {
        const int high = NibbleOf(digits[i]);
        const int low = NibbleOf(digits[i + 1]);
        request.AppendByte(
            static_cast<uint8_t>(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low)));
    }
}

// Reverses the order of two-digit groups (most significant first <-> least first).
std::string SwapPairs(std::string_view digits) {
    std::string out;
    out.reserve(digits.size());
    for (size_t i = digits.size(); i >= 2; i -= 2) {
        out.append(digits.substr(i - 2, 2));
    }
    return out;
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

struct NumericLayout {
    int digits = 0;
    int decimals = 0;
    bool leastFirst = false;
};

bool NumericLayoutOf(FieldCode code, NumericLayout& layout) {
    switch (code) {
        case kFieldTwoDigits:
            layout = {2, 0, false};
            return true;
        case kFieldTenths4:
            layout = {4, 1, true};
            return true;
        case kFieldHundredths4:
            layout = {4, 2, true};
            return true;
        case kFieldThousandths4:
            layout = {4, 3, true};
            return true;
        case kFieldQuantity6:
            layout = {6, 3, true};
            return true;
        case kFieldCount6:
            layout = {6, 0, true};
            return true;
        case kFieldCount4:
            layout = {4, 0, true};
            return true;
        case kFieldQuantity10:
            layout = {10, 3, true};
            return true;
        case kFieldRate10:
            layout = {10, 6, true};
            return true;
        case kFieldFraction10:
            layout = {10, 10, true};
            return true;
        case kFieldAmount:
            layout = {10, 2, true};
            return true;
        case kFieldSignedBe:
            layout = {4, 0, false};
            return true;
        case kFieldSignedLe:
        case kFieldDigits4:
            layout = {4, 0, true};
            return true;
        default:
            return false;
    }
}

// The digits of a number aligned into a field of `digits` places with `decimals` of them
// after the point: surplus decimals fall off the right, surplus integer digits off the left.
std::string AlignedDigits(std::string_view text, int digits, int decimals) {
    std::string copied;
    int integerDigits = -1;
    for (const char c : text) {
        if (c == '.' || c == ',') {
            // Counted over the copied characters, so that a thousands separator before the
            // decimal one cannot shift the number by a place.
            integerDigits = static_cast<int>(copied.size());
        } else {
            copied += c;
        }
    }
    if (integerDigits < 0) {
        integerDigits = static_cast<int>(copied.size());
    }
    const int offset = digits - decimals - integerDigits;
    std::string out(static_cast<size_t>(digits), '0');
    for (int k = 0; k < digits; ++k) {
        const int from = k - offset;
        if (from >= 0 && from < static_cast<int>(copied.size())) {
            out[static_cast<size_t>(k)] = copied[static_cast<size_t>(from)];
        }
    }
    return out;
}

int EncodeNumeric(iBuffer& request, std::string_view text, const NumericLayout& layout) {
    std::string digits = AlignedDigits(Trimmed(text), layout.digits, layout.decimals);
    if (layout.leastFirst) {
        digits = SwapPairs(digits);
    }
    AppendPacked(request, digits);
    return layout.digits;
}

// Codes 27 and 28 send a negative value as its 16-bit two's complement, least significant
// byte first: -d as the bytes (256 - d) and 255.
int EncodeSignedNegative(iBuffer& request, FieldCode code, std::string_view text) {
    const std::optional<int64_t> magnitude = ParseInteger(text.substr(1));
    if (!magnitude || *magnitude < 0 || *magnitude > 32768) {
        return -1;
    }
    if (*magnitude == 0) {
        return EncodeNumeric(request, "0", {4, 0, code == kFieldSignedLe});
    }
    const auto value = static_cast<uint16_t>(65536 - *magnitude);
    request.AppendByte(static_cast<uint8_t>(value & 0xFF));
    request.AppendByte(static_cast<uint8_t>(value >> 8));
    return code == kFieldSignedBe ? 2 : 0;
}

int EncodeBarcode(iBuffer& request, std::string_view utf8) {
    std::string digits = Utf8ToMazovia(Trimmed(utf8));
    if (digits.size() <= 1) {
        digits.clear();
    }
    if (digits.size() > 14) {
        digits.resize(14);
    }
    digits.append(14 - digits.size(), 'F');
    AppendPacked(request, digits);
    return 14;
}

int EncodeFixedText(iBuffer& request, std::string_view utf8, int width) {
    std::string bytes = Utf8ToMazovia(utf8);
    if (static_cast<int>(bytes.size()) > width) {
        bytes.resize(static_cast<size_t>(width));
    }
    request.Append(bytes);
    for (int i = static_cast<int>(bytes.size()); i < width; ++i) {
        request.AppendByte(kFill);
    }
    return width;
}

int EncodeCarriageReturnText(iBuffer& request, std::string_view utf8, int width) {
    std::string bytes = Utf8ToMazovia(utf8);
    if (!bytes.empty()) {
        if (static_cast<int>(bytes.size()) > width) {
            bytes.resize(static_cast<size_t>(width));
        }
        request.Append(bytes);
        for (int i = static_cast<int>(bytes.size()); i < width; ++i) {
            request.AppendByte(' ');
        }
        return width;
    }
    int written = 0;
    const int32_t length = request.Length();
    const uint8_t last = length > 0 ? request.ByteAt(length - 1) : 0;
    if (length == 0 || (last != kCarriageReturn && last != kFill)) {
        request.AppendByte(kCarriageReturn);
        written = 1;
    }
    for (; written < width; ++written) {
        request.AppendByte(kFill);
    }
    return width;
}

uint8_t TwoDigitBcd(std::string_view number) {
    const std::string digits = AlignedDigits(number, 2, 0);
    return static_cast<uint8_t>(((digits[0] - '0') << 4) | (digits[1] - '0'));
}

int EncodeNumberPair(iBuffer& request, std::string_view text) {
    std::string_view numbers[2];
    int found = 0;
    size_t i = 0;
    while (found < 2 && i < text.size()) {
        while (i < text.size() && (text[i] < '0' || text[i] > '9')) {
            ++i;
        }
        const size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        if (i > start) {
            numbers[found++] = text.substr(start, i - start);
        }
    }
    request.AppendByte(TwoDigitBcd(numbers[0]));
    request.AppendByte(TwoDigitBcd(numbers[1]));
    return 0;
}

int EncodeFieldBytes(iBuffer& request, FieldCode code, std::string_view utf8) {
    if (const int length = FixedTextLength(code); length > 0) {
        return EncodeFixedText(request, utf8, length);
    }
    switch (code) {
        case kFieldBarcode:
            return EncodeBarcode(request, utf8);
        case kFieldLineCr20:
            return EncodeCarriageReturnText(request, utf8, 20);
        case kFieldLineCr43:
            return EncodeCarriageReturnText(request, utf8, 43);
        case kFieldLineLf: {
            const std::string bytes = Utf8ToMazovia(utf8);
            request.Append(bytes);
            request.AppendByte(kLineFeed);
            return static_cast<int>(bytes.size()) + 1;
        }
        case kFieldUnused:
            return 0;
        case kFieldHexByte: {
            const auto value = static_cast<uint8_t>(ParseInteger(utf8).value_or(0) & 0xFF);
            request.Append(HexText(value, 2));
            return 0;
        }
        case kFieldRawByte:
            request.AppendByte(static_cast<uint8_t>(ParseInteger(utf8).value_or(0) & 0xFF));
            return 0;
        case kFieldLong32: {
            const auto value = static_cast<uint32_t>(ParseInteger(utf8).value_or(0));
            for (int shift = 0; shift < 32; shift += 8) {
                request.AppendByte(static_cast<uint8_t>((value >> shift) & 0xFF));
            }
            return 4;
        }
        case kFieldNumberPair:
            return EncodeNumberPair(request, utf8);
        case kFieldSignedBe:
        case kFieldSignedLe:
            if (const std::string_view t = Trimmed(utf8); !t.empty() && t.front() == '-') {
                return EncodeSignedNegative(request, code, t);
            }
            [[fallthrough]];
        default: {
            NumericLayout layout;
            if (!NumericLayoutOf(code, layout)) {
                return -1;
            }
            return EncodeNumeric(request, utf8, layout);
        }
    }
}

// ---- decoding ----

// Reads pairs of hexadecimal digits from the front of an answer; the digits are removed
// when the reader is done.
class AnswerReader {
  public:
    explicit AnswerReader(iBuffer& answer) : answer_(answer) {}
    AnswerReader(const AnswerReader&) = delete;
    AnswerReader& operator=(const AnswerReader&) = delete;
    ~AnswerReader() { answer_.Remove(0, pos_); }

    bool AtEnd() const { return pos_ + 2 > answer_.Length(); }
    bool complete() const { return complete_; }

    // `count` digits as they stand; missing digits read as 0, and so does a byte that is
    // no hexadecimal digit, so that a damaged answer never puts stray bytes into a text.
    std::string Digits(int count) {
        std::string out;
        out.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            if (pos_ < answer_.Length()) {
                const auto c = static_cast<char>(answer_.ByteAt(pos_++));
                out += NibbleOf(c) < 0 ? '0' : c;
            } else {
                out += '0';
                complete_ = false;
            }
        }
        return out;
    }

    uint8_t Byte() {
        const std::string two = Digits(2);
        const int high = NibbleOf(two[0]);
        const int low = NibbleOf(two[1]);
        return static_cast<uint8_t>(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low));
    }

  private:
    iBuffer& answer_;
    int32_t pos_ = 0;
    bool complete_ = true;
};

void DropLeadingZeros(std::string& s) {
    size_t n = 0;
    while (n + 1 < s.size() && s[n] == '0' && s[n + 1] != '.') {
        ++n;
    }
    s.erase(0, n);
}

void DropTrailingZeros(std::string& s) {
    if (s.find('.') == std::string::npos) {
        return;
    }
    while (!s.empty() && s.back() == '0') {
        s.pop_back();
    }
    if (!s.empty() && s.back() == '.') {
        s.pop_back();
    }
}

// A value of code 28 whose first digit is F: the 16-bit two's complement of its magnitude,
// shown as a minus sign and at least three digits.
std::string SignedLeNegative(std::string_view digits) {
    uint32_t value = 0;
    for (const char c : digits) {
        const int nibble = NibbleOf(c);
        value = (value << 4) | static_cast<uint32_t>(nibble < 0 ? 0 : nibble);
    }
    const uint32_t magnitude = 65536 - value;
    std::string text = DecimalText(magnitude);
    if (text.size() < 3) {
        text.insert(0, 3 - text.size(), '0');
    }
    return "-" + text;
}

std::string DecodeNumeric(AnswerReader& reader, FieldCode code) {
    NumericLayout layout;
    NumericLayoutOf(code, layout);
    std::string digits = reader.Digits(layout.digits);
    if (layout.leastFirst) {
        digits = SwapPairs(digits);
    }
    if (code == kFieldSignedBe) {
        return digits == "FFFF" ? "  -1" : digits;
    }
    if (code == kFieldSignedLe && (digits[0] == 'F' || digits[0] == 'f')) {
        return SignedLeNegative(digits);
    }
    bool leading = false;
    bool trailing = false;
    bool point = layout.decimals > 0 && layout.decimals < layout.digits;
    switch (code) {
        case kFieldTenths4:
        case kFieldThousandths4:
            trailing = true;
            break;
        case kFieldHundredths4:
        case kFieldQuantity6:
            leading = trailing = true;
            break;
        case kFieldCount6:
        case kFieldCount4:
        case kFieldQuantity10:
        case kFieldRate10:
        case kFieldFraction10:
        case kFieldAmount:
            leading = true;
            break;
        default:
            break;
    }
    if (point) {
        digits.insert(digits.size() - static_cast<size_t>(layout.decimals), ".");
    }
    if (leading) {
        DropLeadingZeros(digits);
    }
    if (trailing) {
        DropTrailingZeros(digits);
    }
    return digits;
}

std::string DecodeFixedText(AnswerReader& reader, int width) {
    std::string bytes;
    bool ended = false;
    for (int i = 0; i < width; ++i) {
        const uint8_t b = reader.Byte();
        if (b == kFill || b < 14) {
            ended = true;
        }
        if (!ended) {
            bytes += static_cast<char>(b);
        }
    }
    return MazoviaToUtf8(bytes);
}

std::string DecodeTerminatedText(AnswerReader& reader, uint8_t terminator) {
    std::string bytes;
    while (!reader.AtEnd()) {
        const uint8_t b = reader.Byte();
        if (b == terminator) {
            break;
        }
        bytes += static_cast<char>(b);
    }
    return MazoviaToUtf8(bytes);
}

std::string DecodeWith(AnswerReader& reader, FieldCode code) {
    if (const int length = FixedTextLength(code); length > 0) {
        return DecodeFixedText(reader, length);
    }
    switch (code) {
        case kFieldBarcode: {
            const std::string digits = reader.Digits(14);
            const size_t end = digits.find_first_of("Ff");
            return digits.substr(0, end);
        }
        case kFieldTwoDigits:
        case kFieldHexByte:
        case kFieldRawByte:
            return reader.Digits(2);
        case kFieldLineCr20:
        case kFieldLineCr43:
            return DecodeTerminatedText(reader, kCarriageReturn);
        case kFieldLineLf:
            return DecodeTerminatedText(reader, kLineFeed);
        case kFieldUnused:
            return {};
        case kFieldLong32:
            return SwapPairs(reader.Digits(8));
        case kFieldNumberPair: {
            const std::string digits = reader.Digits(4);
            return digits.substr(2, 2) + ":" + digits.substr(0, 2);
        }
        case kFieldDate: {
            const std::string digits = reader.Digits(8);
            return digits.substr(2, 2) + digits.substr(0, 2) + "." + digits.substr(4, 2) + "." +
                   digits.substr(6, 2);
        }
        default: {
            NumericLayout layout;
            if (!NumericLayoutOf(code, layout)) {
                return {};
            }
            return DecodeNumeric(reader, code);
        }
    }
}

}  // namespace

int EncodeField(iBuffer& request, FieldCode code, std::string_view utf8) {
    if (code < 1 || code > 31) {
        return -1;
    }
    return EncodeFieldBytes(request, code, utf8);
}

int EncodeField8Bit(iBuffer& request, FieldCode code, std::string_view windows1250) {
    return EncodeField(request, code, Windows1250ToUtf8(windows1250));
}

int EncodeField(iBuffer& request, FieldCode code, double value) {
    if (!std::isfinite(value)) {
        return -1;
    }
    return EncodeField(request, code, FormatDouble("%0.6lf", value));
}

int EncodeField(iBuffer& request, FieldCode code, int32_t value) {
    return EncodeField(request, code, DecimalText(value));
}

int EncodeField(iBuffer& request, FieldCode code, int64_t value) {
    return EncodeField(request, code, DecimalText(value));
}

int EncodeField(iBuffer& request, FieldCode code, uint8_t value) {
    return EncodeField(request, code, DecimalText(value));
}

std::string DecodeField(iBuffer& answer, FieldCode code, bool* complete) {
    std::string text;
    bool whole = true;
    {
        AnswerReader reader(answer);
        text = DecodeWith(reader, code);
        whole = reader.complete();
    }
    if (complete != nullptr && !whole) {
        *complete = false;
    }
    return text;
}

int FieldAnswerDigits(FieldCode code) {
    if (const int length = FixedTextLength(code); length > 0) {
        return 2 * length;
    }
    switch (code) {
        case kFieldBarcode:
            return 14;
        case kFieldTwoDigits:
        case kFieldHexByte:
        case kFieldRawByte:
            return 2;
        case kFieldLineCr20:
        case kFieldLineLf:
        case kFieldLineCr43:
            return -1;
        case kFieldNumberPair:
            return 4;
        case kFieldLong32:
        case kFieldDate:
            return 8;
        default: {
            NumericLayout layout;
            return NumericLayoutOf(code, layout) ? layout.digits : 0;
        }
    }
}

std::string FormatAmount(double value, int decimals) {
    if (std::fabs(value) < 1e-14) {
        return "0";
    }
    if (decimals < 0) {
        decimals = 0;
    }
    return FormatDouble("%." + DecimalText(decimals) + "lf", value);
}

std::string FormatCount(int32_t value) {
    return value == -1 ? "nakt" : DecimalText(value);
}

std::string FormatLong(int32_t low, int32_t high) {
    if (low == -1 && high == -1) {
        return "nakt";
    }
    const uint64_t bits =
        (static_cast<uint64_t>(static_cast<uint32_t>(high)) << 32) | static_cast<uint32_t>(low);
    return DecimalText(static_cast<int64_t>(bits));
}

namespace {

// Blanks and a sign at the front; returns the sign and advances `i`.
bool TakeSign(std::string_view text, size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    return negative;
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view text) {
    size_t i = 0;
    const bool negative = TakeSign(text, i);
    std::string number;
    bool point = false;
    bool digit = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            number += c;
            digit = true;
        } else if ((c == '.' || c == ',') && !point) {
            number += '.';
            point = true;
        } else {
            break;
        }
    }
    if (!digit) {
        return std::nullopt;
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value,
                                        std::chars_format::fixed);
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

std::optional<int64_t> ParseInteger(std::string_view text) {
    size_t i = 0;
    const bool negative = TakeSign(text, i);
    size_t end = i;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    uint64_t value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + end, value);
    if (end == i || result.ec != std::errc() || value > static_cast<uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    const auto signedValue = static_cast<int64_t>(value);
    return negative ? -signedValue : signedValue;
}

std::optional<int64_t> ParseHex(std::string_view text) {
    size_t i = 0;
    const bool negative = TakeSign(text, i);
    size_t end = i;
    while (end < text.size() && NibbleOf(text[end]) >= 0) {
        ++end;
    }
    uint64_t value = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + end, value, 16);
    if (end == i || result.ec != std::errc() || value > static_cast<uint64_t>(INT64_MAX)) {
        return std::nullopt;
    }
    const auto signedValue = static_cast<int64_t>(value);
    return negative ? -signedValue : signedValue;
}

}  // namespace kasa
