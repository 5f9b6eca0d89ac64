// The main window's tables as the core's plain data: the grids, the header lines with their
// three boxes and the VAT rate edits, copied out of the window and back into it, so that
// files and transfers work on a TableSet and the window only shows it.
#pragma once

#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa::gui {

class TECRForm;

// Every table of the window: each grid of the active model, the header lines Line1..Line8
// with CLine, BLine and DLine, and the texts of E_VatA..E_VatG.
TableSet CollectTableSet(TECRForm& form);
// Only the given table; the rest of the set is left empty.
TableSet CollectTableSet(TECRForm& form, TableKind kind);

// Shows one table of `tables` in the window. A grid is copied into the window's grid and
// set up again (titles and record numbers rewritten, sized for the window's model and
// minPLU), its views are told and it is laid out again; the header fills the line edits
// and their boxes, the VAT rates their edits.
void ApplyTableSet(TECRForm& form, const TableSet& tables, TableKind kind);
// Every table, in catalogue order.
void ApplyTableSet(TECRForm& form, const TableSet& tables);

}  // namespace kasa::gui
