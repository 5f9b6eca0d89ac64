// Every file the program writes goes through here: written whole to a temporary file in
// the same folder and renamed over the target, so a failed write never destroys the old
// file and the failure is reported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kasa {

struct WriteResult {
    bool ok = false;
    int systemError = 0;  // the system's error of the failed step, 0 on success
    // A Polish description of the failure, empty on success.
    std::string message;
};

WriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);
// The failed result of writing `path`: the system's error and its Polish reason.
WriteResult WriteFailure(const std::string& path, int systemError, const std::string& reason);

// A file that grows piece by piece: created whole with its first piece, atomically as
// above, then each later piece handed to the system before Append returns, so that what
// was appended outlives the program. A piece that cannot be written whole is taken back,
// so the file never ends in half a piece.
class AppendFile {
  public:
    AppendFile() = default;
    // Closes the file (see Close) when it is still open.
    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    WriteResult Create(const std::string& path, std::string_view firstBytes);
    WriteResult Append(std::string_view bytes);
    // Forces everything to the medium and closes the file.
    WriteResult Close();
    bool IsOpen() const { return handle_ != kNoHandle; }
    const std::string& Path() const { return path_; }

  private:
    static constexpr intptr_t kNoHandle = -1;
    std::string path_;
    intptr_t handle_ = kNoHandle;  // the system's handle of the open file
    uint64_t size_ = 0;            // bytes written so far
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace kasa
