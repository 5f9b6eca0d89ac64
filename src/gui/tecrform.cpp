#include "gui/tecrform.h"

#include <QLabel>

namespace kasa::gui {

TECRForm::TECRForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("ECRForm");
    setWindowTitle(QStringLiteral("Program serwisowy kas"));
    resize(1024, 700);
}

}  // namespace kasa::gui
