// One table saved to or loaded from a file of any of the program's three kinds, chosen by
// the file's extension: .pod (section/key/value), .csv (";") or .txt (tab).
#pragma once

#include <string>

#include "base/atomic_file.h"
#include "tables/pod_file.h"

namespace kasa {

enum class TableFileKind { kPod, kCsv, kTxt, kUnknown };

TableFileKind TableFileKindOfPath(const std::string& path);

struct TableLoadOutcome {
    int status = kLoadOk;
    std::string message;  // empty when there is nothing to tell the user
    bool ok() const { return status >= 0; }
};

// Saves one grid table (a .pod also the header or the VAT rates); a .pod keeps the file's
// other sections. CSV and TXT hold grid tables only.
WriteResult SaveTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                          const TableSet& tables, int minPlu);
// Loads one table. A CSV or TXT file that turns out to be a .pod is loaded as one.
TableLoadOutcome LoadTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu);

// A grid table of the model by its table name, in any letter case; null when none.
const TableDescriptor* FindGridTableByName(const RegisterModel& model, const std::string& name,
                                           TableKind* kind = nullptr);

}  // namespace kasa
