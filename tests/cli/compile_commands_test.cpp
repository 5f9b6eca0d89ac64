#include "cli/compile_commands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/atomic_file.h"
#include "cli/command_line.h"
#include "seq/sequence_files.h"

namespace kasa::cli {
namespace {

class CompileCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "kompilujXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void Write(const char* name, const std::string& bytes) const {
        ASSERT_TRUE(WriteFileAtomically(Path(name), bytes).ok);
    }
    std::string Read(const char* name) const {
        std::string bytes;
        EXPECT_TRUE(ReadWholeFile(Path(name), bytes)) << name;
        return bytes;
    }
    int RunCommand(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        std::istringstream in;
        return cli::Run(args, in, out_, err_);
    }

    std::filesystem::path dir_;
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
              "0: Nierozpoznany znak lub sekwencja.\n1: Brak znacznika końca.\n"
              "1: Wykryto: 2 błędów.\n");
    EXPECT_EQ(Read("old.bin"), "old");
    EXPECT_EQ(RunCommand({"kompiluj", Path("bad.txt"), Path("new.bin")}), kExitFailure);
    EXPECT_FALSE(std::filesystem::exists(Path("new.bin")));
}

TEST_F(CompileCommands, KompilujEmptySourceFails) {
    Write("empty.txt", "");
    EXPECT_EQ(RunCommand({"kompiluj", Path("empty.txt"), Path("e.bin")}), kExitFailure);
    EXPECT_EQ(out_.str(), "0: Input file is empty.\n0: Wykryto: 1 błędów.\n");
    EXPECT_FALSE(std::filesystem::exists(Path("e.bin")));
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

TEST_F(CompileCommands, UsageNamesTheCommands) {
    EXPECT_EQ(RunCommand({"--help"}), kExitSuccess);
    for (const char* command : {"kompiluj", "sek2bin", "bin2sek"}) {
        EXPECT_NE(out_.str().find(command), std::string::npos) << command;
    }
}

}  // namespace
}  // namespace kasa::cli
