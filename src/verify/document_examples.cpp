#include "verify/document_examples.h"

#include <algorithm>
#include <map>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

int RatePercent(char letter) {
    switch (letter) {
        case 'A':
            return 23;
        case 'B':
            return 8;
        case 'C':
            return 5;
        default:
            return 0;
    }
}

// The tax held in a gross amount, rounded half up to the grosz.
int64_t TaxOf(int64_t gross, char letter) {
    const int rate = RatePercent(letter);
    return (gross * rate * 2 + (100 + rate)) / ((100 + rate) * 2);
}

std::map<char, int64_t> GrossByLetter(const DocumentExample& example) {
    std::map<char, int64_t> gross;
    for (const ExampleItem& item : example.items) {
        gross[item.letter] += item.quantity * item.unitCents;
    }
    return gross;
}

int64_t TaxTotal(const DocumentExample& example) {
    int64_t tax = 0;
    for (const auto& [letter, gross] : GrossByLetter(example)) {
        tax += TaxOf(gross, letter);
    }
    return tax;
}

int64_t TotalDue(const DocumentExample& example) {
    int64_t total = 0;
    for (const ExampleItem& item : example.items) {
        total += item.quantity * item.unitCents;
    }
    for (const ExampleReportRow& row : example.reportRows) {
        total += row.cents;
    }
    return total;
}

std::string Padded(std::string left, const std::string& right) {
    const size_t used = Utf8Length(left) + Utf8Length(right);
    const size_t width = static_cast<size_t>(kPrintoutWidth);
    left += std::string(used < width ? width - used : 1, ' ');
    return left + right;
}

std::string Centred(const std::string& text) {
    const size_t length = Utf8Length(text);
    const size_t width = static_cast<size_t>(kPrintoutWidth);
    return std::string(length < width ? (width - length) / 2 : 0, ' ') + text;
}

void AddGoods(const DocumentExample& example, std::vector<std::string>& lines) {
    for (const ExampleItem& item : example.items) {
        lines.push_back(item.name);
        const int64_t value = item.quantity * item.unitCents;
        lines.push_back(
            Padded("  " + DecimalText(item.quantity) + " x " + AmountLine(item.unitCents),
                   AmountLine(value) + " " + item.letter));
    }
    lines.emplace_back(kPrintoutWidth, '-');
    const auto gross = GrossByLetter(example);
    for (const auto& [letter, value] : gross) {
        lines.push_back(Padded(std::string("SPRZED. OPODATK. ") + letter, AmountLine(value)));
        lines.push_back(
            Padded(std::string("PTU ") + letter + " " + DecimalText(RatePercent(letter)) + " %",
                   AmountLine(TaxOf(value, letter))));
    }
    const bool invoice = example.type == kInvoice;
    if (gross.size() > 1) {
        lines.push_back(
            Padded(invoice ? "Wartość VAT -> Suma" : "SUMA PTU", AmountLine(TaxTotal(example))));
    }
    lines.push_back(
        Padded(invoice ? "Wartość Brutto -> Suma" : "SUMA PLN", AmountLine(TotalDue(example))));
}

void AddReport(const DocumentExample& example, std::vector<std::string>& lines) {
    lines.push_back(Padded("RAPORT DOBOWY", std::string("Nr ") + example.reportNumber));
    const std::vector<std::string> titles = ReportRowTitles(example.type);
    for (const ExampleReportRow& row : example.reportRows) {
        lines.push_back(titles[static_cast<size_t>(row.row)]);
        lines.push_back(Padded("", AmountLine(row.cents)));
    }
    lines.emplace_back(kPrintoutWidth, '-');
    lines.push_back(Padded("ŁĄCZNA NALEŻNOŚĆ", AmountLine(TotalDue(example))));
    lines.push_back(Padded("ILOŚĆ PARAGONÓW", example.receiptCount));
}

std::vector<DocumentExample> MakeExamples() {
    std::vector<DocumentExample> e(15);
    e[0] = {kReceipt,
            {5},
            "BKR 10204518",
            "2026-03-14",
            "12:41",
            "",
            "",
            "",
            {{"Chleb żytni", 'B', 1, 450},
             {"Masło extra 200 g", 'B', 1, 799},
             {"Woda mineralna 1,5 l", 'A', 2, 249},
             {"Jabłka luz", 'C', 1, 612}},
            {},
            ""};
    e[1] = {kReceipt,     {5},     "BKR10204518",
            "2026-03-15", "08:05", "",
            "",           "",      {{"Kawa ziarnista 1 kg", 'A', 1, 5999}},
            {},           ""};
    e[2] = {kReceipt,
            {5, 3},
            "BKS10377201",
            "2026-04-02",
            "17:22",
            "",
            "",
            "",
            {{"Mleko 3,2% 1 l", 'B', 3, 329},
             {"Ser żółty gouda", 'B', 1, 1240},
             {"Płyn do naczyń", 'A', 1, 899},
             {"Zeszyt A5", 'A', 2, 250}},
            {},
            ""};
    e[3] = {kReceipt,
            {3, 4},
            "AKR20011845",
            "2026-02-20",
            "10:12",
            "",
            "",
            "",
            {{"Śrubokręt krzyżakowy", 'A', 1, 1890}, {"Wkręty do drewna 100 szt.", 'A', 1, 950}},
            {},
            ""};
    e[4] = {kReceipt,
            {3},
            "AKR20011846",
            "2026-05-06",
            "15:47",
            "",
            "",
            "",
            {{"Książka Pan Tadeusz", 'C', 1, 2990}, {"Długopis żelowy", 'A', 3, 420}},
            {},
            ""};
    e[5] = {kInvoice,
            {3, 4},
            "AKR20011845",
            "2026-01-30",
            "09:30",
            "",
            "",
            "",
            {{"Usługa serwisowa kasy", 'A', 1, 15000}, {"Rolka papieru 57 mm", 'A', 10, 210}},
            {},
            ""};
    e[6] = {kInvoice,
            {3, 4},
            "AKS20099310",
            "2026-03-01",
            "11:58",
            "",
            "",
            "",
            {{"Mąka pszenna 1 kg", 'B', 20, 319},
             {"Cukier biały 1 kg", 'B', 10, 429},
             {"Olej rzepakowy 1 l", 'B', 6, 899},
             {"Ocet spirytusowy", 'A', 4, 299}},
            {},
            ""};
    e[7] = {kInvoice,
            {4},
            "AKS20099311",
            "2026-06-12",
            "14:03",
            "",
            "",
            "",
            {{"Drukarka etykiet", 'A', 1, 89900}, {"Etykiety 50x30 mm", 'A', 5, 1450}},
            {},
            ""};
    e[8] = {kDailyReport,
            {5},
            "BKR10204518",
            "2026-03-14",
            "21:05",
            "000321",
            "0012",
            "0045",
            {},
            {{0, 123456}, {1, 84520}, {2, 12000}, {3, 0}},
            ""};
    e[9] = {kDailyReport,
            {5},
            "BKR10204518",
            "2026-03-15",
            "21:10",
            "322",
            "13",
            "0017",
            {},
            {{0, 31080}, {1, 9540}, {7, 4000}},
            ""};
    e[10] = {kDailyReport,
             {3, 4},
             "AKR20011845",
             "2026-02-20",
             "22:30",
             "001450",
             "0102",
             "000128",
             {},
             {{0, 512000}, {1, 221050}, {2, 30000}},
             ""};
    e[11] = {
        kDailyReport, {5, 3}, "BKS10377201", "2026-04-02", "20:00", "000988", "0040", "0003", {},
        {{0, 8800}},  ""};
    e[12] = {kDailyReportWithInvoices,
             {3, 4},
             "AKS20099310",
             "2026-03-01",
             "23:15",
             "002210",
             "0061",
             "000056",
             {},
             {{0, 210000}, {1, 54000}, {7, 120000}, {8, 30000}},
             ""};
    e[13] = {kDailyReportWithInvoices,
             {4},
             "AKS20099311",
             "2026-06-12",
             "22:45",
             "000511",
             "0150",
             "000031",
             {},
             {{0, 78040}, {2, 9990}, {9, 45000}, {15, 12000}},
             ""};
    e[14] = {kDailyReportWithInvoices,
             {3},
             "AKR20011846",
             "2026-05-06",
             "21:55",
             "003002",
             "0125",
             "000074",
             {},
             {{0, 15000}, {1, 6000}, {7, 246000}, {14, 1500}},
             ""};
    // The control numbers the devices printed at the bottom of these documents.
    static const char* const kControlNumbers[15] = {
        "14ACC7830B8AE284532CE5C46718D47285DE7C18", "B854331EACFEFB0B6C675719D7ABDCB92164CB87",
        "9B27FB6DEB7F92B9E893C9857FF79E7FB196D260", "2763774C83DAA8EFE782FE7C9D766EEDA59F9C43",
        "CC8F2E9FECA9F1683AFC2304A54B4324FB24B76A", "52F713D4DC8AC8AAEC1FB522B839A6BBABD7788D",
        "B56A2DDAFB1E58E87232754543CBC66C00CF075D", "1216C412F05644AB9E52D869EE2B038CC22325AC",
        "A390FFAD6E80DE59BEF8BE613981F43BC842B549", "FECAA34126B695BDC6A66F55961388C7951DBFF6",
        "0DEC91D2684BD3CC578DED5BE4FE5C8C94F0D0A3", "BBF532DB48DB1AFDCD6B01D1BBB19756A9049E9D",
        "E2718E82B94EF721EDBAF8C95C5C3E1E11616110", "30DFA7561C4F06FBA6E0D7807A925674C3330E31",
        "9A5903B85B9D573FD4C1938F5AB08B16FC02BBC6",
    };
    for (size_t i = 0; i < e.size(); ++i) {
        e[i].controlNumber = kControlNumbers[i];
    }
    return e;
}

}  // namespace

bool DocumentExample::ForDevice(int code) const {
    return std::find(devices.begin(), devices.end(), code) != devices.end();
}

std::string DocumentExample::PictureName() const {
    const auto& all = DocumentExamples();
    const size_t index = static_cast<size_t>(this - all.data());
    return "Przyklad" + DecimalText(static_cast<int64_t>(index + 1));
}

const std::vector<DocumentExample>& DocumentExamples() {
    static const std::vector<DocumentExample> examples = MakeExamples();
    return examples;
}

int NextExample(int current, int type, VerifyMode mode) {
    const auto& all = DocumentExamples();
    for (int i = std::max(current + 1, 0); i < static_cast<int>(all.size()); ++i) {
        const DocumentExample& example = all[static_cast<size_t>(i)];
        if (example.type == type &&
            (mode != VerifyMode::Normal || example.ForDevice(kVesperDeviceCode))) {
            return i;
        }
    }
    return -1;
}

DocumentFields ExampleFields(const DocumentExample& example) {
    DocumentFields fields;
    fields.type = example.type;
    fields.controlNumber = example.controlNumber;
    fields.uniqueNumber = example.uniqueNumber;
    fields.date = example.date;
    fields.time = example.time;
    fields.documentNumber = example.documentNumber;
    fields.reportNumber = example.reportNumber;
    fields.receiptCount = example.receiptCount;
    fields.totalDue = AmountLine(TotalDue(example));
    if (example.type <= kInvoice) {
        fields.vatTotal = AmountLine(GrossByLetter(example).size() > 1 ? TaxTotal(example) : 0);
        for (const ExampleItem& item : example.items) {
            fields.rows.push_back({item.name, std::string(1, item.letter)});
        }
        return fields;
    }
    for (const std::string& title : ReportRowTitles(example.type)) {
        fields.rows.push_back({title, ""});
    }
    for (const ExampleReportRow& row : example.reportRows) {
        fields.rows[static_cast<size_t>(row.row)].value = AmountLine(row.cents);
    }
    return fields;
}

std::vector<std::string> ExamplePrintout(const DocumentExample& example) {
    std::vector<std::string> lines = {
        Centred("P.H.U. \"KORVEX-POL\" Sp. z o.o."), Centred("ul. Ogrodowa 12, 05-800 Pruszków"),
        Centred("NIP 534-123-45-67"),
        Padded(example.date, example.documentNumber[0] != 0
                                 ? std::string("nr ") + example.documentNumber
                                 : std::string())};
    if (example.type == kReceipt) {
        lines.push_back(Centred("PARAGON FISKALNY"));
    } else if (example.type == kInvoice) {
        lines.push_back(Centred("FAKTURA VAT"));
        lines.push_back("Nabywca: NIP 951-204-11-09");
    }
    lines.emplace_back(kPrintoutWidth, '-');
    if (example.type <= kInvoice) {
        AddGoods(example, lines);
    } else {
        AddReport(example, lines);
    }
    lines.emplace_back(kPrintoutWidth, '-');
    lines.push_back(Padded(example.time, example.uniqueNumber));
    lines.push_back(example.controlNumber);
    return lines;
}

}  // namespace kasa
