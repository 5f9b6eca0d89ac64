// Every file the program writes goes through here: written whole to a temporary file in
// the same folder and renamed over the target, so a failed write never destroys the old
// file and the failure is reported.
#pragma once

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

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& bytes);

}  // namespace kasa
