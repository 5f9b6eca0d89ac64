// config.cfg: the settings read from any file, saved into a fresh file and read again,
// are saved as the same text.
#include "app/settings.h"
#include "fuzz_check.h"

using namespace kasa;

namespace {

std::string SavedText(const Settings& settings) {
    KeyValueFile file;
    SaveSettings(file, settings);
    SavePrintLayout(file, settings.print);
    return file.Serialize();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    KeyValueFile file;
    if (!file.Parse(fuzz::Text(data, size))) {
        return 0;
    }
    Settings read;
    LoadSettings(file, read);
    const std::string saved = SavedText(read);
    KeyValueFile reread;
    if (!reread.Parse(saved)) {
        fuzz::Require(fuzz::MayBeRefused(saved), "saved settings are not text");
        return 0;
    }
    if (fuzz::MayBeMisread(saved)) {
        return 0;
    }
    Settings again;
    LoadSettings(reread, again);
    fuzz::RequireSameText(saved, SavedText(again), "settings changed on their way through a file");
    return 0;
}
