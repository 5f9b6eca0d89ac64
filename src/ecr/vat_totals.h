// VAT rates, day totals and counters: reading, programming and the texts the window and
// the command line show for them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
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
// Told of new rates about to be sent: the register's rates (null when they could not be
// read) and the rates as they go out. A non-empty result is why they must not be sent.
using VatBeforeSend = std::function<std::string(const VatRates* current, const VatRates& sent)>;
// Writes the rates (nothing is sent when the register already has them). The request
// waits `timeoutMs`, or 20000 ms when 0 is given. Succeeds only when the register
// accepted the rates; a refusal of `beforeSend` fails it before anything is sent.
bool WriteVatRates(ECRClass& ecr, int32_t timeoutMs, const VatRates& rates,
                   const VatBeforeSend& beforeSend = {});
bool ReadTotals(ECRClass& ecr, TotalsRecord& totals);
// 1 when all seven totals are zero, 0 when one is not, -1 when they cannot be read.
int TotalsAreZero(ECRClass& ecr);

// "nakt", "zw." or the whole percent with a percent sign.
std::string VatRateText(double rate);
// An amount with two decimals and the currency: "12.50 zł".
std::string TotalText(double total);
// A typed rate: containing "NAKT" (any case) -1, else containing "ZW" -2, else its value.
double VatRateFromInput(const std::string& text);
// The highest rate the register's four digits of hundredths can hold.
inline constexpr double kVatHighestRate = 99.99;
// The seven typed rates A..G laid over `current` (the rates the register holds): an empty
// text keeps the current rate; "NAKT" or "ZW" (any case, a trailing dot allowed) give the
// markers; else the whole text must be a number from 0 to 99.99, an optional percent sign
// after it. On the first text that is none of these, false and a Polish message naming
// its rate letter; `rates` is then unchanged.
bool VatRatesFromInputs(const std::array<std::string, 7>& texts, const VatRates& current,
                        VatRates& rates, std::string& message);

// The rates a backup of everything stores: each typed rate ("Nowa stawka"), and where none
// is typed, the register's rate shown beside it ("W kasie"): "23%" is stored as 23, "zw."
// and "nakt" as they are. A rate neither typed nor read stays empty.
std::array<std::string, 7> VatRatesToStore(const std::array<std::string, 7>& typed,
                                           const std::array<std::string, 7>& shown);

struct TotalsTexts {
    std::array<std::string, 7> totals;  // Tot_A .. Tot_G
    std::string receiptNumber;          // NumerParagonu
    std::string databaseChanges;        // ZmianyBazy
    std::string cancelledReceipts;      // AnulowaneParagony
    std::string cancelledAmount;        // KwotaAnulowanych
};
TotalsTexts TotalsTextsOf(const TotalsRecord& totals);

// The window's operations, with their messages under `caption`.
// One read for the window: it needs an identified register on a configured port; a failed
// read is told when `interactive`, and `close` ends the session afterwards either way.
bool ShowRead(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
              bool interactive, const char* failure, const std::function<bool()>& read);
// The same for a read that fills a value, which `show` takes once the read succeeded.
template <class Value, class Show>
bool ShowRead(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
              bool interactive, const char* failure, bool (*read)(ECRClass&, Value&),
              const Show& show) {
    return ShowRead(ecr, ui, caption, close, interactive, failure, [&] {
        Value value{};
        if (!read(ecr, value)) {
            return false;
        }
        show(value);
        return true;
    });
}
// Whether a programming request is refused before anything is sent: while a transfer
// runs, or, with the fiscal check on, on a register that is not a VESPER (`fiscalRefusal`).
bool ProgrammingRefused(const ECRClass& ecr, UserInterface& ui, const std::string& caption,
                        bool busy, bool fiscalChecked, const char* fiscalRefusal);
bool ShowTotals(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                bool interactive, TotalsTexts& texts);
bool ShowVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                  bool interactive, std::array<std::string, 7>& texts);
// "StawkiVAT_zapis_kasa": the edits' texts are programmed into the register; the write
// waits `timeoutMs` for its answer, 20000 ms when 0. `beforeSend` as for WriteVatRates.
bool ProgramVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                     bool fiscalChecked, const std::array<std::string, 7>& edits,
                     int32_t timeoutMs = 0, const VatBeforeSend& beforeSend = {});

inline constexpr const char* kVatReadFailedMessage =
    "Nie można odczytać stawek VAT z kasy.\nUruchom w kasie komunikację, lub ustaw w "
    "oknie\nKonfiguracja Programu parametry transmisji.";
inline constexpr const char* kBusyMessage =
    "Uruchomiony jest proces zapisu/odczytu.\nPoczekaj na jego zakończenie i wciśnij\nprzycisk "
    "ponownie.";

}  // namespace kasa
