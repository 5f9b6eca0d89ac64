// Opens the cashier permissions window from the cashier grid's "Uprawnienia" column, with
// the cell's value, and lets the window write the edited value back into that cell.
#pragma once

#include <QMetaObject>
#include <QObject>

namespace kasa::gui {

class TECRForm;
class TKasjerForm;

class PermissionActions : public QObject {
    Q_OBJECT
  public:
    explicit PermissionActions(TECRForm& form);

    TKasjerForm* Window() const { return window_; }
    // A click on cell (col, row) of the cashier grid (grid coordinates, titles in row 0).
    void CashierCellClicked(int col, int row);

  private:
    void Bind();

    TECRForm& form_;
    TKasjerForm* window_ = nullptr;
    QMetaObject::Connection clicks_;
};

}  // namespace kasa::gui
