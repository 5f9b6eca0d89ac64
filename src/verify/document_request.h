// A printed fiscal document as the user types it, checked and turned into the request
// body that the register judges together with the document's control number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "comm/ecrclass.h"

namespace kasa {

// 0 means no type chosen; the numbers are the radio buttons' order.
enum DocumentType : int {
    kNoDocument = 0,
    kReceipt = 1,
    kInvoice = 2,
    kDailyReport = 3,
    kDailyReportWithInvoices = 4,
};

// Normal mode serves the register at hand; special mode verifies any device's document.
enum class VerifyMode { None, Normal, Special };

inline constexpr const char* kDocumentControlCaption = "Sprawdzanie dokumentu wydrukowanego.";
inline constexpr int kControlNumberLength = 40;

struct DocumentRow {
    std::string name;   // goods name (receipts, invoices) or the report row's title
    std::string value;  // VAT letter (receipts, invoices) or amount (reports)
};

struct DocumentFields {
    int type = kNoDocument;
    std::string controlNumber;
    std::string uniqueNumber;
    std::string date;
    std::string time;
    std::string documentNumber;
    std::string reportNumber;
    std::string receiptCount;
    std::string vatTotal;
    std::string totalDue;
    std::vector<DocumentRow> rows;  // the grid from its row 1
};

struct DocumentRequest {
    // Empty when the document may be sent.
    std::string error;
    // No type was chosen: the window goes back to its start state without a message.
    bool noType = false;
    std::string body;  // Mazovia bytes, lines ended by CR LF, closed by 0x1A
    std::string controlNumber;
    bool Valid() const { return error.empty() && !noType; }
};

// The amount in hundredths: "." or "," separates the decimals, other characters are
// ignored; empty when it has no digit, two separators, a sign after a digit, an exponent,
// or more digits than an amount can have.
std::optional<int64_t> AmountCents(std::string_view text);
// "12,50", "0,07", "-0,50".
std::string AmountLine(int64_t cents);
// A text for the register: printable ASCII as it is, Polish letters in Mazovia, anything
// else "?", so no control byte can cut the request short.
std::string RequestText(std::string_view utf8);

// The fixed first-column titles of the report grids (8 or 16 rows); empty for the others.
std::vector<std::string> ReportRowTitles(int type);

DocumentRequest BuildDocumentRequest(const DocumentFields& fields, VerifyMode mode);

inline constexpr const char* kNoVesperMessage =
    "Nie ma podłaczonej kasy Vesper.\nWeryfikacja dokumentu nie jest możliwa.";
// Only a VESPER register judges printed documents.
bool CanVerifyDocuments(const ECRClass& ecr);

// The register's answer on a document.
struct DocumentVerdict {
    int code = -1;  // 1 authentic, 2 not authentic, -1 no verdict
    // With no verdict: the register's status code when it could not take or handle the
    // request (20..31), else -1 (no answer at all).
    int status = -1;
};

// Opens the line, asks the register and closes it again.
DocumentVerdict VerifyPrintedDocument(ECRClass& ecr, const DocumentRequest& request);
// The message for a verdict, empty for a code that has none.
std::string VerdictMessage(const DocumentVerdict& verdict);

}  // namespace kasa
