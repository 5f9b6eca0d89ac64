// The lines of a listing window (validation faults, the fiscal memory, compiler messages,
// the transmission preview): each line with the place it names, the window's modes and
// headings, and what the window does with its lines: copying and saving them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/validation_commands.h"
#include "base/atomic_file.h"

namespace kasa {

inline constexpr int kListingPlainMode = 0;
inline constexpr int kListingPreviewMode = 16;   // the transmission preview
inline constexpr int kListingSequenceMode = 25;  // the sequence editor's messages

// The transmission preview starts afresh when a line comes to a list of more lines.
inline constexpr size_t kListingPreviewLimit = 3000;
// Most lines a copy takes to the clipboard.
inline constexpr size_t kListingCopyLimit = 50000;

inline constexpr std::string_view kCopyTooMuchMessage = "Za duża ilość danych do kopiowania.";
inline constexpr std::string_view kNothingSelectedMessage =
    "Nie wybrano żadnego wiersza\ndo zapisania.";

// Every mode but the plain list, the transmission preview and the sequence editor's list
// shows the outcome of a check before a write to the register, with Ponów and Anuluj.
bool IsVerificationMode(int mode);
// The heading the window shows in `mode`; empty for the plain list and unknown modes.
std::string ListingHeading(int mode);

struct ListingLine {
    std::string text;
    FaultPlace place;  // row -1: the line names no place
};

class ListingLines {
  public:
    // Only the transmission preview throws its lines away when they grow many: a check's
    // faults or a fiscal memory listing are kept whole.
    void SetClearWhenFull(bool clear) { clearWhenFull_ = clear; }
    bool ClearsWhenFull() const { return clearWhenFull_; }

    // Appends a line; returns true when the list was emptied first.
    bool Add(std::string text, FaultPlace place = {});
    void Clear() { lines_.clear(); }

    size_t Count() const { return lines_.size(); }
    // A line past the end reads as an empty line that names no place, as a cell outside a
    // grid reads empty: a selection left over from lines since cleared finds nothing there.
    const ListingLine& Line(size_t index) const;
    const std::vector<ListingLine>& Lines() const { return lines_; }

  private:
    std::vector<ListingLine> lines_;
    bool clearWhenFull_ = false;
};

// Text for the clipboard, or the reason it is refused.
struct ListingCopy {
    bool ok = false;
    std::string text;     // the lines joined by CR LF
    std::string refusal;  // the message shown instead
};

ListingCopy CopyAllLines(const ListingLines& lines);
// The selected lines (indexes in any order), which may lie no more than the copy limit
// apart.
ListingCopy CopySelectedLines(const ListingLines& lines, std::vector<size_t> selected);

// The file's bytes: every line followed by CR LF, in Windows-1250 like the program's other
// text files.
std::string ListingFileBytes(const ListingLines& lines);
WriteResult SaveListing(const std::string& path, const ListingLines& lines);

}  // namespace kasa
