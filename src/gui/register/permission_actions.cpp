#include "gui/register/permission_actions.h"

#include <QTableView>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/register/tkasjer_form.h"
#include "gui/tables/grid_model.h"
#include "tables/text_grid.h"

namespace kasa::gui {

namespace {
constexpr const char* kPermissionsTitle = "Uprawnienia";
}

PermissionActions::PermissionActions(TECRForm& form) : QObject(&form), form_(form) {
    setObjectName(QStringLiteral("PermissionActions"));
    window_ = new TKasjerForm(&form_, form_.Ui());
    Bind();
    connect(&form_, &TECRForm::tablesRebuilt, this, [this] {
        window_->Detach();  // its cell went with the old grids
        Bind();
    });
}

void PermissionActions::Bind() {
    disconnect(clicks_);
    const std::string_view name = form_.Model().Table(TableKind::kCashiers).tableName;
    if (QTableView* view = form_.GridView(name)) {
        clicks_ =
            connect(view, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
                CashierCellClicked(GridModel::GridColumn(index), GridModel::GridRow(index));
            });
    }
}

void PermissionActions::CashierCellClicked(int col, int row) {
    const std::string_view name = form_.Model().Table(TableKind::kCashiers).tableName;
    TextGrid* grid = form_.Grid(name);
    if (grid == nullptr || col < 1 || col >= grid->ColCount() || row < 1 ||
        row >= grid->RowCount() || grid->Cell(col, 0) != kPermissionsTitle) {
        return;
    }
    window_->Open(grid->Cell(col, row), {grid, form_.GridModelOf(name), col, row});
}

}  // namespace kasa::gui
