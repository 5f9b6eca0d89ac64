#include <filesystem>

#include "base/key_value_file.h"

namespace kasa {

PathPlaceholders PathPlaceholders::OfThisProcess() {
    namespace fs = std::filesystem;
    PathPlaceholders folders;
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        folders.appFolder = program.parent_path().string() + "/";
        folders.programName = program.stem().string();
    }
    const fs::path work = fs::current_path(error);
    if (!error) {
        folders.workFolder = work.string() + "/";
    }
    folders.systemFolder = "/etc/";
    return folders;
}

}  // namespace kasa
