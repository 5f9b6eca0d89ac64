#include "tables/table_text_file.h"

#include <algorithm>
#include <cstdint>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/text_encoding.h"

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

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

// A cell as a field of a line: in quotes when it holds the separator, a quote or a line end.
void AppendField(std::string& text, std::string_view cell, char separator) {
    if (cell.find_first_of(std::string{separator, '"', '\r', '\n'}) == std::string_view::npos) {
        text += cell;
        return;
    }
    text += '"';
    for (const char c : cell) {
        if (c == '"') {
            text += '"';
        }
        text += c;
    }
    text += '"';
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
        AppendField(text, grid.Cell(0, r), separator);
        for (int c = 1; c < fieldCount; ++c) {
            text += separator;
            AppendField(text, grid.Cell(c, r), separator);
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

std::vector<TableFileRow> SplitTableText(std::string_view text, char separator) {
    std::vector<TableFileRow> rows;
    const size_t size = text.size();
    size_t pos = 0;
    int line = 1;
    // Once a quote found no closing quote up to the end of the text, no later one will:
    // such fields are then taken as written without searching again.
    size_t unclosedFrom = std::string_view::npos;
    while (pos < size && !IsLineEnd(text[pos])) {
        TableFileRow row;
        row.line = line;
        while (true) {
            std::string field;
            bool quoted = false;
            if (text[pos] == '"' && pos < unclosedFrom) {
                size_t q = pos + 1;
                int breaks = 0;
                while (q < size) {
                    if (text[q] == '"') {
                        if (q + 1 < size && text[q + 1] == '"') {
                            field += '"';
                            q += 2;
                            continue;
                        }
                        break;
                    }
                    if (text[q] == '\n' ||
                        (text[q] == '\r' && (q + 1 >= size || text[q + 1] != '\n'))) {
                        ++breaks;
                    }
                    field += text[q++];
                }
                if (q >= size) {
                    unclosedFrom = pos;
                } else if (q + 1 == size || text[q + 1] == separator || IsLineEnd(text[q + 1])) {
                    quoted = true;
                    pos = q + 1;
                    line += breaks;
                }
            }
            if (!quoted) {
                size_t end = pos;
                while (end < size && text[end] != separator && !IsLineEnd(text[end])) {
                    ++end;
                }
                field.assign(text.substr(pos, end - pos));
                pos = end;
            }
            row.fields.push_back(std::move(field));
            if (pos < size && text[pos] == separator) {
                ++pos;
                if (pos < size) {
                    continue;
                }
                row.fields.emplace_back();  // a separator at the very end
            }
            break;
        }
        rows.push_back(std::move(row));
        if (pos < size && text[pos] == '\r') {
            ++pos;
        }
        if (pos < size && text[pos] == '\n') {
            ++pos;
        }
        ++line;
    }
    return rows;
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

void TableFileReader::Reset(const TableDescriptor& table, TextGrid& grid, int minPlu,
                            char separator) {
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
    readAsIso_ = false;
    sheetRows_ = false;
    seen_.assign(static_cast<size_t>(std::max(lastNumber_, 0)) + 1, false);
    SetUpGrid(grid, table, true, true, minPlu);
}

int TableFileReader::ReadOwnedBytes(std::string bytes, const TableDescriptor& table, TextGrid& grid,
                                    int minPlu, char separator) {
    Reset(table, grid, minPlu, separator);
    // Bytes taken as Windows-1250 may be ISO-8859-2, which only the titles can tell.
    std::string isoBytes;
    if (DetectTextEncoding(bytes) == TextEncoding::kWindows1250 &&
        std::any_of(bytes.begin(), bytes.end(),
                    [](char c) { return static_cast<uint8_t>(c) >= 0xA0; })) {
        isoBytes = bytes;
    }
    text_ = std::move(bytes);
    status_ = DecodeTableFileText(text_);
    if (status_ == kLoadOk) {
        status_ = ReadText(table, grid, minPlu, isoBytes);
    }
    return status_;
}

int TableFileReader::ReadRows(std::vector<TableFileRow> rows, const TableDescriptor& table,
                              TextGrid& grid, int minPlu) {
    Reset(table, grid, minPlu, 0);
    text_.clear();
    sheetRows_ = true;
    for (TableFileRow& row : rows) {
        while (!row.fields.empty() && row.fields.back().empty()) {
            row.fields.pop_back();
        }
    }
    if (rows.empty()) {
        status_ = kLoadEmptyFile;
        return status_;
    }
    status_ = ReadRecords(rows, table, grid, minPlu);
    return status_;
}

int TableFileReader::ReadText(const TableDescriptor& table, TextGrid& grid, int minPlu,
                              std::string_view isoBytes) {
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
    std::vector<TableFileRow> rows = SplitTableText(text_, separator_);
    if (!rows.empty() && !isoBytes.empty()) {
        const TitleMatch asWindows = MatchTitles(rows.front().fields, table);
        if (!asWindows.unknown.empty()) {
            std::string iso = Iso88592ToUtf8(isoBytes);
            std::vector<TableFileRow> isoRows = SplitTableText(iso, separator_);
            if (!isoRows.empty()) {
                const TitleMatch asIso = MatchTitles(isoRows.front().fields, table);
                if (asIso.count > asWindows.count) {
                    text_ = std::move(iso);
                    rows = std::move(isoRows);
                    readAsIso_ = true;
                }
            }
        }
    }
    if (rows.empty()) {
        return kLoadNoRecords;
    }
    return ReadRecords(rows, table, grid, minPlu);
}

int TableFileReader::ReadRecords(std::vector<TableFileRow>& rows, const TableDescriptor& table,
                                 TextGrid& grid, int minPlu) {
    TakeTitles(MatchTitles(rows.front().fields, table));
    lineNumber_ = rows.front().line;
    bool reading = true;
    size_t next = 1;
    if (matchCount_ == 0) {
        unknownTitles_.clear();  // the first line holds no titles but a record
        for (int i = 0; i < kMapSize; ++i) {
            columnMap_[static_cast<size_t>(i)] = i;
        }
        // Without titles the first line is already a record.
        next = 0;
    }
    for (; reading && next < rows.size(); ++next) {
        lineNumber_ = rows[next].line;
        reading = PlaceLine(rows[next], table, grid);
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

TableFileReader::TitleMatch TableFileReader::MatchTitles(const std::vector<std::string>& fields,
                                                         const TableDescriptor& table) {
    TitleMatch match;
    match.map.fill(-1);
    const int columnCount = table.FieldCount();
    std::array<std::string, kMaxFields> titles;
    for (int k = 0; k < columnCount; ++k) {
        titles[static_cast<size_t>(k)] =
            NormalisedTitle(table.fields[static_cast<size_t>(k)].title);
    }
    bool matching = true;
    for (size_t i = 0; i < fields.size(); ++i) {
        ++match.fieldCount;
        const std::string field = NormalisedTitle(fields[i]);
        if (field.empty() || i >= static_cast<size_t>(kMapSize)) {
            matching = false;  // titles end at the first empty field
        }
        if (!matching) {
            continue;
        }
        for (int k = 0; k < columnCount; ++k) {
            if (titles[static_cast<size_t>(k)] == field) {
                match.map[i] = k;
                ++match.count;
                break;
            }
        }
        if (match.map[i] < 0) {
            match.unknown.push_back(fields[i]);
        }
    }
    return match;
}

void TableFileReader::TakeTitles(TitleMatch match) {
    matchCount_ = match.count;
    firstLineFieldCount_ = match.fieldCount;
    columnMap_ = match.map;
    unknownTitles_ = std::move(match.unknown);
}

bool TableFileReader::PlaceLine(TableFileRow& line, const TableDescriptor& table, TextGrid& grid) {
    for (std::string& value : values_) {
        value.clear();
    }
    const int fieldLimit =
        std::min({firstLineFieldCount_, kMapSize, static_cast<int>(line.fields.size())});
    for (int i = 0; i < fieldLimit; ++i) {
        const int column = columnMap_[static_cast<size_t>(i)];
        if (column >= 0) {
            values_[static_cast<size_t>(column)] = std::move(line.fields[static_cast<size_t>(i)]);
        }
    }

    const int64_t number = RecordNumberOf(values_[0]);
    // A file with titles has as many fields in every record line; a line with fewer was
    // cut short, one with more holds a separator inside a text, and neither can be placed.
    // A worksheet stores no empty cells at a row's end, so only more fields count there.
    if (matchCount_ > 0) {
        const auto fields = static_cast<int>(line.fields.size());
        if (fields > firstLineFieldCount_ || (fields < firstLineFieldCount_ && !sheetRows_)) {
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
