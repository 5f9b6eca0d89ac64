// A fresh folder under the system's temporary folder, removed with everything in it.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "base/file_path.h"

namespace kasa::testing {

class ScratchFolder {
  public:
    ScratchFolder() {
        // create_directory is false for a name that exists already, so no two tests share one.
        std::random_device seed;
        std::error_code error;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
        for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
            const auto candidate = temporary / ("kasa-test" + std::to_string(seed()));
            if (std::filesystem::create_directory(candidate, error)) {
                path_ = Utf8FromPath(candidate);
            }
        }
    }
    ~ScratchFolder() {
        std::error_code error;
        std::filesystem::remove_all(PathFromUtf8(path_), error);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Valid() const { return !path_.empty(); }
    std::string Path(std::string_view name) const { return path_ + "/" + std::string(name); }

    // Names may hold Polish letters: the files are opened by their wide paths on Windows.
    std::string Read(std::string_view name) const {
        std::ifstream in(PathFromUtf8(Path(name)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(std::string_view name, std::string_view bytes) const {
        std::ofstream out(PathFromUtf8(Path(name)), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    bool Exists(std::string_view name) const {
        return std::filesystem::exists(PathFromUtf8(Path(name)));
    }
    void MakeFolder(std::string_view name) const {
        std::filesystem::create_directory(PathFromUtf8(Path(name)));
    }

  private:
    std::string path_;
};

// A file name as the name of a test case, which allows no dots.
inline std::string CaseNameOfFile(std::string name) {
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

}  // namespace kasa::testing
