#include "gui/tables/grid_key_handler.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/tables/grid_model.h"

namespace kasa::gui {

namespace {

std::string TableNameOf(const QTableView& view) {
    QString name = view.objectName();
    name.chop(2);  // "_T"
    return name.toStdString();
}

std::optional<GridKey> ControlKey(int key) {
    switch (key) {
        case Qt::Key_Z:
            return GridKey::kUndo;
        case Qt::Key_X:
            return GridKey::kCut;
        case Qt::Key_C:
            return GridKey::kCopy;
        case Qt::Key_V:
            return GridKey::kPaste;
        default:
            if (key >= Qt::Key_A && key <= Qt::Key_Z) {
                return GridKey::kOtherControl;
            }
            return std::nullopt;
    }
}

bool IsPrintableText(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(),
                                          [](QChar c) { return c.isPrint() || c.isSurrogate(); });
}

}  // namespace

BalloonHint::BalloonHint(QWidget* parent) : QFrame(parent, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName("BalloonHint");
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAutoFillBackground(true);
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    text_ = new QLabel(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->addWidget(title_);
    layout->addWidget(text_);
}

void BalloonHint::ShowAt(const QPoint& globalPosition, const FilterHint& hint) {
    title_->setText(QString::fromStdString(hint.title));
    // The texts end in a line break that would only leave an empty line in the box.
    text_->setText(QString::fromStdString(hint.text).trimmed());
    adjustSize();
    move(globalPosition);
    show();
}

QString BalloonHint::Title() const {
    return title_->text();
}

QString BalloonHint::Text() const {
    return text_->text();
}

GridKeyHandler::GridKeyHandler(TECRForm& form)
    : QObject(&form), form_(form), hint_(new BalloonHint(&form)) {
    setObjectName("GridKeys");
    // What another program copied before this one started is the newest copy too.
    systemClipboardNewer_ = !QGuiApplication::clipboard()->text().isEmpty();
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            [this] { systemClipboardNewer_ = true; });
}

void GridKeyHandler::SetHintsShown(bool shown) {
    hintsShown_ = shown;
    if (!shown) {
        HideHint();
    }
}

void GridKeyHandler::ShowHint(QWidget& anchor, const QRect& area, const FilterHint& hint) {
    if (hintsShown_ && hint_) {
        hint_->ShowAt(anchor.mapToGlobal(area.bottomLeft()), hint);
    }
}

void GridKeyHandler::HideHint() {
    if (hint_) {
        hint_->hide();
    }
}

void GridKeyHandler::GridsRebuilt() {
    editor_.GridsRebuilt();
    HideHint();
}

void GridKeyHandler::AttachGrid(QTableView& view) {
    view.installEventFilter(this);
    connect(&view, &QAbstractItemView::pressed, this, [this] { HideHint(); });
    connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, &view](const QModelIndex& current) {
                const TableDescriptor* table = FindTable(form_.Model(), TableNameOf(view));
                if (table != nullptr && current.isValid()) {
                    editor_.CellSelected(*table, GridModel::GridColumn(current),
                                         GridModel::GridRow(current));
                }
            });
}

bool GridKeyHandler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        if (auto* view = qobject_cast<QTableView*>(watched)) {
            return KeyPress(*view, static_cast<const QKeyEvent&>(*event));
        }
    }
    return QObject::eventFilter(watched, event);
}

bool GridKeyHandler::KeyPress(QTableView& view, const QKeyEvent& event) {
    const std::string name = TableNameOf(view);
    const TableDescriptor* table = FindTable(form_.Model(), name);
    TextGrid* grid = form_.Grid(name);
    if (table == nullptr || grid == nullptr) {
        return false;
    }
    HideHint();
    const int key = event.key();
    if (key == Qt::Key_Delete) {
        DeleteSelection(view, name);
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    // AltGr may come as Ctrl+Alt: a Polish letter typed with it is text, not a shortcut.
    const bool control =
        modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    std::optional<GridKey> gridKey;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        gridKey = GridKey::kEnter;
    } else if (key == Qt::Key_Backspace) {
        gridKey = GridKey::kBackspace;
    } else if (control) {
        gridKey = ControlKey(key);
    } else if (IsPrintableText(event.text())) {
        gridKey = GridKey::kPrintable;
    }
    if (!gridKey) {
        return false;  // cursor keys, Tab and the like move through the grid
    }
    const QModelIndex current = view.currentIndex();
    if (!current.isValid()) {
        return true;
    }
    const int col = GridModel::GridColumn(current);
    const int row = GridModel::GridRow(current);
    if (*gridKey == GridKey::kCopy || *gridKey == GridKey::kCut) {
        systemClipboardNewer_ = false;
    }
    if (*gridKey == GridKey::kPaste && PasteSpreadsheetCells(view, name, col, row)) {
        return true;
    }
    if (*gridKey != GridKey::kPrintable) {
        Show(view, name, editor_.Key(*table, *grid, col, row, *gridKey));
        return true;
    }
    for (const char32_t character : event.text().toUcs4()) {
        const GridKeyResult result =
            editor_.Key(*table, *grid, col, row, GridKey::kPrintable, character);
        Show(view, name, result);
        if (result.hint) {
            break;
        }
    }
    return true;
}

bool GridKeyHandler::PasteSpreadsheetCells(QTableView& view, const std::string& tableName, int col,
                                           int row) {
    if (!systemClipboardNewer_) {
        return false;
    }
    const QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty()) {
        return false;
    }
    const TableDescriptor* table = FindTable(form_.Model(), tableName);
    TextGrid* grid = form_.Grid(tableName);
    GridModel* model = form_.GridModelOf(tableName);
    const auto changed =
        editor_.PasteCells(*table, *grid, col, row, text.toStdString(), form_.Ui());
    for (const auto& [c, r] : changed) {
        model->CellsChanged(c, r, c, r);
    }
    if (!changed.empty()) {
        form_.LayOutGrid(tableName);
    }
    view.setFocus();
    return true;
}

void GridKeyHandler::DeleteSelection(QTableView& view, const std::string& tableName) {
    const TableDescriptor* table = FindTable(form_.Model(), tableName);
    TextGrid* grid = form_.Grid(tableName);
    GridModel* model = form_.GridModelOf(tableName);
    const QItemSelection selection = view.selectionModel()->selection();
    std::optional<CellRange> range;
    for (const QItemSelectionRange& part : selection) {
        const CellRange cells{part.left() + 1, part.top() + 1, part.right() + 1, part.bottom() + 1};
        if (!range) {
            range = cells;
        } else {
            range->firstCol = std::min(range->firstCol, cells.firstCol);
            range->firstRow = std::min(range->firstRow, cells.firstRow);
            range->lastCol = std::max(range->lastCol, cells.lastCol);
            range->lastRow = std::max(range->lastRow, cells.lastRow);
        }
    }
    const QModelIndex current = view.currentIndex();
    if (!range && current.isValid()) {
        const int col = GridModel::GridColumn(current);
        const int row = GridModel::GridRow(current);
        range = CellRange{col, row, col, row};
    }
    if (!range) {
        return;
    }
    if (!editor_.Delete(*table, *grid, *range, form_.Ui()).empty()) {
        model->CellsChanged(range->firstCol, range->firstRow, range->lastCol, range->lastRow);
    }
}

void GridKeyHandler::Show(QTableView& view, const std::string& tableName,
                          const GridKeyResult& result) {
    GridModel* model = form_.GridModelOf(tableName);
    for (const auto& [col, row] : result.changed) {
        model->CellsChanged(col, row, col, row);
    }
    const QModelIndex current = view.currentIndex();
    if (result.hint) {
        ShowHint(*view.viewport(), view.visualRect(current), *result.hint);
    } else if (result.hideHint) {
        HideHint();
    }
    const QModelIndex next = model->IndexOfCell(result.col, result.row);
    if (next.isValid() && next != current) {
        view.setCurrentIndex(next);
    }
    if (result.layOut) {
        form_.LayOutGrid(tableName);
    }
}

}  // namespace kasa::gui
