// Items of what a test collected (messages shown, lines reported), read by position. A
// missing item fails the test at the caller's line and reads as an empty item, so the test
// goes on to say what it expected instead of reading past the end of the list.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <source_location>

namespace kasa::testing {

template <class List>
typename List::value_type ItemAt(const List& list, size_t index,
                                 std::source_location where = std::source_location::current()) {
    if (index < list.size()) {
        return list[index];
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line()))
        << "no item " << index << " in a list of " << list.size();
    return {};
}

template <class List>
typename List::value_type LastItem(const List& list,
                                   std::source_location where = std::source_location::current()) {
    if (!list.empty()) {
        return list.back();
    }
    ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "the list is empty";
    return {};
}

}  // namespace kasa::testing
