#include "app/write_backup.h"
#include "app/backup_list.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "../sim/register_fixture.h"
#include "app/read_back_check.h"
#include "app/table_transfer.h"
#include "base/key_value_file.h"
#include "support/model_grids.h"
#include "support/recording_ui.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using sim::RegisterType;
using testing::RecordingUserInterface;
using testing::ScratchFolder;
using testing::WithState;

// 8 December 2026, 01:45:12 local time.
std::time_t Moment(int second = 12) {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 8;
    t.tm_hour = 1;
    t.tm_min = 45;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(BackupLocation, DataFolderOfEachSystem) {
    EXPECT_EQ(BackupFolder({"/srv/dane", "/home/ala", ""}), "/srv/dane/serwis-kas/kopie/");
    EXPECT_EQ(BackupFolder({"/srv/dane/", "/home/ala", ""}), "/srv/dane/serwis-kas/kopie/");
    // A relative $XDG_DATA_HOME is ignored, as the XDG rules say.
    EXPECT_EQ(BackupFolder({"dane", "/home/ala", ""}), "/home/ala/.local/share/serwis-kas/kopie/");
    EXPECT_EQ(BackupFolder({"", "/home/ala", ""}), "/home/ala/.local/share/serwis-kas/kopie/");
    EXPECT_EQ(BackupFolder({"", "", "C:\\Users\\Ala\\AppData\\Local"}),
              "C:\\Users\\Ala\\AppData\\Local\\serwis-kas\\kopie\\");
    EXPECT_EQ(BackupFolder({"", "", ""}), "");
}

TEST(BackupLocation, NamesByDateTimeTypeAndTable) {
    EXPECT_EQ(BackupFileName(Moment(), "Vesper", "PLU"), "2026-12-08_01-45-12_VESPER_PLU.pod");
    EXPECT_EQ(BackupFileName(Moment(), "Zen", "wszystko", 3),
              "2026-12-08_01-45-12_ZEN_wszystko_3.pod");
    EXPECT_TRUE(IsBackupFileName("2026-12-08_01-45-12_ZEN_wszystko_3.pod"));
    EXPECT_FALSE(IsBackupFileName("2026-12-08_01-45-12_.pod"));
    EXPECT_FALSE(IsBackupFileName("2026-12-08_01-45-12_ZEN_PLU.csv"));
    EXPECT_FALSE(IsBackupFileName("towary.pod"));
    EXPECT_FALSE(IsBackupFileName("2026-12-0x_01-45-12_ZEN_PLU.pod"));
}

// Cells of a goods row of "Vesper": number, name, barcode, VAT, group, packaging, price and
// the four counters.
std::vector<std::string> GoodsCells(const std::string& number, const std::string& name,
                                    const std::string& price) {
    return {number, name, "", "A", "1", "0", price, "0", "0", "0", "0"};
}

class BackupFile : public ::testing::Test {
  protected:
    const TableDescriptor& Goods() const { return VesperModel().Table(TableKind::kGoods); }
    WriteBackup Make(int keep = 200, int second = 12) {
        return WriteBackup(VesperModel(), folder.Path("kopie"), "Vesper", "PLU", keep,
                           Moment(second));
    }
    ScratchFolder folder;
};

TEST_F(BackupFile, KeepsTheRegistersRecordAsAPodValueAndNothingForAnUnchangedOne) {
    WriteBackup backup = Make();
    const auto same = GoodsCells("3", "Mleko", "3.29");
    EXPECT_EQ(backup.BeforeSend(Goods(), 3, same, same), "");
    EXPECT_EQ(backup.Path(), "");  // packaging goes out unchanged too, and is not kept
    EXPECT_FALSE(folder.Exists("kopie/2026-12-08_01-45-12_VESPER_PLU.pod"));

    EXPECT_EQ(backup.BeforeSend(Goods(), 5, GoodsCells("5", "Masło", "7.49"),
                                GoodsCells("5", "Masło extra", "8.00")),
              "");
    const std::string name = "kopie/2026-12-08_01-45-12_VESPER_PLU.pod";
    EXPECT_EQ(backup.Path(), folder.Path(name));
    // On disk before the write goes out, in Windows-1250 with CR LF.
    EXPECT_EQ(folder.Read(name), "[TOWARY]\r\nPlu5=5;Mas\xb3o;;A;1;0;7.49;0;0;0;0\r\n");
    // A row tried again comes with the register's copy already changed: the first is kept.
    EXPECT_EQ(backup.BeforeSend(Goods(), 5, GoodsCells("5", "Masło extra", "8.00"),
                                GoodsCells("5", "Masło extra", "8.00")),
              "");
    EXPECT_EQ(backup.BeforeSend(Goods(), 5, GoodsCells("5", "Masło extra", "8.00"),
                                GoodsCells("5", "Masło", "9.00")),
              "");
    EXPECT_EQ(backup.BeforeSend(Goods(), 9, {"9", "", "", "", "", "", "", "", "", "", ""},
                                GoodsCells("9", "Nowy", "1.00")),
              "");
    EXPECT_TRUE(backup.Finish().ok);
    EXPECT_EQ(folder.Read(name),
              "[TOWARY]\r\nPlu5=5;Mas\xb3o;;A;1;0;7.49;0;0;0;0\r\nPlu9=9;;;;;;;;;;\r\n");
    EXPECT_EQ(backup.EmptyBefore(), std::vector<std::string>{"PLU 9"});
}

TEST_F(BackupFile, ARecordThatCannotBeKeptIsRefused) {
    WriteBackup backup = Make();
    EXPECT_EQ(backup.BeforeSend(Goods(), 7, {}, GoodsCells("7", "Nowy", "1.00")),
              "Rekord 7 tabeli PLU nie został wysłany do kasy: nie udało się odczytać z kasy jego "
              "obecnej wartości do kopii przed zapisem.");
    EXPECT_FALSE(folder.Exists("kopie"));
    // A file where the folder should be: no folder can be made there.
    folder.Write("plik", "x");
    WriteBackup blocked(VesperModel(), folder.Path("plik"), "Vesper", "PLU", 200, Moment());
    const std::string refusal = blocked.BeforeSend(Goods(), 7, GoodsCells("7", "Stary", "1.00"),
                                                   GoodsCells("7", "Nowy", "1.00"));
    EXPECT_EQ(refusal.rfind("Rekord 7 tabeli PLU nie został wysłany do kasy: nie udało się "
                            "zapisać kopii rekordów sprzed zapisu.\nNie udało się zapisać pliku " +
                                folder.Path("plik/2026-12-08_01-45-12_VESPER_PLU.pod") + ".\n",
                            0),
              0u)
        << refusal;
    EXPECT_EQ(blocked.Path(), "");
}

TEST_F(BackupFile, JobsOfTheSameSecondGetTheirOwnFilesAndOnlyTheNewestStay) {
    // Older backups of this and another type, and a file of the user's own.
    ASSERT_TRUE(std::filesystem::create_directory(folder.Path("kopie")));
    for (const char* old :
         {"2025-01-01_10-00-00_ZEN_PLU.pod", "2025-01-01_10-00-01_VESPER_Kasjer.pod",
          "2026-12-08_01-45-11_VESPER_wszystko.pod", "moje.pod"}) {
        folder.Write(std::string("kopie/") + old, "[TOWARY]\r\n");
    }
    const auto change = [&](WriteBackup& backup) {
        return backup.BeforeSend(Goods(), 1, GoodsCells("1", "A", "1.00"),
                                 GoodsCells("1", "B", "1.00"));
    };
    WriteBackup first = Make(3);
    WriteBackup second = Make(3);
    EXPECT_EQ(change(first), "");
    EXPECT_EQ(change(second), "");
    EXPECT_EQ(second.Path(), folder.Path("kopie/2026-12-08_01-45-12_VESPER_PLU_2.pod"));
    EXPECT_EQ(FilesIn(folder.Path("kopie")),
              (std::vector<std::string>{"2026-12-08_01-45-11_VESPER_wszystko.pod",
                                        "2026-12-08_01-45-12_VESPER_PLU.pod",
                                        "2026-12-08_01-45-12_VESPER_PLU_2.pod", "moje.pod"}));
}

TEST_F(BackupFile, HeaderAndVatRatesAreKeptInTheirOwnSections) {
    WriteBackup backup(VesperModel(), folder.Path("kopie"), "Vesper", "wszystko", 200, Moment());
    const VatRates current{23, 8.5, 5, 0, -2, -1, -1};
    VatRates sent = current;
    EXPECT_EQ(backup.BeforeVatWrite(&current, sent), "");
    EXPECT_EQ(backup.Path(), "");
    EXPECT_EQ(backup.BeforeVatWrite(nullptr, sent),
              "Stawki VAT nie zostały wysłane do kasy: nie udało się odczytać z kasy obecnych "
              "stawek do kopii przed zapisem.");
    sent[0] = 22;
    EXPECT_EQ(backup.BeforeVatWrite(&current, sent), "");
    HeaderLines lines{};
    lines[0] = {"SKLEP", false, false, true};
    lines[1] = {"  u Ani", true, true, false};
    HeaderLines changed = lines;
    changed[1].text = "u Ali";
    EXPECT_EQ(backup.BeforeHeaderWrite(nullptr, changed),
              "Nagłówek nie został wysłany do kasy: nie udało się odczytać z kasy obecnego "
              "nagłówka do kopii przed zapisem.");
    EXPECT_EQ(backup.BeforeHeaderWrite(&lines, changed), "");
    EXPECT_TRUE(backup.Finish().ok);
    EXPECT_EQ(folder.Read("kopie/2026-12-08_01-45-12_VESPER_wszystko.pod"),
              "[PTU]\r\nPtu1=A;23.00;AKTYWNA\r\nPtu2=B;8.50;AKTYWNA\r\nPtu3=C;5.00;AKTYWNA\r\n"
              "Ptu4=D;0;AKTYWNA\r\nPtu5=E;;ZWOLNIONA\r\nPtu6=F;;NIEAKTYWNA\r\n"
              "Ptu7=G;;NIEAKTYWNA\r\n"
              "[NAGLOWEK]\r\nLinia1=1;0;0;1;SKLEP\r\nLinia2=2;1;1;0;  u Ani\r\nLinia3=3;0;0;0;\r\n"
              "Linia4=4;0;0;0;\r\nLinia5=5;0;0;0;\r\nLinia6=6;0;0;0;\r\n");
}

// Goods numbers whose write requests the register received, in order.
std::vector<int> WrittenGoods(const sim::VirtualRegister& reg) {
    std::vector<int> numbers;
    for (const std::string& payload : reg.ReceivedPayloads()) {
        const size_t letter = payload.find_first_not_of("0123456789;");
        if (letter != std::string::npos && payload[letter] == 'E') {
            const size_t semicolon = payload.find(';');
            numbers.push_back(std::stoi(payload.substr(semicolon + 1)) + 1);
        }
    }
    return numbers;
}

// The goods transfer with the backup on, against the virtual register.
class BackupOfTransfer : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(f.Connect(RegisterType::Vesper));
        f.ecr.modelCode = 2;
        model = &testing::SelectModelWithGrids(RegisterType::Vesper, tables);
    }
    void Name(int row, const std::string& name) {
        tables.Grid(TableKind::kGoods)
            .SetCell(model->Table(TableKind::kGoods).ColumnOfKey("NAZ"), row, name);
    }
    TransferResult Write(RowWriteObserver& observer, TransferRange range) {
        TransferRequest request;
        request.name = "PLU_zapis";
        request.range = range;
        request.interactive = false;
        request.observer = &observer;
        return TransferTable(f.ecr, ui, *model, tables, request, abort, closing);
    }
    std::string RegisterName(int number) {
        std::string name;
        WithState(*f.reg, [&](sim::RegisterState& s) { name = s.Record(7, number)[0]; });
        return name;
    }
    std::vector<int> WrittenNumbers() const { return WrittenGoods(*f.reg); }

    sim::RegisterFixture f;
    const RegisterModel* model = nullptr;
    TableSet tables;
    RecordingUserInterface ui;
    std::atomic<bool> abort{false};
    std::atomic<bool> closing{false};
    ScratchFolder folder;
};

// Looks at the backup as another program would, each time a record is about to go out.
class BackupWitness : public RowWriteObserver {
  public:
    BackupWitness(const WriteBackup& backup, const sim::VirtualRegister& reg)
        : backup_(backup), reg_(reg) {}
    std::string BeforeSend(const TableDescriptor& table, int,
                           const std::vector<std::string>& before,
                           const std::vector<std::string>&) override {
        KeyValueFile file(LiteralFileName{}, backup_.Path());
        const std::string* kept = file.Find(table.sectionName, "Plu" + before[0]);
        seen.push_back(kept != nullptr ? *kept : "brak");
        writesBefore.push_back(WrittenGoods(reg_).size());
        return {};
    }
    std::vector<std::string> seen;
    std::vector<size_t> writesBefore;

  private:
    const WriteBackup& backup_;
    const sim::VirtualRegister& reg_;
};

TEST_F(BackupOfTransfer, EachRecordIsOnDiskBeforeTheRegisterGetsIt) {
    WriteBackup backup(*model, folder.Path("kopie"), "Vesper", "PLU", 200, Moment());
    BackupWitness witness(backup, *f.reg);
    RowWriteObservers both({&backup, &witness});
    // Demo goods 2 and 3 change; the rest of rows 1..4 are left empty and not written.
    Name(2, "Masło zwykłe");
    Name(3, "Mleko 2%");
    ASSERT_EQ(Write(both, {1, 4}), TransferResult::kDone);
    EXPECT_EQ(witness.seen, (std::vector<std::string>{
                                "2;Masło ekstra;5900001122334;C;2;0;7.49;120.500;0;35.250;0",
                                "3;Mleko 3,2% 1l;5905678000114;C;2;0;3.29;120.500;0;35.250;0"}));
    EXPECT_EQ(witness.writesBefore, (std::vector<size_t>{0, 1}));
    EXPECT_EQ(WrittenNumbers(), (std::vector<int>{2, 3}));
    EXPECT_EQ(RegisterName(2), "Masło zwykłe");
}

TEST_F(BackupOfTransfer, ARegisterGoneMidJobLeavesAReadableBackupOfWhatItChanged) {
    WriteBackup backup(*model, folder.Path("kopie"), "Vesper", "PLU", 200, Moment());
    for (int row = 1; row <= 8; ++row) {
        Name(row, "Zmieniony " + std::to_string(row));
    }
    // The cable is pulled at the write of row 7 (answer 1 is the totals, then a read and a
    // write per row); a short time-out keeps the silent rows after it short.
    f.ecr.answerTimeout = 300;
    f.reg->InjectFault({sim::FaultKind::Vanish, 0, 0, 0, 15});
    EXPECT_EQ(Write(backup, {1, 8}), TransferResult::kFailed);
    const std::vector<int> written = WrittenNumbers();
    ASSERT_FALSE(written.empty());
    ASSERT_LT(written.size(), 8u);
    KeyValueFile file(LiteralFileName{}, backup.Path());
    ASSERT_FALSE(file.NotText());
    const std::vector<std::string> keys = file.KeyNames("TOWARY");
    // Every record the register got is in the backup with the name it had before.
    for (const int number : written) {
        const std::string* kept = file.Find("TOWARY", "Plu" + std::to_string(number));
        ASSERT_NE(kept, nullptr) << number;
        EXPECT_EQ(kept->find("Zmieniony"), std::string::npos) << *kept;
    }
    EXPECT_LE(keys.size(), written.size() + 1);  // the last one kept may not have reached it
}

TEST_F(BackupOfTransfer, ARecordWhoseCopyCannotBeReadIsNotOverwritten) {
    WriteBackup backup(*model, folder.Path("kopie"), "Vesper", "PLU", 200, Moment());
    // Every column filled: the write needs nothing of the register's copy but the backup.
    const auto cells = GoodsCells("4", "Nowe jabłka", "4.50");
    for (int c = 1; c < static_cast<int>(cells.size()); ++c) {
        tables.Grid(TableKind::kGoods).SetCell(c, 4, cells[static_cast<size_t>(c)]);
    }
    f.reg->SetStatusForRecord('H', 4, 23);  // the read of record 4 is refused
    std::vector<std::string> failed;
    TransferRequest request;
    request.name = "PLU_zapis";
    request.range = {4, 4};
    request.interactive = false;
    request.observer = &backup;
    request.failedRows = &failed;
    EXPECT_EQ(TransferTable(f.ecr, ui, *model, tables, request, abort, closing),
              TransferResult::kFailed);
    EXPECT_TRUE(WrittenNumbers().empty());
    EXPECT_EQ(RegisterName(4), "Jabłka kg");
    EXPECT_EQ(failed, std::vector<std::string>{"4"});
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].text.find("Rekord 4 tabeli PLU nie został wysłany do kasy: nie "
                                        "udało się odczytać z kasy jego obecnej wartości do "
                                        "kopii przed zapisem."),
              std::string::npos)
        << ui.questions[0].text;
    EXPECT_EQ(backup.Path(), "");
}

TEST_F(BackupOfTransfer, AnUnwritableBackupFolderStopsTheWriteBeforeAnythingIsSent) {
    folder.Write("kopie", "nie folder");
    WriteBackup backup(*model, folder.Path("kopie"), "Vesper", "PLU", 200, Moment());
    Name(2, "Masło zwykłe");
    EXPECT_EQ(Write(backup, {1, 4}), TransferResult::kFailed);
    EXPECT_TRUE(WrittenNumbers().empty());
    EXPECT_EQ(RegisterName(2), "Masło ekstra");
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_NE(ui.questions[0].text.find("Nie udało się zapisać pliku " + folder.Path("kopie/")),
              std::string::npos)
        << ui.questions[0].text;
}

TEST_F(BackupOfTransfer, ReadBackFindsWhatARegisterThatIgnoresWritesDidNotKeep) {
    ReadBackCheck check(*model);
    Name(2, "Masło zwykłe");
    Name(3, "Mleko 2%");
    ASSERT_EQ(Write(check, {1, 4}), TransferResult::kDone);
    ReadBackOutcome outcome = check.Verify(f.ecr);
    EXPECT_TRUE(outcome.Passed());
    EXPECT_EQ(ReadBackReport(outcome),
              std::vector<std::string>{"Odczyt kontrolny: zgodne wszystkie zapisane rekordy (2)."});

    // The register confirms every write from now on and keeps none.
    f.reg->InjectFault({sim::FaultKind::IgnoreWrite, 0, 0, 1, 1});
    ReadBackCheck second(*model);
    Name(2, "Masło znowu");
    tables.Grid(TableKind::kGoods)
        .SetCell(model->Table(TableKind::kGoods).ColumnOfKey("CEN"), 3, "2.50");
    ASSERT_EQ(Write(second, {1, 4}), TransferResult::kDone);
    outcome = second.Verify(f.ecr);
    EXPECT_FALSE(outcome.Passed());
    EXPECT_EQ(ReadBackReport(outcome),
              (std::vector<std::string>{
                  "Odczyt kontrolny: PLU wiersz 2, kolumna Nazwa: wysłano Masło znowu, odczytano "
                  "Masło zwykłe.",
                  "Odczyt kontrolny: PLU wiersz 3, kolumna Cena: wysłano 2.50, odczytano 3.29.",
                  "Odczyt kontrolny: kasa nie zawiera tego, co do niej wysłano (różnic: 2)."}));
}

}  // namespace
}  // namespace kasa

namespace kasa {
namespace {

// The window's list of backups: newest first, each with its time, register type, table and
// the records it holds; other files in the folder are not backups.
TEST(BackupList, NewestFirstWithWhatEachHolds) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write(
        "2026-12-08_01-45-12_VESPER_PLU.pod",
        "[PLU]\r\nPlu1=1;Chleb;;A;1;0;3.50;0;0;0;0\r\nPlu7=7;Mleko;;A;1;0;2.20;0;0;0;0\r\n");
    folder.Write("2026-12-08_01-45-12_VESPER_PLU_2.pod",
                 "[PLU]\r\nPlu3=3;Masło;;A;1;0;7.00;0;0;0;0\r\n");
    folder.Write("2026-12-09_08-00-00_Zen_wszystko.pod",
                 "[OPAKOWANIA]\r\nOpak1=1;Butelka;0.50;0;0;0\r\n[PTU]\r\nPtu1=A;23;AKTYWNA\r\n");
    folder.Write("notatki.txt", "nie kopia");
    folder.Write("2026-12-08_kopia.pod", "[PLU]\r\n");
    const std::vector<BackupEntry> entries = ListBackups(folder.Path(""));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].when, "2026-12-09 08:00:00");
    EXPECT_EQ(entries[0].registerType, "Zen");
    EXPECT_EQ(entries[0].table, "wszystko");
    EXPECT_EQ(entries[0].records, 2);
    EXPECT_EQ(entries[1].table, "PLU");
    EXPECT_EQ(entries[1].records, 1);
    EXPECT_TRUE(entries[1].path.ends_with("_PLU_2.pod"));
    EXPECT_EQ(entries[2].when, "2026-12-08 01:45:12");
    EXPECT_EQ(entries[2].registerType, "VESPER");
    EXPECT_EQ(entries[2].records, 2);
}

}  // namespace
}  // namespace kasa
