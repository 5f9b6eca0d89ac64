// The register's fiscal memory: reading one 64-byte record and turning it into the lines a
// technician reads (daily reports, VAT rate changes, RAM resets, the fiscalisation data).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "comm/ecrclass.h"

namespace kasa {

inline constexpr int kFiscalRecordSize = 64;
inline constexpr int kFiscalRecordCount = 2048;

struct FiscalRecord {
    int32_t number = 0;
    std::array<uint8_t, kFiscalRecordSize> data{};
};

// The output of one read: the lines for the window, the file they are appended to (empty:
// none) and the current record's lines in the file's encoding, each ended by CR LF.
struct FiscalOutput {
    std::vector<std::string>* lines = nullptr;
    std::string fileName;
    std::string buffer;
    // Set when an append to the file failed; the read goes on and tells once at its end.
    bool appendFailed = false;
};

FiscalOutput OpenFiscalOutput(std::vector<std::string>& lines, const std::string& fileName);

// Request ";n J"; the answer must come under "j" with at least 64 bytes in hexadecimal.
bool ReadFiscalRecord(ECRClass& ecr, int32_t number, FiscalRecord& record);

// Adds the record's lines to the output and appends them to its file when one is set.
void DecodeFiscalRecord(FiscalOutput& output, const uint8_t* data, int32_t number);

// A range of records from the two edits' texts; reversed numbers are swapped. On a refusal
// `message` holds the Polish reason.
struct FiscalRange {
    int first = 0;
    int last = 0;
    std::string message;
};
FiscalRange FiscalRangeFromText(const std::string& firstText, const std::string& lastText);

inline constexpr const char* kFiscalFirstRangeMessage = "Nieprawidłowy zakres pierwszego zakresu";
inline constexpr const char* kFiscalLastRangeMessage = "Nieprawidłowy zakres drugiego rekordu";
inline constexpr const char* kFiscalVesperMessage =
    "Odczyt pamięcu fiskalnej nie jest realizowany\nw tym typie kasy.";
inline constexpr const char* kFiscalAbortCaption = "Przerwij odczyt.";

}  // namespace kasa
