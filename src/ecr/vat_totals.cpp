#include "ecr/vat_totals.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/user_interface.h"
#include "ecr/database_commands.h"
#include "ecr/record_codec.h"

namespace kasa {

namespace {

bool Between(double v, double low, double high) {
    return v >= low && v <= high;
}

}  // namespace

bool ReadVatRates(ECRClass& ecr, VatRates& rates) {
    if (!ecr.ReadAnswer('O', 'o')) {
        return false;
    }
    VatRates result{};
    for (double& rate : result) {
        bool complete = true;
        const std::string text = DecodeField(ecr.answerBuffer, kFieldCount4, &complete);
        if (!complete) {
            return false;
        }
        int64_t v = 0;
        if (!text.empty() && text[0] == 'F') {
            int64_t n = 0;
            for (const char c : text) {
                n = n * 16 + (15 - HexDigitValue(c));
            }
            v = -(n + 1);
        } else {
            v = ParseInteger(text).value_or(0);
        }
        rate = v < 0 ? static_cast<double>(v) : static_cast<double>(v) * 0.01;
    }
    rates = result;
    return true;
}

bool WriteVatRates(ECRClass& ecr, int32_t timeoutMs, const VatRates& rates,
                   const VatBeforeSend& beforeSend) {
    if (!ecr.InitTransmission()) {
        return false;
    }
    VatRates current{};
    const bool haveCurrent = ReadVatRates(ecr, current);
    if (haveCurrent && current == rates) {
        return true;
    }
    if (beforeSend) {
        const std::string reason = beforeSend(haveCurrent ? &current : nullptr, rates);
        if (!reason.empty()) {
            ecr.Refuse(reason);
            return false;
        }
    }
    iBuffer& request = ecr.BeginRequest();
    request.AppendByte('Z');
    for (const double rate : rates) {
        if (Between(rate, -1.000001, -0.99999)) {
            request.AppendByte(0xFF);
            request.AppendByte(0xFF);
        } else if (Between(rate, -2.000001, -1.99999)) {
            request.AppendByte(0xFE);
            request.AppendByte(0xFF);
        } else if (EncodeField(request, kFieldHundredths4, rate) < 0) {
            return false;
        }
    }
    const int32_t saved = ecr.answerTimeout;
    ecr.answerTimeout = timeoutMs > 0 ? timeoutMs : kVatWriteTimeoutMs;
    const bool sent = ecr.Request(request);
    const int32_t verdict = ecr.statusCode;
    RegisterStatus status;
    ReadStatus(ecr, status);
    ecr.answerTimeout = saved;
    // The register's refusal (for example in fiscal mode) must not pass for success.
    ecr.statusCode = verdict;
    return sent && verdict == 0;
}

bool ReadTotals(ECRClass& ecr, TotalsRecord& totals) {
    if (!ecr.ReadAnswer('I', 'i')) {
        return false;
    }
    TotalsRecord result;
    if (!result.Decode(ecr.answerBuffer)) {
        return false;
    }
    totals = result;
    return true;
}

int TotalsAreZero(ECRClass& ecr) {
    TotalsRecord totals;
    if (!ReadTotals(ecr, totals)) {
        return -1;
    }
    for (const double t : totals.vatTotals) {
        if (t != 0) {
            return 0;
        }
    }
    return 1;
}

std::string VatRateText(double rate) {
    if (Between(rate, -1.0000001, -0.99999999)) {
        return "nakt";
    }
    if (Between(rate, -2.0000001, -1.99999999)) {
        return "zw.";
    }
    return FormatDouble("%.0lf%%", rate);
}

std::string TotalText(double total) {
    return FormatDouble("%.2lf", total) + " zł";
}

double VatRateFromInput(const std::string& text) {
    const std::string upper = Utf8ToUpper(text);
    if (upper.find("NAKT") != std::string::npos) {
        return kVatInactive;
    }
    if (upper.find("ZW") != std::string::npos) {
        return kVatExempt;
    }
    return ParseDecimal(text).value_or(0);
}

namespace {

std::string_view Trimmed(std::string_view text) {
    const size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// A rate typed as a whole number or with a decimal point or comma, nothing else around it.
std::optional<double> StrictRate(std::string_view text) {
    if (!text.empty() && text.back() == '%') {
        text = Trimmed(text.substr(0, text.size() - 1));
    }
    int points = 0;
    int digits = 0;
    for (const char c : text) {
        if (c == '.' || c == ',') {
            ++points;
        } else if (c >= '0' && c <= '9') {
            ++digits;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || points > 1) {
        return std::nullopt;
    }
    const std::optional<double> value = ParseDecimal(text);
    if (!value || *value > kVatHighestRate) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::array<std::string, 7> VatRatesToStore(const std::array<std::string, 7>& typed,
                                           const std::array<std::string, 7>& shown) {
    std::array<std::string, 7> stored;
    for (size_t i = 0; i < stored.size(); ++i) {
        if (!Trimmed(typed[i]).empty()) {
            stored[i] = typed[i];
            continue;
        }
        std::string_view rate = Trimmed(shown[i]);
        if (rate.ends_with('%')) {
            rate.remove_suffix(1);
        }
        stored[i] = std::string(rate);
    }
    return stored;
}

bool VatRatesFromInputs(const std::array<std::string, 7>& texts, const VatRates& current,
                        VatRates& rates, std::string& message) {
    VatRates result = current;
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string upper = Utf8ToUpper(std::string(Trimmed(texts[i])));
        if (upper.empty()) {
            continue;
        }
        if (upper == "NAKT" || upper == "NAKT.") {
            result[i] = kVatInactive;
        } else if (upper == "ZW" || upper == "ZW.") {
            result[i] = kVatExempt;
        } else if (const std::optional<double> rate = StrictRate(upper)) {
            result[i] = *rate;
        } else {
            message = std::string("Stawka VAT ") + static_cast<char>('A' + i) + ": \"" + texts[i] +
                      "\" nie jest stawką.\nWpisz liczbę od 0 do 99,99, \"nakt\" (stawka "
                      "nieaktywna) lub \"zw\" (zwolniona),\nalbo zostaw pole puste, by "
                      "zachować stawkę z kasy.";
            return false;
        }
    }
    rates = result;
    return true;
}

TotalsTexts TotalsTextsOf(const TotalsRecord& totals) {
    TotalsTexts texts;
    for (size_t i = 0; i < 7; ++i) {
        texts.totals[i] = TotalText(totals.vatTotals[i]);
    }
    texts.receiptNumber = DecimalText(totals.receiptNumber);
    texts.databaseChanges = DecimalText(totals.databaseChanges);
    texts.cancelledReceipts = DecimalText(totals.cancelledReceipts);
    texts.cancelledAmount = TotalText(totals.cancelledAmount);
    return texts;
}

bool ShowRead(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
              bool interactive, const char* failure, const std::function<bool()>& read) {
    const bool ok = ecr.IsIdentified() && !ecr.ConfiguredPortName().empty() && read();
    if (!ok && interactive) {
        ui.Message(caption, failure);
    }
    if (close) {
        ecr.CloseTransmission();
    }
    return ok;
}

bool ProgrammingRefused(const ECRClass& ecr, UserInterface& ui, const std::string& caption,
                        bool busy, bool fiscalChecked, const char* fiscalRefusal) {
    if (busy) {
        ui.Message(caption, kBusyMessage);
        return true;
    }
    if (fiscalChecked && ecr.modelCode != 2) {
        ui.Message(caption, fiscalRefusal);
        return true;
    }
    return false;
}

bool ShowTotals(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                bool interactive, TotalsTexts& texts) {
    return ShowRead(ecr, ui, caption, close, interactive,
                    "Nie można odczytać wartości totalizerów z kasy.\nUruchom w kasie "
                    "komunikację, lub ustaw w oknie\nKonfiguracja Programu parametry transmisji.",
                    ReadTotals, [&](const TotalsRecord& totals) { texts = TotalsTextsOf(totals); });
}

bool ShowVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                  bool interactive, std::array<std::string, 7>& texts) {
    return ShowRead(ecr, ui, caption, close, interactive, kVatReadFailedMessage, ReadVatRates,
                    [&](const VatRates& rates) {
                        for (size_t i = 0; i < 7; ++i) {
                            texts[i] = VatRateText(rates[i]);
                        }
                    });
}

bool ProgramVatRates(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                     bool fiscalChecked, const std::array<std::string, 7>& edits, int32_t timeoutMs,
                     const VatBeforeSend& beforeSend) {
    if (ProgrammingRefused(ecr, ui, caption, busy, fiscalChecked,
                           "Programowanie stawek VAT z interfejsu szeregowego\njest możliwe "
                           "tylko w trybie niefiskalnym.")) {
        return false;
    }
    // The texts are checked before anything is sent: a rate change on a fiscal register is
    // permanent, so an unreadable text must never become 0 %.
    VatRates rates{};
    std::string refusal;
    if (!VatRatesFromInputs(edits, rates, rates, refusal)) {
        ui.Message(caption, refusal);
        return false;
    }
    const bool keepsSome = std::any_of(
        edits.begin(), edits.end(), [](const std::string& text) { return Trimmed(text).empty(); });
    if (keepsSome) {
        VatRates current{};
        if (!ReadVatRates(ecr, current)) {
            ui.Message(caption, kVatReadFailedMessage);
            return false;
        }
        VatRatesFromInputs(edits, current, rates, refusal);
    }
    if (!WriteVatRates(ecr, timeoutMs, rates, beforeSend)) {
        if (!ecr.refusal.empty()) {
            ui.Message(caption, ecr.refusal);
            return false;
        }
        ui.Message(caption, ecr.WithRegisterReason(
                                "Nie można zapisać stawek VAT.\nUruchom w kasie komunikację, lub "
                                "ustaw w oknie\nKonfiguracja Programu parametry transmisji."));
        return false;
    }
    ecr.CloseTransmission();
    return true;
}

}  // namespace kasa
