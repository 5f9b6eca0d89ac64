// Which columns of the goods and cashier tables are printed, and how, as kept in the flag
// arrays of the settings. The goods choices are one table: each radio button of the goods
// print window is one flag, each check box of "Pozostałe pola tekstowe" another.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "print/table_print_layout.h"
#include "tables/catalogue.h"

namespace kasa {

inline constexpr int kPrintChoiceFlags = 30;
using PrintFlags = std::array<bool, kPrintChoiceFlags>;

enum class GoodsPrintGroup { kNumber, kName, kCode };

struct GoodsChoiceRadio {
    GoodsPrintGroup group;
    std::string_view caption;
    std::optional<CellStyle> style;  // nullopt: "Brak", the column is not printed
    int flag;                        // PLU_flag number
};
// Flags 0..3 the PLU number, 4..6 the name, 7..10 the barcode; within a group the first,
// "Tekst", holds when none of its flags is set.
std::span<const GoodsChoiceRadio> GoodsChoiceRadios();
std::string_view GoodsGroupCaption(GoodsPrintGroup group);

// The check boxes of the remaining text columns: flag kGoodsOtherFirstFlag + i for the
// i-th column of the table that is not the number, the name or the barcode.
inline constexpr int kGoodsOtherFirstFlag = 11;
inline constexpr int kGoodsOtherCount = 11;
std::vector<int> GoodsOtherColumns(const TableDescriptor& goods);

// The radio chosen in a group by the flags.
const GoodsChoiceRadio& ChosenGoodsRadio(const PrintFlags& flags, GoodsPrintGroup group);
// Sets one radio's flag and clears the others of its group.
void ChooseGoodsRadio(PrintFlags& flags, const GoodsChoiceRadio& radio);

// The columns printed: number, name and barcode as chosen, then the remaining columns
// whose boxes are ticked, in the table's order.
std::vector<PrintColumn> GoodsPrintColumns(const TableDescriptor& goods, const PrintFlags& flags);
// The cashier table: KAS_flag n prints column n as text.
std::vector<PrintColumn> CashierPrintColumns(const TableDescriptor& cashiers,
                                             const PrintFlags& flags);

}  // namespace kasa
