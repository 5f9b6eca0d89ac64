// Sequence sources: any file read as source lines survives a save and a second read, and
// the compiler, at a fixed clock, either reports why it failed or yields bytes.
#include "fuzz_check.h"
#include "seq/seqcompileclass.h"
#include "seq/sequence_files.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::optional<std::vector<std::string>> lines =
        SourceLinesFromFile(std::string(fuzz::Text(data, size)));
    if (!lines) {
        return 0;
    }
    fuzz::CheckLineFile(*lines, SourceLinesFromFile, SourceFileBytes);

    SeqCompileClass compiler([] { return ClockReading{2024, 2, 29, 23, 59}; });
    std::vector<std::string> messages;
    const bool compiled = compiler.Compile(*lines, &messages);
    fuzz::Require(static_cast<int>(messages.size()) == compiler.MessageCount(),
                  "messages were lost");
    // The loop stops at the limit; a sequence left open then adds its missing end mark,
    // and the summary follows.
    fuzz::Require(compiler.MessageCount() <= SeqCompileClass::kMessageLimit + 2,
                  "the compile went on past its message limit");
    if (compiled) {
        fuzz::Require(compiler.Output().Length() > 0, "a compile succeeded without bytes");
    } else {
        fuzz::Require(!messages.empty() || compiler.Output().Length() == 0,
                      "a failed compile gave no reason");
    }
    return 0;
}
