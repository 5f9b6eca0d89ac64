// A table of the main window: a Qt model over a core text grid, with the grid's row 0
// (titles) and column 0 (record numbers) shown as the view's headers, and the size rule
// that lays the view out from its font.
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "tables/text_grid.h"

class QFontMetrics;
class QTableView;

namespace kasa::gui {

// The layout rule of the tables, from the font's metrics: a column holds its widest text
// as the font draws it (at least its length in average characters) and `padding`; a row
// is one and a half lines of the font.
int ColumnWidthPixels(const QFontMetrics& metrics, const TextGrid& grid, int col, int padding);
int RowHeightPixels(const QFontMetrics& metrics);

class GridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    // The model refers to `grid`, which must outlive it.
    explicit GridModel(TextGrid& grid, QObject* parent = nullptr);

    TextGrid& Grid() { return grid_; }
    const TextGrid& Grid() const { return grid_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Grid coordinates of a model index, and the index of a grid cell (invalid for the
    // title row, the number column and cells outside the grid).
    static int GridColumn(const QModelIndex& index) { return index.column() + 1; }
    static int GridRow(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex IndexOfCell(int col, int row) const;

    // Tells the views that the core changed the texts of the cells in the rectangle
    // (grid coordinates, inclusive); titles and record numbers included.
    void CellsChanged(int firstCol, int firstRow, int lastCol, int lastRow);
    // Runs a change of the grid's size or of all its cells, with the views told before
    // and after.
    void ChangeWholeGrid(const std::function<void(TextGrid&)>& change);

  private:
    TextGrid& grid_;
};

// Lays `view` out by the rule in its own font: the number column's width goes to the row
// headers, the title row takes one row height.
void ApplyGridLayout(QTableView& view, const TextGrid& grid);

}  // namespace kasa::gui
