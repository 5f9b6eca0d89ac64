// The tools of the "P&LU" menu and the recalculation panels: each fixes up a whole goods or
// packaging grid in place and touches grid cells only. Columns are found by key in the
// table's own descriptor, so a type without a column leaves its tool with nothing to do.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace kasa {

// The order of goods names: character by character without regard to case, a Polish
// letter right after its Latin base letter, a prefix before the longer name.
// Negative, zero or positive as `a` sorts before, with or after `b`.
int CompareGoodsNames(std::string_view a, std::string_view b);

// "Ustaw sumę EAN13": every code of digits shorter than 14 is padded to 12 with leading
// zeros and given its check digit as the 13th. Codes with other characters stay. Returns
// the number of codes changed.
int SetEan13CheckDigits(const TableDescriptor& table, TextGrid& grid);
// Cuts every name of `length` or more characters to its first `length`; nothing for 0.
int ShortenNames(const TableDescriptor& table, TextGrid& grid, int length);
// Removes one trailing "+" from every code that ends in one.
int StripTrailingPlus(const TableDescriptor& table, TextGrid& grid);

// The factor typed into "Mnożnik cen": the run of digits, signs, exponents and one
// separator ("," reads as ".") at the front. `fault` tells why there is no usable value.
struct PriceFactor {
    enum class Fault { kNone, kNotANumber, kTooLarge, kTooSmall };
    double value = 0;
    Fault fault = Fault::kNone;
};
PriceFactor ReadPriceFactor(std::string_view text);
// `price` times `factor`, brought to two decimals with halves going up; nullopt when the
// price is not a number of digits with at most one "," or ".".
std::optional<std::string> MultipliedPrice(std::string_view price, double factor);
// Multiplies every price that can be read; the others stay as they are and their rows are
// listed in `skipped`. A factor that is no number above 0, or a result that would not fit
// the price column, changes nothing and gives the message why.
struct ToolOutcome {
    int changed = 0;
    std::string error;         // Polish; empty when the tool ran
    std::vector<int> skipped;  // rows whose price could not be read
};
// The note on the prices left as they were; empty when there were none.
std::string SkippedPricesNote(const std::vector<int>& rows);
ToolOutcome MultiplyPrices(const TableDescriptor& table, TextGrid& grid, std::string_view factor);

// Sorts the records by name among the rows that hold one; rows without a name stay put.
// Records with equal names keep their order.
int SortByName(const TableDescriptor& table, TextGrid& grid, bool descending);
// Moves every record up over the empty rows above it, in order; the gaps go to the end.
int CompactRecords(TextGrid& grid);

// A recalculated value: price times quantity, rounded half up to grosze, in fixed notation
// with a point; "0" when either text is not a number, zero, or the price is empty.
std::string RecalculatedValue(std::string_view price, std::string_view quantity);
// "Przelicz Bazę": the value from price and quantity, the stock value from price and
// stock quantity, as chosen.
int RecalculateGoodsValues(const TableDescriptor& table, TextGrid& grid, bool stock, bool sales);
// "Przelicz całą Bazę": the balance of every packaging row whose receipts and issues are
// both numbers becomes their difference.
int RecalculatePackagingBalance(const TableDescriptor& table, TextGrid& grid);

// The length of the type's goods names: the proposal of "Skróć nazwy".
int GoodsNameLength(const TableDescriptor& table);

}  // namespace kasa
