// Header lines as the window edits them: the text a line shows after its centring box was
// clicked (leading spaces taken away and, when the box is ticked, the text moved to the
// middle of the line's width), and a line made of its edit and its three boxes.
#pragma once

#include <optional>
#include <string>

#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

// The width the line is centred in: on "Vesper" the header's record size, halved for a
// heavy-character (DLine) line; on other types the length of the header's first field.
int HeaderCentringWidth(const RegisterModel& model, const HeaderLine& line);

// "Vesper": leading spaces removed, then, for a centred non-empty line, (width - length) / 2
// spaces put in front when that is positive. Other types: texts of 101 characters and more
// stay as they are; others lose leading and trailing spaces and, when centred, get the same
// spaces in front. Lengths count characters.
std::string CentredHeaderText(const RegisterModel& model, const HeaderLine& line);

// A line from its edit's text and its three boxes (CLine, BLine, DLine); a box that is
// missing is nullopt. A line that lacks any of the three boxes keeps no flags at all.
HeaderLine HeaderLineOfControls(std::string text, std::optional<bool> centre,
                                std::optional<bool> doubleHeight, std::optional<bool> heavy);

}  // namespace kasa
