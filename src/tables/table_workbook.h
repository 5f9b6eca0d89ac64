// A grid table in an Excel workbook: the title row and every record as in a CSV file, with
// each cell as the spreadsheet should hold it.
#pragma once

#include <string>
#include <vector>

#include "tables/catalogue.h"
#include "tables/text_grid.h"
#include "tables/xlsx_workbook.h"

namespace kasa {

// True for the columns kept as text whatever they hold: names and other texts, barcodes,
// VAT letters, flags, times and passwords. A barcode or a password written as a number
// would lose its leading zeros.
bool IsWorkbookTextColumn(const TableDescriptor& table, int column);

// A cell of a number column as the workbook holds it: a number when the text reads back
// the same from the number and its decimals (a point, no leading zeros, at most 15
// digits), else the text.
WorkbookCell WorkbookCellOf(const std::string& text, bool textColumn);

std::vector<std::vector<WorkbookCell>> WorkbookRowsOfTable(const TextGrid& grid,
                                                           const TableDescriptor& table);
WriteResult SaveTableWorkbook(const std::string& path, const TextGrid& grid,
                              const TableDescriptor& table);

}  // namespace kasa
