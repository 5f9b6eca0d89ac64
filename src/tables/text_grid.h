// A table in memory: a grid of UTF-8 text cells, row 0 the column titles, column 0 the
// record numbers, cell (c, r) the text of field c of the r-th record shown. Values stay
// exactly as the user sees them; the record codec converts them at the wire.
#pragma once

#include <string>
#include <vector>

#include "tables/catalogue.h"

namespace kasa {

class TextGrid {
  public:
    TextGrid() = default;
    TextGrid(int colCount, int rowCount);

    bool operator==(const TextGrid&) const = default;

    int ColCount() const { return cols_; }
    int RowCount() const { return rows_; }

    // Cells outside the grid read as the empty text (loops may look one row past the end).
    const std::string& Cell(int col, int row) const;
    // Returns false, changing nothing, for a cell outside the grid.
    bool SetCell(int col, int row, std::string text);

    // The cell's text moved out, the cell left empty: rows are rearranged without copies.
    std::string TakeCell(int col, int row);

    // New size; cells inside both the old and the new size keep their text.
    void Resize(int colCount, int rowCount);

    // A record whose column 1 (the name, or a key's PLU number) is empty.
    bool IsEmptyRecord(int row) const { return Cell(1, row).empty(); }

    // Empties every cell of rows 1 and below, record numbers included.
    void ClearRecords();
    // Empties columns 1.. of rows 1..: the record numbers and titles stay.
    void ClearValues();
    // Empties columns 1.. of one row.
    void ClearRow(int row);

    // Length in characters of the longest text of the column over all rows, titles
    // included, but at least 2; the window multiplies it by its font's point size.
    int ColumnWidthChars(int col) const;
    std::vector<int> ColumnWidthsChars() const;

  private:
    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::string> cells_;  // row-major
};

// The number of the record shown in row 1: minPLU for goods, FirstNumber otherwise.
int FirstShownNumber(const TableDescriptor& table, int minPlu);
// Title row plus one row per record shown; the goods grid starts at minPLU and always
// ends at record RecordCount.
int GridRowCount(const TableDescriptor& table, int minPlu);
// The record number shown in grid row `row` (row >= 1).
int RecordNumberOfRow(const TableDescriptor& table, int minPlu, int row);

// Set-up of a table's grid. `clear` empties rows 1.. (numbers included); `rebuild` sizes
// the grid from the descriptor and writes titles and record numbers again. Clearing is
// always done together with rebuilding by the program's callers.
void SetUpGrid(TextGrid& grid, const TableDescriptor& table, bool clear, bool rebuild, int minPlu);

}  // namespace kasa
