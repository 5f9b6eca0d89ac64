#include "cli/command_backup.h"

#include <ctime>
#include <ostream>

namespace kasa::cli {

namespace {

std::string FolderOf(const CommandContext& context) {
    return context.backupFolder.empty() ? BackupFolder(BackupLocationOfThisProcess())
                                        : context.backupFolder;
}

}  // namespace

CommandBackup::CommandBackup(CommandContext& context, const RegisterModel& model,
                             const Settings& settings, std::string_view job)
    : context_(context),
      backup_(model, FolderOf(context), model.name, job, settings.KopieMax, std::time(nullptr)) {}

HeaderBeforeSend CommandBackup::HeaderHook() {
    return [this](const HeaderLines* current, const HeaderLines& sent) {
        return backup_.BeforeHeaderWrite(current, sent);
    };
}

VatBeforeSend CommandBackup::VatHook() {
    return [this](const VatRates* current, const VatRates& sent) {
        return backup_.BeforeVatWrite(current, sent);
    };
}

bool CommandBackup::Report() {
    const WriteResult finished = backup_.Finish();
    if (backup_.Path().empty()) {
        return true;
    }
    context_.out << "Kopia zapisanych rekordów: " << backup_.Path() << "\n";
    if (!backup_.EmptyBefore().empty()) {
        context_.out << "Rekordy puste przed zapisem (zapis kopii ich nie wyczyści):";
        const char* separator = " ";
        for (const std::string& record : backup_.EmptyBefore()) {
            context_.out << separator << record;
            separator = ", ";
        }
        context_.out << ".\n";
    }
    if (!finished.ok) {
        context_.err << finished.message << "\n";
    }
    return finished.ok;
}

}  // namespace kasa::cli
