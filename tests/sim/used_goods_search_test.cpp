// The used-goods search "]" and the rule that a short answer of one number is a status:
// no data answer of the register may ever look like one.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "comm/fastcom.h"
#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using Clock = std::chrono::steady_clock;

class UsedGoodsSearch : public ::testing::TestWithParam<RegisterType>, public RegisterFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(Connect(GetParam())); }
};

TEST_P(UsedGoodsSearch, ARecordInUseComesWithItsFields) {
    ASSERT_TRUE(Send(";0]"));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.answerBuffer.TakeInteger(), 0);
    EXPECT_EQ(ecr.answerBuffer.TakeInteger(), 7);
    ASSERT_EQ(ecr.answerBuffer.LastSeparator(), '}');
    EXPECT_GT(ecr.answerBuffer.Length(), 10);
    PluRecord plu;
    ASSERT_TRUE(plu.Decode(ecr.answerBuffer, layout, 1));
    EXPECT_EQ(plu.name, "Chleb żytni");
    EXPECT_TRUE(ecr.answerBuffer.Empty());
}

TEST_P(UsedGoodsSearch, ARecordNotInUseIsTheTwoNumbersAlone) {
    ASSERT_TRUE(Send(";20]"));
    EXPECT_EQ(ecr.statusCode, 0);
    EXPECT_EQ(ecr.answerBuffer.View(), "20;7}");
    // Deleting a record takes it out of use.
    ASSERT_TRUE(Send(";1V"));
    ASSERT_EQ(ecr.statusCode, 0);
    ASSERT_TRUE(Send(";1]"));
    EXPECT_EQ(ecr.answerBuffer.View(), "1;7}");
}

TEST_P(UsedGoodsSearch, NoDataAnswerPassesForAStatus) {
    // An empty goods database: every answer is the shortest the search gives, for
    // indexes of one, two, three and four digits.
    RegisterFixture empty;
    ASSERT_TRUE(empty.Connect(GetParam(), false));
    for (int index = 0; index < 1200; index += index < 300 ? 1 : 97) {
        const std::string expected = std::to_string(index) + ";7}";
        ASSERT_TRUE(empty.Send(";" + std::to_string(index) + "]")) << index;
        ASSERT_EQ(empty.ecr.answerBuffer.View(), expected);
        ASSERT_EQ(empty.ecr.statusCode, 0) << index;
    }
    // The other data answers the register gives, on both the demo and the empty register.
    for (RegisterFixture* f : {static_cast<RegisterFixture*>(this), &empty}) {
        for (const char* header :
             {"N", "^", ";0;0H", ";0;1H", ";0;2H", ";0;4H", ";0;5H", ";0;7H", ";7;1H", ";3;5H"}) {
            ASSERT_TRUE(f->Send(header)) << header;
            EXPECT_FALSE(f->ecr.answerBuffer.Empty()) << header;
            EXPECT_EQ(f->ecr.statusCode, 0) << header;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothTypes, UsedGoodsSearch,
                         ::testing::Values(RegisterType::Zen, RegisterType::Vesper));

TEST(UsedGoodsSearchBytes, AnswerFramesWorkedOutByHand) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Vesper, false));
    f.ecr.CloseTransmission();
    FastCom port;
    ASSERT_TRUE(port.Open(f.reg->PortPath(), 1));
    iBuffer request;
    request.Append("\x1bP0;5]9C\x1b\\");  // FF^30^3B^35^5D = 9C
    ASSERT_TRUE(port.Write(request));
    // "0;5;7}": FF^30^3B^35^3B^37^7D = B0; then the status "0;0" with C4.
    const std::string expected = "\x1bP0;5;7}B0\x1b\\\x1bP0;0C4\x1b\\";
    std::string received;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (received.size() < expected.size() && Clock::now() < deadline) {
        iBuffer in;
        ASSERT_TRUE(port.Receive(in, 500, "\x1b\\"));
        received += std::string(in.View());
    }
    EXPECT_EQ(received, expected);
}

}  // namespace
}  // namespace kasa::sim
