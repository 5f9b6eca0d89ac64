#include <gtest/gtest.h>

#include <fstream>

#include "cli/verify_command.h"
#include "kasa_fixture.h"
#include "support/scratch_folder.h"

namespace kasa::cli {
namespace {

TEST_F(KasaCommands, WeryfikujJudgesADocumentFromItsFile) {
    kasa::testing::ScratchFolder folder;
    const Outcome example = Kasa({"weryfikuj", "--przyklad", "9"});
    ASSERT_EQ(example.code, 0) << example.err;
    EXPECT_NE(example.out.find("typ=raport\n"), std::string::npos);
    EXPECT_NE(example.out.find("pozycja=SPRZED. OPODATK. PTU A;1234,56\n"), std::string::npos);
    folder.Write("raport.txt", example.out);
    Outcome verdict = Kasa({"weryfikuj", folder.Path("raport.txt")});
    EXPECT_EQ(verdict.code, 0) << verdict.err;
    EXPECT_EQ(verdict.out, "Wpisany dokument wydrukowano w urządzeniu\nprodukowanym w KORVEX.\n");

    std::string changed = example.out;
    changed.replace(changed.find("1234,56"), 7, "1234,65");
    folder.Write("zmieniony.txt", changed);
    verdict = Kasa({"weryfikuj", folder.Path("zmieniony.txt")});
    EXPECT_EQ(verdict.code, kExitNotAuthentic);
    EXPECT_EQ(verdict.out,
              "Wpisany dokument nie wydrukowano w urządzeniu\nprodukowanym w KORVEX.\n");

    // An invalid document is refused before the register is asked.
    const size_t sent = reg->ReceivedPayloads().size();
    changed.replace(changed.find("numer_dokumentu="), 22, "numer_dokumentu=0\n#");
    folder.Write("zero.txt", changed);
    verdict = Kasa({"weryfikuj", folder.Path("zero.txt")});
    EXPECT_EQ(verdict.code, kExitUsage);
    EXPECT_EQ(verdict.err, "Numer dokumentu nie może być pusty.\n");
    EXPECT_EQ(reg->ReceivedPayloads().size(), sent);
    EXPECT_EQ(Kasa({"weryfikuj", "--przyklad", "16"}).code, kExitUsage);
}

TEST_F(KasaCommands, WeryfikujTellsARequestTheRegisterCouldNotHandleAsAFailure) {
    kasa::testing::ScratchFolder folder;
    const Outcome example = Kasa({"weryfikuj", "--przyklad", "9"});
    ASSERT_EQ(example.code, 0) << example.err;
    folder.Write("raport.txt", example.out);
    // 21: the register found the request's checksum wrong; the document was never judged.
    reg->SetStatusFor('c', 21);
    const Outcome damaged = Kasa({"weryfikuj", folder.Path("raport.txt")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_EQ(damaged.out, "");
    EXPECT_EQ(damaged.err,
              "Nie mozna stwierdzić autentyczności.\nKasa nie obsłużyła zapytania: Błąd bajtu "
              "kontrolnego (kod 21).\n");
    reg->ClearStatusFor('c');
    EXPECT_EQ(Kasa({"weryfikuj", folder.Path("raport.txt")}).code, 0);
}

TEST_F(KasaCommands, WeryfikujRefusesAKeyGivenTwice) {
    kasa::testing::ScratchFolder folder;
    const Outcome example = Kasa({"weryfikuj", "--przyklad", "1"});
    ASSERT_EQ(example.code, 0) << example.err;
    folder.Write("dwa.txt", example.out + "data=2020-01-01\n");
    const size_t sent = reg->ReceivedPayloads().size();
    const Outcome twice = Kasa({"weryfikuj", folder.Path("dwa.txt")});
    EXPECT_EQ(twice.code, kExitUsage);
    EXPECT_NE(twice.err.find("klucz \"data\" powtórzony."), std::string::npos) << twice.err;
    EXPECT_EQ(twice.out, "");
    EXPECT_EQ(reg->ReceivedPayloads().size(), sent);
}

}  // namespace
}  // namespace kasa::cli
