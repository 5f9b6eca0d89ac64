#include <unistd.h>

#include <cstdlib>

#include "app/settings.h"
#include "base/key_value_file.h"

namespace kasa {

ConfigLocationFacts ConfigLocationOfThisProcess() {
    ConfigLocationFacts facts;
    facts.programFolder = PathPlaceholders::OfThisProcess().appFolder;
    facts.programFolderWritable =
        !facts.programFolder.empty() && ::access(facts.programFolder.c_str(), W_OK | X_OK) == 0;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) {
        facts.xdgConfigHome = xdg;
    }
    if (const char* home = std::getenv("HOME")) {
        facts.home = home;
    }
    return facts;
}

}  // namespace kasa
