// The receipt header on the line: the bytes of both wire forms, worked out by hand, the
// flags read back, the register's refusal of a fiscal ZEN and the page's two operations.
#include <gtest/gtest.h>

#include <string>

#include "app/header_commands.h"
#include "ecr/header.h"
#include "ecr/vat_totals.h"
#include "sim/register_state.h"
#include "support/checked_items.h"
#include "support/register_on_pty.h"
#include "support/register_state.h"

namespace kasa {
namespace {

using sim::RegisterType;
using testing::LastItem;
using testing::RegisterOnPty;

HeaderLines LinesOf(std::initializer_list<HeaderLine> given) {
    HeaderLines lines{};
    std::copy(given.begin(), given.end(), lines.begin());
    return lines;
}

TEST_F(RegisterOnPty, VesperSendsTheLinesUpToTheLastFilledOneThen26) {
    Start(RegisterType::Vesper);
    // Line 1 heavy and double height, so its text follows 14 and 25.
    ASSERT_TRUE(WriteHeader(ecr, LinesOf({{"Sklep", false, true, true}})));
    EXPECT_EQ(BodyOf('X'), std::string("\x0e\x19Sklep\n\x1a"));
    EXPECT_EQ(ecr.statusCode, 0);
    reg->ClearReceived();
    ASSERT_TRUE(WriteHeader(ecr, HeaderLines{}));
    EXPECT_EQ(BodyOf('X'), "\x1a");
    testing::WithState(*reg, [](auto& s) { EXPECT_EQ(s.header[0].text, ""); });
}

TEST_F(RegisterOnPty, ZenSendsEightCarriageReturnLinesThen13) {
    Start(RegisterType::Zen);
    ASSERT_TRUE(WriteHeader(ecr, LinesOf({{"AB"}, {"CD"}, {""}, {"EF"}})));
    const std::string spaces(18, ' ');
    const std::string fill(19, '\xff');
    // An empty line after a filled one is a carriage return and 19 fills; after a fill,
    // 20 fills.
    const std::string expected = "AB" + spaces + "CD" + spaces + "\r" + fill + "EF" + spaces +
                                 "\r" + fill + std::string(60, '\xff') + "\r";
    EXPECT_EQ(BodyOf('X'), expected);
    testing::WithState(*reg, [](auto& s) {
        EXPECT_EQ(s.header[1].text, "CD");
        EXPECT_EQ(s.header[2].text, "");
        EXPECT_EQ(s.header[3].text, "EF");
    });
}

TEST_F(RegisterOnPty, ReadingTakesTheControlBytesInAnyOrderAndTheLeadingSpace) {
    Start(RegisterType::Vesper);
    testing::WithState(*reg, [](auto& s) {
        s.header[0] = {
            "\x19\x0e"
            "ABC",
            false, false};
        s.header[1] = {"  u nas", false, false};
    });
    HeaderLines lines{};
    ASSERT_TRUE(ReadHeader(ecr, lines));
    EXPECT_EQ(lines[0], (HeaderLine{"ABC", false, true, true}));
    EXPECT_EQ(lines[1], (HeaderLine{"  u nas", true, false, false}));
}

TEST_F(RegisterOnPty, ReadThenProgrammedKeepsEveryLineInItsPlace) {
    for (const RegisterType type : {RegisterType::Vesper, RegisterType::Zen}) {
        Start(type);
        const RegisterModel& model = type == RegisterType::Zen ? ZenModel() : VesperModel();
        std::array<sim::SimHeaderLine, 8> before;
        testing::WithState(*reg, [&](auto& s) { before = s.header; });
        HeaderLines lines{};
        ASSERT_TRUE(ReadHeaderIntoLines(ecr, ui, "Okno", false, lines));
        EXPECT_FALSE(ecr.IsOpen());
        EXPECT_EQ(lines[0].text, "SKLEP SPOŻYWCZY");
        Settings settings;
        ValidationOutcome validation;
        ASSERT_TRUE(
            ProgramHeader(ecr, ui, "Okno", model, settings, false, false, lines, validation))
            << (ui.messages.empty() ? "" : ui.messages.back().text);
        EXPECT_FALSE(ecr.IsOpen());
        testing::WithState(*reg, [&](auto& s) {
            for (size_t i = 0; i < before.size(); ++i) {
                EXPECT_EQ(s.header[i].text, before[i].text) << i;
                EXPECT_EQ(s.header[i].heavy, before[i].heavy && type == RegisterType::Vesper);
                EXPECT_EQ(s.header[i].doubleHeight,
                          before[i].doubleHeight && type == RegisterType::Vesper);
            }
        });
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegisterOnPty, AFiscalZenIsRefusedBeforeSendingAndByTheRegister) {
    Start(RegisterType::Zen);
    testing::WithState(*reg, [](auto& s) { s.fiscal = 1; });
    const HeaderLines lines = LinesOf({{"Nowy"}});
    Settings settings;
    ValidationOutcome validation;
    EXPECT_FALSE(
        ProgramHeader(ecr, ui, "Okno", ZenModel(), settings, false, true, lines, validation));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Okno");
    EXPECT_EQ(ui.messages[0].text, kHeaderFiscalRefusal);
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
    // Without the box ticked the register itself refuses, and that is no success.
    EXPECT_FALSE(
        ProgramHeader(ecr, ui, "Okno", ZenModel(), settings, false, false, lines, validation));
    EXPECT_EQ(LastItem(ui.messages).text,
              "Podczas transmisji wykryto błąd.\nOperacja niedozwolona w trybie fiskalnym\n");
    testing::WithState(*reg, [](auto& s) { EXPECT_EQ(s.header[0].text, "SKLEP SPOŻYWCZY"); });
    EXPECT_FALSE(
        ProgramHeader(ecr, ui, "Okno", VesperModel(), settings, true, false, lines, validation));
    EXPECT_EQ(LastItem(ui.messages).text, kBusyMessage);
}

TEST_F(RegisterOnPty, AFailedReadIsToldAndKeepsTheLines) {
    Start(RegisterType::Vesper);
    ecr.answerTimeout = 200;
    reg->InjectFault({sim::FaultKind::NoAnswer, 0});
    HeaderLines lines = LinesOf({{"Stary"}});
    EXPECT_FALSE(ReadHeaderIntoLines(ecr, ui, "Okno", false, lines));
    EXPECT_EQ(LastItem(ui.messages).text, kHeaderReadFailedMessage);
    EXPECT_EQ(lines[0].text, "Stary");
    EXPECT_FALSE(ReadHeaderIntoLines(ecr, ui, "Okno", true, lines));
    EXPECT_EQ(LastItem(ui.messages).text, kBusyMessage);
    // A register not identified is not asked: the answer's form depends on its model.
    ecr.modelCode = 0;
    reg->ClearReceived();
    EXPECT_FALSE(ReadHeaderIntoLines(ecr, ui, "Okno", false, lines));
    EXPECT_EQ(LastItem(ui.messages).text, kHeaderReadFailedMessage);
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
    EXPECT_EQ(lines[0].text, "Stary");
}

TEST(VirtualRegisterHeader, AMalformedWriteChangesNothing) {
    sim::RegisterState state(RegisterType::Vesper, true);
    const std::string bodies[] = {
        std::string("Sklep\n"),                    // no closing 26
        std::string("a\nb\nc\nd\ne\nf\ng\n\x1a"),  // seven lines
        std::string("Sklep\n\x1a\x1a"),            // bytes after the end
    };
    for (const std::string& body : bodies) {
        sim::ParsedRequest request;
        request.command = 'X';
        request.body = body;
        EXPECT_EQ(state.Handle(request).status, 23) << body;
        EXPECT_EQ(state.header[0].text, "SKLEP SPOŻYWCZY");
    }
}

}  // namespace
}  // namespace kasa
