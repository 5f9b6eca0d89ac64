// A paced register sends no faster than its baud rate allows.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "sim/register_fixture.h"

namespace kasa::sim {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(Pacing, AnAnswerTakesAtLeastItsWireTimeAt9600Baud) {
    RegisterFixture f;
    ASSERT_TRUE(f.Connect(RegisterType::Vesper, true, 9600));
    ASSERT_TRUE(f.Send("N"));
    // The status record of that answer may follow the exchange: the count starts once the
    // line has been quiet for a while.
    for (uint64_t seen = ~0ull; seen != f.reg->WireBytes();) {
        seen = f.reg->WireBytes();
        std::this_thread::sleep_for(100ms);
    }
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
    // Request "1;0;7H" framed: 2 + 6 + 2 + 2 = 12 bytes. Answer: the goods record is 50
    // bytes, so "1;0;7h" and 100 digits framed are 112 bytes, then "1;0" framed is 9.
    // The status record may still be on its way when the exchange returns with the data,
    // so the count is taken once it has crossed (or the wait gives up).
    constexpr uint64_t kExpected = 12u + 112u + 9u;
    for (const auto until = Clock::now() + 2s;
         f.reg->WireBytes() < kExpected && Clock::now() < until;) {
        std::this_thread::sleep_for(5ms);
    }
    f.reg->Stop();
    EXPECT_EQ(f.reg->WireBytes(), kExpected);
}

}  // namespace
}  // namespace kasa::sim
