#include "app/backup_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/write_backup.h"
#include "base/atomic_file.h"
#include "base/key_value_file.h"
#include "tables/load_status.h"

namespace kasa {

namespace {

std::filesystem::path PathOf(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

bool ReadBackupEntry(const std::string& path, BackupEntry& entry) {
    const std::string name = Utf8Of(PathOf(path).filename());
    if (!IsBackupFileName(name)) {
        return false;
    }
    entry = {};
    entry.path = path;
    // "2026-12-08_01-45-12_VESPER_PLU.pod", a sequence "_2" before the extension.
    entry.when = name.substr(0, 10) + " " + name.substr(11, 2) + ":" + name.substr(14, 2) + ":" +
                 name.substr(17, 2);
    std::string rest = name.substr(20, name.size() - 20 - 4);
    const size_t typeEnd = rest.find('_');
    entry.registerType = rest.substr(0, typeEnd);
    entry.table = typeEnd == std::string::npos ? std::string() : rest.substr(typeEnd + 1);
    const size_t sequence = entry.table.find_last_of('_');
    if (sequence != std::string::npos && sequence + 1 < entry.table.size() &&
        std::all_of(entry.table.begin() + static_cast<std::ptrdiff_t>(sequence) + 1,
                    entry.table.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        entry.table.erase(sequence);
    }
    std::string text;
    if (ReadWholeFile(path, text) && DecodeTableFileText(text) == kLoadOk) {
        KeyValueFile file;
        file.ParseText(text);
        for (const std::string& section : file.SectionNames()) {
            entry.records += static_cast<int>(file.KeyNames(section).size());
        }
    }
    return true;
}

std::vector<BackupEntry> ListBackups(const std::string& folder) {
    std::vector<BackupEntry> entries;
    std::error_code error;
    for (std::filesystem::directory_iterator it(PathOf(folder), error), end; !error && it != end;
         it.increment(error)) {
        BackupEntry entry;
        if (it->is_regular_file(error) && ReadBackupEntry(Utf8Of(it->path()), entry)) {
            entries.push_back(std::move(entry));
        }
    }
    // The names begin with the date and time: the newest is the greatest.
    std::sort(entries.begin(), entries.end(), [](const BackupEntry& a, const BackupEntry& b) {
        return PathOf(a.path).filename() > PathOf(b.path).filename();
    });
    return entries;
}

}  // namespace kasa
