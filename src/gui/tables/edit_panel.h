// The edit fields below a grid ("Edycja pozycji"): they show one record at a time, take
// their keys through the core's field filters, and their buttons write the record into
// the grid, empty it, or hand it to the register commands of the window's controller.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "tables/catalogue.h"
#include "tables/text_grid.h"

class QKeyEvent;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kasa::gui {

class GridKeyHandler;
class TECRForm;

// The panel buttons that reach the register. Before kModify the panel has written the
// fields into the grid row; kDelete empties the record in the table and in the register;
// kRead reads it into the grid row, after which the panel shows the row again.
enum class RecordCommand { kModify, kDelete, kRead };

class EditPanel : public QObject {
    Q_OBJECT
  public:
    // The fields and buttons of `panel` ("<table>_edycja"), which show records of `view`.
    EditPanel(TECRForm& form, GridKeyHandler& keys, TableKind kind, QWidget& panel,
              QTableView& view);

    // Grid row `row` into the fields: text edits take the cell, the VAT list the item equal
    // to it (none when empty), a check box is ticked for "TAK". The panel then follows that
    // row: when its cells change in the grid, they are loaded again.
    void LoadRecord(int row);
    // The register buttons work only while the window has a handler for them.
    void UpdateCommandButtons();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Field {
        int col = 0;
        std::string editName;
        QWidget* control = nullptr;
    };

    const TableDescriptor& Table() const;
    std::string TableName() const;
    // The grid row of the number in the number field, or none; `tell` reports a number
    // outside the table.
    std::optional<int> RowOfNumber(bool tell) const;
    bool WriteFieldsToRow(int row);
    std::vector<std::string> RowCells(const TextGrid& grid, int row) const;
    // Reloads the row shown when its cells changed under the panel; clears the fields when
    // the row is gone.
    void FollowGrid();
    void ClearFields();
    void RowChanged(int row);
    void Add();
    void Remove();
    void Command(RecordCommand command);
    void SelectRowOfNumber();
    bool FieldKeyPress(QLineEdit& edit, const std::string& editName, const QKeyEvent& event);

    TECRForm& form_;
    GridKeyHandler& keys_;
    TableKind kind_;
    QTableView& view_;
    std::vector<Field> fields_;
    QLineEdit* number_ = nullptr;
    std::vector<std::pair<RecordCommand, QPushButton*>> commandButtons_;
    // The grid row the fields were loaded from and its cells then; 0 when none.
    int shownRow_ = 0;
    std::vector<std::string> shownCells_;
};

}  // namespace kasa::gui
