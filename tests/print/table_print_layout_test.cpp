#include "print/table_print_layout.h"

#include <gtest/gtest.h>

#include "print/print_choices.h"
#include "support/recording_ui.h"

namespace kasa {
namespace {

// Left 0.5 in, bottom and right 0.3 in, bars 0.5 in, rows 0.05 in apart, columns 0.1 in.
PrintParameters Parameters() {
    PrintParameters p;
    p.inches = {0.5, 0.5, 0.3, 0.3, 0.05, 0.1};
    return p;
}

TextGrid GridOf(const TableDescriptor& table, int records) {
    TextGrid grid(table.FieldCount(), records + 1);
    for (int c = 0; c < table.FieldCount(); ++c) {
        grid.SetCell(c, 0, std::string(table.fields[static_cast<size_t>(c)].title));
    }
    for (int r = 1; r <= records; ++r) {
        grid.SetCell(0, r, std::to_string(r));
    }
    return grid;
}

TablePrintRequest Request(const TableDescriptor& table, const TextGrid& grid,
                          std::vector<PrintColumn> columns) {
    return {&table, &grid, std::move(columns), Parameters()};
}

TEST(TablePrintLayout, PlacesColumnsAndRowsFromTheMargins) {
    const TableDescriptor& cashiers = ZenModel().Table(TableKind::kCashiers);
    TextGrid grid = GridOf(cashiers, 8);
    grid.SetCell(1, 1, "Anna");
    grid.SetCell(1, 3, "Żaneta");
    const TableLayoutResult laid =
        LayOutTable(Request(cashiers, grid, {{0, CellStyle::kText}, {1, CellStyle::kText}}));
    ASSERT_TRUE(laid.ok()) << laid.error;
    ASSERT_EQ(laid.document.pages.size(), 1u);
    EXPECT_EQ(laid.document.width, 210);
    const std::vector<TextItem>& t = laid.document.pages[0].texts;
    ASSERT_EQ(t.size(), 1 + 2 * 3 + 1u);  // title, titles and two records, page number
    EXPECT_EQ(t[0].text, "Tabela Kasjer");
    // 8 pt monospaced: 1.6933 mm a character, 3.5278 mm a line. "Numer" takes 5
    // characters, "Nazwa kasjera" 13; the columns are 2.54 mm apart.
    EXPECT_EQ(t[1].text, "Numer");
    EXPECT_NEAR(t[1].x, 12.7, 1e-6);
    EXPECT_NEAR(t[1].width, 8.466667, 1e-6);
    EXPECT_NEAR(t[1].y, 16.173611, 1e-6);  // below the 10 pt title and half a line
    EXPECT_EQ(t[2].text, "Nazwa kasjera");
    EXPECT_NEAR(t[2].x, 23.706667, 1e-6);
    EXPECT_NEAR(t[2].width, 22.013333, 1e-6);
    EXPECT_EQ(t[3].text, "1");
    EXPECT_EQ(t[4].text, "Anna");
    EXPECT_NEAR(t[4].y, 20.971389, 1e-6);  // one line and the row spacing lower
    EXPECT_EQ(t[5].text, "3");             // the empty second record is not printed
    EXPECT_EQ(t[6].text, "Żaneta");
    EXPECT_NEAR(t[6].y, 25.769167, 1e-6);
    EXPECT_EQ(t.back().text, "Strona 1 z 1");
    // All 14 columns are too wide for portrait even in 6 pt: the page turns.
    const TableLayoutResult all = LayOutTable(Request(cashiers, grid, AllTextColumns(cashiers)));
    ASSERT_TRUE(all.ok()) << all.error;
    EXPECT_EQ(all.document.width, 297);
    EXPECT_EQ(all.document.pages[0].texts.size(), 1 + 3 * 14 + 1u);
}

TEST(TablePrintLayout, CellsLongerThanTheirColumnAreCutWithAMark) {
    const TableDescriptor& cashiers = ZenModel().Table(TableKind::kCashiers);
    TextGrid grid = GridOf(cashiers, 3);
    // "Nazwa kasjera" makes the column 13 characters wide.
    grid.SetCell(1, 1, "Anna Kowalska");
    grid.SetCell(1, 2, "Anna Kowalska1");
    grid.SetCell(1, 3, "Bartłomiej Żółtowski");
    TablePrintRequest request =
        Request(cashiers, grid, {{1, CellStyle::kText}, {0, CellStyle::kText}});
    request.parameters = DefaultPrintParameters();
    const TableLayoutResult laid = LayOutTable(request);
    ASSERT_TRUE(laid.ok()) << laid.error;
    const std::vector<TextItem>& t = laid.document.pages.at(0).texts;
    ASSERT_EQ(t.size(), 1 + 2 * 4 + 1u);
    EXPECT_EQ(t[1].text, "Nazwa kasjera");
    EXPECT_EQ(t[3].text, "Anna Kowalska");
    EXPECT_EQ(t[5].text, "Anna Kowalsk…");
    EXPECT_EQ(t[7].text, "Bartłomiej Ż…");
    // With the fresh gap the next column starts 2 mm or more after the cut text's box.
    EXPECT_GE(t[2].x - (t[1].x + t[1].width), 2.0 - 1e-9);
    EXPECT_EQ(FitToColumn("abc", 3), "abc");
    EXPECT_EQ(FitToColumn("abcd", 3), "ab…");
    EXPECT_EQ(FitToColumn("żółw", 1), "…");
}

TEST(TablePrintLayout, StartsANewPageAtTheBottomMargin) {
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    TextGrid grid = GridOf(goods, 60);
    for (int r = 1; r <= 60; ++r) {
        grid.SetCell(1, r, "Towar " + std::to_string(r));
    }
    const TableLayoutResult laid = LayOutTable(Request(goods, grid, {{1, CellStyle::kText}}));
    ASSERT_TRUE(laid.ok()) << laid.error;
    // Rows start at 20.9714 mm, 4.7978 mm apart, and end above 297 - 7.62 mm: 56 fit.
    ASSERT_EQ(laid.document.pages.size(), 2u);
    const std::vector<TextItem>& first = laid.document.pages[0].texts;
    const std::vector<TextItem>& second = laid.document.pages[1].texts;
    ASSERT_EQ(first.size(), 2 + 56 + 1u);
    EXPECT_EQ(first[57].text, "Towar 56");
    EXPECT_LE(first[57].y + first[57].height, 297 - 7.62);
    ASSERT_EQ(second.size(), 2 + 4 + 1u);
    EXPECT_EQ(second[1].text, "Nazwa");
    EXPECT_EQ(second[2].text, "Towar 57");
    EXPECT_NEAR(second[2].y, first[2].y, 1e-9);
    EXPECT_EQ(second.back().text, "Strona 2 z 2");
}

TEST(TablePrintLayout, BarcodeCellsCarryTheirDataAndBadCodesStayMarkedText) {
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    TextGrid grid = GridOf(goods, 5);
    const std::vector<std::pair<std::string, std::string>> rows = {{"Żółw", "5901234123457"},
                                                                   {"Ala", "96385074"},
                                                                   {"Ola", "00123"},
                                                                   {"Ela", "590123412345"},
                                                                   {"Iza", "12AB"}};
    for (size_t i = 0; i < rows.size(); ++i) {
        grid.SetCell(1, static_cast<int>(i) + 1, rows[i].first);
        grid.SetCell(2, static_cast<int>(i) + 1, rows[i].second);
    }
    const TableLayoutResult laid =
        LayOutTable(Request(goods, grid, {{1, CellStyle::kCode128}, {2, CellStyle::kEan13}}));
    ASSERT_TRUE(laid.ok()) << laid.error;
    const PrintPage& page = laid.document.pages.at(0);
    // Five names in Code 128, the two valid codes as their own symbols, nothing else: a
    // short code padded to EAN-13 would scan as a different number.
    ASSERT_EQ(page.barcodes.size(), 7u);
    EXPECT_EQ(page.barcodes[0].data, "Zolw");
    EXPECT_EQ(page.barcodes[0].symbology, Symbology::kCode128);
    EXPECT_NEAR(page.barcodes[0].x, 12.7 + 10 * kCode128ModuleMm, 1e-9);  // after quiet zone
    EXPECT_NEAR(page.barcodes[0].y, 20.971389 + 3.527778, 1e-6);
    EXPECT_NEAR(page.barcodes[0].height, 12.7, 1e-9);
    EXPECT_EQ(page.barcodes[1].data, "5901234123457");
    EXPECT_EQ(page.barcodes[1].symbology, Symbology::kEan13);
    EXPECT_NEAR(page.barcodes[1].width, 95 * kEan13ModuleMm, 1e-9);
    EXPECT_EQ(page.barcodes[2].data, "Ala");
    EXPECT_EQ(page.barcodes[3].data, "96385074");
    EXPECT_EQ(page.barcodes[3].symbology, Symbology::kEan8);
    EXPECT_NEAR(page.barcodes[3].width, 67 * kEan13ModuleMm, 1e-9);
    // Both after their quiet zones in the same column: 7 modules for EAN-8, 11 for EAN-13.
    EXPECT_NEAR(page.barcodes[3].x - page.barcodes[1].x, -4 * kEan13ModuleMm, 1e-9);
    for (size_t i = 4; i < page.barcodes.size(); ++i) {
        EXPECT_EQ(page.barcodes[i].symbology, Symbology::kCode128) << page.barcodes[i].data;
    }
    std::vector<std::pair<std::string, bool>> cells;
    for (size_t i = 3; i + 1 < page.texts.size(); ++i) {
        cells.emplace_back(page.texts[i].text, page.texts[i].framed);
    }
    EXPECT_EQ(cells, (std::vector<std::pair<std::string, bool>>{{"Żółw", false},
                                                                {"5901234123457", false},
                                                                {"Ala", false},
                                                                {"96385074", false},
                                                                {"Ola", false},
                                                                {"00123", true},
                                                                {"Ela", false},
                                                                {"590123412345", true},
                                                                {"Iza", false},
                                                                {"12AB", true}}));
}

TEST(TablePrintLayout, RefusesWhatCannotBePrinted) {
    const RegisterModel& model = VesperModel();
    const TableDescriptor& goods = model.Table(TableKind::kGoods);
    TextGrid grid = GridOf(goods, 3);
    grid.SetCell(1, 2, "Chleb");
    const auto error = [](const TablePrintRequest& r) { return LayOutTable(r).error; };
    EXPECT_EQ(error({&goods, nullptr, AllTextColumns(goods), Parameters()}),
              "Brak wskaźnika na tablicę do wydruku");
    const TableDescriptor& header = model.Table(TableKind::kHeader);
    EXPECT_EQ(error(Request(header, grid, {{0, CellStyle::kText}})).rfind("Strona nie została", 0),
              0u);
    EXPECT_EQ(error(Request(goods, grid, {{goods.FieldCount(), CellStyle::kText}})),
              "Tablica przekazana ma za dużo kolumn.");
    EXPECT_EQ(error(Request(goods, grid, {})), "Brak informacji do wydrukowania");
    EXPECT_EQ(error(Request(goods, GridOf(goods, 3), AllTextColumns(goods))),
              "Brak informacji do wydrukowania");
    // All columns fit as text at a smaller size, but not all as Code 128 symbols.
    EXPECT_TRUE(LayOutTable(Request(goods, grid, AllTextColumns(goods))).ok());
    std::vector<PrintColumn> wide = AllTextColumns(goods);
    for (PrintColumn& column : wide) {
        column.style = CellStyle::kCode128;
    }
    EXPECT_EQ(error(Request(goods, grid, wide)), "Dane nie mieszczą się w jednym wierszu.");
}

TEST(TablePrintLayout, PrinterAsksBeforeEachFurtherPage) {
    testing::RecordingUserInterface ui;
    ui.answers = {Answer::Yes, Answer::No};
    EXPECT_TRUE(ContinuePrinting(ui, 3));
    EXPECT_FALSE(ContinuePrinting(ui, 2));
    ASSERT_EQ(ui.questions.size(), 2u);
    EXPECT_EQ(ui.questions[1].title, "Kontyuacja wydruku.");
    EXPECT_EQ(ui.questions[1].text,
              "Zostało jeszcze do wydrukowania 2 stron.\nKontynuować wydruk?");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Zaniechano drukowania.");
}

TEST(PrintChoices, FlagsChooseTheGoodsColumnsAndTheirSymbols) {
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    PrintFlags flags{};
    // No flag of a group set: its first choice, text.
    EXPECT_EQ(GoodsPrintColumns(goods, flags).size(), 3u);
    const auto radio = [](GoodsPrintGroup group, std::string_view caption) {
        for (const GoodsChoiceRadio& r : GoodsChoiceRadios()) {
            if (r.group == group && r.caption == caption) {
                return r;
            }
        }
        return GoodsChoiceRadio{};
    };
    ChooseGoodsRadio(flags, radio(GoodsPrintGroup::kNumber, "Kod kreskowy EAN128"));
    ChooseGoodsRadio(flags, radio(GoodsPrintGroup::kNumber, "Kod kreskowy EAN13"));
    ChooseGoodsRadio(flags, radio(GoodsPrintGroup::kName, "Brak"));
    ChooseGoodsRadio(flags, radio(GoodsPrintGroup::kCode, "Kod kreskowy EAN128"));
    flags[kGoodsOtherFirstFlag + 3] = true;  // the fourth other column: the price
    EXPECT_FALSE(flags[1]);
    const std::vector<PrintColumn> columns = GoodsPrintColumns(goods, flags);
    ASSERT_EQ(columns.size(), 3u);
    EXPECT_EQ(columns[0].gridColumn, 0);
    EXPECT_EQ(columns[0].style, CellStyle::kEan13);
    EXPECT_EQ(columns[1].gridColumn, goods.ColumnOfKey("KOD"));
    EXPECT_EQ(columns[1].style, CellStyle::kCode128);
    EXPECT_EQ(columns[2].gridColumn, goods.ColumnOfKey("CEN"));
}

}  // namespace
}  // namespace kasa
