#include "sim/document_check.h"

#include <cstdint>

#include "base/number_text.h"

namespace kasa::sim {

std::string DocumentControlNumber(std::string_view body) {
    constexpr uint64_t kOffset = 14695981039346656037ull;
    constexpr uint64_t kPrime = 1099511628211ull;
    std::string out;
    uint64_t seed = kOffset;
    for (uint64_t round = 1; round <= 5; ++round) {
        uint64_t hash = seed ^ round;
        for (const char c : body) {
            hash = (hash ^ static_cast<uint8_t>(c)) * kPrime;
        }
        out += HexText(hash >> 32, 8);
        seed = hash;
    }
    return out;
}

std::string DocumentVerdictPayload(std::string_view request) {
    // The request: ESC P c, the control number, CR LF, the body, 0x1A.
    const size_t lineEnd = request.find("\r\n");
    if (request.size() < 3 || lineEnd == std::string_view::npos) {
        return "0;1";
    }
    const std::string_view control = request.substr(3, lineEnd - 3);
    std::string_view body = request.substr(lineEnd + 2);
    if (!body.empty() && body.back() == '\x1a') {
        body.remove_suffix(1);
    }
    const bool authentic = control == DocumentControlNumber(body);
    return DecimalText(static_cast<int64_t>(body.size())) + (authentic ? ";0" : ";1");
}

}  // namespace kasa::sim
