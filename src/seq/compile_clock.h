// The clock the sequence compiler reads its date words from; tests pass a fixed one.
#pragma once

#include <functional>

namespace kasa {

struct ClockReading {
    int year = 2000;  // four digits
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;     // 0..23
    int minute = 0;   // 0..59
};

using CompileClock = std::function<ClockReading()>;

// The local date and time now.
ClockReading LocalClockNow();

}  // namespace kasa
