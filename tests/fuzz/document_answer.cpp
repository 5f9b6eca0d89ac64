// The document-control answer: a frame's content judged as two decimal numbers. The
// verdict is checked against the digits themselves: confirmed only for a second number
// that is zero, whatever its length, and none for the status codes 20..31.
#include <algorithm>

#include "comm/ecrclass.h"
#include "fuzz_check.h"

using namespace kasa;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view content = fuzz::Text(data, size);
    const int verdict = ECRClass::DocumentVerdictOf(content);
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const size_t firstEnd =
        std::find_if_not(content.begin(), content.end(), isDigit) - content.begin();
    const std::string_view second = firstEnd < content.size() ? content.substr(firstEnd + 1) : "";
    const bool wellFormed =
        firstEnd > 0 && !second.empty() && std::all_of(second.begin(), second.end(), isDigit);
    if (!wellFormed) {
        fuzz::Require(verdict == -1, "a malformed answer got a verdict");
        return 0;
    }
    const size_t significant = second.find_first_not_of('0');
    const bool zero = significant == std::string_view::npos;
    const std::string_view value = zero ? std::string_view() : second.substr(significant);
    const bool unhandled = value.size() == 2 && value >= "20" && value <= "31";
    fuzz::Require(verdict == (zero        ? 1
                              : unhandled ? -1
                                          : 2),
                  "the verdict differs from the second number");
    return 0;
}
