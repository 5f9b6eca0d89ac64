#include "app/window_program_options.h"

#include "app/settings.h"
#include "update/program_version.h"

namespace kasa {

namespace {

constexpr int kExitSuccess = 0;
constexpr int kExitUsage = 2;

std::string Usage() {
    return "Użycie: serwis-kas [OPCJE]\n"
           "Program serwisowy kas fiskalnych Zen i Vesper.\n"
           "\n"
           "Opcje:\n"
           "  --config PLIK  ustawienia z tego pliku zamiast " +
           std::string(kDefaultConfigPathText) +
           "\n"
           "                 (kopia programu w folderze z prawem zapisu: config.cfg obok niej)\n"
           "  --demo         praca z wbudowaną kasą wirtualną, dopóki w ustawieniach\n"
           "                 programu nie zostanie wybrany inny port\n"
           "  --bez-aktualizacji\n"
           "                 bez sprawdzania nowej wersji programu przy tym uruchomieniu\n"
           "  -h, --help     ten opis\n"
           "  --version      wersja programu\n"
           "\n"
           "Te same operacje z wiersza poleceń: kasa --help\n";
}

}  // namespace

std::optional<int> ParseWindowProgramArguments(const std::vector<std::string>& arguments,
                                               WindowProgramOptions& options, std::ostream& out,
                                               std::ostream& err) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            out << Usage();
            return kExitSuccess;
        }
        if (argument == "--version") {
            out << "serwis-kas " << ProgramVersionText() << "\n";
            return kExitSuccess;
        }
        if (argument == "--demo") {
            options.demo = true;
        } else if (argument == "--bez-aktualizacji") {
            options.noUpgradeCheck = true;
        } else if (argument == "--config") {
            if (i + 1 >= arguments.size()) {
                err << "Opcja --config wymaga nazwy pliku.\n" << Usage();
                return kExitUsage;
            }
            options.configPath = arguments[++i];
        }
    }
    return std::nullopt;
}

}  // namespace kasa
