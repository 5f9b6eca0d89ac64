#include "tables/text_grid.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

TEST(TextGridTest, GoodsGridStartsAtMinPlu) {
    struct Case {
        const RegisterModel* model;
        int minPlu;
        int rows;
        const char* first;
        const char* last;
    };
    const Case cases[] = {
        {&VesperModel(), 1000, 1302, "1000", "2300"}, {&VesperModel(), 1, 2301, "1", "2300"},
        {&ZenModel(), 1, 2637, "1", "2636"},          {&ZenModel(), 5, 2633, "5", "2636"},
        {&VesperModel(), 0, 2301, "1", "2300"},  // below 1 reads as 1
    };
    for (const Case& c : cases) {
        TextGrid grid;
        SetUpGrid(grid, c.model->Table(TableKind::kGoods), true, true, c.minPlu);
        EXPECT_EQ(grid.RowCount(), c.rows) << c.minPlu;
        EXPECT_EQ(grid.Cell(0, 1), c.first) << c.minPlu;
        EXPECT_EQ(grid.Cell(0, grid.RowCount() - 1), c.last) << c.minPlu;
    }
}

TEST(TextGridTest, NumberingAndTitles) {
    TextGrid grid;
    const TableDescriptor& surcharges = VesperModel().Table(TableKind::kSurcharges);
    SetUpGrid(grid, surcharges, true, true, 1000);  // minPLU concerns goods only
    ASSERT_EQ(grid.RowCount(), 5);
    ASSERT_EQ(grid.ColCount(), 4);
    EXPECT_EQ(grid.Cell(0, 1), "5");
    EXPECT_EQ(grid.Cell(0, 4), "8");
    EXPECT_EQ(grid.Cell(2, 0), "Wartość %");
    EXPECT_EQ(RecordNumberOfRow(surcharges, 1000, 4), 8);

    TextGrid cashiers;
    SetUpGrid(cashiers, VesperModel().Table(TableKind::kCashiers), true, true, 1);
    EXPECT_EQ(cashiers.ColCount(), 28);
    EXPECT_EQ(cashiers.RowCount(), 9);
}

TEST(TextGridTest, ClearAndRebuild) {
    const TableDescriptor& keys = VesperModel().Table(TableKind::kKeys);
    TextGrid grid;
    SetUpGrid(grid, keys, true, true, 1);
    grid.SetCell(1, 3, "12");
    grid.SetCell(0, 3, "x");

    // Rebuild alone keeps the values and writes the numbers again.
    SetUpGrid(grid, keys, false, true, 1);
    EXPECT_EQ(grid.Cell(1, 3), "12");
    EXPECT_EQ(grid.Cell(0, 3), "3");

    // Clear with rebuild empties the records and numbers them again.
    SetUpGrid(grid, keys, true, true, 1);
    EXPECT_EQ(grid.Cell(1, 3), "");
    EXPECT_EQ(grid.Cell(0, 3), "3");
    EXPECT_EQ(grid.Cell(1, 0), "PLU");

    // Clear alone empties the numbers too.
    grid.SetCell(2, 4, "1");
    SetUpGrid(grid, keys, true, false, 1);
    EXPECT_EQ(grid.Cell(0, 4), "");
    EXPECT_EQ(grid.Cell(2, 4), "");
    EXPECT_EQ(grid.Cell(3, 0), "Transakcja");
}

TEST(TextGridTest, ModelChangeResizes) {
    TextGrid grid;
    SetUpGrid(grid, VesperModel().Table(TableKind::kGoods), true, true, 1);
    grid.SetCell(1, 1, "Chleb");
    grid.SetCell(10, 1, "9.99");
    SetUpGrid(grid, ZenModel().Table(TableKind::kGoods), false, true, 1);
    EXPECT_EQ(grid.ColCount(), 7);
    EXPECT_EQ(grid.RowCount(), 2637);
    EXPECT_EQ(grid.Cell(1, 1), "Chleb");
    EXPECT_EQ(grid.Cell(10, 1), "");
    EXPECT_EQ(grid.Cell(0, 2636), "2636");
}

TEST(TextGridTest, CellsOutsideReadEmptyAndRefuseWrites) {
    TextGrid grid(3, 2);
    EXPECT_TRUE(grid.SetCell(2, 1, "a"));
    EXPECT_FALSE(grid.SetCell(3, 1, "a"));
    EXPECT_FALSE(grid.SetCell(0, 2, "a"));
    EXPECT_FALSE(grid.SetCell(-1, 0, "a"));
    EXPECT_EQ(grid.Cell(2, 1), "a");
    EXPECT_EQ(grid.Cell(0, 2), "");  // the row past the end
    EXPECT_EQ(grid.Cell(-1, -1), "");
}

TEST(TextGridTest, EmptyRecords) {
    TextGrid grid(4, 3);
    grid.SetCell(0, 1, "1");
    grid.SetCell(2, 1, "3.49");
    grid.SetCell(1, 2, "Mleko");
    EXPECT_TRUE(grid.IsEmptyRecord(1));  // no name, whatever else it holds
    EXPECT_FALSE(grid.IsEmptyRecord(2));
    EXPECT_TRUE(grid.IsEmptyRecord(3));
    grid.ClearRow(2);
    EXPECT_TRUE(grid.IsEmptyRecord(2));
    grid.SetCell(1, 2, "Mleko");
    grid.ClearValues();
    EXPECT_TRUE(grid.IsEmptyRecord(2));
    EXPECT_EQ(grid.Cell(0, 1), "1");
}

TEST(TextGridTest, ColumnWidthsInCharacters) {
    TextGrid grid(3, 3);
    grid.SetCell(0, 0, "N");
    grid.SetCell(0, 1, "1");
    grid.SetCell(1, 0, "Nazwa");
    grid.SetCell(1, 1, "Żółć");         // four characters, eight bytes
    grid.SetCell(1, 2, "Chleb żytni");  // eleven characters
    grid.SetCell(2, 0, "Ilość");
    grid.SetCell(2, 1, "12");
    EXPECT_EQ(grid.ColumnWidthChars(0), 2);  // one character still gives 2
    EXPECT_EQ(grid.ColumnWidthChars(1), 11);
    EXPECT_EQ(grid.ColumnWidthChars(2), 5);
    EXPECT_EQ(grid.ColumnWidthsChars(), (std::vector<int>{2, 11, 5}));
}

}  // namespace
}  // namespace kasa
