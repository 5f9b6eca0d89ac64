// VAT rates, day totals and counters: reading, programming and the texts the window and
// the command line show for them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "comm/ecrclass.h"
#include "ecr/records.h"

namespace kasa {

class UserInterface;

using VatRates = std::array<double, 7>;  // percent; -1 inactive, -2 exempt
inline constexpr double kVatInactive = -1;
inline constexpr double kVatExempt = -2;
inline constexpr int32_t kVatWriteTimeoutMs = 20000;

bool ReadVatRates(ECRClass& ecr, VatRates& rates);
// Writes the rates (nothing is sent when the register already has them). The request
// waits `timeoutMs`, or 20000 ms when 0 is given. Succeeds only when the register
// accepted the rates.
bool WriteVatRates(ECRClass& ecr, int32_t timeoutMs, const VatRates& rates);
bool ReadTotals(ECRClass& ecr, TotalsRecord& totals);
// 1 when all seven totals are zero, 0 when one is not, -1 when they cannot be read.
int TotalsAreZero(ECRClass& ecr);

// "nakt", "zw." or the whole percent with a percent sign.
std::string VatRateText(double rate);
// An amount with two decimals and the currency: "12.50 zł".
std::string TotalText(double total);
// A typed rate: containing "NAKT" (any case) -1, else containing "ZW" -2, else its value.
double VatRateFromInput(const std::string& text);

struct TotalsTexts {
    std::array<std::string, 7> totals;  // Tot_A .. Tot_G
    std::string receiptNumber;          // NumerParagonu
    std::string databaseChanges;        // ZmianyBazy
    std::string cancelledReceipts;      // AnulowaneParagony
    std::string cancelledAmount;        // KwotaAnulowanych
};
TotalsTexts TotalsTextsOf(const TotalsRecord& totals);

// The window's operations, with their messages under `caption`.
bool ShowTotals(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                bool interactive, TotalsTexts& texts);
bool ShowVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                  bool interactive, std::array<std::string, 7>& texts);
// "StawkiVAT_zapis_kasa": the edits' texts are programmed into the register.
bool ProgramVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                     bool fiscalChecked, const std::array<std::string, 7>& edits);

inline constexpr const char* kBusyMessage =
    "Uruchomiony jest proces zapisu/odczytu.\nPoczekaj na jego zakończenie i wciśnij\nprzycisk "
    "ponownie.";

}  // namespace kasa
