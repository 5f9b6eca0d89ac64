// One fiscal memory record of any content and number: its lines are UTF-8 text.
#include "base/codepage.h"
#include "ecr/fiscal_memory.h"
#include "fuzz_check.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < kFiscalRecordSize + 2) {
        return 0;
    }
    const int32_t number = (data[0] | (data[1] << 8)) % (kFiscalRecordCount + 2);
    std::vector<std::string> lines;
    FiscalOutput output = OpenFiscalOutput(lines, "");
    DecodeFiscalRecord(output, data + 2, number);
    for (const std::string& line : lines) {
        fuzz::Require(IsValidUtf8(line), "a fiscal line is not UTF-8");
    }
    return 0;
}
