// What stands guard over one job that writes to the register: the backup of every record it
// changes and, when asked, the read back of every record it sent. The window and the
// command line keep their writes the same way.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "app/header_commands.h"
#include "app/read_back_check.h"
#include "app/write_backup.h"
#include "ecr/vat_totals.h"

namespace kasa {

class WriteSafeguards {
  public:
    // `folder` as BackupFolder gives it; `job` the backup name's table part ("PLU",
    // "wszystko"); `keep` how many backups stay (KopieMax).
    WriteSafeguards(const RegisterModel& model, std::string folder, std::string_view job, int keep,
                    bool readBack, std::time_t started = std::time(nullptr));

    // Hands every record the write changes to the backup, then to the read-back check.
    RowWriteObserver* Observer() { return &observers_; }
    // The header and the VAT rates are kept, then noted for the read back as they go out.
    HeaderBeforeSend HeaderHook();
    VatBeforeSend VatHook();

    bool ReadBackAsked() const { return readBack_; }
    // Ends the backup: its path (empty when nothing was kept) and whether its file was
    // finished whole.
    WriteResult FinishBackup();
    const WriteBackup& Backup() const { return backup_; }
    // The lines that tell of the backup: its path and the records it cannot put back.
    std::vector<std::string> BackupLines() const;
    // Reads back what was sent.
    ReadBackOutcome ReadBack(ECRClass& ecr) const { return check_.Verify(ecr); }

    // What the end of a job tells: `told` of what went right (the backup, a read back that
    // agreed), `faults` of what did not.
    struct Report {
        std::vector<std::string> told;
        std::vector<std::string> faults;
        std::string backupPath;  // empty when nothing was kept
        bool ok() const { return faults.empty(); }
        // The job's short closing line: `done`, and what the safeguards did ("Kopia: Plik /
        // Kopie." names where the backup is listed); empty when there is nothing to say.
        std::string ShortOutcome(const std::string& done) const;
    };
    // Ends the job's safeguards: finishes the backup and, when asked and the write went
    // through (`written`), reads back what was sent.
    Report Close(ECRClass& ecr, bool written);

  private:
    WriteBackup backup_;
    ReadBackCheck check_;
    RowWriteObservers observers_;
    bool readBack_;
};

}  // namespace kasa
