#include "cli/command_backup.h"

#include <ostream>

#include "cli/command_line.h"

namespace kasa::cli {

namespace {

std::string FolderOf(const CommandContext& context) {
    return context.backupFolder.empty() ? BackupFolder(BackupLocationOfThisProcess())
                                        : context.backupFolder;
}

}  // namespace

CommandBackup::CommandBackup(CommandContext& context, const RegisterModel& model,
                             const Settings& settings, std::string_view job, bool readBack)
    : context_(context), guards_(model, FolderOf(context), job, settings.KopieMax, readBack) {}

bool CommandBackup::Report() {
    const WriteResult finished = guards_.FinishBackup();
    for (const std::string& line : guards_.BackupLines()) {
        context_.out << line << "\n";
    }
    if (!finished.ok) {
        context_.err << finished.message << "\n";
    }
    return finished.ok;
}

int CommandBackup::Close(ECRClass& ecr, int code, bool written) {
    const WriteSafeguards::Report report = guards_.Close(ecr, written);
    for (const std::string& line : report.told) {
        context_.out << line << "\n";
    }
    for (const std::string& line : report.faults) {
        context_.err << line << "\n";
    }
    return report.ok() ? code : kExitFailure;
}

}  // namespace kasa::cli
