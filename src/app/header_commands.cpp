#include "app/header_commands.h"

#include "base/user_interface.h"
#include "ecr/header.h"
#include "ecr/vat_totals.h"

namespace kasa {

bool ReadHeaderIntoLines(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                         HeaderLines& lines) {
    if (busy) {
        ui.Message(caption, kBusyMessage);
        return false;
    }
    // The wire form depends on the model, which only the identification tells.
    HeaderLines read{};
    if (!ecr.IsIdentified() || !ReadHeader(ecr, read)) {
        ui.Message(caption, kHeaderReadFailedMessage);
        return false;
    }
    ecr.CloseTransmission();
    lines = read;
    return true;
}

bool ProgramHeader(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                   const RegisterModel& model, Settings& settings, bool busy, bool fiscalChecked,
                   const HeaderLines& lines, ValidationOutcome& validation,
                   const HeaderBeforeSend& beforeSend) {
    TableSet tables;
    tables.header = lines;
    validation = RunValidation(ValidationCommand::kProgramHeader, model, tables, 1, settings);
    if (!validation.Passed()) {
        return false;
    }
    if (ProgrammingRefused(ecr, ui, caption, busy, fiscalChecked, kHeaderFiscalRefusal)) {
        return false;
    }
    if (beforeSend && ecr.IsIdentified()) {
        HeaderLines current{};
        const bool read = ReadHeader(ecr, current);
        const std::string refusal = beforeSend(read ? &current : nullptr, lines);
        if (!refusal.empty()) {
            ui.Message(caption, refusal);
            return false;
        }
    }
    if (!ecr.IsIdentified() || !WriteHeader(ecr, lines)) {
        ui.Message(caption, kHeaderWriteFailedMessage);
        return false;
    }
    ecr.CloseTransmission();
    if (ecr.statusCode != 0) {
        ui.Message(caption, "Podczas transmisji wykryto błąd.\n" + ecr.LastErrorText() + "\n");
        return false;
    }
    return true;
}

}  // namespace kasa
