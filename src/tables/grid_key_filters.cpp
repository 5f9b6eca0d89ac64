// The key filters of the grids and of the edit fields below them. Limits are read from the
// table's own register type, so that a hint names the numbers that type really has.
#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"
#include "tables/grid_editor.h"

namespace kasa {

namespace {

constexpr std::string_view kTooLong = "Wykorzystana maksymalna ilość znaków";
constexpr std::string_view kBadCharacter = "Niedopuszczalny znak";
constexpr std::string_view kBadValue = "Niedopuszczalna wartość";
constexpr std::string_view kOutOfRange = "Wartość poza zakresem";
constexpr std::string_view kOnlyNumber = "Tutaj można wpisać tylko liczbę.\n";
constexpr std::string_view kOnlyDigits = "Tutaj można wpisać tylko cyfry.\n";

// A key's quantity is one keypress of at most this many pieces.
constexpr int kKeyQuantityMax = 15;
constexpr int kKeyQuantityDigits = 2;
constexpr int kGoodsGroupMax = 63;
constexpr int kPasswordDigits = 4;

enum class Accept {
    kAny,
    kDigits,
    kNumber,        // digits, "," and "."
    kSignedNumber,  // and a minus sign
    kNothing,
    kVatLetter,
    kFlagWord,  // on the way to "TAK" or "NIE"
};

// What a column or a field accepts, and the hint of each kind of refusal.
struct Rule {
    Accept accept = Accept::kAny;
    FilterHint characterHint;
    size_t maxLength = 0;  // 0: no limit
    FilterHint lengthHint;
    int64_t maxValue = -1;  // -1: no limit
    FilterHint valueHint;
};

FilterHint Hint(std::string_view title, std::string_view text) {
    return {std::string(title), std::string(text)};
}

// One hint for every refusal: the column's hint names all it accepts.
Rule OneHintRule(Accept accept, size_t maxLength, int64_t maxValue, const FilterHint& hint) {
    return {accept, hint, maxLength, hint, maxValue, hint};
}

Rule CharacterRule(Accept accept, const FilterHint& hint) {
    Rule rule;
    rule.accept = accept;
    rule.characterHint = hint;
    return rule;
}

bool IsDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

char32_t VatLetterOf(char32_t c) {
    return c >= U'a' && c <= U'g' ? c - U'a' + U'A' : c;
}

bool Accepts(Accept accept, char32_t c) {
    switch (accept) {
        case Accept::kDigits:
            return IsDigit(c);
        case Accept::kNumber:
            return IsDigit(c) || c == U',' || c == U'.';
        case Accept::kSignedNumber:
            return IsDigit(c) || c == U',' || c == U'.' || c == U'-';
        case Accept::kNothing:
            return false;
        case Accept::kVatLetter:
            return VatLetterOf(c) >= U'A' && VatLetterOf(c) <= U'G';
        default:
            return true;
    }
}

// The value of a text of digits, held far above any limit checked here.
int64_t DigitsValue(std::string_view text) {
    int64_t value = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            value = std::min<int64_t>(value * 10 + (c - '0'), int64_t{1} << 40);
        }
    }
    return value;
}

std::optional<FilterHint> Apply(const Rule& rule, std::string_view before, std::string_view after,
                                char32_t character) {
    if (rule.accept == Accept::kFlagWord) {
        if (std::string_view("TAK").starts_with(after) ||
            std::string_view("NIE").starts_with(after)) {
            return std::nullopt;
        }
        // A complete word takes no more letters; a wrong letter is told apart.
        return before == "TAK" || before == "NIE" ? rule.lengthHint : rule.characterHint;
    }
    if (!Accepts(rule.accept, character)) {
        return rule.characterHint;
    }
    if (rule.maxLength > 0 && Utf8Length(after) > rule.maxLength) {
        return rule.lengthHint;
    }
    if (rule.maxValue >= 0 && DigitsValue(after) > rule.maxValue) {
        return rule.valueHint;
    }
    return std::nullopt;
}

// The register type the table belongs to; a descriptor of neither is read as "Vesper".
const RegisterModel& ModelOf(const TableDescriptor& table) {
    for (const RegisterModel* model : AllModels()) {
        for (const TableDescriptor* each : model->tables) {
            if (each == &table) {
                return *model;
            }
        }
    }
    return VesperModel();
}

int GoodsCount(const TableDescriptor& table) {
    return ModelOf(table).Table(TableKind::kGoods).RecordCount;
}

int PackagingCount(const TableDescriptor& table) {
    return ModelOf(table).Table(TableKind::kPackaging).RecordCount;
}

std::string Range(int64_t first, int64_t last) {
    return DecimalText(first) + ".." + DecimalText(last);
}

std::string_view NameNoun(TableKind kind) {
    switch (kind) {
        case TableKind::kPackaging:
            return "opakowania";
        case TableKind::kGoods:
            return "towaru";
        case TableKind::kCashiers:
            return "kasjera";
        case TableKind::kDiscounts:
            return "rabatu";
        case TableKind::kSurcharges:
            return "dopłaty";
        case TableKind::kPaymentForms:
            return "płatności";
        default:
            return {};
    }
}

Rule NameRule(TableKind kind, const FieldDescriptor& field) {
    const std::string_view noun = NameNoun(kind);
    if (noun.empty() || !IsTextFormat(field.format)) {
        return {};
    }
    Rule rule;
    rule.maxLength = static_cast<size_t>(field.format);
    rule.lengthHint = Hint(kTooLong, "Maksymalna długość nazwy " + std::string(noun) + " to " +
                                         DecimalText(field.format) + " znaków.\n");
    return rule;
}

bool IsValueColumn(TableKind kind, std::string_view key) {
    switch (kind) {
        case TableKind::kPackaging:
            return key == "CEN" || key == "PRZ" || key == "WYD";
        case TableKind::kDiscounts:
        case TableKind::kSurcharges:
            return key == "WAR" || key == "KWO";
        case TableKind::kPaymentForms:
            return key == "KUR";
        case TableKind::kGoods:
            return key == "CEN" || key == "ILO" || key == "WAR" || key == "MIL" || key == "MWA";
        default:
            return false;
    }
}

Rule PasswordRule() {
    return OneHintRule(Accept::kDigits, kPasswordDigits, -1,
                       Hint(kTooLong, "Maksymalna długość hasła to 4 cyfry.\n"));
}

Rule GridRule(const TableDescriptor& table, TableKind kind, const FieldDescriptor& field) {
    const std::string_view key = field.key;
    if (key == "NAZ") {
        return NameRule(kind, field);
    }
    if (IsValueColumn(kind, key)) {
        return CharacterRule(Accept::kNumber, Hint(kBadCharacter, kOnlyNumber));
    }
    switch (kind) {
        case TableKind::kPackaging:
            if (key == "SAL") {
                return CharacterRule(
                    Accept::kSignedNumber,
                    Hint(kBadCharacter,
                         "Tutaj można wpisać tylko liczbę.\nw formacie (-)999 999.99\n"));
            }
            break;
        case TableKind::kPaymentForms:
            if (key == "SPR") {
                return CharacterRule(Accept::kNothing, Hint("Pozycja nieprogramowalna",
                                                            "Wartość tylko do odczytu.\n"));
            }
            break;
        case TableKind::kKeys:
            if (key == "PLU") {
                const int count = GoodsCount(table);
                Rule rule = CharacterRule(Accept::kDigits, Hint(kBadCharacter, kOnlyDigits));
                rule.maxLength = DecimalText(count).size();
                rule.lengthHint = Hint(kBadValue, "Maksymalnie " + DecimalText(rule.maxLength) +
                                                      " cyfrowy numer PLU.\n");
                rule.maxValue = count;
                rule.valueHint =
                    Hint(kBadValue, "Numer PLU poza zakresem <" + Range(0, count) + ">.\n");
                return rule;
            }
            if (key == "ILO") {
                Rule rule = OneHintRule(Accept::kDigits, kKeyQuantityDigits, kKeyQuantityMax,
                                        Hint(kBadValue, "Maksymalnie 2 cyfrowa liczba.\n"));
                rule.valueHint = Hint(
                    kBadValue, "Ilość towaru poza zakresem <" + Range(0, kKeyQuantityMax) + ">.\n");
                return rule;
            }
            if (key == "TRA") {
                Rule rule;
                rule.accept = Accept::kFlagWord;
                rule.characterHint = Hint(kBadValue, "Pole przyjmuje wartość TAK lub NIE.\n");
                rule.lengthHint =
                    Hint(kBadValue, "Pole może przyjmować tylko wartość TAK lub NIE.\n");
                return rule;
            }
            break;
        case TableKind::kCashiers:
            if (key == "HAS") {
                return PasswordRule();
            }
            break;
        case TableKind::kGoods:
            if (key == "KOD") {
                Rule rule = CharacterRule(Accept::kDigits, Hint(kBadCharacter, kOnlyDigits));
                rule.maxLength = static_cast<size_t>(NumberIntegerDigits(field.format));
                rule.lengthHint = Hint(kTooLong, "Maksymalna ilość znaków w tym polu wynosi " +
                                                     DecimalText(rule.maxLength) + ".\n");
                return rule;
            }
            if (key == "PTU") {
                return OneHintRule(
                    Accept::kVatLetter, 1, -1,
                    Hint(kBadCharacter,
                         "Tutaj można wpisać tylko literę \nA, B, C, D, E, F lub G.\n"));
            }
            if (key == "GRU") {
                return OneHintRule(Accept::kDigits, 0, kGoodsGroupMax,
                                   Hint(kOutOfRange, "Grupę towarową określa liczba z zakresu " +
                                                         Range(0, kGoodsGroupMax) + "\n"));
            }
            if (key == "OPAK") {
                const int count = PackagingCount(table);
                return OneHintRule(Accept::kDigits, 0, count,
                                   Hint(kOutOfRange, "Numer opakowania określa liczba z zakresu " +
                                                         Range(0, count) + "\n"));
            }
            break;
        default:
            break;
    }
    return {};
}

// The record number field: digits up to the last number shown. A number below the first
// cannot be refused while it is typed, since it may be the start of a longer one.
Rule NumberFieldRule(const TableDescriptor& table, TableKind kind, int minPlu) {
    const int first = FirstShownNumber(table, minPlu);
    const int last = first + GridRowCount(table, minPlu) - 2;
    const bool shortWording = kind == TableKind::kDiscounts || kind == TableKind::kSurcharges ||
                              kind == TableKind::kPaymentForms;
    Rule rule = CharacterRule(Accept::kDigits, Hint(kBadCharacter, kOnlyNumber));
    rule.maxValue = last;
    rule.valueHint = Hint(kBadValue, std::string(shortWording ? "Wiersz" : "Numer wiersza") +
                                         " poza zakresem " + Range(first, last) + ".\n");
    return rule;
}

Rule FieldRule(const TableDescriptor& table, TableKind kind, const FieldDescriptor& field,
               int minPlu) {
    const std::string_view key = field.key;
    if (field.format == kFormatRecordNumber) {
        return NumberFieldRule(table, kind, minPlu);
    }
    if (key == "NAZ") {
        return NameRule(kind, field);
    }
    if (IsValueColumn(kind, key) || (kind == TableKind::kGoods && key == "ILO")) {
        return CharacterRule(Accept::kNumber, Hint(kBadCharacter, kOnlyNumber));
    }
    if (kind == TableKind::kGoods && key == "KOD") {
        const int digits = NumberIntegerDigits(field.format);
        return OneHintRule(
            Accept::kDigits, static_cast<size_t>(digits), -1,
            Hint(kTooLong, "Maksymalna długość kodu to " + DecimalText(digits) + " cyfr.\n"));
    }
    if (kind == TableKind::kGoods && key == "OPAK") {
        const int count = PackagingCount(table);
        return OneHintRule(Accept::kDigits, 0, count,
                           Hint(kOutOfRange, "Numer opakowania określa liczba z zakresu " +
                                                 Range(0, count) + ".\n"));
    }
    if (kind == TableKind::kCashiers && key == "HAS") {
        return PasswordRule();
    }
    if (kind == TableKind::kKeys && key == "PLU") {
        const int count = GoodsCount(table);
        return OneHintRule(Accept::kDigits, 0, count,
                           Hint(kBadValue, "Numer PLU poza zakresem " + Range(1, count) + ".\n"));
    }
    if (kind == TableKind::kKeys && key == "ILO") {
        return OneHintRule(
            Accept::kDigits, 0, kKeyQuantityMax,
            Hint(kBadValue, "Liczba poza zakresem " + Range(0, kKeyQuantityMax) + ".\n"));
    }
    return {};
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<FilterHint> GridKeyFilter(const TableDescriptor& table, int col,
                                        std::string_view cellText, char32_t character) {
    TableKind kind;
    if (!TableKindOf(table, kind) || col < 1 || col >= table.FieldCount()) {
        return std::nullopt;
    }
    std::string after(cellText);
    AppendUtf8(after, character);
    const Rule rule = GridRule(table, kind, table.fields[static_cast<size_t>(col)]);
    return Apply(rule, cellText, after, character);
}

std::optional<FilterHint> EditFieldKeyFilter(const TableDescriptor& table,
                                             std::string_view editName, std::string_view fieldText,
                                             char32_t character, int minPlu, size_t insertAt) {
    TableKind kind;
    if (!TableKindOf(table, kind)) {
        return std::nullopt;
    }
    for (const FieldDescriptor& field : table.fields) {
        if (field.key.empty()) {
            break;
        }
        if (field.editName.empty() || !SameNameIgnoringCase(field.editName, editName)) {
            continue;
        }
        const size_t length = Utf8Length(fieldText);
        const std::string head = Utf8Prefix(fieldText, std::min(insertAt, length));
        std::string after = head;
        AppendUtf8(after, character);
        after.append(fieldText.substr(head.size()));
        return Apply(FieldRule(table, kind, field, ClampMinPlu(minPlu)), fieldText, after,
                     character);
    }
    return std::nullopt;
}

std::string RecordWithoutNameMessage(const TableDescriptor& table) {
    TableKind kind;
    if (!TableKindOf(table, kind)) {
        return {};
    }
    const std::string what =
        kind == TableKind::kKeys ? "numeru PLU" : "nazwy " + std::string(NameNoun(kind));
    return NameNoun(kind).empty() && kind != TableKind::kKeys
               ? std::string()
               : "Zapis pozycji bez podania " + what + " jest niemożliwy.\n";
}

}  // namespace kasa
