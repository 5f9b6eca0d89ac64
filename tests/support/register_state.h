// The virtual register's state read or changed from a test, under the register's lock as
// its own thread would take it.
#pragma once

#include "sim/virtual_register.h"

namespace kasa::testing {

template <class Use>
void WithState(sim::VirtualRegister& reg, Use use) {
    auto lock = reg.Lock();
    use(reg.State());
}

}  // namespace kasa::testing
