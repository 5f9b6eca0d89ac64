#include <cstdlib>

#include "app/write_backup.h"
#include "base/platform/windows/wide_text.h"

namespace kasa {

BackupLocationFacts BackupLocationOfThisProcess() {
    BackupLocationFacts facts;
    if (const wchar_t* local = ::_wgetenv(L"LOCALAPPDATA")) {
        facts.localAppData = Utf8FromWide(local);
    }
    return facts;
}

}  // namespace kasa
