#include "base/file_path.h"
#include "base/platform/windows/wide_text.h"

namespace kasa {

// Converted by the system rather than by std::filesystem, whose conversion of bytes that
// are not UTF-8 throws.
std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(WideFromUtf8(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return Utf8FromWide(path.native());
}

}  // namespace kasa
