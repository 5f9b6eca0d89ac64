#include "tables/duplicate_checks.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/codepage.h"
#include "base/number_text.h"

namespace kasa {

namespace {

constexpr std::u32string_view kPolishCapitals = U"ĄĆĘŁŃÓŚŹŻ";

bool KeptInName(char32_t cp) {
    return (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9') || cp == '.' || cp == ',' ||
           cp == '\\' || cp == '/' || kPolishCapitals.find(cp) != std::u32string_view::npos;
}

// Reports every pair of rows i < j of `goods` whose keys are equal and not empty, in the
// order i, then j, until the limit.
void ReportEqualPairs(ValidationPass& pass, const TextGrid& goods, int col,
                      const std::vector<std::string>& keys, std::string_view subject,
                      std::string_view verb) {
    struct Group {
        std::vector<int> rows;
        size_t next = 0;  // the member that the walk over the rows reaches next
    };
    std::unordered_map<std::string_view, Group> groups;
    groups.reserve(keys.size());
    for (size_t row = 1; row < keys.size(); ++row) {
        if (!keys[row].empty()) {
            groups[keys[row]].rows.push_back(static_cast<int>(row));
        }
    }
    const std::string table(kGoodsTableName);
    const std::string colText = DecimalText(col);
    for (size_t i = 1; i < keys.size() && !pass.LimitReached(); ++i) {
        if (keys[i].empty()) {
            continue;
        }
        Group& group = groups[keys[i]];
        const size_t self = group.next++;
        for (size_t k = self + 1; k < group.rows.size() && !pass.LimitReached(); ++k) {
            const int j = group.rows[k];
            pass.Report(table + ": " + std::string(subject) + " " +
                            goods.Cell(col, static_cast<int>(i)) + " w wierszu " +
                            DecimalText(static_cast<int64_t>(i)) + " " + colText + "," +
                            DecimalText(j) + " " + colText + " " + std::string(verb) + ".",
                        {table, col, j});
        }
    }
}

std::vector<std::string> ColumnTexts(const TextGrid& goods, int col, bool names) {
    std::vector<std::string> keys(static_cast<size_t>(std::max(goods.RowCount(), 1)));
    for (int row = 1; row < goods.RowCount(); ++row) {
        const std::string& cell = goods.Cell(col, row);
        keys[static_cast<size_t>(row)] = names ? NormalisedName(cell) : cell;
    }
    return keys;
}

}  // namespace

std::string NormalisedName(std::string_view name) {
    const std::string upper = Utf8ToUpper(name);
    std::string out;
    out.reserve(upper.size());
    for (size_t pos = 0; pos < upper.size();) {
        const char32_t cp = DecodeUtf8(upper, pos);
        if (KeptInName(cp)) {
            AppendUtf8(out, cp);
        }
    }
    return out;
}

void CheckNameUniqueness(ValidationPass& pass, const TextGrid& goods) {
    ReportEqualPairs(pass, goods, 1, ColumnTexts(goods, 1, true), "nazwa", "jest identyczna");
    pass.lines.push_back({"Koniec sprawdzania unikalności nazw.", {}});
}

void CheckEanUniqueness(ValidationPass& pass, const TextGrid& goods) {
    ReportEqualPairs(pass, goods, 2, ColumnTexts(goods, 2, false), "kod kreskowy ",
                     "jest identyczny");
    if (pass.LimitReached()) {
        pass.AddLimitLine();
    }
    pass.lines.push_back({"Koniec sprawdzania unikalności kodów EAN13.", {}});
}

}  // namespace kasa
