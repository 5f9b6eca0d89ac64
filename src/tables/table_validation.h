// Validation of the tables before they go to the register: the state of one pass, the
// write validator with its rules per column, and the validator that follows each
// column's format in the catalogue. Every fault becomes one line of text with the place
// it points at; the pass stops taking up new cells at its limit.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tables/catalogue.h"
#include "tables/pod_file.h"
#include "tables/text_grid.h"

namespace kasa {

// Where a fault line points: the table (by table name) and the grid cell, or for the
// header lines and VAT rates the field's index in the descriptor (from 0) as row with
// col -1; row -1 when the line names no place (the limit line, the end lines of the
// duplicate checks).
struct FaultPlace {
    std::string tableName;
    int col = -1;
    int row = -1;

    bool operator==(const FaultPlace&) const = default;
};

struct FaultLine {
    std::string text;
    FaultPlace place;
};

// What one column's field holds on the wire: integer digits of a number and characters
// of a text, 0 where the wire sets no tighter bound than the rules; the decimals the
// register keeps of a number, -1 where the wire sets no tighter bound.
struct WireColumnLimit {
    TableKind table;
    std::string_view key;
    int integerDigits = 0;
    int characters = 0;
    int decimals = -1;
};

// The state shared by the validators of one pass.
class ValidationPass {
  public:
    explicit ValidationPass(int32_t errorMax, std::span<const WireColumnLimit> wireLimits = {})
        : ErrorMax(errorMax), wireLimits_(wireLimits) {}

    int32_t ErrorCount = 0;
    int32_t ErrorSeverity = 0;
    int32_t ErrorMax = 200;
    bool cellReported = false;
    std::vector<FaultLine> lines;

    bool LimitReached() const { return ErrorCount >= ErrorMax; }
    // A fault: counted, and the current cell yields no further line.
    void Report(std::string text, FaultPlace place);
    // "Przekroczona maksymalna ilość błędów. Ilość błędów >" and the limit.
    void AddLimitLine();
    // The wire's bound of a column, or null when it has none.
    const WireColumnLimit* WireLimit(TableKind table, std::string_view key) const;

  private:
    std::span<const WireColumnLimit> wireLimits_;
};

// The rows a whole-table pass takes up: 1 .. RecordCount, but not past the grid's end.
int LastValidatedRow(const TableDescriptor& table, const TextGrid& grid);

// The write validator over rows `firstRow` .. `lastRow` of a grid table of `model`.
// Rules are found by the column's key, so a model without the column skips its rule.
void ValidateForWrite(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                      const TextGrid& grid, int firstRow, int lastRow);

// The catalogue validator. For the header lines and VAT rates the values of the edit
// controls are validated; for a grid table rows `firstRow` .. `lastRow`, records without
// a name left out. A password holding "FFFF" or "-1" becomes "nakt" in `tables`.
void ValidateByCatalogue(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                         TableSet& tables, int firstRow, int lastRow);
// The same over the whole table.
void ValidateByCatalogue(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                         TableSet& tables);

// The EAN-13 check digit of the first twelve characters of `code` ('0' when shorter).
char Ean13CheckDigit(std::string_view code);
// Lines for every goods code that is not a valid EAN-13; they raise ErrorSeverity only.
void VerifyEan13(ValidationPass& pass, const TextGrid& goods);

// The zero-padded EAN-13 a goods code stands for when a spreadsheet took it for a number
// and dropped its leading zeros: digits only, fewer than 13, not starting with a zero, and
// a valid EAN-13 once padded.
// A valid EAN-8 is a code of its own and stands for nothing else. Empty when none.
std::string ShortenedEan13Of(std::string_view code);
// A warning line for every such code in goods rows `firstRow` .. `lastRow`; warnings stop
// no write, but the user is asked before the codes are sent.
std::vector<FaultLine> ShortenedEan13Warnings(const TextGrid& goods, int firstRow, int lastRow);

}  // namespace kasa
