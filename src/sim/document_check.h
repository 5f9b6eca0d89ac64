// How the virtual register judges a printed document: the control number it prints at
// the bottom of a document is a checksum of the document's own request body.
#pragma once

#include <string>
#include <string_view>

namespace kasa::sim {

// 40 upper-case hexadecimal digits: five rounds of 64-bit FNV-1a over the body (its
// lines with their CR LF, without the closing 0x1A), each round seeded with the previous
// round's value and its own number, the first 32 bits of each round written in turn. A
// changed byte anywhere in the body changes every round.
std::string DocumentControlNumber(std::string_view body);

// The answer payload to the verification request "c": the body's length, ";" and 0 when
// the control number belongs to the body, 1 when it does not.
std::string DocumentVerdictPayload(std::string_view request);

}  // namespace kasa::sim
