#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "kasa_fixture.h"
#include "sim/virtual_register.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"

namespace kasa::cli {
namespace {

// The goods titles of the "Vesper" table as a text file holds them (Windows-1250).
const char* const kGoodsTitles =
    "Numer;Nazwa;Kod kreskowy;PTU;Grupa;Op.;Cena;Ilo\x9c\xe6;Warto\x9c\xe6;M Ilo\x9c\xe6;"
    "M warto\x9c\xe6\r\n";

class KasaWrites : public KasaCommands {
  protected:
    int Requests(char letter) const { return testing::CountRequests(*reg, letter); }
    std::string GoodsName(int number) {
        std::string name;
        testing::WithState(*reg, [&](sim::RegisterState& s) { name = s.Record(7, number)[0]; });
        return name;
    }
    std::string GoodsFile(const std::string& rows) {
        folder.Write("towary.csv", std::string(kGoodsTitles) + rows);
        return folder.Path("towary.csv");
    }

    testing::ScratchFolder folder;
};

TEST_F(KasaWrites, ZapisWritesTheFilledRowsOfAFile) {
    const std::string file = GoodsFile(
        "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"
        "21;Drugi towar;;B;1;0;3.10;0;0;0;0\r\n");
    const Outcome r = Kasa({"zapis", "PLU", file});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Zapisano do kasy tabelę PLU.\n");
    EXPECT_EQ(Requests('E'), 2);
    EXPECT_EQ(GoodsName(20), "Nowy towar");
    EXPECT_EQ(GoodsName(21), "Drugi towar");
    EXPECT_EQ(GoodsName(1), "Chleb żytni");
}

TEST_F(KasaWrites, AFileWithFaultsSendsNoWrite) {
    const std::string file = GoodsFile("20;Nowy towar;12345678901234;A;1;0;2.50;0;0;0;0\r\n");
    const Outcome r = Kasa({"zapis", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(" ma za dużo znaków."), std::string::npos) << r.err;
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(GoodsName(20), "");
}

TEST_F(KasaWrites, FailingRowStopsWithoutATerminalAndDalejGoesOn) {
    const std::string file = GoodsFile(
        "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"
        "21;Drugi towar;;B;1;0;3.10;0;0;0;0\r\n");
    reg->SetStatusForRecord('E', 20, 23);
    Outcome r = Kasa({"zapis", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Podczas transmisji wykryto błąd w wierszu 20.\nBład w transmisji.\n"
                         "Błąd danych\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(r.err.ends_with("Wiersze z błędem: 20.\n")) << r.err;
    EXPECT_EQ(GoodsName(21), "");

    r = Kasa({"zapis", "PLU", file, "--dalej"});
    EXPECT_EQ(r.code, 1);  // a row passed over is no success
    EXPECT_NE(r.err.find("Wiersze z błędem zostały pominięte: 20."), std::string::npos) << r.err;
    EXPECT_EQ(GoodsName(21), "Drugi towar");
}

TEST_F(KasaWrites, NonZeroTotalsWithoutATerminalSendNothing) {
    const std::string file = GoodsFile("20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n");
    testing::WithState(*reg, [](sim::RegisterState& s) { s.totals[2] = 1; });
    const Outcome r = Kasa({"zapis", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Totalizery kasy są niezerowe."), std::string::npos);
    EXPECT_EQ(Requests('E'), 0);
}

TEST_F(KasaWrites, ClearedRangeAndRefusedRanges) {
    EXPECT_EQ(Kasa({"zapis", "PLU", "--od", "10", "--do", "12", "--wyczysc"}).code, 0);
    EXPECT_EQ(GoodsName(9), "Pączek z różą");
    EXPECT_EQ(GoodsName(10), "");
    EXPECT_EQ(GoodsName(12), "");
    EXPECT_EQ(GoodsName(13), "Herbata czarna");
    reg->ClearReceived();
    const Outcome r = Kasa({"zapis", "PLU", "--od", "0", "--do", "5", "--wyczysc"});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err, "Podane wartości są poza zakresem.\n");
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(Kasa({"zapis", "PLU", "--wyczysc"}).code, 2);
    EXPECT_EQ(Kasa({"zapis"}).code, 2);
}

TEST_F(KasaWrites, ZapisWszystkoWritesEveryTableOfThePod) {
    folder.Write("all.pod",
                 "[OPAKOWANIA]\r\nOpak4=4;Skrzynka duza;5.00;0;0;0\r\n"
                 "[FORMY]\r\nForma7=7;Bon drugi;1.000000;\r\n"
                 "[NAGLOWEK]\r\nLinia2=2;0;1;0;Sklep Ani\r\n");
    const Outcome r = Kasa({"zapis", "wszystko", folder.Path("all.pod")});
    EXPECT_EQ(r.code, 0) << r.err;
    testing::WithState(*reg, [](sim::RegisterState& s) {
        EXPECT_EQ(s.Record(0, 4)[0], "Skrzynka duza");
        EXPECT_EQ(s.Record(4, 7)[0], "Bon drugi");
        EXPECT_EQ(s.header[0].text, "");
        EXPECT_EQ(s.header[1].text, "Sklep Ani");
        EXPECT_TRUE(s.header[1].doubleHeight);
    });
}

// --tak answers every question for the user, and every one it answers is printed: a row
// the register refused is seen, and the closing line names it.
TEST_F(KasaWrites, TakPrintsEveryQuestionItAnswers) {
    const std::string file = GoodsFile(
        "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"
        "21;Drugi towar;;B;1;0;3.10;0;0;0;0\r\n");
    reg->SetStatusForRecord('E', 20, 23);
    const Outcome r = Kasa({"--tak", "zapis", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Podczas transmisji wykryto błąd w wierszu 20.\nBład w transmisji.\n"
                         "Błąd danych\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Chcesz kontunyować? (--tak: odpowiedź „Tak”)\n"), std::string::npos)
        << r.err;
    EXPECT_TRUE(r.err.ends_with("Wiersze z błędem zostały pominięte: 20.\n")) << r.err;
    EXPECT_EQ(GoodsName(21), "Drugi towar");
}

// What "odczyt wszystko" saved, "zapis wszystko" writes back without changing a thing, on
// both register types: counters, permissions and passwords ("nakt" included) come back as
// the register held them.
class KasaRestore : public ::testing::TestWithParam<sim::RegisterType> {
  protected:
    void SetUp() override {
        sim::VirtualRegisterOptions options;
        options.type = GetParam();
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
    }
    Outcome Kasa(std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", reg->PortPath(), "--baud", "115200"});
        std::istringstream in;
        std::ostringstream out, err;
        const int code = kasa::cli::Run(args, in, out, err);
        return {code, out.str(), err.str()};
    }
    std::vector<std::vector<std::string>> Snapshot() {
        std::vector<std::vector<std::string>> records;
        testing::WithState(*reg, [&](sim::RegisterState& s) {
            for (const int database : {0, 1, 2, 4, 5, 7}) {
                for (int n = 1; n <= s.RecordCount(database); ++n) {
                    records.push_back(s.Record(database, n));
                }
            }
        });
        return records;
    }
    std::unique_ptr<sim::VirtualRegister> reg;
    testing::ScratchFolder folder;
};

TEST_P(KasaRestore, ZapisWszystkoOfOdczytWszystkoChangesNothing) {
    testing::WithState(*reg, [](sim::RegisterState& s) { s.Record(2, 3)[1] = "-1"; });
    const std::string path = folder.Path("kasa.pod");
    const Outcome read = Kasa({"odczyt", "wszystko", path});
    ASSERT_EQ(read.code, 0) << read.err;
    const auto before = Snapshot();
    const Outcome written = Kasa({"zapis", "wszystko", path});
    EXPECT_EQ(written.code, 0) << written.err;
    EXPECT_NE(written.out.find("Zapisano do kasy wszystkie tabele z pliku " + path + ": "),
              std::string::npos)
        << written.out;
    EXPECT_NE(written.out.find("Kasjer"), std::string::npos) << written.out;
    EXPECT_EQ(Snapshot(), before);
    for (const char letter : {'A', 'B', 'C', 'D', 'E'}) {
        EXPECT_EQ(testing::CountRequests(*reg, letter), 0) << letter;
    }
}

INSTANTIATE_TEST_SUITE_P(BothTypes, KasaRestore,
                         ::testing::Values(sim::RegisterType::Zen, sim::RegisterType::Vesper));

TEST_F(KasaWrites, AFileCutShortSendsNothing) {
    // Record 21 lost its last three cells.
    const std::string file = GoodsFile(
        "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"
        "21;Drugi towar;;B;1;0;3.10;0\r\n");
    const Outcome r = Kasa({"zapis", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Wiersz 3 (rekord 21) jest niepełny.\n");
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(GoodsName(20), "");
    EXPECT_EQ(GoodsName(21), "");
}

TEST_F(KasaWrites, ZapisWszystkoOfAnotherTypesFileSendsNothing) {
    // Written for a "Zen": packaging of three fields, payment forms of two.
    folder.Write("zen.pod",
                 "[OPAKOWANIA]\r\nOpak4=4;Skrzynka duza;5.00\r\n"
                 "[FORMY]\r\nForma3=3;Bon\r\n"
                 "[NAGLOWEK]\r\nLinja2=2;0;1;0;Sklep Ani\r\n");
    std::string packaging;
    std::string form;
    std::string headerLine;
    testing::WithState(*reg, [&](sim::RegisterState& s) {
        packaging = s.Record(0, 4)[0];
        form = s.Record(4, 3)[0];
        headerLine = s.header[1].text;
    });
    const Outcome r = Kasa({"zapis", "wszystko", folder.Path("zen.pod")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Plik " + folder.Path("zen.pod") +
                         " zawiera tabelę kasy ZEN, a wybrana kasa to VESPER."),
              std::string::npos)
        << r.err;
    for (const char write : std::string("@ABCDE")) {
        EXPECT_EQ(Requests(write), 0) << write;
    }
    testing::WithState(*reg, [&](sim::RegisterState& s) {
        EXPECT_EQ(s.Record(0, 4)[0], packaging);
        EXPECT_EQ(s.Record(4, 3)[0], form);
        EXPECT_EQ(s.header[1].text, headerLine);
    });
}

TEST_F(KasaWrites, AnUnknownColumnIsToldAndTheOthersAreWritten) {
    folder.Write("towary.csv",
                 std::string(kGoodsTitles).insert(strlen(kGoodsTitles) - 2, ";Uwagi") +
                     "20;Nowy towar;;A;1;0;2.50;0;0;0;0;świeży\r\n");
    const Outcome r = Kasa({"zapis", "PLU", folder.Path("towary.csv")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Nieznana kolumna: Uwagi\n"), std::string::npos) << r.err;
    EXPECT_EQ(GoodsName(20), "Nowy towar");
}

// A code a spreadsheet shortened is listed and asked about: nobody at a terminal answers
// No and nothing is sent; --tak prints the question and writes.
TEST_F(KasaWrites, ShortenedCodesAreAskedAboutBeforeTheWrite) {
    const std::string file = GoodsFile(
        "20;Nowy towar;12345678905;A;1;0;2.50;0;0;0;0\r\n"
        "21;Drugi towar;5901234123457;B;1;0;3.10;0;0;0;0\r\n");
    const std::string warning =
        "PLU: Kod 12345678905 w wierszu 20 wygląda na kod EAN-13 bez zer wiodących "
        "(0012345678905).\n";
    const Outcome refused = Kasa({"zapis", "PLU", file, "--dalej"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find(warning), std::string::npos) << refused.err;
    EXPECT_NE(
        refused.err.find("Zapisać kody do kasy bez zmian?\n(brak terminala: odpowiedź „Nie”)"),
        std::string::npos)
        << refused.err;
    EXPECT_TRUE(refused.err.ends_with("Nic nie zostało wysłane do kasy.\n")) << refused.err;
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(GoodsName(20), "");

    const Outcome agreed = Kasa({"--tak", "zapis", "PLU", file});
    EXPECT_EQ(agreed.code, 0) << agreed.err;
    EXPECT_NE(agreed.err.find(warning), std::string::npos) << agreed.err;
    EXPECT_NE(agreed.err.find("Zapisać kody do kasy bez zmian? (--tak: odpowiedź „Tak”)"),
              std::string::npos)
        << agreed.err;
    EXPECT_EQ(GoodsName(20), "Nowy towar");
    EXPECT_EQ(GoodsName(21), "Drugi towar");
}

// A workbook saved by LibreOffice is written as its CSV would be.
TEST_F(KasaWrites, ZapisFromASpreadsheetsWorkbook) {
    const Outcome r = Kasa({"--tak", "zapis", "PLU",
                            std::string(SERWIS_TEST_DATA) + "/towary_libreoffice_kody_tekst.xlsx"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(GoodsName(3), "Sok;jabłko 1l");
    EXPECT_EQ(GoodsName(4), "Pizza 12\" mała");
    const Outcome read = Kasa({"odczyt", "PLU"});
    EXPECT_NE(read.out.find("\n2;Mleko 2%;0012345678905;B;"), std::string::npos) << read.out;
    EXPECT_NE(read.out.find("\n3;\"Sok;jabłko 1l\";00123;A;"), std::string::npos) << read.out;
}

TEST_F(KasaWrites, KasujAsksFirstAndDeletesOnYes) {
    EXPECT_EQ(Kasa({"kasuj", "PLU", "--bez-sprawdzania"}).code, 1);
    EXPECT_EQ(GoodsName(1), "Chleb żytni");
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(
        cli::Run({"--port", reg->PortPath(), "--tak", "kasuj", "PLU"}, in, out, err, false, true),
        0)
        << err.str();
    EXPECT_EQ(GoodsName(1), "");
    EXPECT_EQ(Requests('V'), 15);  // checked first: only the goods in use are deleted
    // The terminal's progress line ends with the deletion instead of opening again at 0 %.
    EXPECT_TRUE(err.str().ends_with("Kasowanie bazy PLU 100%   \n")) << err.str();
}

}  // namespace
}  // namespace kasa::cli
