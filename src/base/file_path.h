// The core keeps file paths as UTF-8 text; the system's own path is made from it here and
// nowhere else. On Windows a path built from narrow text would go through the ANSI code
// page, which has no Polish letters, so these go to the wide (UTF-16) system calls instead.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace kasa {

// The system's path of UTF-8 text; bytes that are not UTF-8 never throw.
std::filesystem::path PathFromUtf8(std::string_view utf8);
// The UTF-8 text of a system path, as the rest of the core keeps it.
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace kasa
