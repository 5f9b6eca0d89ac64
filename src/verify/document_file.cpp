#include "verify/document_file.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "base/number_text.h"

namespace kasa {

namespace {

constexpr std::array<const char*, 5> kTypeNames = {"", "paragon", "faktura", "raport",
                                                   "raport-z-fakturami"};

std::array<std::pair<const char*, std::string DocumentFields::*>, 9> FieldKeys() {
    return {{{"numer_kontrolny", &DocumentFields::controlNumber},
             {"numer_unikatowy", &DocumentFields::uniqueNumber},
             {"data", &DocumentFields::date},
             {"godzina", &DocumentFields::time},
             {"numer_dokumentu", &DocumentFields::documentNumber},
             {"numer_raportu", &DocumentFields::reportNumber},
             {"ilosc_paragonow", &DocumentFields::receiptCount},
             {"suma_ptu", &DocumentFields::vatTotal},
             {"laczna_naleznosc", &DocumentFields::totalDue}}};
}

bool IsReport(int type) {
    return type == kDailyReport || type == kDailyReportWithInvoices;
}

// A report row is named by its full title or by the title's last word ("A", "?FV").
bool PlaceReportRow(DocumentFields& fields, const std::string& name, const std::string& value) {
    for (DocumentRow& row : fields.rows) {
        const size_t blank = row.name.rfind(' ');
        if (row.name == name || row.name.substr(blank + 1) == name) {
            row.value = value;
            return true;
        }
    }
    return false;
}

bool ParseLine(const std::string& key, const std::string& value, DocumentFile& file,
               std::string& error) {
    DocumentFields& fields = file.fields;
    if (key == "typ") {
        for (size_t i = 1; i < kTypeNames.size(); ++i) {
            if (value == kTypeNames[i]) {
                fields.type = static_cast<int>(i);
                for (const std::string& title : ReportRowTitles(fields.type)) {
                    fields.rows.push_back({title, ""});
                }
                return true;
            }
        }
        error = "nieznany typ dokumentu \"" + value +
                "\" (paragon, faktura, raport, raport-z-fakturami)";
        return false;
    }
    if (key == "tryb" && (value == "normalny" || value == "specjalny")) {
        file.mode = value == "normalny" ? VerifyMode::Normal : VerifyMode::Special;
        return true;
    }
    for (const auto& [name, member] : FieldKeys()) {
        if (key == name) {
            fields.*member = value;
            return true;
        }
    }
    if (key != "pozycja") {
        error = "nieznany klucz \"" + key + "\"";
        return false;
    }
    const size_t split = value.rfind(';');
    if (fields.type == kNoDocument || split == std::string::npos) {
        error = fields.type == kNoDocument ? "pozycja przed wierszem typ="
                                           : "pozycja bez średnika przed literą lub kwotą";
        return false;
    }
    const std::string name = value.substr(0, split);
    const std::string cell = value.substr(split + 1);
    if (!IsReport(fields.type)) {
        fields.rows.push_back({name, cell});
        return true;
    }
    if (!PlaceReportRow(fields, name, cell)) {
        error = "raport nie ma pozycji \"" + name + "\"";
        return false;
    }
    return true;
}

}  // namespace

bool ParseDocumentFile(const std::string& text, DocumentFile& file, std::string& error) {
    // Every key but "pozycja" stands once: a second value would silently replace the first.
    std::vector<std::string> seen;
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const size_t equals = line.find('=');
        std::string reason = "brak znaku =";
        const std::string key = line.substr(0, std::min(equals, line.size()));
        if (equals != std::string::npos && key != "pozycja") {
            if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
                error = "Linia " + DecimalText(number) + ": klucz \"" + key + "\" powtórzony.";
                return false;
            }
            seen.push_back(key);
        }
        if (equals == std::string::npos || !ParseLine(key, line.substr(equals + 1), file, reason)) {
            error = "Linia " + DecimalText(number) + ": " + reason + ".";
            return false;
        }
    }
    return true;
}

std::string DocumentFileText(const DocumentFile& file) {
    const DocumentFields& fields = file.fields;
    std::string text = "typ=" + std::string(kTypeNames[static_cast<size_t>(fields.type)]) + "\n";
    text += file.mode == VerifyMode::Special ? "tryb=specjalny\n" : "tryb=normalny\n";
    for (const auto& [name, member] : FieldKeys()) {
        const bool reportField = member == &DocumentFields::documentNumber ||
                                 member == &DocumentFields::reportNumber ||
                                 member == &DocumentFields::receiptCount;
        const bool goodsField = member == &DocumentFields::vatTotal;
        if ((reportField && IsReport(fields.type)) || (goodsField && !IsReport(fields.type)) ||
            (!reportField && !goodsField)) {
            text += std::string(name) + "=" + fields.*member + "\n";
        }
    }
    for (const DocumentRow& row : fields.rows) {
        if (!(IsReport(fields.type) ? row.value : row.name).empty()) {
            text += "pozycja=" + row.name + ";" + row.value + "\n";
        }
    }
    return text;
}

}  // namespace kasa
