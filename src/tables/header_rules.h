// What the header page checks while the user types: the width of each line, the lines
// that do not fit, the character total, the hints of the format command and what a click
// on a line's box does to its text.
#pragma once

#include <string>

#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

// The line's width on the receipt: "Vesper" 40, halved for heavy characters; "Zen" 20.
int HeaderLineWidth(const RegisterModel& model, const HeaderLine& line);
// More characters than the line's width: the edit is shown in red. Nothing is cut.
bool HeaderLineTooLong(const RegisterModel& model, const HeaderLine& line);
// The header lines the model has: the header table's fields ("Zen" 8, "Vesper" 6).
int HeaderLineCountOf(const RegisterModel& model);
// Characters in the model's lines, counted as characters, not bytes.
int HeaderCharacterTotal(const RegisterModel& model, const HeaderLines& lines);
// The hint the format command gives line `number` (1..6) of `width` characters; empty for
// other lines.
std::string HeaderFormatHint(int number, int width);

enum class HeaderBox { kCentre, kDoubleHeight, kHeavy };

// The line's text after a click on one of its boxes; `line` carries the boxes as they
// are after the click. "Vesper" centres on the CLine box only; the other types trim and
// centre on any of the three, the centring always following the CLine box.
std::string HeaderTextAfterClick(const RegisterModel& model, const HeaderLine& line,
                                 HeaderBox clicked);

}  // namespace kasa
