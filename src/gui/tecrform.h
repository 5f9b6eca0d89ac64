// The main window of the program.
#pragma once

#include <QMainWindow>

namespace kasa::gui {

class TECRForm : public QMainWindow {
    Q_OBJECT
  public:
    explicit TECRForm(QWidget* parent = nullptr);
};

}  // namespace kasa::gui
