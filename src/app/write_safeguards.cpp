#include "app/write_safeguards.h"

#include <utility>

namespace kasa {

WriteSafeguards::WriteSafeguards(const RegisterModel& model, std::string folder,
                                 std::string_view job, int keep, bool readBack, std::time_t started)
    : backup_(model, std::move(folder), model.name, job, keep, started),
      check_(model),
      readBack_(readBack) {
    observers_.Add(&backup_);
    if (readBack_) {
        observers_.Add(&check_);
    }
}

HeaderBeforeSend WriteSafeguards::HeaderHook() {
    return [this](const HeaderLines* current, const HeaderLines& sent) {
        std::string refusal = backup_.BeforeHeaderWrite(current, sent);
        if (refusal.empty() && readBack_) {
            check_.NoteHeader(sent);
        }
        return refusal;
    };
}

VatBeforeSend WriteSafeguards::VatHook() {
    return [this](const VatRates* current, const VatRates& sent) {
        std::string refusal = backup_.BeforeVatWrite(current, sent);
        if (refusal.empty() && readBack_) {
            check_.NoteVatRates(sent);
        }
        return refusal;
    };
}

WriteResult WriteSafeguards::FinishBackup() {
    return backup_.Finish();
}

std::vector<std::string> WriteSafeguards::BackupLines() const {
    std::vector<std::string> lines;
    if (backup_.Path().empty()) {
        return lines;
    }
    lines.push_back("Kopia zapisanych rekordów: " + backup_.Path());
    return lines;
}

WriteSafeguards::Report WriteSafeguards::Close(ECRClass& ecr, bool written) {
    Report report;
    const WriteResult finished = FinishBackup();
    report.told = BackupLines();
    report.backupPath = backup_.Path();
    if (!finished.ok) {
        report.faults.push_back(finished.message);
    }
    if (!readBack_) {
        return report;
    }
    if (!written) {
        report.faults.emplace_back("Odczyt kontrolny nie został wykonany: zapis się nie udał.");
        return report;
    }
    const ReadBackOutcome outcome = ReadBack(ecr);
    std::vector<std::string>& lines = outcome.Passed() ? report.told : report.faults;
    for (const std::string& line : ReadBackReport(outcome)) {
        lines.push_back(line);
    }
    return report;
}

std::string WriteSafeguards::Report::ShortOutcome(const std::string& done) const {
    const bool kept = !backupPath.empty();
    const bool readBack = ok() && !told.empty() && told.back().starts_with("Odczyt kontrolny");
    if (done.empty() && !kept) {
        return {};
    }
    if (!kept && !readBack) {
        return done;
    }
    const char* what = kept && readBack ? "Kopia i odczyt kontrolny: OK."
                       : kept           ? "Kopia: Plik / Kopie."
                                        : "Odczyt kontrolny: OK.";
    return done + (done.empty() ? "" : " ") + what;
}

}  // namespace kasa
