// The receipt header: reading it from the register and programming it.
#pragma once

#include "comm/ecrclass.h"
#include "tables/pod_file.h"

namespace kasa {

// Reads the header lines (8 on ZEN, 6 on VESPER). On VESPER the leading control bytes of
// a line set its flags: 14 heavy characters (DLine), 25 double height (BLine). A line that
// starts with a space is centred (CLine).
bool ReadHeader(ECRClass& ecr, HeaderLines& lines);

// Programs the header (request "X"). ZEN: all 8 lines as 20-byte carriage-return fields,
// then the byte 13. VESPER: the lines up to the last non-empty one of the first 6, each
// as 14 when heavy, 25 when double height, then its text ended by a line feed; then the
// byte 26, also when every line is empty. True when the register answered; its verdict
// is the status code.
bool WriteHeader(ECRClass& ecr, const HeaderLines& lines);

inline constexpr int kZenHeaderLines = 8;
inline constexpr int kVesperHeaderLines = 6;
inline constexpr char kHeavyCharacters = 14;
inline constexpr char kDoubleHeight = 25;
inline constexpr char kZenHeaderEnd = 13;
inline constexpr char kVesperHeaderEnd = 26;

}  // namespace kasa
