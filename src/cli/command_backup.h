// The backup a command's write to the register leaves, and the lines that tell of it.
#pragma once

#include <string_view>

#include "app/header_commands.h"
#include "app/settings.h"
#include "app/write_backup.h"
#include "cli/register_commands.h"
#include "ecr/vat_totals.h"

namespace kasa::cli {

class CommandBackup {
  public:
    // The backup of one job (`job`: the table's name or "wszystko") of `model`, in the
    // command's backup folder, keeping as many as `settings` says.
    CommandBackup(CommandContext& context, const RegisterModel& model, const Settings& settings,
                  std::string_view job);

    WriteBackup& Backup() { return backup_; }
    HeaderBeforeSend HeaderHook();
    VatBeforeSend VatHook();
    // Finishes the file and, when one was made, prints its path ("Kopia zapisanych rekordów:
    // PATH") and the records it cannot put back because they were empty. False when the
    // file could not be finished.
    bool Report();

  private:
    CommandContext& context_;
    WriteBackup backup_;
};

}  // namespace kasa::cli
