// A paced register sends no faster than its baud rate allows.
#include <gtest/gtest.h>

#include <chrono>

#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(Pacing, AnAnswerTakesItsWireTimeAt9600Baud) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Vesper, true, 9600));
    ASSERT_TRUE(f.Send("N"));  // the line is settled before the measured request
    f.reg->ClearWireBytes();
    const auto start = Clock::now();
    ASSERT_TRUE(f.Send(";0;7H"));
    const auto elapsed = Clock::now() - start;
    // Request "1;0;7H" framed: 2 + 6 + 2 + 2 = 12 bytes. Answer: the goods record is 50
    // bytes, so "1;0;7h" and 100 digits framed are 112 bytes, then "1;0" framed is 9.
    EXPECT_EQ(f.reg->WireBytes(), 12u + 112u + 9u);
    // At 10 bits a byte the request takes 12.5 ms and the 121 bytes of answer 126 ms.
    EXPECT_GE(elapsed, 138ms);
    EXPECT_LT(elapsed, 2000ms);
    EXPECT_EQ(f.ecr.statusCode, 0);
}

TEST(Pacing, UnpacedIsFarFaster) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Vesper, true, 0));
    ASSERT_TRUE(f.Send("N"));
    const auto start = Clock::now();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(f.Send(";0;7H"));
    }
    // Ten paced answers would take over a second.
    EXPECT_LT(Clock::now() - start, 1000ms);
}

}  // namespace
}  // namespace kasa::sim
