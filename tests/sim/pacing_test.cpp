// A paced register sends no faster than its baud rate allows.
#include <gtest/gtest.h>

#include <chrono>

#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(Pacing, AnAnswerTakesAtLeastItsWireTimeAt9600Baud) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Vesper, true, 9600));
    ASSERT_TRUE(f.Send("N"));  // the line is settled before the measured request
    f.reg->ClearWireBytes();
    const auto start = Clock::now();
    ASSERT_TRUE(f.Send(";0;7H"));
    const auto elapsed = Clock::now() - start;
    // The whole record came: "0;7h" and the 100 digits of its 50 bytes.
    EXPECT_EQ(f.ecr.answerBuffer.View().substr(0, 4), "0;7h");
    EXPECT_EQ(f.ecr.answerBuffer.Length(), 4 + 100);
    EXPECT_EQ(f.ecr.statusCode, 0);
    // At 10 bits a byte the request takes 12.5 ms and the 121 bytes of answer 126 ms; a
    // paced line can be slower under load, never faster.
    EXPECT_GE(elapsed, 138ms);
    // The register counts a slice once its write is done, which may be after the program
    // already took it: only a stopped register has counted every byte.
    f.reg->Stop();
    // Request "1;0;7H" framed: 2 + 6 + 2 + 2 = 12 bytes. Answer: the goods record is 50
    // bytes, so "1;0;7h" and 100 digits framed are 112 bytes, then "1;0" framed is 9.
    EXPECT_EQ(f.reg->WireBytes(), 12u + 112u + 9u);
}

}  // namespace
}  // namespace kasa::sim
