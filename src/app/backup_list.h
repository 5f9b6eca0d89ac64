// The backups made before writes, as the window lists them: when, for which register type
// and table, and how many records each holds.
#pragma once

#include <string>
#include <vector>

namespace kasa {

struct BackupEntry {
    std::string path;
    std::string when;          // "2026-12-08 01:45:12"
    std::string registerType;  // "VESPER"
    std::string table;         // "PLU", "wszystko"
    int records = 0;           // keys in the file, every section counted
};

// The backups in `folder`, newest first; files whose names are not backups' are left out.
std::vector<BackupEntry> ListBackups(const std::string& folder);
// One file's entry from its name and contents; false when it is not a backup.
bool ReadBackupEntry(const std::string& path, BackupEntry& entry);

}  // namespace kasa
