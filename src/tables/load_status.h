// Results of loading a table from a file, and the message the user is shown for each.
#pragma once

#include <string>

#include "tables/catalogue.h"

namespace kasa {

enum LoadStatus : int {
    kLoadOk = 0,
    kLoadNoSeparator = -1,
    kLoadRecordNumberZero = -3,
    kLoadTooManyLines = -4,
    kLoadRecordsOutOfRange = -5,
    kLoadEmptyFile = -6,
    kLoadBadRowStructure = -7,
    kLoadRowOutOfRange = -8,
};

// The message of a failed load, empty for a status without one. The ranges are those of
// the table's grid (goods start at minPLU). For -7 and -8 it is the message's fixed
// beginning: the .pod loader appends the key or number it stopped at.
std::string LoadStatusMessage(int status, const TableDescriptor& table, int minPlu);

}  // namespace kasa
