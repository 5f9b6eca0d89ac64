// The built-in sample documents of the verification window: what a printed receipt,
// invoice or daily report holds, the fields a user types from it, and the printout
// itself as text lines, so that the picture is drawn from the same values.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "verify/document_request.h"

namespace kasa {

// The device code of the VESPER register, whose documents the normal mode verifies.
inline constexpr int kVesperDeviceCode = 5;
inline constexpr int kPrintoutWidth = 40;

struct ExampleItem {
    const char* name;
    char letter;  // VAT letter A..D
    int quantity;
    int64_t unitCents;
};

struct ExampleReportRow {
    int row;  // index into the report grid's titles
    int64_t cents;
};

struct DocumentExample {
    int type = kNoDocument;
    std::array<int, 4> devices{};  // 0 = unused place
    const char* uniqueNumber = "";
    const char* date = "";
    const char* time = "";
    const char* documentNumber = "";
    const char* reportNumber = "";
    const char* receiptCount = "";
    std::vector<ExampleItem> items;            // receipts and invoices
    std::vector<ExampleReportRow> reportRows;  // reports
    const char* controlNumber = "";

    bool ForDevice(int code) const;
    std::string PictureName() const;
};

const std::vector<DocumentExample>& DocumentExamples();

// The index of the next example after `current` of `type` (in normal mode only those of
// the VESPER device), or -1 after the last one.
int NextExample(int current, int type, VerifyMode mode);

// The fields a user types from the printed example.
DocumentFields ExampleFields(const DocumentExample& example);
// The printed document, one text line per printed line, at most kPrintoutWidth characters.
std::vector<std::string> ExamplePrintout(const DocumentExample& example);

}  // namespace kasa
