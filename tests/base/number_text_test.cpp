// Number texts that must read and print the same whatever the C locale says.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <optional>
#include <string>

#include "base/number_text.h"
#include "comm/ibuffer.h"

namespace kasa {
namespace {

TEST(NumberText, DecimalAndHex) {
    EXPECT_EQ(DecimalText(0), "0");
    EXPECT_EQ(DecimalText(-42), "-42");
    EXPECT_EQ(HexText(0xabc, 0), "ABC");
    EXPECT_EQ(HexText(0xabc, 6), "000ABC");
    EXPECT_EQ(HexText(0x12345, 2), "12345");  // never cut
}

TEST(NumberText, CountTakesThePolishFormOfItsNumber) {
    const std::pair<int64_t, const char*> cases[] = {
        {0, "0 stron"},    {1, "1 stronę"},    {2, "2 strony"},    {4, "4 strony"},
        {5, "5 stron"},    {12, "12 stron"},   {14, "14 stron"},   {21, "21 stron"},
        {22, "22 strony"}, {112, "112 stron"}, {124, "124 strony"}};
    for (const auto& [n, text] : cases) {
        EXPECT_EQ(CountText(n, "stronę", "strony", "stron"), text) << n;
    }
}

TEST(NumberText, FormatDoubleTakesOneValueOnly) {
    EXPECT_EQ(FormatDouble("%.2f zl %.2f", 4.0), "4.00 zl ");
    EXPECT_EQ(FormatDouble("bez liczby", 4.0), "bez liczby");
}

TEST(NumberText, FormatDoubleAgreesWithPrintfInTheCLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const char* formats[] = {"%f",    "%.2f",   "%10.3f",  "%-10.1f", "%+e",
                             "%.0f",  "%g",     "%.3g",    "%012.4f", "% .2f",
                             "%.10f", "%12.4E", "%.0lf%%", "%+.1f",   "%-8.2f|"};
    const double values[] = {0.0,      -0.0,     1.5,   2.675,         0.125, 1e10,
                             -123.456, 0.000123, 1e-10, 123456789.987, 1e300, -7.0};
    for (const char* format : formats) {
        for (const double value : values) {
            char expected[512];
            std::snprintf(expected, sizeof expected, format, value);
            EXPECT_EQ(FormatDouble(format, value), expected) << format << " " << value;
        }
    }
}

TEST(NumberText, HugePrecisionIsNotCutShort) {
    const std::string text = FormatDouble("%.400f", 1e300);
    EXPECT_EQ(text.size(), 301u + 1u + 400u);
    EXPECT_EQ(text.substr(0, 2), "10");
    const std::string silly = FormatDouble("%.99999999999999999999f", 0.5);
    EXPECT_EQ(silly.substr(0, 4), "0.50");
}

TEST(NumberText, ParseDouble) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.5", 1.5},       {" -2.5e1x", -25.0},   {"+.5", 0.5},          {"1,5", 1.0},
        {"7", 7.0},         {"+-5", std::nullopt}, {"-+5", std::nullopt}, {"abc", std::nullopt},
        {"", std::nullopt}, {"-", std::nullopt},   {".", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> value = ParseDouble(c.text);
        ASSERT_EQ(value.has_value(), c.value.has_value()) << c.text;
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value) << c.text;
        }
    }
}

TEST(NumberText, PrintableText) {
    EXPECT_EQ(PrintableText(std::string("\x1B"
                                        "P1\x00",
                                        4)),
              "[x1B]P1[x00]");
}

// Restores the C locale however the test ends.
class CLocaleRestorer {
  public:
    ~CLocaleRestorer() { std::setlocale(LC_ALL, "C"); }
};

struct LocaleResults {
    std::string defaultFloat;
    std::string ownFormat;
    std::string doubleText;
    std::optional<double> pointFloat;
    std::optional<double> commaFloat;
    std::string leftAfterComma;
    std::optional<double> parsed;
    std::optional<double> parsedComma;
};

LocaleResults ResultsUnderCurrentLocale() {
    LocaleResults r;
    iBuffer b;
    r.defaultFloat = b.FormatFloat(1234.5);
    b.SetNumberFormat("%0.2f");
    r.ownFormat = b.FormatFloat(-0.125);
    r.doubleText = FormatDouble("%10.3e", 98765.4321);
    iBuffer point("12.5;");
    r.pointFloat = point.TakeFloat();
    iBuffer comma("3,25;x");
    r.commaFloat = comma.TakeFloat();
    r.leftAfterComma = std::string(comma.View());
    r.parsed = ParseDouble("1.75");
    r.parsedComma = ParseDouble("1,75");
    return r;
}

TEST(NumberTextLocale, PolishLocaleChangesNothing) {
    const CLocaleRestorer restore;
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const LocaleResults c = ResultsUnderCurrentLocale();
    EXPECT_EQ(c.defaultFloat, "1234.500000");
    EXPECT_EQ(c.ownFormat, "-0.12");
    EXPECT_EQ(c.doubleText, " 9.877e+04");
    EXPECT_EQ(c.pointFloat, 12.5);
    EXPECT_EQ(c.commaFloat, 3.25);
    EXPECT_EQ(c.leftAfterComma, "x");
    EXPECT_EQ(c.parsed, 1.75);
    EXPECT_EQ(c.parsedComma, 1.0);

    if (std::setlocale(LC_ALL, "pl_PL.UTF-8") == nullptr) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed";
    }
    char printed[32];
    std::snprintf(printed, sizeof printed, "%.1f", 1.5);
    ASSERT_STREQ(printed, "1,5");  // the locale really does use a comma

    const LocaleResults pl = ResultsUnderCurrentLocale();
    EXPECT_EQ(pl.defaultFloat, c.defaultFloat);
    EXPECT_EQ(pl.ownFormat, c.ownFormat);
    EXPECT_EQ(pl.doubleText, c.doubleText);
    EXPECT_EQ(pl.pointFloat, c.pointFloat);
    EXPECT_EQ(pl.commaFloat, c.commaFloat);
    EXPECT_EQ(pl.leftAfterComma, c.leftAfterComma);
    EXPECT_EQ(pl.parsed, c.parsed);
    EXPECT_EQ(pl.parsedComma, c.parsedComma);
}

}  // namespace
}  // namespace kasa
