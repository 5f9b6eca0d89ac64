#include "tables/grid_editor.h"

#include <algorithm>
#include <tuple>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/user_interface.h"
#include "tables/table_text_file.h"

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

// The cell's text through the column's key filter, a character at a time as if typed into
// an empty cell; the refusal's hint when a character cannot stand there.
std::optional<FilterHint> FilteredCellText(const TableDescriptor& table, int col,
                                           std::string_view pasted, std::string& text) {
    for (size_t pos = 0; pos < pasted.size();) {
        char32_t character = DecodeUtf8(pasted, pos);
        if (character < U' ' || character == 0x7f) {
            return FilterHint{"Niedopuszczalny znak",
                              "Pole nie może zawierać znaków sterujących.\n"};
        }
        if (IsVatLetterColumn(table, col) && character >= U'a' && character <= U'g') {
            character = character - U'a' + U'A';
        }
        if (std::optional<FilterHint> hint = GridKeyFilter(table, col, text, character)) {
            return hint;
        }
        AppendUtf8(text, character);
    }
    return std::nullopt;
}

// A spreadsheet ends the copied block with a line end and writes an empty cell of a
// one-column block as an empty line, which would end the block: such a line becomes a
// quoted empty cell.
std::string PastedBlockText(std::string_view text) {
    if (text.ends_with("\r\n")) {
        text.remove_suffix(2);
    } else if (text.ends_with('\n') || text.ends_with('\r')) {
        text.remove_suffix(1);
    }
    std::string block;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        block.append(line.empty() ? std::string_view("\"\"") : line);
        block += '\n';
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return block;
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

std::vector<std::pair<int, int>> GridEditor::PasteCells(const TableDescriptor& table,
                                                        TextGrid& grid, int col, int row,
                                                        std::string_view text, UserInterface& ui) {
    constexpr std::string_view kTitle = "Wklejanie";
    std::vector<std::pair<int, int>> changed;
    if (col < 1 || row < 1 || col >= grid.ColCount() || row >= grid.RowCount()) {
        return changed;
    }
    const std::vector<TableFileRow> lines = SplitTableText(PastedBlockText(text), '\t');
    size_t width = 0;
    for (const TableFileRow& line : lines) {
        width = std::max(width, line.fields.size());
    }
    if (lines.empty() || width == 0) {
        return changed;
    }
    if (col + static_cast<int64_t>(width) > grid.ColCount() ||
        row + static_cast<int64_t>(lines.size()) > grid.RowCount()) {
        ui.Message(std::string(kTitle),
                   "Wklejane pola nie mieszczą się w tabeli od wybranego pola (kolumn: " +
                       DecimalText(static_cast<int64_t>(width)) +
                       ", wierszy: " + DecimalText(static_cast<int64_t>(lines.size())) + ").\n" +
                       "Nic nie zostało wklejone.");
        return changed;
    }
    std::vector<UndoStore::Entry> before;
    std::vector<std::tuple<int, int, std::string>> after;
    for (size_t i = 0; i < lines.size(); ++i) {
        const int r = row + static_cast<int>(i);
        for (size_t j = 0; j < lines[i].fields.size(); ++j) {
            const int c = col + static_cast<int>(j);
            std::string cell;
            if (std::optional<FilterHint> hint =
                    FilteredCellText(table, c, lines[i].fields[j], cell)) {
                ui.Message(std::string(kTitle),
                           "Wiersz " + grid.Cell(0, r) + ", kolumna „" +
                               std::string(table.fields[static_cast<size_t>(c)].title) + "”: " +
                               hint->title + ".\n" + hint->text + "Nic nie zostało wklejone.");
                return changed;
            }
            if (cell != grid.Cell(c, r)) {
                before.push_back({r, c, grid.Cell(c, r), {}});
                after.emplace_back(c, r, std::move(cell));
            }
        }
    }
    for (auto& [c, r, cell] : after) {
        grid.SetCell(c, r, std::move(cell));
        changed.emplace_back(c, r);
    }
    undo_.PushCells(table.tableName, std::move(before));
    firstKey_ = true;
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
