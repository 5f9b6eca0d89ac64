#include "tables/table_validation.h"

#include <gtest/gtest.h>

#include "ecr/wire_limits.h"
#include "support/checked_items.h"
#include "tables/duplicate_checks.h"

namespace kasa {
namespace {

using testing::ItemAt;

std::vector<std::string> Texts(const std::vector<FaultLine>& lines) {
    std::vector<std::string> texts;
    for (const FaultLine& line : lines) {
        texts.push_back(line.text);
    }
    return texts;
}

TextGrid Grid(const RegisterModel& model, TableKind kind) {
    TextGrid grid;
    SetUpGrid(grid, model.Table(kind), true, true, 1);
    return grid;
}

// Cells of one row from column 1 on.
void FillRow(TextGrid& grid, int row, const std::vector<std::string>& cells) {
    for (size_t i = 0; i < cells.size(); ++i) {
        grid.SetCell(static_cast<int>(i) + 1, row, cells[i]);
    }
}

std::vector<std::string> WriteFaults(const RegisterModel& model, TableKind kind,
                                     const TextGrid& grid, int errorMax = 200) {
    ValidationPass pass(errorMax);
    ValidateForWrite(pass, model, kind, grid, 1, LastValidatedRow(model.Table(kind), grid));
    return Texts(pass.lines);
}

TEST(WriteValidator, NumberRuleTakesEitherSeparatorAndRefusesShapeAndRange) {
    const RegisterModel& model = VesperModel();
    TextGrid goods = Grid(model, TableKind::kGoods);
    const char* prices[] = {"3,49", "3.49", "1,2.3", "-5", "999999,99", "1000000", "1234567890"};
    for (int row = 1; row <= 7; ++row) {
        FillRow(goods, row, {"Chleb", "", "A", "1", "0", prices[row - 1]});
    }
    // Value sold: shape faults name the price's range, an excess the quantity's range.
    FillRow(goods, 8, {"Bułka", "", "A", "", "", "1", "", "1,2,3"});
    FillRow(goods, 9, {"Bułka", "", "A", "", "", "1", "", "10000000"});
    const std::string price = " może być tylko liczbą z zakresu [0..999 999,99].";
    EXPECT_EQ(WriteFaults(model, TableKind::kGoods, goods),
              (std::vector<std::string>{
                  "PLU: 1,2.3 w miejscu 3 6" + price,
                  "PLU: -5 w miejscu 4 6" + price,
                  "PLU: 1000000 w miejscu 6 6" + price,
                  "PLU: 1234567890 w miejscu 7 6" + price,
                  "PLU: 1,2,3 w miejscu 8 8" + price,
                  "PLU: 10000000 w miejscu 9 8 może być tylko liczbą z zakresu [0..9 999 999,999].",
              }));
}

TEST(WriteValidator, EmptyRecordKeepsNameAndCodeRulesAndEachCellGivesOneLine) {
    const RegisterModel& model = VesperModel();
    TextGrid goods = Grid(model, TableKind::kGoods);
    FillRow(goods, 1, {"", "12a", "X", "99", "99", "abc"});
    FillRow(goods, 2, {"Mleko pełne 3,2% 1l", "12345678901234x", "H", "64", "16", "1"});
    EXPECT_EQ(
        WriteFaults(model, TableKind::kGoods, goods),
        (std::vector<std::string>{
            "PLU: 12a w miejscu 1 2 może zawierać tylko cyfry.",
            "PLU: Mleko pełne 3,2% 1l w miejscu 2 1 ma za dużo znaków.",
            "PLU: 12345678901234x w miejscu 2 2 ma za dużo znaków.",
            "PLU: H w miejscu 2 3 określa stawkę VAT i może być tylko znakiem: A, B, C, D, E, "
            "F lub G",
            "PLU: 64 w miejscu 2 4 może być tylko liczbą z zakresu [0..63].",
            "PLU: 16 w miejscu 2 5 może być tylko liczbą z zakresu [0..15].",
        }));
}

TEST(WriteValidator, StopsTakingUpCellsAtTheLimit) {
    const RegisterModel& model = VesperModel();
    TextGrid goods = Grid(model, TableKind::kGoods);
    for (int row = 1; row <= 250; ++row) {
        FillRow(goods, row, {"Towar", "", "Z", "", "", "x"});
    }
    ValidationPass pass(200);
    ValidateForWrite(pass, model, TableKind::kGoods, goods, 1, 2300);
    ASSERT_EQ(pass.lines.size(), 200u);
    EXPECT_EQ(pass.ErrorCount, 200);
    EXPECT_EQ(pass.lines.back().place, (FaultPlace{"PLU", 6, 100}));
}

TEST(WriteValidator, ZenColumnsAreFoundByKeyWithTheirOwnBounds) {
    const RegisterModel& model = ZenModel();
    TextGrid goods = Grid(model, TableKind::kGoods);
    // Column 5 of a Zen goods grid is the price, which the Vesper layout calls "Op.".
    FillRow(goods, 1, {"Chleb żytni", "5901234123457", "A", "0", "3,49", "12,5"});
    FillRow(goods, goods.RowCount() - 1, {"Ostatni", "", "B", "15", "999999,99", "1"});
    EXPECT_TRUE(WriteFaults(model, TableKind::kGoods, goods).empty());

    TextGrid keys = Grid(model, TableKind::kKeys);
    FillRow(keys, 1, {"2636", "1", "TAK"});
    FillRow(keys, 2, {"2637", "1", "tak"});
    EXPECT_EQ(WriteFaults(model, TableKind::kKeys, keys),
              (std::vector<std::string>{
                  "Klawisze: 2637 w miejscu 2 1 może być tylko liczbą z zakresu [0..2636].",
                  "Klawisze: tak w miejscu 2 3 może przyjmować tylko wartość TAK lub NIE",
              }));
}

TEST(WriteValidator, WireLimitNarrowsTheRangeAndItsText) {
    const RegisterModel& model = ZenModel();
    TextGrid goods = Grid(model, TableKind::kGoods);
    FillRow(goods, 1, {"Cukier", "", "A", "0", "3,49", "999,999"});
    FillRow(goods, 2, {"Sól", "", "A", "0", "1,99", "1000"});
    const WireColumnLimit limits[] = {{TableKind::kGoods, "ILO", 3, 0}};
    ValidationPass pass(200, limits);
    ValidateForWrite(pass, model, TableKind::kGoods, goods, 1, 2);
    EXPECT_EQ(Texts(pass.lines), (std::vector<std::string>{
                                     "PLU: 1000 w miejscu 2 6 może być tylko liczbą z zakresu "
                                     "[0..999,999].",
                                 }));
}

TEST(DuplicateChecks, NamesEqualAfterNormalisationComeInPairOrder) {
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    const char* names[] = {"Żółw 1l",   "ZOLW-1L",   "żółw 1l", "ŻÓŁW1L", "Mleko 3,2%",
                           "mleko 3,2", "Mleko 3.2", "",        "---",    "zolw 1l"};
    for (int row = 1; row <= 10; ++row) {
        goods.SetCell(1, row, names[row - 1]);
    }
    goods.SetCell(1, 0, "Żółw 1l");  // the title row takes no part
    ValidationPass pass(200);
    CheckNameUniqueness(pass, goods);
    EXPECT_EQ(Texts(pass.lines), (std::vector<std::string>{
                                     "PLU: nazwa Żółw 1l w wierszu 1 1,3 1 jest identyczna.",
                                     "PLU: nazwa Żółw 1l w wierszu 1 1,4 1 jest identyczna.",
                                     "PLU: nazwa ZOLW-1L w wierszu 2 1,10 1 jest identyczna.",
                                     "PLU: nazwa żółw 1l w wierszu 3 1,4 1 jest identyczna.",
                                     "PLU: nazwa Mleko 3,2% w wierszu 5 1,6 1 jest identyczna.",
                                     "Koniec sprawdzania unikalności nazw.",
                                 }));
    EXPECT_EQ(pass.ErrorCount, 5);
}

TEST(DuplicateChecks, PolishLettersKeepNamesApart) {
    // Names that differ only in a Polish letter, or in a Polish letter against its base,
    // are different names; the same name in small letters and capitals is one.
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    const char* names[] = {"Mąka",  "Męka",  "Maka",  "mąka",  "Sok ą", "Sok ć",
                           "Sok ę", "Sok ł", "Sok ń", "Sok ó", "Sok ś", "Sok ź",
                           "Sok ż", "SOK Ż", "Sok z", "ŁĄKA",  "Łąka",  "ŁĘKA"};
    for (int row = 1; row <= 18; ++row) {
        goods.SetCell(1, row, names[row - 1]);
    }
    ValidationPass pass(200);
    CheckNameUniqueness(pass, goods);
    EXPECT_EQ(Texts(pass.lines), (std::vector<std::string>{
                                     "PLU: nazwa Mąka w wierszu 1 1,4 1 jest identyczna.",
                                     "PLU: nazwa Sok ż w wierszu 13 1,14 1 jest identyczna.",
                                     "PLU: nazwa ŁĄKA w wierszu 16 1,17 1 jest identyczna.",
                                     "Koniec sprawdzania unikalności nazw.",
                                 }));
    EXPECT_EQ(pass.ErrorCount, 3);
    EXPECT_EQ(NormalisedName("żółć gęślą"), "ŻÓŁĆGĘŚLĄ");
    EXPECT_EQ(NormalisedName("ŹŃ"), "ŹŃ");
}

TEST(DuplicateChecks, EanPairsStopAtTheLimitWithTheLimitLine) {
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    for (int row = 1; row <= 5; ++row) {
        goods.SetCell(2, row, "590");
    }
    ValidationPass pass(3);
    CheckEanUniqueness(pass, goods);
    EXPECT_EQ(Texts(pass.lines), (std::vector<std::string>{
                                     "PLU: kod kreskowy  590 w wierszu 1 2,2 2 jest identyczny.",
                                     "PLU: kod kreskowy  590 w wierszu 1 2,3 2 jest identyczny.",
                                     "PLU: kod kreskowy  590 w wierszu 1 2,4 2 jest identyczny.",
                                     "Przekroczona maksymalna ilość błędów. Ilość błędów >3",
                                     "Koniec sprawdzania unikalności kodów EAN13.",
                                 }));
}

TEST(CatalogueValidator, PasswordsMeaningNoPasswordBecomeNakt) {
    const RegisterModel& model = VesperModel();
    TableSet tables;
    TextGrid& cashiers = tables.Grid(TableKind::kCashiers) = Grid(model, TableKind::kCashiers);
    FillRow(cashiers, 1, {"Ala", "ffff"});
    FillRow(cashiers, 2, {"Ola", "-1"});
    FillRow(cashiers, 3, {"Ewa", "12a"});
    FillRow(cashiers, 4, {"Jan", "NAKT"});
    ValidationPass pass(200);
    ValidateByCatalogue(pass, model, TableKind::kCashiers, tables);
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{"Kasjer: 12a w miejscu 3 2 może być tylko liczbą."}));
    EXPECT_EQ(cashiers.Cell(2, 1), "nakt");
    EXPECT_EQ(cashiers.Cell(2, 2), "nakt");
    EXPECT_EQ(cashiers.Cell(2, 4), "NAKT");
}

// A table of every special format, to see each rule in grid mode.
constexpr FieldDescriptor kFormatFields[] = {
    {"NUM", "Numer", "eNumer", kFormatRecordNumber},
    {"NAZ", "Nazwa", "eNazwa", 10},
    {"TIM", "Czas", "", kFormatTime},
    {"PTU", "PTU", "", kFormatVat},
    {"TRA", "Flaga", "", kFormatFlag},
    {"CEN", "Cena", "", 386},
};

TEST(CatalogueValidator, EachFormatHasItsRuleText) {
    TableDescriptor formats = VesperModel().Table(TableKind::kKeys);
    formats.fields = kFormatFields;
    formats.tableName = "Test";
    RegisterModel model = VesperModel();
    model.tables[static_cast<size_t>(TableKind::kKeys)] = &formats;
    TableSet tables;
    TextGrid& grid = tables.Grid(TableKind::kKeys) = Grid(model, TableKind::kKeys);
    FillRow(grid, 1, {"A", "1:23", "H", "tak", "123456789"});
    FillRow(grid, 2, {"B", "11:23", "", "NIE", "12,5.3"});
    FillRow(grid, 3, {"C", "00:00", "G", "TAK", "12345678,999"});
    FillRow(grid, 4, {"", "x", "x", "x", "x"});
    tables.vatRates = {"23", "8,5", "zw", "NAKT", "1000", "abcd.5", ""};
    tables.header[1].text = std::string(41, 'x');
    ValidationPass pass(200);
    for (const TableKind kind : {TableKind::kKeys, TableKind::kVat, TableKind::kHeader}) {
        ValidateByCatalogue(pass, model, kind, tables);
    }
    EXPECT_EQ(
        Texts(pass.lines),
        (std::vector<std::string>{
            "Test: 1:23 w miejscu 1 2   określa czas i może być postaci "
            "<cyfra><cyfra>:<cyfra><cyfra> np. 11:23.",
            "Test: H w miejscu 1 3 określa stawkę VAT i może być tylko literą A B C D E F G.",
            "Test: tak w miejscu 1 4  może przyjąć wartość tylko TAK lub NIE.",
            "Test: 123456789 w miejscu 1 5 może mieć maksimum 8 znaczących cyfr.",
            "Test: 12,5.3 w miejscu 2 5 może być tylko liczbą.",
            "Test: 12345678,999 w miejscu 3 5 może mieć najwyżej 2 cyfry po przecinku (postać "
            "99 999 999,99).",
            "StawkiVAT: 1000 w wierszu 5 określa stawkę VAT i może być liczbą XX.X lub nakt lub "
            "zw.",
            "StawkiVAT: abcd.5 w wierszu 6 określa stawkę VAT i może być liczbą XX.X lub nakt lub "
            "zw.",
            "Naglowek: " + std::string(41, 'x') +
                " w wierszu 2 jest za długi. Może mieć tylko 40 znaków.",
        }));
    EXPECT_EQ(ItemAt(pass.lines, 6).place, (FaultPlace{"StawkiVAT", -1, 4}));
}

// A number with more decimals than the register keeps would be cut on the wire: it is a
// fault naming the form the column takes, per register type and column.
TEST(WriteValidator, DecimalsTheRegisterWouldCutAreFaults) {
    const RegisterModel& vesper = VesperModel();
    TextGrid goods = Grid(vesper, TableKind::kGoods);
    FillRow(goods, 1, {"Chleb", "", "A", "1", "0", "0,009"});
    FillRow(goods, 2, {"Bułka", "", "A", "1", "0", "1.999"});
    FillRow(goods, 3, {"Mleko", "", "A", "1", "0", "1,99", "1,234"});
    FillRow(goods, 4, {"Masło", "", "A", "1", "0", "1,99", "1,2345"});
    ValidationPass pass(200, WireLimits(LayoutOfModel(vesper)));
    ValidateForWrite(pass, vesper, TableKind::kGoods, goods, 1, 4);
    const std::string two = " może mieć najwyżej 2 cyfry po przecinku (postać 999 999,99).";
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{
                  "PLU: 0,009 w miejscu 1 6" + two,
                  "PLU: 1.999 w miejscu 2 6" + two,
                  "PLU: 1,2345 w miejscu 4 7 może mieć najwyżej 3 cyfry po przecinku (postać "
                  "9 999 999,999).",
              }));

    // A ZEN quantity keeps three, an exchange rate six, a discount one.
    const RegisterModel& zen = ZenModel();
    TextGrid zenGoods = Grid(zen, TableKind::kGoods);
    FillRow(zenGoods, 1, {"Cukier", "", "A", "0", "3,49", "1,2345"});
    FillRow(zenGoods, 2, {"Sól", "", "A", "0", "1,99", "1,234"});
    TextGrid forms = Grid(vesper, TableKind::kPaymentForms);
    FillRow(forms, 1, {"Euro", "4,1234567"});
    FillRow(forms, 2, {"Dolar", "4,123456"});
    TextGrid discounts = Grid(vesper, TableKind::kDiscounts);
    FillRow(discounts, 1, {"Rabat", "15,55"});
    FillRow(discounts, 2, {"Rabat 2", "15,50"});
    ValidationPass zenPass(200, WireLimits(LayoutOfModel(zen)));
    ValidateForWrite(zenPass, zen, TableKind::kGoods, zenGoods, 1, 2);
    ValidationPass vesperPass(200, WireLimits(LayoutOfModel(vesper)));
    ValidateForWrite(vesperPass, vesper, TableKind::kPaymentForms, forms, 1, 2);
    ValidateForWrite(vesperPass, vesper, TableKind::kDiscounts, discounts, 1, 2);
    EXPECT_EQ(Texts(zenPass.lines),
              (std::vector<std::string>{"PLU: 1,2345 w miejscu 1 6 może mieć najwyżej 3 cyfry "
                                        "po przecinku (postać 999,999)."}));
    EXPECT_EQ(Texts(vesperPass.lines),
              (std::vector<std::string>{
                  "Formy: 4,1234567 w miejscu 1 2 może mieć najwyżej 6 cyfr po przecinku (postać "
                  "99,999999).",
                  "Rabat: 15,55 w miejscu 1 2 może mieć najwyżej 1 cyfrę po przecinku (postać "
                  "99,9).",
              }));
}

// ZEN keeps the password in a number's format; a read shows a cashier without one as
// "nakt", which must pass when the same table is written back.
TEST(CatalogueValidator, ZenPasswordTakesNakt) {
    const RegisterModel& model = ZenModel();
    TableSet tables;
    TextGrid& cashiers = tables.Grid(TableKind::kCashiers) = Grid(model, TableKind::kCashiers);
    FillRow(cashiers, 1, {"Ala", "nakt"});
    FillRow(cashiers, 2, {"Ola", "12a"});
    ValidationPass pass(200);
    ValidateByCatalogue(pass, model, TableKind::kCashiers, tables);
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{"Kasjer: 12a w miejscu 2 2 może być tylko liczbą."}));
}

TEST(Ean13, VerificationRaisesSeverityOnly) {
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    goods.SetCell(2, 1, "5901234123457");
    goods.SetCell(2, 2, "5901234123458");
    goods.SetCell(2, 3, "590123412345");
    ValidationPass pass(200);
    VerifyEan13(pass, goods);
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{
                  "PLU: 5901234123458 w miejscu 2 2 nieprawidłowa suma kontrolna EAN13.",
                  "PLU: 590123412345 w miejscu 3 2 kod kreskowy EAN13 musi mieć długość dokładnie "
                  "13 znaków.",
              }));
    EXPECT_EQ(pass.ErrorCount, 0);
    EXPECT_EQ(pass.ErrorSeverity, 2);
}

TEST(Ean13, ACodeWithOtherCharactersIsNoEan13) {
    // "/" is one below "0": weighed as -1 the first twelve give the check digit 1, which is
    // the code's last character. It is still no EAN-13, and neither is a code with a blank.
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    goods.SetCell(2, 1, "/000000000001");
    goods.SetCell(2, 2, "590123412345 ");
    goods.SetCell(2, 3, "5901234123457");
    ValidationPass pass(200);
    VerifyEan13(pass, goods);
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{
                  "PLU: /000000000001 w miejscu 1 2 nie jest kodem EAN-13: kod kreskowy EAN13 "
                  "składa się tylko z cyfr.",
                  "PLU: 590123412345  w miejscu 2 2 nie jest kodem EAN-13: kod kreskowy EAN13 "
                  "składa się tylko z cyfr.",
              }));
    EXPECT_EQ(pass.ErrorSeverity, 2);
}

TEST(Ean13, OddPlacesWeighOneAndEvenPlacesThree) {
    // Worked out by hand. 590123412346: digits in odd places 5+0+2+4+2+4 = 17, in even
    // places 9+1+3+1+3+6 = 23; 17 + 3 x 23 = 86, check digit 4 (weights swapped: 3 x 17 + 23
    // = 74, 6). 400638133393: 4+0+3+1+3+9 = 20 and 0+6+8+3+3+3 = 23; 20 + 69 = 89, check
    // digit 1 (swapped: 60 + 23 = 83, 7).
    EXPECT_EQ(Ean13CheckDigit("590123412346"), '4');
    EXPECT_EQ(Ean13CheckDigit("400638133393"), '1');
    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    goods.SetCell(2, 1, "5901234123464");
    goods.SetCell(2, 2, "5901234123466");
    goods.SetCell(2, 3, "4006381333931");
    goods.SetCell(2, 4, "4006381333937");
    ValidationPass pass(200);
    VerifyEan13(pass, goods);
    EXPECT_EQ(Texts(pass.lines),
              (std::vector<std::string>{
                  "PLU: 5901234123466 w miejscu 2 2 nieprawidłowa suma kontrolna EAN13.",
                  "PLU: 4006381333937 w miejscu 4 2 nieprawidłowa suma kontrolna EAN13.",
              }));
}

// Padded codes worked out by hand. 0012345678905: odd places 0+1+3+5+7+9 = 25, even places
// 0+2+4+6+8+0 = 20; 25 + 60 = 85, check digit 5. 0036000291452 (the UPC-A 036000291452 without
// its zero): 0+3+0+0+9+4 = 16 and 0+6+0+2+1+5 = 14; 16 + 42 = 58, check digit 2.
// 0000000000123: 1 and 2, 1 + 6 = 7, check digit 3, so 124 is no code. 96385074 is a valid
// EAN-8: 3x(9+3+5+7) + (6+8+0) = 86, check digit 4.
TEST(Ean13, CodesWithoutTheirLeadingZerosAreTold) {
    EXPECT_EQ(ShortenedEan13Of("12345678905"), "0012345678905");
    EXPECT_EQ(ShortenedEan13Of("36000291452"), "0036000291452");
    EXPECT_EQ(ShortenedEan13Of("123"), "0000000000123");
    // A code that keeps a leading zero was not shortened.
    for (const char* code :
         {"124", "12345678906", "96385074", "5901234123457", "0012345678905", "00123",
          "036000291452", "1234567890x", "12 345", "", "00000000001230"}) {
        EXPECT_EQ(ShortenedEan13Of(code), "") << code;
    }

    TextGrid goods = Grid(VesperModel(), TableKind::kGoods);
    goods.SetCell(2, 1, "123");
    goods.SetCell(2, 2, "12345678905");
    goods.SetCell(2, 3, "96385074");
    goods.SetCell(2, 4, "36000291452");
    EXPECT_EQ(Texts(ShortenedEan13Warnings(goods, 2, 4)),
              (std::vector<std::string>{
                  "PLU: Kod 12345678905 w wierszu 2 wygląda na kod EAN-13 bez zer wiodących "
                  "(0012345678905).",
                  "PLU: Kod 36000291452 w wierszu 4 wygląda na kod EAN-13 bez zer wiodących "
                  "(0036000291452).",
              }));
    const std::vector<FaultLine> all = ShortenedEan13Warnings(goods, 1, 2300);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].place, (FaultPlace{"PLU", 2, 1}));
}

}  // namespace
}  // namespace kasa
