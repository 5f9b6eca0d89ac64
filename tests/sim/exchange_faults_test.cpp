// The program's exchange against the virtual register, with the register's faults.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "ecr/clock_settings.h"
#include "ecr/database_commands.h"
#include "ecr/vat_totals.h"
#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class ExchangeFaults : public ::testing::Test, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(RegisterType::Vesper)); }

    // Lets an answer that came too late arrive and throws it away, as reopening the
    // communication does.
    void DropLateBytes(std::chrono::milliseconds wait) {
        std::this_thread::sleep_for(wait);
        ecr.CloseTransmission();
        ASSERT_TRUE(ecr.InitTransmission());
    }
};

struct FailedExchangeCase {
    const char* name;
    Fault fault;
    const char* logged;  // the reason, which only the protocol log tells; null for none
};

class FailedExchange : public ::testing::TestWithParam<FailedExchangeCase>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(RegisterType::Zen)); }
};

TEST_P(FailedExchange, KeepsTheNumberAndSaysThereWasNoAnswer) {
    ecr.answerTimeout = 300;
    ecr.requestNumber = 41;
    reg->InjectFault(GetParam().fault);
    EXPECT_FALSE(Send(";0;7H"));
    EXPECT_EQ(ecr.statusCode, -1);
    EXPECT_EQ(ecr.LastErrorText(), kNoAnswerText);
    EXPECT_EQ(ecr.requestNumber, 41);
    if (GetParam().logged != nullptr) {
        EXPECT_TRUE(LogHas(GetParam().logged)) << GetParam().logged;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailedExchange,
    ::testing::Values(
        FailedExchangeCase{"NoAnswer", {FaultKind::NoAnswer, 0}, ">Pusty rekord."},
        FailedExchangeCase{"BadChecksum", {FaultKind::BadChecksum, 0}, ">Zła suma kontrolna."},
        // The line is gone: the port reports it before anything is logged.
        FailedExchangeCase{"CloseMidAnswer", {FaultKind::CloseMidAnswer, 0}, nullptr}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(ExchangeFaults, StatusThatNeverComesLeavesTheDataAndNoStatus) {
    ecr.answerTimeout = 200;
    reg->InjectFault({FaultKind::SplitAnswer, 600});
    ASSERT_TRUE(Send("^"));
    EXPECT_EQ(ecr.answerBuffer.View(), "VESPER/3/0214/2.15");
    EXPECT_EQ(ecr.statusCode, -1);
    EXPECT_EQ(ecr.requestNumber, 1);
    DropLateBytes(600ms);
    ASSERT_TRUE(Send("N"));
    EXPECT_EQ(ecr.statusCode, 0);
}

TEST(StatusOnlyAnswer, FailsEveryDataReadAfterAGoodOne) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Zen));
    RegisterStatus status;
    ClockValue clock;
    VatRates rates{};
    TotalsRecord totals;
    PluRecord plu;
    const std::vector<std::pair<char, std::function<bool()>>> reads = {
        {'N', [&] { return ReadStatus(f.ecr, status); }},
        {'^', [&] { return f.ecr.Identify(); }},
        {'L', [&] { return ReadClock(f.ecr, clock); }},
        {'O', [&] { return ReadVatRates(f.ecr, rates); }},
        {'I', [&] { return ReadTotals(f.ecr, totals); }},
        {'J', [&] { return f.ecr.ReadFiscalIds(); }},
        {'H', [&] { return ReadBaseRecord(f.ecr, 2, plu); }},
    };
    for (const auto& [letter, read] : reads) {
        ASSERT_TRUE(read()) << letter;
        f.reg->SetStatusFor(letter, 24);
        EXPECT_FALSE(read()) << letter;
        EXPECT_EQ(f.ecr.statusCode, 24) << letter;
        f.reg->ClearStatusFor(letter);
    }
}

// The register that ignores writes confirms them with 0 and keeps its records; reads
// between them are answered as usual and do not use the fault up.
TEST_F(ExchangeFaults, IgnoredWriteIsConfirmedAndKeepsTheRecord) {
    reg->InjectFault({FaultKind::IgnoreWrite, 0, 0, 0, 2});
    PluRecord record;
    ASSERT_TRUE(ReadBaseRecord(ecr, 2, record));
    ASSERT_EQ(record.name, "Masło ekstra");
    record.name = "Masło zwykłe";
    EXPECT_TRUE(WriteBaseRecord(ecr, 2, record));  // the first write is done
    record.name = "Masło inne";
    EXPECT_TRUE(WriteBaseRecord(ecr, 2, record));  // the second is ignored
    EXPECT_EQ(ecr.statusCode, 0);
    PluRecord read;
    ASSERT_TRUE(ReadBaseRecord(ecr, 2, read));
    EXPECT_EQ(read.name, "Masło zwykłe");
    VatRates rates{};
    ASSERT_TRUE(ReadVatRates(ecr, rates));
    reg->InjectFault({FaultKind::IgnoreWrite});
    VatRates changed = rates;
    changed[0] = 22;
    EXPECT_TRUE(WriteVatRates(ecr, 0, changed));
    VatRates after{};
    ASSERT_TRUE(ReadVatRates(ecr, after));
    EXPECT_EQ(after, rates);
}

TEST_F(ExchangeFaults, LateAnswerWithinTheTimeout) {
    ecr.answerTimeout = 1000;
    reg->InjectFault({FaultKind::LateAnswer, 400});
    const auto start = Clock::now();
    ASSERT_TRUE(Send("N"));
    EXPECT_GE(Clock::now() - start, 400ms);
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), 'n');
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.requestNumber, 1);
}

TEST_F(ExchangeFaults, AnswerThatCameTooLateIsNotTakenForTheNextOne) {
    // The late answer carries the number the next request reuses; it must be thrown away,
    // not read as the next record.
    ecr.answerTimeout = 200;
    reg->InjectFault({FaultKind::LateAnswer, 400});
    PluRecord first;
    EXPECT_FALSE(ReadBaseRecord(ecr, 1, first));
    std::this_thread::sleep_for(500ms);  // the late answer is now waiting on the line
    ecr.answerTimeout = 1000;
    PluRecord second;
    ASSERT_TRUE(ReadBaseRecord(ecr, 2, second));
    EXPECT_EQ(second.name, "Masło ekstra");
    PluRecord third;
    ASSERT_TRUE(ReadBaseRecord(ecr, 3, third));
    EXPECT_EQ(third.name, "Mleko 3,2% 1l");
}

struct ChosenStatusCase {
    char command;
    const char* header;
    int code;
    const char* text;
};

class ChosenStatus : public ::testing::TestWithParam<ChosenStatusCase>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(RegisterType::Vesper)); }
};

TEST_P(ChosenStatus, IsReportedWithItsText) {
    const auto& c = GetParam();
    reg->SetStatusFor(c.command, c.code);
    ASSERT_TRUE(Send(c.header));
    EXPECT_EQ(ecr.statusCode, c.code);
    EXPECT_TRUE(ecr.answerBuffer.Empty());
    EXPECT_EQ(ecr.LastErrorText(), c.text);
    // Other commands are not touched, and the command itself recovers when cleared.
    ASSERT_TRUE(Send("^"));
    EXPECT_EQ(ecr.statusCode, 0);
    reg->ClearStatusFor(c.command);
    ASSERT_TRUE(Send(c.header));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.LastErrorText(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ChosenStatus,
    ::testing::Values(ChosenStatusCase{'N', "N", 31, "Operacja niemożliwa w trybie fiskalnym"},
                      ChosenStatusCase{'H', ";0;7H", 78, "Towar nie istnieje w kasie"},
                      ChosenStatusCase{'H', ";3;0H", 27,
                                       "Niezerowe totalizery. Wykonaj raport dobowy"}));

}  // namespace
}  // namespace kasa::sim
