#include "cli/option_defaults.h"

namespace kasa::cli {

void LoadOptionDefaults(const std::string& /*configPath*/, GlobalOptions& options) {
    options.baud = 9600;
    options.type = "Vesper";
}

}  // namespace kasa::cli
