#include "seq/compile_clock.h"
#include "base/local_time.h"

#include <ctime>

namespace kasa {

ClockReading LocalClockNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm local = LocalTimeOf(now);
    ClockReading reading;
    reading.year = local.tm_year + 1900;
    reading.month = local.tm_mon + 1;
    reading.day = local.tm_mday;
    reading.hour = local.tm_hour;
    reading.minute = local.tm_min;
    return reading;
}

}  // namespace kasa
