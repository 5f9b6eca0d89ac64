// Leads from a fault line of the listing window to the place in the main window it names.
#pragma once

#include "app/validation_commands.h"

namespace kasa::gui {

class TECRForm;

// Shows the page of the named table and selects the grid cell, or for the header lines and
// VAT rates focuses the named field's edit control. False when the place is not in the
// active register type's tables.
bool GoToFaultPlace(TECRForm& form, const FaultPlace& place);

}  // namespace kasa::gui
