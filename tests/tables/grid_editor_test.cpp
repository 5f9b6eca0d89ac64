#include "tables/grid_editor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/recording_ui.h"

namespace kasa {
namespace {

const TableDescriptor& Vesper(TableKind kind) {
    return VesperModel().Table(kind);
}

TextGrid GridOf(const TableDescriptor& table) {
    TextGrid grid;
    SetUpGrid(grid, table, true, true, 1);
    return grid;
}

struct Typing {
    GridEditor editor;
    const TableDescriptor& table;
    TextGrid grid = GridOf(table);

    explicit Typing(const TableDescriptor& t) : table(t) {}

    GridKeyResult Key(int col, int row, GridKey key, char32_t c = 0) {
        return editor.Key(table, grid, col, row, key, c);
    }
    void Type(int col, int row, std::u32string_view text) {
        for (const char32_t c : text) {
            Key(col, row, GridKey::kPrintable, c);
        }
    }
    // Selects a cell holding `old`, types `text` and gives the cell's text.
    std::string Retype(int col, int row, std::string old, std::u32string_view text) {
        grid.SetCell(col, row, std::move(old));
        editor.CellSelected(table, col, row);
        Type(col, row, text);
        return grid.Cell(col, row);
    }
};

TEST(GridEditorTest, FirstKeyReplacesLaterKeysAppendAndUndoRestores) {
    Typing t(Vesper(TableKind::kGoods));
    EXPECT_EQ(t.Retype(1, 2, "Chleb", U"Mąk"), "Mąk");
    const GridKeyResult back = t.Key(1, 2, GridKey::kBackspace);
    EXPECT_EQ(t.grid.Cell(1, 2), "Mą");
    EXPECT_EQ(back.changed, (std::vector<std::pair<int, int>>{{1, 2}}));
    t.Key(1, 2, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(1, 2), "Chleb");
    // After an undo the next key replaces again.
    t.Type(1, 2, U"X");
    EXPECT_EQ(t.grid.Cell(1, 2), "X");
    // Row 0 and column 0 take no key.
    t.Key(0, 2, GridKey::kPrintable, U'9');
    t.Key(1, 0, GridKey::kCut);
    EXPECT_EQ(t.grid.Cell(0, 2), "2");
    EXPECT_EQ(t.grid.Cell(1, 0), "Nazwa");
}

TEST(GridEditorTest, CashierGridAppendsAndBalanceIsNeverReplaced) {
    Typing cashiers(Vesper(TableKind::kCashiers));
    EXPECT_EQ(cashiers.Retype(1, 1, "Ann", U"a"), "Anna");

    Typing packaging(Vesper(TableKind::kPackaging));
    const int balance = packaging.table.ColumnOfKey("SAL");
    EXPECT_EQ(packaging.Retype(balance, 3, "-1", U"5"), "-15");
}

TEST(GridEditorTest, VatLetterTakesLowerCaseAndEveryKeyReplaces) {
    Typing t(Vesper(TableKind::kGoods));
    const int vat = t.table.ColumnOfKey("PTU");
    t.editor.CellSelected(t.table, vat, 1);
    t.Type(vat, 1, U"b");
    EXPECT_EQ(t.grid.Cell(vat, 1), "B");
    t.Type(vat, 1, U"G");
    EXPECT_EQ(t.grid.Cell(vat, 1), "G");
    EXPECT_TRUE(t.Key(vat, 1, GridKey::kPrintable, U'h').hint.has_value());
    EXPECT_EQ(t.grid.Cell(vat, 1), "G");
    t.Key(vat, 1, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(vat, 1), "B");
}

TEST(GridEditorTest, UndoReachesBackFiftyOneChanges) {
    Typing t(Vesper(TableKind::kGoods));
    for (int row = 1; row <= 52; ++row) {
        t.Retype(1, row, "old" + std::to_string(row), U"N");
    }
    EXPECT_EQ(t.editor.Undo().Depth("PLU"), 51u);
    for (int i = 0; i < 60; ++i) {
        t.Key(1, 1, GridKey::kUndo);
    }
    EXPECT_EQ(t.grid.Cell(1, 1), "N");
    for (int row = 2; row <= 52; ++row) {
        EXPECT_EQ(t.grid.Cell(1, row), "old" + std::to_string(row));
    }
}

TEST(GridEditorTest, DeleteAboveFiftyCellsAsksAndCannotBeUndone) {
    Typing t(Vesper(TableKind::kGoods));
    const CellRange selection{1, 1, 3, 17};  // 3 x 17 = 51 cells
    for (int row = 1; row <= 17; ++row) {
        t.grid.SetCell(1, row, "n");
        t.grid.SetCell(3, row, "A");
    }
    const TextGrid filled = t.grid;
    testing::RecordingUserInterface ui;
    ui.answers = {Answer::No, Answer::Yes};

    EXPECT_TRUE(t.editor.Delete(t.table, t.grid, selection, ui).empty());
    EXPECT_EQ(t.grid, filled);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].title, "Ostrzeżenie o kasowaniu");
    EXPECT_EQ(ui.questions[0].text,
              "Próbujesz skasować 51 pól danych.\nSchowek zawiera bufor na 50 danych.\nNie "
              "będzie możliwości cofnięcia czynności.\nCzy mam kontunuować?");
    EXPECT_EQ(ui.buttons[0], Buttons::YesNo);

    EXPECT_EQ(t.editor.Delete(t.table, t.grid, selection, ui).size(), 34u);
    EXPECT_EQ(t.grid.Cell(1, 17), "");
    t.Key(1, 1, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(1, 1), "");

    // Up to fifty cells go without a question and come back one by one.
    t.grid = filled;
    t.editor.Delete(t.table, t.grid, {1, 1, 1, 50}, ui);
    EXPECT_EQ(ui.questions.size(), 2u);
    t.Key(2, 2, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(1, 17), "n");
    EXPECT_EQ(t.grid.Cell(1, 16), "");
}

TEST(GridEditorTest, EnterMovesRightThenDownAndWrapsToTheFirstRow) {
    Typing t(Vesper(TableKind::kPaymentForms));  // columns 0..3, rows 1..8
    GridKeyResult r = t.Key(2, 4, GridKey::kEnter);
    EXPECT_EQ(std::pair(r.col, r.row), std::pair(3, 4));
    EXPECT_TRUE(r.layOut);
    r = t.Key(3, 4, GridKey::kEnter);
    EXPECT_EQ(std::pair(r.col, r.row), std::pair(1, 5));
    r = t.Key(3, 8, GridKey::kEnter);
    EXPECT_EQ(std::pair(r.col, r.row), std::pair(1, 1));
    // The cell reached is typed over.
    t.grid.SetCell(1, 1, "Karta");
    t.Type(1, 1, U"G");
    EXPECT_EQ(t.grid.Cell(1, 1), "G");
}

TEST(GridEditorTest, ClipboardIsSharedAndCutDoesNotFillIt) {
    GridEditor editor;
    const TableDescriptor& goods = Vesper(TableKind::kGoods);
    const TableDescriptor& packaging = Vesper(TableKind::kPackaging);
    TextGrid g = GridOf(goods);
    TextGrid p = GridOf(packaging);
    g.SetCell(1, 1, "Mleko");
    g.SetCell(1, 2, "Ser");
    editor.Key(goods, g, 1, 1, GridKey::kCopy);
    editor.Key(goods, g, 1, 2, GridKey::kCut);
    EXPECT_EQ(g.Cell(1, 2), "");
    EXPECT_EQ(editor.Clipboard(), "Mleko");
    p.SetCell(1, 4, "Skrzynka");
    editor.Key(packaging, p, 1, 4, GridKey::kPaste);
    EXPECT_EQ(p.Cell(1, 4), "Mleko");
    editor.Key(packaging, p, 1, 4, GridKey::kUndo);
    EXPECT_EQ(p.Cell(1, 4), "Skrzynka");
    editor.Key(goods, g, 1, 4, GridKey::kUndo);
    EXPECT_EQ(g.Cell(1, 2), "Ser");
}

TEST(GridEditorTest, SpreadsheetCellsFillTheGridAsOneUndoStepOrNotAtAll) {
    Typing t(Vesper(TableKind::kGoods));
    testing::RecordingUserInterface ui;
    t.grid.SetCell(1, 3, "Stara");
    t.grid.SetCell(7, 4, "9,99");
    // Name, barcode, VAT letter (typed small); CR LF lines; a name quoted for its quotes.
    const auto changed = t.editor.PasteCells(
        t.table, t.grid, 1, 2, "Mąka\t0012345678905\ta\r\n\"Sok \"\"Tym\"\"\"\t\tb\r\n", ui);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(changed.size(), 5u);  // the empty barcode stays empty
    EXPECT_EQ(t.grid.Cell(1, 2), "Mąka");
    EXPECT_EQ(t.grid.Cell(2, 2), "0012345678905");
    EXPECT_EQ(t.grid.Cell(3, 2), "A");
    EXPECT_EQ(t.grid.Cell(1, 3), "Sok \"Tym\"");
    EXPECT_EQ(t.grid.Cell(3, 3), "B");
    // One column: an empty line is an empty cell, not the end of the block.
    t.editor.PasteCells(t.table, t.grid, 7, 3, "1,50\n\n2.5\n", ui);
    EXPECT_EQ(t.grid.Cell(7, 4), "");
    EXPECT_EQ(t.grid.Cell(7, 5), "2.5");
    t.Key(1, 1, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(7, 4), "9,99");
    EXPECT_EQ(t.grid.Cell(7, 3), "");
    t.Key(1, 1, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(1, 3), "Stara");
    EXPECT_EQ(t.grid.Cell(2, 2), "");

    // A letter in the price column pastes nothing and names the cell.
    EXPECT_TRUE(t.editor.PasteCells(t.table, t.grid, 5, 2, "1\t1,50\n2\t2 zł\n", ui).empty());
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Wklejanie");
    EXPECT_TRUE(ui.messages[0].text.starts_with("Wiersz 3, kolumna „Cena”: "))
        << ui.messages[0].text;
    EXPECT_TRUE(ui.messages[0].text.ends_with("Nic nie zostało wklejone.")) << ui.messages[0].text;
    EXPECT_EQ(t.grid.Cell(5, 2), "");
    // So does a control character, and a block wider than the columns right of the current cell.
    EXPECT_TRUE(t.editor.PasteCells(t.table, t.grid, 1, 2, "\"a\nb\"", ui).empty());
    EXPECT_TRUE(t.editor.PasteCells(t.table, t.grid, 10, 2, "1\t2\t3", ui).empty());
    EXPECT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(t.grid.Cell(10, 2), "");
}

TEST(GridEditorTest, RebuiltGridsForgetTheirChanges) {
    Typing t(Vesper(TableKind::kGoods));
    t.Retype(1, 3, "Kawa", U"H");
    t.editor.GridsRebuilt();
    t.Key(1, 3, GridKey::kUndo);
    EXPECT_EQ(t.grid.Cell(1, 3), "H");
}

// A key typed after `text` in a column (by key) or an edit field (by edit name); an empty
// title means the key is accepted.
struct HintCase {
    TableKind kind;
    std::string_view column;
    std::string text;
    char32_t c;
    std::string title;
    std::string hint;
};

void ExpectHint(const std::optional<FilterHint>& hint, const HintCase& c) {
    if (c.title.empty()) {
        EXPECT_FALSE(hint.has_value());
    } else {
        ASSERT_TRUE(hint.has_value());
        EXPECT_EQ(*hint, (FilterHint{c.title, c.hint}));
    }
}

TEST(GridEditorTest, GridFiltersRefuseWithTheirHintsOnVesper) {
    const std::string tooLong = "Wykorzystana maksymalna ilość znaków";
    const std::string badChar = "Niedopuszczalny znak";
    const std::string badValue = "Niedopuszczalna wartość";
    const std::string range = "Wartość poza zakresem";
    const std::string number = "Tutaj można wpisać tylko liczbę.\n";
    const std::string digits = "Tutaj można wpisać tylko cyfry.\n";
    const std::string name18(18, 'x');
    const HintCase cases[] = {
        {TableKind::kPackaging, "NAZ", std::string(17, 'x'), U'ż', "", ""},
        {TableKind::kPackaging, "NAZ", name18, U'a', tooLong,
         "Maksymalna długość nazwy opakowania to 18 znaków.\n"},
        {TableKind::kDiscounts, "NAZ", name18, U'a', tooLong,
         "Maksymalna długość nazwy rabatu to 18 znaków.\n"},
        {TableKind::kSurcharges, "NAZ", name18, U'a', tooLong,
         "Maksymalna długość nazwy dopłaty to 18 znaków.\n"},
        {TableKind::kPaymentForms, "NAZ", name18, U'a', tooLong,
         "Maksymalna długość nazwy płatności to 18 znaków.\n"},
        {TableKind::kPackaging, "CEN", "1", U',', "", ""},
        {TableKind::kPackaging, "WYD", "1", U'-', badChar, number},
        {TableKind::kPackaging, "SAL", "", U'-', "", ""},
        {TableKind::kPackaging, "SAL", "1", U'x', badChar,
         "Tutaj można wpisać tylko liczbę.\nw formacie (-)999 999.99\n"},
        {TableKind::kPaymentForms, "SPR", "", U'1', "Pozycja nieprogramowalna",
         "Wartość tylko do odczytu.\n"},
        {TableKind::kPaymentForms, "KUR", "4", U'e', badChar, number},
        {TableKind::kKeys, "PLU", "12", U'a', badChar, digits},
        {TableKind::kKeys, "PLU", "1000", U'0', badValue, "Maksymalnie 4 cyfrowy numer PLU.\n"},
        {TableKind::kKeys, "PLU", "230", U'0', "", ""},
        {TableKind::kKeys, "PLU", "230", U'1', badValue, "Numer PLU poza zakresem <0..2300>.\n"},
        {TableKind::kKeys, "ILO", "15", U'0', badValue, "Maksymalnie 2 cyfrowa liczba.\n"},
        {TableKind::kKeys, "ILO", "1", U'6', badValue, "Ilość towaru poza zakresem <0..15>.\n"},
        {TableKind::kKeys, "TRA", "NI", U'E', "", ""},
        {TableKind::kKeys, "TRA", "T", U'E', badValue, "Pole przyjmuje wartość TAK lub NIE.\n"},
        {TableKind::kKeys, "TRA", "TAK", U'K', badValue,
         "Pole może przyjmować tylko wartość TAK lub NIE.\n"},
        {TableKind::kCashiers, "NAZ", "Małgorzata", U'a', tooLong,
         "Maksymalna długość nazwy kasjera to 10 znaków.\n"},
        {TableKind::kCashiers, "HAS", "1234", U'5', tooLong,
         "Maksymalna długość hasła to 4 cyfry.\n"},
        {TableKind::kGoods, "NAZ", std::string(16, 'x'), U'a', tooLong,
         "Maksymalna długość nazwy towaru to 16 znaków.\n"},
        {TableKind::kGoods, "KOD", "590", U'-', badChar, digits},
        {TableKind::kGoods, "KOD", "5901234123457", U'1', tooLong,
         "Maksymalna ilość znaków w tym polu wynosi 13.\n"},
        {TableKind::kGoods, "PTU", "", U'H', badChar,
         "Tutaj można wpisać tylko literę \nA, B, C, D, E, F lub G.\n"},
        {TableKind::kGoods, "GRU", "6", U'4', range,
         "Grupę towarową określa liczba z zakresu 0..63\n"},
        {TableKind::kGoods, "OPAK", "1", U'6', range,
         "Numer opakowania określa liczba z zakresu 0..15\n"},
        {TableKind::kGoods, "MWA", "12", U'.', "", ""},
        {TableKind::kGoods, "MIL", "12", U' ', badChar, number},
        {TableKind::kSurcharges, "KWO", "1", U'%', badChar, number},
    };
    for (const HintCase& c : cases) {
        const TableDescriptor& table = Vesper(c.kind);
        SCOPED_TRACE(std::string(table.tableName) + " " + std::string(c.column) + " " + c.text);
        ExpectHint(GridKeyFilter(table, table.ColumnOfKey(c.column), c.text, c.c), c);
    }
}

TEST(GridEditorTest, EditFieldFiltersRefuseWithTheirHintsOnVesper) {
    const std::string badValue = "Niedopuszczalna wartość";
    const HintCase cases[] = {
        {TableKind::kPackaging, "eNumer", "1", U'a', "Niedopuszczalny znak",
         "Tutaj można wpisać tylko liczbę.\n"},
        {TableKind::kPackaging, "eNumer", "1", U'6', badValue,
         "Numer wiersza poza zakresem 1..15.\n"},
        {TableKind::kGoods, "eNumer", "230", U'1', badValue,
         "Numer wiersza poza zakresem 1..2300.\n"},
        {TableKind::kCashiers, "eNumer", "", U'9', badValue, "Numer wiersza poza zakresem 1..8.\n"},
        {TableKind::kKeys, "eNumer", "2", U'1', badValue, "Numer wiersza poza zakresem 1..20.\n"},
        {TableKind::kDiscounts, "eNumer", "", U'5', badValue, "Wiersz poza zakresem 1..4.\n"},
        {TableKind::kSurcharges, "eNumer", "", U'9', badValue, "Wiersz poza zakresem 5..8.\n"},
        {TableKind::kPaymentForms, "eNumer", "", U'9', badValue, "Wiersz poza zakresem 1..8.\n"},
        {TableKind::kGoods, "eNazwa", std::string(16, 'x'), U'a',
         "Wykorzystana maksymalna ilość znaków", "Maksymalna długość nazwy towaru to 16 znaków.\n"},
        {TableKind::kGoods, "ecena", "3", U';', "Niedopuszczalny znak",
         "Tutaj można wpisać tylko liczbę.\n"},
        {TableKind::kGoods, "eilosc", "3", U',', "", ""},
        {TableKind::kGoods, "ekod", std::string(13, '1'), U'1',
         "Wykorzystana maksymalna ilość znaków", "Maksymalna długość kodu to 13 cyfr.\n"},
        {TableKind::kGoods, "eopak", "1", U'6', "Wartość poza zakresem",
         "Numer opakowania określa liczba z zakresu 0..15.\n"},
        {TableKind::kCashiers, "ehaslo", "12", U'x', "Wykorzystana maksymalna ilość znaków",
         "Maksymalna długość hasła to 4 cyfry.\n"},
        {TableKind::kKeys, "eNumerPLU", "230", U'1', badValue,
         "Numer PLU poza zakresem 1..2300.\n"},
        {TableKind::kKeys, "eilosc", "1", U'6', badValue, "Liczba poza zakresem 0..15.\n"},
        {TableKind::kKeys, "eilosc", "1", U'5', "", ""},
    };
    for (const HintCase& c : cases) {
        const TableDescriptor& table = Vesper(c.kind);
        SCOPED_TRACE(std::string(table.tableName) + " " + std::string(c.column) + " " + c.text);
        ExpectHint(EditFieldKeyFilter(table, c.column, c.text, c.c, 1), c);
    }
    // The key goes in where the cursor stands: "5" before "1" makes 51.
    EXPECT_TRUE(EditFieldKeyFilter(Vesper(TableKind::kKeys), "eilosc", "1", U'5', 1, 0));
}

TEST(GridEditorTest, ZenBoundsComeFromItsOwnTables) {
    const RegisterModel& zen = ZenModel();
    const TableDescriptor& keys = zen.Table(TableKind::kKeys);
    const int plu = keys.ColumnOfKey("PLU");
    EXPECT_FALSE(GridKeyFilter(keys, plu, "240", U'0'));
    EXPECT_TRUE(GridKeyFilter(Vesper(TableKind::kKeys), plu, "240", U'0'));
    EXPECT_EQ(GridKeyFilter(keys, plu, "263", U'7')->text, "Numer PLU poza zakresem <0..2636>.\n");
    EXPECT_EQ(GridKeyFilter(zen.Table(TableKind::kCashiers), 1, "Halina", U'a')->text,
              "Maksymalna długość nazwy kasjera to 6 znaków.\n");
    EXPECT_EQ(EditFieldKeyFilter(keys, "eNumerPLU", "264", U'0', 1)->text,
              "Numer PLU poza zakresem 1..2636.\n");
    EXPECT_EQ(EditFieldKeyFilter(zen.Table(TableKind::kGoods), "enumer", "263", U'7', 1000)->text,
              "Numer wiersza poza zakresem 1000..2636.\n");
    // Zen's payment forms have no exchange rate column: nothing there to filter.
    EXPECT_EQ(zen.Table(TableKind::kPaymentForms).ColumnOfKey("KUR"), -1);
}

TEST(GridEditorTest, RecordNumbersRowsAndPanelMessages) {
    const TableDescriptor& goods = Vesper(TableKind::kGoods);
    EXPECT_EQ(RowOfRecordNumber(goods, 1000, 1000), 1);
    EXPECT_EQ(RowOfRecordNumber(goods, 1000, 2300), 1301);
    EXPECT_EQ(RowOfRecordNumber(goods, 1000, 999), -1);
    EXPECT_EQ(RowOfRecordNumber(goods, 1000, 2301), -1);
    EXPECT_EQ(RowOfRecordNumber(Vesper(TableKind::kSurcharges), 1, 5), 1);
    EXPECT_EQ(RowOfRecordNumber(Vesper(TableKind::kSurcharges), 1, 4), -1);
    EXPECT_EQ(RowOutOfRangeMessage("12"), "Wiersz 12 poza zakresem.");
    EXPECT_EQ(RecordWithoutNameMessage(Vesper(TableKind::kKeys)),
              "Zapis pozycji bez podania numeru PLU jest niemożliwy.\n");
    EXPECT_EQ(RecordWithoutNameMessage(Vesper(TableKind::kPaymentForms)),
              "Zapis pozycji bez podania nazwy płatności jest niemożliwy.\n");
}

}  // namespace
}  // namespace kasa
