// One record of a grid table moved between the window's grid and the register, as the
// buttons under the grid do it: write the row, delete the record, read it back.
#pragma once

#include <string>

#include "comm/ecrclass.h"
#include "tables/catalogue.h"
#include "tables/text_grid.h"

namespace kasa {

class UserInterface;

// Writes grid row `row` of table `kind` to the register. A failure is told through `ui`
// (titled `caption`); the communication is closed afterwards either way.
bool WriteRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                    const RegisterModel& model, TableKind kind, TextGrid& grid, int row);
// Deletes the record of grid row `row` in the register and empties the row once the
// register has confirmed it; a record the register keeps (cashier 1) keeps its row.
bool DeleteRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption, TableKind kind,
                     TextGrid& grid, int row);
// Reads the record of grid row `row` from the register into the row.
bool ReadRecordRow(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                   const RegisterModel& model, TableKind kind, TextGrid& grid, int row);

}  // namespace kasa
