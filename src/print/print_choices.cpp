#include "print/print_choices.h"

#include <algorithm>

namespace kasa {

namespace {

constexpr GoodsChoiceRadio kGoodsRadios[] = {
    {GoodsPrintGroup::kNumber, "Tekst", CellStyle::kText, 0},
    {GoodsPrintGroup::kNumber, "Kod kreskowy EAN128", CellStyle::kCode128, 1},
    {GoodsPrintGroup::kNumber, "Kod kreskowy EAN13", CellStyle::kEan13, 2},
    {GoodsPrintGroup::kNumber, "Brak", std::nullopt, 3},
    {GoodsPrintGroup::kName, "Tekst", CellStyle::kText, 4},
    {GoodsPrintGroup::kName, "Kod kreskowy EAN128", CellStyle::kCode128, 5},
    {GoodsPrintGroup::kName, "Brak", std::nullopt, 6},
    {GoodsPrintGroup::kCode, "Tekst", CellStyle::kText, 7},
    {GoodsPrintGroup::kCode, "Kod kreskowy EAN128", CellStyle::kCode128, 8},
    {GoodsPrintGroup::kCode, "Kod kreskowy EAN13", CellStyle::kEan13, 9},
    {GoodsPrintGroup::kCode, "Brak", std::nullopt, 10},
};

int GroupColumn(const TableDescriptor& goods, GoodsPrintGroup group) {
    switch (group) {
        case GoodsPrintGroup::kNumber:
            return 0;
        case GoodsPrintGroup::kName:
            return goods.ColumnOfKey("NAZ");
        case GoodsPrintGroup::kCode:
            return goods.ColumnOfKey("KOD");
    }
    return -1;
}

}  // namespace

std::span<const GoodsChoiceRadio> GoodsChoiceRadios() {
    return kGoodsRadios;
}

std::string_view GoodsGroupCaption(GoodsPrintGroup group) {
    switch (group) {
        case GoodsPrintGroup::kNumber:
            return "Numer PLU";
        case GoodsPrintGroup::kName:
            return "Nazwa Towaru";
        case GoodsPrintGroup::kCode:
            return "Kod kreskowy";
    }
    return {};
}

std::vector<int> GoodsOtherColumns(const TableDescriptor& goods) {
    std::vector<int> columns;
    const int name = GroupColumn(goods, GoodsPrintGroup::kName);
    const int code = GroupColumn(goods, GoodsPrintGroup::kCode);
    for (int c = 1; c < goods.FieldCount() && columns.size() < kGoodsOtherCount; ++c) {
        if (c != name && c != code) {
            columns.push_back(c);
        }
    }
    return columns;
}

const GoodsChoiceRadio& ChosenGoodsRadio(const PrintFlags& flags, GoodsPrintGroup group) {
    const GoodsChoiceRadio* first = nullptr;
    for (const GoodsChoiceRadio& radio : kGoodsRadios) {
        if (radio.group != group) {
            continue;
        }
        if (flags[static_cast<size_t>(radio.flag)]) {
            return radio;
        }
        first = first != nullptr ? first : &radio;
    }
    return *first;
}

void ChooseGoodsRadio(PrintFlags& flags, const GoodsChoiceRadio& radio) {
    for (const GoodsChoiceRadio& other : kGoodsRadios) {
        if (other.group == radio.group) {
            flags[static_cast<size_t>(other.flag)] = other.flag == radio.flag;
        }
    }
}

std::vector<PrintColumn> GoodsPrintColumns(const TableDescriptor& goods, const PrintFlags& flags) {
    std::vector<PrintColumn> columns;
    for (const GoodsPrintGroup group :
         {GoodsPrintGroup::kNumber, GoodsPrintGroup::kName, GoodsPrintGroup::kCode}) {
        const GoodsChoiceRadio& radio = ChosenGoodsRadio(flags, group);
        const int column = GroupColumn(goods, group);
        if (radio.style && column >= 0) {
            columns.push_back({column, *radio.style});
        }
    }
    const std::vector<int> others = GoodsOtherColumns(goods);
    for (size_t i = 0; i < others.size(); ++i) {
        if (flags[kGoodsOtherFirstFlag + i]) {
            columns.push_back({others[i], CellStyle::kText});
        }
    }
    return columns;
}

std::vector<PrintColumn> CashierPrintColumns(const TableDescriptor& cashiers,
                                             const PrintFlags& flags) {
    std::vector<PrintColumn> columns;
    for (int c = 0; c < std::min(cashiers.FieldCount(), kPrintChoiceFlags); ++c) {
        if (flags[static_cast<size_t>(c)]) {
            columns.push_back({c, CellStyle::kText});
        }
    }
    return columns;
}

}  // namespace kasa
