// The virtual register's own reader of the binary fields of write requests. It is kept
// apart from the program's decoder on purpose: a mistake made the same way on both sides
// of the line would otherwise go unnoticed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kasa::sim {

class WireReader {
  public:
    explicit WireReader(std::string_view body) : body_(body) {}

    // Reads one field written with `code`, as a canonical value text: numbers without
    // leading zeros and with their decimals ("12.34", "0.500", "-1"), texts in UTF-8, raw
    // bytes and 32-bit values in decimal. Empty optional when the bytes are malformed.
    std::optional<std::string> Field(int code);
    bool AtEnd() const { return pos_ >= body_.size(); }
    size_t Remaining() const { return body_.size() - pos_; }

  private:
    std::optional<std::string> Bcd(int bytes, int decimals, bool littleEndian);
    std::optional<std::string> FixedText(size_t width);
    std::optional<std::string> CrText(size_t width);
    std::optional<std::string> LfText();
    std::optional<std::string> SmallSigned(bool littleEndian);
    bool Take(size_t count, std::string_view& out);

    std::string_view body_;
    size_t pos_ = 0;
};

// A decimal digit string with `decimals` places made canonical: "0001234" with 2 gives
// "12.34", "0000" with 0 gives "0".
std::string CanonicalNumber(const std::string& digits, int decimals);

}  // namespace kasa::sim
