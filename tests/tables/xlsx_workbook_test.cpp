#include "tables/xlsx_workbook.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <clocale>
#include <string>

#include "base/codepage.h"
#include "base/number_text.h"
#include "support/scratch_folder.h"
#include "tables/table_files.h"
#include "tables/table_validation.h"
#include "tables/table_workbook.h"

namespace kasa {
namespace {

std::string DataPath(const std::string& name) {
    return std::string(SERWIS_TEST_DATA) + "/" + name;
}

std::string FileBytes(const std::string& path) {
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(path, bytes)) << path;
    return bytes;
}

// One part of a zip archive, read with libzip itself rather than the program's reader.
std::string ZipPart(const std::string& path, const char* name) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (archive == nullptr) {
        return {};
    }
    std::string text;
    zip_stat_t stat;
    zip_file_t* file = zip_fopen(archive, name, 0);
    if (file != nullptr && zip_stat(archive, name, 0, &stat) == 0) {
        text.resize(stat.size);
        text.resize(
            static_cast<size_t>(std::max<zip_int64_t>(zip_fread(file, text.data(), stat.size), 0)));
        zip_fclose(file);
    }
    zip_discard(archive);
    return text;
}

// The XML element of one cell of a sheet, "<c r="C2" ...>...</c>".
std::string CellXml(const std::string& sheet, const std::string& reference) {
    const size_t start = sheet.find("<c r=\"" + reference + "\"");
    if (start == std::string::npos) {
        return {};
    }
    const size_t end = sheet.find("</c>", start);
    return sheet.substr(start, end == std::string::npos ? std::string::npos : end + 4 - start);
}

// A grid that holds what makes workbooks hard: leading zeros in texts, separators and
// quotes in names, Polish letters, numbers with their decimals, negative counters and
// texts in number columns.
TextGrid TrickyGrid(const TableDescriptor& table, int minPlu) {
    TextGrid grid;
    SetUpGrid(grid, table, true, true, minPlu);
    const char* const texts[] = {"Sok;jabłko 1l", "Pizza 12\" mała", "\"Krówka\"", "Zażółć\tgęś",
                                 "0012"};
    const char* const numbers[] = {"12.50", "0.015", "999999.99", "-3", "0", "1,5", "007", "12."};
    for (int r = 1; r < grid.RowCount(); r += 3) {
        for (int c = 1; c < grid.ColCount(); ++c) {
            const FieldDescriptor& field = table.fields[static_cast<size_t>(c)];
            std::string text;
            if (field.format == kFormatFlag) {
                text = r % 2 != 0 ? "TAK" : "NIE";
            } else if (field.format == kFormatVat) {
                text = std::string(1, static_cast<char>('A' + r % 7));
            } else if (field.key == "KOD") {
                text = r % 2 != 0 ? "0012345678905" : "00123";
            } else if (IsNumberFormat(field.format) || field.format == kFormatPassword) {
                text = numbers[static_cast<size_t>(r + c) % std::size(numbers)];
            } else {
                text = texts[static_cast<size_t>(r + c) % std::size(texts)];
            }
            grid.SetCell(c, r, text);
        }
    }
    return grid;
}

TEST(XlsxWorkbook, EveryTableOfBothModelsComesBackFromAWorkbookByteForByte) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    for (const RegisterModel* model : AllModels()) {
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = static_cast<TableKind>(k);
            const TableDescriptor& table = model->Table(kind);
            if (table.FieldCount() == 0) {
                continue;
            }
            const std::string what = std::string(model->name) + " " + std::string(table.tableName);
            const int minPlu = IsGoodsTable(table) ? 5 : 1;
            TableSet tables;
            tables.Grid(kind) = TrickyGrid(table, minPlu);
            ASSERT_TRUE(SaveTableFile(folder.Path("a.csv"), *model, kind, tables, minPlu).ok);

            TableSet fromCsv;
            ASSERT_TRUE(LoadTableFile(folder.Path("a.csv"), *model, kind, fromCsv, minPlu).ok())
                << what;
            const WriteResult saved =
                SaveTableFile(folder.Path("b.xlsx"), *model, kind, fromCsv, minPlu);
            ASSERT_TRUE(saved.ok) << what << saved.message;
            TableSet fromWorkbook;
            const TableLoadOutcome loaded =
                LoadTableFile(folder.Path("b.xlsx"), *model, kind, fromWorkbook, minPlu);
            ASSERT_TRUE(loaded.ok()) << what << loaded.message;
            EXPECT_EQ(loaded.message, "") << what;
            ASSERT_TRUE(SaveTableFile(folder.Path("c.csv"), *model, kind, fromWorkbook, minPlu).ok);
            EXPECT_EQ(FileBytes(folder.Path("c.csv")), FileBytes(folder.Path("a.csv"))) << what;
        }
    }
}

// A spreadsheet sees barcodes, names and VAT letters as text and prices as numbers shown
// with their decimals, whatever locale the program runs in.
TEST(XlsxWorkbook, CellsAreTextsOrNumbersWithTheirDecimals) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const RegisterModel& vesper = VesperModel();
    TableSet tables;
    TextGrid& goods = tables.Grid(TableKind::kGoods);
    SetUpGrid(goods, vesper.Table(TableKind::kGoods), true, true, 1);
    // Numer Nazwa Kod PTU Grupa Op. Cena Ilość Wartość "M Ilość" "M wartość"
    const char* const row[] = {"Mleko", "0012345678905", "B", "2", "0",
                               "2.50",  "1.000",         "0", "",  "12,5"};
    for (int c = 1; c <= 10; ++c) {
        goods.SetCell(c, 1, row[c - 1]);
    }
    // The window program runs in the user's locale, which writes "2,5" through printf.
    const bool polish = std::setlocale(LC_ALL, "pl_PL.UTF-8") != nullptr;
    const WriteResult saved =
        SaveTableFile(folder.Path("t.xlsx"), vesper, TableKind::kGoods, tables, 1);
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(saved.ok) << saved.message;

    const std::string sheet = ZipPart(folder.Path("t.xlsx"), "xl/worksheets/sheet1.xml");
    const std::string strings = ZipPart(folder.Path("t.xlsx"), "xl/sharedStrings.xml");
    const std::string styles = ZipPart(folder.Path("t.xlsx"), "xl/styles.xml");
    ASSERT_FALSE(sheet.empty());
    for (const char* text : {"B2", "C2", "D2", "K2"}) {  // name, barcode, VAT, "12,5"
        EXPECT_NE(CellXml(sheet, text).find("t=\"s\""), std::string::npos) << text;
    }
    EXPECT_NE(strings.find(">0012345678905<"), std::string::npos);
    EXPECT_NE(strings.find(">12,5<"), std::string::npos);
    EXPECT_NE(CellXml(sheet, "A2").find("<v>1</v>"), std::string::npos) << CellXml(sheet, "A2");
    EXPECT_NE(CellXml(sheet, "G2").find("<v>2.5</v>"), std::string::npos) << CellXml(sheet, "G2");
    EXPECT_NE(CellXml(sheet, "H2").find("<v>1</v>"), std::string::npos) << CellXml(sheet, "H2");
    EXPECT_EQ(CellXml(sheet, "G2").find("t=\""), std::string::npos);
    EXPECT_EQ(CellXml(sheet, "J2"), "");  // an empty cell is left out
    EXPECT_EQ(CellXml(sheet, "K2").find("<v>12"), std::string::npos);
    EXPECT_NE(styles.find("formatCode=\"0.00\""), std::string::npos);
    EXPECT_NE(styles.find("formatCode=\"0.000\""), std::string::npos);
    if (!polish) {
        GTEST_SKIP() << "pl_PL.UTF-8 is not installed; written in the C locale only";
    }
}

TEST(XlsxWorkbook, CellOfATextDecidesWhetherItIsANumber) {
    struct Case {
        const char* text;
        bool number;
        int decimals;
    };
    const Case cases[] = {
        {"12.50", true, 2},
        {"0.015", true, 3},
        {"0", true, 0},
        {"-3", true, 0},
        {"-0.5", true, 1},
        {"1000000", true, 0},
        // Each of these would come back as another text.
        {"0012", false, 0},
        {"1,5", false, 0},
        {"12.", false, 0},
        {".5", false, 0},
        {"-0", false, 0},
        {"-0.00", false, 0},
        {"1e5", false, 0},
        {" 1", false, 0},
        {"1234567890123456", false, 0},  // sixteen digits: more than a double holds
        {"", false, 0},
    };
    for (const Case& c : cases) {
        const WorkbookCell cell = WorkbookCellOf(c.text, false);
        EXPECT_EQ(cell.number, c.number) << c.text;
        EXPECT_EQ(cell.text, c.text);
        if (c.number) {
            EXPECT_EQ(cell.decimals, c.decimals) << c.text;
        }
    }
    EXPECT_FALSE(WorkbookCellOf("12.50", true).number);
    // Barcodes and passwords are kept as text, prices are not.
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    EXPECT_TRUE(IsWorkbookTextColumn(goods, goods.ColumnOfKey("KOD")));
    EXPECT_TRUE(IsWorkbookTextColumn(goods, goods.ColumnOfKey("NAZ")));
    EXPECT_TRUE(IsWorkbookTextColumn(goods, goods.ColumnOfKey("PTU")));
    EXPECT_FALSE(IsWorkbookTextColumn(goods, goods.ColumnOfKey("CEN")));
    EXPECT_FALSE(IsWorkbookTextColumn(goods, 0));
    const TableDescriptor& cashiers = ZenModel().Table(TableKind::kCashiers);
    EXPECT_TRUE(IsWorkbookTextColumn(cashiers, cashiers.ColumnOfKey("HAS")));
}

class SpreadsheetFiles : public ::testing::Test {
  protected:
    TableLoadOutcome Load(const std::string& path, const RegisterModel& model, TableKind kind) {
        return LoadTableFile(path, model, kind, tables, 1);
    }
    const TextGrid& Goods() const { return tables.Grid(TableKind::kGoods); }
    TableSet tables;
};

// LibreOffice Calc's default import of a CSV file takes barcodes for numbers: they load as
// the numbers it kept, and the codes it shortened are what the warning is for.
TEST_F(SpreadsheetFiles, LibreOfficeDefaultImportLoadsWithItsNumbers) {
    const TableLoadOutcome loaded =
        Load(DataPath("towary_libreoffice_liczby.xlsx"), VesperModel(), TableKind::kGoods);
    ASSERT_TRUE(loaded.ok()) << loaded.message;
    EXPECT_EQ(loaded.message, "");
    const char* const first[] = {
        "1", "Chleb żytni", "5901234123457", "A", "1", "0", "3.2", "10", "32", "5", "16"};
    for (int c = 0; c < 11; ++c) {
        EXPECT_EQ(Goods().Cell(c, 1), first[c]) << c;
    }
    EXPECT_EQ(Goods().Cell(1, 2), "Mleko 2%");
    EXPECT_EQ(Goods().Cell(2, 2), "12345678905");
    EXPECT_EQ(Goods().Cell(1, 3), "Sok;jabłko 1l");
    EXPECT_EQ(Goods().Cell(2, 3), "123");
    EXPECT_EQ(Goods().Cell(8, 3), "11.25");
    EXPECT_EQ(Goods().Cell(1, 4), "Pizza 12\" mała");
    EXPECT_EQ(Goods().Cell(2, 7), "96385074");
    EXPECT_EQ(Goods().Cell(1, 5), "");
    const std::vector<FaultLine> warnings = ShortenedEan13Warnings(Goods(), 1, 2300);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].text,
              "PLU: Kod 12345678905 w wierszu 2 wygląda na kod EAN-13 bez zer wiodących "
              "(0012345678905).");
    EXPECT_EQ(warnings[1].place, (FaultPlace{"PLU", 2, 3}));
}

// The same file imported with the barcode column as text keeps every zero.
TEST_F(SpreadsheetFiles, LibreOfficeTextColumnKeepsTheZeros) {
    const TableLoadOutcome loaded =
        Load(DataPath("towary_libreoffice_kody_tekst.xlsx"), VesperModel(), TableKind::kGoods);
    ASSERT_TRUE(loaded.ok()) << loaded.message;
    EXPECT_EQ(Goods().Cell(2, 1), "5901234123457");
    EXPECT_EQ(Goods().Cell(2, 2), "0012345678905");
    EXPECT_EQ(Goods().Cell(2, 3), "00123");
    EXPECT_EQ(Goods().Cell(6, 4), "18.99");
    EXPECT_TRUE(ShortenedEan13Warnings(Goods(), 1, 2300).empty());
}

// A workbook the program wrote, opened and saved again by LibreOffice, comes back as the
// CSV file it was made from.
TEST_F(SpreadsheetFiles, OwnWorkbookSavedByLibreOfficeComesBackUnchanged) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const TableLoadOutcome loaded =
        Load(DataPath("towary_libreoffice_ponownie.xlsx"), VesperModel(), TableKind::kGoods);
    ASSERT_TRUE(loaded.ok()) << loaded.message;
    ASSERT_TRUE(
        SaveTableFile(folder.Path("towary.csv"), VesperModel(), TableKind::kGoods, tables, 1).ok);
    EXPECT_EQ(FileBytes(folder.Path("towary.csv")), FileBytes(DataPath("towary_vesper.csv")));
}

// Inline strings in rich-text runs, a prefixed namespace, absolute part names, the
// built-in "0.00" format and a row left out.
TEST_F(SpreadsheetFiles, InlineStringsAndBuiltInNumberFormats) {
    const TableLoadOutcome loaded =
        Load(DataPath("opakowania_napisy_w_komorkach.xlsx"), ZenModel(), TableKind::kPackaging);
    ASSERT_TRUE(loaded.ok()) << loaded.message;
    const TextGrid& packaging = tables.Grid(TableKind::kPackaging);
    EXPECT_EQ(packaging.Cell(1, 1), "Skrzynka");
    EXPECT_EQ(packaging.Cell(2, 1), "2.50");
    EXPECT_EQ(packaging.Cell(1, 2), "Butelka zwrotna\r");
    EXPECT_EQ(packaging.Cell(2, 2), "0.30");
    EXPECT_EQ(packaging.Cell(1, 3), "");
    EXPECT_EQ(packaging.Cell(1, 15), "Żółć & \"Ołów\"");
    EXPECT_EQ(packaging.Cell(2, 15), "12.00");
}

TEST_F(SpreadsheetFiles, ADamagedWorkbookLoadsNothingAndSaysWhy) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string real = FileBytes(DataPath("towary_libreoffice_kody_tekst.xlsx"));
    folder.Write("tekst.xlsx", "Numer;Nazwa\r\n1;Chleb\r\n");
    folder.Write("uciety.xlsx", real.substr(0, real.size() / 2));
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {folder.Path("tekst.xlsx"), "nie jest archiwum zip"},
        {folder.Path("uciety.xlsx"), "nie jest archiwum zip"},
        {DataPath("uszkodzony_bez_arkusza.xlsx"), "brak arkusza"},
        {DataPath("uszkodzony_xml_arkusza.xlsx"),
         "część xl/worksheets/sheet1.xml nie jest poprawnym XML (wiersz 2: mismatched tag)"},
    };
    for (const Case& c : cases) {
        SetUpGrid(tables.Grid(TableKind::kGoods), VesperModel().Table(TableKind::kGoods), true,
                  true, 1);
        tables.Grid(TableKind::kGoods).SetCell(1, 4, "Poprzedni");
        const TableLoadOutcome loaded = Load(c.path, VesperModel(), TableKind::kGoods);
        EXPECT_EQ(loaded.status, kLoadNotWorkbook) << c.path;
        EXPECT_EQ(loaded.message, "Plik " + c.path +
                                      " nie jest poprawnym skoroszytem Excel (.xlsx): " + c.reason +
                                      ".\nNie wczytano niczego.");
        EXPECT_EQ(Goods().Cell(1, 4), "Poprzedni") << c.path;
    }
    // An empty or missing workbook is told as any other empty file.
    folder.Write("pusty.xlsx", "");
    for (const std::string& path : {folder.Path("pusty.xlsx"), folder.Path("brak.xlsx")}) {
        const TableLoadOutcome loaded = Load(path, VesperModel(), TableKind::kGoods);
        EXPECT_EQ(loaded.status, kLoadEmptyFile) << path;
        EXPECT_EQ(loaded.message, "Podany plik jest pusty lub nieistnieje");
    }
}

// A workbook keeps no empty cells at a row's end, so a row may be shorter than the titles;
// a value past the last title is refused as a CSV line with too many fields is.
TEST_F(SpreadsheetFiles, RowsOfAWorksheetAgainstTheTitles) {
    const TableDescriptor& packaging = ZenModel().Table(TableKind::kPackaging);
    TableFileReader reader;
    TextGrid grid;
    std::vector<TableFileRow> rows = {
        {1, {"Numer", "Nazwa", "Cena"}}, {2, {"1", "Skrzynka"}}, {4, {"3", "Kosz", "1.00"}}};
    EXPECT_EQ(reader.ReadRows(rows, packaging, grid, 1), kLoadOk);
    EXPECT_EQ(grid.Cell(1, 1), "Skrzynka");
    EXPECT_EQ(grid.Cell(2, 1), "");
    EXPECT_EQ(grid.Cell(2, 3), "1.00");
    rows.push_back({7, {"5", "Paleta", "2.00", "", "uwaga"}});
    EXPECT_EQ(reader.ReadRows(rows, packaging, grid, 1), kLoadIncompleteLine);
    EXPECT_EQ(reader.LineMessage(), "Wiersz 7 (rekord 5) ma za dużo pól.");
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(reader.ReadRows({}, packaging, grid, 1), kLoadEmptyFile);
}

}  // namespace
}  // namespace kasa
