#include "cli/command_line.h"

#include <ostream>

#include "cli/compile_commands.h"
#include "cli/simulator_command.h"

namespace kasa::cli {

std::string UsageText() {
    return "Użycie: kasa [OPCJE] POLECENIE [ARGUMENTY]\n"
           "\n"
           "Program serwisowy kas z wiersza poleceń.\n"
           "\n"
           "Opcje:\n"
           "  -h, --help     wyświetla ten opis i kończy pracę\n"
           "  --version      wyświetla wersję programu\n"
           "\n"
           "Polecenia:\n"
           "  kompiluj ŹRÓDŁO.txt WYJŚCIE.bin  kompiluje sekwencję do pliku binarnego\n"
           "  kompiluj --opis                  wyświetla opis języka sekwencji\n"
           "  sek2bin WEJŚCIE.sek WYJŚCIE.bin  zamienia linie pliku .sek na ramki .bin\n"
           "  bin2sek WEJŚCIE.bin WYJŚCIE.sek  zamienia ramki pliku .bin na linie .sek\n"
           "  symulator [--typ zen|vesper] [--link ŚCIEŻKA] [--baud N] [--puste]\n"
           "                                   uruchamia wirtualną kasę (przerwij Ctrl+C)\n"
           "\n"
           "Kody wyjścia: 0 sukces, 1 błąd kasy lub komunikacji, 2 błędne użycie.\n";
}

int Run(int argc, char** argv, std::istream& in, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return Run(args, in, out, err);
}

int Run(const std::vector<std::string>& args, std::istream& /*in*/, std::ostream& out,
        std::ostream& err) {
    if (args.empty()) {
        err << UsageText();
        return kExitUsage;
    }
    const std::string& command = args[0];
    if (command == "--help" || command == "-h" || command == "pomoc") {
        out << UsageText();
        return kExitSuccess;
    }
    if (command == "--version") {
        out << "kasa " << SERWIS_VERSION << "\n";
        return kExitSuccess;
    }
    if (command == "kompiluj") {
        return RunKompiluj({args.begin() + 1, args.end()}, out, err);
    }
    if (command == "sek2bin") {
        return RunSek2Bin({args.begin() + 1, args.end()}, out, err);
    }
    if (command == "bin2sek") {
        return RunBin2Sek({args.begin() + 1, args.end()}, out, err);
    }
    if (command == "symulator") {
        return RunSymulator({args.begin() + 1, args.end()}, out, err);
    }
    err << "Nieznane polecenie: " << command << "\n\n" << UsageText();
    return kExitUsage;
}

}  // namespace kasa::cli
