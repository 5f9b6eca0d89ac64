// `.sek` frame-line files: the lines read from any file, written and read again, stay the
// same lines once the characters outside Windows-1250 have gone.
#include "fuzz_check.h"
#include "seq/sequence_files.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = SekLinesFromFile(std::string(fuzz::Text(data, size)));
    if (!lines || !SekSaveRefusal(*lines).empty()) {
        return 0;
    }
    const auto saved = SekLinesFromFile(SekFileBytes(*lines));
    if (!saved) {
        // Control characters that the rest of the file outweighed may, written alone, make
        // the file read as binary: refused whole, never read wrong.
        fuzz::Require(fuzz::HoldsControl(fuzz::Joined(*lines)), "a saved .sek is not text");
        return 0;
    }
    fuzz::Require(saved->size() == lines->size(), "a saved .sek lost lines");
    const auto again = SekLinesFromFile(SekFileBytes(*saved));
    fuzz::Require(again.has_value(), "a saved .sek does not read back");
    fuzz::RequireSameText(fuzz::Joined(*saved), fuzz::Joined(*again), "a saved .sek changed");
    return 0;
}
