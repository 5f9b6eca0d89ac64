#include "tables/table_workbook.h"

namespace kasa {

bool IsWorkbookTextColumn(const TableDescriptor& table, int column) {
    if (column <= 0) {
        return false;  // the record number
    }
    const FieldDescriptor& field = table.fields[static_cast<size_t>(column)];
    return !IsNumberFormat(field.format) || field.key == "KOD" || field.key == "HAS";
}

WorkbookCell WorkbookCellOf(const std::string& text, bool textColumn) {
    WorkbookCell cell{text, false, 0};
    if (textColumn || text.empty()) {
        return cell;
    }
    const size_t start = text.starts_with('-') ? 1 : 0;
    const size_t point = text.find('.', start);
    const size_t integerEnd = point == std::string::npos ? text.size() : point;
    if (integerEnd == start || (text[start] == '0' && integerEnd - start > 1)) {
        return cell;  // no integer digits, or leading zeros
    }
    int digits = 0;
    bool nonZero = false;
    for (size_t i = start; i < text.size(); ++i) {
        if (i == point) {
            continue;
        }
        if (text[i] < '0' || text[i] > '9') {
            return cell;
        }
        ++digits;
        nonZero = nonZero || text[i] != '0';
    }
    if (digits > 15 || point + 1 == text.size() || (start == 1 && !nonZero)) {
        return cell;  // beyond a double's exact digits, "12." and "-0"
    }
    cell.number = true;
    cell.decimals = point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
    return cell;
}

std::vector<std::vector<WorkbookCell>> WorkbookRowsOfTable(const TextGrid& grid,
                                                           const TableDescriptor& table) {
    const int fieldCount = table.FieldCount();
    std::vector<std::vector<WorkbookCell>> rows;
    for (int r = 0; r < grid.RowCount(); ++r) {
        if (grid.IsEmptyRecord(r)) {
            continue;
        }
        std::vector<WorkbookCell>& row = rows.emplace_back();
        for (int c = 0; c < fieldCount; ++c) {
            // Titles are texts.
            row.push_back(
                WorkbookCellOf(grid.Cell(c, r), r == 0 || IsWorkbookTextColumn(table, c)));
        }
    }
    return rows;
}

WriteResult SaveTableWorkbook(const std::string& path, const TextGrid& grid,
                              const TableDescriptor& table) {
    std::vector<bool> textColumns;
    for (int c = 0; c < table.FieldCount(); ++c) {
        textColumns.push_back(IsWorkbookTextColumn(table, c));
    }
    return WriteWorkbook(path, table.tableName, WorkbookRowsOfTable(grid, table), textColumns);
}

}  // namespace kasa
