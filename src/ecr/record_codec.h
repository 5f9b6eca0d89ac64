// Field kinds of the register's records: how one field is appended to a request body
// (binary: packed decimal digits, Mazovia text bytes, raw bytes) and how it is taken off
// the front of an answer body (text: every byte as two upper-case hexadecimal digits).
// Nothing here depends on the C locale.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "comm/ibuffer.h"

namespace kasa {

// BCD(d, n): an unsigned decimal number of n digits, the last d of them decimals, packed two
// digits per byte; LE sends the least significant byte first.
enum FieldCode : int {
    kFieldBarcode = 1,       // up to 14 digits, padded with F; 7 bytes
    kFieldTwoDigits = 2,     // BCD(0, 2)
    kFieldTenths4 = 3,       // BCD(1, 4) LE
    kFieldHundredths4 = 4,   // BCD(2, 4) LE
    kFieldThousandths4 = 5,  // BCD(3, 4) LE
    kFieldQuantity6 = 6,     // BCD(3, 6) LE
    kFieldCount6 = 7,        // BCD(0, 6) LE
    kFieldCount4 = 8,        // BCD(0, 4) LE
    kFieldQuantity10 = 9,    // BCD(3, 10) LE
    kFieldRate10 = 10,       // BCD(6, 10) LE
    kFieldFraction10 = 11,   // BCD(10, 10) LE
    // Fixed texts of 6, 7, 11, 16, 18, 19, 20 and 40 bytes, padded with 255.
    kFieldText6 = 12,
    kFieldText7 = 13,
    kFieldText11 = 14,
    kFieldText16 = 15,
    kFieldText18 = 16,
    kFieldText19 = 17,
    kFieldText20 = 18,
    kFieldText40 = 19,
    kFieldLineCr20 = 20,    // 20 bytes, carriage-return form
    kFieldLineLf = 21,      // any length, then a line feed
    kFieldLineCr43 = 22,    // 43 bytes, carriage-return form
    kFieldAmount = 23,      // BCD(2, 10) LE: amounts and prices
    kFieldUnused = 24,      // no command uses it
    kFieldHexByte = 25,     // request: two ASCII hex digits
    kFieldRawByte = 26,     // request: one raw byte
    kFieldSignedBe = 27,    // BCD(0, 4) BE; small negatives as (256 - d), 255
    kFieldSignedLe = 28,    // BCD(0, 4) LE; small negatives as (256 - d), 255
    kFieldDigits4 = 29,     // BCD(0, 4) LE, decoded with its leading zeros
    kFieldLong32 = 30,      // 32-bit integer, least significant byte first
    kFieldNumberPair = 31,  // two numbers, one BCD(0, 2) byte each
    kFieldDate = 32,        // answers only: year (2 bytes), month, day
};

// Appends one field to a request. Returns the field's width in digits (numeric codes and
// the barcode) or bytes (texts; the line-feed form counts its terminator), 0 for codes
// 24, 25, 26, 31 and code 28 in the negative form, 2 for code 27 in the negative form, 4
// for code 30; a negative result is a failure (unknown code, a number that cannot be
// formed) and nothing is appended.
int EncodeField(iBuffer& request, FieldCode code, std::string_view utf8);
// The same for a text in Windows-1250 bytes.
int EncodeField8Bit(iBuffer& request, FieldCode code, std::string_view windows1250);
// Typed values, formatted first: "%0.6lf", "%d", "%Ld", "%u". A value that is not finite
// fails.
int EncodeField(iBuffer& request, FieldCode code, double value);
int EncodeField(iBuffer& request, FieldCode code, int32_t value);
int EncodeField(iBuffer& request, FieldCode code, int64_t value);
int EncodeField(iBuffer& request, FieldCode code, uint8_t value);

// Takes one field's hexadecimal digits off the front of an answer and returns its text
// (UTF-8). A code outside 1..32 takes nothing and gives the empty text. When the answer
// runs out, the missing digits read as 0 and `complete`, when given, becomes false.
std::string DecodeField(iBuffer& answer, FieldCode code, bool* complete = nullptr);

// Hexadecimal digits a field occupies in an answer; -1 for the terminated texts (20, 21,
// 22), 0 for code 24 and unknown codes.
int FieldAnswerDigits(FieldCode code);

// Grid texts of decoded numbers. FormatAmount: fixed point with `decimals` places, "0"
// for a magnitude below 1e-14. FormatCount: the number, or "nakt" for -1. FormatLong: the
// 64-bit number made of two 32-bit halves, or "nakt" when both halves are -1.
std::string FormatAmount(double value, int decimals);
std::string FormatCount(int32_t value);
std::string FormatLong(int32_t low, int32_t high);

// Conversions of decoded texts and grid cells, independent of the locale. Leading blanks
// and a sign are allowed and the longest number at the front is taken; a decimal comma
// counts as a point. Empty when no digit stands there.
std::optional<double> ParseDecimal(std::string_view text);
std::optional<int64_t> ParseInteger(std::string_view text);
std::optional<int64_t> ParseHex(std::string_view text);

}  // namespace kasa
