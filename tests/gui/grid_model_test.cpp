// The model over a core grid: headers from row 0 and column 0, notifications after core
// changes, and the pixel rule of the layout.
#include <QHeaderView>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>

#include "gui/tables/grid_model.h"
#include "tables/text_grid.h"

using kasa::TextGrid;
using kasa::gui::GridModel;

class GridModelTest : public QObject {
    Q_OBJECT

  private:
    // Three columns (number, name, price) and three records.
    static TextGrid SmallGrid() {
        TextGrid grid(3, 4);
        grid.SetCell(0, 0, "Numer");
        grid.SetCell(1, 0, "Nazwa");
        grid.SetCell(2, 0, "Cena");
        for (int row = 1; row < 4; ++row) {
            grid.SetCell(0, row, std::to_string(row + 4));
        }
        grid.SetCell(1, 1, "Chleb");
        grid.SetCell(2, 1, "4.99");
        grid.SetCell(1, 3, "Żurek");
        return grid;
    }

  private slots:
    void headersComeFromTitleRowAndNumberColumn() {
        TextGrid grid = SmallGrid();
        GridModel model(grid);
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Nazwa"));
        QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("5"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Chleb"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QStringLiteral("4.99"));
        QCOMPARE(model.data(model.index(2, 0)).toString(), QStringLiteral("Żurek"));
        QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
        // The grid takes its keys itself: no cell editor opens over it.
        QVERIFY(!model.flags(model.index(1, 1)).testFlag(Qt::ItemIsEditable));
    }

    void cellIndexesMapBothWays() {
        TextGrid grid = SmallGrid();
        GridModel model(grid);
        const QModelIndex index = model.IndexOfCell(2, 3);
        QCOMPARE(index.row(), 2);
        QCOMPARE(index.column(), 1);
        QCOMPARE(GridModel::GridColumn(index), 2);
        QCOMPARE(GridModel::GridRow(index), 3);
        // Titles, numbers and cells past the end have no index.
        QVERIFY(!model.IndexOfCell(0, 1).isValid());
        QVERIFY(!model.IndexOfCell(1, 0).isValid());
        QVERIFY(!model.IndexOfCell(3, 1).isValid());
        QVERIFY(!model.IndexOfCell(1, 4).isValid());
    }

    void coreChangesAreAnnounced() {
        TextGrid grid = SmallGrid();
        GridModel model(grid);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);

        grid.SetCell(2, 3, "1.00");
        model.CellsChanged(1, 2, 2, 3);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toModelIndex(), model.index(1, 0));
        QCOMPARE(changed.at(0).at(1).toModelIndex(), model.index(2, 1));
        QCOMPARE(headers.count(), 0);

        // A change that covers the titles and the numbers tells both headers.
        model.CellsChanged(0, 0, 5, 9);
        QCOMPARE(headers.count(), 2);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toModelIndex(), model.index(0, 0));
        QCOMPARE(changed.at(1).at(1).toModelIndex(), model.index(2, 1));

        // Outside the grid nothing is announced.
        model.CellsChanged(3, 1, 4, 2);
        model.CellsChanged(1, 4, 1, 8);
        QCOMPARE(changed.count(), 2);
    }

    void wholeGridChangesResetTheViews() {
        TextGrid grid = SmallGrid();
        GridModel model(grid);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        model.ChangeWholeGrid([](TextGrid& g) { g.Resize(5, 10); });
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 9);
        QCOMPARE(model.columnCount(), 4);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Chleb"));
    }

    void columnsHoldTheirTextsInTheViewsFont() {
        TextGrid grid(4, 4);
        grid.SetCell(0, 0, "Nr");
        grid.SetCell(0, 3, "1000");
        grid.SetCell(1, 0, "A");
        grid.SetCell(1, 2, "WWWWWW");  // capitals are wider than the font's average
        grid.SetCell(2, 0, "PTU");
        grid.SetCell(2, 2, "Żółć źdźbła");
        grid.SetCell(3, 1, "Gotówka");
        GridModel model(grid);
        QTableView view;
        QFont font(QStringLiteral("Arial"));
        font.setPointSize(9);
        font.setBold(true);
        font.setItalic(true);
        view.setFont(font);
        view.setModel(&model);
        kasa::gui::ApplyGridLayout(view, grid);

        const QFontMetrics metrics(view.font());
        QVERIFY(view.verticalHeader()->width() > metrics.horizontalAdvance(QStringLiteral("1000")));
        for (int col = 1; col < grid.ColCount(); ++col) {
            for (int row = 0; row < grid.RowCount(); ++row) {
                const QString text = QString::fromStdString(grid.Cell(col, row));
                QVERIFY2(view.columnWidth(col - 1) > metrics.horizontalAdvance(text),
                         qPrintable(text));
            }
        }
        for (int row = 0; row < model.rowCount(); ++row) {
            QVERIFY(view.rowHeight(row) > metrics.height());
        }
        QVERIFY(view.horizontalHeader()->height() > metrics.height());
    }
};

QTEST_MAIN(GridModelTest)
#include "grid_model_test.moc"
