// Lays a table out for printing on A4 pages (landscape only for tables too wide for portrait): the
// chosen columns from the left margin with the column spacing, one record per printed row with the
// row spacing, a new page at the bottom margin. The result is positioned items in millimetres,
// which the window and the PDF writer only draw.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/user_interface.h"
#include "print/barcode_symbol.h"
#include "print/print_parameters.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace kasa {

enum class CellStyle { kText, kCode128, kEan13 };

struct PrintColumn {
    int gridColumn = 0;
    CellStyle style = CellStyle::kText;
};

struct TablePrintRequest {
    const TableDescriptor* table = nullptr;
    const TextGrid* grid = nullptr;  // row 0 the titles, rows 1.. the records
    std::vector<PrintColumn> columns;
    PrintParameters parameters;  // clamped before use
};

struct TextItem {
    double x = 0, y = 0, width = 0, height = 0;  // mm from the page's top left corner
    double fontPoints = 0;
    bool bold = false;
    // A code that cannot be the symbol asked for: printed as text in a frame instead.
    bool framed = false;
    std::string text;
};
struct BarcodeItem {
    double x = 0, y = 0, width = 0, height = 0;  // the bars' box, quiet zones outside it
    Symbology symbology = Symbology::kCode128;
    std::string data;       // what the symbol carries
    std::vector<Bar> bars;  // in mm from x
};
struct PrintPage {
    std::vector<TextItem> texts;
    std::vector<BarcodeItem> barcodes;
};
inline constexpr double kA4ShortMm = 210;
inline constexpr double kA4LongMm = 297;

struct PrintDocument {
    // A4, portrait unless the table is too wide for it.
    double width = kA4ShortMm;
    double height = kA4LongMm;
    std::vector<PrintPage> pages;
};

struct TableLayoutResult {
    PrintDocument document;
    std::string error;  // Polish; empty when laid out
    bool ok() const { return error.empty(); }
};

inline constexpr double kPageTopMm = 10.0;
inline constexpr double kEan13ModuleMm = 0.33;  // the nominal size
inline constexpr double kCode128ModuleMm = 0.33;

// Tables that have a page layout: every table kept in a grid.
bool HasPageLayout(const TableDescriptor& table);
// Characters a column of the table needs: its field's length or its title's.
int PrintColumnChars(const TableDescriptor& table, int column);
// Every column of the table as text.
std::vector<PrintColumn> AllTextColumns(const TableDescriptor& table);

// The mark that ends a cell cut to its column.
inline constexpr std::string_view kCutMark = "\u2026";
// The text as it fits `chars` characters: whole when it does, else its first chars - 1
// characters and the cut mark, so a cut is seen on paper and never runs into the next
// column.
std::string FitToColumn(std::string_view text, int chars);

// Every text item lies within its box: a cell longer than its column is cut (FitToColumn).
TableLayoutResult LayOutTable(const TablePrintRequest& request);

// Before each further page sent to a printer: asks whether to go on; a No tells that
// printing was given up and returns false.
bool ContinuePrinting(UserInterface& ui, int remainingPages);

}  // namespace kasa
