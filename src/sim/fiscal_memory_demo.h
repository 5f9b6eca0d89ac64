// The virtual ZEN's fiscal memory: 2048 records of 64 bytes, filled for the demo shop with
// the control area, a VAT rate change, RAM resets and the daily reports of the last weeks.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <vector>

namespace kasa::sim {

using FiscalMemoryRecord = std::array<uint8_t, 64>;

// A record never written: every byte 255.
FiscalMemoryRecord EmptyFiscalRecord();

// Record 4, the fiscalisation area, is built from the register's numbers when asked for, so
// the memory leaves it empty. `today` dates the last daily report; rates in percent, −1
// inactive, −2 exempt.
std::vector<FiscalMemoryRecord> DemoFiscalMemory(const std::array<double, 7>& vatRates,
                                                 std::time_t today);

}  // namespace kasa::sim
