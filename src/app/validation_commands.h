// The validation that stands before every write to the register: which validators a
// command runs, the listing window's mode, heading and captions for its outcome, and the
// limit of faults. The window, the command line and the tests run the same passes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"
#include "tables/table_validation.h"

namespace kasa {

// The commands that validate, each with the listing window's mode it shows.
enum class ValidationCommand {
    kWriteGoods,          // mode 1
    kWriteGoodsRange,     // mode 2
    kWriteRecord,         // mode 3: "Modyfikuj" of one record
    kWritePackaging,      // mode 4
    kWriteCashiers,       // mode 6
    kWriteKeys,           // mode 8
    kWriteDiscounts,      // mode 10: discounts, then surcharges
    kWritePaymentForms,   // mode 11
    kProgramHeader,       // mode 13
    kWriteVat,            // mode 14
    kVerifyEan13,         // mode 15
    kCheckNames,          // the goods names' uniqueness, in the plain listing
    kCheckEanUniqueness,  // the goods bar codes' uniqueness, in the plain listing
    kWeryfikacja,         // mode 0: every table, nothing written
};

struct ValidationOutcome {
    int mode = 0;
    std::string heading;                  // the listing window's heading for the mode
    std::array<std::string, 4> captions;  // empty when the pass leaves them as they are
    std::vector<FaultLine> lines;
    // What needs a look but is no fault: goods codes that look shortened by a spreadsheet.
    // Listed with the faults; before a write the user is asked whether to send them.
    std::vector<FaultLine> warnings;
    int32_t errorCount = 0;
    int32_t errorSeverity = 0;
    bool limitReached = false;
    // ErrorMax was out of 1..5000 and became 200: the caller saves the settings.
    bool errorMaxCorrected = false;

    // No fault: the write may start.
    bool Passed() const { return errorSeverity == 0; }
};

// The listing window's captions after a check that writes nothing (the EAN-13
// verification, the uniqueness checks): they tell what it found, never of a write refused.
std::array<std::string, 4> CheckCaptions(const ValidationOutcome& outcome);
// One line on what a check found; at the limit of faults it says the check stopped there.
std::string CheckSummary(const ValidationOutcome& outcome);

// Runs the command's validators over `tables` (the active model's, goods from `minPlu`).
// `recordRow` is the grid row of the record for kWriteRecord (with `recordTable`), and the
// first and last rows for kWriteGoodsRange. The catalogue validator's password
// normalisation ("FFFF" or "-1" becomes "nakt") is the only change made to `tables`.
ValidationOutcome RunValidation(ValidationCommand command, const RegisterModel& model,
                                TableSet& tables, int minPlu, Settings& settings,
                                TableKind recordTable = TableKind::kGoods, int firstRow = 0,
                                int lastRow = 0);

// The question asked before a write that passed with warnings, and the listing window's
// captions while its warnings are shown.
std::string WarningsQuestion(const ValidationOutcome& outcome);
std::array<std::string, 4> WarningsCaptions();

// The command that guards writing a whole grid table.
ValidationCommand WriteCommandOf(TableKind kind);

}  // namespace kasa
