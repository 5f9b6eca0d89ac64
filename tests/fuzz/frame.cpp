// Answer frames as the register's line delivers them: every record is taken off the
// received bytes until none is left, and each call either consumes bytes or stops.
#include "comm/ecrclass.h"
#include "fuzz_check.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ECRClass ecr;
    ecr.requestNumber = static_cast<uint8_t>(fuzz::TakeChoice(data, size, 256));
    ecr.receiveBuffer.AppendBytes(data, size);
    for (;;) {
        const int32_t before = ecr.receiveBuffer.Length();
        const int r = ecr.ReadRecord();
        if (r == kRecordEmpty || r == kRecordUnfinished) {
            break;
        }
        fuzz::Require(ecr.receiveBuffer.Length() < before, "a record was read without consuming");
        if (r == kRecordStatus) {
            fuzz::Require(ecr.statusCode >= 0 && ecr.statusCode <= 255, "status out of range");
        }
    }
    return 0;
}
