#include "app/file_sender.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

using Names = std::vector<std::string>;

TEST(FileSender, ListsReadableVisibleBinFilesSortedByName) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    for (const char* name : {"b.bin", "A.BIN", ".ukryty.bin", "zamkniety.bin", "opis.txt"}) {
        folder.Write(name, "\x1bP");
    }
    std::filesystem::create_directory(folder.Path("katalog.bin"));
    std::filesystem::permissions(folder.Path("zamkniety.bin"), std::filesystem::perms::none);
    // The superuser reads any file, so there the closed one is listed as well.
    const bool closedReadable = access(folder.Path("zamkniety.bin").c_str(), R_OK) == 0;
    Names expected{"A.BIN", "b.bin"};
    if (closedReadable) {
        expected.push_back("zamkniety.bin");
    }
    EXPECT_EQ(SenderFileNames(folder.Path("")), expected);
    EXPECT_FALSE(SenderFileNames(folder.Path("brak")).has_value());
}

TEST(FileSender, ReadingAndDeletingSayWhyNothingHappened) {
    testing::ScratchFolder folder;
    folder.Write("pusty.bin", "");
    folder.Write("ramka.bin", "\x1bP41\x1b\\");
    EXPECT_EQ(ReadSenderFile(folder.Path(""), "").message, "Wybrany wiersz jest pusty.");
    EXPECT_EQ(ReadSenderFile(folder.Path(""), "pusty.bin").message,
              "Podany plik jest pusty lub brak pliku.");
    EXPECT_EQ(ReadSenderFile(folder.Path(""), "brak.bin").message,
              "Podany plik jest pusty lub brak pliku.");
    const SenderFileRead read = ReadSenderFile(folder.Path(""), "ramka.bin");
    EXPECT_EQ(read.bytes, "\x1bP41\x1b\\");
    EXPECT_EQ(read.message, "");
    EXPECT_EQ(DeleteSenderFile(folder.Path(""), "ramka.bin"), "");
    EXPECT_FALSE(folder.Exists("ramka.bin"));
    EXPECT_EQ(DeleteSenderFile(folder.Path(""), "ramka.bin"),
              "Nie udało się skasować pliku ramka.bin.");
    EXPECT_EQ(SenderFolder("/dane/sekwencje/a.bin"), "/dane/sekwencje");
}

}  // namespace
}  // namespace kasa
