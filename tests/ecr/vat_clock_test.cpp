#include <gtest/gtest.h>

#include <memory>

#include "app/communication_session.h"
#include "ecr/clock_settings.h"
#include "ecr/register_session.h"
#include "ecr/vat_totals.h"
#include "sim/virtual_register.h"
#include "support/checked_items.h"
#include "support/recording_ui.h"
#include "support/register_on_pty.h"
#include "support/register_state.h"

namespace kasa {
namespace {

using sim::RegisterType;
using testing::LastItem;
using testing::RegisterOnPty;

TEST(VatTexts, InputAndDisplay) {
    const std::pair<const char*, double> inputs[] = {
        {"nakt", -1}, {"NAKT", -1}, {"Nakt.", -1}, {"zw", -2}, {"ZW.", -2},
        {"8,5", 8.5}, {"23", 23},   {" 5.00", 5},  {"", 0},
    };
    for (const auto& [text, value] : inputs) {
        EXPECT_DOUBLE_EQ(VatRateFromInput(text), value) << text;
    }
    EXPECT_EQ(VatRateText(-1), "nakt");
    EXPECT_EQ(VatRateText(-2), "zw.");
    EXPECT_EQ(VatRateText(23), "23%");
    EXPECT_EQ(VatRateText(0), "0%");
    EXPECT_EQ(TotalText(1234.5), "1234.50 zł");
}

TEST(VatTexts, BackupTakesTheRegistersRatesForEmptyFields) {
    using Rates = std::array<std::string, 7>;
    // A and D typed; B, C, E, F empty or blank take what "W kasie" shows; G was never read.
    const Rates typed = {"22", "", " ", "7,5", "", "", ""};
    const Rates shown = {"23%", "8%", "5%", "0%", "zw.", "nakt", ""};
    EXPECT_EQ(VatRatesToStore(typed, shown), (Rates{"22", "8", "5", "7,5", "zw.", "nakt", ""}));
}

TEST_F(RegisterOnPty, VatRatesGoOutAsBcdWithTheTwoMarkers) {
    Start(RegisterType::Vesper);
    const VatRates rates = {23, 8.5, -1, -2, 0, 5, 8};
    ASSERT_TRUE(WriteVatRates(ecr, 0, rates));
    EXPECT_EQ(ecr.answerTimeout, 1000);  // restored after the write
    const std::string expected("\x00\x23\x50\x08\xff\xff\xfe\xff\x00\x00\x00\x05\x00\x08", 14);
    EXPECT_EQ(BodyOf('Z'), expected);
    VatRates back{};
    ASSERT_TRUE(ReadVatRates(ecr, back));
    EXPECT_EQ(back, rates);
    // Writing the same rates again sends no write.
    reg->ClearReceived();
    ASSERT_TRUE(WriteVatRates(ecr, 0, rates));
    EXPECT_EQ(BodyOf('Z'), "<none>");
}

TEST_F(RegisterOnPty, ProgrammingFromTheEditsAndTheFiscalRefusal) {
    Start(RegisterType::Zen);
    const std::array<std::string, 7> edits = {"23", "8", "5", "0", "zw", "NAKT", "nakt"};
    ASSERT_TRUE(ProgramVatRates(ecr, ui, "Okno", false, false, edits));
    EXPECT_FALSE(ecr.IsOpen());
    testing::WithState(*reg, [](auto& s) {
        EXPECT_EQ(s.vatRates[4], -2);
        EXPECT_EQ(s.vatRates[5], -1);
        s.fiscal = 1;
    });
    // The window refuses on ZEN when the fiscal box is ticked, without sending anything.
    reg->ClearReceived();
    EXPECT_FALSE(ProgramVatRates(ecr, ui, "Okno", false, true, edits));
    EXPECT_EQ(LastItem(ui.messages).text,
              "Programowanie stawek VAT z interfejsu szeregowego\njest możliwe tylko w trybie "
              "niefiskalnym.");
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
    // Without the box the register itself refuses, and that is not success.
    const std::array<std::string, 7> other = {"22", "8", "5", "0", "zw", "NAKT", "nakt"};
    EXPECT_FALSE(ProgramVatRates(ecr, ui, "Okno", false, false, other));
    EXPECT_NE(LastItem(ui.messages).text.find("Operacja niedozwolona w trybie fiskalnym"),
              std::string::npos);
    EXPECT_FALSE(ProgramVatRates(ecr, ui, "Okno", true, false, other));
    EXPECT_EQ(LastItem(ui.messages).text, kBusyMessage);
}

TEST_F(RegisterOnPty, BlankEditsKeepTheRegistersRatesAndUnreadableOnesSendNothing) {
    Start(RegisterType::Zen);
    const std::array<std::string, 7> typed = {"22", "zw", "", " ", "7,5%", "Nakt.", ""};
    ASSERT_TRUE(ProgramVatRates(ecr, ui, "Okno", false, false, typed));
    {
        auto lock = reg->Lock();
        EXPECT_EQ(reg->State().vatRates, (VatRates{22, -2, 5, 0, 7.5, -1, -1}));
    }
    reg->ClearReceived();
    for (const char* bad : {"abc", "12abc", "100", "-3", "1.2.3"}) {
        const std::array<std::string, 7> edits = {"23", "", "", "", "", bad, ""};
        EXPECT_FALSE(ProgramVatRates(ecr, ui, "Okno", false, false, edits)) << bad;
        EXPECT_EQ(LastItem(ui.messages).text.rfind("Stawka VAT F: \"" + std::string(bad) + "\"", 0),
                  0u)
            << LastItem(ui.messages).text;
    }
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
}

TEST_F(RegisterOnPty, TotalsAreZeroKnowsAllThreeAnswers) {
    Start(RegisterType::Vesper);
    EXPECT_EQ(TotalsAreZero(ecr), 1);
    testing::WithState(*reg, [](auto& s) { s.totals[6] = 0.01; });
    EXPECT_EQ(TotalsAreZero(ecr), 0);
    ecr.answerTimeout = 300;
    reg->InjectFault({sim::FaultKind::NoAnswer, 0});
    EXPECT_EQ(TotalsAreZero(ecr), -1);
}

TEST(ClockRules, YearFromTheLastTwoBytes) {
    const uint8_t old[7] = {0x07, 0x09, 0x13, 0x15, 0x03, 0x09, 0x00};
    EXPECT_EQ(ClockFromBytes(old), (ClockValue{2009, 3, 15, 13, 9, 7}));
    const uint8_t full[7] = {0x59, 0x59, 0x23, 0x31, 0x12, 0x26, 0x20};
    EXPECT_EQ(ClockFromBytes(full), (ClockValue{2026, 12, 31, 23, 59, 59}));
    EXPECT_EQ(ClockText(ClockFromBytes(full)), "2026-12-31 23:59:59");
}

TEST(ClockRules, TickCarriesThroughMonthsAndYears) {
    EXPECT_EQ(ClockTick({2008, 2, 28, 23, 59, 59}), (ClockValue{2008, 2, 29, 0, 0, 0}));
    EXPECT_EQ(ClockTick({2009, 2, 28, 23, 59, 59}), (ClockValue{2009, 3, 1, 0, 0, 0}));
    EXPECT_EQ(ClockTick({2008, 4, 30, 23, 59, 59}), (ClockValue{2008, 5, 1, 0, 0, 0}));
    EXPECT_EQ(ClockTick({2008, 12, 31, 23, 59, 59}), (ClockValue{2009, 1, 1, 0, 0, 0}));
    EXPECT_EQ(ClockTick({2008, 1, 31, 10, 59, 59}), (ClockValue{2008, 1, 31, 11, 0, 0}));
}

TEST_F(RegisterOnPty, ClockIsSetWithPackedDigitsAndReadBack) {
    Start(RegisterType::Vesper);
    ASSERT_TRUE(SetClock(ecr, {26, 3, 5, 9, 7, 0}));  // a year below 100 means 20xx
    EXPECT_EQ(BodyOf('Y'), std::string("\x00\x07\x09\x05\x03\x26\x20", 7));
    ClockValue read;
    ASSERT_TRUE(ReadClock(ecr, read));
    EXPECT_EQ(ClockText(read).substr(0, 14), "2026-03-05 09:");
}

TEST_F(RegisterOnPty, ClockProgrammingRefusedInFiscalModeOnZenOnly) {
    Start(RegisterType::Zen);
    const ClockValue now{2026, 12, 6, 12, 0, 0};
    EXPECT_FALSE(ProgramClock(ecr, ui, "Okno", false, true, now));
    EXPECT_EQ(LastItem(ui.messages).text,
              "Programowanie zegara z interfejsu szeregowego\njest możliwe tylko w trybie "
              "niefiskalnym.");
    EXPECT_EQ(BodyOf('Y'), "<none>");
    testing::WithState(*reg, [](auto& s) { s.fiscal = 1; });
    EXPECT_FALSE(SetClock(ecr, now));
    EXPECT_EQ(ecr.statusCode, 26);
}

TEST_F(RegisterOnPty, ClockProgrammingInFiscalModeGoesThroughOnVesper) {
    Start(RegisterType::Vesper);
    testing::WithState(*reg, [](auto& s) { s.fiscal = 1; });
    EXPECT_TRUE(ProgramClock(ecr, ui, "Okno", false, true, {2026, 12, 6, 12, 0, 0}));
    EXPECT_NE(BodyOf('Y'), "<none>");
    EXPECT_TRUE(ui.messages.empty());
}

TEST(RegisterSettings, MappingOfTheFiveLists) {
    struct Case {
        int list1;
        int display, rs, mode;
    };
    const Case cases[] = {{0, 1, 0, 0}, {1, 0, 0, 1}, {2, 1, 1, 2}, {3, 0, 1, 3}};
    for (const auto& c : cases) {
        RegisterSettingsChoice choice;
        choice.errorHandling = c.list1;
        const auto m = MapRegisterSettings(choice);
        EXPECT_EQ(m.display, c.display) << c.list1;
        EXPECT_EQ(m.rs, c.rs) << c.list1;
        EXPECT_EQ(m.mode, c.mode) << c.list1;
        EXPECT_EQ(m.optionBits, 0);
    }
    RegisterSettingsChoice all;
    all.amountEntry = 1;
    all.afterSale = 1;
    all.workMode = 1;
    all.printQuality = 2;  // not sent
    EXPECT_EQ(MapRegisterSettings(all).optionBits, 7);
    all.afterSale = 0;
    EXPECT_EQ(MapRegisterSettings(all).optionBits, 5);
}

TEST_F(RegisterOnPty, RegisterSettingsReachTheRegisterAndTheModeWaitsForTheStop) {
    Start(RegisterType::Vesper);
    RegisterSettingsChoice choice;
    choice.errorHandling = 1;  // display off, RS off: mode 1
    choice.workMode = 1;
    uint8_t flags[2] = {9, 9};
    ASSERT_TRUE(SendRegisterSettings(ecr, ui, "Ustawienia Kasy", false, choice, flags));
    EXPECT_EQ(flags[0], 0);
    EXPECT_EQ(flags[1], 0);
    // Not yet the mode: it goes out at the stop.
    testing::WithState(*reg, [](auto& s) {
        EXPECT_EQ(s.optionBits, 4);
        EXPECT_EQ(s.mode, 3);
    });
    StopKomunikacji(ecr);
    testing::WithState(*reg, [](auto& s) {
        EXPECT_EQ(s.mode, 1);
        EXPECT_TRUE(s.endFrameSeen);
    });
    EXPECT_FALSE(SendRegisterSettings(ecr, ui, "Ustawienia Kasy", true, choice, flags));
    EXPECT_EQ(LastItem(ui.messages).title, "Ustawienia Kasy");
}

}  // namespace
}  // namespace kasa
