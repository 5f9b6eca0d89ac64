#include "tables/goods_tools.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <vector>

#include "base/codepage.h"
#include "base/number_text.h"
#include "tables/table_validation.h"

namespace kasa {

namespace {

constexpr double kMaxAmount = 999999.99;

// The weight of one character in the name order: Latin letters of either case weigh the
// same, and a Polish letter weighs just above its base letter (Ź before Ż).
uint32_t NameWeight(char32_t c) {
    static constexpr std::u32string_view kPolish = U"ĄĆĘŁŃÓŚŹŻąćęłńóśźż";
    static constexpr std::u32string_view kBase = U"ACELNOSZZACELNOSZZ";
    static constexpr std::u32string_view kRank = U"\1\1\1\1\1\1\1\1\2\1\1\1\1\1\1\1\1\2";
    if (c >= U'a' && c <= U'z') {
        c = c - U'a' + U'A';
    }
    const size_t polish = kPolish.find(c);
    if (polish != std::u32string_view::npos) {
        return static_cast<uint32_t>(kBase[polish]) * 4 + static_cast<uint32_t>(kRank[polish]);
    }
    return static_cast<uint32_t>(c) * 4;
}

// A name as the weights of its characters: names compare as these do, a prefix first.
std::vector<uint32_t> NameKey(std::string_view name) {
    std::vector<uint32_t> key;
    key.reserve(name.size());
    for (size_t i = 0; i < name.size();) {
        key.push_back(NameWeight(DecodeUtf8(name, i)));
    }
    return key;
}

constexpr size_t kPriceChars = 9;
// A quantity has three decimals besides the eight digits of an amount: "12345678,901".
constexpr size_t kQuantityChars = 11;

// The digits-and-one-separator rule of the amount and quantity columns.
std::optional<double> AmountValue(std::string_view text, size_t maxChars, bool priceBound) {
    if (text.empty() || text.size() > maxChars) {
        return std::nullopt;
    }
    std::string dotted(text);
    int separators = 0;
    bool digit = false;
    for (char& c : dotted) {
        if (c == ',' || c == '.') {
            c = '.';
            ++separators;
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else {
            return std::nullopt;
        }
    }
    if (separators > 1 || !digit) {
        return std::nullopt;
    }
    const std::optional<double> value = ParseDouble(dotted);
    if (!value || (priceBound && *value > kMaxAmount)) {
        return std::nullopt;
    }
    return value;
}

// The shortest fixed-point text that reads back as `value` taken to 15 significant digits.
std::string ShortestDecimal(double value) {
    const double rounded = ParseDouble(FormatDouble("%.15g", value)).value_or(value);
    for (int decimals = 0; decimals < 30; ++decimals) {
        std::string text = FormatDouble("%." + std::to_string(decimals) + "f", rounded);
        if (ParseDouble(text) == rounded) {
            return text == "-0" ? "0" : text;
        }
    }
    return FormatDouble("%.15f", rounded);
}

bool AllDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Changes one cell; true when its text differed.
bool Set(TextGrid& grid, int col, int row, std::string text) {
    if (grid.Cell(col, row) == text) {
        return false;
    }
    grid.SetCell(col, row, std::move(text));
    return true;
}

// Applies `change` to the text of column `key` in every record row; counts the changes.
template <typename Change>
int ForEachCell(const TableDescriptor& table, TextGrid& grid, std::string_view key, Change change) {
    const int col = table.ColumnOfKey(key);
    int changed = 0;
    for (int row = 1; col > 0 && row < grid.RowCount(); ++row) {
        std::optional<std::string> text = change(grid.Cell(col, row));
        changed += text && Set(grid, col, row, std::move(*text)) ? 1 : 0;
    }
    return changed;
}

// Puts the record contents `order` (rows, in their new order) into `places`.
int PlaceRecords(TextGrid& grid, const std::vector<int>& places, const std::vector<int>& order) {
    std::vector<std::vector<std::string>> contents;
    contents.reserve(order.size());
    for (int row : order) {
        std::vector<std::string>& cells = contents.emplace_back();
        for (int col = 1; col < grid.ColCount(); ++col) {
            cells.push_back(grid.TakeCell(col, row));
        }
    }
    int moved = 0;
    for (size_t i = 0; i < places.size(); ++i) {
        moved += places[i] != order[i] ? 1 : 0;
        for (int col = 1; col < grid.ColCount(); ++col) {
            grid.SetCell(col, places[i], std::move(contents[i][static_cast<size_t>(col - 1)]));
        }
    }
    return moved;
}

}  // namespace

int CompareGoodsNames(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const uint32_t wa = NameWeight(DecodeUtf8(a, i));
        const uint32_t wb = NameWeight(DecodeUtf8(b, j));
        if (wa != wb) {
            return wa < wb ? -1 : 1;
        }
    }
    return (i < a.size() ? 1 : 0) - (j < b.size() ? 1 : 0);
}

int SetEan13CheckDigits(const TableDescriptor& table, TextGrid& grid) {
    return ForEachCell(
        table, grid, "KOD", [](const std::string& code) -> std::optional<std::string> {
            if (code.empty() || code.size() >= 14 || !AllDigits(code)) {
                return std::nullopt;
            }
            std::string padded = std::string(code.size() < 12 ? 12 - code.size() : 0, '0') + code;
            padded.resize(12);
            return padded + Ean13CheckDigit(padded);
        });
}

int ShortenNames(const TableDescriptor& table, TextGrid& grid, int length) {
    if (length <= 0) {
        return 0;
    }
    return ForEachCell(table, grid, "NAZ", [length](const std::string& name) {
        return std::optional<std::string>(Utf8Prefix(name, static_cast<size_t>(length)));
    });
}

int StripTrailingPlus(const TableDescriptor& table, TextGrid& grid) {
    return ForEachCell(table, grid, "KOD", [](const std::string& code) {
        return !code.empty() && code.back() == '+'
                   ? std::optional<std::string>(code.substr(0, code.size() - 1))
                   : std::nullopt;
    });
}

namespace {

// Whether a well-formed number out of a double's range is too large (else too small): its
// decimal order, from the digits before the point and the exponent, is above zero.
bool BeyondLargest(std::string_view number) {
    const size_t e = number.find_first_of("eE");
    std::string_view mantissa = number.substr(0, e);
    int64_t exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view digits = number.substr(e + 1);
        const bool negative = !digits.empty() && digits.front() == '-';
        if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
            digits.remove_prefix(1);
        }
        for (const char c : digits) {
            exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 100000);
        }
        exponent = negative ? -exponent : exponent;
    }
    if (!mantissa.empty() && (mantissa.front() == '+' || mantissa.front() == '-')) {
        mantissa.remove_prefix(1);
    }
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    const size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return false;
    }
    const int64_t order = first < point ? static_cast<int64_t>(point - first)
                                        : -static_cast<int64_t>(first - point - 1);
    return order + exponent > 0;
}

}  // namespace

PriceFactor ReadPriceFactor(std::string_view text) {
    std::string taken;
    bool separator = false;
    for (char c : text) {
        if (c == ',' || c == '.') {
            if (separator) {
                break;
            }
            separator = true;
            taken += '.';
        } else if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E') {
            taken += c;
        } else {
            break;
        }
    }
    PriceFactor factor;
    if (const std::optional<double> value = ParseDouble(taken)) {
        factor.value = *value;
        return factor;
    }
    // ParseDouble refuses a number out of range as it refuses no number at all.
    double ignored = 0;
    const char* begin = taken.data() + (!taken.empty() && (taken[0] == '+' || taken[0] == '-'));
    const auto result = std::from_chars(begin, taken.data() + taken.size(), ignored);
    if (result.ec == std::errc::result_out_of_range) {
        factor.fault =
            BeyondLargest(taken) ? PriceFactor::Fault::kTooLarge : PriceFactor::Fault::kTooSmall;
    } else {
        factor.fault = PriceFactor::Fault::kNotANumber;
    }
    return factor;
}

std::optional<std::string> MultipliedPrice(std::string_view price, double factor) {
    // The whole text must be the number: "12zł" is no price to change.
    if (price.empty() || price.find_first_not_of("0123456789,.") != std::string_view::npos ||
        price.find_first_of("0123456789") == std::string_view::npos ||
        std::count_if(price.begin(), price.end(), [](char c) { return c == ',' || c == '.'; }) >
            1) {
        return std::nullopt;
    }
    std::string dotted(price);
    std::replace(dotted.begin(), dotted.end(), ',', '.');
    const std::optional<double> value = ParseDouble(dotted);
    if (!value || !std::isfinite(*value)) {
        return std::nullopt;
    }
    const double cents = *value * factor * 100.0;
    double whole = std::floor(cents);
    if ((cents - whole) * 10.0 >= 4.999999) {
        whole += 1.0;
    }
    return FormatDouble("%.2lf", whole / 100.0);
}

std::string SkippedPricesNote(const std::vector<int>& rows) {
    if (rows.empty()) {
        return {};
    }
    std::string note = rows.size() == 1 ? "Cena w wierszu " : "Ceny w wierszach ";
    for (size_t i = 0; i < rows.size(); ++i) {
        note += (i > 0 ? ", " : "") + DecimalText(rows[i]);
    }
    note += rows.size() == 1 ? " nie jest liczbą i nie została zmieniona."
                             : " nie są liczbami i nie zostały zmienione.";
    return note;
}

ToolOutcome MultiplyPrices(const TableDescriptor& table, TextGrid& grid, std::string_view factor) {
    const PriceFactor read = ReadPriceFactor(factor);
    const std::string unchanged = " Ceny nie zostały zmienione.";
    switch (read.fault) {
        case PriceFactor::Fault::kNotANumber:
            return {0, "Mnożnik cen nie jest liczbą." + unchanged, {}};
        case PriceFactor::Fault::kTooLarge:
            return {0, "Mnożnik cen jest za duży." + unchanged, {}};
        case PriceFactor::Fault::kTooSmall:
            return {0, "Mnożnik cen jest za mały." + unchanged, {}};
        case PriceFactor::Fault::kNone:
            break;
    }
    if (!std::isfinite(read.value)) {
        return {0, "Mnożnik cen jest za duży." + unchanged, {}};
    }
    if (read.value <= 0.0) {
        return {0, "Mnożnik cen musi być liczbą większą od zera." + unchanged, {}};
    }
    const int col = table.ColumnOfKey("CEN");
    std::vector<std::pair<int, std::string>> prices;
    ToolOutcome outcome;
    for (int row = 1; col > 0 && row < grid.RowCount(); ++row) {
        if (grid.Cell(col, row).empty()) {
            continue;
        }
        std::optional<std::string> price = MultipliedPrice(grid.Cell(col, row), read.value);
        if (!price) {
            outcome.skipped.push_back(row);
            continue;
        }
        if (ParseDouble(*price).value_or(kMaxAmount + 1) > kMaxAmount) {
            return {0,
                    "Po pomnożeniu cena w wierszu " + DecimalText(row) + " przekroczy 999999.99." +
                        unchanged,
                    {}};
        }
        prices.emplace_back(row, std::move(*price));
    }
    for (auto& [row, price] : prices) {
        outcome.changed += Set(grid, col, row, std::move(price)) ? 1 : 0;
    }
    return outcome;
}

int SortByName(const TableDescriptor& table, TextGrid& grid, bool descending) {
    const int col = table.ColumnOfKey("NAZ");
    std::vector<int> places;
    for (int row = 1; col > 0 && row < grid.RowCount(); ++row) {
        if (!grid.Cell(col, row).empty()) {
            places.push_back(row);
        }
    }
    // Each name's weights are worked out once, not at every comparison.
    std::vector<std::vector<uint32_t>> keys(static_cast<size_t>(grid.RowCount()));
    for (int row : places) {
        keys[static_cast<size_t>(row)] = NameKey(grid.Cell(col, row));
    }
    std::vector<int> order = places;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto& ka = keys[static_cast<size_t>(a)];
        const auto& kb = keys[static_cast<size_t>(b)];
        return descending ? kb < ka : ka < kb;
    });
    return PlaceRecords(grid, places, order);
}

int CompactRecords(TextGrid& grid) {
    std::vector<int> order;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (!grid.IsEmptyRecord(row)) {
            order.push_back(row);
        }
    }
    std::vector<int> places(order.size());
    std::iota(places.begin(), places.end(), 1);
    // Every row below the records is emptied: the records left them.
    std::vector<int> emptied;
    for (int row = static_cast<int>(order.size()) + 1; row < grid.RowCount(); ++row) {
        emptied.push_back(row);
    }
    const int moved = PlaceRecords(grid, places, order);
    for (int row : emptied) {
        grid.ClearRow(row);
    }
    return moved;
}

namespace {

// Rounded half up to whole grosze, as the register keeps an amount; the allowance keeps a
// product such as 1.005 held as 1.00499999... from rounding down.
double RoundedToGrosze(double value) {
    const double cents = std::floor(std::fabs(value) * 100.0 + 0.5 + 1e-7);
    return std::copysign(cents / 100.0, value);
}

}  // namespace

std::string RecalculatedValue(std::string_view price, std::string_view quantity) {
    const std::optional<double> p = AmountValue(price, kPriceChars, true);
    const std::optional<double> q = AmountValue(quantity, kQuantityChars, false);
    if (!p || !q || *p == 0.0 || *q == 0.0) {
        return "0";
    }
    return ShortestDecimal(RoundedToGrosze(*p * *q));
}

int RecalculateGoodsValues(const TableDescriptor& table, TextGrid& grid, bool stock, bool sales) {
    const int price = table.ColumnOfKey("CEN");
    int changed = 0;
    auto recalculate = [&](std::string_view quantityKey, std::string_view valueKey) {
        const int quantity = table.ColumnOfKey(quantityKey);
        const int value = table.ColumnOfKey(valueKey);
        for (int row = 1; price > 0 && quantity > 0 && value > 0 && row < grid.RowCount(); ++row) {
            // Rows without a record keep their empty value.
            if (grid.IsEmptyRecord(row)) {
                continue;
            }
            changed += Set(grid, value, row,
                           RecalculatedValue(grid.Cell(price, row), grid.Cell(quantity, row)))
                           ? 1
                           : 0;
        }
    };
    if (stock) {
        recalculate("MIL", "MWA");
    }
    if (sales) {
        recalculate("ILO", "WAR");
    }
    return changed;
}

int RecalculatePackagingBalance(const TableDescriptor& table, TextGrid& grid) {
    const int in = table.ColumnOfKey("PRZ");
    const int out = table.ColumnOfKey("WYD");
    const int balance = table.ColumnOfKey("SAL");
    int changed = 0;
    for (int row = 1; in > 0 && out > 0 && balance > 0 && row < grid.RowCount(); ++row) {
        const std::optional<double> a = AmountValue(grid.Cell(in, row), kPriceChars, true);
        const std::optional<double> b = AmountValue(grid.Cell(out, row), kPriceChars, true);
        if (a && b) {
            changed += Set(grid, balance, row, ShortestDecimal(RoundedToGrosze(*a - *b))) ? 1 : 0;
        }
    }
    return changed;
}

int GoodsNameLength(const TableDescriptor& table) {
    const int col = table.ColumnOfKey("NAZ");
    return col > 0 ? table.fields[static_cast<size_t>(col)].format : 0;
}

}  // namespace kasa
