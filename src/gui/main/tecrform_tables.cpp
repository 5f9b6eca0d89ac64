// The main window's table pages: a grid, its edit fields and its buttons for every table
// of the active register type, built from the catalogue.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/main/tecrform.h"
#include "gui/main/tecrform_internal.h"
#include "gui/tables/edit_panel.h"
#include "gui/tables/grid_key_handler.h"
#include "gui/tables/grid_model.h"

namespace kasa::gui {

namespace {

const char* const kGridHint =
    "Edycja jest możliwa poprzez wywołanie wiersza w dolnych polach,\na także bezpośrednio w "
    "tabeli. Zostały zaimplementowane klawisze:\nCtrlZ - cofanie zmian z głębokością 50 zmian "
    "dla każdej tabeli,\nCtrlX, CtrlC, CtrlV - działa (kasowanie, kopiowanie, wklejanie).\nPo "
    "zaznaczeniu wielu pól można klawiszem Del skasować je wszystkie.\nZmiana pól następuje "
    "kursorami oraz klawiszem Tab.\nZatwierdzenie klawiszem Enter. Działa Del oraz "
    "Backspace.\nPo każdym zatwierdzeniu zmian tabela jest formatowana.";
const char* const kNumberFieldHint =
    "Tym polem można wywołać i wpisać rekord do pól edycyjnych.\nProszę wspisac odpowiedni "
    "numer i nacisnąc klawisz Enter";
const char* const kGoodsReadHint =
    "Odczyt bazy danych towarów.\nProgram wczytuje kilka formatów.\n1. Odczyt z pliku z "
    "parametrami *.pod\n2. Odczyt z pliku CSV *.csv\n3. Odczyt z pliku tekstowego "
    "*.txt\nPliki formatu wewnętrznego zawierają wszystkie\ninformacje. Pliki pozostałych "
    "posiadają tylko\ninformacje najważniejsze. Program dopasowuje się\nautomatycznie do "
    "znaków separacji ; oraz Tab.";
const char* const kGoodsSaveHint =
    "Zapis bazy danych towarów.\nProgram zapisuje w 3 formatach:\n1. format wewnętrzny - "
    "format wewnętrzny programu,\n2. pliki *.csv separatorem jest średnik,\n3. pliki *.txt "
    "separatorem jest znak tabulacji.\n";

// The grid tables' pages, in tab order, each with the tables it shows.
struct PageContent {
    const char* title;
    std::vector<TableKind> kinds;
};
const PageContent kTablePages[] = {
    {"Towary (PLU)", {TableKind::kGoods}},
    {"Opakowania", {TableKind::kPackaging}},
    {"Klawisze", {TableKind::kKeys}},
    {"Kasjerzy", {TableKind::kCashiers}},
    {"Rabaty i dopłaty", {TableKind::kDiscounts, TableKind::kSurcharges}},
    {"Formy płatności", {TableKind::kPaymentForms}},
};

}  // namespace

QWidget* TECRForm::BuildTablePage(const std::vector<TableKind>& kinds) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    // Two tables on one page get a tab each: one above the other, neither grid would show
    // enough rows at the smallest window size.
    QTabWidget* inner = nullptr;
    if (kinds.size() > 1) {
        inner = new QTabWidget(page);
        layout->addWidget(inner);
    }
    for (const TableKind kind : kinds) {
        const TableDescriptor& table = model_->Table(kind);
        const std::string name(table.tableName);
        if (page->objectName().isEmpty()) {
            page->setObjectName(Q(name) + QStringLiteral("_strona"));
        }
        auto slot = std::make_unique<TableSlot>();
        slot->kind = kind;
        slot->table = &table;
        SetUpGrid(slot->grid, table, true, true, minPlu_);
        if (inner != nullptr) {
            QWidget* block = BuildTableBlock(*slot, inner);
            block->layout()->setContentsMargins(6, 6, 6, 6);
            inner->addTab(block, kind == TableKind::kSurcharges ? QStringLiteral("Dopłaty")
                                                                : QStringLiteral("Rabaty"));
        } else {
            layout->addWidget(BuildTableBlock(*slot, page), 1);
        }
        slots_.emplace(name, std::move(slot));
    }
    return page;
}

QWidget* TECRForm::BuildTableBlock(TableSlot& slot, QWidget* page) {
    const TableDescriptor& table = *slot.table;
    const QString name = Q(table.tableName);
    auto* block = new QWidget(page);

    slot.view = new QTableView(block);
    slot.view->setObjectName(name + QStringLiteral("_T"));
    slot.view->setToolTip(QString::fromUtf8(kGridHint));
    // One rectangle of cells, as Delete empties; the grid takes its keys itself.
    slot.view->setSelectionMode(QAbstractItemView::ContiguousSelection);
    slot.view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    slot.view->setWordWrap(false);
    slot.model = new GridModel(slot.grid, slot.view);
    slot.view->setModel(slot.model);
    gridKeys_->AttachGrid(*slot.view);

    slot.editPanel = BuildEditPanel(table, block);
    new EditPanel(*this, *gridKeys_, slot.kind, *slot.editPanel, *slot.view);
    slot.buttonPanel = BuildButtonPanel(slot.kind, table, block);

    auto* left = new QVBoxLayout;
    left->addWidget(slot.view, 1);
    left->addWidget(slot.editPanel);
    auto* layout = new QHBoxLayout(block);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 1);
    layout->addWidget(slot.buttonPanel);
    return block;
}

QWidget* TECRForm::BuildEditPanel(const TableDescriptor& table, QWidget* parent) {
    const QString tableName = Q(table.tableName);
    auto* panel = new QGroupBox(QStringLiteral("Edycja pozycji"), parent);
    panel->setObjectName(tableName + QStringLiteral("_edycja"));
    auto* fields = new QGridLayout;
    // Four fields to a row leave the grid beside the button column room at 1024×700.
    constexpr int kFieldsPerRow = 4;
    int placed = 0;
    for (const FieldDescriptor& field : table.fields) {
        if (field.key.empty()) {
            break;
        }
        if (field.editName.empty()) {
            continue;
        }
        const QString editName = Q(field.editName);
        const QString objectName = tableName + QLatin1Char('_') + editName;
        QWidget* control = nullptr;
        switch (editName.front().toLatin1()) {
            case 'b': {
                auto* list = new QComboBox(panel);
                for (const char* letter = kVatLetters; *letter != 0; ++letter) {
                    list->addItem(QString(QLatin1Char(*letter)));
                }
                list->setCurrentIndex(-1);
                control = list;
                break;
            }
            case 'c':
                control = new QCheckBox(panel);
                break;
            default: {
                auto* edit = new QLineEdit(panel);
                if (field.format == kFormatRecordNumber) {
                    edit->setToolTip(QString::fromUtf8(kNumberFieldHint));
                    edit->setMaximumWidth(90);
                } else if (field.key == "NAZ") {
                    edit->setToolTip(QString::fromStdString(NameHintText(table)));
                }
                control = edit;
                break;
            }
        }
        control->setObjectName(objectName);
        const QString caption =
            field.format == kFormatRecordNumber ? QStringLiteral("Numer") : Q(field.title);
        auto* label = new QLabel(caption, panel);
        label->setBuddy(control);
        const int row = (placed / kFieldsPerRow) * 2;
        const int col = placed % kFieldsPerRow;
        fields->addWidget(label, row, col);
        fields->addWidget(control, row + 1, col);
        ++placed;
    }

    // Three buttons to a row keep the panel narrow enough for the usual screens.
    auto* buttons = new QGridLayout;
    constexpr int kButtonsPerRow = 3;
    struct RowButton {
        const char* suffix;
        const char* caption;
        const char* hint;
    };
    const RowButton rowButtons[] = {
        {"_pozycja_dodaj", "Dodaj pozycję w Tabeli", nullptr},
        {"_pozycja_kasuj", "Usuń pozycję w Tabeli", nullptr},
        {"_pozycja_modyfikuj", "Zapisz w Kasie", "Modyfikuj"},
        {"_pozycja_usun", "Usuń z Kasy", nullptr},
        {"_pozycja_odczyt", "Odczyt wiersza", "Odczyt pozycji z kasy"},
    };
    int buttonIndex = 0;
    for (const RowButton& rowButton : rowButtons) {
        QPushButton* button = NewButton(tableName + QString::fromUtf8(rowButton.suffix),
                                        QString::fromUtf8(rowButton.caption), panel);
        if (rowButton.hint != nullptr) {
            button->setToolTip(QString::fromUtf8(rowButton.hint));
        }
        buttons->addWidget(button, buttonIndex / kButtonsPerRow, buttonIndex % kButtonsPerRow);
        ++buttonIndex;
    }
    buttons->setColumnStretch(kButtonsPerRow, 1);

    auto* layout = new QGridLayout(panel);
    layout->addLayout(fields, 0, 0);
    layout->addLayout(buttons, 1, 0);

    // The goods' derived values for the record being edited, where the type keeps them.
    if (IsGoodsTable(table) && table.ColumnOfKey("WAR") > 0 && table.ColumnOfKey("MWA") > 0) {
        auto* recalc = new QGroupBox(QStringLiteral("Przelicz"), panel);
        recalc->setObjectName(QStringLiteral("PLU_przelicz"));
        recalc->setToolTip(QStringLiteral("Przelicza wybrane wartości w bieżącym wierszu."));
        auto* stock = new QCheckBox(QStringLiteral("Wartość magazyn."), recalc);
        stock->setObjectName("PLU_przelicz_magazyn");
        auto* sold = new QCheckBox(QStringLiteral("Wartość sprzed."), recalc);
        sold->setObjectName("PLU_przelicz_sprzedaz");
        auto* recalcLayout = new QVBoxLayout(recalc);
        recalcLayout->addWidget(stock);
        recalcLayout->addWidget(sold);
        recalcLayout->addWidget(NewButton(QStringLiteral("PLU_przelicz_pozycje"),
                                          QStringLiteral("Przelicz pozycję"), recalc));
        layout->addWidget(recalc, 0, 1, 2, 1, Qt::AlignTop);
    }
    return panel;
}

QWidget* TECRForm::BuildButtonPanel(TableKind kind, const TableDescriptor& table, QWidget* parent) {
    const QString tableName = Q(table.tableName);
    auto* panel = new QWidget(parent);
    panel->setObjectName(tableName + QStringLiteral("_button"));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    // The goods' column is as tall as the page at the smallest window size: tight spacing.
    layout->setSpacing(4);
    auto add = [&](const char* suffix, const char* caption) {
        QPushButton* button =
            NewButton(tableName + QString::fromUtf8(suffix), QString::fromUtf8(caption), panel);
        layout->addWidget(button);
        return button;
    };

    // The register side of discounts and surcharges is one database: their buttons are
    // the discounts' only.
    if (kind != TableKind::kSurcharges) {
        add("_odczyt_kasa", "Odczyt z Kasy");
        add("_zapis_kasa", "Zapis do Kasy");
        if (kind == TableKind::kGoods) {
            add("_odczyt_zakres_kasa", "Odczyt zakresu z Kasy");
            add("_zapis_zakres_kasa", "Zapis zakresu do Kasy");
            // The longest captions take two lines, so that the column leaves the grid room.
            add("_odczyt_zaznaczenie", "Odczytaj zaznaczone\nwiersze z Kasy");
            add("_zapis_zaznaczenie", "Zapisz zaznaczone\nwiersze do Kasy");
            add("_czysc_zakres", "Czyść zakres PLU");
        }
        add("_kasuj", "Kasuj Bazę w Kasie");
        layout->addSpacing(8);
    }
    QPushButton* read = add("_odczyt", "Odczytaj Bazę z pliku");
    QPushButton* save = add("_zapis", "Zapisz Bazę do pliku");
    if (kind == TableKind::kGoods) {
        read->setToolTip(QString::fromUtf8(kGoodsReadHint));
        save->setToolTip(QString::fromUtf8(kGoodsSaveHint));
    }
    layout->addSpacing(8);
    add("_drukuj", "Drukuj tabelę");

    if (kind == TableKind::kGoods && table.ColumnOfKey("WAR") > 0 && table.ColumnOfKey("MWA") > 0) {
        auto* recalc = new QGroupBox(QStringLiteral("Przelicz w Tabeli"), panel);
        recalc->setObjectName("PLU_przelicz_tabela");
        recalc->setToolTip(QStringLiteral("Przelicza wybrane wartości w całej bazie towarowej."));
        auto* recalcLayout = new QVBoxLayout(recalc);
        auto* stock = new QCheckBox(QStringLiteral("Wartość magazyn."), recalc);
        stock->setObjectName("PLU_przelicz_tabela_magazyn");
        auto* sold = new QCheckBox(QStringLiteral("Wartość sprzed."), recalc);
        sold->setObjectName("PLU_przelicz_tabela_sprzedaz");
        recalcLayout->addWidget(stock);
        recalcLayout->addWidget(sold);
        recalcLayout->addWidget(NewButton(QStringLiteral("PLU_przelicz_baze"),
                                          QStringLiteral("Przelicz Bazę"), recalc));
        layout->addWidget(recalc);
    }
    if (kind == TableKind::kPackaging && table.ColumnOfKey("SAL") > 0) {
        auto* balance = new QGroupBox(QStringLiteral("Przelicz Saldo"), panel);
        balance->setObjectName("Opakowania_przelicz_saldo");
        balance->setToolTip(QStringLiteral("Przelicza saldo na bieżąco w Tabeli."));
        auto* balanceLayout = new QVBoxLayout(balance);
        auto* live = new QCheckBox(QStringLiteral("Przeliczaj saldo"), balance);
        live->setObjectName("Opakowania_przeliczaj_saldo");
        balanceLayout->addWidget(live);
        balanceLayout->addWidget(NewButton(QStringLiteral("Opakowania_przelicz_baze"),
                                           QStringLiteral("Przelicz całą Bazę"), balance));
        layout->addWidget(balance);
    }
    layout->addStretch();
    return panel;
}

// --- Tables ---

void TECRForm::RebuildTables(int minPlu) {
    model_ = ActiveModel() != nullptr ? ActiveModel() : &VesperModel();
    minPlu_ = ClampMinPlu(minPlu);
    const int current = tabs_->currentIndex();
    gridKeys_->GridsRebuilt();

    for (QWidget* page : tablePages_) {
        tabs_->removeTab(tabs_->indexOf(page));
        qDeleteAll(page->findChildren<EditPanel*>());
        delete page;
    }
    tablePages_.clear();
    slots_.clear();

    int at = tabs_->indexOf(infoPage_) + 1;
    for (const PageContent& content : kTablePages) {
        QWidget* page = ScrollingPage(BuildTablePage(content.kinds));
        tabs_->insertTab(at++, page, QString::fromUtf8(content.title));
        tablePages_.push_back(page);
        ApplyFontsToPage(page);
        ApplyHintTime(page);
    }
    for (auto& [name, slot] : slots_) {
        ApplyGridLayout(*slot->view, slot->grid);
    }

    // The tables without a grid keep their values in edit controls: cleared as well.
    for (int n = 1; n <= kHeaderLineEdits; ++n) {
        ControlAs<QLineEdit>(QStringLiteral("Line%1").arg(n))->clear();
        for (const char* box : {"CLine", "BLine", "DLine"}) {
            ControlAs<QCheckBox>(QString::fromUtf8(box) + QString::number(n))->setChecked(false);
        }
    }
    for (const char* letter = kVatLetters; *letter != 0; ++letter) {
        ControlAs<QLineEdit>(QStringLiteral("E_Vat") + QLatin1Char(*letter))->clear();
    }
    ShowHeaderLines();
    ShowPanels();
    tabs_->setCurrentIndex(std::clamp(current, 0, tabs_->count() - 1));
    emit tablesRebuilt();
}

void TECRForm::ShowHeaderLines() {
    const TableDescriptor& header = model_->Table(TableKind::kHeader);
    headerLines_ = 0;
    for (const FieldDescriptor& field : header.fields) {
        if (!field.editName.empty()) {
            ++headerLines_;
        }
    }
    headerLines_ = std::min(headerLines_, kHeaderLineEdits);
    for (int n = 1; n <= kHeaderLineEdits; ++n) {
        const bool shown = n <= headerLines_;
        for (const char* prefix : {"LineLabel", "Line", "CLine", "BLine", "DLine"}) {
            Control(QString::fromUtf8(prefix) + QString::number(n))->setVisible(shown);
        }
    }
    ControlAs<QLabel>(QStringLiteral("Naglowek_suma"))
        ->setToolTip(QString::fromStdString(HeaderTotalHintText(header)));
}

TECRForm::TableSlot* TECRForm::SlotOf(std::string_view tableName) {
    const auto it = slots_.find(tableName);
    return it == slots_.end() ? nullptr : it->second.get();
}

TextGrid* TECRForm::Grid(std::string_view tableName) {
    TableSlot* slot = SlotOf(tableName);
    return slot != nullptr ? &slot->grid : nullptr;
}

GridModel* TECRForm::GridModelOf(std::string_view tableName) {
    TableSlot* slot = SlotOf(tableName);
    return slot != nullptr ? slot->model : nullptr;
}

QTableView* TECRForm::GridView(std::string_view tableName) {
    TableSlot* slot = SlotOf(tableName);
    return slot != nullptr ? slot->view : nullptr;
}

void TECRForm::LayOutGrid(std::string_view tableName) {
    TableSlot* slot = SlotOf(tableName);
    if (slot == nullptr) {
        return;
    }
    // Discounts and surcharges share a page and are laid out together.
    std::vector<TableSlot*> together{slot};
    if (slot->kind == TableKind::kDiscounts || slot->kind == TableKind::kSurcharges) {
        together.clear();
        for (TableKind kind : {TableKind::kDiscounts, TableKind::kSurcharges}) {
            if (TableSlot* other = SlotOf(model_->Table(kind).tableName)) {
                together.push_back(other);
            }
        }
    }
    for (TableSlot* each : together) {
        ApplyGridLayout(*each->view, each->grid);
    }
}

QWidget* TECRForm::EditControl(std::string_view tableName, std::string_view editName) const {
    const QString name = Q(editName);
    const TableDescriptor* table = FindTable(*model_, tableName);
    // The header lines and VAT rates are named by their edit names alone.
    if (table != nullptr && table->FieldCount() == 0) {
        return Control(name);
    }
    return Control(Q(tableName) + QLatin1Char('_') + name);
}

}  // namespace kasa::gui
