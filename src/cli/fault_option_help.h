// The help lines of "kasa symulator --usterka", also shown by "kasa --help"; apart from the
// option's parser, which needs the virtual register, so every build can print them.
#pragma once

namespace kasa::cli {

// The help lines that list every fault kind.
extern const char* const kFaultOptionHelp;

}  // namespace kasa::cli
