#include "app/validation_commands.h"

#include <gtest/gtest.h>

#include "support/checked_items.h"

namespace kasa {
namespace {

using testing::ItemAt;

struct Fixture {
    explicit Fixture(const RegisterModel& m) : model(m) {
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = static_cast<TableKind>(k);
            SetUpGrid(tables.Grid(kind), model.Table(kind), true, true, 1);
        }
        settings.ErrorMax = 200;
    }
    void Row(TableKind kind, int row, const std::vector<std::string>& cells) {
        for (size_t i = 0; i < cells.size(); ++i) {
            tables.Grid(kind).SetCell(static_cast<int>(i) + 1, row, cells[i]);
        }
    }
    ValidationOutcome Run(ValidationCommand command, TableKind recordTable = TableKind::kGoods,
                          int firstRow = 0, int lastRow = 0) {
        return RunValidation(command, model, tables, 1, settings, recordTable, firstRow, lastRow);
    }
    const RegisterModel& model;
    TableSet tables;
    Settings settings;
};

const std::array<std::string, 4> kNoCaptions{};

TEST(ValidationCommands, WriteCaptionsFollowTheOutcome) {
    Fixture f(VesperModel());
    f.Row(TableKind::kPackaging, 1, {"Butelka", "0,50"});
    ValidationOutcome passed = f.Run(ValidationCommand::kWritePackaging);
    EXPECT_TRUE(passed.Passed());
    EXPECT_EQ(passed.mode, 4);
    EXPECT_EQ(passed.heading, "WERYFIKACJA BAZY [OPAKOWANIA] ZAPISEM DO KASY");
    EXPECT_TRUE(passed.lines.empty());
    EXPECT_EQ(passed.captions, kNoCaptions);

    f.Row(TableKind::kPackaging, 2, {"Skrzynka", "-1"});
    const ValidationOutcome one = f.Run(ValidationCommand::kWritePackaging);
    EXPECT_EQ(one.errorSeverity, 1);
    EXPECT_EQ(one.captions,
              (std::array<std::string, 4>{"Wykryty błąd:", "Wykryto błąd w wybranej bazie.",
                                          "Zapis błędnej bazy do kasy jest niemożliwy.",
                                          "Popraw błąd i spróbuj ponownie, bądź anuluj zapis."}));
    EXPECT_EQ(ItemAt(one.lines, 0).place, (FaultPlace{"Opakowania", 2, 2}));

    // One record: only its row is looked at, with the captions for a record.
    f.Row(TableKind::kPackaging, 3, {"Paleta drewniana euro", "x"});
    const ValidationOutcome record =
        f.Run(ValidationCommand::kWriteRecord, TableKind::kPackaging, 3);
    EXPECT_EQ(record.mode, 3);
    EXPECT_EQ(record.heading, "WERYFIKACJA POPRAWNOŚCI REKORDU PRZED ZAPISEM DO KASY");
    EXPECT_EQ(record.errorSeverity, 2);
    EXPECT_EQ(record.captions,
              (std::array<std::string, 4>{"Wykryte błędy:", "Wykryto błędy w wybranym wierszu.",
                                          "Zapis błędnego rekordu do kasy jest niemożliwy.",
                                          "Popraw błędy i spróbuj ponownie, bądź anuluj zapis."}));
}

TEST(ValidationCommands, ErrorMaxOutOfRangeBecomes200AndIsFlagged) {
    for (const int32_t limit : {0, 6000}) {
        Fixture f(VesperModel());
        f.settings.ErrorMax = limit;
        const ValidationOutcome outcome = f.Run(ValidationCommand::kWriteKeys);
        EXPECT_TRUE(outcome.errorMaxCorrected);
        EXPECT_EQ(f.settings.ErrorMax, 200);
    }
    Fixture kept(VesperModel());
    kept.settings.ErrorMax = 5000;
    EXPECT_FALSE(kept.Run(ValidationCommand::kWriteKeys).errorMaxCorrected);
    EXPECT_EQ(kept.settings.ErrorMax, 5000);
}

TEST(ValidationCommands, FiveHundredFaultsGiveTheLimitAfter200Lines) {
    Fixture f(VesperModel());
    for (int row = 1; row <= 250; ++row) {
        f.Row(TableKind::kGoods, row, {"Towar" + std::to_string(row), "", "Z", "", "", "x"});
    }
    const ValidationOutcome outcome = f.Run(ValidationCommand::kWriteGoods);
    const std::string limit = "Przekroczona maksymalna ilość błędów. Ilość błędów >200";
    // The limit is told once, where the bar-code check met it.
    ASSERT_EQ(outcome.lines.size(), 203u);
    EXPECT_EQ(outcome.lines[199].text,
              "PLU: x w miejscu 100 6 może być tylko liczbą z zakresu [0..999 999,99].");
    EXPECT_EQ(outcome.lines[200].text, limit);
    EXPECT_EQ(outcome.lines[201].text, "Koniec sprawdzania unikalności kodów EAN13.");
    EXPECT_EQ(outcome.lines[202].text, "Koniec sprawdzania unikalności nazw.");
    EXPECT_TRUE(outcome.limitReached);
    EXPECT_EQ(outcome.errorCount, 200);
    // Two hundred is where the pass stopped, not how many faults there are.
    EXPECT_EQ(CheckSummary(outcome),
              "Sprawdzanie przerwane: osiągnięto limit błędów (200), błędów może być więcej.");
    EXPECT_EQ(CheckCaptions(outcome)[1], CheckSummary(outcome));
    ValidationOutcome fewer = outcome;
    fewer.limitReached = false;
    fewer.errorSeverity = 3;
    EXPECT_EQ(CheckSummary(fewer), "Sprawdzanie zakończone: wykryto błędy (3).");
}

TEST(ValidationCommands, WeryfikacjaChecksEveryTableAndNormalisesPasswords) {
    Fixture f(VesperModel());
    f.tables.vatRates[0] = "1000";
    f.Row(TableKind::kCashiers, 1, {"Ala", "ffff"});
    f.Row(TableKind::kGoods, 1, {"Sok", "590"});
    f.Row(TableKind::kGoods, 2, {"SOK", "590"});
    const ValidationOutcome outcome = f.Run(ValidationCommand::kWeryfikacja);
    EXPECT_EQ(outcome.mode, 0);
    EXPECT_EQ(outcome.heading, "");
    EXPECT_EQ(outcome.captions, kNoCaptions);
    std::vector<std::string> texts;
    for (const FaultLine& line : outcome.lines) {
        texts.push_back(line.text);
    }
    EXPECT_EQ(texts,
              (std::vector<std::string>{
                  "StawkiVAT: 1000 w wierszu 1 określa stawkę VAT i może być liczbą XX.X lub "
                  "nakt lub zw.",
                  "PLU: kod kreskowy  590 w wierszu 1 2,2 2 jest identyczny.",
                  "Koniec sprawdzania unikalności kodów EAN13.",
                  "PLU: nazwa Sok w wierszu 1 1,2 1 jest identyczna.",
                  "Koniec sprawdzania unikalności nazw.",
              }));
    EXPECT_EQ(f.tables.Grid(TableKind::kCashiers).Cell(2, 1), "nakt");
}

TEST(ValidationCommands, ValuesTheWireWouldCutAreFaults) {
    Fixture zen(ZenModel());
    zen.Row(TableKind::kGoods, 1, {"Cukier", "", "A", "0", "3,49", "1000"});
    const ValidationOutcome goods = zen.Run(ValidationCommand::kWriteGoods);
    ASSERT_FALSE(goods.lines.empty());
    EXPECT_EQ(goods.lines[0].text,
              "PLU: 1000 w miejscu 1 6 może być tylko liczbą z zakresu [0..999,999].");

    Fixture vesper(VesperModel());
    vesper.Row(TableKind::kCashiers, 1, {"Ala", "1234"});
    vesper.Row(TableKind::kCashiers, 2, {"Ola", "12345"});
    const ValidationOutcome cashiers = vesper.Run(ValidationCommand::kWriteCashiers);
    EXPECT_EQ(cashiers.mode, 6);
    ASSERT_EQ(cashiers.lines.size(), 1u);
    EXPECT_EQ(cashiers.lines[0].text, "Kasjer: 12345 w miejscu 2 2 może być tylko liczbą.");
}

TEST(ValidationCommands, VatAndEanCommandsTakeTheirModes) {
    Fixture f(VesperModel());
    f.tables.vatRates = {"23", "8", "5", "0", "zw", "nakt", "12345"};
    const ValidationOutcome vat = f.Run(ValidationCommand::kWriteVat);
    EXPECT_EQ(vat.mode, 14);
    EXPECT_EQ(vat.heading, "WERYFIKACJA STAWEK VAT PRZED ZAPISEM DO KASY");
    ASSERT_EQ(vat.lines.size(), 1u);
    EXPECT_EQ(vat.lines[0].place, (FaultPlace{"StawkiVAT", -1, 6}));

    f.Row(TableKind::kGoods, 1, {"Sok", "5901234123458"});
    const ValidationOutcome ean = f.Run(ValidationCommand::kVerifyEan13);
    EXPECT_EQ(ean.mode, 15);
    EXPECT_EQ(ean.heading, "WERYFIKACJA SUMY EAN13");
    EXPECT_EQ(ean.errorCount, 0);
    EXPECT_EQ(ean.errorSeverity, 1);
    EXPECT_FALSE(ean.Passed());
}

// Codes a spreadsheet shortened are told before a write and under "Weryfikacja", but they
// stop nothing: the write asks.
TEST(ValidationCommands, ShortenedCodesAreWarningsOfTheGoodsCommands) {
    Fixture f(VesperModel());
    f.Row(TableKind::kGoods, 1, {"Mleko", "12345678905", "A", "1", "0", "2.50"});
    f.Row(TableKind::kGoods, 5, {"Sok", "123", "A", "1", "0", "3.00"});
    f.Row(TableKind::kPackaging, 1, {"Skrzynka", "1.00"});
    const std::string first =
        "PLU: Kod 12345678905 w wierszu 1 wygląda na kod EAN-13 bez zer wiodących "
        "(0012345678905).";
    const std::string fifth =
        "PLU: Kod 123 w wierszu 5 wygląda na kod EAN-13 bez zer wiodących (0000000000123).";
    for (const ValidationCommand command :
         {ValidationCommand::kWriteGoods, ValidationCommand::kWeryfikacja}) {
        const ValidationOutcome outcome = f.Run(command);
        EXPECT_TRUE(outcome.Passed());
        ASSERT_EQ(outcome.warnings.size(), 2u);
        EXPECT_EQ(outcome.warnings[0].text, first);
        EXPECT_EQ(outcome.warnings[1].text, fifth);
        EXPECT_EQ(outcome.captions, kNoCaptions);
    }
    const ValidationOutcome range =
        f.Run(ValidationCommand::kWriteGoodsRange, TableKind::kGoods, 2, 9);
    ASSERT_EQ(range.warnings.size(), 1u);
    EXPECT_EQ(range.warnings[0].text, fifth);
    const ValidationOutcome record = f.Run(ValidationCommand::kWriteRecord, TableKind::kGoods, 1);
    ASSERT_EQ(record.warnings.size(), 1u);
    EXPECT_EQ(record.warnings[0].text, first);
    EXPECT_TRUE(f.Run(ValidationCommand::kWritePackaging).warnings.empty());
    EXPECT_TRUE(f.Run(ValidationCommand::kWriteRecord, TableKind::kPackaging, 1).warnings.empty());

    EXPECT_EQ(WarningsQuestion(f.Run(ValidationCommand::kWriteGoods)),
              "Kody kreskowe wyglądają na kody EAN-13 skrócone przez arkusz kalkulacyjny:\n" +
                  first + "\n(i 1 więcej)\nZapisać kody do kasy bez zmian?");
    EXPECT_EQ(WarningsQuestion(record),
              "Kod kreskowy wygląda na kod EAN-13 skrócony przez arkusz kalkulacyjny:\n" + first +
                  "\nZapisać kody do kasy bez zmian?");
}

}  // namespace
}  // namespace kasa
