// The goods names and EAN codes that occur twice. Equal texts are grouped by hash, so a
// full table is checked in time proportional to its rows, while the lines come in the
// order of a walk over every pair of rows (i, j), i < j.
#pragma once

#include <string>
#include <string_view>

#include "tables/table_validation.h"
#include "tables/text_grid.h"

namespace kasa {

// A name as names are compared: capitals, only letters, digits and . , \ / kept.
std::string NormalisedName(std::string_view name);

// Names of rows 1.. that are equal after normalisation, then the end line.
void CheckNameUniqueness(ValidationPass& pass, const TextGrid& goods);
// Codes of rows 1.. that are equal, the limit line when the limit was reached, then the
// end line.
void CheckEanUniqueness(ValidationPass& pass, const TextGrid& goods);

}  // namespace kasa
