#include "base/local_time.h"

namespace kasa {

std::tm LocalTimeOf(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return local;
}

}  // namespace kasa
