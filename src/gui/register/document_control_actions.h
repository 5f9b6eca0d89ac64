// Binds "Dodatki / Weryfikacja dokumentu" to the document verification window.
#pragma once

#include <functional>

namespace kasa {
class ECRClass;
}

namespace kasa::gui {

class TECRForm;
class TDocumentControl_Form;

// Creates the window (a child of the main window) and binds the menu item; `busy` tells
// whether a transfer holds the register.
TDocumentControl_Form* BindDocumentControl(TECRForm& form, ECRClass& ecr,
                                           std::function<bool()> busy);

}  // namespace kasa::gui
