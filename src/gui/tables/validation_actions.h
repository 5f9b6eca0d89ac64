// The window's side of validation: a write runs only after its table passed, the faults of a
// pass go to the validation listing, its "Ponów" repeats the write, and "Weryfikacja" and the
// goods checks of the "P&LU" menu list every fault without writing anything.
#pragma once

#include <QObject>
#include <functional>

#include "app/validation_commands.h"

namespace kasa {
struct Settings;
}

namespace kasa::gui {

class TECRForm;

class ValidationActions : public QObject {
    Q_OBJECT
  public:
    // `saveSettings` stores the settings when a pass corrected the fault limit.
    ValidationActions(TECRForm& form, Settings& settings, std::function<void()> saveSettings);

    // Validates what `command` would write. With faults the listing shows them, `write` is
    // kept for "Ponów", and false comes back; without faults the listing closes and true.
    bool Validate(ValidationCommand command, std::function<void()> write,
                  TableKind recordTable = TableKind::kGoods, int firstRow = 0, int lastRow = 0);

    // "Weryfikacja", and the goods checks of the "P&LU" menu: the listing shows every fault.
    void RunCheck(ValidationCommand command);

  private:
    ValidationOutcome Run(ValidationCommand command, TableKind recordTable, int firstRow,
                          int lastRow);

    TECRForm& form_;
    Settings& settings_;
    std::function<void()> saveSettings_;
    std::function<void()> repeat_;
};

}  // namespace kasa::gui
