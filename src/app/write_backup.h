// The backup every write to the register leaves: the register's records as they were
// before the write changed them, in a .pod file that puts them back when it is written to
// the register like any other. Each record is in the file before the write that changes it
// is sent; a record that cannot be kept so is not sent.
#pragma once

#include <cstdint>
#include <ctime>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/atomic_file.h"
#include "ecr/row_transfer.h"
#include "ecr/vat_totals.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

// What decides where the backups live.
struct BackupLocationFacts {
    std::string xdgDataHome;   // $XDG_DATA_HOME
    std::string home;          // $HOME
    std::string localAppData;  // %LOCALAPPDATA% on Windows, empty elsewhere
};

// serwis-kas/kopie in the user's data folder: on Windows under %LOCALAPPDATA%, else under
// $XDG_DATA_HOME when it is an absolute path, else under $HOME/.local/share. The folder
// ends with its separator; empty when no such folder is known.
std::string BackupFolder(const BackupLocationFacts& facts);
// The facts of this process (each system has its own file).
BackupLocationFacts BackupLocationOfThisProcess();

// The file name of a backup made at `started`: "2026-12-08_01-45-12_VESPER_PLU.pod", with
// "_2", "_3", ... before the extension for the second and later job of the same second.
std::string BackupFileName(std::time_t started, std::string_view registerType, std::string_view job,
                           int sequence = 1);
// Whether a file name is one that BackupFileName gives; only those are pruned.
bool IsBackupFileName(std::string_view name);

class WriteBackup : public RowWriteObserver {
  public:
    // One job's backup: `folder` as BackupFolder gives it, `registerType` the register's
    // type ("Vesper"), `job` the name's table part ("PLU", "wszystko"), `keep` how many
    // backups stay in the folder once this one is made (KopieMax).
    WriteBackup(const RegisterModel& model, std::string folder, std::string_view registerType,
                std::string_view job, int keep, std::time_t started);
    ~WriteBackup() override;
    WriteBackup(const WriteBackup&) = delete;
    WriteBackup& operator=(const WriteBackup&) = delete;

    // Keeps the register's record before it is overwritten. A record that is not changed
    // (packaging goes out also then) is not kept.
    std::string BeforeSend(const TableDescriptor& table, int row,
                           const std::vector<std::string>& before,
                           const std::vector<std::string>& after) override;
    // The same for the header and the VAT rates, which go out whole: `current` is what the
    // register holds (null when it could not be read).
    std::string BeforeHeaderWrite(const HeaderLines* current, const HeaderLines& sent);
    std::string BeforeVatWrite(const VatRates* current, const VatRates& sent);

    // Closes the file for good, its contents on the medium. Success when none was made.
    WriteResult Finish();
    // The backup's path; empty while no record was kept.
    const std::string& Path() const { return path_; }
    // The records kept that were empty before the write ("PLU 12"). Writing the backup
    // back skips empty records, so these stay as the write left them.
    const std::vector<std::string>& EmptyBefore() const { return emptyBefore_; }

  private:
    // Appends `entries` (key, value) to `section`; the file is made with the first of
    // them. Returns the failure's text, or empty.
    std::string Keep(std::string_view section,
                     const std::vector<std::pair<std::string, std::string>>& entries);
    std::string Create(const std::string& bytes);
    void Prune() const;

    const RegisterModel& model_;
    std::string folder_;
    std::string registerType_;
    std::string job_;
    int keep_;
    std::time_t started_;
    AppendFile file_;
    std::string path_;
    std::string section_;                                 // the section the file ends in
    std::set<std::pair<std::string, std::string>> kept_;  // folded section and key
    std::vector<std::string> emptyBefore_;
};

}  // namespace kasa
