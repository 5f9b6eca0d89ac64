#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <iterator>
#include <sstream>

#include "cli/command_line.h"
#include "kasa_fixture.h"
#include "print/barcode_symbol.h"
#include "support/scratch_folder.h"
#include "tables/table_files.h"

namespace kasa {
namespace {

using cli::Outcome;
using testing::ScratchFolder;

class PrintCommand : public ::testing::Test {
  protected:
    PrintCommand() {
        SetUpGrid(tables_.Grid(TableKind::kGoods), VesperModel().Table(TableKind::kGoods), true,
                  true, 1);
    }
    Outcome Kasa(std::vector<std::string> args) {
        return cli::KasaOffline(std::move(args), folder_.Path("config.cfg"));
    }
    std::string SaveGoods() {
        const std::string path = folder_.Path("towary.csv");
        EXPECT_TRUE(SaveTableFile(path, VesperModel(), TableKind::kGoods, tables_, 1).ok);
        return path;
    }
    static std::string Output(const std::string& command) {
        std::string text;
        if (FILE* pipe = popen(command.c_str(), "r")) {
            char buffer[4096];
            size_t n = 0;
            while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
                text.append(buffer, n);
            }
            pclose(pipe);
        }
        return text;
    }
    ScratchFolder folder_;
    TableSet tables_;
};

TEST_F(PrintCommand, EveryBarcodeOfTheGoodsListScansBackToItsCell) {
    if (Output("command -v pdftoppm >/dev/null && command -v zbarimg >/dev/null && echo ok") !=
        "ok\n") {
        GTEST_SKIP() << "pdftoppm (poppler-utils) albo zbarimg (zbar-tools) nie są zainstalowane";
    }
    TextGrid& grid = tables_.Grid(TableKind::kGoods);
    std::vector<std::string> expected;
    for (int r = 1; r <= 100; ++r) {
        const std::string name = "Żółć gęślą " + std::to_string(r);
        const std::string code = *Ean13OfCode("590" + std::to_string(100000000 + r * 7919));
        grid.SetCell(1, r, name);
        grid.SetCell(2, r, code);
        expected.push_back("EAN-13:" + *Ean13OfCode(std::to_string(r)));
        expected.push_back("CODE-128:" + Code128Text(name));
        expected.push_back("EAN-13:" + code);
    }
    const std::string pdf = folder_.Path("towary.pdf");
    const Outcome printed = Kasa({"drukuj", "PLU", SaveGoods(), pdf, "--kolumny", "NUM,NAZ,KOD",
                                  "--numer", "ean13", "--nazwa", "code128", "--kod", "ean13"});
    ASSERT_EQ(printed.code, 0) << printed.err;
    EXPECT_EQ(printed.out, "Zapisano 4 stron tabeli PLU do pliku " + pdf + ".\n");
    // The text keeps its Polish letters in the embedded font.
    EXPECT_NE(Output("pdftotext -l 1 '" + pdf + "' -").find("Żółć gęślą 1\n"), std::string::npos);
    const std::string image = folder_.Path("strona");
    ASSERT_EQ(Output("pdftoppm -r 150 -gray '" + pdf + "' '" + image + "' && echo ok"), "ok\n");
    std::istringstream decoded(Output("zbarimg --quiet --nodbus '" + image + "'-*.pgm"));
    std::vector<std::string> symbols;
    for (std::string line; std::getline(decoded, line);) {
        symbols.push_back(line);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(symbols.begin(), symbols.end());
    std::vector<std::string> missing, extra;
    std::set_difference(expected.begin(), expected.end(), symbols.begin(), symbols.end(),
                        std::back_inserter(missing));
    std::set_difference(symbols.begin(), symbols.end(), expected.begin(), expected.end(),
                        std::back_inserter(extra));
    EXPECT_TRUE(missing.empty() && extra.empty())
        << "nie odczytano: " << ::testing::PrintToString(missing)
        << "\nodczytano zamiast: " << ::testing::PrintToString(extra);
}

TEST_F(PrintCommand, RefusesBadInputAndLeavesNoPartialFile) {
    const Outcome empty = Kasa({"drukuj", "PLU", SaveGoods(), folder_.Path("a.pdf")});
    EXPECT_EQ(empty.code, 1);
    EXPECT_EQ(empty.err, "Plik nie zawiera żadnego rekordu tabeli PLU.\n");
    EXPECT_FALSE(folder_.Exists("a.pdf"));

    tables_.Grid(TableKind::kGoods).SetCell(1, 1, "Chleb");
    const std::string goods = SaveGoods();
    const Outcome unknown = Kasa({"drukuj", "PLU", goods, folder_.Path("a.pdf"), "--kod", "qr"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err.substr(0, unknown.err.find('\n')),
              "Nieprawidłowy sposób druku pola KOD: qr");
    EXPECT_EQ(Kasa({"drukuj", "PLU", goods, folder_.Path("a.pdf"), "--kolumny", "NAZ,XYZ"}).code,
              2);

    const Outcome refused = Kasa({"drukuj", "PLU", goods, folder_.Path("brak/a.pdf")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("brak/a.pdf"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace kasa
