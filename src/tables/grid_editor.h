// Editing a table's grid from the keyboard, without an in-place cell editor: the grid takes
// the keys, a per-column filter refuses what the column cannot hold, every change goes to
// an undo stack of the grid's own, and one clipboard value serves every grid of the
// program. The window feeds keys in and shows what comes back.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace kasa {

class UserInterface;

// A refused key's balloon hint: a title and a text.
struct FilterHint {
    std::string title;
    std::string text;

    bool operator==(const FilterHint&) const = default;
};

// Grid cells, inclusive, in grid coordinates (column, row).
struct CellRange {
    int firstCol = 0;
    int firstRow = 0;
    int lastCol = 0;
    int lastRow = 0;

    // Columns times rows.
    int64_t CellCount() const;
};

// The keys the grid handles; a printable key comes with its character.
enum class GridKey {
    kPrintable,
    kEnter,      // 13, and a line feed (10)
    kBackspace,  // 8
    kUndo,       // Ctrl+Z (26)
    kCut,        // Ctrl+X (24)
    kCopy,       // Ctrl+C (3)
    kPaste,      // Ctrl+V (22)
    kOtherControl,
};

// What a key did.
struct GridKeyResult {
    // Cells whose text changed (grid coordinates), in the order they changed.
    std::vector<std::pair<int, int>> changed;
    // The current cell after the key; moved by Enter, else as given.
    int col = 0;
    int row = 0;
    // Enter: the table is laid out again (discounts and surcharges together).
    bool layOut = false;
    // A refused key: the hint to show; the key was dropped.
    std::optional<FilterHint> hint;
    // An accepted key hides a hint that is shown.
    bool hideHint = false;
};

// The undo stacks, one per grid, found by the grid's table name. Before an entry is
// pushed the oldest go while more than 50 are held, so a stack holds at most 51.
class UndoStore {
  public:
    static constexpr int kDepth = 50;

    struct Entry {
        int32_t row = 0;
        int32_t col = 0;
        std::string text;  // the cell's text before the change
        // A tool's run over the grid: every cell it changed, restored together.
        std::vector<Entry> cells;
    };

    void Push(std::string_view tableName, int col, int row, std::string text);
    // One entry for many cells, so that one undo takes a whole tool run back.
    void PushCells(std::string_view tableName, std::vector<Entry> cells);
    // The newest entry of the grid's stack, removed; none when the stack is empty.
    std::optional<Entry> Pop(std::string_view tableName);
    size_t Depth(std::string_view tableName) const;
    // Every stack, when the grids are set up for another register type.
    void Clear();

  private:
    void PushEntry(std::string_view tableName, Entry entry);

    std::map<std::string, std::vector<Entry>, std::less<>> stacks_;
};

// One per main window: the first-key flag, the undo store and the program's clipboard.
class GridEditor {
  public:
    static constexpr int kDeleteWithoutQuestion = 50;

    // The grids were set up for another register type or minimum PLU number: every undo
    // stack goes, so an undo never writes into a cell that no longer means the same.
    void GridsRebuilt();

    // A cell was selected (clicked, or reached by the cursor keys): typing replaces its
    // text, except in the cashier grid, where typing always appends.
    void CellSelected(const TableDescriptor& table, int col, int row);

    // A key in the current cell (col, row) of `grid`. Nothing happens in row 0 or column
    // 0. `character` is the key's character (UTF-32) for kPrintable.
    GridKeyResult Key(const TableDescriptor& table, TextGrid& grid, int col, int row, GridKey key,
                      char32_t character = 0);

    // Delete over the selection. Above 50 cells the user is asked (Yes/No, "Ostrzeżenie o
    // kasowaniu"); Yes empties them without recording them. Up to 50 cells, each non-empty
    // one is recorded before it is emptied. Row 0 and column 0 stay. Returns the cells
    // emptied.
    std::vector<std::pair<int, int>> Delete(const TableDescriptor& table, TextGrid& grid,
                                            CellRange selection, UserInterface& ui);

    // Cells copied from a spreadsheet (tab-separated lines) pasted from the current cell
    // (col, row) to the right and down, as one undo step. Every cell goes through its
    // column's key filter; a refused character, or a block that does not fit the grid,
    // pastes nothing and tells the user which cell it was. Returns the cells changed.
    std::vector<std::pair<int, int>> PasteCells(const TableDescriptor& table, TextGrid& grid,
                                                int col, int row, std::string_view text,
                                                UserInterface& ui);

    // A tool changed `after` from `before` (same size): the changed cells become one undo
    // step of the grid. Returns the cells changed, in row order.
    std::vector<std::pair<int, int>> RecordToolRun(std::string_view tableName,
                                                   const TextGrid& before, const TextGrid& after);

    const std::string& Clipboard() const { return clipboard_; }
    bool FirstKey() const { return firstKey_; }
    const UndoStore& Undo() const { return undo_; }

  private:
    UndoStore undo_;
    std::string clipboard_;
    bool firstKey_ = false;
};

// The per-column key filter of the grids: nullopt when `character` may be added to
// `cellText` (the text the cell will have before the key is added), else the hint of the
// refusal. Bounds come from the descriptors of the table's own register type.
std::optional<FilterHint> GridKeyFilter(const TableDescriptor& table, int col,
                                        std::string_view cellText, char32_t character);

// The key filters of the edit fields below a grid, by edit name ("eNazwa", "eNumer",
// "ecena", "ekod", "eopak", "ehaslo", "eNumerPLU", "eilosc", ...); nullopt to accept.
// `fieldText` is the field's text without the selection the key replaces; the key goes in
// at character `insertAt` (npos: at the end).
std::optional<FilterHint> EditFieldKeyFilter(const TableDescriptor& table,
                                             std::string_view editName, std::string_view fieldText,
                                             char32_t character, int minPlu,
                                             size_t insertAt = std::string_view::npos);

// The grid row of record `number`, or -1 when the table has no such record.
int RowOfRecordNumber(const TableDescriptor& table, int minPlu, int64_t number);
// "Wiersz " + number + " poza zakresem."
std::string RowOutOfRangeMessage(std::string_view numberText);
// The refusal of "Dodaj pozycję w Tabeli" for a record without a name (for keys, without
// a PLU number).
std::string RecordWithoutNameMessage(const TableDescriptor& table);

}  // namespace kasa
