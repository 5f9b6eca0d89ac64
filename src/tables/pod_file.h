// The program's own table files (.pod): every table of a register in a section of a
// section/key/value file, one key per record, the record's cells joined by ";". Several
// tables share one file, and saving one table keeps the file's other sections.
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "base/atomic_file.h"
#include "base/key_value_file.h"
#include "base/user_interface.h"
#include "tables/catalogue.h"
#include "tables/load_status.h"
#include "tables/text_grid.h"

namespace kasa {

// One line of the receipt header with its three check boxes.
struct HeaderLine {
    std::string text;
    bool centre = false;        // CLine
    bool doubleHeight = false;  // BLine
    bool bold = false;          // DLine

    bool operator==(const HeaderLine&) const = default;
};

// The header lines Line1..Line8; a register type uses as many as its header table has
// fields.
inline constexpr int kHeaderLineCount = 8;
using HeaderLines = std::array<HeaderLine, kHeaderLineCount>;

// The texts of the VAT rate edits E_VatA..E_VatG as typed ("23", "nakt", "zw", ...).
inline constexpr int kVatRateCount = 7;
using VatRateTexts = std::array<std::string, kVatRateCount>;

// Every table of one register type in memory: a grid per grid table, the header lines and
// the VAT rates.
struct TableSet {
    std::array<TextGrid, kTableKindCount> grids;  // header and VAT unused
    HeaderLines header;
    VatRateTexts vatRates;
    // Grid rows a .pod gave as empty records (a number and nothing else): a write empties
    // them in the register. A backup keeps so the records that were empty before a write.
    std::array<std::set<int>, kTableKindCount> givenEmpty;

    TextGrid& Grid(TableKind kind) { return grids[static_cast<size_t>(kind)]; }
    const TextGrid& Grid(TableKind kind) const { return grids[static_cast<size_t>(kind)]; }

    // A grid table has something to write: a record, or a record given as empty.
    bool HoldsRecordsToWrite(TableKind kind) const;
    // A VAT rate is given; a header line is given.
    bool HoldsVatRates() const;
    bool HoldsHeader() const;
};

// Outcome of loading one table: kLoadOk, or -7 / -8 with the message the user is shown.
struct PodLoadResult {
    int32_t status = kLoadOk;
    std::string message;

    bool ok() const { return status >= 0; }
};

// The key of a record: the table's key prefix and the record number.
std::string PodKey(const TableDescriptor& table, int64_t number);
// Value of a grid row: the cells of columns 0 .. field count - 1 joined by the separator.
std::string PodGridRowValue(const TableDescriptor& table, const TextGrid& grid, int row);
// Value of header line n: n, then the centring, double-height and bold flags as "1"/"0",
// then the text.
std::string PodHeaderValue(const TableDescriptor& header, int number, const HeaderLine& line);
// Value of VAT rate n (1..7): the letter, the rate text and "AKTYWNA"; a rate text holding
// "NAKT" or "NIEAK" gives an empty text and "NIEAKTYWNA", one holding "ZW" an empty text
// and "ZWOLNIONA".
std::string PodVatValue(const TableDescriptor& vat, int number, std::string_view rateText);

// Saving into an open file. The goods table starts at `minPlu`; records below it and
// emptied records lose their keys.
void SaveGridTable(KeyValueFile& file, const TableDescriptor& table, const TextGrid& grid,
                   int minPlu);
void SaveHeader(KeyValueFile& file, const TableDescriptor& header, const HeaderLines& lines);
void SaveVatRates(KeyValueFile& file, const TableDescriptor& vat, const VatRateTexts& rates);

// Loading from an open file. The grid is set up for the table, cleared, filled with the
// records found and set up again; only the columns that have an edit control are read.
// A record line with fewer or more fields than the table is refused before anything
// changes; a record with a bad number stops the load, and the records read before it stay.
PodLoadResult LoadGridTable(const KeyValueFile& file, const TableDescriptor& table, TextGrid& grid,
                            int minPlu);
// Lines and rates without a key keep what they held. A value cut short is refused before
// anything changes.
PodLoadResult LoadHeader(const KeyValueFile& file, const TableDescriptor& header,
                         HeaderLines& lines);
PodLoadResult LoadVatRates(const KeyValueFile& file, const TableDescriptor& vat,
                           VatRateTexts& rates);

// One table of `model` saved into the file at `path`, keeping the file's other sections.
// The save is atomic: on failure the old file stays whole and the result carries the
// Polish reason. Loading a file goes through LoadTableFile (table_files.h).
WriteResult SaveTableToPodFile(const std::string& path, const RegisterModel& model, TableKind kind,
                               const TableSet& tables, int minPlu);
// One table of `model` saved into an open file, keeping its other sections.
void SaveTableToPod(KeyValueFile& file, const RegisterModel& model, TableKind kind,
                    const TableSet& tables, int minPlu);
// One table of `model` loaded from an open file. A table written for the other register
// type is refused, naming `fileName` (the file's own name when empty), and nothing
// changes.
PodLoadResult LoadTableFromPod(const KeyValueFile& file, const RegisterModel& model, TableKind kind,
                               TableSet& tables, int minPlu, std::string_view fileName = {});
// Checks one table of an open file before it is loaded: kLoadOtherRegisterType when it was
// written for the other register type, kLoadIncompleteLine for the first record line that
// has fewer fields than the table (or more: only the header text and the VAT rate may hold
// separators). Records the loader skips are not looked at.
PodLoadResult CheckPodTable(const KeyValueFile& file, const RegisterModel& model, TableKind kind,
                            int minPlu, std::string_view fileName = {});

// The tables in the order of "Zachowaj wszystko do pliku" and "Ładuj wszystko z pliku".
inline constexpr std::array<TableKind, kTableKindCount> kPodAllOrder = {
    TableKind::kPackaging,  TableKind::kGoods,        TableKind::kCashiers,
    TableKind::kKeys,       TableKind::kPaymentForms, TableKind::kDiscounts,
    TableKind::kSurcharges, TableKind::kHeader,       TableKind::kVat,
};

// Every table in one file. The progress bar advances by one eighth after each of the
// first eight tables. A failed save is shown to the user under `title` and returned.
WriteResult SaveAllToPodFile(const std::string& path, const RegisterModel& model,
                             const TableSet& tables, int minPlu, UserInterface& ui,
                             const std::string& title);
// Each table's failure is shown under `title` and the remaining tables are still loaded;
// returns the first failure, or success. A missing, empty or binary file, one without any
// table's section, one with a table of the other register type and one with a record line
// cut short are shown and returned, and no table changes.
PodLoadResult LoadAllFromPodFile(const std::string& path, const RegisterModel& model,
                                 TableSet& tables, int minPlu, UserInterface& ui,
                                 const std::string& title);

}  // namespace kasa
