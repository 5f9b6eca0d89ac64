// The receipt header: reading it from the register.
#pragma once

#include "comm/ecrclass.h"
#include "tables/pod_file.h"

namespace kasa {

// Reads the header lines (8 on ZEN, 6 on VESPER). On VESPER the leading control bytes of
// a line set its flags: 14 heavy characters (DLine), 25 double height (BLine). A line that
// starts with a space is centred (CLine).
bool ReadHeader(ECRClass& ecr, HeaderLines& lines);

inline constexpr int kZenHeaderLines = 8;
inline constexpr int kVesperHeaderLines = 6;
inline constexpr char kHeavyCharacters = 14;
inline constexpr char kDoubleHeight = 25;

}  // namespace kasa
