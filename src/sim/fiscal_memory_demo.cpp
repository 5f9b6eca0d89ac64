#include "sim/fiscal_memory_demo.h"

#include <cmath>

namespace kasa::sim {

FiscalMemoryRecord EmptyFiscalRecord() {
    FiscalMemoryRecord record;
    record.fill(0xFF);
    return record;
}

namespace {

constexpr FiscalMemoryRecord (*Empty)() = EmptyFiscalRecord;
constexpr int kRecords = 2048;
constexpr int kDailyReports = 21;
constexpr std::time_t kDay = 24 * 60 * 60;

uint8_t BcdByte(int64_t value) {
    return static_cast<uint8_t>(((value / 10) % 10) << 4 | value % 10);
}

// A BCD number, least significant byte first.
void PutBcd(FiscalMemoryRecord& record, int at, int count, int64_t value) {
    for (int k = 0; k < count; ++k) {
        record[static_cast<size_t>(at + k)] = BcdByte(value % 100);
        value /= 100;
    }
}

void PutDate(FiscalMemoryRecord& record, std::time_t when) {
    std::tm tm{};
    localtime_r(&when, &tm);
    const int year = tm.tm_year + 1900;
    record[1] = BcdByte(year % 100);
    record[2] = BcdByte(year / 100);
    record[3] = BcdByte(tm.tm_mon + 1);
    record[4] = BcdByte(tm.tm_mday);
}

FiscalMemoryRecord VatChange(const std::array<double, 7>& rates, std::time_t when) {
    FiscalMemoryRecord record = Empty();
    record[0] = 2;
    PutDate(record, when);
    for (int i = 0; i < 6; ++i) {
        // The record has no mark of its own for the exempt rate: it stays inactive there.
        if (rates[static_cast<size_t>(i)] >= 0) {
            PutBcd(record, 5 + 2 * i, 2, std::llround(rates[static_cast<size_t>(i)] * 100));
        }
    }
    return record;
}

FiscalMemoryRecord RamReset(std::time_t when, int hour, int minute) {
    FiscalMemoryRecord record = Empty();
    record[0] = 3;
    PutDate(record, when);
    record[5] = BcdByte(hour);
    record[6] = BcdByte(minute);
    return record;
}

// Sales only in the active rates, an exempt amount only while a rate is exempt.
FiscalMemoryRecord DailyReport(const std::array<double, 7>& rates, std::time_t when, int day) {
    FiscalMemoryRecord record = Empty();
    record[0] = 1;
    PutDate(record, when);
    int64_t exempt = 0;
    for (int i = 0; i < 6; ++i) {
        const int64_t total = 10000 + 3791 * (day + 1) * (i + 1) % 250000;
        if (rates[static_cast<size_t>(i)] >= 0) {
            PutBcd(record, 5 + 5 * i, 5, total);
        } else if (rates[static_cast<size_t>(i)] == -2) {
            exempt += total;
        }
    }
    PutBcd(record, 35, 5, exempt);
    PutBcd(record, 40, 2, 40 + 7 * day % 60);
    PutBcd(record, 42, 2, day + 1);
    PutBcd(record, 44, 2, 0);
    PutBcd(record, 46, 2, 0);
    return record;
}

}  // namespace

std::vector<FiscalMemoryRecord> DemoFiscalMemory(const std::array<double, 7>& vatRates,
                                                 std::time_t today) {
    std::vector<FiscalMemoryRecord> memory(kRecords, Empty());
    for (int n = 0; n < 4; ++n) {
        memory[static_cast<size_t>(n)].fill(0);
        memory[static_cast<size_t>(n)][1] = static_cast<uint8_t>(n);
    }
    for (int n = 5; n < 8; ++n) {
        memory[static_cast<size_t>(n)].fill(0);
    }
    const std::time_t start = today - kDailyReports * kDay;
    size_t next = 8;
    memory[next++] = RamReset(start, 8, 5);
    memory[next++] = VatChange(vatRates, start);
    for (int day = 0; day < kDailyReports; ++day) {
        if (day == 7 || day == 15) {
            memory[next++] = RamReset(start + day * kDay, 7, 30 + day);
        }
        memory[next++] = DailyReport(vatRates, start + (day + 1) * kDay, day);
    }
    return memory;
}

}  // namespace kasa::sim
