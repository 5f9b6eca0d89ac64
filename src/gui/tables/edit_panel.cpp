#include "gui/tables/edit_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/main/tecrform_internal.h"
#include "gui/tables/grid_key_handler.h"
#include "gui/tables/grid_model.h"
#include "tables/grid_editor.h"
#include "tables/text_grid.h"

namespace kasa::gui {

namespace {

std::optional<int64_t> RecordNumberOf(const QString& text) {
    if (text.isEmpty() || text.size() > 9) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            return std::nullopt;
        }
        value = value * 10 + (c.unicode() - '0');
    }
    return value;
}

// Rows above this number are scrolled to stand ten rows below the top of the goods grid.
constexpr int kRowsAboveShownRecord = 10;

}  // namespace

EditPanel::EditPanel(TECRForm& form, GridKeyHandler& keys, TableKind kind, QWidget& panel,
                     QTableView& view)
    : QObject(&panel), form_(form), keys_(keys), kind_(kind), view_(view) {
    const QString prefix = Q(Table().tableName) + QLatin1Char('_');
    const TableDescriptor& table = Table();
    for (int col = 0; col < table.FieldCount(); ++col) {
        const FieldDescriptor& field = table.fields[static_cast<size_t>(col)];
        if (field.editName.empty()) {
            continue;
        }
        QWidget* control = panel.findChild<QWidget*>(prefix + Q(field.editName));
        if (control == nullptr) {
            continue;
        }
        control->installEventFilter(this);
        fields_.push_back({col, std::string(field.editName), control});
        if (col == 0) {
            number_ = qobject_cast<QLineEdit*>(control);
        }
    }
    if (number_ != nullptr) {
        connect(number_, &QLineEdit::returnPressed, this, [this] {
            if (const std::optional<int> row = RowOfNumber(false)) {
                LoadRecord(*row);
                SelectRowOfNumber();
            }
        });
    }
    connect(&view_, &QAbstractItemView::clicked, this,
            [this](const QModelIndex& index) { LoadRecord(GridModel::GridRow(index)); });
    // Undo, sorting, compaction and loads change rows under the panel: it follows them, so
    // that it never writes a record's old values over the row that now stands there.
    if (QAbstractItemModel* model = view_.model()) {
        connect(model, &QAbstractItemModel::dataChanged, this, [this] { FollowGrid(); });
        connect(model, &QAbstractItemModel::modelReset, this, [this] { FollowGrid(); });
        connect(model, &QAbstractItemModel::layoutChanged, this, [this] { FollowGrid(); });
    }
    connect(&view_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { LoadRecord(GridModel::GridRow(index)); });

    auto button = [&](const char* suffix) {
        return panel.findChild<QPushButton*>(prefix + QString::fromUtf8(suffix));
    };
    if (QPushButton* add = button("pozycja_dodaj")) {
        add->setEnabled(true);
        connect(add, &QPushButton::clicked, this, [this] { Add(); });
    }
    if (QPushButton* remove = button("pozycja_kasuj")) {
        remove->setEnabled(true);
        connect(remove, &QPushButton::clicked, this, [this] { Remove(); });
    }
    const std::pair<RecordCommand, const char*> commands[] = {
        {RecordCommand::kModify, "pozycja_modyfikuj"},
        {RecordCommand::kDelete, "pozycja_usun"},
        {RecordCommand::kRead, "pozycja_odczyt"},
    };
    for (const auto& [command, suffix] : commands) {
        if (QPushButton* each = button(suffix)) {
            commandButtons_.emplace_back(command, each);
            connect(each, &QPushButton::clicked, this, [this, command] { Command(command); });
        }
    }
    UpdateCommandButtons();
}

const TableDescriptor& EditPanel::Table() const {
    return form_.Model().Table(kind_);
}

std::string EditPanel::TableName() const {
    return std::string(Table().tableName);
}

void EditPanel::UpdateCommandButtons() {
    const bool handled = static_cast<bool>(form_.RecordCommands());
    for (const auto& [command, button] : commandButtons_) {
        button->setEnabled(handled);
    }
}

std::vector<std::string> EditPanel::RowCells(const TextGrid& grid, int row) const {
    std::vector<std::string> cells;
    for (const Field& field : fields_) {
        cells.push_back(grid.Cell(field.col, row));
    }
    return cells;
}

void EditPanel::FollowGrid() {
    const TextGrid* grid = form_.Grid(TableName());
    if (shownRow_ < 1 || grid == nullptr) {
        return;
    }
    if (shownRow_ >= grid->RowCount()) {
        ClearFields();
        return;
    }
    if (RowCells(*grid, shownRow_) != shownCells_) {
        LoadRecord(shownRow_);
    }
}

void EditPanel::ClearFields() {
    shownRow_ = 0;
    shownCells_.clear();
    for (const Field& field : fields_) {
        if (auto* edit = qobject_cast<QLineEdit*>(field.control)) {
            edit->clear();
        } else if (auto* list = qobject_cast<QComboBox*>(field.control)) {
            list->setCurrentIndex(-1);
        } else if (auto* box = qobject_cast<QCheckBox*>(field.control)) {
            box->setChecked(false);
        }
    }
}

void EditPanel::LoadRecord(int row) {
    const TextGrid* grid = form_.Grid(TableName());
    if (grid == nullptr || row < 1 || row >= grid->RowCount()) {
        return;
    }
    shownRow_ = row;
    shownCells_ = RowCells(*grid, row);
    for (const Field& field : fields_) {
        const QString text = QString::fromStdString(grid->Cell(field.col, row));
        if (auto* edit = qobject_cast<QLineEdit*>(field.control)) {
            edit->setText(text);
        } else if (auto* list = qobject_cast<QComboBox*>(field.control)) {
            list->setCurrentIndex(text.isEmpty() ? -1 : list->findText(text));
        } else if (auto* box = qobject_cast<QCheckBox*>(field.control)) {
            box->setChecked(text == QStringLiteral("TAK"));
        }
    }
}

std::optional<int> EditPanel::RowOfNumber(bool tell) const {
    const QString text = number_ != nullptr ? number_->text() : QString();
    const std::optional<int64_t> number = RecordNumberOf(text);
    const int row = number ? RowOfRecordNumber(Table(), form_.MinPlu(), *number) : -1;
    if (row < 1) {
        if (tell) {
            form_.Ui().Message(form_.windowTitle().toStdString(),
                               RowOutOfRangeMessage(text.toStdString()));
        }
        return std::nullopt;
    }
    return row;
}

bool EditPanel::WriteFieldsToRow(int row) {
    TextGrid* grid = form_.Grid(TableName());
    std::vector<std::pair<int, std::string>> values;
    for (const Field& field : fields_) {
        if (field.col == 0) {
            continue;
        }
        QString text;
        if (auto* edit = qobject_cast<QLineEdit*>(field.control)) {
            text = edit->text();
        } else if (auto* list = qobject_cast<QComboBox*>(field.control)) {
            text = list->currentIndex() < 0 ? QString() : list->currentText();
        } else if (auto* box = qobject_cast<QCheckBox*>(field.control)) {
            text = box->isChecked() ? QStringLiteral("TAK") : QStringLiteral("NIE");
        }
        values.emplace_back(field.col, text.toStdString());
    }
    // The name (for keys the PLU number) makes a record: without it there is none to write.
    const bool named = std::any_of(values.begin(), values.end(), [](const auto& value) {
        return value.first == 1 && !value.second.empty();
    });
    if (!named) {
        form_.Ui().Message(form_.windowTitle().toStdString(), RecordWithoutNameMessage(Table()));
        return false;
    }
    for (auto& [col, text] : values) {
        grid->SetCell(col, row, std::move(text));
    }
    RowChanged(row);
    return true;
}

void EditPanel::RowChanged(int row) {
    const std::string name = TableName();
    if (GridModel* model = form_.GridModelOf(name)) {
        model->CellsChanged(0, row, model->Grid().ColCount() - 1, row);
    }
    form_.LayOutGrid(name);
}

void EditPanel::Add() {
    if (const std::optional<int> row = RowOfNumber(true)) {
        WriteFieldsToRow(*row);
    }
}

void EditPanel::Remove() {
    if (const std::optional<int> row = RowOfNumber(true)) {
        form_.Grid(TableName())->ClearRow(*row);
        RowChanged(*row);
    }
}

void EditPanel::Command(RecordCommand command) {
    const std::optional<int> row = RowOfNumber(true);
    if (!row || !form_.RecordCommands()) {
        return;
    }
    if (command == RecordCommand::kModify && !WriteFieldsToRow(*row)) {
        return;
    }
    // The handler may rebuild the pages, this panel with them.
    const QPointer<EditPanel> alive(this);
    const TableKind kind = kind_;
    form_.RecordCommands()(command, kind, *row);
    if (!alive) {
        return;
    }
    RowChanged(*row);
    if (command == RecordCommand::kRead) {
        LoadRecord(*row);
    }
}

void EditPanel::SelectRowOfNumber() {
    const std::optional<int> row = RowOfNumber(false);
    GridModel* model = form_.GridModelOf(TableName());
    if (!row || model == nullptr) {
        return;
    }
    view_.selectRow(*row - 1);
    if (kind_ == TableKind::kGoods) {
        const int top = *row <= kRowsAboveShownRecord ? 1 : *row - kRowsAboveShownRecord;
        view_.scrollTo(model->index(top - 1, 0), QAbstractItemView::PositionAtTop);
        view_.scrollTo(model->index(*row - 1, 0), QAbstractItemView::EnsureVisible);
    }
}

bool EditPanel::FieldKeyPress(QLineEdit& edit, const std::string& editName,
                              const QKeyEvent& event) {
    const QString typed = event.text();
    const bool control = event.modifiers().testFlag(Qt::ControlModifier) &&
                         !event.modifiers().testFlag(Qt::AltModifier);
    if (typed.isEmpty() || control || !typed.front().isPrint()) {
        return false;
    }
    QString text = edit.text();
    int at = edit.cursorPosition();
    if (edit.hasSelectedText()) {
        at = edit.selectionStart();
        text.remove(at, edit.selectedText().size());
    }
    for (const char32_t character : typed.toUcs4()) {
        const std::optional<FilterHint> hint =
            EditFieldKeyFilter(Table(), editName, text.toStdString(), character, form_.MinPlu(),
                               static_cast<size_t>(text.left(at).toUcs4().size()));
        if (hint) {
            keys_.ShowHint(edit, edit.rect(), *hint);
            return true;
        }
        const QString added = QString::fromUcs4(&character, 1);
        text.insert(at, added);
        at += static_cast<int>(added.size());
    }
    keys_.HideHint();
    return false;
}

bool EditPanel::eventFilter(QObject* watched, QEvent* event) {
    const auto field = std::find_if(fields_.begin(), fields_.end(),
                                    [watched](const Field& f) { return f.control == watched; });
    if (field == fields_.end()) {
        return QObject::eventFilter(watched, event);
    }
    switch (event->type()) {
        case QEvent::KeyPress:
            if (auto* edit = qobject_cast<QLineEdit*>(field->control)) {
                return FieldKeyPress(*edit, field->editName, static_cast<const QKeyEvent&>(*event));
            }
            break;
        case QEvent::MouseButtonPress:
        case QEvent::FocusOut:
            // A hint left behind a field the user has gone from would speak of nothing.
            keys_.HideHint();
            SelectRowOfNumber();
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kasa::gui
