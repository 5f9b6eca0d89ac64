#include "app/file_sender.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
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

TEST(FileSender, PolishLettersInFolderAndFileNames) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.MakeFolder("Paweł");
    folder.Write("Paweł/żółć.bin", "\x1bP41\x1b\\");
    EXPECT_EQ(SenderFolder(folder.Path("Paweł/żółć.bin")), folder.Path("Paweł"));
    EXPECT_EQ(SenderFileNames(folder.Path("Paweł")), Names{"żółć.bin"});
    EXPECT_EQ(ReadSenderFile(folder.Path("Paweł"), "żółć.bin").bytes, "\x1bP41\x1b\\");
    EXPECT_EQ(DeleteSenderFile(folder.Path("Paweł"), "żółć.bin"), "");
    EXPECT_FALSE(folder.Exists("Paweł/żółć.bin"));
}

TEST(FileSender, RefusesFilesLargerThanTheEditorsTakeWithoutReadingThem) {
    testing::ScratchFolder folder;
    // Sparse files: the size is all that is looked at.
    folder.Write("duzy.bin", "");
    std::filesystem::resize_file(folder.Path("duzy.bin"), 8 * 1024 * 1024 + 1);
    folder.Write("graniczny.bin", "");
    std::filesystem::resize_file(folder.Path("graniczny.bin"), 8 * 1024 * 1024);
    const std::string refusal =
        "Plik duzy.bin jest za duży do wysłania.\nPlik sekwencji może mieć najwyżej 8 MB.";
    EXPECT_EQ(SenderFileRefusal(folder.Path(""), "duzy.bin"), refusal);
    EXPECT_EQ(ReadSenderFile(folder.Path(""), "duzy.bin").message, refusal);
    EXPECT_EQ(ReadSenderFile(folder.Path(""), "duzy.bin").bytes, "");
    EXPECT_EQ(SenderFileRefusal(folder.Path(""), "graniczny.bin"), "");
    EXPECT_EQ(SenderFileRefusal(folder.Path(""), "brak.bin"),
              "Podany plik jest pusty lub brak pliku.");
    EXPECT_EQ(SenderFileRefusal(folder.Path(""), ""), "Wybrany wiersz jest pusty.");
}

TEST(FileSender, SendsTheBytesUnchangedAndAnAbortAskedBeforeTheSendStands) {
    sim::VirtualRegister reg;
    ASSERT_TRUE(reg.Start());
    RegisterSession ecr;
    ecr.SetPortParams(reg.PortPath(), 115200, nullptr, 0);
    testing::ScratchFolder folder;
    const std::string frame = sim::FramePayload("0;0;7H");
    folder.Write("stan.bin", frame);
    folder.Write("duzy.bin", "");
    std::filesystem::resize_file(folder.Path("duzy.bin"), 8 * 1024 * 1024 + 1);
    testing::RecordingUserInterface ui;

    EXPECT_EQ(SendSenderFile(ecr, ui, folder.Path(""), "duzy.bin"), SenderSendResult::kRefused);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, kSenderCaption);
    EXPECT_EQ(ui.messages[0].text,
              "Plik duzy.bin jest za duży do wysłania.\nPlik sekwencji może mieć najwyżej 8 MB.");

    // The window raises its busy guard and lowers the abort flag before the worker runs;
    // the press of "Przerwij" that comes before the first byte is not lost.
    ecr.abortRequested = true;
    EXPECT_EQ(SendSenderFile(ecr, ui, folder.Path(""), "stan.bin"), SenderSendResult::kAborted);
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].text, "Wysyłanie sekwencji przerwane na żądanie.\nWysłano 0 z " +
                                       std::to_string(frame.size()) + " bajtów.");

    ecr.abortRequested = false;
    EXPECT_EQ(SendSenderFile(ecr, ui, folder.Path(""), "stan.bin"), SenderSendResult::kSent);
    EXPECT_EQ(reg.ReceivedPayloads(), std::vector<std::string>{"0;0;7H"});
    EXPECT_EQ(ui.messages.size(), 2u);
}

}  // namespace
}  // namespace kasa
