#include "cli/command_line.h"

#include <ostream>

#include "app/settings.h"
#include "cli/check_command.h"
#include "cli/checked_output.h"
#include "cli/compile_commands.h"
#include "cli/console.h"
#include "cli/fault_option_help.h"
#include "cli/fiscal_commands.h"
#include "cli/header_command.h"
#include "cli/option_defaults.h"
#include "cli/plu_command.h"
#include "cli/ports_command.h"
#include "cli/print_command.h"
#include "cli/register_commands.h"
#include "cli/simulator_command.h"
#include "cli/verify_command.h"
#include "cli/write_commands.h"
#include "update/program_version.h"

namespace kasa::cli {

std::string UsageText() {
    return "Użycie: kasa [OPCJE] POLECENIE [ARGUMENTY]\n"
           "\n"
           "Program serwisowy kas z wiersza poleceń.\n"
           "\n"
           "Opcje:\n"
           "  --port NAZWA   port kasy (np. /dev/ttyUSB0, COM1, tcp://ADRES:PORT,\n"
           "                 rfc2217://ADRES:PORT); domyślnie z pliku ustawień\n"
           "  --baud N       prędkość transmisji; domyślnie z pliku ustawień albo 9600\n"
           "  --typ zen|vesper  typ kasy; domyślnie z pliku ustawień albo Vesper\n"
           "  --config PLIK  plik ustawień; domyślnie " +
           std::string(kDefaultConfigPathText) +
           "\n"
           "                 (kopia programu w folderze z prawem zapisu: config.cfg obok niej)\n"
           "  --log          wypisuje podgląd transmisji na standardowe wyjście błędów\n"
           "  --tak          odpowiada „Tak” na wszystkie pytania\n"
           "  -h, --help     wyświetla ten opis i kończy pracę\n"
           "  --version      wyświetla wersję programu\n"
           "\n"
           "Polecenia kasy:\n"
           "  info                             identyfikacja, status, totalizery, VAT, zegar\n"
           "  odczyt TABELA                    odczytuje tabelę z kasy i wypisuje ją jako CSV\n"
           "                                   (Opakowania, Klawisze, Kasjer, Rabat, Doplata,\n"
           "                                   Formy, PLU)\n"
           "  odczyt TABELA PLIK               zapisuje tabelę do pliku .csv, .txt, .xlsx lub "
           ".pod\n"
           "  odczyt wszystko PLIK.pod         zapisuje wszystkie tabele, nagłówek i stawki\n"
           "  zapis TABELA PLIK [--dalej]      zapisuje tabelę z pliku do kasy po weryfikacji\n"
           "                                   (--dalej: błędny wiersz nie przerywa zapisu)\n"
           "  zapis PLU PLIK --od N --do M     zapisuje tylko towary od N do M\n"
           "  zapis PLU --od N --do M --wyczysc  czyści w kasie towary od N do M\n"
           "  zapis wszystko PLIK.pod          zapisuje stawki VAT i wszystkie tabele z pliku\n"
           "                                   Każdy zapis zostawia kopię zmienionych rekordów\n"
           "                                   kasy (plik .pod, ścieżka na wyjściu); zapis tej\n"
           "                                   kopii przywraca je. --odczyt-kontrolny: po\n"
           "                                   zapisie odczytuje rekordy i porównuje z wysłanymi\n"
           "  kasuj TABELA [--bez-sprawdzania] kasuje bazę w kasie (np. kasuj PLU)\n"
           "  vat                              wypisuje stawki VAT\n"
           "  vat ustaw A=23 B=8 ... G=nakt    programuje stawki (zw = zwolniona,\n"
           "                                   nakt = nieaktywna; brakujące bez zmian)\n"
           "  totalizery                       wypisuje totalizery i liczniki\n"
           "  zegar                            wypisuje zegar kasy\n"
           "  zegar ustaw                      ustawia zegar kasy według komputera\n"
           "  naglowek                         wypisuje nagłówek paragonu\n"
           "  naglowek ustaw PLIK.txt          programuje nagłówek: linia pliku to linia\n"
           "                                   nagłówka; na początku ^ podwójna wysokość,\n"
           "                                   * pogrubienie\n"
           "  wyslij PLIK                      wysyła bajty pliku bez zmian\n"
           "  wyslij --ramki PLIK.sek          wysyła każdą linię jako osobną ramkę\n"
           "  wyslij --kompiluj PLIK.txt       kompiluje sekwencję i wysyła wynik\n"
           "  weryfikuj PLIK                   sprawdza w kasie Vesper, czy dokument z pliku\n"
           "                                   wydrukowało urządzenie KORVEX (kod 0 tak,\n"
           "                                   3 nie, 1 brak odpowiedzi albo kasa nie\n"
           "                                   obsłużyła zapytania)\n"
           "  weryfikuj --przyklad N           wypisuje przykład N (1..15) w formacie pliku\n"
           "  pamiec OD DO [PLIK]              odczytuje rekordy pamięci fiskalnej ZEN (0–2047)\n"
           "                                   i dopisuje je do pliku, gdy go podano\n"
           "\n"
           "Polecenia bez kasy:\n"
           "  kompiluj ŹRÓDŁO.txt WYJŚCIE.bin  kompiluje sekwencję do pliku binarnego\n"
           "  kompiluj --opis                  wyświetla opis języka sekwencji\n"
           "  sek2bin WEJŚCIE.sek WYJŚCIE.bin  zamienia linie pliku .sek na ramki .bin\n"
           "  bin2sek WEJŚCIE.bin WYJŚCIE.sek  zamienia ramki pliku .bin na linie .sek\n"
           "  plik TABELA WEJŚCIE WYJŚCIE      zamienia plik tabeli (.pod, .csv, .txt, .xlsx)\n"
           "  sprawdz TABELA PLIK [--max N] [--ean]\n"
           "                                   sprawdza tabelę z pliku jak przed zapisem do kasy\n"
           "  sprawdz wszystko PLIK.pod [--max N] [--ean]\n"
           "                                   sprawdza wszystkie tabele pliku (Weryfikacja)\n"
           "  uprawnienia MASKA                wypisuje uprawnienia kasjera zapisane w masce\n"
           "  uprawnienia --z \"Sprzedaż,...\"   wypisuje maskę podanych uprawnień\n"
           "  porty [--wszystkie]              pokazuje podłączone porty szeregowe i USB\n"
           "                                   oraz porty sieciowe z ustawień\n"
           "  porty --producenta               tylko urządzenia USB producenta kasy\n"
           "                                   (identyfikator UsbVendorId w pliku ustawień)\n"
           "  plu NARZĘDZIE PLIK WYJŚCIE       narzędzia tabeli PLU: sortuj [--malejaco], "
           "kompaktuj,\n"
           "                                   ean, skroc N, mnoznik X, plus,\n"
           "                                   przelicz [--magazyn] [--sprzedaz]\n"
           "  drukuj TABELA PLIK WYJŚCIE.pdf [--kolumny NUM,NAZ,...] [--numer S] [--nazwa S]\n"
           "         [--kod S]                 drukuje tabelę z pliku do PDF; S: tekst, code128,\n"
           "                                   ean13 albo brak (kody kreskowe tabeli PLU)\n"
           "  symulator [--typ zen|vesper] [--link ŚCIEŻKA] [--baud N] [--puste]\n"
           "            [--tcp [ADRES:]PORT | --rfc2217 [ADRES:]PORT]\n"
           "            [--blad LITERA:NUMER:KOD] [--usterka RODZAJ[:co=N|:po=N|:raz]]\n"
           "                                   uruchamia wirtualną kasę (przerwij Ctrl+C)\n"
           "\n"
           "Usterki wirtualnej kasy (kasa symulator --help opisuje pozostałe opcje):\n" +
           std::string(kFaultOptionHelp) +
           "\n"
           "Kody wyjścia: 0 sukces, 1 błąd kasy lub komunikacji, 2 błędne użycie.\n";
}

int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    return Run(ProgramArguments(argc, argv), in, out, err, StandardInputIsTerminal(),
               StandardErrorIsTerminal());
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err) {
    return Run(args, in, out, err, false, false);
}

namespace {

int RunCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err, bool stdinIsTerminal, bool stderrIsTerminal,
               const std::string& backupFolder) {
    CommandContext context{GlobalOptions{},  in,          out, err, stdinIsTerminal,
                           stderrIsTerminal, backupFolder};
    GlobalOptions& options = context.options;
    GlobalOptions given;
    bool portGiven = false, baudGiven = false, typeGiven = false;
    size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& target) {
            if (i + 1 >= args.size()) {
                return false;
            }
            target = args[++i];
            return true;
        };
        if (a == "--help" || a == "-h") {
            out << UsageText();
            return kExitSuccess;
        }
        if (a == "--version") {
            out << "kasa " << ProgramVersionText() << "\n";
            return kExitSuccess;
        }
        if (a == "--log") {
            given.log = true;
        } else if (a == "--tak") {
            given.yes = true;
        } else if (a == "--port") {
            if (!value(given.port)) {
                err << "Opcja --port wymaga nazwy portu.\n";
                return kExitUsage;
            }
            portGiven = true;
        } else if (a == "--baud") {
            std::string text;
            if (!value(text) || text.empty() ||
                text.find_first_not_of("0123456789") != std::string::npos || text.size() > 7) {
                err << "Opcja --baud wymaga liczby (np. 9600).\n";
                return kExitUsage;
            }
            given.baud = std::stoi(text);
            baudGiven = true;
        } else if (a == "--typ") {
            if (!value(given.type)) {
                err << "Opcja --typ wymaga nazwy typu kasy (zen albo vesper).\n";
                return kExitUsage;
            }
            typeGiven = true;
        } else if (a == "--config") {
            if (!value(given.config)) {
                err << "Opcja --config wymaga nazwy pliku.\n";
                return kExitUsage;
            }
        } else if (a.rfind("--", 0) == 0) {
            err << "Nieznana opcja: " << a << "\n\n" << UsageText();
            return kExitUsage;
        } else {
            break;
        }
    }
    if (i >= args.size()) {
        err << UsageText();
        return kExitUsage;
    }
    LoadOptionDefaults(given.config, options);
    options.config = given.config;
    options.log = given.log;
    options.yes = given.yes;
    if (portGiven) {
        options.port = given.port;
    }
    if (baudGiven) {
        options.baud = given.baud;
    }
    if (typeGiven) {
        options.type = given.type;
    }
    const std::string command = args[i];
    const std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
    if (command == "pomoc") {
        out << UsageText();
        return kExitSuccess;
    }
    if (command == "kompiluj") {
        return RunKompiluj(rest, out, err);
    }
    if (command == "sek2bin") {
        return RunSek2Bin(rest, out, err);
    }
    if (command == "bin2sek") {
        return RunBin2Sek(rest, out, err);
    }
    if (command == "info") {
        return RunInfo(context, rest);
    }
    if (command == "odczyt") {
        return RunOdczyt(context, rest);
    }
    if (command == "zapis") {
        return RunZapis(context, rest);
    }
    if (command == "kasuj") {
        return RunKasuj(context, rest);
    }
    if (command == "vat") {
        return RunVat(context, rest);
    }
    if (command == "totalizery") {
        return RunTotalizery(context, rest);
    }
    if (command == "zegar") {
        return RunZegar(context, rest);
    }
    if (command == "naglowek") {
        return RunNaglowek(context, rest);
    }
    if (command == "wyslij") {
        return RunWyslij(context, rest);
    }
    if (command == "plik") {
        return RunPlik(context, rest);
    }
    if (command == "sprawdz") {
        return RunSprawdz(context, rest);
    }
    if (command == "weryfikuj") {
        return RunWeryfikuj(context, rest);
    }
    if (command == "pamiec") {
        return RunPamiec(context, rest);
    }
    if (command == "uprawnienia") {
        return RunUprawnienia(context, rest);
    }
    if (command == "porty") {
        return RunPorty(context, rest);
    }
    if (command == "plu") {
        return RunPlu(context, rest);
    }
    if (command == "drukuj") {
        return RunDrukuj(context, rest);
    }
    if (command == "symulator") {
        return RunSymulator(rest, out, err);
    }
    err << "Nieznane polecenie: " << command << "\n\n" << UsageText();
    return kExitUsage;
}

}  // namespace

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
        std::ostream& err, bool stdinIsTerminal, bool stderrIsTerminal,
        const std::string& backupFolder) {
    // Whatever the command, a result that did not reach its reader is a failure.
    return CheckedExit(
        out, err, RunCommand(args, in, out, err, stdinIsTerminal, stderrIsTerminal, backupFolder));
}

}  // namespace kasa::cli
