#include "gui/tecrform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/grid_model.h"
#include "gui/opis_bledow_form.h"
#include "gui/qt_user_interface.h"
#include "gui/ustawienie_kasy_form.h"
#include "gui/ustawienie_programu_form.h"

namespace kasa::gui {

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
const char* const kVatLetters = "ABCDEFG";

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

struct MenuItem {
    const char* caption;
    const char* objectName;
    const char* hint;
};
struct MenuContent {
    const char* caption;
    const char* objectName;
    const char* hint;
    std::vector<MenuItem> items;  // an item without caption is a separator
};

const MenuContent kMenus[] = {
    {"&Plik",
     "Plik1",
     nullptr,
     {{"&Ładuj wszystko z pliku", "Ladujwszystkozpliku1", nullptr},
      {"&Zachowaj wszystko do pliku", "Zachowajwszystkodopliku1", nullptr},
      {nullptr, nullptr, nullptr},
      {"Odczyt &wszystkich danych z kasy", "Odczytwszystkichdanychzkasy1", nullptr},
      {"Odczyt &danych bez PLU", "OdczytdanychbezPLU1", nullptr},
      {nullptr, nullptr, nullptr},
      {"&Koniec", "Koniec1", nullptr}}},
    {"&Serwis",
     "Serwis1",
     nullptr,
     {{"&Start/Stop komunikacji", "StartStopkomunikacji1", nullptr},
      {"&Pobierz informacje kasowe", "Pobierzinformacjekasowe1", nullptr},
      {"&Odczyt Pamieci Fiskalnej", "OdczytPamieciFiskalnej1", nullptr},
      {"Odczy&t zegara", "Odczytzegara1", nullptr},
      {"Programuj ze&gar", "Programujzegar1", nullptr}}},
    {"&Konfiguracja",
     "Konfiguracja1",
     nullptr,
     {{"&Programu", "Programu1", nullptr},
      {"&Kasy", "Kasy1", nullptr},
      {"&Drukowania", "Drukowania1", nullptr}}},
    {"P&LU",
     "PLU1",
     "Dodatkowe funkcje operujące tylko na tabeli nazw towarów PLU.",
     {{"&Sprawdź unikalność nazwy", "Sprawdzunikalnoscnazwy1", "Sprawdzenie unikalności nazw."},
      {"Skróć &nazwy", "Skrocnazwy1", "Skraca nazwy towaru do podanej wartości."},
      {"&Mnożnik cen", "Mnoznikcen1", "Mnozy wszystkie ceny o podaną wartość."},
      {"Sortuj &A do Z", "SortujAdoZ1", "Sortowanie tabeli od A do Z według nazw towaru."},
      {"Sortuj &Z do A", "SortujZdoA1", "Sortowanie tabeli od Z do A według nazw towaru."},
      {"&Kompaktuj", "Kompaktuj1",
       "Dosunięcie wierszy z nazwami towaru tak, aby nie było pustych miejsc."},
      {"&Usuń znak + w kodach kreskowych", "Usunznakwkodachkreskowych1",
       "Usuwa ostatni znak + w kodzie kreskowym towaru."},
      {"&Weryfikacja sumy EAN13", "WeryfikacjasumyEAN131", nullptr},
      {"Ustaw sumę &EAN13", "UstawsumeEAN131", nullptr},
      {"Weryfikacja unikalności EA&N13", "WeryfikacjaunikalnosciEAN131", nullptr},
      {nullptr, nullptr, nullptr},
      {"&Drukuj tabelę PLU", "DrukujtabelePLU1", nullptr}}},
    {"&Dodatki",
     "Dodatki1",
     nullptr,
     {{"We&ryfikacja dokumentu", "Weryfikacjadokumentu1", nullptr},
      {"Podg&ląd trasmisji", "Podgladtrasmisji1",
       "Wywołanie okna podsłuchu transmisji. Cała transmisja do kasy jest wyświetlana w tym "
       "oknie."},
      {"&Porty szeregowe", "Portyszeregowe1", nullptr},
      {"Pamięć &fiskalna", "Pamiecfiskalna1", nullptr},
      {"&Kody błędów", "Kodybledow1", nullptr},
      {"&Wysyłanie plików", "Wysylanieplikow1", nullptr},
      {"Edytor &SEQ", "EdytorSEQ1", nullptr},
      {"Edytor &BIN", "EdytorBIN1", nullptr}}},
};

// Delays the hints by the pause the settings give.
class HintStyle : public QProxyStyle {
  public:
    int wakeUpMs = 500;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ToolTip_WakeUpDelay) {
            return wakeUpMs;
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QLabel* NewField(const QString& objectName, QWidget* parent, int minimumWidth = 120) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    label->setMinimumWidth(minimumWidth);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QPushButton* NewButton(const QString& objectName, const QString& caption, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setEnabled(false);
    return button;
}

}  // namespace

struct TECRForm::TableSlot {
    TableKind kind = TableKind::kGoods;
    const TableDescriptor* table = nullptr;
    TextGrid grid;
    GridModel* model = nullptr;  // owned by the view
    QTableView* view = nullptr;  // owned by the page
    QWidget* editPanel = nullptr;
    QWidget* buttonPanel = nullptr;
};

TECRForm::TECRForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("ECRForm");
    setWindowTitle(QStringLiteral("Program serwisowy kas"));
    resize(1280, 800);
    fonts_ = DefaultFonts();

    BuildCentral();
    ui_ = new QtUserInterface(this, progress_, info_, this);
    BuildMenu();

    timer2_ = new QTimer(this);
    timer2_->setObjectName("Timer2");
    timer2_->setInterval(kStartGuardMs);
    timer2_->setSingleShot(true);
    connect(timer2_, &QTimer::timeout, this, [this] { startGuard_ = false; });
    clockTimer_ = new QTimer(this);
    clockTimer_->setObjectName("TClock");
    clockTimer_->setInterval(kClockTickMs);

    programSettings_ = new TUstawienieProgramuForm(*ui_, this);
    registerSettings_ = new TUstawienieKasyForm(this);
    errorCodes_ = new TOpisBledowForm(this);
    connect(programSettings_, &TUstawienieProgramuForm::registerTypeChanged, this,
            &TECRForm::RegisterTypeChosen);
    connect(programSettings_, &TUstawienieProgramuForm::fontsChanged, this,
            [this] { ApplyFonts(programSettings_->Values().fonts); });
    connect(programSettings_, &TUstawienieProgramuForm::valuesChanged, this,
            [this] { ApplyDisplaySwitches(programSettings_->Values()); });
    BindAction(QStringLiteral("&Programu"), [this] { ShowToolWindow(programSettings_); });
    BindAction(QStringLiteral("&Kasy"), [this] { ShowToolWindow(registerSettings_); });
    BindAction(QStringLiteral("&Kody błędów"), [this] { ShowToolWindow(errorCodes_); });
    BindAction(QStringLiteral("&Koniec"), [this] { Koniec(); });

    qApp->installEventFilter(this);
    RebuildTables(1);
    SetCommunicationStarted(false);
    ApplyFonts(fonts_);
}

TECRForm::~TECRForm() {
    // The pages own the models, which refer to the grids: they go first.
    for (QWidget* page : tablePages_) {
        delete page;
    }
    tablePages_.clear();
}

// --- Building ---

void TECRForm::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    for (const MenuContent& content : kMenus) {
        QMenu* menu = bar->addMenu(QString::fromUtf8(content.caption));
        menu->setObjectName(content.objectName);
        menu->setToolTipsVisible(true);
        if (content.hint != nullptr) {
            menu->menuAction()->setToolTip(QString::fromUtf8(content.hint));
            menu->menuAction()->setStatusTip(QString::fromUtf8(content.hint));
        }
        for (const MenuItem& item : content.items) {
            if (item.caption == nullptr) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(QString::fromUtf8(item.caption));
            action->setObjectName(item.objectName);
            if (item.hint != nullptr) {
                action->setToolTip(QString::fromUtf8(item.hint));
                action->setStatusTip(QString::fromUtf8(item.hint));
            }
            action->setEnabled(false);
            actions_.push_back(action);
        }
    }
    if (QAction* startStop = MenuAction(QStringLiteral("&Start/Stop komunikacji"))) {
        startStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    }
}

void TECRForm::BuildCentral() {
    auto* central = new QWidget(this);
    central->setObjectName("Panel1");
    tabs_ = new QTabWidget(central);
    tabs_->setObjectName("PageControl1");
    infoPage_ = BuildInformationPage();
    tabs_->addTab(infoPage_, QStringLiteral("Informacje o kasie"));
    headerPage_ = BuildHeaderPage();
    tabs_->addTab(headerPage_, QStringLiteral("Nagłówek"));

    // The communication and the commands that concern all tables, beside the pages.
    auto* side = new QWidget(central);
    side->setObjectName("PanelKomunikacja");
    commButton_ = NewButton(QStringLiteral("Komunikacja_Btn"), QString(), side);
    commButton_->setMinimumHeight(64);
    auto* all = NewButton(QStringLiteral("All"), QStringLiteral("Odczytaj\nwszystko"), side);
    all->setMinimumHeight(64);
    auto* verify = NewButton(QStringLiteral("Weryfikacja"), QStringLiteral("Weryfikacja"), side);
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->addWidget(commButton_);
    sideLayout->addWidget(all);
    sideLayout->addWidget(verify);
    sideLayout->addStretch();

    progress_ = new QProgressBar(central);
    progress_->setObjectName("Postep");
    progress_->setRange(0, 100);
    progress_->reset();
    info_ = new QLabel(central);
    info_->setObjectName("Info");
    info_->setMinimumWidth(300);

    auto* top = new QHBoxLayout;
    top->addWidget(tabs_, 1);
    top->addWidget(side);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(progress_, 1);
    bottom->addWidget(info_, 1);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    setCentralWidget(central);
}

QWidget* TECRForm::BuildInformationPage() {
    auto* page = new QWidget;
    page->setObjectName("Informacje_strona");

    // The register's identity, status flags and clock.
    auto* infoGroup = new QGroupBox(QStringLiteral("Informacje o kasie"), page);
    infoGroup->setObjectName("Informacje");
    auto* infoLayout = new QGridLayout(infoGroup);
    int row = 0;
    auto addField = [&](const QString& caption, const QString& name) {
        auto* label = new QLabel(caption, infoGroup);
        QLabel* field = NewField(name, infoGroup, 220);
        label->setBuddy(field);
        infoLayout->addWidget(label, row, 0);
        infoLayout->addWidget(field, row, 1, 1, 2);
        ++row;
    };
    addField(QStringLiteral("Typ kasy"), QStringLiteral("Kasa"));
    addField(QStringLiteral("Numer fabryczny"), QStringLiteral("NrFabryczny"));
    addField(QStringLiteral("Data i czas w kasie"), QStringLiteral("eClock"));
    struct Flag {
        const char* name;
        const char* caption;
    };
    const Flag flags[] = {{"ST_ErrorRS", "Error RS"},
                          {"ST_Fiscal", "Fiskalny"},
                          {"ST_Grosze", "grosze"},
                          {"ST_Trasmit", "Transmisja"},
                          {"ST_Online", "Online"}};
    auto* flagBox = new QWidget(infoGroup);
    auto* flagLayout = new QHBoxLayout(flagBox);
    flagLayout->setContentsMargins(0, 0, 0, 0);
    for (const Flag& flag : flags) {
        auto* box = new QCheckBox(QString::fromUtf8(flag.caption), flagBox);
        box->setObjectName(flag.name);
        box->setEnabled(false);  // the register's flags are shown, not set, here
        flagLayout->addWidget(box);
    }
    flagLayout->addStretch();
    infoLayout->addWidget(new QLabel(QStringLiteral("Status"), infoGroup), row, 0);
    infoLayout->addWidget(flagBox, row, 1, 1, 2);
    ++row;
    auto* lastPf = new QLabel(QStringLiteral("Ostatni zapis "), infoGroup);
    lastPf->setObjectName("ST_LastPF");
    infoLayout->addWidget(lastPf, row, 1, 1, 2);
    ++row;

    // Totals and counters since the last daily report.
    auto* totalsGroup = new QGroupBox(QStringLiteral("Totalizery"), page);
    totalsGroup->setObjectName("Totalizery");
    auto* totalsLayout = new QGridLayout(totalsGroup);
    for (int i = 0; i < 7; ++i) {
        const QChar letter = QLatin1Char(kVatLetters[i]);
        auto* label = new QLabel(letter, totalsGroup);
        QLabel* field = NewField(QStringLiteral("Tot_") + letter, totalsGroup);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        totalsLayout->addWidget(label, i, 0);
        totalsLayout->addWidget(field, i, 1);
    }
    struct Counter {
        const char* name;
        const char* caption;
    };
    const Counter counters[] = {{"NumerParagonu", "Numer paragonu"},
                                {"ZmianyBazy", "Zmiany bazy"},
                                {"AnulowaneParagony", "Anulowane paragony"},
                                {"KwotaAnulowanych", "Kwota anulowanych"}};
    int counterRow = 0;
    for (const Counter& counter : counters) {
        auto* label = new QLabel(QString::fromUtf8(counter.caption), totalsGroup);
        QLabel* field = NewField(QString::fromUtf8(counter.name), totalsGroup);
        field->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setBuddy(field);
        totalsLayout->addWidget(label, counterRow, 2);
        totalsLayout->addWidget(field, counterRow, 3);
        ++counterRow;
    }

    // VAT rates: as read from the register, and the new ones to program.
    auto* vatGroup = new QGroupBox(QStringLiteral("Stawki VAT"), page);
    vatGroup->setObjectName("StawkiVAT");
    auto* vatLayout = new QGridLayout(vatGroup);
    vatLayout->addWidget(new QLabel(QStringLiteral("W kasie"), vatGroup), 0, 1);
    vatLayout->addWidget(new QLabel(QStringLiteral("Nowa stawka"), vatGroup), 0, 2);
    for (int i = 0; i < 7; ++i) {
        const QChar letter = QLatin1Char(kVatLetters[i]);
        auto* label = new QLabel(letter, vatGroup);
        QLabel* current = NewField(QStringLiteral("EVat") + letter, vatGroup, 80);
        current->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* edit = new QLineEdit(vatGroup);
        edit->setObjectName(QStringLiteral("E_Vat") + letter);
        edit->setMaximumWidth(120);
        label->setBuddy(edit);
        vatLayout->addWidget(label, i + 1, 0);
        vatLayout->addWidget(current, i + 1, 1);
        vatLayout->addWidget(edit, i + 1, 2);
    }
    auto* vatButtons = new QHBoxLayout;
    vatButtons->addWidget(NewButton(QStringLiteral("StawkiVAT_odczyt_kasa"),
                                    QStringLiteral("Odczyt z Kasy"), vatGroup));
    vatButtons->addWidget(NewButton(QStringLiteral("StawkiVAT_zapis_kasa"),
                                    QStringLiteral("Zapis do Kasy"), vatGroup));
    vatLayout->addLayout(vatButtons, 8, 0, 1, 3);

    auto* left = new QVBoxLayout;
    left->addWidget(infoGroup);
    left->addWidget(totalsGroup);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(vatGroup);
    right->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    return page;
}

QWidget* TECRForm::BuildHeaderPage() {
    auto* page = new QWidget;
    page->setObjectName("Naglowek_strona");
    auto* group = new QGroupBox(QStringLiteral("Nagłówek paragonu"), page);
    group->setObjectName("Naglowek");
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Tekst linii"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Centr."), group), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Podw."), group), 0, 3);
    grid->addWidget(new QLabel(QStringLiteral("Grub."), group), 0, 4);
    for (int n = 1; n <= kHeaderLineEdits; ++n) {
        auto* label = new QLabel(QStringLiteral("Linia %1").arg(n), group);
        label->setObjectName(QStringLiteral("LineLabel%1").arg(n));
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QStringLiteral("Line%1").arg(n));
        edit->setMinimumWidth(420);
        label->setBuddy(edit);
        auto* centre = new QCheckBox(group);
        centre->setObjectName(QStringLiteral("CLine%1").arg(n));
        centre->setToolTip(QStringLiteral("Centrowanie linni."));
        auto* tall = new QCheckBox(group);
        tall->setObjectName(QStringLiteral("BLine%1").arg(n));
        tall->setToolTip(QStringLiteral("Zmiana wysokości linii na podwójną."));
        auto* heavy = new QCheckBox(group);
        heavy->setObjectName(QStringLiteral("DLine%1").arg(n));
        heavy->setToolTip(QStringLiteral("Zmiana grubości znaku."));
        grid->addWidget(label, n, 0);
        grid->addWidget(edit, n, 1);
        grid->addWidget(centre, n, 2);
        grid->addWidget(tall, n, 3);
        grid->addWidget(heavy, n, 4);
    }
    auto* total = new QLabel(group);
    total->setObjectName("Naglowek_suma");
    grid->addWidget(total, kHeaderLineEdits + 1, 1);

    auto* buttons = new QWidget(page);
    buttons->setObjectName("Naglowek_button");
    auto* buttonLayout = new QVBoxLayout(buttons);
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_odczyt_kasa"),
                                      QStringLiteral("Odczyt z Kasy"), buttons));
    buttonLayout->addWidget(
        NewButton(QStringLiteral("Naglowek_zapis_kasa"), QStringLiteral("Zapis do Kasy"), buttons));
    buttonLayout->addWidget(
        NewButton(QStringLiteral("Naglowek_formatuj"), QStringLiteral("Formatuj"), buttons));
    buttonLayout->addSpacing(12);
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_odczyt"),
                                      QStringLiteral("Odczytaj Bazę z pliku"), buttons));
    buttonLayout->addWidget(NewButton(QStringLiteral("Naglowek_zapis"),
                                      QStringLiteral("Zapisz Bazę do pliku"), buttons));
    buttonLayout->addStretch();

    auto* left = new QVBoxLayout;
    left->addWidget(group);
    left->addStretch();
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addWidget(buttons);
    return page;
}

QWidget* TECRForm::BuildTablePage(const std::vector<TableKind>& kinds) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
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
        if (kinds.size() > 1) {
            auto* title = new QLabel(kind == TableKind::kSurcharges ? QStringLiteral("Dopłaty")
                                                                    : QStringLiteral("Rabaty"),
                                     page);
            title->setObjectName(Q(name) + QStringLiteral("_tytul"));
            layout->addWidget(title);
        }
        layout->addWidget(BuildTableBlock(*slot, page), 1);
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
    slot.view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    slot.view->setEditTriggers(QAbstractItemView::DoubleClicked |
                               QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    slot.view->setWordWrap(false);
    slot.model = new GridModel(slot.grid, slot.view);
    slot.view->setModel(slot.model);
    const std::string tableName(table.tableName);
    connect(slot.model, &GridModel::cellEdited, this,
            [this, tableName](int, int) { LayOutGrid(tableName); });

    slot.editPanel = BuildEditPanel(table, block);
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
    constexpr int kFieldsPerRow = 6;
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
            add("_odczyt_zaznaczenie", "Odczytaj zaznaczone wiersze z Kasy");
            add("_zapis_zaznaczenie", "Zapisz zaznaczone wiersze do Kasy");
            add("_czysc_zakres", "Czyść zakres PLU");
        }
        add("_kasuj", "Kasuj Bazę w Kasie");
        layout->addSpacing(12);
    }
    QPushButton* read = add("_odczyt", "Odczytaj Bazę z pliku");
    QPushButton* save = add("_zapis", "Zapisz Bazę do pliku");
    if (kind == TableKind::kGoods) {
        read->setToolTip(QString::fromUtf8(kGoodsReadHint));
        save->setToolTip(QString::fromUtf8(kGoodsSaveHint));
    }
    if (kind == TableKind::kGoods || kind == TableKind::kCashiers) {
        layout->addSpacing(12);
        add("_drukuj", "Drukuj tabelę");
    }

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

    for (QWidget* page : tablePages_) {
        tabs_->removeTab(tabs_->indexOf(page));
        delete page;
    }
    tablePages_.clear();
    slots_.clear();

    int at = tabs_->indexOf(infoPage_) + 1;
    for (const PageContent& content : kTablePages) {
        QWidget* page = BuildTablePage(content.kinds);
        tabs_->insertTab(at++, page, QString::fromUtf8(content.title));
        tablePages_.push_back(page);
        ApplyFontsToPage(page);
    }
    for (auto& [name, slot] : slots_) {
        ApplyGridLayout(*slot->view, slot->grid, PointSizeOf(slot->view->font()));
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
        ApplyGridLayout(*each->view, each->grid, PointSizeOf(each->view->font()));
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

// --- Controls ---

QWidget* TECRForm::Control(const QString& objectName) const {
    QWidget* caseless = nullptr;
    for (QWidget* widget : findChildren<QWidget*>()) {
        const QString name = widget->objectName();
        if (name == objectName) {
            return widget;
        }
        if (caseless == nullptr && name.compare(objectName, Qt::CaseInsensitive) == 0) {
            caseless = widget;
        }
    }
    return caseless;
}

QAction* TECRForm::MenuAction(const QString& caption) const {
    for (QAction* action : actions_) {
        if (action->text() == caption) {
            return action;
        }
    }
    return nullptr;
}

void TECRForm::BindAction(const QString& caption, std::function<void()> handler) {
    QAction* action = MenuAction(caption);
    if (action == nullptr) {
        return;
    }
    action->setEnabled(true);
    connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
}

void TECRForm::BindButton(const QString& objectName, std::function<void()> handler) {
    auto* button = ControlAs<QPushButton>(objectName);
    if (button == nullptr) {
        return;
    }
    button->setEnabled(true);
    connect(button, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

void TECRForm::SetCommunicationStarted(bool started) {
    communicationStarted_ = started;
    commButton_->setText(started ? QStringLiteral("Stop\nkomunikacji")
                                 : QStringLiteral("Start\nkomunikacji"));
    QPalette palette = commButton_->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText,
                     started ? QColor(255, 0, 0) : QColor(0, 128, 0));
    palette.setColor(QPalette::Inactive, QPalette::ButtonText,
                     started ? QColor(255, 0, 0) : QColor(0, 128, 0));
    commButton_->setPalette(palette);
}

bool TECRForm::TryTakeStartGuard() {
    if (startGuard_) {
        return false;
    }
    startGuard_ = true;
    return true;
}

void TECRForm::ReleaseStartGuardLater() {
    timer2_->start();
}

void TECRForm::ShowInformationPage() {
    tabs_->setCurrentWidget(infoPage_);
}

void TECRForm::ShowToolWindow(QWidget* window) {
    if (window == nullptr) {
        return;
    }
    if (!window->isVisible()) {
        window->show();
    }
    window->raise();
    window->activateWindow();
}

void TECRForm::Koniec() {
    if (stopIfRunning_ && stopIfRunning_()) {
        return;
    }
    close();
}

void TECRForm::RegisterTypeChosen(const QString& typeName) {
    std::string stored = typeName.toStdString();
    ActiveModelSelection().Select(stored);
    RebuildTables(minPlu_);
}

void TECRForm::closeEvent(QCloseEvent* event) {
    emit aboutToClose();
    for (QWidget* window :
         {static_cast<QWidget*>(programSettings_), static_cast<QWidget*>(registerSettings_),
          static_cast<QWidget*>(errorCodes_)}) {
        window->hide();
    }
    QMainWindow::closeEvent(event);
}

// --- Appearance ---

void TECRForm::ApplyFontsToPage(QWidget* page) {
    const FontSetting button = ButtonFont(fonts_.info);
    for (QLabel* label : page->findChildren<QLabel*>()) {
        ApplyFontSetting(*label, fonts_.info);
    }
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        ApplyFontSetting(*group, fonts_.info);
    }
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        ApplyFontSetting(*edit, fonts_.edit);
    }
    for (QComboBox* list : page->findChildren<QComboBox*>()) {
        ApplyFontSetting(*list, fonts_.edit);
    }
    for (QCheckBox* box : page->findChildren<QCheckBox*>()) {
        ApplyFontSetting(*box, fonts_.info);
    }
    for (QPushButton* pushButton : page->findChildren<QPushButton*>()) {
        ApplyFontSetting(*pushButton, button);
    }
    for (QTableView* view : page->findChildren<QTableView*>()) {
        ApplyFontSetting(*view, fonts_.table);
        // Headers may carry a font of their class, which a parent's font does not reach.
        ApplyFontSetting(*view->horizontalHeader(), fonts_.table);
        ApplyFontSetting(*view->verticalHeader(), fonts_.table);
    }
}

void TECRForm::ApplyFonts(const FontSet& fonts) {
    fonts_ = fonts;
    ApplyFontsToPage(centralWidget());
    SetCommunicationStarted(communicationStarted_);
    for (auto& [name, slot] : slots_) {
        ApplyGridLayout(*slot->view, slot->grid, PointSizeOf(slot->view->font()));
    }
}

void TECRForm::ApplyDisplaySwitches(const ProgramSettingsValues& values) {
    editPanelsShown_ = !values.edit;
    buttonPanelsShown_ = !values.function;
    hintsShown_ = !values.hint;
    ShowPanels();
}

void TECRForm::ShowPanels() {
    for (auto& [name, slot] : slots_) {
        slot->editPanel->setVisible(editPanelsShown_);
        slot->buttonPanel->setVisible(buttonPanelsShown_);
    }
    if (QWidget* header = Control(QStringLiteral("Naglowek_button"))) {
        header->setVisible(buttonPanelsShown_);
    }
}

void TECRForm::ApplyHints(bool shown, int pauseMs, int showMs) {
    hintsShown_ = shown;
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
    palette.setColor(QPalette::ToolTipText, QColor(0, 0, 0));
    QToolTip::setPalette(palette);
    auto* style = dynamic_cast<HintStyle*>(QApplication::style());
    if (style == nullptr) {
        style = new HintStyle;
        QApplication::setStyle(style);
    }
    style->wakeUpMs = pauseMs;
    QList<QWidget*> widgets = findChildren<QWidget*>();
    widgets.append(this);
    for (QWidget* widget : widgets) {
        widget->setToolTipDuration(showMs);
    }
}

bool TECRForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !hintsShown_) {
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kasa::gui
