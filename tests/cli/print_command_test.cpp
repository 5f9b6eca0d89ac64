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
#include "tables/table_validation.h"

namespace kasa {
namespace {

using cli::Outcome;
using testing::ScratchFolder;

class PrintCommand : public cli::KasaWithoutRegister {
  protected:
    PrintCommand() {
        SetUpGrid(tables_.Grid(TableKind::kGoods), VesperModel().Table(TableKind::kGoods), true,
                  true, 1);
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

// The goods list of 100 rows, with its PLU numbers and codes as EAN (the numbers, no EAN
// codes, stay text) and its names as Code 128, is read back with a barcode reader one page per
// test, so that no test waits for the reader on every page.
class PrintScan : public PrintCommand, public ::testing::WithParamInterface<int> {
  protected:
    static std::string Name(int row) { return "Żółć gęślą " + std::to_string(row); }
    // Every fifth code an EAN-8, the others EAN-13.
    static std::string Code(int row) {
        if (row % 5 == 0) {
            const std::string digits = std::to_string(9000000 + row * 13);
            return digits + Ean8CheckDigit(digits);
        }
        const std::string digits = "590" + std::to_string(100000000 + row * 7919);
        return digits + Ean13CheckDigit(digits);
    }
    std::string PrintGoods() {
        TextGrid& grid = tables_.Grid(TableKind::kGoods);
        for (int r = 1; r <= kRows; ++r) {
            grid.SetCell(1, r, Name(r));
            grid.SetCell(2, r, Code(r));
        }
        const std::string pdf = folder_.Path("towary.pdf");
        const Outcome printed = Kasa({"drukuj", "PLU", SaveGoods(), pdf, "--kolumny", "NUM,NAZ,KOD",
                                      "--numer", "ean13", "--nazwa", "code128", "--kod", "ean13"});
        EXPECT_EQ(printed.code, 0) << printed.err;
        EXPECT_EQ(printed.out, "Zapisano 4 strony tabeli PLU do pliku " + pdf + ".\n");
        return pdf;
    }
    static constexpr int kRows = 100;
};

TEST_P(PrintScan, EveryBarcodeOfAPageScansBackToItsCell) {
    if (Output("command -v pdftoppm >/dev/null && command -v zbarimg >/dev/null && echo ok") !=
        "ok\n") {
        GTEST_SKIP() << "pdftoppm (poppler-utils) albo zbarimg (zbar-tools) nie są zainstalowane";
    }
    const std::string pdf = PrintGoods();
    const std::string page = std::to_string(GetParam());
    // The rows of this page are those whose names its text holds, in the embedded font.
    const std::string text = Output("pdftotext -f " + page + " -l " + page + " '" + pdf + "' -");
    std::vector<std::string> expected;
    for (int r = 1; r <= kRows; ++r) {
        if (text.find(Name(r) + "\n") != std::string::npos) {
            // The PLU numbers are no EAN codes: they print as framed text, never as symbols.
            expected.push_back("CODE-128:" + Code128Text(Name(r)));
            expected.push_back((r % 5 == 0 ? "EAN-8:" : "EAN-13:") + Code(r));
        }
    }
    ASSERT_FALSE(expected.empty()) << "brak wierszy na stronie " << page;
    const std::string image = folder_.Path("strona");
    ASSERT_EQ(Output("pdftoppm -r 150 -gray -f " + page + " -l " + page + " '" + pdf + "' '" +
                     image + "' && echo ok"),
              "ok\n");
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

INSTANTIATE_TEST_SUITE_P(Pages, PrintScan, ::testing::Range(1, 5));

TEST_F(PrintScan, EveryRowIsOnOnePage) {
    if (Output("command -v pdftotext >/dev/null && echo ok") != "ok\n") {
        GTEST_SKIP() << "pdftotext (poppler-utils) nie jest zainstalowany";
    }
    const std::string pdf = PrintGoods();
    const std::string text = Output("pdftotext '" + pdf + "' -");
    for (int r = 1; r <= kRows; ++r) {
        EXPECT_NE(text.find(Name(r) + "\n"), std::string::npos) << Name(r);
    }
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
