// What the main window's source files share: the table slot and small control makers.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QString>
#include <string_view>

#include "gui/main/tecrform.h"

class QTableView;

namespace kasa::gui {

inline constexpr const char* kVatLetters = "ABCDEFG";

inline QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A tab page that scrolls when the window is smaller than its content, so that nothing is
// cut off; it takes the content's name, and the content gets "_tresc" after it.
QScrollArea* ScrollingPage(QWidget* content);
// A display field: a sunken label the program writes and the user can copy from.
QLabel* NewField(const QString& objectName, QWidget* parent, int minimumWidth = 120);
// A button that stays disabled until its handler is bound.
QPushButton* NewButton(const QString& objectName, const QString& caption, QWidget* parent);

struct TECRForm::TableSlot {
    TableKind kind = TableKind::kGoods;
    const TableDescriptor* table = nullptr;
    TextGrid grid;
    GridModel* model = nullptr;  // owned by the view
    QTableView* view = nullptr;  // owned by the page
    QWidget* editPanel = nullptr;
    QWidget* buttonPanel = nullptr;
};

}  // namespace kasa::gui
