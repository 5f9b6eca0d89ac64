// The kinds of table file, told apart by the file's extension.
#pragma once

#include <string_view>

namespace kasa {

enum class TableFileKind { kPod, kCsv, kTxt, kXlsx, kUnknown };

// ".pod", ".csv", ".txt" or ".xlsx" in any letter case; anything else is unknown.
TableFileKind TableFileKindOfPath(std::string_view path);
// The kind by its extension written without the dot ("POD", "csv"); a leading dot is
// tolerated.
TableFileKind TableFileKindOfExtension(std::string_view extension);
// "POD", "CSV", "TXT" or "XLSX": the extension upper-case, as the settings keep the last kind.
std::string_view TableFileKindName(TableFileKind kind);
// The field separator of a CSV (";") or TXT (tab) file; 0 for the others.
char TableFileSeparator(TableFileKind kind);

}  // namespace kasa
