// The main window's menu: every item with its caption, object name and hint.
#pragma once

#include <vector>

class QAction;
class QMenuBar;

namespace kasa::gui {

// Fills `bar` with the menus; every item starts disabled and is listed in `items`.
void BuildMainMenu(QMenuBar& bar, std::vector<QAction*>& items);

}  // namespace kasa::gui
