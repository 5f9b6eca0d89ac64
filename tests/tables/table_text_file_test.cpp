#include "tables/table_text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "base/number_text.h"
#include "support/scratch_folder.h"
#include "tables/table_files.h"

namespace kasa {
namespace {

const TableDescriptor& Goods(const RegisterModel& model) {
    return model.Table(TableKind::kGoods);
}

// Each read starts from a fresh grid: the reader sets it up for the table itself.
class TableTextFileTest : public ::testing::Test {
  protected:
    TextGrid grid;
    TableFileReader reader;
};

// A grid filled the way a user would fill it: every third record empty, the others with
// a text of the column's kind.
TextGrid FilledGrid(const TableDescriptor& table, int minPlu) {
    TextGrid grid;
    SetUpGrid(grid, table, true, true, minPlu);
    for (int r = 1; r < grid.RowCount(); ++r) {
        if (r % 3 == 0) {
            continue;
        }
        for (int c = 1; c < grid.ColCount(); ++c) {
            const FieldFormat format = table.fields[static_cast<size_t>(c)].format;
            std::string text;
            if (format == kFormatFlag) {
                text = r % 2 != 0 ? "TAK" : "NIE";
            } else if (format == kFormatVat) {
                text = std::string(1, static_cast<char>('A' + r % 7));
            } else if (format == kFormatPassword) {
                text = r % 2 != 0 ? "nakt" : DecimalText(1000 + r);
            } else if (IsNumberFormat(format)) {
                text = DecimalText(r * 7 + c) + ".50";
            } else {
                text = "Źdźbło " + DecimalText(r);
            }
            grid.SetCell(c, r, text);
        }
    }
    return grid;
}

TEST_F(TableTextFileTest, WritesTitleAndRecordsInWindows1250) {
    const TableDescriptor& packaging = ZenModel().Table(TableKind::kPackaging);
    SetUpGrid(grid, packaging, true, true, 1);
    grid.SetCell(1, 1, "Mąka");
    grid.SetCell(2, 1, "2.50");
    grid.SetCell(2, 2, "9.99");  // no name: an empty record, not written
    grid.SetCell(1, 3, "Żur; duży");
    grid.SetCell(2, 3, "3,10");
    grid.SetCell(1, 15, "Ostatni");

    EXPECT_EQ(TableTextFileBytes(grid, packaging, kCsvSeparator),
              "Numer;Nazwa;Cena\r\n"
              "1;M\xB9ka;2.50\r\n"
              "3;\"\xAFur; du\xBFy\";3,10\r\n"
              "15;Ostatni;\r\n");
    EXPECT_EQ(TableTextFileBytes(grid, packaging, kTxtSeparator).substr(0, 18),
              "Numer\tNazwa\tCena\r\n");

    // Register counters are written too, and an all-empty table leaves only the titles.
    const TableDescriptor& vesperPackaging = VesperModel().Table(TableKind::kPackaging);
    TextGrid counters;
    SetUpGrid(counters, vesperPackaging, true, true, 1);
    EXPECT_EQ(TableTextFileBytes(counters, vesperPackaging, kCsvSeparator),
              "Numer;Nazwa;Cena;Przyj\xEA"
              "cia;Wydania;Saldo\r\n");
    counters.SetCell(1, 2, "Butelka");
    counters.SetCell(5, 2, "-3");
    EXPECT_EQ(TableTextFileBytes(counters, vesperPackaging, kCsvSeparator),
              "Numer;Nazwa;Cena;Przyj\xEA"
              "cia;Wydania;Saldo\r\n"
              "2;Butelka;;;;-3\r\n");
}

TEST_F(TableTextFileTest, EveryTableOfBothModelsReadsBackTheSame) {
    for (const RegisterModel* model : AllModels()) {
        for (int kind = 0; kind < kTableKindCount; ++kind) {
            const TableDescriptor& table = model->Table(static_cast<TableKind>(kind));
            if (table.FieldCount() == 0) {
                continue;  // header lines and VAT rates have no grid
            }
            const int minPlu = IsGoodsTable(table) ? 7 : 1;
            const TextGrid written = FilledGrid(table, minPlu);
            for (const char separator : {kCsvSeparator, kTxtSeparator}) {
                const std::string what = std::string(model->name) + " " +
                                         std::string(table.tableName) +
                                         (separator == kCsvSeparator ? " csv" : " txt");
                TextGrid read = FilledGrid(table, 1);  // stale contents must go
                const int status = reader.ReadBytes(TableTextFileBytes(written, table, separator),
                                                    table, read, minPlu);
                EXPECT_EQ(status, kLoadOk) << what;
                EXPECT_EQ(reader.Separator(), separator) << what;
                EXPECT_EQ(reader.MatchCount(), table.FieldCount()) << what;
                EXPECT_TRUE(read == written) << what;
            }
        }
    }
}

// Saving to and reading from disk is used by the command line and window tests; here the
// failure, which must be reported rather than passed over.
TEST_F(TableTextFileTest, SaveIntoAMissingFolderFails) {
    testing::ScratchFolder folder;
    const TableDescriptor& goods = Goods(ZenModel());
    const WriteResult failed =
        SaveTableTextFile(folder.Path("brak/towary.csv"), FilledGrid(goods, 1), goods, ';');
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.message.empty());
}

TEST_F(TableTextFileTest, SeparatorForPath) {
    EXPECT_EQ(TextFileSeparatorForPath("/dane/towary.csv"), ';');
    EXPECT_EQ(TextFileSeparatorForPath("towary.Csv"), ';');
    EXPECT_EQ(TextFileSeparatorForPath("towary.txt"), '\t');
    EXPECT_EQ(TextFileSeparatorForPath("towary.pod"), 0);
    EXPECT_EQ(TextFileSeparatorForPath("/dane.csv/towary"), 0);
    EXPECT_EQ(TextFileSeparatorForPath("towary"), 0);
}

TEST_F(TableTextFileTest, DetectsTheSeparatorByCount) {
    struct Case {
        const char* text;
        char given;
        int status;
        char separator;
    };
    const Case cases[] = {
        // More separators of one kind win even with the other one present.
        {"Numer;Nazwa\r\n1;Chleb\tbia\xB3y\r\n", 0, kLoadOk, ';'},
        {"Numer\tNazwa\tKod kreskowy\r\n1\tChleb;razowy\t590\r\n", 0, kLoadOk, '\t'},
        // As many tabs as semicolons, or none of either.
        {"Numer;Nazwa\r\n1\tChleb\r\n", 0, kLoadNoSeparator, 0},
        {"Numer;Nazwa\t\r\n", 0, kLoadNoSeparator, 0},
        // A separator passed in is used as it is.
        {"Numer\tNazwa;x\r\n1\tChleb;x;y\r\n", '\t', kLoadOk, '\t'},
    };
    const TableDescriptor& goods = Goods(VesperModel());
    for (const Case& c : cases) {
        grid = FilledGrid(goods, 1);
        EXPECT_EQ(reader.ReadBytes(c.text, goods, grid, 1, c.given), c.status) << c.text;
        if (c.status == kLoadNoSeparator) {
            EXPECT_EQ(grid.Cell(1, 1), "") << c.text;  // left cleared
            EXPECT_EQ(grid.Cell(0, 1), "1") << c.text;
            EXPECT_EQ(LoadStatusMessage(c.status, goods, 1), "Brak separatora.");
        } else {
            EXPECT_EQ(reader.Separator(), c.separator) << c.text;
        }
    }
}

TEST_F(TableTextFileTest, MatchesTitlesWithOrWithoutPolishLetters) {
    const TableDescriptor& goods = Goods(VesperModel());  // Numer Nazwa Kod PTU Grupa Op. Cena
                                                          // Ilość Wartość "M Ilość" "M wartość"
    struct Case {
        const char* titles;
        int matches;
        std::array<int, 6> map;  // first entries of the column map
    };
    const Case cases[] = {
        {"Numer;Nazwa;Ilość;M wartość", 4, {0, 1, 7, 10, -1, -1}},
        {"NUMER;NAZWA;ILOSC;M WARTOSC", 4, {0, 1, 7, 10, -1, -1}},
        {"numer;nazwa;iloŚĆ;m WARTOść", 4, {0, 1, 7, 10, -1, -1}},
        {"Cena;Uwagi;Numer;Nazwa", 3, {6, -1, 0, 1, -1, -1}},
        // Titles end at the first empty field.
        {"Numer;Nazwa;;Ilość", 2, {0, 1, -1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        // Titles alone are no table: the load fails, yet the titles were matched.
        const std::string text = std::string(c.titles) + "\r\n";
        EXPECT_EQ(reader.ReadBytes(text, goods, grid, 1), kLoadNoRecords) << c.titles;
        EXPECT_EQ(reader.MatchCount(), c.matches) << c.titles;
        for (size_t i = 0; i < c.map.size(); ++i) {
            EXPECT_EQ(reader.ColumnMap()[i], c.map[i]) << c.titles << " field " << i;
        }
    }
}

TEST_F(TableTextFileTest, PlacesFieldsByTitle) {
    const TableDescriptor& goods = Goods(VesperModel());
    // Fields under unknown titles are not read; the titles are named.
    const std::string text =
        "CENA;Uwagi;NUMER;NAZWA;ILOSC\r\n"
        "3.20;świeży;12;Chleb;1.000\r\n"
        "1.10;;2;Bułka;\r\n";
    ASSERT_EQ(reader.ReadBytes(text, goods, grid, 1), kLoadOk);
    EXPECT_EQ(reader.UnknownTitles(), std::vector<std::string>{"Uwagi"});
    EXPECT_EQ(grid.Cell(1, 12), "Chleb");
    EXPECT_EQ(grid.Cell(6, 12), "3.20");
    EXPECT_EQ(grid.Cell(7, 12), "1.000");
    EXPECT_EQ(grid.Cell(8, 12), "");
    EXPECT_EQ(grid.Cell(1, 2), "Bułka");
    EXPECT_EQ(grid.Cell(6, 2), "1.10");
    EXPECT_EQ(grid.Cell(7, 2), "");  // an empty last cell
    EXPECT_EQ(grid.Cell(1, 1), "");
}

TEST_F(TableTextFileTest, ReadsByPositionWhenNoTitleMatches) {
    const TableDescriptor& goods = Goods(ZenModel());  // Numer Nazwa Kod PTU Op. Cena Ilość
    const std::string text =
        "5;Chleb;5901234123457;A;0;3.20;1.000\n"
        "7;Mleko;;B\n"
        "9;Masło;;C;1;6.99;0.000;nadmiarowe\n";
    ASSERT_EQ(reader.ReadBytes(text, goods, grid, 1), kLoadOk);
    EXPECT_EQ(reader.MatchCount(), 0);
    EXPECT_EQ(reader.ColumnMap()[0], 0);
    EXPECT_EQ(reader.ColumnMap()[29], 29);
    const char* const row5[] = {"5", "Chleb", "5901234123457", "A", "0", "3.20", "1.000"};
    for (int c = 0; c < 7; ++c) {
        EXPECT_EQ(grid.Cell(c, 5), row5[c]) << c;
    }
    EXPECT_EQ(grid.Cell(1, 7), "Mleko");
    EXPECT_EQ(grid.Cell(3, 7), "B");
    EXPECT_EQ(grid.Cell(5, 7), "");
    EXPECT_EQ(grid.Cell(1, 9), "Masło");
    EXPECT_EQ(grid.Cell(6, 9), "0.000");
    EXPECT_EQ(grid.Cell(1, 6), "");
}

TEST_F(TableTextFileTest, RecordNumberLimits) {
    const TableDescriptor& goods = Goods(VesperModel());
    EXPECT_EQ(reader.ReadBytes("Numer;Nazwa\r\n1;Pierwszy\r\n2300;Ostatni\r\n", goods, grid, 1),
              kLoadOk);
    EXPECT_EQ(grid.Cell(1, 2300), "Ostatni");
    EXPECT_EQ(reader.LastNumber(), 2300);

    EXPECT_EQ(
        reader.ReadBytes("Numer;Nazwa\r\n1;Pierwszy\r\n2301;Za daleko\r\n3;Po\r\n", goods, grid, 1),
        kLoadTooManyLines);
    EXPECT_EQ(grid.Cell(1, 1), "Pierwszy");  // read before the failure
    EXPECT_EQ(grid.Cell(1, 3), "");          // reading stopped
    EXPECT_EQ(grid.Cell(1, 2300), "");       // the earlier read is gone
    EXPECT_EQ(LoadStatusMessage(kLoadTooManyLines, goods, 1),
              "Plik posiada zbyt dużo linii.\nKasa może mieć tylko 2300 linii.\n");

    // minPLU 100: record 50 is skipped, the rest is read, and the range is named.
    EXPECT_EQ(reader.ReadBytes("Numer;Nazwa\r\n100;Sto\r\n50;Pominięty\r\n150;Sto pięćdziesiąt\r\n",
                               goods, grid, 100),
              kLoadRecordsOutOfRange);
    EXPECT_EQ(reader.FirstNumber(), 100);
    EXPECT_EQ(grid.Cell(0, 1), "100");
    EXPECT_EQ(grid.Cell(1, 1), "Sto");
    EXPECT_EQ(grid.Cell(1, 51), "Sto pięćdziesiąt");
    for (int r = 1; r < grid.RowCount(); ++r) {
        ASSERT_NE(grid.Cell(1, r), "Pominięty") << r;
    }
    EXPECT_EQ(LoadStatusMessage(kLoadRecordsOutOfRange, goods, 100),
              "Istnieją rekordy o numerze z poza zakresu\n<100,2300>. Zostały pominięte.");
}

TEST_F(TableTextFileTest, MissingRecordNumberStopsReading) {
    const TableDescriptor& goods = Goods(VesperModel());
    for (const char* number : {"0", "", "abc", "12x", "1.0", "99999999999999999999"}) {
        const std::string text =
            std::string("Numer;Nazwa\r\n 4 ;Cztery\r\n") + number + ";Zły\r\n5;Pięć\r\n";
        EXPECT_EQ(reader.ReadBytes(text, goods, grid, 1), kLoadRecordNumberZero) << number;
        EXPECT_EQ(grid.Cell(1, 4), "Cztery") << number;
        EXPECT_EQ(grid.Cell(1, 5), "") << number;
    }
    EXPECT_EQ(LoadStatusMessage(kLoadRecordNumberZero, goods, 1),
              "Plik posiada wiersz o numerze 0\nlub brak numeru w wierszu.\n");
    // A huge number is past the last record rather than missing.
    EXPECT_EQ(reader.ReadBytes("Numer;Nazwa\r\n9999999999;X\r\n", goods, grid, 1),
              kLoadTooManyLines);
}

TEST_F(TableTextFileTest, SectionLineMakesItAPodFile) {
    const TableDescriptor& goods = Goods(VesperModel());
    struct Case {
        const char* text;
        bool pod;
    };
    const Case cases[] = {
        {"[TOWARY]\r\nPlu1=1;Chleb\r\n", true},
        {"Numer;Nazwa\r\n1;Chleb\r\n[TOWARY]\r\nPlu2=2;Bułka\r\n", true},
        {"Numer;Nazwa\n1;Chleb\n  [x]\n", true},
        // A bracket inside a cell is part of a name, not a section.
        {"Numer;Nazwa\r\n1;Sok [1L]\r\n", false},
        {"Numer;Nazwa\r\n[1;Chleb\r\n2];Bułka\r\n", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HoldsPodSectionLine(c.text), c.pod) << c.text;
        const int status = reader.ReadBytes(c.text, goods, grid, 1);
        if (c.pod) {
            EXPECT_EQ(status, kLoadIsPodFile) << c.text;
        } else {
            EXPECT_NE(status, kLoadIsPodFile) << c.text;
        }
    }
    ASSERT_EQ(reader.ReadBytes("Numer;Nazwa\r\n1;Sok [1L]\r\n", goods, grid, 1), kLoadOk);
    EXPECT_EQ(grid.Cell(1, 1), "Sok [1L]");
}

TEST_F(TableTextFileTest, CheckBoxColumns) {
    const TableDescriptor& keys = VesperModel().Table(TableKind::kKeys);
    const std::string text =
        "Numer;PLU;Ilość;Transakcja\r\n"
        "1;10;1;1\r\n"
        "2;11;1;T\r\n"
        "3;12;1;TAK\r\n"
        "4;13;1;0\r\n"
        "5;14;1;NIE\r\n"
        "6;15;1;tak\r\n"
        "7;16;1;\r\n"
        "8;17;1;\r\n";
    ASSERT_EQ(reader.ReadBytes(text, keys, grid, 1), kLoadOk);
    const char* const expected[] = {"TAK", "NIE", "TAK", "NIE", "NIE", "NIE", "NIE", "NIE"};
    for (int r = 1; r <= 8; ++r) {
        EXPECT_EQ(grid.Cell(3, r), expected[r - 1]) << r;
    }
    EXPECT_EQ(grid.Cell(3, 9), "");  // no line, no box
}

TEST_F(TableTextFileTest, ReadsThroughTheEncodingDetector) {
    const TableDescriptor& goods = Goods(ZenModel());
    EXPECT_EQ(reader.ReadBytes("\xEF\xBB\xBFNumer;Nazwa\r\n1;\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n",
                               goods, grid, 1),
              kLoadOk);
    EXPECT_EQ(reader.MatchCount(), 2);  // the mark does not spoil "Numer"
    EXPECT_EQ(grid.Cell(1, 1), "Łódź");
    // Polish titles in Windows-1250 match too.
    ASSERT_EQ(reader.ReadBytes("Numer;Ilo\x9C\xE6\r\n3;2.000\r\n", goods, grid, 1), kLoadOk);
    EXPECT_EQ(grid.Cell(6, 3), "2.000");
}

TEST_F(TableTextFileTest, LineEnds) {
    const TableDescriptor& goods = Goods(ZenModel());
    struct Case {
        const char* what;
        const char* text;
    };
    const Case cases[] = {
        {"crlf", "Numer;Nazwa\r\n1;Jeden\r\n2;Dwa\r\n"},
        {"lf", "Numer;Nazwa\n1;Jeden\n2;Dwa\n"},
        {"cr", "Numer;Nazwa\r1;Jeden\r2;Dwa"},
        // Reading ends at the first empty line.
        {"empty line", "Numer;Nazwa\r\n1;Jeden\r\n2;Dwa\r\n\r\n4;Cztery\r\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reader.ReadBytes(c.text, goods, grid, 1), kLoadOk) << c.what;
        EXPECT_EQ(grid.Cell(1, 1), "Jeden") << c.what;
        EXPECT_EQ(grid.Cell(1, 2), "Dwa") << c.what;
        EXPECT_EQ(grid.Cell(1, 4), "") << c.what;
    }
}

TEST_F(TableTextFileTest, EmptyOrMissingFile) {
    const TableDescriptor& goods = Goods(VesperModel());
    for (const char* bytes : {"", "\xEF\xBB\xBF"}) {
        grid = FilledGrid(goods, 1);
        EXPECT_EQ(reader.ReadBytes(bytes, goods, grid, 1), kLoadEmptyFile);
        EXPECT_EQ(grid.Cell(1, 1), "");
        EXPECT_EQ(grid.RowCount(), 2301);
    }
    grid = FilledGrid(goods, 1);
    EXPECT_EQ(reader.Read("/nie/ma/takiego/pliku.csv", goods, grid, 1), kLoadEmptyFile);
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(LoadStatusMessage(kLoadEmptyFile, goods, 1),
              "Podany plik jest pusty lub nieistnieje");
}

TEST_F(TableTextFileTest, ALineCutShortLoadsNothing) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const RegisterModel& zen = ZenModel();  // goods: Numer Nazwa Kod PTU Op. Cena Ilość
    std::string whole = "Numer;Nazwa;Kod kreskowy;PTU;Op.;Cena;Ilo\x9C\xE6\r\n";
    for (int n = 1; n <= 9; ++n) {
        whole +=
            DecimalText(n) + ";Towar " + DecimalText(n) + ";;A;0;" + DecimalText(n) + ".00;0\r\n";
    }
    // Record 9 stands on the file's line 10; cut after its price.
    const std::string cut = whole.substr(0, whole.size() - std::string(";0\r\n").size());
    for (const char separator : {kCsvSeparator, kTxtSeparator}) {
        std::string bytes = cut;
        std::replace(bytes.begin(), bytes.end(), kCsvSeparator, separator);
        const std::string name = separator == kCsvSeparator ? "towary.csv" : "towary.txt";
        folder.Write(name, bytes);
        TableSet tables;
        SetUpGrid(tables.Grid(TableKind::kGoods), zen.Table(TableKind::kGoods), true, true, 1);
        tables.Grid(TableKind::kGoods).SetCell(1, 20, "Poprzedni");
        const TableSet before = tables;
        const TableLoadOutcome outcome =
            LoadTableFile(folder.Path(name), zen, TableKind::kGoods, tables, 1);
        EXPECT_EQ(outcome.status, kLoadIncompleteLine) << name;
        EXPECT_EQ(outcome.message, "Wiersz 10 (rekord 9) jest niepełny.") << name;
        EXPECT_TRUE(tables.grids == before.grids) << name;
    }

    // The reader alone leaves its grid cleared, as for a repeated record.
    EXPECT_EQ(reader.ReadBytes(cut, Goods(zen), grid, 1), kLoadIncompleteLine);
    EXPECT_EQ(reader.LineMessage(), "Wiersz 10 (rekord 9) jest niepełny.");
    EXPECT_EQ(grid.Cell(1, 1), "");
    EXPECT_EQ(reader.ReadBytes(whole, Goods(zen), grid, 1), kLoadOk);
    EXPECT_EQ(grid.Cell(1, 9), "Towar 9");

    // A line cut inside its number, and one that a separator in a name lengthened.
    EXPECT_EQ(reader.ReadBytes("Numer;Nazwa;Cena\r\n1;Chleb;2.50\r\n2;Bu\xB3ka;0.60\r\n;\r\n",
                               Goods(zen), grid, 1),
              kLoadIncompleteLine);
    EXPECT_EQ(reader.LineMessage(), "Wiersz 4 jest niepełny.");
    EXPECT_EQ(
        reader.ReadBytes("Numer;Nazwa;Cena\r\n1;Chleb;2.50\r\n2;Bu\xB3ka; ma\xB3\x61;0.60\r\n",
                         Goods(zen), grid, 1),
        kLoadIncompleteLine);
    EXPECT_EQ(reader.LineMessage(), "Wiersz 3 (rekord 2) ma za dużo pól.");
    EXPECT_EQ(grid.Cell(1, 1), "");

    // Without titles there is no count to hold a line to: lines are read by position.
    EXPECT_EQ(reader.ReadBytes("1;Chleb;;A\r\n2;Bu\xB3ka\r\n", Goods(zen), grid, 1), kLoadOk);
    EXPECT_EQ(grid.Cell(1, 2), "Bułka");
}

TEST_F(TableTextFileTest, EmptyTrailingCellsAndUnknownTitles) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const RegisterModel& vesper = VesperModel();
    // A record with only a name, as the program writes it: its empty cells still count.
    TextGrid written;
    SetUpGrid(written, Goods(vesper), true, true, 1);
    written.SetCell(1, 4, "Tylko nazwa");
    written.SetCell(1, 5, "Z cen\xC4\x85");
    written.SetCell(6, 5, "1.99");  // the price
    const std::string bytes = TableTextFileBytes(written, Goods(vesper), kCsvSeparator);
    ASSERT_NE(bytes.find("\r\n4;Tylko nazwa;;;;;;;;;\r\n"), std::string::npos) << bytes;
    folder.Write("towary.csv", bytes);
    TableSet tables;
    TableLoadOutcome outcome =
        LoadTableFile(folder.Path("towary.csv"), vesper, TableKind::kGoods, tables, 1);
    EXPECT_EQ(outcome.status, kLoadOk) << outcome.message;
    EXPECT_EQ(outcome.message, "");
    EXPECT_TRUE(tables.Grid(TableKind::kGoods) == written);

    // Titles the table does not have are told about in the order they stand; the columns
    // it knows still load.
    folder.Write("obce.csv",
                 "Numer;Nazwa;Uwagi;Cena;Dostawca\r\n"
                 "3;Chleb;\x9Cwie\xBFy;2.50;Piekarnia\r\n");
    outcome = LoadTableFile(folder.Path("obce.csv"), vesper, TableKind::kGoods, tables, 1);
    EXPECT_EQ(outcome.status, kLoadOk);
    EXPECT_EQ(outcome.message, "Nieznana kolumna: Uwagi\nNieznana kolumna: Dostawca");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).Cell(1, 3), "Chleb");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).Cell(6, 3), "2.50");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).Cell(1, 4), "");  // the earlier load is gone

    // A "Vesper" goods file read for a "Zen": its counter columns are the unknown ones.
    folder.Write("vesper.txt", TableTextFileBytes(written, Goods(vesper), kTxtSeparator));
    outcome = LoadTableFile(folder.Path("vesper.txt"), ZenModel(), TableKind::kGoods, tables, 1);
    EXPECT_EQ(outcome.status, kLoadOk);
    EXPECT_EQ(outcome.message,
              "Nieznana kolumna: Grupa\nNieznana kolumna: Wartość\nNieznana kolumna: M Ilość\n"
              "Nieznana kolumna: M wartość");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).Cell(1, 5), "Z ceną");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).Cell(5, 5), "1.99");  // Zen's price column

    // A failed load tells its failure only.
    folder.Write("zle.csv", "Numer;Nazwa;Uwagi\r\n1;A;x\r\n1;B;y\r\n");
    outcome = LoadTableFile(folder.Path("zle.csv"), vesper, TableKind::kGoods, tables, 1);
    EXPECT_EQ(outcome.status, kLoadRepeatedRecord);
    EXPECT_EQ(outcome.message.find("Nieznana"), std::string::npos) << outcome.message;
}

// A CSV file saved by a spreadsheet quotes its fields; one saved before quoting holds quotes
// as plain characters.
TEST_F(TableTextFileTest, QuotedFieldsAsSpreadsheetsWriteThem) {
    const TableDescriptor& goods = Goods(VesperModel());  // Cena is column 6
    const std::string text =
        "\"Numer\";\"Nazwa\";\"Kod kreskowy\";\"Cena\"\r\n"
        "\"1\";\"Sok;jab\xB3ko 1l\";\"0012345678905\";\"4.50\"\r\n"
        "2;\"Pizza 12\"\" ma\xB3"
        "a\";4006381333931;18.99\r\n"
        "3;\"Dwie\r\nlinie\";;1.00\r\n"
        "4;Monitor 24\";;2.00\r\n"
        "5;\"Kr\xF3wka\" cukierki;;3.00\r\n"
        "6;\"\";\"\";\r\n";
    ASSERT_EQ(reader.ReadBytes(text, goods, grid, 1), kLoadOk) << reader.LineMessage();
    EXPECT_EQ(reader.MatchCount(), 4);
    EXPECT_EQ(grid.Cell(1, 1), "Sok;jabłko 1l");
    EXPECT_EQ(grid.Cell(2, 1), "0012345678905");
    EXPECT_EQ(grid.Cell(6, 1), "4.50");
    EXPECT_EQ(grid.Cell(1, 2), "Pizza 12\" mała");
    EXPECT_EQ(grid.Cell(6, 2), "18.99");
    EXPECT_EQ(grid.Cell(1, 3), "Dwie\r\nlinie");
    EXPECT_EQ(grid.Cell(6, 3), "1.00");
    EXPECT_EQ(grid.Cell(1, 4), "Monitor 24\"");
    EXPECT_EQ(grid.Cell(1, 5), "\"Krówka\" cukierki");
    EXPECT_EQ(grid.Cell(6, 5), "3.00");
    EXPECT_EQ(grid.Cell(1, 6), "");

    // Lines are counted in the file as the user sees it: a quoted line end is one more.
    EXPECT_EQ(reader.ReadBytes(text + "7;Kr\xF3tki\r\n", goods, grid, 1), kLoadIncompleteLine);
    EXPECT_EQ(reader.LineMessage(), "Wiersz 9 (rekord 7) jest niepełny.");
    // A quote that never closes leaves the field as written, up to its separator.
    ASSERT_EQ(
        reader.ReadBytes("Numer;Nazwa;Cena\r\n1;\"Bez ko\xF1\x63\x61;2.00\r\n", goods, grid, 1),
        kLoadOk);
    EXPECT_EQ(grid.Cell(1, 1), "\"Bez końca");
    EXPECT_EQ(grid.Cell(6, 1), "2.00");
}

TEST_F(TableTextFileTest, WriterQuotesOnlyWhatNeedsIt) {
    const TableDescriptor& packaging = ZenModel().Table(TableKind::kPackaging);
    SetUpGrid(grid, packaging, true, true, 1);
    grid.SetCell(1, 1, "Pizza 12\" mała");
    grid.SetCell(2, 1, "1");
    grid.SetCell(1, 2, "Dwie\nlinie");
    grid.SetCell(1, 3, "a\tb");
    grid.SetCell(2, 3, "a;b");
    EXPECT_EQ(TableTextFileBytes(grid, packaging, kCsvSeparator),
              "Numer;Nazwa;Cena\r\n"
              "1;\"Pizza 12\"\" ma\xB3"
              "a\";1\r\n"
              "2;\"Dwie\nlinie\";\r\n"
              "3;a\tb;\"a;b\"\r\n");
    EXPECT_EQ(TableTextFileBytes(grid, packaging, kTxtSeparator),
              "Numer\tNazwa\tCena\r\n"
              "1\t\"Pizza 12\"\" ma\xB3"
              "a\"\t1\r\n"
              "2\t\"Dwie\nlinie\"\t\r\n"
              "3\t\"a\tb\"\ta;b\r\n");
    // What was written reads back to the same grid.
    TextGrid read;
    for (const char separator : {kCsvSeparator, kTxtSeparator}) {
        ASSERT_EQ(
            reader.ReadBytes(TableTextFileBytes(grid, packaging, separator), packaging, read, 1),
            kLoadOk);
        EXPECT_TRUE(read == grid) << separator;
    }
}

// ISO-8859-2 differs from Windows-1250 in ą, ś, ź and their capitals: titles holding them
// tell which of the two a file is in.
TEST_F(TableTextFileTest, TitlesThatMatchOnlyAsIso88592ReadTheFileSo) {
    const TableDescriptor& goods = Goods(VesperModel());
    const std::string iso =
        "Numer;Nazwa;Cena;Ilo\xB6\xE6;Warto\xB6\xE6;M Ilo\xB6\xE6;M warto\xB6\xE6\r\n"
        "5;\xA1\xB1 \xA6\xB6 \xAC\xBC \xA3\xB3;2.00;3.000;6.00;1.000;2.00\r\n";
    ASSERT_EQ(reader.ReadBytes(iso, goods, grid, 1), kLoadOk);
    EXPECT_TRUE(reader.ReadAsIso88592());
    EXPECT_EQ(reader.MatchCount(), 7);
    EXPECT_TRUE(reader.UnknownTitles().empty());
    EXPECT_EQ(grid.Cell(1, 5), "Ąą Śś Źź Łł");
    EXPECT_EQ(grid.Cell(7, 5), "3.000");
    EXPECT_EQ(grid.Cell(8, 5), "6.00");
    EXPECT_EQ(grid.Cell(9, 5), "1.000");
    EXPECT_EQ(grid.Cell(10, 5), "2.00");

    // Titles that match in Windows-1250 keep it.
    ASSERT_EQ(reader.ReadBytes("Numer;Nazwa;Ilo\x9C\xE6\r\n5;\xA5\xB9;1\r\n", goods, grid, 1),
              kLoadOk);
    EXPECT_FALSE(reader.ReadAsIso88592());
    EXPECT_EQ(grid.Cell(1, 5), "Ąą");
    // A title unknown either way is no reason to change.
    ASSERT_EQ(reader.ReadBytes("Numer;Nazwa;Uwagi\r\n5;\xB6\x9C;x\r\n", goods, grid, 1), kLoadOk);
    EXPECT_FALSE(reader.ReadAsIso88592());
    EXPECT_EQ(grid.Cell(1, 5), "¶ś");
    EXPECT_EQ(reader.UnknownTitles(), std::vector<std::string>{"Uwagi"});
}

TEST_F(TableTextFileTest, StatusMessagesNameTheTablesRange) {
    const TableDescriptor& surcharges = ZenModel().Table(TableKind::kSurcharges);
    EXPECT_EQ(LoadStatusMessage(kLoadRecordsOutOfRange, surcharges, 100),
              "Istnieją rekordy o numerze z poza zakresu\n<5,8>. Zostały pominięte.");
    EXPECT_EQ(LoadStatusMessage(kLoadTooManyLines, Goods(ZenModel()), 1000),
              "Plik posiada zbyt dużo linii.\nKasa może mieć tylko 2636 linii.\n");
    EXPECT_EQ(LoadStatusMessage(kLoadBadRowStructure, surcharges, 1),
              "Nieprawidłowa struktura wiersza Doplata");
    EXPECT_EQ(LoadStatusMessage(kLoadRowOutOfRange, surcharges, 1),
              "Numer wiersza poza zakresem. ");
    EXPECT_EQ(LoadStatusMessage(kLoadIsPodFile, surcharges, 1), "");

    // Surcharges read from a file land on their own numbers 5..8.
    EXPECT_EQ(reader.ReadBytes("Numer;Nazwa\r\n6;Sobota\r\n4;Rabat\r\n", surcharges, grid, 1),
              kLoadRecordsOutOfRange);
    EXPECT_EQ(grid.Cell(1, 2), "Sobota");
}

}  // namespace
}  // namespace kasa
