// The memory of the virtual register and its answers to single requests, kept apart from
// the line so that the rules can be read and tested on their own.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/fiscal_memory_demo.h"

namespace kasa::sim {

enum class RegisterType { Zen, Vesper };

// One request as the register reads it off the line.
struct ParsedRequest {
    std::string header;  // the request number and parameters, as sent ("7;11;7")
    int number = 0;
    std::vector<int64_t> params;
    char command = 0;
    std::string body;  // the binary fields after the command letter
};

// What the register answers: an optional data record (after the echoed header and the
// lower-case letter), then a status record.
struct Reply {
    std::optional<std::string> data;
    std::string echoExtra;  // numbers echoed between the header and the letter
    int status = 0;
    bool silent = false;  // nothing at all is sent back
};

// How one field travels: the code a read answer uses and the code a write request uses.
struct WireField {
    int readCode;
    int writeCode;
};

// One line of the receipt header as the register keeps it.
struct SimHeaderLine {
    std::string text;
    bool heavy = false;
    bool doubleHeight = false;
};

struct SimDatabase {
    int number = 0;
    std::vector<WireField> layout;
    std::vector<std::vector<std::string>> records;  // field values as texts
};

class RegisterState {
  public:
    RegisterState(RegisterType type, bool demoData);

    Reply Handle(const ParsedRequest& request);

    RegisterType type;
    int mode = 0;
    int fiscal = 0;
    int optionBits = 0;
    std::string identification;
    std::array<double, 7> totals{};
    int receiptNumber = 1;
    int databaseChanges = 0;
    int cancelledReceipts = 0;
    double cancelledAmount = 0;
    // Rates in percent; −1 inactive, −2 exempt.
    std::array<double, 7> vatRates{23, 8, 5, 0, -2, -1, -1};
    // Unique number (3 letters and 8 digits) and tax number; empty means not programmed.
    std::string uniqueNumber = "ABC12345678";
    std::string taxNumber = "525-000-00-00";
    // ZEN only; record 4 is answered from the two numbers above.
    std::vector<FiscalMemoryRecord> fiscalMemory;
    // The register's clock runs from the computer's, shifted by this many seconds.
    int64_t clockOffsetSeconds = 0;
    bool endFrameSeen = false;
    std::array<SimHeaderLine, 8> header;
    std::map<int, SimDatabase> databases;

    // Record counts of the goods and other databases (index range checks).
    int RecordCount(int database) const;
    bool TotalsAreZero() const;
    // Field values of one record, for tests and demo data.
    std::vector<std::string>& Record(int database, int number);

  private:
    Reply Status(const ParsedRequest& request);
    Reply Identify(const ParsedRequest& request);
    Reply SetMode(const ParsedRequest& request);
    Reply ReadRecord(const ParsedRequest& request);
    Reply WriteRecord(int database, const ParsedRequest& request);
    Reply DeleteRecord(int database, const ParsedRequest& request);
    Reply FindUsed(const ParsedRequest& request);
    Reply FiscalMemory(const ParsedRequest& request);
    Reply Totals(const ParsedRequest& request);
    Reply ReadVat(const ParsedRequest& request);
    Reply WriteVat(const ParsedRequest& request);
    Reply ReadClock(const ParsedRequest& request);
    Reply SetClock(const ParsedRequest& request);
    Reply Settings(const ParsedRequest& request);
    Reply ReadHeader(const ParsedRequest& request);
    Reply WriteHeader(const ParsedRequest& request);
    std::string EncodeRecord(const SimDatabase& db, const std::vector<std::string>& values) const;
};

}  // namespace kasa::sim
