#include "cli/ports_command.h"

#include <algorithm>
#include <ostream>

#include "app/settings.h"
#include "cli/command_line.h"
#include "comm/port_discovery.h"
#include "comm/port_name.h"

namespace kasa::cli {

namespace {

constexpr std::string_view kUsage = "Użycie: kasa porty [--wszystkie] [--producenta]";

bool IsVendorId(const std::string& text) {
    return !text.empty() && text.size() <= 4 &&
           text.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// Serial device servers are not found by a scan: the settings name the ones used lately,
// and the configured port ahead of them when they lack it.
void ListNetworkPorts(CommandContext& context, const Settings& settings) {
    std::vector<std::string> network = SplitNetworkPorts(settings.NetworkPorts);
    if (ParseNetworkPortName(settings.PortName) &&
        std::find(network.begin(), network.end(), settings.PortName) == network.end()) {
        network.insert(network.begin(), settings.PortName);
    }
    if (!network.empty()) {
        context.out << "Porty sieciowe z ustawień:\n";
        for (const std::string& name : network) {
            context.out << name << "\n";
        }
    }
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
    const Settings settings = ReadSettingsFile(ResolveConfigFilePath(context.options.config));
    if (scan.MakerDevicesOnly) {
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
        ListNetworkPorts(context, settings);
        return kExitFailure;
    }
    scan.BuildReport();
    for (const std::string& line : ReportLines(scan.Report())) {
        context.out << line << "\n";
    }
    if (scan.DeviceCount() == 0) {
        context.out << "Nie znaleziono portów szeregowych.\n";
    }
    ListNetworkPorts(context, settings);
    return kExitSuccess;
}

}  // namespace kasa::cli
