#include "update/program_version.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <tuple>

namespace kasa {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

bool IsNewerVersion(const ProgramVersion& published, const ProgramVersion& running) {
    return std::tie(published.major, published.minor, published.release, published.build) >
           std::tie(running.major, running.minor, running.release, running.build);
}

std::optional<ProgramVersion> ParseVersionFile(std::string_view content) {
    std::array<int, 4> numbers{};
    size_t at = 0;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const size_t start = at;
        while (at < content.size() && IsDigit(content[at])) {
            ++at;
        }
        int64_t value = 0;
        // A number too long even for 64 bits is reported by from_chars as out of range.
        const auto [end, error] =
            std::from_chars(content.data() + start, content.data() + at, value);
        if (at == start || error != std::errc() || end != content.data() + at ||
            value > INT32_MAX) {
            return std::nullopt;
        }
        numbers[i] = static_cast<int>(value);
        if (at < content.size()) {
            ++at;  // the separator, a non-digit by the loop above
        } else if (i + 1 < numbers.size()) {
            return std::nullopt;
        }
    }
    for (; at < content.size(); ++at) {
        if (!IsSpace(content[at])) {
            return std::nullopt;
        }
    }
    return ProgramVersion{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::string ProgramVersionText() {
    // Only this file knows the version, so that a new version rebuilds one file.
    return SERWIS_VERSION;
}

ProgramVersion RunningProgramVersion() {
    // A build whose version has fewer than four parts counts the missing ones as 0.
    std::string text = ProgramVersionText();
    for (size_t dots = static_cast<size_t>(std::count(text.begin(), text.end(), '.')); dots < 3;
         ++dots) {
        text += ".0";
    }
    return ParseVersionFile(text).value_or(kUnknownVersion);
}

std::string VersionText(const ProgramVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.release) + "." + std::to_string(version.build);
}

}  // namespace kasa
