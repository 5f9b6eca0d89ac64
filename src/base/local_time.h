// The local calendar time of a moment, safe to call from any thread.
#pragma once

#include <ctime>

namespace kasa {

std::tm LocalTimeOf(std::time_t when);

}  // namespace kasa
