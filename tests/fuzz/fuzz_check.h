// Shared by the fuzz targets: the input as text and bytes, and a check that stops the run
// with a readable reason when a property breaks (libFuzzer then keeps the input).
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/codepage.h"
#include "base/text_encoding.h"

namespace kasa::fuzz {

inline std::string_view Text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Takes the first byte as a choice among `count` cases; 0 when the input is empty.
inline int TakeChoice(const uint8_t*& data, size_t& size, int count) {
    if (size == 0) {
        return 0;
    }
    const int choice = data[0] % count;
    ++data;
    --size;
    return choice;
}

[[noreturn]] inline void Fail(const char* what, std::string_view first = {},
                              std::string_view second = {}) {
    std::fprintf(stderr, "Property broken: %s\n--- first:\n%.*s\n--- second:\n%.*s\n", what,
                 static_cast<int>(first.size()), first.data(), static_cast<int>(second.size()),
                 second.data());
    std::abort();
}

inline void Require(bool holds, const char* what) {
    if (!holds) {
        Fail(what);
    }
}

// Values that must come back equal after a write and a second read.
template <class T>
void RequireSame(const T& first, const T& second, const char* what) {
    if (!(first == second)) {
        Fail(what);
    }
}

// Two grids that must be equal; a difference is told by its first cell.
template <class Grid>
void RequireSameGrid(const Grid& first, const Grid& second, const char* what) {
    if (first.ColCount() != second.ColCount() || first.RowCount() != second.RowCount()) {
        Fail(what, "(size)", "(size)");
    }
    for (int r = 0; r < first.RowCount(); ++r) {
        for (int c = 0; c < first.ColCount(); ++c) {
            if (first.Cell(c, r) != second.Cell(c, r)) {
                std::fprintf(stderr, "cell (%d, %d)\n", c, r);
                Fail(what, first.Cell(c, r), second.Cell(c, r));
            }
        }
    }
}

inline void RequireSameText(std::string_view first, std::string_view second, const char* what) {
    if (first != second) {
        Fail(what, first, second);
    }
}

// Lines joined for a readable failure report.
template <class Lines>
std::string Joined(const Lines& lines) {
    std::string all;
    for (const auto& line : lines) {
        all.append(line).append("\n");
    }
    return all;
}

// Whether a UTF-8 text holds a control character (C0 but the line ends, DEL, or C1).
inline bool HoldsControl(std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<uint8_t>(text[i]);
        const bool c1 =
            b == 0xC2 && i + 1 < text.size() && (static_cast<uint8_t>(text[i + 1]) & 0xE0) == 0x80;
        if ((b < 0x20 && b != '\n' && b != '\r' && b != '\t') || b == 0x7F || c1) {
            return true;
        }
    }
    return false;
}

// A file the program wrote from what it read may be refused as binary only when it holds
// control characters: rewriting can drop the text that outweighed them.
inline bool MayBeRefused(std::string_view windows1250) {
    return HoldsControl(Windows1250ToUtf8(windows1250));
}

// Written Windows-1250 bytes that the reader takes for another encoding: such a text
// (as "Ĺ›", which is "ś" in UTF-8) cannot be told apart from the other reading.
inline bool MayBeMisread(std::string_view windows1250) {
    if (DetectTextEncoding(windows1250) == TextEncoding::kWindows1250) {
        return false;
    }
    for (const char c : windows1250) {
        if (static_cast<uint8_t>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// Lines read from a file, written and read again: as many lines, and after the first
// write, which drops the characters outside Windows-1250, no change at all. Written alone,
// control characters that the rest of the file outweighed may make it read as binary:
// refused whole, never read wrong. Written bytes that also read as UTF-8 are the format's
// one ambiguity and are left out.
template <class Read, class Write>
void CheckLineFile(const std::vector<std::string>& lines, Read read, Write write) {
    const std::string written = write(lines);
    if (MayBeMisread(written)) {
        return;
    }
    const auto saved = read(written);
    if (!saved) {
        Require(HoldsControl(Joined(lines)), "a written line file is not text");
        return;
    }
    Require(saved->size() == lines.size(), "a written line file lost lines");
    const auto again = read(write(*saved));
    Require(again.has_value(), "a written line file does not read back");
    RequireSameText(Joined(*saved), Joined(*again), "a written line file changed");
}

// A text as it comes back from a Windows-1250 file: characters outside the code page
// are the one loss such a file may cause.
inline std::string ThroughWindows1250(std::string_view utf8) {
    return Windows1250ToUtf8(Utf8ToWindows1250(utf8));
}

// A grid as a table file gives it back: a row without its name (or a key without its PLU)
// is no record and is not written, and characters outside Windows-1250 are lost.
template <class Grid>
void AsWritten(Grid& grid) {
    for (int r = 1; r < grid.RowCount(); ++r) {
        if (grid.IsEmptyRecord(r)) {
            grid.ClearRow(r);
        }
    }
    for (int r = 0; r < grid.RowCount(); ++r) {
        for (int c = 0; c < grid.ColCount(); ++c) {
            if (std::string text = ThroughWindows1250(grid.Cell(c, r)); text != grid.Cell(c, r)) {
                grid.SetCell(c, r, std::move(text));
            }
        }
    }
}

}  // namespace kasa::fuzz
