#include "cli/ports_command.h"

#include <ostream>

#include "cli/command_line.h"
#include "comm/port_discovery.h"

namespace kasa::cli {

int RunPorty(CommandContext& context, const std::vector<std::string>& args) {
    UsbClass scan;
    scan.NumberedPortsOnly = true;
    for (const std::string& arg : args) {
        if (arg == "--wszystkie") {
            scan.AllDevices = true;
        } else {
            context.err << "Nieznana opcja: " << arg << "\nUżycie: kasa porty [--wszystkie]\n";
            return kExitUsage;
        }
    }
    if (!scan.ScanPorts()) {
        for (const std::string& line : ReportLines(scan.Error())) {
            context.err << line << "\n";
        }
        return kExitFailure;
    }
    scan.BuildReport();
    for (const std::string& line : ReportLines(scan.Report())) {
        context.out << line << "\n";
    }
    if (scan.DeviceCount() == 0) {
        context.out << "Nie znaleziono portów szeregowych.\n";
    }
    return kExitSuccess;
}

}  // namespace kasa::cli
