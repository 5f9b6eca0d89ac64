#include "base/atomic_file.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_path.h"

namespace kasa {

WriteResult WriteFailure(const std::string& path, int systemError, const std::string& reason) {
    return WriteResult{false, systemError, "Nie udało się zapisać pliku " + path + ".\n" + reason};
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    // A folder or a device in the file's place is not a file to read (and the stream
    // library would throw while reading a folder).
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    // Sized once from the file's length: growing by doubling would hold up to three times
    // a large file at once.
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    try {
        bytes.clear();
        if (!error) {
            bytes.resize(static_cast<size_t>(size));
            in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            bytes.resize(static_cast<size_t>(in.gcount()));
        }
        // A file that grew meanwhile, or whose size is not known, is read to its end.
        if (error || in) {
            in.clear();
            bytes.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    } catch (const std::exception&) {
        return false;
    }
    return !in.bad();
}

}  // namespace kasa
