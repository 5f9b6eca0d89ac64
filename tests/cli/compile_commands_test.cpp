#include "cli/compile_commands.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/text_encoding.h"
#include "cli/command_line.h"
#include "seq/sequence_files.h"
#include "support/scratch_folder.h"

namespace kasa::cli {
namespace {

class CompileCommands : public ::testing::Test {
  protected:
    std::string Path(const char* name) const { return folder_.Path(name); }
    void Write(const char* name, const std::string& bytes) const { folder_.Write(name, bytes); }
    std::string Read(const char* name) const { return folder_.Read(name); }
    int RunCommand(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        std::istringstream in;
        return cli::Run(args, in, out_, err_);
    }

    testing::ScratchFolder folder_;
    std::ostringstream out_;
    std::ostringstream err_;
};

TEST_F(CompileCommands, KompilujWritesBytesOnSuccess) {
    // A Windows-1250 source: ą is 0xB9 and becomes Mazovia 0x86.
    Write("a.txt", "seq = '\xB9' \\<check_start>'A'\\<check_insert>\r\n\\<end>\r\n");
    EXPECT_EQ(RunCommand({"kompiluj", Path("a.txt"), Path("a.bin")}), kExitSuccess);
    EXPECT_EQ(out_.str(), "2: Koniec przetwarzania. Brak błędów.\n");
    EXPECT_EQ(err_.str(), "");
    // FF^41 = BE.
    EXPECT_EQ(Read("a.bin"),
              "\x86"
              "ABE");
}

TEST_F(CompileCommands, KompilujFailureWritesNothing) {
    Write("bad.txt", "seq = \\q 'A'\r\n");
    Write("old.bin", "old");
    EXPECT_EQ(RunCommand({"kompiluj", Path("bad.txt"), Path("old.bin")}), kExitFailure);
    EXPECT_EQ(out_.str(),
              "1: Nierozpoznany znak lub sekwencja.\n1: Brak znacznika końca.\n"
              "1: Wykryto 2 błędy.\n");
    EXPECT_EQ(Read("old.bin"), "old");
    EXPECT_EQ(RunCommand({"kompiluj", Path("bad.txt"), Path("new.bin")}), kExitFailure);
    EXPECT_FALSE(std::filesystem::exists(Path("new.bin")));
}

TEST_F(CompileCommands, KompilujReportsUnreadableFiles) {
    EXPECT_EQ(RunCommand({"kompiluj", Path("missing.txt"), Path("m.bin")}), kExitFailure);
    EXPECT_NE(err_.str().find("missing.txt"), std::string::npos);
    Write("a.txt", "seq = 'A' \\<end>\r\n");
    EXPECT_EQ(RunCommand({"kompiluj", Path("a.txt"), Path("no/such/folder/a.bin")}), kExitFailure);
    EXPECT_NE(err_.str().find("Nie udało się zapisać pliku"), std::string::npos);
}

TEST_F(CompileCommands, KompilujOpisPrintsDescription) {
    EXPECT_EQ(RunCommand({"kompiluj", "--opis"}), kExitSuccess);
    EXPECT_EQ(out_.str().rfind("Opis języka sekwencji.\n", 0), 0u);
    EXPECT_NE(out_.str().find("\\<check_insert>"), std::string::npos);
    EXPECT_EQ(out_.str().find('\r'), std::string::npos);
}

TEST_F(CompileCommands, WrongUsage) {
    const std::vector<std::vector<std::string>> wrong = {
        {"kompiluj"},
        {"kompiluj", "a.txt"},
        {"kompiluj", "a.txt", "b.bin", "c"},
        {"kompiluj", "--opis", "x"},
        {"kompiluj", "--inne", "b.bin"},
        {"sek2bin", "a.sek"},
        {"bin2sek"},
        {"bin2sek", "a.bin", "b.sek", "c"},
    };
    for (const auto& args : wrong) {
        EXPECT_EQ(RunCommand(args), kExitUsage) << args.size() << " " << args[0];
        EXPECT_NE(err_.str().find("Użycie: kasa " + args[0]), std::string::npos) << args[0];
        EXPECT_EQ(out_.str(), "");
    }
}

// The frame bytes themselves are the sequence files' concern; here the files, the exit
// codes and the warnings about the frames read.
TEST_F(CompileCommands, Sek2BinAndBin2SekConvertBetweenFiles) {
    Write("r.sek", "A\r\n[x1b]P\r\n\r\nignored\r\n");
    EXPECT_EQ(RunCommand({"sek2bin", Path("r.sek"), Path("r.bin")}), kExitSuccess);
    EXPECT_EQ(Read("r.bin"), LinesToFrames({"A", "[x1b]P"}));
    Write("r.bin", Read("r.bin") + "\x1BP" + "A" + "00\x1B\\");
    EXPECT_EQ(RunCommand({"bin2sek", Path("r.bin"), Path("back.sek")}), kExitSuccess);
    EXPECT_EQ(Read("back.sek"), "A\r\n[x1B]P\r\nA\r\n");
    EXPECT_NE(err_.str().find("niezgodna suma kontrolna ramek: 1"), std::string::npos);
}

TEST_F(CompileCommands, Bin2SekWarnsOfEmptyFrame) {
    Write("r.bin", std::string("\x1BP"
                               "ABE\x1B\\\x1BPFF\x1B\\\x1BP"
                               "ABE\x1B\\"));
    EXPECT_EQ(RunCommand({"bin2sek", Path("r.bin"), Path("r.sek")}), kExitSuccess);
    EXPECT_EQ(Read("r.sek"), "A\r\n\r\nA\r\n");
    EXPECT_NE(err_.str().find("ramka 2 jest pusta"), std::string::npos);
}

TEST_F(CompileCommands, ConversionsFailWithoutContent) {
    Write("none.bin", "no frames here");
    EXPECT_EQ(RunCommand({"bin2sek", Path("none.bin"), Path("n.sek")}), kExitFailure);
    EXPECT_FALSE(std::filesystem::exists(Path("n.sek")));
    Write("none.sek", "\r\nA\r\n");
    EXPECT_EQ(RunCommand({"sek2bin", Path("none.sek"), Path("n.bin")}), kExitFailure);
    EXPECT_FALSE(std::filesystem::exists(Path("n.bin")));
    EXPECT_EQ(RunCommand({"sek2bin", Path("missing.sek"), Path("n.bin")}), kExitFailure);
}

TEST_F(CompileCommands, InputThatIsNotTextIsRefusedWithItsCause) {
    std::string binary(4096, '\0');
    for (size_t i = 0; i < binary.size(); ++i) {
        binary[i] = static_cast<char>((i * 7919 + i / 3) % 256);
    }
    Write("bin.txt", binary);
    EXPECT_EQ(RunCommand({"kompiluj", Path("bin.txt"), Path("b.bin")}), kExitFailure);
    EXPECT_EQ(err_.str(), NotTextFileMessage(Path("bin.txt")) + "\n");
    EXPECT_EQ(out_.str(), "");
    Write("bin.sek", binary);
    EXPECT_EQ(RunCommand({"sek2bin", Path("bin.sek"), Path("b.bin")}), kExitFailure);
    EXPECT_EQ(err_.str(), NotTextFileMessage(Path("bin.sek")) + "\n");
    EXPECT_FALSE(std::filesystem::exists(Path("b.bin")));
    // An empty file to send is named as empty, before any port is opened.
    Write("empty.bin", "");
    EXPECT_EQ(RunCommand({"wyslij", Path("empty.bin")}), kExitFailure);
    EXPECT_EQ(err_.str(), "Plik " + Path("empty.bin") + " jest pusty: nie ma czego wysłać.\n");
}

TEST_F(CompileCommands, PlikWritesNothingAfterAFailedLoad) {
    const std::string kept = "[TOWARY]\r\nPlu1=1;Chleb;;A;0;2.50;0\r\n";
    std::string random(65536, '\0');
    uint32_t state = 12345;
    for (char& c : random) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 24);
    }
    random.replace(100, 6, "\n[x]\r\n");  // a line that looks like a section
    struct Case {
        const char* name;
        std::string bytes;  // "brak.pod" is not written at all
        std::string message;
    };
    const std::vector<Case> cases = {
        {"brak.pod", "", "Podany plik jest pusty lub nieistnieje"},
        {"losowe.csv", random, NotTextFileMessage(Path("losowe.csv"))},
        {"kasjerzy.pod", "[KASJERZY]\r\nKasjer1=1;Ala\r\n",
         "Plik nie zawiera tabeli PLU (brak sekcji [TOWARY])."},
        {"tytuly.csv", "Numer;Nazwa\r\n", "Plik nie zawiera żadnego rekordu tabeli PLU."},
        {"dwa.csv", "Numer;Nazwa\r\n1;A\r\n2;B\r\n1;C\r\n",
         "Plik " + Path("dwa.csv") +
             ", wiersz 4: powtórzony numer rekordu 1.\nNie wczytano niczego."},
    };
    for (const Case& c : cases) {
        if (std::string(c.name) != "brak.pod") {
            Write(c.name, c.bytes);
        }
        Write("out.pod", kept);
        EXPECT_EQ(RunCommand({"--typ", "zen", "plik", "PLU", Path(c.name), Path("out.pod")}),
                  kExitFailure)
            << c.name;
        EXPECT_EQ(err_.str(), c.message + "\n") << c.name;
        EXPECT_EQ(out_.str(), "") << c.name;
        EXPECT_EQ(Read("out.pod"), kept) << c.name;
    }
    // The same .pod saved by a spreadsheet as "Unicode text" (UTF-16LE with its mark) reads.
    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string("[TOWARY]\r\nPlu2=2;AA;;A;0;1;0\r\n")) {
        utf16 += c;
        utf16 += '\0';
    }
    Write("u.pod", utf16);
    EXPECT_EQ(RunCommand({"--typ", "zen", "plik", "PLU", Path("u.pod"), Path("u.csv")}),
              kExitSuccess)
        << err_.str();
    EXPECT_NE(Read("u.csv").find("\r\n2;AA;;A;0;1;0\r\n"), std::string::npos) << Read("u.csv");
}

}  // namespace
}  // namespace kasa::cli
