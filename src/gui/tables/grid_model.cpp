#include "gui/tables/grid_model.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QTableView>
#include <algorithm>

namespace kasa::gui {

namespace {

// Room around a cell's text: the style's margins on both sides and the grid line.
int CellPadding(const QTableView& view) {
    return 2 * (view.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &view) + 2) + 1;
}

}  // namespace

int ColumnWidthPixels(const QFontMetrics& metrics, const TextGrid& grid, int col, int padding) {
    // The field's length in characters of the font's average width, widened to the texts of
    // nearly that length as the font really draws them: capitals and Polish letters are
    // wider than the average, and a text must never be clipped.
    const int chars = grid.ColumnWidthChars(col);
    int widest = chars * metrics.averageCharWidth();
    for (int row = 0; row < grid.RowCount(); ++row) {
        const std::string& text = grid.Cell(col, row);
        if (text.size() + 2 >= static_cast<size_t>(chars)) {
            widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(text)));
        }
    }
    return widest + padding;
}

int RowHeightPixels(const QFontMetrics& metrics) {
    // The text's height and a few pixels: taller rows would leave too few of them in sight.
    return metrics.height() + 6;
}

GridModel::GridModel(TextGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

int GridModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return std::max(grid_.RowCount() - 1, 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid()) {
        return 0;
    }
    return std::max(grid_.ColCount() - 1, 0);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return QString::fromStdString(grid_.Cell(GridColumn(index), GridRow(index)));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) {
        return {};
    }
    if (orientation == Qt::Horizontal) {
        return QString::fromStdString(grid_.Cell(section + 1, 0));
    }
    return QString::fromStdString(grid_.Cell(0, section + 1));
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled;
}

QModelIndex GridModel::IndexOfCell(int col, int row) const {
    if (col < 1 || row < 1 || col >= grid_.ColCount() || row >= grid_.RowCount()) {
        return {};
    }
    return index(row - 1, col - 1);
}

void GridModel::CellsChanged(int firstCol, int firstRow, int lastCol, int lastRow) {
    firstCol = std::max(firstCol, 0);
    firstRow = std::max(firstRow, 0);
    lastCol = std::min(lastCol, grid_.ColCount() - 1);
    lastRow = std::min(lastRow, grid_.RowCount() - 1);
    if (firstCol > lastCol || firstRow > lastRow) {
        return;
    }
    // The title row and the number column are headers here.
    if (firstRow == 0) {
        emit headerDataChanged(Qt::Horizontal, std::max(firstCol - 1, 0), std::max(lastCol - 1, 0));
    }
    if (firstCol == 0) {
        emit headerDataChanged(Qt::Vertical, std::max(firstRow - 1, 0), std::max(lastRow - 1, 0));
    }
    const int cellCol = std::max(firstCol, 1);
    const int cellRow = std::max(firstRow, 1);
    if (cellCol <= lastCol && cellRow <= lastRow) {
        emit dataChanged(IndexOfCell(cellCol, cellRow), IndexOfCell(lastCol, lastRow),
                         {Qt::DisplayRole, Qt::EditRole});
    }
}

void GridModel::ChangeWholeGrid(const std::function<void(TextGrid&)>& change) {
    beginResetModel();
    change(grid_);
    endResetModel();
}

void ApplyGridLayout(QTableView& view, const TextGrid& grid) {
    const QFontMetrics metrics(view.font());
    const int padding = CellPadding(view);
    const int rowHeight = RowHeightPixels(metrics);
    QHeaderView* columns = view.horizontalHeader();
    QHeaderView* rows = view.verticalHeader();
    columns->setMinimumSectionSize(1);
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(rowHeight);
    columns->setFixedHeight(rowHeight);
    if (grid.ColCount() > 0) {
        rows->setFixedWidth(ColumnWidthPixels(metrics, grid, 0, padding));
    }
    for (int col = 1; col < grid.ColCount(); ++col) {
        columns->resizeSection(col - 1, ColumnWidthPixels(metrics, grid, col, padding));
    }
}

}  // namespace kasa::gui
