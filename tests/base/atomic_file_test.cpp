#include "base/atomic_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_path.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporaryFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("tabela.csv", "stara zawartość");
    const WriteResult written = WriteFileAtomically(folder.Path("tabela.csv"), "nowa");
    ASSERT_TRUE(written.ok) << written.message;
    EXPECT_EQ(folder.Read("tabela.csv"), "nowa");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path("")),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(AtomicFile, FailuresAreReportedInPolishAndKeepTheOldFile) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    // A folder that does not exist.
    const WriteResult missing = WriteFileAtomically(folder.Path("brak/plik.pod"), "x");
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.message, "Nie udało się zapisać pliku " + folder.Path("brak/plik.pod") +
                                   ".\nFolder nie istnieje.");
    // A folder standing where the file should be: the rename fails, nothing is lost.
    std::filesystem::create_directory(folder.Path("zajete"));
    folder.Write("zajete/w_srodku.txt", "zostaje");
    const WriteResult blocked = WriteFileAtomically(folder.Path("zajete"), "x");
    EXPECT_FALSE(blocked.ok);
    EXPECT_NE(blocked.message.find("Nie udało się zapisać pliku"), std::string::npos);
    EXPECT_EQ(folder.Read("zajete/w_srodku.txt"), "zostaje");
}

TEST(AtomicFile, ReadingAFolderOrAMissingFileFailsQuietly) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    std::string bytes = "bez zmian";
    EXPECT_FALSE(ReadWholeFile(folder.Path(""), bytes));
    EXPECT_FALSE(ReadWholeFile(folder.Path("nie-ma.bin"), bytes));
    folder.Write("pusty.bin", "");
    EXPECT_TRUE(ReadWholeFile(folder.Path("pusty.bin"), bytes));
    EXPECT_TRUE(bytes.empty());
}

// A folder and a file named with Polish letters: on Windows the ANSI code page has no "ł",
// so both only open by their wide names.
TEST(AtomicFile, PolishLettersInFolderAndFileNames) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.MakeFolder("Paweł");
    const std::string path = folder.Path("Paweł/żółć.csv");
    const WriteResult written = WriteFileAtomically(path, "Numer;Nazwa\n1;żółć\n");
    ASSERT_TRUE(written.ok) << written.message;
    // The file carries its name, not a name mangled by a code page.
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(PathFromUtf8(folder.Path("Paweł")))) {
        names.push_back(Utf8FromPath(entry.path().filename()));
    }
    EXPECT_EQ(names, std::vector<std::string>{"żółć.csv"});
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(path, bytes));
    EXPECT_EQ(bytes, "Numer;Nazwa\n1;żółć\n");

    AppendFile log;
    ASSERT_TRUE(log.Create(folder.Path("Paweł/dziennik.txt"), "pierwszy\n").ok);
    ASSERT_TRUE(log.Append("drugi\n").ok);
    ASSERT_TRUE(log.Close().ok);
    ASSERT_TRUE(ReadWholeFile(folder.Path("Paweł/dziennik.txt"), bytes));
    EXPECT_EQ(bytes, "pierwszy\ndrugi\n");
}

}  // namespace
}  // namespace kasa
