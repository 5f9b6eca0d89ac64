#include "cli/ports_command.h"

#include <ostream>

#include "app/settings.h"
#include "cli/command_line.h"
#include "comm/port_discovery.h"

namespace kasa::cli {

namespace {

constexpr std::string_view kUsage = "Użycie: kasa porty [--wszystkie] [--producenta]";

bool IsVendorId(const std::string& text) {
    return !text.empty() && text.size() <= 4 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

}  // namespace

int RunPorty(CommandContext& context, const std::vector<std::string>& args) {
    UsbClass scan;
    scan.NumberedPortsOnly = true;
    for (const std::string& arg : args) {
        if (arg == "--wszystkie") {
            scan.AllDevices = true;
        } else if (arg == "--producenta") {
            scan.MakerDevicesOnly = true;
        } else {
            return UsageFailure(context, "Nieznana opcja: " + arg, kUsage);
        }
    }
    if (scan.MakerDevicesOnly) {
        const Settings settings = ReadSettingsFile(ResolveConfigFilePath(context.options.config));
        scan.makerVendorId = settings.UsbVendorId;
        // A mistyped id would quietly list nothing, which reads as "no register attached".
        if (!scan.makerVendorId.empty() && !IsVendorId(scan.makerVendorId)) {
            context.err << "Ustawienie UsbVendorId (" << scan.makerVendorId
                        << ") musi być liczbą szesnastkową o najwyżej 4 cyfrach.\n";
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
