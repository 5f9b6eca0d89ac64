#include "verify/document_grid.h"

#include "base/codepage.h"
#include "verify/document_request.h"

namespace kasa {

DocumentGrid DocumentGrid::ForType(int type) {
    DocumentGrid grid;
    const std::vector<std::string> titles = ReportRowTitles(type);
    if (titles.empty()) {
        grid.cells = {{"Nazwa towaru", "A..G"}, {"", ""}};
        return grid;
    }
    grid.cells.push_back({"Nazwa pozycji Raportu", "Kwota"});
    for (const std::string& title : titles) {
        grid.cells.push_back({title, ""});
    }
    grid.fixedRows = true;
    grid.column = 1;
    return grid;
}

bool DocumentGrid::Key(DocumentGridKey key) {
    if (row < 1 || row >= static_cast<int>(cells.size())) {
        return false;
    }
    std::string& cell = cells[static_cast<size_t>(row)][static_cast<size_t>(column)];
    switch (key) {
        case DocumentGridKey::Enter:
            if (column == 0) {
                column = 1;
            } else if (row + 1 < static_cast<int>(cells.size())) {
                ++row;
                column = fixedRows ? 1 : 0;
            } else if (!fixedRows) {
                cells.push_back({"", ""});
                ++row;
                column = 0;
            }
            return true;
        case DocumentGridKey::Tab:
            if (fixedRows || row != 1 || column != 0) {
                return false;
            }
            cells.push_back({"", ""});
            row = static_cast<int>(cells.size()) - 1;
            return true;
        case DocumentGridKey::Backspace:
            if (cell.empty()) {
                return false;
            }
            cell = Utf8Prefix(cell, Utf8Length(cell) - 1);
            return true;
        case DocumentGridKey::Copy:
            clipboard = cell;
            return true;
        case DocumentGridKey::Paste:
            if (fixedRows && column == 0) {
                return false;
            }
            cell = clipboard;
            return true;
    }
    return false;
}

bool DocumentGrid::Type(std::string_view utf8) {
    if (row < 1 || row >= static_cast<int>(cells.size()) || utf8.empty() ||
        static_cast<unsigned char>(utf8.front()) < 0x20 || utf8.front() == 0x7F ||
        (fixedRows && column == 0)) {
        return false;
    }
    cells[static_cast<size_t>(row)][static_cast<size_t>(column)] += utf8;
    return true;
}

}  // namespace kasa
