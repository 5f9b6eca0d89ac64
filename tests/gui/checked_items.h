// Items of what a window test collected or a window shows (messages, listing lines, list
// and table items), read by position. A missing item fails the test function at the
// caller's line and reads as an empty item, so the test goes on to say what it expected
// instead of crashing the test program on an item that is not there.
#pragma once

#include <QListWidget>
#include <QTableWidget>
#include <QtTest>
#include <cstddef>
#include <source_location>
#include <string>

#include "app/listing_lines.h"

namespace kasa::testing::gui {

inline void FailMissing(const std::string& what, const std::source_location& where) {
    QTest::qFail(what.c_str(), where.file_name(), static_cast<int>(where.line()));
}

template <class List>
typename List::value_type ItemAt(const List& list, size_t index,
                                 std::source_location where = std::source_location::current()) {
    if (index < list.size()) {
        return list[index];
    }
    FailMissing("no item " + std::to_string(index) + " in a list of " + std::to_string(list.size()),
                where);
    return {};
}

template <class List>
typename List::value_type LastItem(const List& list,
                                   std::source_location where = std::source_location::current()) {
    if (!list.empty()) {
        return list.back();
    }
    FailMissing("the list is empty", where);
    return {};
}

// The text of line `index` of a listing window's lines.
inline std::string LineText(const ListingLines& lines, size_t index,
                            std::source_location where = std::source_location::current()) {
    if (index < lines.Count()) {
        return lines.Line(index).text;
    }
    FailMissing(
        "no line " + std::to_string(index) + " in a listing of " + std::to_string(lines.Count()),
        where);
    return {};
}

// The text of line `index` counted from the end (0: the last line).
inline std::string LineTextFromEnd(const ListingLines& lines, size_t fromEnd,
                                   std::source_location where = std::source_location::current()) {
    if (fromEnd < lines.Count()) {
        return lines.Line(lines.Count() - 1 - fromEnd).text;
    }
    FailMissing("no line " + std::to_string(fromEnd) + " from the end in a listing of " +
                    std::to_string(lines.Count()),
                where);
    return {};
}

inline QString ListItemText(const QListWidget* list, int row,
                            std::source_location where = std::source_location::current()) {
    const QListWidgetItem* item = list != nullptr ? list->item(row) : nullptr;
    if (item != nullptr) {
        return item->text();
    }
    FailMissing("no item " + std::to_string(row) + " in the list", where);
    return {};
}

inline QString CellText(const QTableWidget* table, int row, int col,
                        std::source_location where = std::source_location::current()) {
    const QTableWidgetItem* item = table != nullptr ? table->item(row, col) : nullptr;
    if (item != nullptr) {
        return item->text();
    }
    FailMissing("no cell " + std::to_string(row) + "," + std::to_string(col) + " in the table",
                where);
    return {};
}

}  // namespace kasa::testing::gui
