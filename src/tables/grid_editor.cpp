#include "tables/grid_editor.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/user_interface.h"

namespace kasa {

namespace {

std::string_view KeyOfColumn(const TableDescriptor& table, int col) {
    return col >= 0 && col < table.FieldCount() ? table.fields[static_cast<size_t>(col)].key
                                                : std::string_view();
}

bool IsTable(const TableDescriptor& table, TableKind wanted) {
    TableKind kind;
    return TableKindOf(table, kind) && kind == wanted;
}

// The goods' VAT letter is one letter that each key replaces.
bool IsVatLetterColumn(const TableDescriptor& table, int col) {
    return IsGoodsTable(table) && KeyOfColumn(table, col) == "PTU";
}

// The packaging balance and the payment forms' sales are added to, never typed over.
bool NeverReplaced(const TableDescriptor& table, int col) {
    const std::string_view key = KeyOfColumn(table, col);
    return (IsTable(table, TableKind::kPackaging) && key == "SAL") ||
           (IsTable(table, TableKind::kPaymentForms) && key == "SPR");
}

std::string WithoutLastCharacter(const std::string& text) {
    const size_t length = Utf8Length(text);
    return length == 0 ? std::string() : Utf8Prefix(text, length - 1);
}

}  // namespace

int64_t CellRange::CellCount() const {
    const int64_t cols = static_cast<int64_t>(lastCol) - firstCol + 1;
    const int64_t rows = static_cast<int64_t>(lastRow) - firstRow + 1;
    return cols > 0 && rows > 0 ? cols * rows : 0;
}

void UndoStore::Push(std::string_view tableName, int col, int row, std::string text) {
    PushEntry(tableName, {row, col, std::move(text), {}});
}

void UndoStore::PushCells(std::string_view tableName, std::vector<Entry> cells) {
    if (!cells.empty()) {
        PushEntry(tableName, {0, 0, {}, std::move(cells)});
    }
}

void UndoStore::PushEntry(std::string_view tableName, Entry entry) {
    auto it = stacks_.find(tableName);
    if (it == stacks_.end()) {
        it = stacks_.emplace(std::string(tableName), std::vector<Entry>()).first;
    }
    std::vector<Entry>& stack = it->second;
    if (stack.size() > static_cast<size_t>(kDepth)) {
        stack.erase(stack.begin(), stack.end() - kDepth);
    }
    stack.push_back(std::move(entry));
}

std::optional<UndoStore::Entry> UndoStore::Pop(std::string_view tableName) {
    const auto it = stacks_.find(tableName);
    if (it == stacks_.end() || it->second.empty()) {
        return std::nullopt;
    }
    Entry entry = std::move(it->second.back());
    it->second.pop_back();
    return entry;
}

size_t UndoStore::Depth(std::string_view tableName) const {
    const auto it = stacks_.find(tableName);
    return it == stacks_.end() ? 0 : it->second.size();
}

void UndoStore::Clear() {
    stacks_.clear();
}

void GridEditor::GridsRebuilt() {
    undo_.Clear();
    firstKey_ = false;
}

std::vector<std::pair<int, int>> GridEditor::RecordToolRun(std::string_view tableName,
                                                           const TextGrid& before,
                                                           const TextGrid& after) {
    std::vector<std::pair<int, int>> changed;
    std::vector<UndoStore::Entry> cells;
    for (int row = 1; row < after.RowCount(); ++row) {
        for (int col = 1; col < after.ColCount(); ++col) {
            if (before.Cell(col, row) != after.Cell(col, row)) {
                changed.emplace_back(col, row);
                cells.push_back({row, col, before.Cell(col, row), {}});
            }
        }
    }
    undo_.PushCells(tableName, std::move(cells));
    return changed;
}

void GridEditor::CellSelected(const TableDescriptor& table, int, int) {
    firstKey_ = !IsTable(table, TableKind::kCashiers);
}

GridKeyResult GridEditor::Key(const TableDescriptor& table, TextGrid& grid, int col, int row,
                              GridKey key, char32_t character) {
    GridKeyResult result;
    result.col = col;
    result.row = row;
    if (col < 1 || row < 1 || col >= grid.ColCount() || row >= grid.RowCount()) {
        return result;
    }
    const std::string_view name = table.tableName;
    auto record = [&] { undo_.Push(name, col, row, grid.Cell(col, row)); };
    auto set = [&](int c, int r, std::string text) {
        if (grid.Cell(c, r) != text) {
            grid.SetCell(c, r, std::move(text));
            result.changed.emplace_back(c, r);
        }
    };
    result.hideHint = key != GridKey::kPrintable && key != GridKey::kOtherControl;

    switch (key) {
        case GridKey::kEnter:
            if (col + 1 < grid.ColCount()) {
                ++result.col;
            } else {
                result.col = 1;
                result.row = row + 1 < grid.RowCount() ? row + 1 : 1;
            }
            CellSelected(table, result.col, result.row);
            result.layOut = true;
            break;
        case GridKey::kBackspace:
            if (firstKey_) {
                record();
                firstKey_ = false;
            }
            set(col, row, WithoutLastCharacter(grid.Cell(col, row)));
            break;
        case GridKey::kUndo:
            if (std::optional<UndoStore::Entry> entry = undo_.Pop(name)) {
                if (entry->row > 0 && entry->col > 0) {
                    set(entry->col, entry->row, std::move(entry->text));
                }
                for (UndoStore::Entry& cell : entry->cells) {
                    set(cell.col, cell.row, std::move(cell.text));
                }
            }
            firstKey_ = true;
            break;
        case GridKey::kCut:
            if (!grid.Cell(col, row).empty()) {
                record();
                set(col, row, std::string());
            }
            break;
        case GridKey::kCopy:
            clipboard_ = grid.Cell(col, row);
            break;
        case GridKey::kPaste:
            record();
            set(col, row, clipboard_);
            break;
        case GridKey::kOtherControl:
            break;
        case GridKey::kPrintable: {
            const bool vatLetter = IsVatLetterColumn(table, col);
            if (vatLetter && character >= U'a' && character <= U'g') {
                character = character - U'a' + U'A';
            }
            const bool replace = vatLetter || (firstKey_ && !NeverReplaced(table, col));
            const std::string before = replace ? std::string() : grid.Cell(col, row);
            result.hint = GridKeyFilter(table, col, before, character);
            if (result.hint) {
                break;
            }
            result.hideHint = true;
            if (firstKey_ || vatLetter) {
                record();
            }
            firstKey_ = vatLetter;
            std::string text = before;
            AppendUtf8(text, character);
            set(col, row, std::move(text));
            break;
        }
    }
    return result;
}

std::vector<std::pair<int, int>> GridEditor::Delete(const TableDescriptor& table, TextGrid& grid,
                                                    CellRange selection, UserInterface& ui) {
    std::vector<std::pair<int, int>> emptied;
    const int64_t count = selection.CellCount();
    const bool ask = count > kDeleteWithoutQuestion;
    if (ask) {
        const std::string text = "Próbujesz skasować " + DecimalText(count) + " pól danych.\n" +
                                 "Schowek zawiera bufor na " + DecimalText(UndoStore::kDepth) +
                                 " danych.\n" +
                                 "Nie będzie możliwości cofnięcia czynności.\nCzy mam kontunuować?";
        if (ui.Ask("Ostrzeżenie o kasowaniu", text, Buttons::YesNo) != Answer::Yes) {
            return emptied;
        }
    }
    for (int row = std::max(selection.firstRow, 1);
         row <= selection.lastRow && row < grid.RowCount(); ++row) {
        for (int col = std::max(selection.firstCol, 1);
             col <= selection.lastCol && col < grid.ColCount(); ++col) {
            if (grid.Cell(col, row).empty()) {
                continue;
            }
            if (!ask) {
                undo_.Push(table.tableName, col, row, grid.Cell(col, row));
            }
            grid.SetCell(col, row, std::string());
            emptied.emplace_back(col, row);
        }
    }
    return emptied;
}

int RowOfRecordNumber(const TableDescriptor& table, int minPlu, int64_t number) {
    const int first = FirstShownNumber(table, minPlu);
    const int64_t row = number - first + 1;
    return row >= 1 && row < GridRowCount(table, minPlu) ? static_cast<int>(row) : -1;
}

std::string RowOutOfRangeMessage(std::string_view numberText) {
    return "Wiersz " + std::string(numberText) + " poza zakresem.";
}

}  // namespace kasa
