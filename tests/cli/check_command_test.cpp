#include <gtest/gtest.h>

#include "base/user_interface.h"
#include "cli/kasa_fixture.h"
#include "tables/table_files.h"

namespace kasa {
namespace {

using cli::Outcome;

class CheckCommand : public cli::KasaWithoutRegister {
  protected:
    CheckCommand() {
        SetUpGrid(tables_.Grid(TableKind::kPackaging), VesperModel().Table(TableKind::kPackaging),
                  true, true, 1);
    }
    std::string SavePackaging(std::string_view name, const std::vector<std::string>& cells) {
        TextGrid& grid = tables_.Grid(TableKind::kPackaging);
        for (size_t i = 0; i < cells.size(); ++i) {
            grid.SetCell(static_cast<int>(i % 2) + 1, static_cast<int>(i / 2) + 1, cells[i]);
        }
        const std::string path = folder_.Path(name);
        EXPECT_TRUE(SaveTableFile(path, VesperModel(), TableKind::kPackaging, tables_, 1).ok);
        return path;
    }
    TableSet tables_;
};

TEST_F(CheckCommand, ReportsFaultsOfATableFileWithItsExitCode) {
    const std::string good = SavePackaging("dobre.csv", {"Butelka", "0,50"});
    EXPECT_EQ(Kasa({"sprawdz", "opakowania", good}).out, "Nie znaleziono błędów.\n");
    EXPECT_EQ(Kasa({"sprawdz", "Opakowania", good}).code, 0);

    const std::string bad = SavePackaging(
        "zle.csv", {"Butelka", "0,50", "Skrzynka", "x", "Paleta drewniana euro", "1"});
    const Outcome all = Kasa({"sprawdz", "Opakowania", bad});
    EXPECT_EQ(all.code, 1);
    EXPECT_EQ(all.out,
              "Opakowania: x w miejscu 2 2 może być tylko liczbą w zakresie [0..999 999,99].\n"
              "Opakowania: Paleta drewniana euro w miejscu 3 1 ma za dużo znaków.\n"
              "Znaleziono 2 błędy.\n");

    const Outcome limited = Kasa({"sprawdz", "Opakowania", bad, "--max", "1"});
    EXPECT_EQ(limited.code, 1);
    EXPECT_EQ(limited.out,
              "Opakowania: x w miejscu 2 2 może być tylko liczbą w zakresie [0..999 999,99].\n"
              "Przekroczona maksymalna ilość błędów. Ilość błędów >1\n"
              "Znaleziono 1 błąd i osiągnięto limit błędów (1): sprawdzanie przerwano, błędów "
              "może być więcej.\n");
    // Exactly at the limit the pass stopped too: the third fault was never looked for.
    const std::string three =
        SavePackaging("trzy.csv", {"Butelka", "y", "Skrzynka", "x", "Paleta drewniana euro", "1"});
    const Outcome atLimit = Kasa({"sprawdz", "Opakowania", three, "--max", "2"});
    EXPECT_EQ(atLimit.code, 1);
    EXPECT_NE(atLimit.out.find("\nZnaleziono 2 błędy i osiągnięto limit błędów (2): "
                               "sprawdzanie przerwano, błędów może być więcej.\n"),
              std::string::npos)
        << atLimit.out;
}

// The codes LibreOffice's default import shortened are listed; they fail nothing.
TEST_F(CheckCommand, ListsCodesThatLookShortened) {
    const Outcome r =
        Kasa({"sprawdz", "PLU", std::string(SERWIS_TEST_DATA) + "/towary_libreoffice_liczby.xlsx"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out,
              "Koniec sprawdzania unikalności kodów EAN13.\n"
              "Koniec sprawdzania unikalności nazw.\n"
              "PLU: Kod 12345678905 w wierszu 2 wygląda na kod EAN-13 bez zer wiodących "
              "(0012345678905).\n"
              "PLU: Kod 123 w wierszu 3 wygląda na kod EAN-13 bez zer wiodących "
              "(0000000000123).\n"
              "Nie znaleziono błędów.\n"
              "Kody do sprawdzenia: 2.\n");
}

TEST_F(CheckCommand, WszystkoRunsEveryTableOfAPodFile) {
    tables_.vatRates = {"23", "8", "5", "0", "zw", "nakt", "1000"};
    const std::string pod = folder_.Path("wszystko.pod");
    SilentUserInterface ui;
    ASSERT_TRUE(SaveAllToPodFile(pod, VesperModel(), tables_, 1, ui, "Zapis").ok);
    const Outcome outcome = Kasa({"sprawdz", "wszystko", pod});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.out,
              "StawkiVAT: 1000 w wierszu 7 określa stawkę VAT i może być liczbą XX.X lub nakt "
              "lub zw.\n"
              "Koniec sprawdzania unikalności kodów EAN13.\n"
              "Koniec sprawdzania unikalności nazw.\n"
              "Znaleziono 1 błąd.\n");
    // The rates alone, as programming them would check them.
    EXPECT_EQ(Kasa({"sprawdz", "stawkivat", pod}).code, 1);
    EXPECT_EQ(Kasa({"sprawdz", "Naglowek", pod}).out, "Nie znaleziono błędów.\n");
    // A table that cannot be read is told about; the others are still checked, and the
    // file as a whole does not pass.
    const std::string one = SavePackaging("opakowania.pod", {"Skrzynka", "x"});
    folder_.Write("opakowania.pod",
                  folder_.Read("opakowania.pod") + "[KLAWISZE]\r\nKlawisz1=x;1;1;TAK\r\n");
    const Outcome partial = Kasa({"sprawdz", "wszystko", one});
    EXPECT_EQ(partial.code, 2);
    EXPECT_NE(partial.out.find("Opakowania: x w miejscu 1 2"), std::string::npos);
    EXPECT_NE(partial.out.find("Znaleziono 1 błąd.\n"), std::string::npos) << partial.out;
    EXPECT_NE(partial.err.find("udało się wczytać"), std::string::npos) << partial.err;
}

TEST_F(CheckCommand, WszystkoOfADamagedFileNeverSaysItIsClean) {
    // Sound packaging, and a keys section whose record number is no number.
    const std::string pod = SavePackaging("uszkodzony.pod", {"Butelka", "0,50"});
    folder_.Write("uszkodzony.pod",
                  folder_.Read("uszkodzony.pod") + "[KLAWISZE]\r\nKlawisz1=x;1;1;TAK\r\n");
    const Outcome outcome = Kasa({"sprawdz", "wszystko", pod});
    EXPECT_EQ(outcome.code, 2);
    EXPECT_EQ(outcome.out.find("Nie znaleziono błędów."), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find("Nie wszystkie tabele z pliku " + pod +
                               " udało się wczytać: plik nie jest gotowy do zapisu w kasie.\n"),
              std::string::npos)
        << outcome.err;
}

TEST_F(CheckCommand, WrongUseAndUnreadableFilesExitWith2) {
    const Outcome missing = Kasa({"sprawdz", "Opakowania", folder_.Path("brak.csv")});
    EXPECT_EQ(missing.code, 2);
    EXPECT_FALSE(missing.err.empty());
    EXPECT_EQ(missing.out, "");
    EXPECT_EQ(Kasa({"sprawdz", "wszystko", folder_.Path("brak.pod")}).code, 2);
    EXPECT_EQ(Kasa({"sprawdz", "Nieznana", folder_.Path("a.csv")}).code, 2);
    EXPECT_EQ(Kasa({"sprawdz", "Opakowania"}).code, 2);
    EXPECT_EQ(Kasa({"sprawdz", "Opakowania", "a.csv", "--max", "x"}).code, 2);
}

TEST_F(CheckCommand, VatRatesThatFailTheCheckNeverReachTheRegister) {
    // No port is set: a rate that passed would end in the missing-port message instead.
    const Outcome outcome = Kasa({"vat", "ustaw", "A=1000"});
    EXPECT_EQ(outcome.code, 1);
    EXPECT_EQ(outcome.err,
              "StawkiVAT: 1000 w wierszu 1 określa stawkę VAT i może być liczbą XX.X lub nakt lub "
              "zw.\n");
}

}  // namespace
}  // namespace kasa
