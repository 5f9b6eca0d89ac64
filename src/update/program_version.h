// The program's version, four numbers, and the published version file that names the
// newest one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kasa {

struct ProgramVersion {
    int major = -1;
    int minor = -1;
    int release = -1;
    int build = -1;

    bool operator==(const ProgramVersion&) const = default;
};

// All four numbers -1: the running program's version could not be read.
inline constexpr ProgramVersion kUnknownVersion{};

// True when `published` is newer than `running`: the first field that differs decides,
// major first.
bool IsNewerVersion(const ProgramVersion& published, const ProgramVersion& running);

// Reads a published version file: four non-negative numbers below 2^31, each followed by
// one separator that is not a digit (the last one may be the end of the file), then at
// most white space. Anything else, such as an error page, gives nullopt.
std::optional<ProgramVersion> ParseVersionFile(std::string_view content);

// The version compiled into this program; kUnknownVersion when it cannot be read.
ProgramVersion RunningProgramVersion();
// The version text as the build gives it (CMake's project version).
std::string ProgramVersionText();
// "major.minor.release.build".
std::string VersionText(const ProgramVersion& version);

}  // namespace kasa
