// `.bin` frame files: the lines of any file's frames, written as frames and read again,
// are the same lines, every checksum now matching.
#include "fuzz_check.h"
#include "seq/sequence_files.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FramesAsLines read = FramesToLines(fuzz::Text(data, size));
    const FramesAsLines again = FramesToLines(LinesToFrames(read.lines));
    fuzz::Require(again.checksumMismatches == 0, "a written frame has a wrong checksum");
    fuzz::RequireSameText(fuzz::Joined(read.lines), fuzz::Joined(again.lines),
                          "frame lines changed on their way through a .bin");
    return 0;
}
