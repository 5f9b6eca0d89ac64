// One table saved to or loaded from a file of any of the program's kinds, chosen by the
// file's extension: .pod (section/key/value), .csv (";"), .txt (tab) or .xlsx (a workbook).
#pragma once

#include <string>

#include "base/atomic_file.h"
#include "tables/pod_file.h"
#include "tables/table_file_kind.h"

namespace kasa {

struct TableLoadOutcome {
    int status = kLoadOk;
    // Empty when there is nothing to tell the user. A load that succeeded may still tell
    // something: the titles of a CSV/TXT file that name no column ("Nieznana kolumna: ...").
    std::string message;
    bool ok() const { return status >= 0; }
};

// Saves one grid table (a .pod also the header or the VAT rates); a .pod keeps the file's
// other sections. CSV and TXT hold grid tables only.
WriteResult SaveTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                          const TableSet& tables, int minPlu);
// Loads one table from a file of any kind: an .xlsx name or a zip archive is read as a
// workbook (one that is not is a failure); otherwise a .pod section line makes it a .pod,
// else it is read as CSV or TXT. A missing, empty or binary file, a .pod
// without the table's section or with the other register type's table, a record line cut
// short and a file without any record of the table are failures that leave `tables` as
// they were.
TableLoadOutcome LoadTableFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu);

// Empty when a file of this name can be used here; else why not (a workbook where the
// program was built without workbooks).
std::string UnusableTableFileMessage(const std::string& path);

// A grid table of the model by its table name, in any letter case; null when none.
const TableDescriptor* FindGridTableByName(const RegisterModel& model, const std::string& name,
                                           TableKind* kind = nullptr);

}  // namespace kasa
