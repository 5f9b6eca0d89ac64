#include "verify/document_request.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

// More digits than this would not fit an amount in hundredths on 64 bits.
constexpr size_t kMaxAmountDigits = 15;
constexpr int kMinDateLength = 8;
constexpr int kMinTimeLength = 5;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::string WithoutBlanks(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            out += c;
        }
    }
    return out;
}

bool ValidUniqueNumber(const std::string& number) {
    return number.size() == 11 && std::all_of(number.begin(), number.begin() + 3, IsLetter) &&
           AllDigits(std::string_view(number).substr(3));
}

bool ValidControlNumber(std::string_view text) {
    return text.size() == kControlNumberLength &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
}

std::string ZeroPadded(const std::string& digits, size_t width) {
    return digits.size() >= width ? digits : std::string(width - digits.size(), '0') + digits;
}

// A number printed with its leading zeros is sent as the user typed it; any other is
// padded to the width the register prints.
std::string NormalisedNumber(const std::string& text, size_t width) {
    return !text.empty() && text.front() == '0' ? text : ZeroPadded(text, width);
}

class BodyWriter {
  public:
    void Line(std::string_view utf8) {
        body_ += RequestText(utf8);
        body_ += "\r\n";
    }
    // False (with the message set) when the text is no amount.
    bool Amount(const std::string& text, std::string& error) {
        const auto cents = AmountCents(text);
        if (!cents) {
            error = "Kwota \"" + text + "\" jest niewłaściwa.";
            return false;
        }
        Line(AmountLine(*cents));
        return true;
    }
    std::string Finish() { return body_ + '\x1a'; }

  private:
    std::string body_;
};

// The document, report and receipt-count lines of a daily report.
std::string ReportNumberError(const std::string& text) {
    if (text.empty() || text == "0") {
        return "Numer dokumentu nie może być pusty.";
    }
    if (!AllDigits(text)) {
        return "Numer \"" + text + "\" może zawierać tylko cyfry.";
    }
    return {};
}

std::string BuildGoodsBody(const DocumentFields& fields, BodyWriter& body, int& rows) {
    for (const DocumentRow& row : fields.rows) {
        if (row.name.empty()) {
            continue;
        }
        body.Line(row.name);
        body.Line(row.value);
        ++rows;
    }
    std::string error;
    if (!body.Amount(fields.vatTotal, error) || !body.Amount(fields.totalDue, error)) {
        return error;
    }
    body.Line(fields.time);
    return {};
}

std::string BuildReportBody(const DocumentFields& fields, VerifyMode mode, BodyWriter& body,
                            int& rows) {
    for (const std::string* number : {&fields.documentNumber, &fields.reportNumber}) {
        if (std::string error = ReportNumberError(*number); !error.empty()) {
            return error;
        }
    }
    body.Line(NormalisedNumber(fields.documentNumber, 6));
    body.Line(NormalisedNumber(fields.reportNumber, 4));
    std::string error;
    for (const DocumentRow& row : fields.rows) {
        if (row.value.empty()) {
            continue;
        }
        if (!body.Amount(row.value, error)) {
            return error;
        }
        ++rows;
    }
    if (!body.Amount(fields.totalDue, error)) {
        return error;
    }
    const std::string& count = fields.receiptCount;
    if (!AllDigits(count)) {
        return "Ilość paragonów może zawierać tylko cyfry.";
    }
    body.Line(count.empty() ? count : NormalisedNumber(count, mode == VerifyMode::Special ? 6 : 4));
    body.Line(fields.time);
    return {};
}

}  // namespace

std::optional<int64_t> AmountCents(std::string_view text) {
    bool negative = false, signSeen = false, separatorSeen = false;
    std::string whole, fraction;
    for (const char c : text) {
        if (c == '-' || c == '+') {
            if (signSeen || !whole.empty() || separatorSeen) {
                return std::nullopt;
            }
            signSeen = true;
            negative = c == '-';
        } else if (c == '.' || c == ',') {
            if (separatorSeen) {
                return std::nullopt;
            }
            separatorSeen = true;
        } else if (IsDigit(c)) {
            (separatorSeen ? fraction : whole) += c;
        } else if (c == 'e' || c == 'E') {
            return std::nullopt;  // an exponent would silently become decimals
        }
    }
    const size_t first = whole.find_first_not_of('0');
    whole = first == std::string::npos ? "" : whole.substr(first);
    if (!std::any_of(text.begin(), text.end(), IsDigit) || whole.size() > kMaxAmountDigits) {
        return std::nullopt;
    }
    int64_t cents = 0;
    for (const char c : whole) {
        cents = cents * 10 + (c - '0');
    }
    const std::string kept = (fraction + "00").substr(0, 2);
    cents = cents * 100 + (kept[0] - '0') * 10 + (kept[1] - '0');
    // The dropped part rounds up from 0.4999999 of a hundredth.
    if (fraction.size() > 2 && (fraction.substr(2) + "0000000").substr(0, 7) >= "4999999") {
        ++cents;
    }
    return negative ? -cents : cents;
}

std::string AmountLine(int64_t cents) {
    const uint64_t magnitude =
        cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    const std::string hundredths = DecimalText(static_cast<int64_t>(magnitude % 100));
    return (cents < 0 ? "-" : "") + DecimalText(static_cast<int64_t>(magnitude / 100)) + "," +
           ZeroPadded(hundredths, 2);
}

std::string RequestText(std::string_view utf8) {
    std::string out;
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x20 && cp < 0x7F) {
            out += static_cast<char>(cp);
            continue;
        }
        const auto row =
            std::find(PolishLetterCodePoints.begin(), PolishLetterCodePoints.end(), cp);
        out += row == PolishLetterCodePoints.end()
                   ? '?'
                   : static_cast<char>(PolishLetterTable[static_cast<size_t>(
                         row - PolishLetterCodePoints.begin())][kMazovia]);
    }
    return out;
}

std::vector<std::string> ReportRowTitles(int type) {
    if (type != kDailyReport && type != kDailyReportWithInvoices) {
        return {};
    }
    std::vector<std::string> titles;
    const auto addRates = [&titles](const std::string& suffix) {
        for (char letter = 'A'; letter <= 'G'; ++letter) {
            titles.push_back(std::string("SPRZED. OPODATK. PTU ") + letter + suffix);
        }
    };
    addRates("");
    if (type == kDailyReportWithInvoices) {
        addRates("FV");
    }
    titles.emplace_back("SPRZEDAŻ ZWOLN.  PTU ?");
    if (type == kDailyReportWithInvoices) {
        titles.emplace_back("SPRZEDAŻ ZWOLN.  PTU ?FV");
    }
    return titles;
}

DocumentRequest BuildDocumentRequest(const DocumentFields& fields, VerifyMode mode) {
    DocumentRequest request;
    const std::string unique = WithoutBlanks(fields.uniqueNumber);
    if (!ValidUniqueNumber(unique)) {
        request.error = "Numer Unikatowy niewłaściwy.";
    } else if (fields.totalDue.empty()) {
        request.error = "Łączna należność musi wystapić.";
    } else if (Utf8Length(fields.date) < kMinDateLength) {
        request.error = "Brak daty wydruku.";
    } else if (Utf8Length(fields.time) < kMinTimeLength) {
        request.error = "Brak czasu wydruku.";
    } else if (!ValidControlNumber(fields.controlNumber)) {
        request.error = "Numer kontrolny musi mieć dokładnie 40 znaków.";
    } else if (fields.type < kReceipt || fields.type > kDailyReportWithInvoices) {
        request.noType = true;
    }
    if (!request.Valid()) {
        return request;
    }
    BodyWriter body;
    body.Line(unique);
    body.Line(fields.date);
    int rows = 0;
    request.error = fields.type <= kInvoice ? BuildGoodsBody(fields, body, rows)
                                            : BuildReportBody(fields, mode, body, rows);
    if (request.error.empty() && rows == 0) {
        request.error = "Tabela z wartościami jest pusta.";
    }
    if (request.error.empty()) {
        request.body = body.Finish();
        request.controlNumber = fields.controlNumber;
    }
    return request;
}

bool CanVerifyDocuments(const ECRClass& ecr) {
    return ecr.modelCode == 2;
}

DocumentVerdict VerifyPrintedDocument(ECRClass& ecr, const DocumentRequest& request) {
    DocumentVerdict verdict;
    if (!request.Valid() || !ecr.InitTransmission()) {
        return verdict;
    }
    verdict.code = ecr.VerifyDocument(request.body.c_str(), request.controlNumber.c_str());
    // Closing talks to the register again: the code is taken before.
    if (verdict.code < 0 && ecr.statusCode >= 20 && ecr.statusCode <= 31) {
        verdict.status = ecr.statusCode;
    }
    ecr.CloseTransmission();
    return verdict;
}

std::string VerdictMessage(const DocumentVerdict& verdict) {
    switch (verdict.code) {
        case -1:
            if (verdict.status >= 0) {
                return "Nie mozna stwierdzić autentyczności.\nKasa nie obsłużyła zapytania: " +
                       ECRClass::ErrorText(verdict.status) + " (kod " +
                       DecimalText(verdict.status) + ").";
            }
            return "Nie mozna stwierdzić autentyczności.\nBrak komunikacji z urządzeniem KORVEX.";
        case 1:
            return "Wpisany dokument wydrukowano w urządzeniu\nprodukowanym w KORVEX.";
        case 2:
            return "Wpisany dokument nie wydrukowano w urządzeniu\nprodukowanym w KORVEX.";
        default:
            return {};
    }
}

}  // namespace kasa
