#include "print/print_parameters.h"

#include <gtest/gtest.h>

#include "print/barcode_symbol.h"

namespace kasa {
namespace {

TEST(PrintParameters, MillimetresTypedAreKeptInInchesWithinTheRange) {
    // 2 mm is below 0.2 inch, 40 mm above 1 inch, a row spacing of 0 below 0.005 inch.
    EXPECT_DOUBLE_EQ(*InchesOfMillimetreText(PrintParameter::kBarcodeHeight, "2"), 0.2);
    EXPECT_DOUBLE_EQ(*InchesOfMillimetreText(PrintParameter::kBarcodeHeight, "40"), 1.0);
    EXPECT_DOUBLE_EQ(*InchesOfMillimetreText(PrintParameter::kRowSpacing, "0"), 0.005);
    // The decimal the edit shows is read back, with a comma or a point.
    EXPECT_DOUBLE_EQ(*InchesOfMillimetreText(PrintParameter::kBarcodeHeight, "10,5"), 10.5 / 25.4);
    EXPECT_DOUBLE_EQ(*InchesOfMillimetreText(PrintParameter::kLeftMargin, "19.3"), 19.3 / 25.4);
    EXPECT_EQ(MillimetreText(0.2), "5.1");
    for (const char* typing : {"", "abc", "1,2,3", "-4", "5mm"}) {
        EXPECT_FALSE(InchesOfMillimetreText(PrintParameter::kRightMargin, typing)) << typing;
    }
}

TEST(PrintParameters, FreshGapsReadWellOnPaper) {
    // 0.1 mm between columns runs a name into the next column: 2 mm at least, within the
    // ranges the window keeps.
    const PrintParameters fresh = DefaultPrintParameters();
    EXPECT_GE(fresh.Millimetres(PrintParameter::kColumnSpacing), 2.0);
    EXPECT_GE(fresh.Millimetres(PrintParameter::kRowSpacing), 2.0);
    EXPECT_EQ(ClampedPrintParameters(fresh).inches, fresh.inches);
}

TEST(PrintParameters, ValuesReadFromAFileAreClamped) {
    PrintParameters read;
    read.inches = {0, 0.7, 5, 0.3, 0.5, -1};
    EXPECT_EQ(ClampedPrintParameters(read).inches,
              (std::array<double, 6>{0.2, 0.7, 1.0, 0.3, 0.5, 0.005}));
}

TEST(BarcodeData, OnlyAWholeValidCodeBecomesAnEanSymbol) {
    const auto ean13 = EanSymbolOf("5901234123457");
    ASSERT_TRUE(ean13);
    EXPECT_EQ(ean13->symbology, Symbology::kEan13);
    EXPECT_EQ(ean13->digits, "5901234123457");
    // 9x3 + 6 + 3x3 + 8 + 5x3 + 0 + 7x3 = 86: the check digit is 4.
    const auto ean8 = EanSymbolOf("96385074");
    ASSERT_TRUE(ean8);
    EXPECT_EQ(ean8->symbology, Symbology::kEan8);
    EXPECT_EQ(ean8->digits, "96385074");
    EXPECT_EQ(Ean8CheckDigit("9638507"), '4');
    // Padded, "00123" would scan as 0000000001236 and "590123412345" would gain a digit
    // that is not on the goods: neither is the code in the cell.
    for (const char* other : {"00123", "590123412345", "7", "96385075", "5901234123458", "12A4", "",
                              "59012341234570", "0096385074"}) {
        EXPECT_FALSE(EanSymbolOf(other)) << other;
    }
    EXPECT_EQ(Code128Text("Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ €"), "Zazolc gesla jazn ACELNOSZZ ?");
}

TEST(BarcodeData, SymbolsHaveTheModulesOfTheirSymbology) {
    const auto ean = EncodeBarcode(Symbology::kEan13, "5901234123457");
    ASSERT_TRUE(ean);
    EXPECT_EQ(ean->modules, 95);
    EXPECT_EQ(ean->bars.size(), 30u);  // guards 2+2+2, two bars per digit
    EXPECT_DOUBLE_EQ(ean->bars.front().left, 0);
    EXPECT_DOUBLE_EQ(ean->bars.back().left + ean->bars.back().width, 95);
    const auto code = EncodeBarcode(Symbology::kCode128, "AB");
    ASSERT_TRUE(code);
    EXPECT_EQ(code->modules, 11 * 2 + 35);
    EXPECT_FALSE(EncodeBarcode(Symbology::kEan13, "12X"));
    EXPECT_FALSE(EncodeBarcode(Symbology::kEan13, "123"));
    // An EAN-8 symbol: 3 + 4 x 7 + 5 + 4 x 7 + 3 modules, guards 2+2+2 and two bars per digit.
    const auto ean8 = EncodeBarcode(Symbology::kEan8, "96385074");
    ASSERT_TRUE(ean8);
    EXPECT_EQ(ean8->modules, 67);
    EXPECT_EQ(ean8->bars.size(), 22u);
    EXPECT_FALSE(EncodeBarcode(Symbology::kEan8, "96385075"));
    EXPECT_FALSE(EncodeBarcode(Symbology::kEan13, "96385074"));
}

}  // namespace
}  // namespace kasa
