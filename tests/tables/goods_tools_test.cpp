#include "tables/goods_tools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "tables/grid_editor.h"

namespace kasa {
namespace {

const TableDescriptor& Goods() {
    return VesperModel().Table(TableKind::kGoods);
}

constexpr int kName = 1;
constexpr int kCode = 2;
constexpr int kPrice = 6;

TextGrid GoodsGrid() {
    TextGrid grid;
    SetUpGrid(grid, Goods(), true, true, 1);
    return grid;
}

std::vector<std::string> Column(const TextGrid& grid, int col, int rows) {
    std::vector<std::string> texts;
    for (int row = 1; row <= rows; ++row) {
        texts.push_back(grid.Cell(col, row));
    }
    return texts;
}

TEST(GoodsTools, CodesGetCheckDigitsAndLoseOnePlus) {
    TextGrid grid = GoodsGrid();
    const std::vector<std::string> codes = {"590", "5901234123450", "59A1",
                                            "",    "12++",          std::string(30, '7')};
    for (size_t i = 0; i < codes.size(); ++i) {
        grid.SetCell(kCode, static_cast<int>(i) + 1, codes[i]);
    }
    // 3 x 5 + 9 = 24: the check digit of ...590 is 6; 5901234123457 is a valid code.
    EXPECT_EQ(SetEan13CheckDigits(Goods(), grid), 2);
    EXPECT_EQ(StripTrailingPlus(Goods(), grid), 1);
    EXPECT_EQ(Column(grid, kCode, 6),
              (std::vector<std::string>{"0000000005906", "5901234123457", "59A1", "", "12+",
                                        std::string(30, '7')}));
}

TEST(GoodsTools, PricesAreMultipliedOnlyByAUsableFactor) {
    TextGrid grid = GoodsGrid();
    grid.SetCell(kPrice, 1, "10");
    grid.SetCell(kPrice, 2, "0,015");
    grid.SetCell(kPrice, 3, "x");
    const std::vector<std::pair<std::string, std::string>> refusals = {
        {"abc", "Mnożnik cen nie jest liczbą. Ceny nie zostały zmienione."},
        {"0", "Mnożnik cen musi być liczbą większą od zera. Ceny nie zostały zmienione."},
        {"-2", "Mnożnik cen musi być liczbą większą od zera. Ceny nie zostały zmienione."},
        {"1e400", "Mnożnik cen jest za duży. Ceny nie zostały zmienione."},
        {"0,5e-400", "Mnożnik cen jest za mały. Ceny nie zostały zmienione."},
        {"1e6",
         "Po pomnożeniu cena w wierszu 1 przekroczy 999999.99. Ceny nie zostały "
         "zmienione."}};
    for (const auto& [bad, reason] : refusals) {
        const TextGrid before = grid;
        EXPECT_EQ(MultiplyPrices(Goods(), grid, bad).error, reason) << bad;
        EXPECT_EQ(grid, before) << bad;
    }
    const ToolOutcome outcome = MultiplyPrices(Goods(), grid, "1,5");
    EXPECT_EQ(outcome.changed, 2);
    EXPECT_EQ(outcome.skipped, std::vector<int>{3});
    EXPECT_EQ(Column(grid, kPrice, 3), (std::vector<std::string>{"15.00", "0.02", "x"}));
    EXPECT_EQ(MultipliedPrice("0,015", 1.0), "0.02");
    EXPECT_DOUBLE_EQ(ReadPriceFactor("1,5,7zł").value, 1.5);
}

TEST(GoodsTools, AnUnreadablePriceStaysAsItIsAndIsListed) {
    // "12zł" starts with a number, but the price is not one: rewriting it as 12.00 would
    // drop what the user typed without a word.
    TextGrid grid = GoodsGrid();
    const std::vector<std::string> prices = {"12zł", "2", "1,2,3", "", "-4", "3.5"};
    for (size_t i = 0; i < prices.size(); ++i) {
        grid.SetCell(kPrice, static_cast<int>(i) + 1, prices[i]);
    }
    const ToolOutcome outcome = MultiplyPrices(Goods(), grid, "2");
    EXPECT_EQ(outcome.error, "");
    EXPECT_EQ(outcome.changed, 2);
    EXPECT_EQ(outcome.skipped, (std::vector<int>{1, 3, 5}));
    EXPECT_EQ(Column(grid, kPrice, 6),
              (std::vector<std::string>{"12zł", "4.00", "1,2,3", "", "-4", "7.00"}));
    EXPECT_EQ(SkippedPricesNote(outcome.skipped),
              "Ceny w wierszach 1, 3, 5 nie są liczbami i nie zostały zmienione.");
    EXPECT_EQ(SkippedPricesNote({7}), "Cena w wierszu 7 nie jest liczbą i nie została zmieniona.");
    EXPECT_EQ(SkippedPricesNote({}), "");
    EXPECT_FALSE(MultipliedPrice("12zł", 1.0));
    EXPECT_EQ(ReadPriceFactor("1e400").fault, PriceFactor::Fault::kTooLarge);
    EXPECT_EQ(ReadPriceFactor("zł").fault, PriceFactor::Fault::kNotANumber);
}

TEST(GoodsTools, MultipliedPricesRoundHalfAGroszUpDespiteBinaryFractions) {
    // 12,50 x 1,15 = 14,375 by hand, which the binary product falls just short of; half a
    // grosz still goes up. 1,01 x 1,49 = 1,5049: below half a grosz, it goes down.
    TextGrid grid = GoodsGrid();
    grid.SetCell(kPrice, 1, "12,50");
    grid.SetCell(kPrice, 2, "1,01");
    EXPECT_EQ(MultiplyPrices(Goods(), grid, "1,15").changed, 2);
    EXPECT_EQ(Column(grid, kPrice, 2), (std::vector<std::string>{"14.38", "1.16"}));
    EXPECT_EQ(MultipliedPrice("12,50", 1.15), "14.38");
    EXPECT_EQ(MultipliedPrice("1,01", 1.49), "1.50");
}

TEST(GoodsTools, NamesAreShortenedByCharacters) {
    TextGrid grid = GoodsGrid();
    grid.SetCell(kName, 1, "ŻÓŁĆ");
    grid.SetCell(kName, 2, "Ab");
    EXPECT_EQ(ShortenNames(Goods(), grid, 0), 0);
    EXPECT_EQ(ShortenNames(Goods(), grid, 2), 1);
    EXPECT_EQ(Column(grid, kName, 2), (std::vector<std::string>{"ŻÓ", "Ab"}));
}

TEST(GoodsTools, SortPutsPolishLettersAfterTheirBaseAndLeavesGaps) {
    TextGrid grid = GoodsGrid();
    const std::vector<std::string> names = {"Łódź", "", "masło", "Lody", "ala", "Lo"};
    for (size_t i = 0; i < names.size(); ++i) {
        grid.SetCell(kName, static_cast<int>(i) + 1, names[i]);
        grid.SetCell(kPrice, static_cast<int>(i) + 1, std::to_string(i));
    }
    SortByName(Goods(), grid, false);
    EXPECT_EQ(Column(grid, kName, 6),
              (std::vector<std::string>{"ala", "", "Lo", "Lody", "Łódź", "masło"}));
    EXPECT_EQ(Column(grid, kPrice, 6), (std::vector<std::string>{"4", "1", "5", "3", "0", "2"}));
    SortByName(Goods(), grid, true);
    EXPECT_EQ(Column(grid, kName, 6),
              (std::vector<std::string>{"masło", "", "Łódź", "Lody", "Lo", "ala"}));
}

TEST(GoodsTools, SortPutsZWithAcuteBeforeZWithDotInEitherCase) {
    TextGrid grid = GoodsGrid();
    const std::vector<std::string> names = {"Żaba", "Źródło", "żal", "źle"};
    for (size_t i = 0; i < names.size(); ++i) {
        grid.SetCell(kName, static_cast<int>(i) + 1, names[i]);
    }
    SortByName(Goods(), grid, false);
    EXPECT_EQ(Column(grid, kName, 4), (std::vector<std::string>{"źle", "Źródło", "Żaba", "żal"}));
}

// Names in the Polish order, worked out letter by letter: a Polish letter just after its
// base letter and before the next one, capitals and small letters alike.
const std::vector<std::string> kPolishOrder = {
    "as",  "Ąb",    "ąc",    "Ąz",   "Ba",  "cel",    "Ćma",  "ćwierć",   "Ela",
    "Ęk",  "ęz",    "Kasa",  "Kat",  "Kaz", "Kąt",    "Lis",  "Łan",      "łoś",
    "Łza", "mak",   "Nos",   "Ńa",   "ńo",  "Osa",    "Ósmy", "ówczesny", "pas",
    "Sok", "Śląsk", "śruba", "Zeta", "źle", "Źródło", "Żaba", "żal"};

// The exchange loop the sort replaces, as the reference for its order.
void ExchangeSort(TextGrid& grid, bool descending) {
    for (int i = 1; i < grid.RowCount() - 1; ++i) {
        for (int j = i + 1; !grid.Cell(kName, i).empty() && j < grid.RowCount(); ++j) {
            const int order = CompareGoodsNames(grid.Cell(kName, j), grid.Cell(kName, i));
            if (!grid.Cell(kName, j).empty() && (descending ? order > 0 : order < 0)) {
                for (int col = 1; col < grid.ColCount(); ++col) {
                    std::string held = grid.Cell(col, i);
                    grid.SetCell(col, i, grid.Cell(col, j));
                    grid.SetCell(col, j, std::move(held));
                }
            }
        }
    }
}

TEST(GoodsTools, SortMatchesTheExchangeLoopOnRandomTables) {
    std::mt19937 random(16);
    const std::vector<std::string> letters = {"a", "A", "ą", "Ą", "c", "ć", "Ć", "e", "ę", "Ę",
                                              "l", "ł", "Ł", "n", "ń", "Ń", "o", "ó", "Ó", "s",
                                              "ś", "Ś", "z", "ź", "Ź", "ż", "Ż", " ", "1"};
    for (int table = 0; table < 4; ++table) {
        TextGrid grid(11, 160);
        std::vector<std::string> seen;
        for (int row = 1; row < grid.RowCount(); ++row) {
            std::string name;
            for (size_t n = random() % 6; n > 0; --n) {
                name += letters[random() % letters.size()];
            }
            // Names that compare equal are left out: the loop's order among them is not kept.
            bool equal = false;
            for (const std::string& other : seen) {
                equal = equal || CompareGoodsNames(name, other) == 0;
            }
            if (!name.empty() && !equal) {
                seen.push_back(name);
                grid.SetCell(kName, row, name);
                grid.SetCell(kPrice, row, std::to_string(row));
            }
        }
        for (const bool descending : {false, true}) {
            TextGrid fast = grid;
            TextGrid loop = grid;
            SortByName(Goods(), fast, descending);
            ExchangeSort(loop, descending);
            EXPECT_EQ(fast, loop) << table << descending;
        }
    }
}

TEST(GoodsTools, SortGivesThePolishOrderWorkedOutByHand) {
    std::mt19937 random(30);
    for (int table = 0; table < 4; ++table) {
        // The names scattered over random rows of a larger grid, the other rows left empty.
        std::vector<int> rows(60);
        for (size_t i = 0; i < rows.size(); ++i) {
            rows[i] = static_cast<int>(i) + 1;
        }
        std::shuffle(rows.begin(), rows.end(), random);
        TextGrid grid(11, 61);
        for (size_t i = 0; i < kPolishOrder.size(); ++i) {
            grid.SetCell(kName, rows[i], kPolishOrder[i]);
        }
        for (const bool descending : {false, true}) {
            SortByName(Goods(), grid, descending);
            std::vector<std::string> sorted;
            for (int row = 1; row < grid.RowCount(); ++row) {
                if (!grid.Cell(kName, row).empty()) {
                    sorted.push_back(grid.Cell(kName, row));
                }
            }
            std::vector<std::string> expected = kPolishOrder;
            if (descending) {
                std::reverse(expected.begin(), expected.end());
            }
            EXPECT_EQ(sorted, expected) << table << descending;
        }
    }
}

TEST(GoodsTools, CompactMovesRecordsUpInOrder) {
    TextGrid grid = GoodsGrid();
    grid.SetCell(kName, 3, "Chleb");
    grid.SetCell(kPrice, 3, "3");
    grid.SetCell(kName, 7, "Bułka");
    CompactRecords(grid);
    EXPECT_EQ(Column(grid, kName, 7),
              (std::vector<std::string>{"Chleb", "Bułka", "", "", "", "", ""}));
    EXPECT_EQ(Column(grid, kPrice, 3), (std::vector<std::string>{"3", "", ""}));
    EXPECT_EQ(Column(grid, 0, 2), (std::vector<std::string>{"1", "2"}));
}

// Values are rounded half up to whole grosze, as the register keeps them: 1,99 x 0,333 is
// 0,66267 and 0,5 x 0,011 is 0,0055.
TEST(GoodsTools, ValuesAreRecalculatedInFixedNotationToWholeGrosze) {
    TextGrid grid = GoodsGrid();
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"2,5", "4"}, {"0,00001", "1"},  {"", "3"},        {"abc", "2"},
        {"1", "0"},   {"1,99", "0,333"}, {"0,5", "0,011"}, {"0,5", "0,009"}};
    for (size_t i = 0; i < rows.size(); ++i) {
        grid.SetCell(kName, static_cast<int>(i) + 1, "Towar");
        grid.SetCell(kPrice, static_cast<int>(i) + 1, rows[i].first);
        grid.SetCell(7, static_cast<int>(i) + 1, rows[i].second);
        grid.SetCell(9, static_cast<int>(i) + 1, "2");
    }
    RecalculateGoodsValues(Goods(), grid, false, true);
    EXPECT_EQ(Column(grid, 8, 8),
              (std::vector<std::string>{"10", "0", "0", "0", "0", "0.66", "0.01", "0"}));
    EXPECT_EQ(grid.Cell(10, 1), "");
    EXPECT_EQ(grid.Cell(8, 9), "");

    const TableDescriptor& packaging = VesperModel().Table(TableKind::kPackaging);
    TextGrid boxes;
    SetUpGrid(boxes, packaging, true, true, 1);
    const int in = packaging.ColumnOfKey("PRZ");
    boxes.SetCell(in, 1, "10");
    boxes.SetCell(in + 1, 1, "2,5");
    boxes.SetCell(in, 2, "1a");
    boxes.SetCell(in + 2, 2, "9");
    EXPECT_EQ(RecalculatePackagingBalance(packaging, boxes), 1);
    EXPECT_EQ(boxes.Cell(in + 2, 1), "7.5");
    EXPECT_EQ(boxes.Cell(in + 2, 2), "9");
}

TEST(GoodsTools, QuantitiesHaveTheirOwnLengthLimit) {
    // 2 x 123456,789 = 246913,578 and 1 x 1234567,891: ten and eleven characters, longer
    // than a price may be. Twelve characters are more than a quantity can hold.
    EXPECT_EQ(RecalculatedValue("2", "123456,789"), "246913.58");
    EXPECT_EQ(RecalculatedValue("1", "1234567,891"), "1234567.89");
    EXPECT_EQ(RecalculatedValue("1", "12345678,901"), "0");
    EXPECT_EQ(RecalculatedValue("1234567,89", "1"), "0");
    TextGrid grid = GoodsGrid();
    grid.SetCell(kName, 1, "Towar");
    grid.SetCell(kPrice, 1, "0,5");
    grid.SetCell(7, 1, "123456,789");
    grid.SetCell(9, 1, "2000000,001");
    RecalculateGoodsValues(Goods(), grid, true, true);
    EXPECT_EQ(grid.Cell(8, 1), "61728.39");
    EXPECT_EQ(grid.Cell(10, 1), "1000000");
}

TEST(GoodsTools, OneUndoTakesAWholeToolRunBack) {
    GridEditor editor;
    TextGrid grid = GoodsGrid();
    for (int row = 1; row < grid.RowCount(); ++row) {
        grid.SetCell(kName, row, "T" + std::to_string(grid.RowCount() - row));
    }
    // A paste of the empty clipboard empties one cell: the undo step before the tool's.
    editor.Key(Goods(), grid, kName, 1, GridKey::kPaste);
    const TextGrid typed = grid;
    SortByName(Goods(), grid, false);
    const auto changed = editor.RecordToolRun(Goods().tableName, typed, grid);
    EXPECT_GT(changed.size(), 2000u);
    editor.Key(Goods(), grid, kName, 5, GridKey::kUndo);
    EXPECT_EQ(grid, typed);
    // The next undo is the paste's.
    editor.Key(Goods(), grid, kName, 5, GridKey::kUndo);
    EXPECT_EQ(grid.Cell(kName, 1), "T" + std::to_string(grid.RowCount() - 1));
}

}  // namespace
}  // namespace kasa
