#include "tables/header_rules.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

TEST(HeaderRules, WidthFollowsTheModelAndTheHeavyBox) {
    const std::string twentyFive(25, 'x');
    EXPECT_FALSE(HeaderLineTooLong(VesperModel(), {twentyFive}));
    // Heavy characters halve a VESPER line to 20.
    EXPECT_TRUE(HeaderLineTooLong(VesperModel(), {twentyFive, false, false, true}));
    EXPECT_FALSE(HeaderLineTooLong(VesperModel(), {std::string(20, 'x'), false, false, true}));
    // A ZEN line holds 20 characters, heavy or not; Polish letters count once.
    EXPECT_TRUE(HeaderLineTooLong(ZenModel(), {std::string(21, 'x')}));
    EXPECT_FALSE(HeaderLineTooLong(ZenModel(), {"Łódź" + std::string(16, 'x')}));
    EXPECT_EQ(HeaderLineWidth(ZenModel(), {"", false, false, true}), 20);
}

TEST(HeaderRules, TotalCountsTheModelsLinesInCharacters) {
    HeaderLines lines{};
    lines[0].text = "Żółć";
    lines[5].text = "ab";
    lines[7].text = "xyz";  // no eighth line on VESPER
    EXPECT_EQ(HeaderCharacterTotal(VesperModel(), lines), 6);
    EXPECT_EQ(HeaderCharacterTotal(ZenModel(), lines), 9);
}

TEST(HeaderRules, FormatHintsNameTheLineAndItsWidth) {
    EXPECT_EQ(HeaderFormatHint(1, 40),
              "Wprowadzanie pierwszej linii nagłówka.\nNagłówek może mieć 40 znaków.");
    EXPECT_EQ(HeaderFormatHint(5, 20),
              "Wprowadzanie piątej linii nagłówka.\nNagłówek może mieć 20 znaków.");
    EXPECT_EQ(HeaderFormatHint(6, 20).rfind("Wprowadzanie szóstej linii", 0), 0u);
    EXPECT_EQ(HeaderFormatHint(7, 20), "");
}

TEST(HeaderRules, ABoxClickCentresOnlyByTheCentringBox) {
    // VESPER: the double-height and heavy boxes leave the text as it is.
    EXPECT_EQ(
        HeaderTextAfterClick(VesperModel(), {"  ab ", true, true, false}, HeaderBox::kDoubleHeight),
        "  ab ");
    EXPECT_EQ(HeaderTextAfterClick(VesperModel(), {"  ab ", true, false, true}, HeaderBox::kCentre),
              std::string(8, ' ') + "ab ");
    // Other types trim on any box, and centre only when the centring box is ticked.
    EXPECT_EQ(
        HeaderTextAfterClick(ZenModel(), {"  ab ", false, true, false}, HeaderBox::kDoubleHeight),
        "ab");
    EXPECT_EQ(HeaderTextAfterClick(ZenModel(), {" ab", true, false, false}, HeaderBox::kHeavy),
              std::string(9, ' ') + "ab");
}

}  // namespace
}  // namespace kasa
