#include "cli/option_defaults.h"

#include "app/settings.h"

namespace kasa::cli {

void LoadOptionDefaults(const std::string& configPath, GlobalOptions& options) {
    const Settings settings = ReadSettingsFile(ResolveConfigFilePath(configPath));
    options.port = settings.PortName;
    options.baud = settings.baudRate > 0 ? settings.baudRate : 9600;
    options.type = settings.ChashPath.empty() ? "Vesper" : settings.ChashPath;
    options.minPlu = settings.minPLU;
    options.errorMax = settings.ErrorMax;
}

}  // namespace kasa::cli
