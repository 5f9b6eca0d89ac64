#include "tables/table_text_file.h"

#include <algorithm>
#include <cstdint>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

// The line starting at `pos`; `pos` moves past its end, which is CR LF, LF or CR.
bool NextLine(std::string_view text, size_t& pos, std::string_view& line) {
    if (pos >= text.size()) {
        return false;
    }
    const size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') {
        ++pos;
    }
    return true;
}

// The field starting at `pos` of a line; `pos` moves past its separator, or to npos after
// the last field.
std::string_view NextField(std::string_view line, size_t& pos, char separator) {
    const size_t end = line.find(separator, pos);
    std::string_view field;
    if (end == std::string_view::npos) {
        field = line.substr(pos);
        pos = std::string_view::npos;
    } else {
        field = line.substr(pos, end - pos);
        pos = end + 1;
    }
    return field;
}

std::string NormalisedTitle(std::string_view text) {
    return Utf8ToUpper(Utf8StripPolish(text));
}

std::string CheckBoxText(std::string_view value) {
    return value == "TAK" || value == "1" ? "TAK" : "NIE";
}

}  // namespace

std::string TableTextFileBytes(const TextGrid& grid, const TableDescriptor& table, char separator) {
    const int fieldCount = table.FieldCount();
    std::string text;
    text.reserve(static_cast<size_t>(grid.RowCount()) * static_cast<size_t>(fieldCount) * 8);
    for (int r = 0; r < grid.RowCount(); ++r) {
        if (grid.IsEmptyRecord(r)) {
            continue;
        }
        text += grid.Cell(0, r);
        for (int c = 1; c < fieldCount; ++c) {
            text += separator;
            text += grid.Cell(c, r);
        }
        text += "\r\n";
    }
    return Utf8ToWindows1250(text);
}

WriteResult SaveTableTextFile(const std::string& path, const TextGrid& grid,
                              const TableDescriptor& table, char separator) {
    return WriteFileAtomically(path, TableTextFileBytes(grid, table, separator));
}

bool HoldsPodSectionLine(std::string_view text) {
    size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start != std::string_view::npos && line[start] == '[' &&
            line.find(']', start + 1) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

int TableFileReader::Read(const std::string& path, const TableDescriptor& table, TextGrid& grid,
                          int minPlu, char separator) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        bytes.clear();  // a missing or unreadable file reads as empty
    }
    return ReadOwnedBytes(std::move(bytes), table, grid, minPlu, separator);
}

int TableFileReader::ReadBytes(std::string_view bytes, const TableDescriptor& table, TextGrid& grid,
                               int minPlu, char separator) {
    return ReadOwnedBytes(std::string(bytes), table, grid, minPlu, separator);
}

int TableFileReader::ReadOwnedBytes(std::string bytes, const TableDescriptor& table, TextGrid& grid,
                                    int minPlu, char separator) {
    status_ = kLoadOk;
    matchCount_ = 0;
    firstLineFieldCount_ = 0;
    columnMap_.fill(-1);
    separator_ = separator;
    firstNumber_ = FirstShownNumber(table, minPlu);
    lastNumber_ = RecordNumberOfRow(table, minPlu, GridRowCount(table, minPlu) - 1);
    lineNumber_ = 0;
    placed_ = 0;
    repeatedLine_ = 0;
    repeatedNumber_ = 0;
    lineMessage_.clear();
    unknownTitles_.clear();
    seen_.assign(static_cast<size_t>(std::max(lastNumber_, 0)) + 1, false);
    SetUpGrid(grid, table, true, true, minPlu);
    text_ = std::move(bytes);
    status_ = DecodeTableFileText(text_);
    if (status_ == kLoadOk) {
        status_ = ReadText(table, grid, minPlu);
    }
    return status_;
}

int TableFileReader::ReadText(const TableDescriptor& table, TextGrid& grid, int minPlu) {
    if (HoldsPodSectionLine(text_)) {
        return kLoadIsPodFile;
    }
    if (separator_ == 0) {
        const auto semicolons = std::count(text_.begin(), text_.end(), kCsvSeparator);
        const auto tabs = std::count(text_.begin(), text_.end(), kTxtSeparator);
        if (semicolons > 0 && tabs < semicolons) {
            separator_ = kCsvSeparator;
        } else if (tabs > 0 && tabs > semicolons) {
            separator_ = kTxtSeparator;
        } else {
            return kLoadNoSeparator;
        }
    }

    size_t pos = 0;
    std::string_view line;
    NextLine(text_, pos, line);
    lineNumber_ = 1;
    MatchTitles(line, table);
    bool reading = true;
    if (matchCount_ == 0) {
        unknownTitles_.clear();  // the first line holds no titles but a record
        for (int i = 0; i < kMapSize; ++i) {
            columnMap_[static_cast<size_t>(i)] = i;
        }
        // Without titles the first line is already a record.
        reading = !line.empty() && PlaceLine(line, table, grid);
    }
    while (reading && NextLine(text_, pos, line) && !line.empty()) {
        ++lineNumber_;
        reading = PlaceLine(line, table, grid);
    }
    if (status_ == kLoadRepeatedRecord || status_ == kLoadIncompleteLine) {
        // Which of the two lines the user meant cannot be told, nor what a line cut short
        // held, so nothing is taken.
        SetUpGrid(grid, table, true, true, minPlu);
    } else if (status_ == kLoadOk && placed_ == 0) {
        status_ = kLoadNoRecords;
    }
    return status_;
}

void TableFileReader::MatchTitles(std::string_view firstLine, const TableDescriptor& table) {
    const int columnCount = table.FieldCount();
    std::array<std::string, kMaxFields> titles;
    for (int k = 0; k < columnCount; ++k) {
        titles[static_cast<size_t>(k)] =
            NormalisedTitle(table.fields[static_cast<size_t>(k)].title);
    }
    const std::string normalised = NormalisedTitle(firstLine);
    const std::string_view line(normalised);
    bool matching = true;
    size_t pos = 0;
    size_t writtenPos = 0;  // the same field in the line as written: separators stay put
    for (int i = 0; pos != std::string_view::npos; ++i) {
        const std::string_view field = NextField(line, pos, separator_);
        const std::string_view written = writtenPos == std::string_view::npos
                                             ? std::string_view{}
                                             : NextField(firstLine, writtenPos, separator_);
        ++firstLineFieldCount_;
        if (field.empty() || i >= kMapSize) {
            matching = false;  // titles end at the first empty field
        }
        if (!matching) {
            continue;
        }
        for (int k = 0; k < columnCount; ++k) {
            if (titles[static_cast<size_t>(k)] == field) {
                columnMap_[static_cast<size_t>(i)] = k;
                ++matchCount_;
                break;
            }
        }
        if (columnMap_[static_cast<size_t>(i)] < 0) {
            unknownTitles_.emplace_back(written);
        }
    }
}

bool TableFileReader::PlaceLine(std::string_view line, const TableDescriptor& table,
                                TextGrid& grid) {
    for (std::string& value : values_) {
        value.clear();
    }
    const int fieldLimit = std::min(firstLineFieldCount_, kMapSize);
    size_t pos = 0;
    for (int i = 0; i < fieldLimit && pos != std::string_view::npos; ++i) {
        const std::string_view field = NextField(line, pos, separator_);
        const int column = columnMap_[static_cast<size_t>(i)];
        if (column >= 0) {
            values_[static_cast<size_t>(column)] = field;
        }
    }

    const int64_t number = RecordNumberOf(values_[0]);
    // A file with titles has as many fields in every record line; a line with fewer was
    // cut short, one with more holds a separator inside a text, and neither can be placed.
    if (matchCount_ > 0) {
        const auto fields = std::count(line.begin(), line.end(), separator_) + 1;
        if (fields != firstLineFieldCount_) {
            std::string name = DecimalText(lineNumber_);
            if (number > 0) {
                name += " (rekord " + DecimalText(number) + ")";
            }
            lineMessage_ = fields < firstLineFieldCount_ ? IncompleteLineMessage(name)
                                                         : OverlongLineMessage(name);
            status_ = kLoadIncompleteLine;
            return false;
        }
    }
    if (number == 0) {
        status_ = kLoadRecordNumberZero;
        return false;
    }
    if (number > lastNumber_) {
        status_ = kLoadTooManyLines;
        return false;
    }
    if (number < firstNumber_) {
        status_ = kLoadRecordsOutOfRange;
        return true;
    }
    if (seen_[static_cast<size_t>(number)]) {
        status_ = kLoadRepeatedRecord;
        repeatedLine_ = lineNumber_;
        repeatedNumber_ = number;
        return false;
    }
    seen_[static_cast<size_t>(number)] = true;
    ++placed_;
    const int row = static_cast<int>(number) - firstNumber_ + 1;
    const int columnCount = std::min(table.FieldCount(), grid.ColCount());
    for (int c = 1; c < columnCount; ++c) {
        const std::string_view editName = table.fields[static_cast<size_t>(c)].editName;
        std::string& value = values_[static_cast<size_t>(c)];
        const char kind = editName.empty() ? 'e' : editName.front();
        if (kind == 'c') {
            grid.SetCell(c, row, CheckBoxText(value));
        } else if (kind == 'b' || kind == 'e') {
            grid.SetCell(c, row, std::move(value));
        }
    }
    return true;
}

}  // namespace kasa
