// Tables exchanged with spreadsheets and other programs: CSV (";") and text (tab) files of
// one title line and one line per record, and the reader that takes such files back,
// tolerant of their separator, column order, line ends and encoding.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/atomic_file.h"
#include "tables/catalogue.h"
#include "tables/load_status.h"
#include "tables/table_file_kind.h"
#include "tables/text_grid.h"

namespace kasa {

inline constexpr char kCsvSeparator = ';';
inline constexpr char kTxtSeparator = '\t';

// The separator a file's extension stands for: ";" for ".csv", tab for ".txt" (compared
// without regard to case), 0 for any other.
inline char TextFileSeparatorForPath(std::string_view path) {
    return TableFileSeparator(TableFileKindOfPath(path));
}

// The file's bytes: the title row and every non-empty record, cells as they stand, joined
// by `separator`, CR LF after each line, in Windows-1250. A cell holding the separator, a
// quote or a line end is put in quotes, its quotes doubled, as spreadsheets write it.
std::string TableTextFileBytes(const TextGrid& grid, const TableDescriptor& table, char separator);
WriteResult SaveTableTextFile(const std::string& path, const TextGrid& grid,
                              const TableDescriptor& table, char separator);

// Read's answer for a file holding a section line ("[NAME]" on a line of its own): nothing
// was read from it, and the caller loads it with the .pod loader.
inline constexpr int kLoadIsPodFile = 2;

// True when some line of the text starts, after blanks, with "[" and has a "]" after it.
bool HoldsPodSectionLine(std::string_view text);

// One line of a table file split into its fields: a CSV/TXT line without its quotes, or a
// worksheet row.
struct TableFileRow {
    int line = 0;  // where the user finds it: the file's line, or the sheet's row number
    std::vector<std::string> fields;
};

// The lines of a CSV/TXT text up to its first empty line. A field that starts with a quote
// and whose closing quote ends it is quoted: the quotes go, a doubled quote inside stands
// for one, and separators and line ends inside belong to the field. Any other field is
// taken as written, quotes included, as files written before quoting hold them.
std::vector<TableFileRow> SplitTableText(std::string_view text, char separator);

class TableFileReader {
  public:
    static constexpr int kMapSize = kMaxFields;

    // Sets the grid up afresh for the table (every record cleared), then reads the file
    // into it. `separator` 0 detects ";" or tab. Returns kLoadOk, kLoadIsPodFile (Text()
    // then holds the file's text), or a negative LoadStatus: a missing or empty file, bytes
    // that are not text, a file without a record, a record number given twice, and a record
    // line whose fields are not as many as the title line's load nothing; records read
    // before any other failing line stay.
    int Read(const std::string& path, const TableDescriptor& table, TextGrid& grid, int minPlu,
             char separator = 0);
    // The same for file contents already in memory.
    int ReadBytes(std::string_view bytes, const TableDescriptor& table, TextGrid& grid, int minPlu,
                  char separator = 0);
    int ReadOwnedBytes(std::string bytes, const TableDescriptor& table, TextGrid& grid, int minPlu,
                       char separator = 0);
    // The same for the rows of a worksheet (the empty ones left out): the first row holds
    // the titles. A row shorter than the titles had empty cells at its end; one with a
    // value past the last title is refused as a text line with too many fields is.
    int ReadRows(std::vector<TableFileRow> rows, const TableDescriptor& table, TextGrid& grid,
                 int minPlu);

    int Status() const { return status_; }
    // The file's text in UTF-8, as the last read took it.
    const std::string& Text() const { return text_; }
    // True when the titles matched only as ISO-8859-2 and the file was read so.
    bool ReadAsIso88592() const { return readAsIso_; }
    char Separator() const { return separator_; }
    // How many fields of the first line matched a column title; 0 when read by position.
    int MatchCount() const { return matchCount_; }
    // The grid column each field of a line goes to, or -1.
    const std::array<int, kMapSize>& ColumnMap() const { return columnMap_; }
    int FirstNumber() const { return firstNumber_; }
    int LastNumber() const { return lastNumber_; }
    // For kLoadRepeatedRecord: the file's line (the first is 1) that repeats a number.
    int RepeatedLine() const { return repeatedLine_; }
    int64_t RepeatedNumber() const { return repeatedNumber_; }
    // For kLoadIncompleteLine: the message naming the line.
    const std::string& LineMessage() const { return lineMessage_; }
    // The titles of the title line, as written, that name no column of the table; their
    // fields are not read. Empty when the first line held no title at all.
    const std::vector<std::string>& UnknownTitles() const { return unknownTitles_; }

  private:
    struct TitleMatch {
        int count = 0;
        int fieldCount = 0;
        std::array<int, kMapSize> map{};
        std::vector<std::string> unknown;
    };

    void Reset(const TableDescriptor& table, TextGrid& grid, int minPlu, char separator);
    // `isoBytes`: the file's bytes when they were taken as Windows-1250, to be tried as
    // ISO-8859-2 when the titles do not match.
    int ReadText(const TableDescriptor& table, TextGrid& grid, int minPlu,
                 std::string_view isoBytes);
    int ReadRecords(std::vector<TableFileRow>& rows, const TableDescriptor& table, TextGrid& grid,
                    int minPlu);
    static TitleMatch MatchTitles(const std::vector<std::string>& titles,
                                  const TableDescriptor& table);
    void TakeTitles(TitleMatch match);
    // Places one data line; returns false when reading has to stop.
    bool PlaceLine(TableFileRow& line, const TableDescriptor& table, TextGrid& grid);

    int status_ = kLoadOk;
    std::string text_;
    char separator_ = 0;
    int matchCount_ = 0;
    int firstLineFieldCount_ = 0;
    std::array<int, kMapSize> columnMap_{};
    int firstNumber_ = 1;
    int lastNumber_ = 0;
    std::array<std::string, kMapSize> values_;
    std::vector<bool> seen_;  // record numbers placed so far
    int lineNumber_ = 0;
    int placed_ = 0;
    int repeatedLine_ = 0;
    int64_t repeatedNumber_ = 0;
    std::string lineMessage_;
    std::vector<std::string> unknownTitles_;
    bool readAsIso_ = false;
    bool sheetRows_ = false;  // rows of a worksheet, whose empty end cells are not stored
};

}  // namespace kasa
