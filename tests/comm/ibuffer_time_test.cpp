// Timestamps of log lines and elapsed times across midnight.
#include <gtest/gtest.h>

#include <ctime>
#include <regex>
#include <string>

#include "base/local_time.h"
#include "comm/ibuffer.h"

namespace kasa {
namespace {

TEST(IBufferTime, TimestampIsAppendedInTheLogFormat) {
    iBuffer b("LOG ");
    b.AppendTimestamp();
    const std::string text(b.View());
    std::smatch m;
    ASSERT_TRUE(std::regex_match(
        text, m, std::regex(R"(LOG (\d{4})\.(\d{2})\.(\d{2}) (\d{2}):(\d{2}):(\d{2})\.(\d{3}))")))
        << text;
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    EXPECT_NEAR(std::stoi(m[1]), local.tm_year + 1900, 1);
    EXPECT_LE(std::stoi(m[2]), 12);
}

TEST(IBufferTime, MillisecondsOfDayStayWithinOneDay) {
    const int32_t ms = iBuffer::MillisecondsOfDay();
    EXPECT_GE(ms, 0);
    EXPECT_LT(ms, 86400000);
    const int32_t elapsed = iBuffer::ElapsedMilliseconds(ms);
    EXPECT_GE(elapsed, 0);
    EXPECT_LT(elapsed, 5000);
}

TEST(IBufferTime, ElapsedMillisecondsWrapsOnceOverMidnight) {
    struct Case {
        int32_t start;
        int32_t now;
        int32_t elapsed;
    };
    const Case cases[] = {
        {1000, 5000, 4000},
        {0, 0, 0},
        {86399000, 500, 1500},
        {86399999, 0, 1},
        {43200000, 43199999, 86399999},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(iBuffer::ElapsedMilliseconds(c.start, c.now), c.elapsed)
            << c.start << " -> " << c.now;
    }
}

}  // namespace
}  // namespace kasa
