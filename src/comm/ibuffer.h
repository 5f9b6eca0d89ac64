// The one byte container of the program: a growable 8-bit buffer that also builds
// protocol text, parses answers, dumps bytes for the log and carries whole files.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasa {

class iBuffer {
  public:
    iBuffer();
    explicit iBuffer(const char* text);
    // Text given as UTF-8 is turned into Windows-1250; characters from U+2000 up are dropped.
    static iBuffer FromUnicode(std::string_view utf8);
    iBuffer(const iBuffer& other);
    iBuffer& operator=(const iBuffer& other);
    iBuffer(iBuffer&& other) noexcept;
    iBuffer& operator=(iBuffer&& other) noexcept;
    virtual ~iBuffer();

    // Content and storage.
    void Clear();
    void Assign(const char* text);
    void Assign(const iBuffer& other);
    uint8_t* Data() { return content_.get(); }
    const uint8_t* Data() const { return content_.get(); }
    const char* Text() const { return reinterpret_cast<const char*>(content_.get()); }
    std::string_view View() const { return {Text(), static_cast<size_t>(length_)}; }
    int32_t Length() const { return length_; }
    int32_t Capacity() const { return capacity_; }
    int32_t FreeSpace() const { return capacity_ - length_; }
    int32_t TextLength() const;
    uint8_t ByteAt(int32_t i) const;
    bool Empty() const { return length_ == 0; }

    void Reserve(int32_t n);
    int32_t Grow(int32_t n);

    void Append(const char* text);
    void Append(const std::string& text) { AppendBytes(text.data(), text.size()); }
    void AppendByte(uint8_t b);
    void AppendBytes(const void* data, size_t count);
    void AppendBuffer(const iBuffer& other);
    // UTF-8 text converted to Windows-1250; characters from U+2000 up are dropped.
    void AppendWide(std::string_view utf8);
    void Prepend(const iBuffer& other);
    bool InsertText(int32_t pos, const char* text);
    bool Remove(int32_t pos, int32_t count);
    int32_t Find(const char* text, int32_t start = 0) const;
    int32_t ReplaceByte(uint8_t a, uint8_t b);
    int32_t CountByte(uint8_t a) const;
    void ToUpper();
    void TrimTrailingZeros();
    const char* NthString(int32_t n) const;
    // Marks the first `length` bytes of the storage as content (after writing into Data()).
    void SetLength(int32_t length);

    iBuffer operator+(const char* text) const;
    iBuffer operator+(const iBuffer& other) const;
    iBuffer operator+(uint8_t b) const;

    bool LoadFile(const std::string& path);
    bool SaveFile(const std::string& path) const;

    // Number formatting; results live in the scratch pool until Clear, Assign or destruction.
    const char* FormatDecimal(int64_t value);
    const char* FormatHex(uint64_t value, int bytes);
    const char* FormatHex(uint64_t value);
    const char* FormatFloat(double value);
    void SetNumberFormat(const char* format);
    static double RoundTo(double x, int n);

    // Number parsing from the front of the content.
    int64_t TakeInteger();
    int64_t TakeIntegerAfter(const char* key);
    int64_t TakeHex();
    int64_t TakeHexAfter(const char* key);
    std::optional<double> TakeFloat();
    // The first line, or null when the buffer is empty.
    const char* TakeLine();
    uint8_t LastSeparator() const { return lastSeparator_; }

    // Checksums and hex text.
    uint8_t XorChecksum(int32_t n = 0, uint8_t init = 0xFF) const;
    void AppendCrc16();
    bool CheckCrc16() const;
    void DropCrc16();
    static uint16_t Crc16(const uint8_t* data, size_t n);
    void ToHexText();
    bool FromHexText();

    // Printable rendering used by every protocol log line.
    void ToPrintable();
    void FromPrintable();

    // Polish letters between the columns of the Polish letter table.
    void ConvertPolishLetters(int from, int to);

    // Time.
    void AppendTimestamp();
    static int32_t MillisecondsOfDay();
    static int32_t ElapsedMilliseconds(int32_t start);
    static int32_t ElapsedMilliseconds(int32_t start, int32_t now);

  private:
    void Allocate(int32_t capacity);
    void ResetAfterMove();
    char* ScratchText(size_t size);
    const char* ScratchCopy(std::string_view text);
    void ConsumeFront(int32_t count);
    int64_t TakeNumber(bool hex);
    // Drops everything up to and including the first `key`; false when it is not there.
    bool SkipPast(const char* key);

    std::optional<std::string> numberFormat_;
    // The scratch pool: chunks are never moved, so texts handed out stay valid while new
    // ones are added; a chunk larger than 1024 bytes is made when a text needs it.
    std::vector<std::unique_ptr<char[]>> scratchChunks_;
    size_t scratchChunkSize_ = 0;
    int32_t capacity_ = 0;
    int32_t scratchOffset_ = 0;
    int32_t length_ = 0;
    std::unique_ptr<uint8_t[]> content_;
    uint8_t lastSeparator_ = 0;
};

}  // namespace kasa
