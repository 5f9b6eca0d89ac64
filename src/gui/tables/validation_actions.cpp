#include "gui/tables/validation_actions.h"

#include <utility>

#include "app/settings.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/form_table_set.h"

namespace kasa::gui {

ValidationActions::ValidationActions(TECRForm& form, Settings& settings,
                                     std::function<void()> saveSettings)
    : QObject(&form), form_(form), settings_(settings), saveSettings_(std::move(saveSettings)) {
    setObjectName(QStringLiteral("ValidationActions"));
    connect(form_.ListingWindow(), &TListingForm::repeatRequested, this, [this](int) {
        // The write runs again on the tables as the user has corrected them.
        if (auto repeat = std::exchange(repeat_, nullptr)) {
            repeat();
        }
    });
}

ValidationOutcome ValidationActions::Run(ValidationCommand command, TableKind recordTable,
                                         int firstRow, int lastRow) {
    TableSet tables = CollectTableSet(form_);
    const TextGrid cashiersBefore = tables.Grid(TableKind::kCashiers);
    ValidationOutcome outcome = RunValidation(command, form_.Model(), tables, form_.MinPlu(),
                                              settings_, recordTable, firstRow, lastRow);
    // Passwords written as "FFFF" or "-1" are shown as "nakt" from now on.
    if (!(tables.Grid(TableKind::kCashiers) == cashiersBefore)) {
        ApplyTableSet(form_, tables, TableKind::kCashiers);
    }
    if (outcome.errorMaxCorrected && saveSettings_) {
        saveSettings_();
    }
    return outcome;
}

bool ValidationActions::Validate(ValidationCommand command, std::function<void()> write,
                                 TableKind recordTable, int firstRow, int lastRow) {
    const ValidationOutcome outcome = Run(command, recordTable, firstRow, lastRow);
    TListingForm* listing = form_.ListingWindow();
    if (outcome.Passed()) {
        if (!outcome.warnings.empty()) {
            // Codes that look shortened are shown, and sent only when the user says so.
            listing->Clear();
            listing->SetCaptions(WarningsCaptions());
            listing->ShowInMode(outcome.mode);
            listing->AddLines(outcome.warnings);
            if (form_.Ui().Ask(form_.windowTitle().toStdString(), WarningsQuestion(outcome),
                               Buttons::YesNo) != Answer::Yes) {
                repeat_ = std::move(write);
                return false;
            }
        }
        repeat_ = nullptr;
        // A list of faults that have been put right has nothing more to say.
        if (listing->isVisible() && IsVerificationMode(listing->Mode())) {
            listing->Clear();
            listing->hide();
        }
        return true;
    }
    repeat_ = std::move(write);
    listing->Clear();
    listing->SetCaptions(outcome.captions);
    listing->ShowInMode(outcome.mode);
    listing->AddLines(outcome.lines);
    return false;
}

void ValidationActions::RunCheck(ValidationCommand command) {
    const ValidationOutcome outcome = Run(command, TableKind::kGoods, 0, 0);
    TListingForm* listing = form_.ListingWindow();
    repeat_ = nullptr;
    listing->Clear();
    listing->ReplaceCaptions(CheckCaptions(outcome));
    listing->ShowInMode(outcome.mode);
    listing->AddLines(outcome.lines);
    listing->AddLines(outcome.warnings);
    // An empty list would leave the user wondering whether anything ran.
    form_.Ui().ShowOutcome(CheckSummary(outcome));
}

}  // namespace kasa::gui
