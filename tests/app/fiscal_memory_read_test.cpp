#include "app/fiscal_memory_read.h"

#include <gtest/gtest.h>

#include "../sim/register_fixture.h"
#include "support/recording_ui.h"

namespace kasa {
namespace {

using sim::RegisterType;

class FiscalRead : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(f.Connect(RegisterType::Zen));
        f.ecr.modelCode = 1;
    }
    FiscalReadResult Read(int first, int last, int abortAfter = 0) {
        titles.clear();
        return ReadFiscalMemory(f.ecr, ui, {first, last, "", "Program"}, abort,
                                [&](const std::vector<std::string>& lines) {
                                    titles.push_back(lines.front());
                                    abort = abortAfter > 0 && --abortAfter == 0;
                                });
    }
    sim::RegisterFixture f;
    testing::RecordingUserInterface ui;
    std::atomic<bool> abort{false};
    std::vector<std::string> titles;
};

TEST_F(FiscalRead, DecodesTheDemoMemoryAndPassesOverAFailedRecord) {
    f.reg->SetStatusForRecord('J', 7, 22);  // record 6
    EXPECT_EQ(Read(3, 10), FiscalReadResult::kDone);
    EXPECT_EQ(titles, (std::vector<std::string>{
                          "(3) Obszar kontrolny pamięci.", "(4) Obszar Fiskalizacji.",
                          "(5) Obszar zapisów zmian VAT", "(7) Obszar zapisów zmian VAT",
                          "(8) Zerowanie RAM.", "(9) Zmiana stawki VAT.", "(10) Raport Dobowy."}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(ui.progress.back(), std::make_pair(0, 0));
}

TEST_F(FiscalRead, AnAnswerThatIsNoRecordFailsThatRecordOnly) {
    const std::string record(128, 'A');  // 64 bytes of 0xAA
    const std::pair<std::string, char> answers[] = {
        {record.substr(0, 100), 0}, {"ZZ" + record.substr(2), 0}, {record, 'k'}};
    for (const auto& [data, letter] : answers) {
        f.reg->ReplaceNextData(data, letter);
        EXPECT_EQ(Read(8, 9), FiscalReadResult::kDone);
        EXPECT_EQ(titles, std::vector<std::string>{"(9) Zmiana stawki VAT."}) << data;
    }
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(FiscalRead, AbortStopsAfterTheCurrentRecord) {
    f.reg->ClearReceived();
    EXPECT_EQ(Read(10, 40, 2), FiscalReadResult::kAborted);
    EXPECT_EQ(titles.size(), 2u);
    EXPECT_EQ(f.reg->ReceivedPayloads().size(), 2u);
}

TEST_F(FiscalRead, SilentRegisterEndsTheReadWithTheTransmissionError) {
    f.ecr.answerTimeout = 200;
    f.reg->Stop();
    EXPECT_EQ(Read(0, 2047), FiscalReadResult::kFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, f.ecr.TransmissionErrorText());
}

}  // namespace
}  // namespace kasa
