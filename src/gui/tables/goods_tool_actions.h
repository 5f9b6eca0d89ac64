// The window's side of the goods data tools: the "P&LU" menu commands and the
// recalculation panels run the core's tools on the grids, each run one undo step.
#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kasa::gui {

class TECRForm;

// Asks for a text (title, prompt, proposal); nullopt when cancelled.
using AskText =
    std::function<std::optional<QString>(const QString&, const QString&, const QString&)>;

// Binds the tools once, after the window is built; `busy` refuses them while the register
// works on the grids. `ask` replaces the input box, for tests.
void BindGoodsToolActions(TECRForm& form, std::function<bool()> busy, AskText ask = {});

}  // namespace kasa::gui
