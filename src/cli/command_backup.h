// The safeguards of a command's write to the register, and the lines that tell of them: the
// backup of every record it changes and, when asked, the read back of what it sent.
#pragma once

#include <string_view>

#include "app/settings.h"
#include "app/write_safeguards.h"
#include "cli/register_commands.h"

namespace kasa::cli {

class CommandBackup {
  public:
    // The safeguards of one job (`job`: the table's name or "wszystko") of `model`, in the
    // command's backup folder, keeping as many backups as `settings` says.
    CommandBackup(CommandContext& context, const RegisterModel& model, const Settings& settings,
                  std::string_view job, bool readBack = false);

    RowWriteObserver* Observer() { return guards_.Observer(); }
    HeaderBeforeSend HeaderHook() { return guards_.HeaderHook(); }
    VatBeforeSend VatHook() { return guards_.VatHook(); }
    // Finishes the file and, when one was made, prints its path ("Kopia zapisanych rekordów:
    // PATH") and the records it cannot put back because they were empty. False when the
    // file could not be finished.
    bool Report();
    // The closing lines of the job: the backup's, then the read back of what was sent when
    // the write went through (`written`). Returns the exit code `code` becomes.
    int Close(ECRClass& ecr, int code, bool written);

  private:
    CommandContext& context_;
    WriteSafeguards guards_;
};

}  // namespace kasa::cli
