#include "comm/ibuffer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>

#include "base/atomic_file.h"
#include "base/codepage.h"
#include "base/file_path.h"
#include "base/local_time.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr int32_t kInitialCapacity = 100;
constexpr size_t kScratchChunkSize = 1024;

bool IsHexDigit(uint8_t c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

int HexValue(uint8_t c) {
    return HexDigitValue(static_cast<char>(c));
}

const uint16_t* Crc16Table() {
    static const auto table = [] {
        std::array<uint16_t, 256> t{};
        for (int i = 0; i < 256; ++i) {
            uint16_t crc = static_cast<uint16_t>(i);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc & 1) != 0 ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                                     : static_cast<uint16_t>(crc >> 1);
            }
            t[i] = crc;
        }
        return t;
    }();
    return table.data();
}

// Appends a code point as Windows-1250, dropping characters from U+2000 up.
void AppendUnicodeAs1250(iBuffer& buffer, std::string_view utf8) {
    for (size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x2000) {
            continue;
        }
        const uint8_t b = UnicodeToWindows1250(cp);
        buffer.AppendByte(b != 0 || cp == 0 ? b : '?');
    }
}

}  // namespace

iBuffer::iBuffer() {
    Allocate(kInitialCapacity);
}

iBuffer::iBuffer(const char* text) {
    const size_t n = text != nullptr ? std::strlen(text) : 0;
    Allocate(std::max<int32_t>(static_cast<int32_t>(2 * n), kInitialCapacity));
    if (n > 0) {
        std::memcpy(content_.get(), text, n);
        length_ = static_cast<int32_t>(n);
    }
}

iBuffer iBuffer::FromUnicode(std::string_view utf8) {
    iBuffer b;
    AppendUnicodeAs1250(b, utf8);
    return b;
}

iBuffer::iBuffer(const iBuffer& other) {
    Assign(other);
}

iBuffer& iBuffer::operator=(const iBuffer& other) {
    Assign(other);
    return *this;
}

iBuffer::iBuffer(iBuffer&& other) noexcept
    : numberFormat_(std::move(other.numberFormat_)),
      scratchChunks_(std::move(other.scratchChunks_)),
      scratchChunkSize_(other.scratchChunkSize_),
      capacity_(other.capacity_),
      scratchOffset_(other.scratchOffset_),
      length_(other.length_),
      content_(std::move(other.content_)),
      lastSeparator_(other.lastSeparator_) {
    other.ResetAfterMove();
}

iBuffer& iBuffer::operator=(iBuffer&& other) noexcept {
    if (this != &other) {
        numberFormat_ = std::move(other.numberFormat_);
        scratchChunks_ = std::move(other.scratchChunks_);
        scratchChunkSize_ = other.scratchChunkSize_;
        capacity_ = other.capacity_;
        scratchOffset_ = other.scratchOffset_;
        length_ = other.length_;
        content_ = std::move(other.content_);
        lastSeparator_ = other.lastSeparator_;
        other.ResetAfterMove();
    }
    return *this;
}

iBuffer::~iBuffer() = default;

void iBuffer::ResetAfterMove() {
    // A moved-from optional keeps an empty format text, which would print every number as "".
    numberFormat_.reset();
    scratchChunks_.clear();
    scratchChunkSize_ = 0;
    scratchOffset_ = 0;
    length_ = 0;
    lastSeparator_ = 0;
    Allocate(kInitialCapacity);
}

void iBuffer::Allocate(int32_t capacity) {
    capacity_ = capacity;
    content_ = std::make_unique<uint8_t[]>(static_cast<size_t>(capacity));  // zero-filled
}

void iBuffer::Clear() {
    std::memset(content_.get(), 0, static_cast<size_t>(capacity_));
    length_ = 0;
    scratchChunks_.clear();
    scratchChunkSize_ = 0;
    scratchOffset_ = 0;
    // A separator left from the content before would pass a later answer that has none
    // (a status-only answer) for a data answer.
    lastSeparator_ = 0;
}

void iBuffer::Assign(const char* text) {
    // The text may live in this buffer's content or scratch pool, both of which Clear wipes.
    const std::string copy(text != nullptr ? text : "");
    Clear();
    AppendBytes(copy.data(), copy.size());
}

void iBuffer::Assign(const iBuffer& other) {
    if (this == &other) {
        return;
    }
    scratchChunks_.clear();
    scratchChunkSize_ = 0;
    scratchOffset_ = 0;
    Allocate(other.capacity_);
    std::memcpy(content_.get(), other.content_.get(), static_cast<size_t>(other.capacity_));
    length_ = other.length_;
    numberFormat_ = other.numberFormat_;
    lastSeparator_ = other.lastSeparator_;
}

int32_t iBuffer::TextLength() const {
    const void* zero = std::memchr(content_.get(), 0, static_cast<size_t>(length_));
    return zero != nullptr
               ? static_cast<int32_t>(static_cast<const uint8_t*>(zero) - content_.get())
               : length_;
}

uint8_t iBuffer::ByteAt(int32_t i) const {
    return i >= 0 && i < length_ ? content_[static_cast<size_t>(i)] : 0;
}

void iBuffer::Reserve(int32_t n) {
    if (n < 0) {
        n = 0;
    }
    if (static_cast<int64_t>(length_) + n + 10 <= capacity_) {
        return;
    }
    const int32_t newCapacity = (capacity_ + n) * 2 + 10;
    auto storage = std::make_unique<uint8_t[]>(static_cast<size_t>(newCapacity));
    std::memcpy(storage.get(), content_.get(), static_cast<size_t>(length_));
    content_ = std::move(storage);
    capacity_ = newCapacity;
}

int32_t iBuffer::Grow(int32_t n) {
    Reserve(n + n / 5);
    return FreeSpace();
}

void iBuffer::SetLength(int32_t length) {
    length = std::clamp(length, 0, capacity_ - 1);
    if (length < length_) {
        std::memset(content_.get() + length, 0, static_cast<size_t>(length_ - length));
    }
    length_ = length;
}

void iBuffer::Append(const char* text) {
    if (text != nullptr) {
        AppendBytes(text, std::strlen(text));
    }
}

void iBuffer::AppendByte(uint8_t b) {
    AppendBytes(&b, 1);
}

void iBuffer::AppendBytes(const void* data, size_t count) {
    if (count == 0) {
        return;
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    const std::less_equal<const uint8_t*> notAfter;
    if (notAfter(content_.get(), bytes) && !notAfter(content_.get() + capacity_, bytes)) {
        // Our own bytes would be freed by the growth below.
        const std::string copy(reinterpret_cast<const char*>(bytes), count);
        Reserve(static_cast<int32_t>(count));
        std::memcpy(content_.get() + length_, copy.data(), count);
        length_ += static_cast<int32_t>(count);
        return;
    }
    Reserve(static_cast<int32_t>(count));
    std::memcpy(content_.get() + length_, data, count);
    length_ += static_cast<int32_t>(count);
}

void iBuffer::AppendBuffer(const iBuffer& other) {
    if (&other == this) {
        const iBuffer copy(other);
        AppendBytes(copy.Data(), static_cast<size_t>(copy.Length()));
        return;
    }
    AppendBytes(other.Data(), static_cast<size_t>(other.Length()));
}

void iBuffer::AppendWide(std::string_view utf8) {
    AppendUnicodeAs1250(*this, utf8);
}

void iBuffer::Prepend(const iBuffer& other) {
    const iBuffer front(other);
    const int32_t n = front.Length();
    if (n == 0) {
        return;
    }
    Reserve(n);
    std::memmove(content_.get() + n, content_.get(), static_cast<size_t>(length_));
    std::memcpy(content_.get(), front.Data(), static_cast<size_t>(n));
    length_ += n;
}

bool iBuffer::InsertText(int32_t pos, const char* text) {
    if (pos < 0 || pos > length_) {
        return false;
    }
    if (text == nullptr) {
        return true;
    }
    const std::string copy(text);
    const auto n = static_cast<int32_t>(copy.size());
    Reserve(n);
    std::memmove(content_.get() + pos + n, content_.get() + pos,
                 static_cast<size_t>(length_ - pos));
    std::memcpy(content_.get() + pos, copy.data(), copy.size());
    length_ += n;
    return true;
}

bool iBuffer::Remove(int32_t pos, int32_t count) {
    if (count == 0 || (count < -1) || length_ == 0) {
        return true;
    }
    if (pos < 0 || pos >= length_) {
        return false;
    }
    if (count == -1 || static_cast<int64_t>(pos) + count > length_) {
        count = length_ - pos;
    }
    std::memmove(content_.get() + pos, content_.get() + pos + count,
                 static_cast<size_t>(length_ - pos - count));
    std::memset(content_.get() + length_ - count, 0, static_cast<size_t>(count));
    length_ -= count;
    return true;
}

int32_t iBuffer::Find(const char* text, int32_t start) const {
    if (text == nullptr || *text == 0) {
        return -1;
    }
    if (start < 0 || start > length_) {
        start = 0;
    }
    const std::string_view haystack(Text(), static_cast<size_t>(length_));
    const size_t at = haystack.find(text, static_cast<size_t>(start));
    return at == std::string_view::npos ? -1 : static_cast<int32_t>(at);
}

int32_t iBuffer::ReplaceByte(uint8_t a, uint8_t b) {
    int32_t count = 0;
    for (int32_t i = 0; i < length_; ++i) {
        if (content_[i] == a) {
            content_[i] = b;
            ++count;
        }
    }
    return count;
}

int32_t iBuffer::CountByte(uint8_t a) const {
    return static_cast<int32_t>(std::count(content_.get(), content_.get() + length_, a));
}

void iBuffer::ToUpper() {
    for (int32_t i = 0; i < length_; ++i) {
        if (content_[i] >= 'a' && content_[i] <= 'z') {
            content_[i] = static_cast<uint8_t>(content_[i] - 0x20);
        }
    }
}

void iBuffer::TrimTrailingZeros() {
    while (length_ > 0 && content_[length_ - 1] == 0) {
        --length_;
    }
}

const char* iBuffer::NthString(int32_t n) const {
    int32_t pos = 0;
    for (int32_t found = 0; found < n && pos < length_; ++pos) {
        if (content_[pos] == 0) {
            ++found;
            if (found == n) {
                ++pos;
                break;
            }
        }
    }
    return reinterpret_cast<const char*>(content_.get() + std::min(pos, length_));
}

iBuffer iBuffer::operator+(const char* text) const {
    iBuffer result(*this);
    result.Append(text);
    return result;
}

iBuffer iBuffer::operator+(const iBuffer& other) const {
    iBuffer result(*this);
    result.AppendBuffer(other);
    return result;
}

iBuffer iBuffer::operator+(uint8_t b) const {
    iBuffer result(*this);
    result.AppendByte(b);
    return result;
}

bool iBuffer::LoadFile(const std::string& path) {
    Clear();
    std::ifstream in(PathFromUtf8(path), std::ios::binary | std::ios::ate);
    if (!in) {
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > INT32_MAX / 3) {
        return false;
    }
    Grow(static_cast<int32_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(content_.get()), size);
    length_ = static_cast<int32_t>(in.gcount());
    return length_ > 0;
}

bool iBuffer::SaveFile(const std::string& path) const {
    return WriteFileAtomically(path, View()).ok;
}

char* iBuffer::ScratchText(size_t size) {
    if (scratchChunks_.empty() || scratchOffset_ + size > scratchChunkSize_) {
        scratchChunkSize_ = std::max(kScratchChunkSize, size + 10);
        scratchChunks_.push_back(std::make_unique<char[]>(scratchChunkSize_));
        scratchOffset_ = 0;
    }
    char* text = scratchChunks_.back().get() + scratchOffset_;
    scratchOffset_ += static_cast<int32_t>(size);
    return text;
}

const char* iBuffer::ScratchCopy(std::string_view text) {
    char* out = ScratchText(text.size() + 1);
    if (!text.empty()) {
        std::memcpy(out, text.data(), text.size());
    }
    out[text.size()] = 0;
    return out;
}

const char* iBuffer::FormatDecimal(int64_t value) {
    return ScratchCopy(DecimalText(value));
}

const char* iBuffer::FormatHex(uint64_t value, int bytes) {
    const std::string full = HexText(value, 16);
    const size_t digits = static_cast<size_t>(std::clamp(bytes, 0, 8)) * 2;
    return ScratchCopy(std::string_view(full).substr(16 - digits));
}

const char* iBuffer::FormatHex(uint64_t value) {
    return ScratchCopy(HexText(value, 0));
}

const char* iBuffer::FormatFloat(double value) {
    return ScratchCopy(FormatDouble(numberFormat_ ? numberFormat_->c_str() : "%f", value));
}

void iBuffer::SetNumberFormat(const char* format) {
    if (format == nullptr) {
        numberFormat_.reset();
    } else {
        numberFormat_ = format;
    }
}

double iBuffer::RoundTo(double x, int n) {
    if (x < 0) {
        // Negative amounts round like positive ones, away from zero, not towards it.
        return -RoundTo(-x, n);
    }
    const double scale = std::pow(10.0, n);
    const double scaled = x * scale;
    double i = std::trunc(scaled);
    if ((scaled - i) * 10.0 >= 4.999999) {
        i += 1.0;
    }
    return i / scale;
}

void iBuffer::ConsumeFront(int32_t count) {
    Remove(0, std::min(count, length_));
}

// Decimal and hexadecimal numbers differ only in their digits; both take an optional
// sign after blanks and leave the byte that ended the number as the last separator.
int64_t iBuffer::TakeNumber(bool hex) {
    int32_t pos = 0;
    while (pos < length_ && (content_[pos] == ' ' || content_[pos] == '\t')) {
        ++pos;
    }
    bool negative = false;
    if (pos < length_ && (content_[pos] == '+' || content_[pos] == '-')) {
        negative = content_[pos] == '-';
        ++pos;
    }
    const uint64_t base = hex ? 16 : 10;
    uint64_t value = 0;
    while (pos < length_ &&
           (hex ? IsHexDigit(content_[pos]) : (content_[pos] >= '0' && content_[pos] <= '9'))) {
        value = value * base + static_cast<uint64_t>(HexValue(content_[pos]));
        ++pos;
    }
    lastSeparator_ = ByteAt(pos);
    ConsumeFront(pos + 1);
    return negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
}

bool iBuffer::SkipPast(const char* key) {
    const int32_t at = Find(key, 0);
    if (key == nullptr || *key == 0 || at < 0) {
        return false;
    }
    ConsumeFront(at + static_cast<int32_t>(std::strlen(key)));
    return true;
}

int64_t iBuffer::TakeInteger() {
    return TakeNumber(false);
}

int64_t iBuffer::TakeIntegerAfter(const char* key) {
    return SkipPast(key) ? TakeInteger() : 0;
}

int64_t iBuffer::TakeHex() {
    return TakeNumber(true);
}

int64_t iBuffer::TakeHexAfter(const char* key) {
    return SkipPast(key) ? TakeHex() : 0;
}

std::optional<double> iBuffer::TakeFloat() {
    std::string copied;
    bool seenPoint = false;
    int32_t pos = 0;
    while (pos < length_ && copied.size() < 100) {
        const uint8_t c = content_[pos];
        const bool point = c == '.' || c == ',';
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || point)) {
            break;
        }
        if (point) {
            if (seenPoint) {
                break;
            }
            seenPoint = true;
        }
        copied += point ? '.' : static_cast<char>(c);
        ++pos;
    }
    const std::optional<double> value = ParseDouble(copied);
    if (!value) {
        return std::nullopt;
    }
    lastSeparator_ = ByteAt(pos);
    ConsumeFront(pos + 1);
    return value;
}

const char* iBuffer::TakeLine() {
    if (length_ == 0) {
        return nullptr;
    }
    if (content_[0] == '\r') {
        // A line end of a lone CR at the front still ends an (empty) line.
        ConsumeFront(ByteAt(1) == '\n' ? 2 : 1);
        return ScratchCopy({});
    }
    const void* lf = std::memchr(content_.get(), '\n', static_cast<size_t>(length_));
    const int32_t end = lf != nullptr
                            ? static_cast<int32_t>(static_cast<const uint8_t*>(lf) - content_.get())
                            : length_;
    int32_t lineLength = end;
    if (lf != nullptr && lineLength > 0 && content_[lineLength - 1] == '\r') {
        --lineLength;
    }
    const char* line = ScratchCopy(std::string_view(Text(), static_cast<size_t>(lineLength)));
    ConsumeFront(lf != nullptr ? end + 1 : end);
    return line;
}

uint8_t iBuffer::XorChecksum(int32_t n, uint8_t init) const {
    if (n <= 0 || n > length_) {
        n = length_;
    }
    uint8_t x = init;
    for (int32_t i = 0; i < n; ++i) {
        x ^= content_[i];
    }
    return x;
}

uint16_t iBuffer::Crc16(const uint8_t* data, size_t n) {
    const uint16_t* table = Crc16Table();
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < n; ++i) {
        crc = static_cast<uint16_t>((crc >> 8) ^ table[(crc ^ data[i]) & 0xFF]);
    }
    return crc;
}

void iBuffer::AppendCrc16() {
    const uint16_t crc = Crc16(content_.get(), static_cast<size_t>(length_));
    AppendByte(static_cast<uint8_t>(crc >> 8));
    AppendByte(static_cast<uint8_t>(crc & 0xFF));
}

bool iBuffer::CheckCrc16() const {
    if (length_ < 2) {
        return false;
    }
    const uint16_t crc = Crc16(content_.get(), static_cast<size_t>(length_ - 2));
    return content_[length_ - 2] == (crc >> 8) && content_[length_ - 1] == (crc & 0xFF);
}

void iBuffer::DropCrc16() {
    if (length_ >= 2) {
        Remove(length_ - 2, 2);
    }
}

void iBuffer::ToHexText() {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(static_cast<size_t>(length_) * 2);
    for (int32_t i = 0; i < length_; ++i) {
        hex += kDigits[content_[i] >> 4];
        hex += kDigits[content_[i] & 0x0F];
    }
    Clear();
    AppendBytes(hex.data(), hex.size());
}

bool iBuffer::FromHexText() {
    bool valid = true;
    std::string bytes;
    bytes.reserve(static_cast<size_t>(length_ + 1) / 2);
    for (int32_t i = 0; i < length_; i += 2) {
        const int high = HexValue(content_[i]);
        const int low = i + 1 < length_ ? HexValue(content_[i + 1]) : 0;
        if (high < 0 || low < 0) {
            valid = false;
        }
        bytes += static_cast<char>(((high < 0 ? 0 : high) << 4) | (low < 0 ? 0 : low));
    }
    Clear();
    AppendBytes(bytes.data(), bytes.size());
    return valid;
}

void iBuffer::ToPrintable() {
    const std::string printable = PrintableText(View());
    Clear();
    AppendBytes(printable.data(), printable.size());
}

void iBuffer::FromPrintable() {
    std::string out;
    out.reserve(static_cast<size_t>(length_));
    const auto isUpperHex = [](uint8_t c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
    };
    for (int32_t i = 0; i < length_;) {
        if (i + 4 < length_ && content_[i] == '[' && content_[i + 1] == 'x' &&
            isUpperHex(content_[i + 2]) && isUpperHex(content_[i + 3]) && content_[i + 4] == ']') {
            out += static_cast<char>(HexValue(content_[i + 2]) * 16 + HexValue(content_[i + 3]));
            i += 5;
        } else {
            out += static_cast<char>(content_[i]);
            ++i;
        }
    }
    Clear();
    AppendBytes(out.data(), out.size());
}

void iBuffer::ConvertPolishLetters(int from, int to) {
    kasa::ConvertPolishLetters(content_.get(), static_cast<size_t>(length_), from, to);
}

namespace {
struct LocalNow {
    std::tm tm{};
    int milliseconds = 0;
};

LocalNow Now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    LocalNow now;
    now.tm = LocalTimeOf(ts.tv_sec);
    now.milliseconds = static_cast<int>(ts.tv_nsec / 1000000);
    return now;
}
}  // namespace

void iBuffer::AppendTimestamp() {
    const LocalNow now = Now();
    char text[64];
    std::snprintf(text, sizeof text, "%04d.%02d.%02d %02d:%02d:%02d.%03d", now.tm.tm_year + 1900,
                  now.tm.tm_mon + 1, now.tm.tm_mday, now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec,
                  now.milliseconds);
    Append(text);
}

int32_t iBuffer::MillisecondsOfDay() {
    const LocalNow now = Now();
    return now.tm.tm_hour * 3600000 + now.tm.tm_min * 60000 + now.tm.tm_sec * 1000 +
           now.milliseconds;
}

int32_t iBuffer::ElapsedMilliseconds(int32_t start) {
    return ElapsedMilliseconds(start, MillisecondsOfDay());
}

int32_t iBuffer::ElapsedMilliseconds(int32_t start, int32_t now) {
    int32_t elapsed = now - start;
    if (elapsed < 0) {
        elapsed += 86400000;
    }
    return elapsed;
}

}  // namespace kasa
