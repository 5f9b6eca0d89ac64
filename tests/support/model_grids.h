// The register type's model made the active one, with every grid table of a table set
// laid out empty for it, as the main window does when the type is chosen.
#pragma once

#include <string>

#include "sim/register_state.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"
#include "tables/text_grid.h"

namespace kasa::testing {

inline const RegisterModel& SelectModelWithGrids(sim::RegisterType type, TableSet& tables,
                                                 int minPlu = 1) {
    const RegisterModel& model = type == sim::RegisterType::Zen ? ZenModel() : VesperModel();
    std::string name(model.name);
    ActiveModelSelection().Select(name);
    for (int k = 0; k < kTableKindCount; ++k) {
        const auto kind = static_cast<TableKind>(k);
        if (kind != TableKind::kHeader && kind != TableKind::kVat) {
            SetUpGrid(tables.Grid(kind), model.Table(kind), true, true, minPlu);
        }
    }
    return model;
}

}  // namespace kasa::testing
