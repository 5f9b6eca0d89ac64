#include <cstdlib>

#include "app/write_backup.h"

namespace kasa {

BackupLocationFacts BackupLocationOfThisProcess() {
    BackupLocationFacts facts;
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) {
        facts.xdgDataHome = xdg;
    }
    if (const char* home = std::getenv("HOME")) {
        facts.home = home;
    }
    return facts;
}

}  // namespace kasa
