#include "tables/pod_file.h"

#include <gtest/gtest.h>

#include "support/scratch_folder.h"
#include "tables/table_files.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

struct Parsed : KeyValueFile {
    explicit Parsed(std::string_view bytes) { Parse(bytes); }
};

// Records every call, so that a test sees the messages and the progress in their order.
class RecordingUi : public SilentUserInterface {
  public:
    void Message(const std::string& title, const std::string& text) override {
        events.push_back("M " + title + ": " + text);
    }
    void SetProgress(int position, int maximum) override {
        events.push_back("P " + std::to_string(position) + "/" + std::to_string(maximum));
    }
    std::vector<std::string> events;
};

bool IsGridKind(TableKind kind) {
    return kind != TableKind::kHeader && kind != TableKind::kVat;
}

// A cell text that names its table, row and column, with a Polish letter in it.
std::string CellText(TableKind kind, int row, int col, const FieldDescriptor& field) {
    if (field.editName.substr(0, 1) == "c") {
        return row % 2 == 0 ? "TAK" : "NIE";
    }
    return "t" + std::to_string(static_cast<int>(kind)) + "r" + std::to_string(row) + "c" +
           std::to_string(col) + "ż";
}

// Rows 1, 2 and the last one of every grid filled in every column; the header and the
// VAT rates too.
TableSet FilledTables(const RegisterModel& model, int minPlu) {
    TableSet tables;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = static_cast<TableKind>(k);
        if (!IsGridKind(kind)) {
            continue;
        }
        const TableDescriptor& table = model.Table(kind);
        TextGrid& grid = tables.Grid(kind);
        SetUpGrid(grid, table, true, true, minPlu);
        for (int row : {1, 2, grid.RowCount() - 1}) {
            for (int c = 1; c < grid.ColCount(); ++c) {
                grid.SetCell(c, row, CellText(kind, row, c, table.fields[static_cast<size_t>(c)]));
            }
        }
    }
    for (int i = 0; i < kHeaderLineCount; ++i) {
        tables.header[static_cast<size_t>(i)] = HeaderLine{"Linia " + std::to_string(i + 1) + "; ą",
                                                           i % 2 == 0, i % 3 == 0, i % 4 == 1};
    }
    tables.vatRates = {"23", "8", "nakt", "zw", "0", "NIEAKT", "5,5"};
    return tables;
}

// The loaded grid holds the saved cells of the columns that have an edit control; the
// register's counters are not read from files.
void ExpectLoadedGrid(const TableDescriptor& table, const TextGrid& saved, const TextGrid& loaded,
                      const std::string& what) {
    ASSERT_EQ(loaded.RowCount(), saved.RowCount()) << what;
    ASSERT_EQ(loaded.ColCount(), saved.ColCount()) << what;
    for (int r = 0; r < saved.RowCount(); ++r) {
        EXPECT_EQ(loaded.Cell(0, r), saved.Cell(0, r)) << what << " row " << r;
        for (int c = 1; c < saved.ColCount(); ++c) {
            const bool edited = !table.fields[static_cast<size_t>(c)].editName.empty();
            const std::string expected = (edited || r == 0) ? saved.Cell(c, r) : "";
            EXPECT_EQ(loaded.Cell(c, r), expected) << what << " row " << r << " col " << c;
        }
    }
}

void ExpectLoadedHeaderAndVat(const RegisterModel& model, const TableSet& loaded,
                              const std::string& what) {
    const TableDescriptor& header = model.Table(TableKind::kHeader);
    const TableSet saved = FilledTables(model, 1);
    for (size_t i = 0; i < kHeaderLineCount; ++i) {
        // Lines beyond the register type's header are not kept in files.
        const HeaderLine expected = i < header.fields.size() ? saved.header[i] : HeaderLine{};
        EXPECT_EQ(loaded.header[i], expected) << what << " line " << i + 1;
    }
    EXPECT_EQ(loaded.vatRates, (VatRateTexts{"23", "8", "nakt", "zw", "0", "nakt", "5,5"})) << what;
}

TEST(PodFileTest, EveryTableRoundTripsOnBothRegisterTypes) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    for (const RegisterModel* model : AllModels()) {
        for (int minPlu : {1, 7}) {
            const TableSet saved = FilledTables(*model, minPlu);
            const std::string what = std::string(model->name) + " minPLU " + std::to_string(minPlu);
            // One table per file.
            TableSet separate;
            for (int k = 0; k < kTableKindCount; ++k) {
                const auto kind = static_cast<TableKind>(k);
                const std::string path = folder.Path(what + std::to_string(k) + ".pod");
                ASSERT_TRUE(SaveTableToPodFile(path, *model, kind, saved, minPlu).ok) << what;
                const TableLoadOutcome result = LoadTableFile(path, *model, kind, separate, minPlu);
                EXPECT_EQ(result.status, kLoadOk) << what << result.message;
                if (IsGridKind(kind)) {
                    ExpectLoadedGrid(model->Table(kind), saved.Grid(kind), separate.Grid(kind),
                                     what + " " + std::string(model->Table(kind).tableName));
                }
            }
            ExpectLoadedHeaderAndVat(*model, separate, what);

            // All tables in one file.
            RecordingUi ui;
            const std::string path = folder.Path(what + " wszystko.pod");
            ASSERT_TRUE(SaveAllToPodFile(path, *model, saved, minPlu, ui, "Okno").ok);
            TableSet together;
            EXPECT_TRUE(LoadAllFromPodFile(path, *model, together, minPlu, ui, "Okno").ok());
            for (int k = 0; k < kTableKindCount; ++k) {
                const auto kind = static_cast<TableKind>(k);
                if (IsGridKind(kind)) {
                    ExpectLoadedGrid(model->Table(kind), saved.Grid(kind), together.Grid(kind),
                                     what + " " + std::string(model->Table(kind).tableName));
                }
            }
            ExpectLoadedHeaderAndVat(*model, together, what);
        }
    }
}

TEST(PodFileTest, ValueForms) {
    const RegisterModel& zen = ZenModel();
    const RegisterModel& vesper = VesperModel();
    TableSet tables;
    SetUpGrid(tables.Grid(TableKind::kPackaging), vesper.Table(TableKind::kPackaging), true, true,
              1);
    TextGrid& packaging = tables.Grid(TableKind::kPackaging);
    for (int c = 1; c <= 5; ++c) {
        packaging.SetCell(c, 2, std::vector<std::string>{"", "Żółw", "12,00", "5", "3", "-2"}[c]);
    }
    tables.header[0] = HeaderLine{"Sklep;Mięsny", true, false, true};
    tables.header[2] = HeaderLine{"Łódź", false, true, false};
    tables.vatRates = {"23", "8", "nakt", "ZW", "0", "nieaktywna", "5,5"};

    KeyValueFile file;
    SaveGridTable(file, vesper.Table(TableKind::kPackaging), packaging, 1);
    SaveHeader(file, zen.Table(TableKind::kHeader), tables.header);
    SaveVatRates(file, vesper.Table(TableKind::kVat), tables.vatRates);
    const std::string text = file.Serialize();
    for (const char* part : {"[OPAKOWANIA]\r\nOpak2=2;\xAF\xF3\xB3w;12,00;5;3;-2\r\n\r\n",
                             "Linja1=1;1;0;1;Sklep;Mi\xEAsny\r\nLinja2=2;0;0;0;\r\n",
                             "Linja3=3;0;1;0;\xA3\xF3"
                             "d\x9F\r\n",
                             "Linja8=8;0;0;0;\r\n\r\n[PTU]\r\nPtu1=A;23;AKTYWNA\r\n",
                             "Ptu3=C;;NIEAKTYWNA\r\nPtu4=D;;ZWOLNIONA\r\n",
                             "Ptu6=F;;NIEAKTYWNA\r\nPtu7=G;5,5;AKTYWNA\r\n"}) {
        EXPECT_NE(text.find(part), std::string::npos) << part;
    }

    // A text that ends in the separator survives the reader's dropping of a last one.
    tables.header[1] = HeaderLine{"Rachunek;", false, false, false};
    KeyValueFile endsInSeparator;
    SaveHeader(endsInSeparator, zen.Table(TableKind::kHeader), tables.header);
    EXPECT_EQ(*endsInSeparator.Find("NAGLOWEK", "Linja2"), "2;0;0;0;Rachunek;;");
    HeaderLines reread;
    ASSERT_EQ(LoadHeader(endsInSeparator, zen.Table(TableKind::kHeader), reread).status, kLoadOk);
    EXPECT_EQ(reread[1].text, "Rachunek;");

    // The "Vesper" header has six lines: only they are written.
    KeyValueFile vesperHeader;
    SaveHeader(vesperHeader, vesper.Table(TableKind::kHeader), tables.header);
    EXPECT_EQ(
        vesperHeader.KeyNames("NAGLOWEK"),
        (std::vector<std::string>{"Linia1", "Linia2", "Linia3", "Linia4", "Linia5", "Linia6"}));
}

TEST(PodFileTest, GoodsBelowMinPluAndEmptiedRecordsLoseTheirKeys) {
    const TableDescriptor& goods = ZenModel().Table(TableKind::kGoods);
    KeyValueFile file;
    file.Parse(
        "[TOWARY]\r\nPlu1=1;a\r\nPlu2=2;b\r\nPlu3=3;c\r\nPlu4=4;d\r\nPlu5=5;e\r\nPlu6=6;f\r\n"
        "Plu7=7;g\r\n");
    TextGrid grid;
    SetUpGrid(grid, goods, true, true, 5);
    ASSERT_EQ(grid.Cell(0, 1), "5");
    const std::vector<std::string> record5 = {"5", "Nowy5", "5901234123457", "A",
                                              "0", "1,99",  "0,000"};
    const std::vector<std::string> record7 = {"7", "Nowy7", "", "B", "2", "10,00", "1,500"};
    for (int c = 1; c < 7; ++c) {
        grid.SetCell(c, 1, record5[static_cast<size_t>(c)]);
        grid.SetCell(c, 3, record7[static_cast<size_t>(c)]);
    }
    SaveGridTable(file, goods, grid, 5);
    EXPECT_EQ(file.Serialize(),
              "[TOWARY]\r\n"
              "Plu5=5;Nowy5;5901234123457;A;0;1,99;0,000\r\n"
              "Plu7=7;Nowy7;;B;2;10,00;1,500\r\n");

    // A record whose name was deleted disappears at the next save.
    grid.SetCell(1, 3, "");
    SaveGridTable(file, goods, grid, 5);
    EXPECT_EQ(file.Serialize(), "[TOWARY]\r\nPlu5=5;Nowy5;5901234123457;A;0;1,99;0,000\r\n");
}

TEST(PodFileTest, SavingATableKeepsTheFileOtherSections) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("baza.pod",
                 "; baza sklepu\r\n[USTAWIENIA]\r\nPortName=/dev/ttyUSB0\r\n\r\n"
                 "[KASJERZY]\r\nKasjer1=1;Ala;1\r\n\r\n[OPAKOWANIA]\r\nOpak9=9;stare;1,00\r\n");
    TableSet tables;
    const TableDescriptor& packaging = ZenModel().Table(TableKind::kPackaging);
    SetUpGrid(tables.Grid(TableKind::kPackaging), packaging, true, true, 1);
    tables.Grid(TableKind::kPackaging).SetCell(1, 1, "Butelka");
    tables.Grid(TableKind::kPackaging).SetCell(2, 1, "0,50");
    const WriteResult result =
        SaveTableToPodFile(folder.Path("baza.pod"), ZenModel(), TableKind::kPackaging, tables, 1);
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(folder.Read("baza.pod"),
              "; baza sklepu\r\n[USTAWIENIA]\r\nPortName=/dev/ttyUSB0\r\n\r\n"
              "[KASJERZY]\r\nKasjer1=1;Ala;1\r\n\r\n[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50\r\n");
}

TEST(PodFileTest, GridLoadStatuses) {
    struct Case {
        const char* name;
        TableKind kind;
        int minPlu;
        std::string text;
        int32_t status;
        const char* message;
        std::vector<std::pair<int, std::string>> names;  // row, column 1 after the load
    };
    // clang-format off
    const Case cases[] = {
        {"not a number", TableKind::kPackaging, 1,
         "[OPAKOWANIA]\r\nOpak1=1;A;1\r\nOpak2=abc;B;2\r\nOpak3=3;C;3\r\n",
         kLoadPodBadStructure, "Nieprawidłowa struktura wiersza Opak2", {{1, "A"}, {2, ""}, {3, ""}}},
        {"one past", TableKind::kPackaging, 1, "[OPAKOWANIA]\r\nOpak2=16;B;2\r\n",
         kLoadPodRowOutOfRange, "Numer wiersza poza zakresem. 16", {}},
        {"last", TableKind::kPackaging, 1, "[OPAKOWANIA]\r\nOpak2=15;B;2\r\n",
         kLoadOk, "", {{15, "B"}, {2, ""}}},
        {"skipped values", TableKind::kPackaging, 1,
         "[OPAKOWANIA]\r\nOpak1=;A;1\r\nOpak2=brak\r\nOpak3=\r\nOpak4=4;D;\r\n",
         kLoadOk, "", {{1, ""}, {2, ""}, {3, ""}, {4, "D"}}},
        {"below minPLU", TableKind::kGoods, 5, "[TOWARY]\r\nPlu5=5;E;;A;0;1;0\r\nPlu6=3;x;;A;0;1;0\r\n",
         kLoadPodRowOutOfRange, "Numer wiersza poza zakresem. 3", {{1, "E"}}},
        {"surcharges", TableKind::kSurcharges, 1,
         "[DOPLATY]\r\nDoplata5=5;Pierwsza;1,00\r\nDoplata6=4;x;1\r\n",
         kLoadPodRowOutOfRange, "Numer wiersza poza zakresem. 4", {{1, "Pierwsza"}, {2, ""}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const Parsed file(c.text);
        TextGrid grid;
        const TableDescriptor& table = ZenModel().Table(c.kind);
        SetUpGrid(grid, table, true, true, c.minPlu);
        grid.SetCell(1, 2, "stare");  // a load starts from a cleared grid
        const PodLoadResult result = LoadGridTable(file, table, grid, c.minPlu);
        EXPECT_EQ(result.status, c.status) << c.name;
        EXPECT_EQ(result.message, c.message) << c.name;
        EXPECT_EQ(LoadStatusMessage(result.status, 1, 15, result.message), c.message) << c.name;
        for (const auto& [row, name] : c.names) {
            EXPECT_EQ(grid.Cell(1, row), name) << c.name << " row " << row;
        }
        EXPECT_EQ(grid.RowCount(), GridRowCount(table, c.minPlu)) << c.name;
    }
}

TEST(PodFileTest, HeaderLoaderChecks) {
    const TableDescriptor& vesper = VesperModel().Table(TableKind::kHeader);
    const TableDescriptor& zen = ZenModel().Table(TableKind::kHeader);
    HeaderLines lines;
    lines[4].text = "bez klucza";

    PodLoadResult result = LoadHeader(Parsed("[NAGLOWEK]\r\n"
                                             "Linia1=1;1;0;1;Sklep;Mięsny;\r\n"
                                             "Linia2=2;2;-1;x;  odstęp\r\n"
                                             "Linia3=3;1;;;\r\n"
                                             "Linia4=;1;1;1;pominięta\r\n"
                                             "Linja5=5;1;1;1;innego typu\r\n"),
                                      vesper, lines);
    EXPECT_EQ(result.status, kLoadOk);
    EXPECT_EQ(lines[0], (HeaderLine{"Sklep;Mięsny", true, false, true}));
    EXPECT_EQ(lines[1], (HeaderLine{"  odstęp", true, false, false}));
    EXPECT_EQ(lines[2], (HeaderLine{"", true, false, false}));
    EXPECT_EQ(lines[3], HeaderLine{});
    EXPECT_EQ(lines[4].text, "bez klucza");

    result = LoadHeader(Parsed("[NAGLOWEK]\r\nLinja1=1;0;0;0;pierwsza\r\nLinja2=0;1;1;1;x\r\n"
                               "Linja3=3;0;0;0;trzecia\r\n"),
                        zen, lines);
    EXPECT_EQ(result.status, kLoadPodBadStructure);
    EXPECT_EQ(result.message, "Nieprawidłowa struktura wiersza Linja2");
    EXPECT_EQ(lines[0].text, "pierwsza");
    EXPECT_EQ(lines[2].text, "");

    result = LoadHeader(Parsed("[NAGLOWEK]\r\nLinja3=9;0;0;0;x\r\n"), zen, lines);
    EXPECT_EQ(result.status, kLoadPodRowOutOfRange);
    EXPECT_EQ(result.message, "Numer wiersza poza zakresem. 9");

    // A line is placed by the number in its value.
    result = LoadHeader(Parsed("[NAGLOWEK]\r\nLinja1=8;0;0;0;ósma\r\n"), zen, lines);
    EXPECT_EQ(result.status, kLoadOk);
    EXPECT_EQ(lines[7].text, "ósma");
}

TEST(PodFileTest, VatLoaderForms) {
    const TableDescriptor& vat = ZenModel().Table(TableKind::kVat);
    VatRateTexts rates = {"1", "2", "3", "4", "5", "6", "7"};
    const PodLoadResult result = LoadVatRates(Parsed("[PTU]\r\nPtu1=A;23;AKTYWNA\r\n"
                                                     "Ptu2=B;;NIEAKTYWNA\r\n"
                                                     "Ptu3=C;;ZWOLNIONA\r\n"
                                                     "Ptu4=;8;AKTYWNA\r\n"
                                                     "Ptu5=E;5,5;\r\n"
                                                     "Ptu7=G;12;zwolniona\r\n"),
                                              vat, rates);
    EXPECT_EQ(result.status, kLoadOk);
    EXPECT_EQ(rates, (VatRateTexts{"23", "nakt", "zw", "4", "5,5", "6", "zw"}));
}

TEST(PodFileTest, LoadAllGoesInOrderAndReportsEachFailure) {
    const RegisterModel& zen = ZenModel();
    RecordingUi ui;
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("zle.pod",
                 "[KASJERZY]\r\nKasjer2=x;Ala;;;;;;;;;;;;\r\n[KLAWISZE]\r\nKlawisz1=40;1;1;TAK\r\n"
                 "[FORMY]\r\nForma1=1;Got\xF3wka\r\n");
    TableSet tables;
    const PodLoadResult result =
        LoadAllFromPodFile(folder.Path("zle.pod"), zen, tables, 1, ui, "Program serwisowy kas");
    EXPECT_EQ(result.status, kLoadPodBadStructure);
    EXPECT_EQ(result.message, "Nieprawidłowa struktura wiersza Kasjer2");
    // Each failure is shown when its table is reached, and the rest still load.
    ASSERT_EQ(ui.events.size(), 10u);
    EXPECT_EQ(ui.events[1], "P 2/8");
    EXPECT_EQ(ui.events[2], "M Program serwisowy kas: Nieprawidłowa struktura wiersza Kasjer2");
    EXPECT_EQ(ui.events[4], "M Program serwisowy kas: Numer wiersza poza zakresem. 40");
    EXPECT_EQ(ui.events[9], "P 8/8");
    EXPECT_EQ(tables.Grid(TableKind::kPaymentForms).Cell(1, 1), "Gotówka");
    EXPECT_EQ(tables.Grid(TableKind::kGoods).RowCount(), 2637);

    // A missing file, and one that holds no table, are shown and change nothing.
    tables.Grid(TableKind::kPaymentForms).SetCell(1, 1, "x");
    folder.Write("csv.pod", "Numer;Nazwa\r\n1;Chleb\r\n");
    RecordingUi quiet;
    EXPECT_EQ(LoadAllFromPodFile(folder.Path("brak.pod"), zen, tables, 1, quiet, "T").status,
              kLoadEmptyFile);
    EXPECT_EQ(LoadAllFromPodFile(folder.Path("csv.pod"), zen, tables, 1, quiet, "T").status,
              kLoadNoTableSection);
    EXPECT_EQ(tables.Grid(TableKind::kPaymentForms).Cell(1, 1), "x");
    EXPECT_EQ(quiet.events, (std::vector<std::string>{"M T: Podany plik jest pusty lub nieistnieje",
                                                      "M T: Plik " + folder.Path("csv.pod") +
                                                          " nie zawiera żadnej tabeli."}));
}

// A table set whose every grid holds one record, to see that a refused load changes none.
TableSet HeldTables(const RegisterModel& model) {
    TableSet tables;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = static_cast<TableKind>(k);
        if (IsGridKind(kind)) {
            SetUpGrid(tables.Grid(kind), model.Table(kind), true, true, 1);
            tables.Grid(kind).SetCell(1, 1, "dotychczasowy");
        }
    }
    tables.header[0].text = "dotychczasowa linia";
    tables.vatRates[0] = "23";
    return tables;
}

bool SameTables(const TableSet& a, const TableSet& b) {
    return a.grids == b.grids && a.header == b.header && a.vatRates == b.vatRates;
}

TEST(PodFileTest, ATableOfTheOtherRegisterTypeIsRefused) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    // Written by hand as each type's program writes them: "Zen" goods have 7 fields,
    // cashiers 14 and payment forms 2; "Vesper" goods 11, cashiers 28, payment forms 4.
    struct Case {
        const char* file;
        TableKind kind;
        const char* text;
        const RegisterModel& chosen;
        const char* message;  // after the path
    };
    const Case cases[] = {
        {"zen_towary.pod", TableKind::kGoods,
         "[TOWARY]\r\nPlu1=1;Chleb;5901234123457;A;0;2,50;0,000\r\nPlu2=2;Bu\xB3ka;;B;0;0,60;",
         VesperModel(), " zawiera tabelę kasy ZEN, a wybrana kasa to VESPER."},
        {"vesper_towary.pod", TableKind::kGoods,
         "[TOWARY]\r\nPlu1=1;Chleb;5901234123457;A;1;0;2,50;0,000;0,00;0,000;0,00\r\n", ZenModel(),
         " zawiera tabelę kasy VESPER, a wybrana kasa to ZEN."},
        {"zen_kasjerzy.pod", TableKind::kCashiers,
         "[KASJERZY]\r\nKasjer1=1;Ala;1111;0;0,00;0,00;0,00;0,00;0,00;0,00;0;0,00;0;0,00\r\n",
         VesperModel(), " zawiera tabelę kasy ZEN, a wybrana kasa to VESPER."},
        {"vesper_kasjerzy.pod", TableKind::kCashiers,
         "[KASJERZY]\r\nKasjer1=1;Kierownik;1111;241;0;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0;"
         "0,00;0;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00;0,00\r\n",
         ZenModel(), " zawiera tabelę kasy VESPER, a wybrana kasa to ZEN."},
        {"zen_formy.pod", TableKind::kPaymentForms, "[FORMY]\r\nForma1=1;Got\xF3wka\r\n",
         VesperModel(), " zawiera tabelę kasy ZEN, a wybrana kasa to VESPER."},
        {"vesper_formy.pod", TableKind::kPaymentForms,
         "[FORMY]\r\nForma1=1;Got\xF3wka;1,00000000;0,00000000\r\nForma2=2;Euro;4,25;\r\n",
         ZenModel(), " zawiera tabelę kasy VESPER, a wybrana kasa to ZEN."},
        {"vesper_naglowek.pod", TableKind::kHeader, "[NAGLOWEK]\r\nLinia1=1;0;0;0;Sklep\r\n",
         ZenModel(), " zawiera tabelę kasy VESPER, a wybrana kasa to ZEN."},
    };
    for (const Case& c : cases) {
        folder.Write(c.file, c.text);
        const std::string path = folder.Path(c.file);
        TableSet tables = HeldTables(c.chosen);
        const TableSet before = tables;
        const TableLoadOutcome one = LoadTableFile(path, c.chosen, c.kind, tables, 1);
        EXPECT_EQ(one.status, kLoadOtherRegisterType) << c.file;
        EXPECT_EQ(one.message, "Plik " + path + c.message) << c.file;
        EXPECT_TRUE(SameTables(tables, before)) << c.file;

        RecordingUi ui;
        const PodLoadResult all = LoadAllFromPodFile(path, c.chosen, tables, 1, ui, "Okno");
        EXPECT_EQ(all.status, kLoadOtherRegisterType) << c.file;
        EXPECT_EQ(ui.events, std::vector<std::string>{"M Okno: Plik " + path + c.message})
            << c.file;
        EXPECT_TRUE(SameTables(tables, before)) << c.file;
    }
}

TEST(PodFileTest, EveryTableThatDiffersBetweenTheTypesIsRefusedBothWays) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::pair<const RegisterModel*, const RegisterModel*> directions[] = {
        {&ZenModel(), &VesperModel()}, {&VesperModel(), &ZenModel()}};
    for (const auto& [writer, chosen] : directions) {
        const TableSet saved = FilledTables(*writer, 1);
        const std::string writerName = writer == &ZenModel() ? "ZEN" : "VESPER";
        const std::string chosenName = chosen == &ZenModel() ? "ZEN" : "VESPER";
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = static_cast<TableKind>(k);
            const std::string what = writerName + " " + std::to_string(k);
            const std::string path = folder.Path(what + ".pod");
            ASSERT_TRUE(SaveTableToPodFile(path, *writer, kind, saved, 1).ok) << what;
            TableSet tables = HeldTables(*chosen);
            const TableSet before = tables;
            const TableLoadOutcome outcome = LoadTableFile(path, *chosen, kind, tables, 1);
            if (kind == TableKind::kKeys || kind == TableKind::kVat) {
                // Keys and VAT rates are stored alike by both types.
                EXPECT_EQ(outcome.status, kLoadOk) << what << outcome.message;
                continue;
            }
            EXPECT_EQ(outcome.status, kLoadOtherRegisterType) << what;
            EXPECT_EQ(outcome.message, "Plik " + path + " zawiera tabelę kasy " + writerName +
                                           ", a wybrana kasa to " + chosenName + ".")
                << what;
            EXPECT_TRUE(SameTables(tables, before)) << what;
        }
        // All tables in one file: not one of them changes.
        const std::string path = folder.Path(writerName + " wszystko.pod");
        RecordingUi quiet;
        ASSERT_TRUE(SaveAllToPodFile(path, *writer, saved, 1, quiet, "Okno").ok);
        TableSet tables = HeldTables(*chosen);
        const TableSet before = tables;
        RecordingUi ui;
        EXPECT_EQ(LoadAllFromPodFile(path, *chosen, tables, 1, ui, "Okno").status,
                  kLoadOtherRegisterType);
        EXPECT_EQ(ui.events.size(), 1u);
        EXPECT_TRUE(SameTables(tables, before)) << writerName;
    }
}

TEST(PodFileTest, ARecordLineCutShortIsRefusedBeforeAnythingChanges) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    struct Case {
        const char* name;
        const RegisterModel& model;
        TableKind kind;
        std::string text;
        const char* message;
    };
    // clang-format off
    const Case cases[] = {
        // "Zen" packaging has 3 fields, "Vesper" packaging 6.
        {"cut after a field", ZenModel(), TableKind::kPackaging,
         "[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50\r\nOpak2=2;Skrzynka\r\n",
         "Wiersz Opak2 jest niepełny."},
        {"cut after a separator", VesperModel(), TableKind::kPackaging,
         "[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50;0;0;0\r\nOpak2=2;Skrzynka;5,00;\r\n",
         "Wiersz Opak2 jest niepełny."},
        // The file ends inside the line: three fields are no "Zen" packaging here.
        {"cut to the other type's count", VesperModel(), TableKind::kPackaging,
         "[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50", "Wiersz Opak1 jest niepełny."},
        {"only the number", ZenModel(), TableKind::kPackaging,
         "[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50\r\nOpak2=2\r\n", "Wiersz Opak2 jest niepełny."},
        {"a separator in the name", ZenModel(), TableKind::kPackaging,
         "[OPAKOWANIA]\r\nOpak1=1;Butelka;0,50\r\nOpak3=3;Skrzynka;du\xBF\x61;5,00\r\n",
         "Wiersz Opak3 ma za dużo pól."},
        {"discounts", VesperModel(), TableKind::kDiscounts,
         "[RABATY]\r\nRabat1=1;Sta\xB3y;5,00;0,00\r\nRabat4=4;Nowy;10\r\n",
         "Wiersz Rabat4 jest niepełny."},
        {"header", VesperModel(), TableKind::kHeader,
         "[NAGLOWEK]\r\nLinia1=1;1;0;0;Sklep\r\nLinia2=2;0;1\r\n", "Wiersz Linia2 jest niepełny."},
        {"VAT rate", ZenModel(), TableKind::kVat,
         "[PTU]\r\nPtu1=A;23;AKTYWNA\r\nPtu2=B;8\r\n", "Wiersz Ptu2 jest niepełny."},
    };
    // clang-format on
    for (const Case& c : cases) {
        folder.Write("plik.pod", c.text);
        TableSet tables = HeldTables(c.model);
        const TableSet before = tables;
        const TableLoadOutcome outcome =
            LoadTableFile(folder.Path("plik.pod"), c.model, c.kind, tables, 1);
        EXPECT_EQ(outcome.status, kLoadIncompleteLine) << c.name;
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_TRUE(SameTables(tables, before)) << c.name;

        // Everything from one file: the tables before the cut one do not change either.
        RecordingUi ui;
        const std::string all = "[FORMY]\r\nForma1=1;Got\xF3wka" +
                                std::string(&c.model == &ZenModel() ? "" : ";1;0") + "\r\n" +
                                c.text;
        folder.Write("wszystko.pod", all);
        EXPECT_EQ(
            LoadAllFromPodFile(folder.Path("wszystko.pod"), c.model, tables, 1, ui, "T").status,
            kLoadIncompleteLine)
            << c.name;
        EXPECT_EQ(ui.events, std::vector<std::string>{std::string("M T: ") + c.message}) << c.name;
        EXPECT_TRUE(SameTables(tables, before)) << c.name;
    }
}

TEST(PodFileTest, RecordsWithEmptyTrailingCellsLoad) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    for (const RegisterModel* model : AllModels()) {
        TableSet saved;
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = static_cast<TableKind>(k);
            if (!IsGridKind(kind)) {
                continue;
            }
            SetUpGrid(saved.Grid(kind), model->Table(kind), true, true, 1);
            saved.Grid(kind).SetCell(1, 2, "Tylko nazwa");  // every cell after it empty
        }
        saved.header[1] = HeaderLine{"", false, false, false};
        const std::string path = folder.Path(std::string(model->name) + ".pod");
        RecordingUi ui;
        ASSERT_TRUE(SaveAllToPodFile(path, *model, saved, 1, ui, "T").ok);
        TableSet loaded = HeldTables(*model);
        EXPECT_TRUE(LoadAllFromPodFile(path, *model, loaded, 1, ui, "T").ok()) << model->name;
        for (int k = 0; k < kTableKindCount; ++k) {
            const auto kind = static_cast<TableKind>(k);
            if (IsGridKind(kind)) {
                EXPECT_EQ(loaded.Grid(kind).Cell(1, 2), "Tylko nazwa") << model->name << k;
                EXPECT_EQ(loaded.Grid(kind).Cell(1, 1), "") << model->name << k;
            }
        }
        // The same lines written by hand: a name, then only separators.
        folder.Write("reczny.pod", model == &ZenModel() ? "[TOWARY]\r\nPlu3=3;Chleb;;;;;\r\n"
                                                        : "[TOWARY]\r\nPlu3=3;Chleb;;;;;;;;;\r\n");
        TableSet goods = HeldTables(*model);
        const TableLoadOutcome outcome =
            LoadTableFile(folder.Path("reczny.pod"), *model, TableKind::kGoods, goods, 1);
        EXPECT_EQ(outcome.status, kLoadOk) << model->name << outcome.message;
        EXPECT_EQ(goods.Grid(TableKind::kGoods).Cell(1, 3), "Chleb") << model->name;
    }
}

TEST(PodFileTest, FailedSaveIsReported) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    RecordingUi ui;
    const WriteResult result = SaveAllToPodFile(folder.Path("brak/baza.pod"), ZenModel(),
                                                FilledTables(ZenModel(), 1), 1, ui, "Okno");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find("Nie udało się zapisać pliku"), std::string::npos);
    ASSERT_FALSE(ui.events.empty());
    EXPECT_EQ(ui.events.back(), "M Okno: " + result.message);
}

}  // namespace
}  // namespace kasa
