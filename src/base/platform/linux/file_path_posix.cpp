#include "base/file_path.h"

namespace kasa {

// The system takes a path as bytes, which in this program are UTF-8 already.
std::filesystem::path PathFromUtf8(std::string_view utf8) {
    return std::filesystem::path(std::string(utf8));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
    return path.native();
}

}  // namespace kasa
