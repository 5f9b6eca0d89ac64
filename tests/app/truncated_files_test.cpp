// Every kind of file the program reads, made by the program and then cut short: at every
// byte for the small files, at random places (a fixed seed) for the large ones. A cut file
// must load or be refused with a reason, never crash, and a refused table load must leave
// the table that was there.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "app/settings.h"
#include "ecr/cashier_permissions.h"
#include "seq/sequence_files.h"
#include "support/scratch_folder.h"
#include "tables/pod_file.h"
#include "tables/table_files.h"
#include "tables/text_grid.h"
#include "update/program_version.h"
#include "verify/document_file.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

// A table with `rows` named records, each row's texts telling its number.
TableSet Tables(TableKind kind, int rows, const std::string& name) {
    TableSet tables;
    const TableDescriptor& goods = VesperModel().Table(kind);
    TextGrid& grid = tables.Grid(kind);
    SetUpGrid(grid, goods, true, true, 1);
    for (int row = 1; row <= rows; ++row) {
        grid.SetCell(goods.ColumnOfKey("NAZ"), row, name + " " + std::to_string(row));
        grid.SetCell(goods.ColumnOfKey("CEN"), row, std::to_string(row) + ".25");
        grid.SetCell(goods.ColumnOfKey("PTU"), row, "B");
    }
    return tables;
}

std::string SavedBytes(const std::string& file,
                       const std::function<WriteResult(std::string)>& save) {
    ScratchFolder scratch;
    EXPECT_TRUE(save(scratch.Path(file)).ok) << file;
    return scratch.Read(file);
}

std::string SavedTable(const std::string& file, TableKind kind, int rows) {
    return SavedBytes(file, [&](const std::string& path) {
        return SaveTableFile(path, VesperModel(), kind, Tables(kind, rows, "Śliwka"), 1);
    });
}

// Loads a table over one that holds other records: a failure keeps them and says why.
void LoadsTableOrKeepsTheOld(TableKind kind, const std::string& path, const std::string& bytes,
                             bool whole) {
    TableSet tables = Tables(kind, 3, "Poprzedni");
    const TableSet before = tables;
    const TableLoadOutcome outcome = LoadTableFile(path, VesperModel(), kind, tables, 1);
    if (whole) {
        EXPECT_TRUE(outcome.ok()) << outcome.message;
        EXPECT_EQ(tables.Grid(kind).Cell(1, 2), "Śliwka 2");
    } else if (!outcome.ok()) {
        EXPECT_FALSE(outcome.message.empty()) << outcome.status;
        // A bad record stops the load with the records read before it in place.
        if (outcome.status != kLoadPodBadStructure && outcome.status != kLoadPodRowOutOfRange) {
            EXPECT_TRUE(tables.Grid(kind) == before.Grid(kind))
                << outcome.status << " after " << bytes.size() << " bytes";
        }
    }
}

struct Reader {
    const char* file;
    std::function<std::string()> make;
    bool large;  // cut at random places rather than at every byte
    // Reads the cut file (`whole` when nothing was cut) and checks what came of it.
    std::function<void(const std::string& path, const std::string& bytes, bool whole)> read;
};

const std::vector<std::string> kSequence = {"0;1;0;0$dPierwsza żółta linia", "0;2;0;0$d[x1B]Druga"};

void ExpectSequenceWhenWhole(const std::optional<std::vector<std::string>>& lines, bool whole) {
    if (whole) {
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, kSequence);
    }
}

std::vector<Reader> Readers() {
    return {
        // A .pod is read alike for every table; the small one keeps a cut at every byte cheap.
        {"opakowania.pod", [] { return SavedTable("opakowania.pod", TableKind::kPackaging, 2); },
         false,
         [](const std::string& p, const std::string& b, bool w) {
             LoadsTableOrKeepsTheOld(TableKind::kPackaging, p, b, w);
         }},
        {"towary.csv", [] { return SavedTable("towary.csv", TableKind::kGoods, 60); }, true,
         [](const std::string& p, const std::string& b, bool w) {
             LoadsTableOrKeepsTheOld(TableKind::kGoods, p, b, w);
         }},
        {"towary.txt", [] { return SavedTable("towary.txt", TableKind::kGoods, 60); }, true,
         [](const std::string& p, const std::string& b, bool w) {
             LoadsTableOrKeepsTheOld(TableKind::kGoods, p, b, w);
         }},
        {"config.cfg",
         [] {
             return SavedBytes("config.cfg", [](const std::string& p) {
                 Settings settings;
                 settings.PortName = "/dev/ttyUSB3";
                 settings.baudRate = 19200;
                 return WriteSettingsFile(p, settings);
             });
         },
         true,
         [](const std::string& p, const std::string&, bool w) {
             const Settings settings = ReadSettingsFile(p);
             if (w) {
                 EXPECT_EQ(settings.PortName, "/dev/ttyUSB3");
             }
         }},
        {"profile.pod",
         [] {
             return SavedBytes("profile.pod", [](const std::string& p) {
                 return SaveProfile(p, {0xBF, "Kierownik", "Raporty;;i zwroty"});
             });
         },
         false,
         [](const std::string& p, const std::string&, bool w) {
             const ProfileList list = LoadProfiles(p);
             ASSERT_GE(list.profiles.size(), BuiltInProfiles().size());
             EXPECT_EQ(list.profiles.front().name, BuiltInProfiles().front().name);
             if (w) {
                 EXPECT_EQ(list.profiles.back().name, "Kierownik");
             }
         }},
        {"sekwencja.sek", [] { return SekFileBytes(kSequence); }, false,
         [](const std::string&, const std::string& b, bool w) {
             ExpectSequenceWhenWhole(SekLinesFromFile(b), w);
         }},
        {"sekwencja.bin", [] { return LinesToFrames(kSequence); }, false,
         [](const std::string&, const std::string& b, bool w) {
             const FramesAsLines frames = FramesToLines(b);
             EXPECT_LE(frames.lines.size(), kSequence.size());
             EXPECT_EQ(frames.checksumMismatches, 0);
             if (w) {
                 EXPECT_EQ(frames.lines.size(), kSequence.size());
             }
         }},
        {"zrodlo.txt", [] { return SourceFileBytes(kSequence); }, false,
         [](const std::string&, const std::string& b, bool w) {
             ExpectSequenceWhenWhole(SourceLinesFromFile(b), w);
         }},
        {"dokument.txt",
         [] {
             DocumentFile document;
             document.fields.type = kReceipt;
             document.fields.uniqueNumber = "ABC12345678";
             document.fields.date = "2026-12-07";
             document.fields.totalDue = "12.50";
             document.fields.rows = {{"Chleb żytni", "A"}, {"Masło", "B"}};
             return DocumentFileText(document);
         },
         false,
         [](const std::string&, const std::string& b, bool w) {
             DocumentFile document;
             std::string error;
             const bool parsed = ParseDocumentFile(b, document, error);
             EXPECT_TRUE(parsed || !error.empty());
             if (w) {
                 EXPECT_TRUE(parsed) << error;
             }
         }},
        {"wersja.txt",
         [] {
             return VersionText({2, 14, 3, 1187}) + "\n";
         },
         false,
         [](const std::string&, const std::string& b, bool w) {
             const auto version = ParseVersionFile(b);
             if (w) {
                 ASSERT_TRUE(version.has_value());
                 EXPECT_EQ(VersionText(*version), "2.14.3.1187");
             }
         }},
    };
}

class TruncatedFiles : public ::testing::TestWithParam<size_t> {};

TEST_P(TruncatedFiles, ACutFileLoadsOrIsRefusedAndARefusedTableStays) {
    std::mt19937 random(19);
    {
        const Reader reader = Readers()[GetParam()];
        SCOPED_TRACE(reader.file);
        const std::string whole = reader.make();
        ASSERT_FALSE(whole.empty());
        std::vector<size_t> cuts;
        for (size_t n = 0; n < whole.size() && !reader.large; ++n) {
            cuts.push_back(n);
        }
        for (int i = 0; i < 40 && reader.large; ++i) {
            cuts.push_back(std::uniform_int_distribution<size_t>(0, whole.size() - 1)(random));
        }
        cuts.push_back(whole.size());
        ScratchFolder scratch;
        for (const size_t n : cuts) {
            SCOPED_TRACE(n);
            const std::string bytes = whole.substr(0, n);
            scratch.Write(reader.file, bytes);
            reader.read(scratch.Path(reader.file), bytes, n == whole.size());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryReader, TruncatedFiles, ::testing::Range(size_t{0}, Readers().size()),
                         [](const auto& param) {
                             return testing::CaseNameOfFile(Readers()[param.param].file);
                         });

// A table set with a record in every grid, to see that a refused load changes none.
TableSet HeldTables() {
    TableSet tables;
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = static_cast<TableKind>(k);
        if (kind != TableKind::kHeader && kind != TableKind::kVat) {
            SetUpGrid(tables.Grid(kind), VesperModel().Table(kind), true, true, 1);
            tables.Grid(kind).SetCell(1, 2, "Poprzedni");
        }
    }
    tables.header[0].text = "Poprzedni";
    return tables;
}

bool SameTables(const TableSet& a, const TableSet& b) {
    return a.grids == b.grids && a.header == b.header && a.vatRates == b.vatRates;
}

TEST(TruncatedPodFiles, ACashierLineCutShortIsRefusedAndNoTableChanges) {
    TableSet saved = HeldTables();
    TextGrid& cashiers = saved.Grid(TableKind::kCashiers);
    cashiers.SetCell(1, 1, "Kierownik");
    cashiers.SetCell(2, 1, "1111");
    cashiers.SetCell(3, 1, "241");
    cashiers.SetCell(4, 1, "12");  // the receipts counter, which the cut loses
    const std::string whole = SavedBytes("wszystko.pod", [&](const std::string& path) {
        SilentUserInterface ui;
        return SaveAllToPodFile(path, VesperModel(), saved, 1, ui, "T");
    });
    const size_t cut = whole.find("Kasjer1=1;Kierownik;1111;241;");
    ASSERT_NE(cut, std::string::npos) << whole;
    ScratchFolder scratch;
    scratch.Write("obciety.pod",
                  whole.substr(0, cut + std::string("Kasjer1=1;Kierownik;1111;241").size()));
    const std::string path = scratch.Path("obciety.pod");

    TableSet tables = HeldTables();
    const TableSet before = tables;
    const TableLoadOutcome one =
        LoadTableFile(path, VesperModel(), TableKind::kCashiers, tables, 1);
    EXPECT_EQ(one.status, kLoadIncompleteLine);
    EXPECT_EQ(one.message, "Wiersz Kasjer1 jest niepełny.");
    EXPECT_TRUE(SameTables(tables, before));
    // The packaging and goods before the cut are whole, yet not loaded without the rest.
    SilentUserInterface ui;
    const PodLoadResult all = LoadAllFromPodFile(path, VesperModel(), tables, 1, ui, "T");
    EXPECT_EQ(all.status, kLoadIncompleteLine);
    EXPECT_EQ(all.message, "Wiersz Kasjer1 jest niepełny.");
    EXPECT_TRUE(SameTables(tables, before));
}

// Every cut of a .pod that leaves a record line with fewer fields than the table has is
// refused by name; a cut at a line's end, or that leaves no value, is a smaller whole file.
TEST(TruncatedPodFiles, EveryCutInsideARecordLineIsRefused) {
    const std::string whole = SavedTable("opakowania.pod", TableKind::kPackaging, 2);
    ASSERT_NE(whole.find("Opak2=2;"), std::string::npos) << whole;
    ScratchFolder scratch;
    int refused = 0;
    for (size_t n = 0; n <= whole.size(); ++n) {
        const std::string bytes = whole.substr(0, n);
        const size_t lineStart = bytes.find_last_of('\n') + 1;  // npos + 1 is 0
        const std::string lastLine = bytes.substr(lineStart);
        const size_t equals = lastLine.find('=');
        // "Vesper" packaging has six fields: five separators in a whole value.
        const bool inRecord = lastLine.starts_with("Opak") && equals != std::string::npos &&
                              equals + 1 < lastLine.size() &&
                              std::count(lastLine.begin(), lastLine.end(), ';') < 5;
        scratch.Write("opakowania.pod", bytes);
        TableSet tables = HeldTables();
        const TableSet before = tables;
        const TableLoadOutcome outcome = LoadTableFile(
            scratch.Path("opakowania.pod"), VesperModel(), TableKind::kPackaging, tables, 1);
        if (inRecord) {
            ++refused;
            EXPECT_EQ(outcome.status, kLoadIncompleteLine) << n << " " << lastLine;
            EXPECT_EQ(outcome.message, "Wiersz " + lastLine.substr(0, equals) + " jest niepełny.")
                << n;
            EXPECT_TRUE(SameTables(tables, before)) << n;
        } else if (outcome.ok()) {
            EXPECT_NE(tables.Grid(TableKind::kPackaging).Cell(1, 2), "Poprzedni") << n;
        }
    }
    EXPECT_GT(refused, 30);  // both records' lines, cut at each of their characters
}

}  // namespace
}  // namespace kasa
