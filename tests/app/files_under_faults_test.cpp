// Every kind of file the program writes, written through its own writer where the write
// cannot succeed: a folder that refuses new files, a file system that runs full part way
// through, and a folder standing where the file should be. The failure must be told in
// words, and the folder must hold exactly what it held before.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/fiscal_memory_read.h"
#include "app/listing_lines.h"
#include "app/settings.h"
#include "base/atomic_file.h"
#include "ecr/cashier_permissions.h"
#include "ecr/fiscal_memory.h"
#include "seq/sequence_files.h"
#include "support/scratch_folder.h"
#include "tables/table_files.h"
#include "tables/text_grid.h"

namespace kasa {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// What a writer reported: success, or the message the user would be shown.
struct Reported {
    bool ok = false;
    std::string message;
};

Reported FromWrite(const WriteResult& result) {
    return {result.ok, result.message};
}

TableSet GoodsTables() {
    TableSet tables;
    const TableDescriptor& goods = VesperModel().Table(TableKind::kGoods);
    TextGrid& grid = tables.Grid(TableKind::kGoods);
    SetUpGrid(grid, goods, true, true, 1);
    grid.SetCell(goods.ColumnOfKey("NAZ"), 1, "Chleb żytni");
    grid.SetCell(goods.ColumnOfKey("CEN"), 1, "4.20");
    return tables;
}

struct Writer {
    const char* file;
    std::function<Reported(const std::string& path)> write;
};

// Longer than the room the full file system leaves.
const std::vector<std::string> kSequence = {"0;1;0;0$dPierwsza linia sekwencji",
                                            "0;2;0;0$dDruga linia sekwencji"};

const std::vector<Writer>& Writers() {
    static const std::vector<Writer> writers = {
        {"config.cfg", [](const std::string& p) { return FromWrite(WriteSettingsFile(p, {})); }},
        {"wydruk.cfg", [](const std::string& p) { return FromWrite(WritePrintLayoutFile(p, {})); }},
        {"profile.pod",
         [](const std::string& p) {
             return FromWrite(SaveProfile(p, {0xBF, "Kierownik", "Raporty;;i zwroty"}));
         }},
        {"towary.pod",
         [](const std::string& p) {
             return FromWrite(SaveTableFile(p, VesperModel(), TableKind::kGoods, GoodsTables(), 1));
         }},
        {"towary.csv",
         [](const std::string& p) {
             return FromWrite(SaveTableFile(p, VesperModel(), TableKind::kGoods, GoodsTables(), 1));
         }},
        {"towary.txt",
         [](const std::string& p) {
             return FromWrite(SaveTableFile(p, VesperModel(), TableKind::kGoods, GoodsTables(), 1));
         }},
        {"sekwencja.sek",
         [](const std::string& p) {
             return FromWrite(WriteFileAtomically(p, SekFileBytes(kSequence)));
         }},
        {"sekwencja.bin",
         [](const std::string& p) {
             return FromWrite(WriteFileAtomically(p, LinesToFrames(kSequence)));
         }},
        {"lista.txt",
         [](const std::string& p) {
             ListingLines lines;
             lines.Add("Błąd w wierszu 12: nazwa pusta.");
             lines.Add("Błąd w wierszu 13: cena ujemna.");
             return FromWrite(SaveListing(p, lines));
         }},
        {"fiskalna.log",
         [](const std::string& p) {
             std::vector<std::string> lines;
             FiscalOutput output = OpenFiscalOutput(lines, p);
             const std::vector<uint8_t> record(kFiscalRecordSize, 0x12);
             DecodeFiscalRecord(output, record.data(), 9);
             return Reported{!output.appendFailed,
                             output.appendFailed ? FiscalAppendFailedMessage(p) : ""};
         }},
    };
    return writers;
}

enum class Obstacle { kReadOnlyFolder, kFileSystemFull, kFolderInPlace };

constexpr const char* kOldBytes = "stara zawartość\r\n";

// Runs the writer in a child process (the size limit stays there) and tells how it ended:
// 0 a failure with a message, 1 a success, 2 a failure without a message.
int WriteInChild(const Writer& writer, const std::string& path, bool limitSize) {
    const pid_t child = fork();
    if (child == 0) {
        if (limitSize) {
            // Room for a few bytes more than the old file: the write fails part way.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlim_t limit = std::string(kOldBytes).size() + 5;
            const rlimit r{limit, limit};
            setrlimit(RLIMIT_FSIZE, &r);
        }
        const Reported reported = writer.write(path);
        _exit(reported.ok ? 1 : (reported.message.find("Nie ") == 0 ? 0 : 2));
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

std::set<std::string> Names(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class FilesUnderFaults : public ::testing::TestWithParam<size_t> {};

TEST_P(FilesUnderFaults, AFailedWriteIsToldAndLeavesTheFolderAsItWas) {
    // A folder without write permission does not stop the superuser; for it the folder's
    // place is taken by a regular file, which stops everyone.
    const bool privileged = geteuid() == 0;
    {
        const Writer& writer = Writers()[GetParam()];
        for (const Obstacle obstacle :
             {Obstacle::kReadOnlyFolder, Obstacle::kFileSystemFull, Obstacle::kFolderInPlace}) {
            SCOPED_TRACE(std::string(writer.file) + " obstacle " +
                         std::to_string(static_cast<int>(obstacle)));
            ScratchFolder scratch;
            ASSERT_TRUE(scratch.Valid());
            fs::create_directory(scratch.Path("folder"));
            std::string folder = scratch.Path("folder");
            std::string target = folder + "/" + writer.file;
            if (obstacle == Obstacle::kFolderInPlace) {
                fs::create_directory(target);
                scratch.Write(std::string("folder/") + writer.file + "/w_srodku", kOldBytes);
            } else if (obstacle == Obstacle::kReadOnlyFolder && privileged) {
                fs::remove(folder);
                scratch.Write("folder", kOldBytes);
                target = folder + "/" + writer.file;
                folder = scratch.Path("");
            } else {
                scratch.Write(std::string("folder/") + writer.file, kOldBytes);
            }
            if (obstacle == Obstacle::kReadOnlyFolder && !privileged) {
                chmod(target.c_str(), 0444);
                chmod(folder.c_str(), 0555);
            }
            const std::set<std::string> before = Names(folder);

            EXPECT_EQ(WriteInChild(writer, target, obstacle == Obstacle::kFileSystemFull), 0);

            chmod(folder.c_str(), 0755);
            EXPECT_EQ(Names(folder), before);
            if (obstacle == Obstacle::kFolderInPlace) {
                EXPECT_EQ(Names(target), std::set<std::string>{"w_srodku"});
            } else if (obstacle == Obstacle::kReadOnlyFolder && privileged) {
                EXPECT_EQ(scratch.Read("folder"), kOldBytes);
            } else {
                EXPECT_EQ(scratch.Read(std::string("folder/") + writer.file), kOldBytes);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWriter, FilesUnderFaults,
                         ::testing::Range(size_t{0}, Writers().size()), [](const auto& param) {
                             return testing::CaseNameOfFile(Writers()[param.param].file);
                         });

}  // namespace
}  // namespace kasa
