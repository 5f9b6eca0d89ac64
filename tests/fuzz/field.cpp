// Fields taken off the front of an answer: every field code, any hexadecimal text. The
// decoded text is UTF-8, and a fixed-width field takes exactly its width.
#include "base/codepage.h"
#include "ecr/record_codec.h"
#include "fuzz_check.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Codes 0 and 33 stand for the unknown ones.
    const auto code = static_cast<FieldCode>(fuzz::TakeChoice(data, size, 34));
    iBuffer answer;
    answer.AppendBytes(data, size);
    bool complete = true;
    const std::string text = DecodeField(answer, code, &complete);
    fuzz::Require(IsValidUtf8(text), "a decoded field is not UTF-8");
    const int digits = FieldAnswerDigits(code);
    if (digits >= 0 && complete) {
        fuzz::Require(answer.Length() == static_cast<int32_t>(size) - digits,
                      "a field took other than its width");
    }
    return 0;
}
