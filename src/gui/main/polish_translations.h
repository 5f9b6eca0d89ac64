// Qt's own texts (dialog buttons, the font and colour dialogs) in Polish.
#pragma once

class QCoreApplication;

namespace kasa::gui {

// Loads Qt's Polish translations when they are installed; false when they are not.
bool InstallPolishTranslations(QCoreApplication& app);

}  // namespace kasa::gui
