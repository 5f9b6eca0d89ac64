// The published version file: whatever it holds, a version read from it is written as
// text and read again unchanged.
#include "fuzz_check.h"
#include "update/program_version.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<ProgramVersion> read = ParseVersionFile(fuzz::Text(data, size));
    if (read) {
        fuzz::Require(
            read->major >= 0 && read->minor >= 0 && read->release >= 0 && read->build >= 0,
            "a negative version number");
        const std::optional<ProgramVersion> again = ParseVersionFile(VersionText(*read));
        fuzz::Require(again.has_value(), "a written version does not read back");
        fuzz::RequireSame(*read, *again, "a version changed on its way through text");
    }
    return 0;
}
