// `.sek` frame-line files: the lines read from any file survive a write and a second read.
#include "fuzz_check.h"
#include "seq/sequence_files.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto lines = SekLinesFromFile(std::string(fuzz::Text(data, size)));
    if (!lines || !SekSaveRefusal(*lines).empty()) {
        return 0;
    }
    fuzz::CheckLineFile(*lines, SekLinesFromFile, SekFileBytes);
    return 0;
}
