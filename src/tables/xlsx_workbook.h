// Excel workbooks (.xlsx) as tables travel in them: one worksheet, a row of titles and a
// row per record. Only what a table needs is read: the cells of the first worksheet, as
// the texts a spreadsheet shows for them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"
#include "tables/table_text_file.h"

namespace kasa {

// False where the program was built without the libraries that read and write workbooks.
bool WorkbooksSupported();
// What the user is told where workbooks are not supported.
std::string WorkbooksUnsupportedMessage();

// A cell to write: a text, or a number shown with `decimals` decimals. A number's text is
// a decimal number with a point, as the record codec writes numbers.
struct WorkbookCell {
    std::string text;
    bool number = false;
    int decimals = 0;
};

// One worksheet named `sheetName` in a new workbook at `path`, written whole or not at all.
// `textColumns` lists the columns whose cells stay text when typed into by hand.
WriteResult WriteWorkbook(const std::string& path, std::string_view sheetName,
                          const std::vector<std::vector<WorkbookCell>>& rows,
                          const std::vector<bool>& textColumns);

struct WorkbookReadResult {
    bool ok = false;
    std::string reason;  // why the bytes are no workbook, in Polish
    // The rows that hold a cell, in order, each up to its last cell; numbers are written as
    // their number format shows them, with a point for the decimal separator.
    std::vector<TableFileRow> rows;
};

// The first worksheet of the workbook in `bytes`.
WorkbookReadResult ReadFirstWorksheet(std::string_view bytes);

// True when the bytes begin as a zip archive, which every workbook is.
inline bool LooksLikeZip(std::string_view bytes) {
    return bytes.starts_with(std::string_view("PK\x03\x04", 4));
}

}  // namespace kasa
