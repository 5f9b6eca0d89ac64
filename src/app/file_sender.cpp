#include "app/file_sender.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/atomic_file.h"
#include "base/file_name.h"

namespace kasa {

namespace {

namespace fs = std::filesystem;

bool Readable(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return file.is_open();
}

fs::path EntryPath(const std::string& folder, const std::string& name) {
    return fs::path(folder) / fs::path(name);
}

}  // namespace

std::string SenderFolder(const std::string& senderFile) {
    return fs::path(senderFile).parent_path().string();
}

std::optional<std::vector<std::string>> SenderFileNames(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator entries(fs::path(folder), error);
    if (error) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    // A folder that goes away while it is read ends the listing with what was found.
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
        if (error) {
            break;
        }
        const fs::directory_entry& entry = *entries;
        const std::string name = entry.path().filename().string();
        if (name.starts_with(".") || UpperExtensionOf(name) != "BIN" ||
            !entry.is_regular_file(error) || !Readable(entry.path())) {
            continue;
        }
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

SenderFileRead ReadSenderFile(const std::string& folder, const std::string& name) {
    SenderFileRead read;
    if (name.empty()) {
        read.message = "Wybrany wiersz jest pusty.";
    } else if (!ReadWholeFile(EntryPath(folder, name).string(), read.bytes) || read.bytes.empty()) {
        read.bytes.clear();
        read.message = "Podany plik jest pusty lub brak pliku.";
    }
    return read;
}

std::string SenderDeleteQuestion(const std::string& name) {
    return "Chcesz skasować plik o nazwie:\n" + name + "\nKontynuować?";
}

std::string DeleteSenderFile(const std::string& folder, const std::string& name) {
    std::error_code error;
    if (fs::remove(EntryPath(folder, name), error) && !error) {
        return {};
    }
    return "Nie udało się skasować pliku " + name + ".";
}

}  // namespace kasa
