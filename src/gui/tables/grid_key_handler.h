// The grids of the main window take their keys themselves, without an in-place cell
// editor: the handler turns each key press into a call of the core's grid editor, shows
// the result at once and tells a refused key by a balloon hint.
#pragma once

#include <QFrame>
#include <QObject>
#include <QPointer>
#include <string>

#include "tables/grid_editor.h"

class QKeyEvent;
class QLabel;
class QTableView;

namespace kasa::gui {

class TECRForm;

// A small frameless hint with a bold title and a text, shown beside the control that
// refused a key.
class BalloonHint : public QFrame {
    Q_OBJECT
  public:
    explicit BalloonHint(QWidget* parent);
    void ShowAt(const QPoint& globalPosition, const FilterHint& hint);
    QString Title() const;
    QString Text() const;

  private:
    QLabel* title_ = nullptr;
    QLabel* text_ = nullptr;
};

class GridKeyHandler : public QObject {
    Q_OBJECT
  public:
    explicit GridKeyHandler(TECRForm& form);

    GridEditor& Editor() { return editor_; }
    // The setting "BalonHint" turns the filters' hints off.
    void SetHintsShown(bool shown);
    bool HintsShown() const { return hintsShown_; }
    // Shows `hint` below `area` (in `anchor`'s coordinates) when hints are shown.
    void ShowHint(QWidget& anchor, const QRect& area, const FilterHint& hint);
    void HideHint();
    BalloonHint& Hint() const { return *hint_; }

    // Takes the keys of a table's grid view ("<table>_T"), which has its model set.
    void AttachGrid(QTableView& view);
    // The grids were built anew for another register type or minimum PLU number.
    void GridsRebuilt();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool KeyPress(QTableView& view, const QKeyEvent& event);
    // Ctrl+V: cells copied in another program (a spreadsheet's tab-separated lines) after
    // the grid's own last copy; false leaves the key to the grid editor's clipboard.
    bool PasteSpreadsheetCells(QTableView& view, const std::string& tableName, int col, int row);
    void DeleteSelection(QTableView& view, const std::string& tableName);
    void Show(QTableView& view, const std::string& tableName, const GridKeyResult& result);

    TECRForm& form_;
    GridEditor editor_;
    QPointer<BalloonHint> hint_;
    bool hintsShown_ = true;
    // The system clipboard changed after the grid's last Ctrl+C or Ctrl+X.
    bool systemClipboardNewer_ = false;
};

}  // namespace kasa::gui
