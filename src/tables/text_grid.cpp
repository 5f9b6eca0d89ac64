#include "tables/text_grid.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {
const std::string kEmpty;

// A minPLU past the table would leave the goods grid without rows or with records the
// register does not have.
int GoodsFirstNumber(const TableDescriptor& table, int minPlu) {
    return std::clamp(minPlu, 1, std::max(table.RecordCount, 1));
}
}  // namespace

TextGrid::TextGrid(int colCount, int rowCount) {
    Resize(colCount, rowCount);
}

const std::string& TextGrid::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) {
        return kEmpty;
    }
    return cells_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)];
}

std::string TextGrid::TakeCell(int col, int row) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) {
        return {};
    }
    return std::move(
        cells_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)]);
}

bool TextGrid::SetCell(int col, int row, std::string text) {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_) {
        return false;
    }
    cells_[static_cast<size_t>(row) * static_cast<size_t>(cols_) + static_cast<size_t>(col)] =
        std::move(text);
    return true;
}

void TextGrid::Resize(int colCount, int rowCount) {
    colCount = std::max(colCount, 0);
    rowCount = std::max(rowCount, 0);
    if (colCount == cols_ && rowCount == rows_) {
        return;
    }
    std::vector<std::string> cells(static_cast<size_t>(colCount) * static_cast<size_t>(rowCount));
    const int keepCols = std::min(cols_, colCount);
    const int keepRows = std::min(rows_, rowCount);
    for (int r = 0; r < keepRows; ++r) {
        for (int c = 0; c < keepCols; ++c) {
            cells[static_cast<size_t>(r) * static_cast<size_t>(colCount) + static_cast<size_t>(c)] =
                std::move(cells_[static_cast<size_t>(r) * static_cast<size_t>(cols_) +
                                 static_cast<size_t>(c)]);
        }
    }
    cells_ = std::move(cells);
    cols_ = colCount;
    rows_ = rowCount;
}

void TextGrid::ClearRecords() {
    for (int r = 1; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            SetCell(c, r, {});
        }
    }
}

void TextGrid::ClearValues() {
    for (int r = 1; r < rows_; ++r) {
        ClearRow(r);
    }
}

void TextGrid::ClearRow(int row) {
    for (int c = 1; c < cols_; ++c) {
        SetCell(c, row, {});
    }
}

int TextGrid::ColumnWidthChars(int col) const {
    size_t widest = 2;
    for (int r = 0; r < rows_; ++r) {
        widest = std::max(widest, Utf8Length(Cell(col, r)));
    }
    return static_cast<int>(widest);
}

std::vector<int> TextGrid::ColumnWidthsChars() const {
    std::vector<int> widths;
    widths.reserve(static_cast<size_t>(cols_));
    for (int c = 0; c < cols_; ++c) {
        widths.push_back(ColumnWidthChars(c));
    }
    return widths;
}

int FirstShownNumber(const TableDescriptor& table, int minPlu) {
    return IsGoodsTable(table) ? GoodsFirstNumber(table, minPlu) : table.FirstNumber;
}

int GridRowCount(const TableDescriptor& table, int minPlu) {
    if (IsGoodsTable(table)) {
        return table.RecordCount + 2 - GoodsFirstNumber(table, minPlu);
    }
    return table.RecordCount + 1;
}

int RecordNumberOfRow(const TableDescriptor& table, int minPlu, int row) {
    return FirstShownNumber(table, minPlu) + row - 1;
}

void SetUpGrid(TextGrid& grid, const TableDescriptor& table, bool clear, bool rebuild, int minPlu) {
    if (clear) {
        grid.ClearRecords();
    }
    if (!rebuild) {
        return;
    }
    const int cols = table.FieldCount();
    const int rows = GridRowCount(table, minPlu);
    grid.Resize(cols, rows);
    for (int c = 0; c < cols; ++c) {
        grid.SetCell(c, 0, std::string(table.fields[static_cast<size_t>(c)].title));
    }
    for (int r = 1; r < rows; ++r) {
        grid.SetCell(0, r, DecimalText(RecordNumberOfRow(table, minPlu, r)));
    }
}

}  // namespace kasa
