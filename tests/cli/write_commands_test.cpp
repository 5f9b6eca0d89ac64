#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/key_value_file.h"
#include "kasa_fixture.h"
#include "sim/virtual_register.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa::cli {
namespace {

// The goods titles of the "Vesper" table as a text file holds them (Windows-1250).
const char* const kGoodsTitles =
    "Numer;Nazwa;Kod kreskowy;PTU;Grupa;Op.;Cena;Ilo\x9c\xe6;Warto\x9c\xe6;M Ilo\x9c\xe6;"
    "M warto\x9c\xe6\r\n";

// The path of the backup a command printed; empty when it printed none.
std::string BackupPath(const std::string& out) {
    const std::string lead = "Kopia zapisanych rekordów: ";
    const size_t at = out.find(lead);
    if (at == std::string::npos) {
        return {};
    }
    const size_t start = at + lead.size();
    return out.substr(start, out.find('\n', start) - start);
}

size_t FileCount(const std::string& folder) {
    std::error_code error;
    size_t count = 0;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        ++count;
    }
    return count;
}

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
    // The backup holds both records as they were: empty.
    const std::string path = BackupPath(r.out);
    EXPECT_EQ(r.out, "Zapisano do kasy tabelę PLU.\nKopia zapisanych rekordów: " + path + "\n");
    EXPECT_EQ(backups.Read(path.substr(backups.Path("").size())),
              "[TOWARY]\r\nPlu20=20;;;;;;;;;;\r\nPlu21=21;;;;;;;;;;\r\n");
    EXPECT_EQ(Requests('E'), 2);
    EXPECT_EQ(GoodsName(20), "Nowy towar");
    EXPECT_EQ(GoodsName(21), "Drugi towar");
    EXPECT_EQ(GoodsName(1), "Chleb żytni");

    // Written back, the backup empties them again; no other record is touched. The same
    // through "zapis wszystko", which writes every table the file gives.
    const Outcome back = Kasa({"zapis", "PLU", path});
    EXPECT_EQ(back.code, 0) << back.err;
    EXPECT_EQ(GoodsName(20), "");
    EXPECT_EQ(GoodsName(21), "");
    EXPECT_EQ(GoodsName(1), "Chleb żytni");
    ASSERT_EQ(Kasa({"zapis", "PLU", file}).code, 0);
    ASSERT_EQ(GoodsName(20), "Nowy towar");
    const Outcome all = Kasa({"zapis", "wszystko", path});
    EXPECT_EQ(all.code, 0) << all.err;
    EXPECT_EQ(GoodsName(20), "");
    EXPECT_EQ(GoodsName(21), "");
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
        const int code = kasa::cli::Run(args, in, out, err, false, false, folder.Path("kopie"));
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
    // The records, then the header lines and the VAT rates. A "Zen" header travels as text
    // alone, so only a "Vesper" has line flags that a write can set.
    std::vector<std::vector<std::string>> FullSnapshot() {
        std::vector<std::vector<std::string>> all = Snapshot();
        const bool flags = GetParam() == sim::RegisterType::Vesper;
        testing::WithState(*reg, [&](sim::RegisterState& s) {
            for (const sim::SimHeaderLine& line : s.header) {
                all.push_back({line.text, flags && line.heavy ? "1" : "0",
                               flags && line.doubleHeight ? "1" : "0"});
            }
            std::vector<std::string> rates;
            for (const double rate : s.vatRates) {
                rates.push_back(std::to_string(rate));
            }
            all.push_back(rates);
        });
        return all;
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
    // A write that changes nothing leaves no backup.
    EXPECT_EQ(BackupPath(written.out), "");
    EXPECT_FALSE(folder.Exists("kopie"));
}

// Records of several tables, a header line and a VAT rate are changed by a write; writing
// its backup back leaves the register as it was before, byte for byte.
TEST_P(KasaRestore, TheBackupOfAWriteWrittenBackPutsTheRegisterBack) {
    const RegisterModel& model = GetParam() == sim::RegisterType::Zen ? ZenModel() : VesperModel();
    const std::string path = folder.Path("kasa.pod");
    ASSERT_EQ(Kasa({"odczyt", "wszystko", path}).code, 0);
    const auto before = FullSnapshot();
    {
        KeyValueFile file(LiteralFileName{}, path);
        const std::pair<TableKind, int> changed[] = {
            {TableKind::kGoods, 1},     {TableKind::kGoods, 2},        {TableKind::kCashiers, 2},
            {TableKind::kPackaging, 1}, {TableKind::kPaymentForms, 1}, {TableKind::kDiscounts, 1}};
        for (const auto& [kind, number] : changed) {
            const TableDescriptor& table = model.Table(kind);
            std::string value = file.ReadString(table.sectionName, PodKey(table, number));
            ASSERT_NE(value.find(';'), std::string::npos) << table.tableName << number;
            const size_t name = value.find(';') + 1;
            value.replace(name, value.find(';', name) - name, "Nowy" + std::to_string(number));
            file.WriteString(table.sectionName, PodKey(table, number), value);
        }
        const TableDescriptor& header = model.Table(TableKind::kHeader);
        file.WriteString(header.sectionName, PodKey(header, 2), "2;0;1;0;Nowa linia");
        file.WriteString("PTU", "Ptu2", "B;7.00;AKTYWNA");
        ASSERT_TRUE(file.Write().ok);
    }
    const Outcome write = Kasa({"zapis", "wszystko", path});
    ASSERT_EQ(write.code, 0) << write.err;
    ASSERT_NE(FullSnapshot(), before);
    const std::string backup = BackupPath(write.out);
    EXPECT_EQ(backup.rfind(folder.Path("kopie/"), 0), 0u) << write.out;
    EXPECT_TRUE(backup.ends_with(std::string("_") +
                                 (GetParam() == sim::RegisterType::Zen ? "ZEN" : "VESPER") +
                                 "_wszystko.pod"))
        << backup;

    const Outcome restore = Kasa({"zapis", "wszystko", backup, "--odczyt-kontrolny"});
    EXPECT_EQ(restore.code, 0) << restore.err;
    EXPECT_NE(restore.out.find("Odczyt kontrolny: zgodne wszystkie zapisane rekordy (8)."),
              std::string::npos)
        << restore.out;
    const auto after = FullSnapshot();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i], before[i]) << "record " << i;
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

TEST_F(KasaWrites, AnUnwritableBackupFolderRefusesTheWriteWithNothingSent) {
    backups.Write("kopie", "plik w miejscu folderu");
    const Outcome r = Kasa({"zapis", "PLU", GoodsFile("1;Chleb razowy;;A;1;0;3.50;0;0;0;0\r\n")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Rekord 1 tabeli PLU nie został wysłany do kasy: nie udało się zapisać "
                         "kopii rekordów sprzed zapisu.\nNie udało się zapisać pliku " +
                         BackupFolder()),
              std::string::npos)
        << r.err;
    EXPECT_EQ(Requests('E'), 0);
    EXPECT_EQ(GoodsName(1), "Chleb żytni");
    EXPECT_EQ(r.out, "");
}

TEST_F(KasaWrites, OdczytKontrolnyProvesTheWriteOrListsWhatTheRegisterDidNotKeep) {
    Outcome r = Kasa({"zapis", "PLU",
                      GoodsFile("1;Chleb razowy;;A;1;0;3.50;0;0;0;0\r\n"
                                "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"),
                      "--odczyt-kontrolny"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with("Odczyt kontrolny: zgodne wszystkie zapisane rekordy (2).\n"))
        << r.out;
    // A register that confirms writes and keeps nothing.
    reg->InjectFault({sim::FaultKind::IgnoreWrite, 0, 0, 1, 1});
    r = Kasa({"zapis", "PLU", GoodsFile("1;Chleb orkiszowy;;A;1;0;3.80;0;0;0;0\r\n"),
              "--odczyt-kontrolny"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err,
              "Odczyt kontrolny: PLU wiersz 1, kolumna Nazwa: wysłano Chleb orkiszowy, odczytano "
              "Chleb razowy.\n"
              "Odczyt kontrolny: PLU wiersz 1, kolumna Cena: wysłano 3.80, odczytano 3.50.\n"
              "Odczyt kontrolny: kasa nie zawiera tego, co do niej wysłano (różnic: 2).\n");
    EXPECT_EQ(GoodsName(1), "Chleb razowy");
}

TEST_F(KasaWrites, NaglowekAndVatUstawLeaveBackupsThatPutThemBack) {
    std::array<sim::SimHeaderLine, 8> header;
    std::array<double, 7> rates{};
    testing::WithState(*reg, [&](sim::RegisterState& s) {
        header = s.header;
        rates = s.vatRates;
    });
    folder.Write("naglowek.txt", "Nowy sklep\n*Druga linia\n");
    const Outcome h = Kasa({"naglowek", "ustaw", folder.Path("naglowek.txt")});
    EXPECT_EQ(h.code, 0) << h.err;
    const std::string headerBackup = BackupPath(h.out);
    EXPECT_TRUE(h.out.starts_with("Kopia zapisanych rekordów: " + BackupFolder())) << h.out;
    EXPECT_TRUE(headerBackup.ends_with("_VESPER_NAGLOWEK.pod")) << headerBackup;
    const Outcome v = Kasa({"vat", "ustaw", "A=22", "F=7"});
    EXPECT_EQ(v.code, 0) << v.err;
    const std::string vatBackup = BackupPath(v.out);
    EXPECT_TRUE(vatBackup.ends_with("_VESPER_STAWKIVAT.pod")) << v.out;
    testing::WithState(*reg, [&](sim::RegisterState& s) {
        EXPECT_EQ(s.header[0].text, "Nowy sklep");
        EXPECT_EQ(s.vatRates[5], 7);
    });
    // Writing the same rates again changes nothing and makes no backup.
    EXPECT_EQ(BackupPath(Kasa({"vat", "ustaw", "A=22"}).out), "");

    EXPECT_EQ(Kasa({"zapis", "wszystko", headerBackup}).code, 0);
    EXPECT_EQ(Kasa({"zapis", "wszystko", vatBackup}).code, 0);
    testing::WithState(*reg, [&](sim::RegisterState& s) {
        for (size_t i = 0; i < header.size(); ++i) {
            EXPECT_EQ(s.header[i].text, header[i].text) << i;
            EXPECT_EQ(s.header[i].heavy, header[i].heavy) << i;
            EXPECT_EQ(s.header[i].doubleHeight, header[i].doubleHeight) << i;
        }
        EXPECT_EQ(s.vatRates, rates);
    });
}

TEST_F(KasaWrites, OnlyTheNewestKopieMaxBackupsStay) {
    folder.Write("config.cfg", "[USTAWIENIA]\r\nKopieMax=2\r\n");
    std::string last;
    for (const char* name : {"Pierwszy", "Drugi", "Trzeci"}) {
        const Outcome r = Kasa({"--config", folder.Path("config.cfg"), "zapis", "PLU",
                                GoodsFile(std::string("1;") + name + ";;A;1;0;3.50;0;0;0;0\r\n")});
        ASSERT_EQ(r.code, 0) << r.err;
        last = BackupPath(r.out);
    }
    EXPECT_EQ(FileCount(BackupFolder()), 2u);
    EXPECT_TRUE(std::filesystem::exists(last));
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

using Listening = sim::VirtualRegisterOptions::Listening;

// kasa with --port tcp://… or rfc2217://… against the virtual register on the loopback.
class KasaOverNetwork : public ::testing::TestWithParam<Listening> {
  protected:
    void SetUp() override {
        reg = Register();
        ASSERT_TRUE(reg->Start());
    }
    std::unique_ptr<sim::VirtualRegister> Register() const {
        sim::VirtualRegisterOptions options;
        options.listening = GetParam();
        return std::make_unique<sim::VirtualRegister>(options);
    }
    // Writes leave their backups in the test's own folder, never in the user's.
    Outcome KasaOn(sim::VirtualRegister& on, std::vector<std::string> args) const {
        args.insert(args.begin(), {"--port", on.PortPath(), "--baud", "115200"});
        std::istringstream in;
        std::ostringstream out, err;
        const int code =
            kasa::cli::Run(args, in, out, err, false, false, backups.Path("kopie") + "/");
        return {code, out.str(), err.str()};
    }
    Outcome Kasa(std::vector<std::string> args) { return KasaOn(*reg, std::move(args)); }
    // Which answer, counted from 1, a run of `args` on a fresh register gives to its `nth`
    // request with `letter`: where a fault is to hit the same run.
    int AnswerOf(const std::vector<std::string>& args, char letter, int nth) {
        auto fresh = Register();
        EXPECT_TRUE(fresh->Start());
        EXPECT_EQ(KasaOn(*fresh, args).code, 0);
        int answers = 0;
        for (const std::string& payload : fresh->ReceivedPayloads()) {
            if (payload == "_") {
                continue;  // the end frame is not answered
            }
            ++answers;
            const size_t at = payload.find_first_not_of("0123456789;");
            if (at != std::string::npos && payload[at] == letter && --nth == 0) {
                return answers;
            }
        }
        ADD_FAILURE() << "no such request";
        return 0;
    }
    std::string GoodsName(int number) {
        std::string name;
        testing::WithState(*reg, [&](sim::RegisterState& s) { name = s.Record(7, number)[0]; });
        return name;
    }

    testing::ScratchFolder folder;
    testing::ScratchFolder backups;
    std::unique_ptr<sim::VirtualRegister> reg;
};

TEST_P(KasaOverNetwork, ReadsAndWritesAsOnASerialPort) {
    Outcome r = Kasa({"info"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Kasa: VESPER"), std::string::npos);
    r = Kasa({"odczyt", "formy"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("1;Gotówka;1.000000;0\n"), std::string::npos);
    folder.Write("towary.csv", std::string(kGoodsTitles) + "20;Ser;;A;1;0;2.50;0;0;0;0\r\n");
    r = Kasa({"zapis", "PLU", folder.Path("towary.csv")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(GoodsName(20), "Ser");
}

TEST_P(KasaOverNetwork, ALostConnectionMidReadStopsWithoutTheFile) {
    const std::string file = folder.Path("towary.csv");
    const int third = AnswerOf({"odczyt", "PLU", folder.Path("proba.csv")}, 'H', 3);
    ASSERT_GT(third, 0);
    // The serial device server goes away with the connection while goods are read.
    reg->InjectFault({sim::FaultKind::Vanish, 0, 0, 0, third});
    const Outcome r = Kasa({"odczyt", "PLU", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
    // Back on the same port, the next job connects again.
    ASSERT_TRUE(reg->Start());
    EXPECT_EQ(Kasa({"info"}).code, 0);
}

TEST_P(KasaOverNetwork, ALostConnectionMidWriteKeepsWhatWasWritten) {
    folder.Write("towary.csv", std::string(kGoodsTitles) +
                                   "20;Nowy towar;;A;1;0;2.50;0;0;0;0\r\n"
                                   "21;Drugi towar;;B;1;0;3.10;0;0;0;0\r\n"
                                   "22;Trzeci towar;;B;1;0;4.20;0;0;0;0\r\n");
    const std::vector<std::string> args = {"zapis", "PLU", folder.Path("towary.csv")};
    const int second = AnswerOf(args, 'E', 2);
    ASSERT_GT(second, 0);
    reg->InjectFault({sim::FaultKind::Vanish, 0, 0, 0, second});
    const Outcome r = Kasa(args);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(GoodsName(20), "Nowy towar");
    EXPECT_EQ(GoodsName(22), "");  // never sent: the job stopped
    ASSERT_TRUE(reg->Start());
    EXPECT_EQ(Kasa({"info"}).code, 0);
}

TEST_P(KasaOverNetwork, ARefusedConnectionIsExplained) {
    const std::string name = reg->PortPath();
    reg->Stop();
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(kasa::cli::Run({"--port", name, "info"}, in, out, err), 1);
    EXPECT_EQ(err.str(),
              "Nie można otworzyć portu komunikacyjnego.\nUruchom w kasie komunikację, lub ustaw "
              "w oknie\nKonfiguracja Programu parametry transmisji.\nSerwer portu odmówił "
              "połączenia: sprawdź adres i numer portu TCP.\n");
}

INSTANTIATE_TEST_SUITE_P(RawAndTelnet, KasaOverNetwork,
                         ::testing::Values(Listening::kTcp, Listening::kRfc2217),
                         [](const ::testing::TestParamInfo<Listening>& param) {
                             return param.param == Listening::kTcp ? "Tcp" : "Rfc2217";
                         });

}  // namespace
}  // namespace kasa::cli
