// The two-column grid of the verification window and its keys: row 0 holds the column
// titles, the user types goods and VAT letters, or the amounts of a report's fixed rows.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kasa {

enum class DocumentGridKey { Enter, Tab, Backspace, Copy, Paste };

struct DocumentGrid {
    std::vector<std::array<std::string, 2>> cells;
    int row = 1;
    int column = 0;
    bool fixedRows = false;  // a report: its rows are the register's, none is added
    std::string clipboard;

    // The grid of a document type: titles, then one empty row or the report's rows.
    static DocumentGrid ForType(int type);
    // Applies a key; false when the key does nothing here.
    bool Key(DocumentGridKey key);
    // Appends typed printable text to the current cell.
    bool Type(std::string_view utf8);
};

}  // namespace kasa
