#include "gui/tables/fault_navigation.h"

#include <QTabWidget>
#include <QTableView>

#include "gui/main/tecrform.h"
#include "gui/tables/grid_model.h"

namespace kasa::gui {

namespace {

// Makes the tab page that holds `control` the current one.
void ShowPageOf(TECRForm& form, QWidget* control) {
    QTabWidget* tabs = form.Tabs();
    for (QWidget* widget = control; widget != nullptr; widget = widget->parentWidget()) {
        const int index = tabs->indexOf(widget);
        if (index >= 0) {
            tabs->setCurrentIndex(index);
            return;
        }
    }
}

}  // namespace

bool GoToFaultPlace(TECRForm& form, const FaultPlace& place) {
    const TableDescriptor* table = FindTable(form.Model(), place.tableName);
    if (table == nullptr || place.row < 0) {
        return false;
    }
    if (place.col < 0) {
        // Header lines and VAT rates: the row is the field's position.
        if (static_cast<size_t>(place.row) >= table->fields.size() ||
            table->fields[place.row].editName.empty()) {
            return false;
        }
        QWidget* edit = form.EditControl(place.tableName, table->fields[place.row].editName);
        if (edit == nullptr) {
            return false;
        }
        ShowPageOf(form, edit);
        edit->setFocus();
        return true;
    }
    QTableView* view = form.GridView(place.tableName);
    GridModel* model = form.GridModelOf(place.tableName);
    if (view == nullptr || model == nullptr) {
        return false;
    }
    const QModelIndex cell = model->IndexOfCell(place.col, place.row);
    if (!cell.isValid()) {
        return false;
    }
    ShowPageOf(form, view);
    view->setCurrentIndex(cell);
    view->scrollTo(cell);
    view->setFocus();
    return true;
}

}  // namespace kasa::gui
