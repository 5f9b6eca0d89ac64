// The virtual register's state read or changed from a test, under the register's lock as
// its own thread would take it.
#pragma once

#include <string>

#include "sim/virtual_register.h"

namespace kasa::testing {

template <class Use>
void WithState(sim::VirtualRegister& reg, Use use) {
    auto lock = reg.Lock();
    use(reg.State());
}

// Requests the register received whose command letter (after the number and the
// parameters) is `letter`.
inline int CountRequests(const sim::VirtualRegister& reg, char letter) {
    int count = 0;
    for (const std::string& payload : reg.ReceivedPayloads()) {
        const size_t at = payload.find_first_not_of("0123456789;");
        count += at != std::string::npos && payload[at] == letter ? 1 : 0;
    }
    return count;
}

}  // namespace kasa::testing
