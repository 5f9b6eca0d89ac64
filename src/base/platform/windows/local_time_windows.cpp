#include "base/local_time.h"

namespace kasa {

std::tm LocalTimeOf(std::time_t when) {
    std::tm local{};
    localtime_s(&local, &when);
    return local;
}

}  // namespace kasa
