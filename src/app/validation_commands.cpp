#include "app/validation_commands.h"

#include "base/number_text.h"
#include "ecr/wire_limits.h"
#include "tables/duplicate_checks.h"

namespace kasa {

namespace {

// Which validator a command runs over its whole tables.
enum class Validator { kWrite, kCatalogue, kOwn };

struct CommandInfo {
    ValidationCommand command;
    int mode;
    std::string_view heading;
    Validator validator = Validator::kOwn;
    std::array<TableKind, 2> tables{};
    size_t tableCount = 0;
};

constexpr CommandInfo kCommands[] = {
    {ValidationCommand::kWriteGoods, 1, "WERYFIKACJA BAZY [PLU] PRZED ZAPISEM DO KASY"},
    {ValidationCommand::kWriteGoodsRange, 2, "WERYFIKACJA ZAKRESU [PLU] PRZED ZAPISEM DO KASY"},
    {ValidationCommand::kWriteRecord, 3, "WERYFIKACJA POPRAWNOŚCI REKORDU PRZED ZAPISEM DO KASY"},
    {ValidationCommand::kWritePackaging,
     4,
     "WERYFIKACJA BAZY [OPAKOWANIA] ZAPISEM DO KASY",
     Validator::kWrite,
     {TableKind::kPackaging},
     1},
    {ValidationCommand::kWriteCashiers,
     6,
     "WERYFIKACJA BAZY [KASJERZY]PRZED ZAPISEM DO KASY",
     Validator::kCatalogue,
     {TableKind::kCashiers},
     1},
    {ValidationCommand::kWriteKeys,
     8,
     "WERYFIKACJA BAZY [KLAWISZE] PRZED ZAPISEM DO KASY",
     Validator::kWrite,
     {TableKind::kKeys},
     1},
    {ValidationCommand::kWriteDiscounts,
     10,
     "WERYFIKACJA BAZY [RABATY] PRZED ZAPISEM DO KASY",
     Validator::kWrite,
     {TableKind::kDiscounts, TableKind::kSurcharges},
     2},
    {ValidationCommand::kWritePaymentForms,
     11,
     "WERYFIKACJA BAZY PRZED ZAPISEM DO KASY",
     Validator::kWrite,
     {TableKind::kPaymentForms},
     1},
    {ValidationCommand::kProgramHeader,
     13,
     "WERYFIKACJA NAGŁÓWKA PRZED ZAPISEM DO KASY",
     Validator::kCatalogue,
     {TableKind::kHeader},
     1},
    {ValidationCommand::kWriteVat,
     14,
     "WERYFIKACJA STAWEK VAT PRZED ZAPISEM DO KASY",
     Validator::kCatalogue,
     {TableKind::kVat},
     1},
    {ValidationCommand::kVerifyEan13, 15, "WERYFIKACJA SUMY EAN13"},
    {ValidationCommand::kCheckNames, 0, ""},
    {ValidationCommand::kCheckEanUniqueness, 0, ""},
    {ValidationCommand::kWeryfikacja, 0, ""},
};

const CommandInfo& InfoOf(ValidationCommand command) {
    for (const CommandInfo& info : kCommands) {
        if (info.command == command) {
            return info;
        }
    }
    return kCommands[std::size(kCommands) - 1];
}

// The catalogue validator's order under "Weryfikacja".
constexpr TableKind kCatalogueOrder[] = {
    TableKind::kHeader,     TableKind::kVat,          TableKind::kPackaging,
    TableKind::kKeys,       TableKind::kCashiers,     TableKind::kDiscounts,
    TableKind::kSurcharges, TableKind::kPaymentForms, TableKind::kGoods,
};

void WriteWhole(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                const TableSet& tables) {
    const TextGrid& grid = tables.Grid(kind);
    ValidateForWrite(pass, model, kind, grid, 1, LastValidatedRow(model.Table(kind), grid));
}

void CheckDuplicates(ValidationPass& pass, const TableSet& tables) {
    CheckEanUniqueness(pass, tables.Grid(TableKind::kGoods));
    CheckNameUniqueness(pass, tables.Grid(TableKind::kGoods));
}

bool HoldsLimitLine(const ValidationPass& pass) {
    ValidationPass probe(pass.ErrorMax);
    probe.AddLimitLine();
    for (const FaultLine& line : pass.lines) {
        if (line.text == probe.lines.back().text) {
            return true;
        }
    }
    return false;
}

std::array<std::string, 4> Captions(int32_t severity, bool singleRecord) {
    const bool one = severity == 1;
    return {
        one ? "Wykryty błąd:" : "Wykryte błędy:",
        singleRecord
            ? (one ? "Wykryto błąd w wybranym wierszu." : "Wykryto błędy w wybranym wierszu.")
            : (one ? "Wykryto błąd w wybranej bazie." : "Wykryto błędy w wybranej bazie."),
        singleRecord ? "Zapis błędnego rekordu do kasy jest niemożliwy."
                     : "Zapis błędnej bazy do kasy jest niemożliwy.",
        one ? "Popraw błąd i spróbuj ponownie, bądź anuluj zapis."
            : "Popraw błędy i spróbuj ponownie, bądź anuluj zapis.",
    };
}

}  // namespace

std::string CheckSummary(const ValidationOutcome& outcome) {
    if (outcome.Passed() && !outcome.warnings.empty()) {
        return "Sprawdzanie zakończone: nie wykryto błędów; kody do sprawdzenia (" +
               DecimalText(static_cast<int64_t>(outcome.warnings.size())) + ").";
    }
    if (outcome.Passed()) {
        return "Sprawdzanie zakończone: nie wykryto błędów.";
    }
    const std::string count = DecimalText(outcome.errorSeverity);
    if (outcome.limitReached) {
        return "Sprawdzanie przerwane: osiągnięto limit błędów (" + count +
               "), błędów może być więcej.";
    }
    return "Sprawdzanie zakończone: wykryto błędy (" + count + ").";
}

std::array<std::string, 4> CheckCaptions(const ValidationOutcome& outcome) {
    if (outcome.Passed()) {
        return {"", "Nie wykryto błędów.", "", ""};
    }
    const bool one = outcome.errorSeverity == 1;
    return {one ? "Wykryty błąd:" : "Wykryte błędy:", CheckSummary(outcome), "", ""};
}

std::string WarningsQuestion(const ValidationOutcome& outcome) {
    return (outcome.warnings.size() == 1
                ? std::string("Kod kreskowy wygląda na kod EAN-13 skrócony przez arkusz "
                              "kalkulacyjny:\n")
                : std::string("Kody kreskowe wyglądają na kody EAN-13 skrócone przez arkusz "
                              "kalkulacyjny:\n")) +
           outcome.warnings.front().text +
           (outcome.warnings.size() > 1
                ? "\n(i " + DecimalText(static_cast<int64_t>(outcome.warnings.size() - 1)) +
                      " więcej)"
                : std::string()) +
           "\nZapisać kody do kasy bez zmian?";
}

std::array<std::string, 4> WarningsCaptions() {
    return {"Ostrzeżenie:", "Kody kreskowe do sprawdzenia.",
            "Arkusz kalkulacyjny mógł usunąć zera wiodące kodów.",
            "Popraw kody i spróbuj ponownie, bądź zapisz je bez zmian."};
}

ValidationCommand WriteCommandOf(TableKind kind) {
    switch (kind) {
        case TableKind::kHeader:
            return ValidationCommand::kProgramHeader;
        case TableKind::kVat:
            return ValidationCommand::kWriteVat;
        case TableKind::kPackaging:
            return ValidationCommand::kWritePackaging;
        case TableKind::kKeys:
            return ValidationCommand::kWriteKeys;
        case TableKind::kCashiers:
            return ValidationCommand::kWriteCashiers;
        case TableKind::kDiscounts:
        case TableKind::kSurcharges:
            return ValidationCommand::kWriteDiscounts;
        case TableKind::kPaymentForms:
            return ValidationCommand::kWritePaymentForms;
        case TableKind::kGoods:
            return ValidationCommand::kWriteGoods;
    }
    return ValidationCommand::kWeryfikacja;
}

ValidationOutcome RunValidation(ValidationCommand command, const RegisterModel& model,
                                TableSet& tables, int /*minPlu: the grids already start there*/,
                                Settings& settings, TableKind recordTable, int firstRow,
                                int lastRow) {
    ValidationOutcome outcome;
    const CommandInfo& info = InfoOf(command);
    outcome.mode = info.mode;
    outcome.heading = std::string(info.heading);
    outcome.errorMaxCorrected = CorrectErrorMax(settings);
    ValidationPass pass(settings.ErrorMax, WireLimits(LayoutOfModel(model)));

    const TextGrid& goods = tables.Grid(TableKind::kGoods);
    const int lastGoodsRow = LastValidatedRow(model.Table(TableKind::kGoods), goods);
    switch (command) {
        case ValidationCommand::kWriteGoods:
            WriteWhole(pass, model, TableKind::kGoods, tables);
            CheckDuplicates(pass, tables);
            outcome.warnings = ShortenedEan13Warnings(goods, 1, lastGoodsRow);
            break;
        case ValidationCommand::kWriteGoodsRange:
            ValidateForWrite(pass, model, TableKind::kGoods, tables.Grid(TableKind::kGoods),
                             firstRow, lastRow);
            CheckDuplicates(pass, tables);
            outcome.warnings = ShortenedEan13Warnings(goods, firstRow, lastRow);
            break;
        case ValidationCommand::kWriteRecord:
            if (recordTable == TableKind::kGoods) {
                outcome.warnings = ShortenedEan13Warnings(goods, firstRow, firstRow);
            }
            if (recordTable == TableKind::kCashiers) {
                ValidateByCatalogue(pass, model, recordTable, tables, firstRow, firstRow);
            } else {
                ValidateForWrite(pass, model, recordTable, tables.Grid(recordTable), firstRow,
                                 firstRow);
            }
            break;
        case ValidationCommand::kVerifyEan13:
            VerifyEan13(pass, tables.Grid(TableKind::kGoods));
            break;
        case ValidationCommand::kCheckNames:
            CheckNameUniqueness(pass, tables.Grid(TableKind::kGoods));
            break;
        case ValidationCommand::kCheckEanUniqueness:
            CheckEanUniqueness(pass, tables.Grid(TableKind::kGoods));
            break;
        case ValidationCommand::kWeryfikacja:
            for (const TableKind kind : kCatalogueOrder) {
                ValidateByCatalogue(pass, model, kind, tables);
            }
            CheckDuplicates(pass, tables);
            outcome.warnings = ShortenedEan13Warnings(goods, 1, lastGoodsRow);
            break;
        default:
            for (size_t i = 0; i < info.tableCount; ++i) {
                if (info.validator == Validator::kWrite) {
                    WriteWhole(pass, model, info.tables[i], tables);
                } else {
                    ValidateByCatalogue(pass, model, info.tables[i], tables);
                }
            }
            break;
    }

    // The EAN-13 verification counts no faults, so it never meets the limit. The EAN
    // uniqueness check may have told of the limit already: it is told once.
    if (command != ValidationCommand::kVerifyEan13 && pass.LimitReached()) {
        outcome.limitReached = true;
        if (!HoldsLimitLine(pass)) {
            pass.AddLimitLine();
        }
    }
    const bool writes = info.mode != 0 && command != ValidationCommand::kVerifyEan13;
    if (writes && pass.ErrorSeverity > 0) {
        outcome.captions = Captions(pass.ErrorSeverity, command == ValidationCommand::kWriteRecord);
    }
    outcome.lines = std::move(pass.lines);
    outcome.errorCount = pass.ErrorCount;
    outcome.errorSeverity = pass.ErrorSeverity;
    return outcome;
}

}  // namespace kasa
