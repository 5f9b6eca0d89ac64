// Outcome of reading a table file (.pod, CSV, TXT or XLSX) into a grid, and the Polish message
// the user is shown for it. The .pod loader and the CSV/TXT reader share these codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/number_text.h"
#include "tables/catalogue.h"

namespace kasa {

enum LoadStatus : int32_t {
    kLoadOk = 1,
    kLoadNoSeparator = -1,         // neither ";" nor tab prevails
    kLoadRecordNumberZero = -3,    // a line whose record number is 0 or missing
    kLoadTooManyLines = -4,        // a record number above the last one shown
    kLoadSkippedOutOfRange = -5,   // lines below the first number were skipped
    kLoadEmptyFile = -6,           // the file is empty or missing
    kLoadPodBadStructure = -7,     // a .pod value whose number is 0 or not a number
    kLoadPodRowOutOfRange = -8,    // a .pod value whose number lies outside the grid
    kLoadNotText = -9,             // binary content
    kLoadNoTableSection = -10,     // a .pod without the table's section
    kLoadNoRecords = -11,          // nothing in the file reads as a record of the table
    kLoadRepeatedRecord = -12,     // two lines of a CSV/TXT file with the same record number
    kLoadIncompleteLine = -13,     // a record line with fewer or more fields than its table has
    kLoadOtherRegisterType = -14,  // a .pod table written for the other register type
    kLoadNotWorkbook = -15,        // an .xlsx file that is no workbook, or a damaged one
    // The same codes under the names the CSV/TXT reader uses.
    kLoadRecordsOutOfRange = kLoadSkippedOutOfRange,
    kLoadBadRowStructure = kLoadPodBadStructure,
    kLoadRowOutOfRange = kLoadPodRowOutOfRange,
};

// A record number as the readers take it: a whole decimal number, blanks and tabs around
// it allowed; anything else, and a number too large to hold, reads as 0.
int64_t RecordNumberOf(std::string_view text);

// Turns a table file's bytes into UTF-8 text in place: kLoadOk, kLoadEmptyFile for no
// bytes or only blanks and line ends, kLoadNotText for binary content.
int32_t DecodeTableFileText(std::string& bytes);

// The .pod loader's texts for -7 and -8: the key prefix and number of the offending key,
// and the record number found in its value.
inline std::string PodBadStructureMessage(std::string_view keyPrefix, int64_t number) {
    return "Nieprawidłowa struktura wiersza " + std::string(keyPrefix) + DecimalText(number);
}
inline std::string PodRowOutOfRangeMessage(int64_t number) {
    return "Numer wiersza poza zakresem. " + DecimalText(number);
}

// A record line cut short, or one with more fields than its table: `line` names it as the
// user finds it in the file (a .pod key, or a CSV/TXT line number).
inline std::string IncompleteLineMessage(std::string_view line) {
    return "Wiersz " + std::string(line) + " jest niepełny.";
}
inline std::string OverlongLineMessage(std::string_view line) {
    return "Wiersz " + std::string(line) + " ma za dużo pól.";
}
// A .pod table of the register type `fileType` loaded while `chosenType` is chosen; the
// types are named in capitals.
std::string OtherRegisterTypeMessage(std::string_view path, std::string_view fileType,
                                     std::string_view chosenType);
// A CSV/TXT title that names no column of the table; the other columns are still read.
inline std::string UnknownColumnMessage(std::string_view title) {
    return "Nieznana kolumna: " + std::string(title);
}

// The message shown for a status; empty for success. `firstNumber` and `lastNumber` are
// the record numbers of the grid's first and last rows; `podMessage` is the text the loader
// set for -7, -8, -13 and -14, which name the line or the file.
inline std::string LoadStatusMessage(int32_t status, int64_t firstNumber, int64_t lastNumber,
                                     std::string_view podMessage = {}) {
    switch (status) {
        case kLoadNoSeparator:
            return "Brak separatora.";
        case kLoadRecordNumberZero:
            return "Plik posiada wiersz o numerze 0\nlub brak numeru w wierszu.\n";
        case kLoadTooManyLines:
            return "Plik posiada zbyt dużo linii.\nKasa może mieć tylko " +
                   DecimalText(lastNumber) + " linii.\n";
        case kLoadSkippedOutOfRange:
            return "Istnieją rekordy o numerze z poza zakresu\n<" + DecimalText(firstNumber) + "," +
                   DecimalText(lastNumber) + ">. Zostały pominięte.";
        case kLoadEmptyFile:
            return "Podany plik jest pusty lub nieistnieje";
        case kLoadNotText:
            return "Plik nie jest plikiem tekstowym: zawiera dane binarne.";
        case kLoadNotWorkbook:
            return "Plik nie jest poprawnym skoroszytem Excel (.xlsx).";
        case kLoadPodBadStructure:
        case kLoadPodRowOutOfRange:
        case kLoadIncompleteLine:
        case kLoadOtherRegisterType:
            return std::string(podMessage);
        default:
            return {};
    }
}

// A load that failed before it read any record: the table keeps what it held.
inline bool LoadFailedWhole(int32_t status) {
    return status == kLoadNoSeparator || status == kLoadEmptyFile || status == kLoadNotText ||
           status == kLoadNoTableSection || status == kLoadNoRecords ||
           status == kLoadRepeatedRecord || status == kLoadIncompleteLine ||
           status == kLoadOtherRegisterType || status == kLoadNotWorkbook;
}

// The same message with the range taken from the table's grid (goods start at minPLU).
// For -7 and -8 it is the message's fixed beginning, which the .pod loader completes.
std::string LoadStatusMessage(int status, const TableDescriptor& table, int minPlu);

}  // namespace kasa
