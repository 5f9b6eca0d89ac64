// "Informacje o portach szeregowych": the report of the serial devices found, line by
// line, with a fresh scan of the installed or of all ports from its menu.
#pragma once

#include <QWidget>

class QListWidget;

namespace kasa::gui {

class TECRForm;

class TSerialPortsForm : public QWidget {
    Q_OBJECT
  public:
    explicit TSerialPortsForm(QWidget* parent = nullptr);

    // A fresh scan; `all` also takes the devices of every class ("&Wszystkie porty").
    void Scan(bool all);
    QListWidget* List() const { return list_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QListWidget* list_ = nullptr;
};

// Opens the window from the menu item "&Porty szeregowe".
void BindSerialPortsWindow(TECRForm& form);

}  // namespace kasa::gui
