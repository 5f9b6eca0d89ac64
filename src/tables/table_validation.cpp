#include "tables/table_validation.h"

#include <algorithm>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

// How the write validator tests one column.
enum class RuleKind {
    kName,       // too many characters, tested in every record
    kBarcode,    // too many characters or a non-digit, tested in every record
    kVatLetter,  // empty or one of A..G
    kInteger,    // digits only, a bound on their count and on the value
    kNumber,     // the number rule
    kValueSold,  // the number rule, its shape faults told with the price's range
    kBalance,    // the packaging balance: signed, by magnitude
    kFlag,       // "TAK" or "NIE"
};

struct WriteRule {
    TableKind table;
    std::string_view key;
    RuleKind kind;
    int length = 0;         // the number rule's L; the integer rule's digit count
    int integerDigits = 0;  // the number rule's bound is that many nines ...
    int decimals = 0;       // ... and these decimal nines; the integer rule's bound
    std::string_view text;  // the rule text, or the range text's lead
};

constexpr std::string_view kTooLong = " ma za dużo znaków.";
constexpr std::string_view kTooLongName = " zawiera za dużo znaków.";
constexpr std::string_view kRangeIn = " może być tylko liczbą w zakresie [0..";
// The register keeps a negative balance -x as 100000000 - x, so half the range is left.
constexpr double kBalanceMagnitude = 49999999.99;
constexpr std::string_view kRangeOf = " może być tylko liczbą z zakresu [0..";

// The integer rule keeps its bound in `decimals`; the keys' PLU bound is the goods table's
// record count, set by the code below.
constexpr WriteRule kWriteRules[] = {
    {TableKind::kPackaging, "NAZ", RuleKind::kName, 0, 0, 0, kTooLong},
    {TableKind::kPackaging, "CEN", RuleKind::kNumber, 9, 6, 2, kRangeIn},
    {TableKind::kPackaging, "PRZ", RuleKind::kNumber, 9, 6, 2, kRangeIn},
    {TableKind::kPackaging, "WYD", RuleKind::kNumber, 9, 6, 2, kRangeIn},
    {TableKind::kPackaging, "SAL", RuleKind::kBalance, 12, 0, 0, " może być tylko liczbą."},
    {TableKind::kGoods, "NAZ", RuleKind::kName, 0, 0, 0, kTooLong},
    {TableKind::kGoods, "KOD", RuleKind::kBarcode, 0, 0, 0, kTooLong},
    {TableKind::kGoods, "PTU", RuleKind::kVatLetter, 0, 0, 0,
     " określa stawkę VAT i może być tylko znakiem: A, B, C, D, E, F lub G"},
    {TableKind::kGoods, "GRU", RuleKind::kInteger, 2, 0, 63, kRangeOf},
    {TableKind::kGoods, "OPAK", RuleKind::kInteger, 2, 0, 15, kRangeOf},
    {TableKind::kGoods, "CEN", RuleKind::kNumber, 9, 6, 2, kRangeOf},
    {TableKind::kGoods, "ILO", RuleKind::kNumber, 11, 7, 3, kRangeOf},
    {TableKind::kGoods, "WAR", RuleKind::kValueSold, 11, 7, 3, kRangeOf},
    {TableKind::kGoods, "MIL", RuleKind::kNumber, 11, 7, 3, kRangeOf},
    {TableKind::kGoods, "MWA", RuleKind::kValueSold, 11, 7, 3, kRangeOf},
    {TableKind::kKeys, "PLU", RuleKind::kInteger, 4, 0, 0, kRangeOf},
    {TableKind::kKeys, "ILO", RuleKind::kInteger, 2, 0, 15, kRangeOf},
    {TableKind::kKeys, "TRA", RuleKind::kFlag, 0, 0, 0,
     " może przyjmować tylko wartość TAK lub NIE"},
    {TableKind::kDiscounts, "NAZ", RuleKind::kName, 0, 0, 0, kTooLongName},
    {TableKind::kDiscounts, "WAR", RuleKind::kNumber, 5, 2, 1, kRangeOf},
    {TableKind::kDiscounts, "KWO", RuleKind::kNumber, 9, 6, 2, kRangeOf},
    {TableKind::kPaymentForms, "NAZ", RuleKind::kName, 0, 0, 0, kTooLongName},
    {TableKind::kPaymentForms, "KUR", RuleKind::kNumber, 9, 2, 6, kRangeOf},
};

const WriteRule* FindWriteRule(TableKind table, std::string_view key) {
    // Surcharges keep the columns and rules of discounts.
    if (table == TableKind::kSurcharges) {
        table = TableKind::kDiscounts;
    }
    for (const WriteRule& rule : kWriteRules) {
        if (rule.table == table && rule.key == key) {
            return &rule;
        }
    }
    return nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSeparator(char c) {
    return c == ',' || c == '.';
}
bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigit);
}

// Digits with at most one decimal separator (the empty text included).
bool IsNumericText(std::string_view text) {
    bool separator = false;
    for (const char c : text) {
        if (IsSeparator(c)) {
            if (separator) {
                return false;
            }
            separator = true;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

// The value of a numeric text, with either separator; 0 for a text without digits.
double NumberValue(std::string_view text) {
    std::string plain(text);
    std::replace(plain.begin(), plain.end(), ',', '.');
    return ParseDouble(plain).value_or(0.0);
}

// Characters before the first "." or ",".
int IntegerDigitCount(std::string_view text) {
    const size_t separator = text.find_first_of(".,");
    return static_cast<int>(separator == std::string_view::npos ? text.size() : separator);
}

// The range of `integerDigits` nines and `decimals` nines, as the user reads it:
// "9 999 999,999".
std::string NinesText(int integerDigits, int decimals) {
    std::string text;
    for (int i = integerDigits; i > 0; --i) {
        text += '9';
        if (i > 1 && (i - 1) % 3 == 0) {
            text += ' ';
        }
    }
    if (decimals > 0) {
        text += ',' + std::string(static_cast<size_t>(decimals), '9');
    }
    return text;
}

// The same bound as a value, read from its text so that 999999,99 compares equal to it.
double NinesValue(int integerDigits, int decimals) {
    std::string text(static_cast<size_t>(std::max(integerDigits, 1)), '9');
    if (decimals > 0) {
        text += '.' + std::string(static_cast<size_t>(decimals), '9');
    }
    return ParseDouble(text).value_or(0.0);
}

// Digits after the first "." or ",", but for trailing zeros, which no register cuts.
int DecimalCount(std::string_view text) {
    const size_t separator = text.find_first_of(".,");
    if (separator == std::string_view::npos) {
        return 0;
    }
    const size_t last = text.find_last_not_of('0');
    return last == std::string_view::npos || last <= separator ? 0
                                                               : static_cast<int>(last - separator);
}

// The decimals a column keeps: its own rule's, or fewer where the register keeps fewer.
int KeptDecimals(int own, const WireColumnLimit* wire) {
    return wire != nullptr && wire->decimals >= 0 ? std::min(own, wire->decimals) : own;
}

// The rule text of a number with more decimals than the register keeps (it would round or
// cut them), or the empty text.
std::string DecimalsFault(std::string_view text, int kept, int integerDigits) {
    if (DecimalCount(text) <= kept) {
        return {};
    }
    if (kept == 0) {
        return " może być tylko liczbą całkowitą (postać " + NinesText(integerDigits, 0) + ").";
    }
    const char* digits = kept == 1 ? " cyfrę" : kept <= 4 ? " cyfry" : " cyfr";
    return " może mieć najwyżej " + DecimalText(kept) + digits + " po przecinku (postać " +
           NinesText(integerDigits, kept) + ").";
}

enum class NumberFault { kNone, kShape, kValue };

NumberFault CheckNumber(std::string_view text, int length, double bound) {
    if (static_cast<int>(Utf8Length(text)) > length || !IsNumericText(text)) {
        return NumberFault::kShape;
    }
    return NumberValue(text) > bound ? NumberFault::kValue : NumberFault::kNone;
}

int TighterOf(int bound, int wire) {
    return wire > 0 ? std::min(bound, wire) : bound;
}

// The rule text of a faulty cell, or the empty text when the cell passes.
std::string WriteFault(const WriteRule& rule, const FieldDescriptor& field, const std::string& cell,
                       const WireColumnLimit* wire, int goodsCount) {
    const int wireDigits = wire != nullptr ? wire->integerDigits : 0;
    const int wireChars = wire != nullptr ? wire->characters : 0;
    switch (rule.kind) {
        case RuleKind::kName: {
            const int length = TighterOf(field.format, wireChars);
            return static_cast<int>(Utf8Length(cell)) > length ? std::string(rule.text)
                                                               : std::string();
        }
        case RuleKind::kBarcode: {
            const int length = TighterOf(NumberIntegerDigits(field.format), wireChars);
            if (static_cast<int>(Utf8Length(cell)) > length) {
                return std::string(rule.text);
            }
            return AllDigits(cell) ? std::string() : std::string(" może zawierać tylko cyfry.");
        }
        case RuleKind::kVatLetter:
            return cell.empty() || (cell.size() == 1 && cell[0] >= 'A' && cell[0] <= 'G')
                       ? std::string()
                       : std::string(rule.text);
        case RuleKind::kInteger: {
            const int digits = TighterOf(rule.length, wireDigits);
            int64_t bound =
                rule.table == TableKind::kKeys && rule.key == "PLU" ? goodsCount : rule.decimals;
            int64_t wireBound = 1;
            for (int i = 0; i < digits; ++i) {
                wireBound *= 10;
            }
            bound = std::min(bound, wireBound - 1);
            const bool fault = static_cast<int>(cell.size()) > digits || !AllDigits(cell) ||
                               NumberValue(cell) > static_cast<double>(bound);
            return fault ? std::string(rule.text) + DecimalText(bound) + "]." : std::string();
        }
        case RuleKind::kNumber:
        case RuleKind::kValueSold: {
            const int digits = TighterOf(rule.integerDigits, wireDigits);
            const NumberFault fault =
                CheckNumber(cell, rule.length, NinesValue(digits, rule.decimals));
            if (fault == NumberFault::kNone) {
                return DecimalsFault(cell, KeptDecimals(rule.decimals, wire), digits);
            }
            if (rule.kind == RuleKind::kValueSold && fault == NumberFault::kShape) {
                return std::string(rule.text) + NinesText(6, 2) + "].";
            }
            return std::string(rule.text) + NinesText(digits, rule.decimals) + "].";
        }
        case RuleKind::kBalance: {
            std::string magnitude = cell;
            const size_t minus = magnitude.find('-');
            if (minus != std::string::npos) {
                magnitude.erase(minus, 1);
            }
            const bool fault = static_cast<int>(cell.size()) > rule.length ||
                               !IsNumericText(magnitude) ||
                               NumberValue(magnitude) > kBalanceMagnitude;
            return fault ? std::string(rule.text)
                         : DecimalsFault(magnitude, KeptDecimals(2, wire), 8);
        }
        case RuleKind::kFlag:
            return cell == "TAK" || cell == "NIE" ? std::string() : std::string(rule.text);
    }
    return {};
}

std::string GridFaultLine(std::string_view tableName, const std::string& value, int col, int row,
                          const std::string& ruleText) {
    return std::string(tableName) + ": " + value + " w miejscu " + DecimalText(row) + " " +
           DecimalText(col) + ruleText;
}

constexpr std::string_view kNotNumber = " może być tylko liczbą.";

// The catalogue validator's rule text for one value, or the empty text when it passes.
// A password to be read as "no password" is rewritten in `value`.
std::string CatalogueFault(FieldFormat format, std::string& value, bool grid,
                           const WireColumnLimit* wire) {
    const int wireDigits = wire != nullptr ? wire->integerDigits : 0;
    const int wireChars = wire != nullptr ? wire->characters : 0;
    if (format == kFormatPassword) {
        const std::string upper = Utf8ToUpper(value);
        if (value.empty() || upper.find("NAKT") != std::string::npos) {
            return {};
        }
        if (upper.find("FFFF") != std::string::npos || upper.find("-1") != std::string::npos) {
            value = "nakt";
            return {};
        }
        const bool fits = wireDigits <= 0 || IntegerDigitCount(value) <= wireDigits;
        return IsNumericText(value) && fits ? std::string() : std::string(kNotNumber);
    }
    if (format == kFormatTime) {
        const bool ok = value.size() == 5 && IsDigit(value[0]) && IsDigit(value[1]) &&
                        value[2] == ':' && IsDigit(value[3]) && IsDigit(value[4]);
        return ok ? std::string()
                  : std::string(grid ? "  " : "") +
                        " określa czas i może być postaci <cyfra><cyfra>:<cyfra><cyfra> np. 11:23.";
    }
    if (format == kFormatVat) {
        if (grid) {
            const bool ok =
                value.empty() || (value.size() == 1 && value[0] >= 'A' && value[0] <= 'G');
            return ok ? std::string()
                      : std::string(" określa stawkę VAT i może być tylko literą A B C D E F G.");
        }
        const std::string upper = Utf8ToUpper(value);
        if (upper == "ZW" || upper == "NAKT") {
            return {};
        }
        size_t p = value.find('.');
        if (p == std::string::npos) {
            p = value.find(',');
        }
        const size_t chars = p == std::string::npos
                                 ? Utf8Length(value)
                                 : Utf8Length(std::string_view(value).substr(0, p));
        return chars < 4
                   ? std::string()
                   : std::string(" określa stawkę VAT i może być liczbą XX.X lub nakt lub zw.");
    }
    if (format == kFormatFlag) {
        return value == "NIE" || value == "TAK"
                   ? std::string()
                   : std::string(grid ? " " : "") + " może przyjąć wartość tylko TAK lub NIE.";
    }
    if (value.empty()) {
        return {};
    }
    if (format == kFormatRecordNumber) {
        return " nie może wystąpić.";
    }
    if (IsTextFormat(format)) {
        const int length = TighterOf(format, wireChars);
        return static_cast<int>(Utf8Length(value)) > length
                   ? " jest za długi. Może mieć tylko " + DecimalText(length) + " znaków."
                   : std::string();
    }
    if (IsNumberFormat(format)) {
        if (!IsNumericText(value)) {
            return std::string(kNotNumber);
        }
        const int digits = TighterOf(NumberIntegerDigits(format), wireDigits);
        return IntegerDigitCount(value) > digits
                   ? " może mieć maksimum " + DecimalText(digits) + " znaczących cyfr."
                   : DecimalsFault(value, KeptDecimals(NumberDecimals(format), wire), digits);
    }
    return {};
}

void ValidateEditControls(ValidationPass& pass, const TableDescriptor& table, TableKind kind,
                          TableSet& tables) {
    for (size_t i = 0; i < table.fields.size(); ++i) {
        const FieldDescriptor& field = table.fields[i];
        if (field.key.empty() || pass.LimitReached()) {
            break;
        }
        std::string* value = nullptr;
        if (kind == TableKind::kHeader && i < tables.header.size()) {
            value = &tables.header[i].text;
        } else if (kind == TableKind::kVat && i < tables.vatRates.size()) {
            value = &tables.vatRates[i];
        }
        if (value == nullptr) {
            break;
        }
        pass.cellReported = false;
        const std::string fault =
            CatalogueFault(field.format, *value, false, pass.WireLimit(kind, field.key));
        if (!fault.empty()) {
            // Shown counted from 1, as the controls Line1.. and the rates A.. are.
            pass.Report(std::string(table.tableName) + ": " + *value + " w wierszu " +
                            DecimalText(static_cast<int64_t>(i) + 1) + fault,
                        {std::string(table.tableName), -1, static_cast<int>(i)});
        }
    }
}

}  // namespace

void ValidationPass::Report(std::string text, FaultPlace place) {
    ++ErrorCount;
    ++ErrorSeverity;
    cellReported = true;
    lines.push_back({std::move(text), std::move(place)});
}

void ValidationPass::AddLimitLine() {
    lines.push_back(
        {"Przekroczona maksymalna ilość błędów. Ilość błędów >" + DecimalText(ErrorMax), {}});
}

const WireColumnLimit* ValidationPass::WireLimit(TableKind table, std::string_view key) const {
    for (const WireColumnLimit& limit : wireLimits_) {
        if (limit.table == table && limit.key == key) {
            return &limit;
        }
    }
    return nullptr;
}

int LastValidatedRow(const TableDescriptor& table, const TextGrid& grid) {
    return std::min(table.RecordCount, grid.RowCount() - 1);
}

void ValidateForWrite(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                      const TextGrid& grid, int firstRow, int lastRow) {
    const TableDescriptor& table = model.Table(kind);
    const int goodsCount = model.Table(TableKind::kGoods).RecordCount;
    const int colCount = std::min(table.FieldCount(), grid.ColCount());
    lastRow = std::min(lastRow, grid.RowCount() - 1);
    for (int row = std::max(firstRow, 1); row <= lastRow && !pass.LimitReached(); ++row) {
        const bool record = !grid.IsEmptyRecord(row);
        for (int col = 1; col < colCount && !pass.LimitReached(); ++col) {
            const FieldDescriptor& field = table.fields[static_cast<size_t>(col)];
            const WriteRule* rule = FindWriteRule(kind, field.key);
            if (rule == nullptr ||
                (!record && rule->kind != RuleKind::kName && rule->kind != RuleKind::kBarcode)) {
                continue;
            }
            pass.cellReported = false;
            const std::string& cell = grid.Cell(col, row);
            const std::string fault =
                WriteFault(*rule, field, cell, pass.WireLimit(kind, field.key), goodsCount);
            if (!fault.empty()) {
                pass.Report(GridFaultLine(table.tableName, cell, col, row, fault),
                            {std::string(table.tableName), col, row});
            }
        }
    }
}

void ValidateByCatalogue(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                         TableSet& tables, int firstRow, int lastRow) {
    const TableDescriptor& table = model.Table(kind);
    TextGrid& grid = tables.Grid(kind);
    if (kind == TableKind::kHeader || kind == TableKind::kVat || table.FieldCount() == 0) {
        ValidateEditControls(pass, table, kind, tables);
        return;
    }
    const int colCount = std::min(table.FieldCount(), grid.ColCount());
    lastRow = std::min(lastRow, grid.RowCount() - 1);
    for (int row = std::max(firstRow, 1); row <= lastRow && !pass.LimitReached(); ++row) {
        // A record without a name is not written, so its other cells are not held to
        // their formats either.
        if (grid.IsEmptyRecord(row)) {
            continue;
        }
        for (int col = 1; col < colCount && !pass.LimitReached(); ++col) {
            const FieldDescriptor& field = table.fields[static_cast<size_t>(col)];
            if (field.format == kFormatRecordNumber) {
                break;
            }
            // The packaging balance may be negative; the write validator tests it.
            if (kind == TableKind::kPackaging && field.key == "SAL") {
                continue;
            }
            pass.cellReported = false;
            std::string value = grid.Cell(col, row);
            // A password is one whatever its column's format: ZEN gives it a number's, and
            // a read shows a cashier without one as "nakt" there too.
            const FieldFormat format = field.key == "HAS" ? kFormatPassword : field.format;
            const std::string fault =
                CatalogueFault(format, value, true, pass.WireLimit(kind, field.key));
            if (value != grid.Cell(col, row)) {
                grid.SetCell(col, row, value);
            }
            if (!fault.empty()) {
                pass.Report(GridFaultLine(table.tableName, value, col, row, fault),
                            {std::string(table.tableName), col, row});
            }
        }
    }
}

void ValidateByCatalogue(ValidationPass& pass, const RegisterModel& model, TableKind kind,
                         TableSet& tables) {
    ValidateByCatalogue(pass, model, kind, tables, 1,
                        LastValidatedRow(model.Table(kind), tables.Grid(kind)));
}

char Ean13CheckDigit(std::string_view code) {
    if (code.size() < 12) {
        return '0';
    }
    int sum = 0;
    for (size_t i = 0; i < 12; ++i) {
        const int digit = code[i] - '0';
        sum += i % 2 == 1 ? 3 * digit : digit;
    }
    // Callers pass digits; anything else must still give a digit, not a stray character.
    const int r = ((sum % 10) + 10) % 10;
    return static_cast<char>(r == 0 ? '0' : '0' + (10 - r));
}

void VerifyEan13(ValidationPass& pass, const TextGrid& goods) {
    const std::string table(kGoodsTableName);
    for (int row = 1; row < goods.RowCount(); ++row) {
        const std::string& code = goods.Cell(2, row);
        if (code.empty()) {
            continue;
        }
        std::string rule;
        if (Utf8Length(code) != 13) {
            rule = " 2 kod kreskowy EAN13 musi mieć długość dokładnie 13 znaków.";
        } else if (code.find_first_not_of("0123456789") != std::string::npos) {
            // A character other than a digit has no weight in the sum: such a code is no
            // EAN-13 whatever its last character.
            rule = " 2 nie jest kodem EAN-13: kod kreskowy EAN13 składa się tylko z cyfr.";
        } else if (code[12] != Ean13CheckDigit(code)) {
            rule = " 2 nieprawidłowa suma kontrolna EAN13.";
        } else {
            continue;
        }
        ++pass.ErrorSeverity;
        pass.lines.push_back(
            {table + ": " + code + " w miejscu " + DecimalText(row) + rule, {table, 2, row}});
    }
}

std::string ShortenedEan13Of(std::string_view code) {
    // A number a spreadsheet made of a code never starts with a zero: a code that does was
    // typed so, and is kept as it is.
    if (code.empty() || code.size() >= 13 || code.front() == '0' ||
        code.find_first_not_of("0123456789") != std::string_view::npos) {
        return {};
    }
    // An EAN-8 weighs its digits as the last eight of an EAN-13 do, so every valid EAN-8
    // would pass as a padded EAN-13.
    if (code.size() == 8 && code[7] == Ean13CheckDigit("00000" + std::string(code))) {
        return {};
    }
    std::string padded = std::string(13 - code.size(), '0') + std::string(code);
    return padded[12] == Ean13CheckDigit(padded) ? padded : std::string();
}

std::vector<FaultLine> ShortenedEan13Warnings(const TextGrid& goods, int firstRow, int lastRow) {
    const std::string table(kGoodsTableName);
    std::vector<FaultLine> lines;
    for (int row = std::max(firstRow, 1); row <= lastRow && row < goods.RowCount(); ++row) {
        const std::string& code = goods.Cell(2, row);
        const std::string padded = ShortenedEan13Of(code);
        if (!padded.empty()) {
            lines.push_back({table + ": Kod " + code + " w wierszu " + DecimalText(row) +
                                 " wygląda na kod EAN-13 bez zer wiodących (" + padded + ").",
                             {table, 2, row}});
        }
    }
    return lines;
}

}  // namespace kasa
