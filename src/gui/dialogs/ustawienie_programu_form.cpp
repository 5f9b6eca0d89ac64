#include "gui/dialogs/ustawienie_programu_form.h"

#include <QSocketNotifier>

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <algorithm>

#include "app/autostart_entry.h"
#include "app/communication_session.h"
#include "app/settings.h"
#include "comm/port_discovery.h"
#include "comm/port_name.h"
#include "tables/catalogue.h"

namespace kasa::gui {

namespace {

const char* const kPortHint =
    "Ustawianie portu szeregowego.\nPrzy podłączeniu Vesper do USB\nnic można nie ustawiać.\n"
    "Program sam wykryje kasę.";
const char* const kTypeHint =
    "Ustawianie typu kasy.\nW zasadzie nie należy ustawiać.\n"
    "Program automatycznie przełączy się\nna odczytany typ kasy z urządzenia.\n"
    "Ustawienie może być przydatne przy\npracy offline tj bez podłączonej kasy.";
const char* const kSwitchCaptions[4] = {
    "Wyświetlanie podpowiedzi",
    "Prezentacja bloków edycji wiersza pod tabelami",
    "Prezentacja klawiszy wyboru funkcji obok tabel",
    "Wyświetlanie podpowiedzi (komunikaty filtrów)",
};
const int kSpeeds[] = {9600, 19200, 38400};

QString Upper(const std::string& text) {
    return QString::fromStdString(text).toUpper();
}

}  // namespace

TUstawienieProgramuForm::TUstawienieProgramuForm(UserInterface& ui, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(ui) {
    setObjectName("UstawienieProgramuForm");
    setWindowTitle(QStringLiteral("Ustawienie parametrów programu"));
    autostartEntry_ = DefaultAutostartPath();
    programPath_ = QCoreApplication::applicationFilePath().toStdString();
    portLister_ = [] { return AttachedSerialPorts(); };
    WatchPorts();
    fontChooser_ = [this](QFont& font) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this);
        if (ok) {
            font = chosen;
        }
        return ok;
    };
    colourChooser_ = [this](QColor& colour) {
        const QColor chosen = QColorDialog::getColor(colour, this);
        if (chosen.isValid()) {
            colour = chosen;
        }
        return chosen.isValid();
    };

    BuildMenu();

    // Port and speed.
    portGroup_ = new QGroupBox(QStringLiteral("Port szeregowy"), this);
    portGroup_->setObjectName("GroupBoxPort");
    portGroup_->setToolTip(QString::fromUtf8(kPortHint));
    portList_ = new QComboBox(portGroup_);
    portList_->setObjectName("ListaPortow");
    portList_->setMinimumContentsLength(32);
    portList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portPath_ = new QLineEdit(portGroup_);
    portPath_->setObjectName("NazwaPortu");
    portPath_->setPlaceholderText(QStringLiteral("/dev/ttyUSB0 lub tcp://adres:port"));
    portPath_->setToolTip(QStringLiteral(
        "Urządzenie portu szeregowego albo serwer portu w sieci:\ntcp://adres:port (surowe "
        "TCP) lub rfc2217://adres:port (Telnet RFC 2217)."));
    refreshPorts_ = new QPushButton(QStringLiteral("Odśwież informacje o portach"), portGroup_);
    refreshPorts_->setObjectName("BitBtn3");
    speedList_ = new QComboBox(portGroup_);
    speedList_->setObjectName("Predkosc");
    for (int speed : kSpeeds) {
        speedList_->addItem(QString::number(speed));
    }
    auto* portLayout = new QGridLayout(portGroup_);
    auto* portLabel = new QLabel(QStringLiteral("Port"), portGroup_);
    auto* pathLabel = new QLabel(QStringLiteral("Ścieżka portu"), portGroup_);
    auto* speedLabel = new QLabel(QStringLiteral("Prędkość transmisji"), portGroup_);
    portLabel->setBuddy(portList_);
    pathLabel->setBuddy(portPath_);
    speedLabel->setBuddy(speedList_);
    portLayout->addWidget(portLabel, 0, 0);
    portLayout->addWidget(portList_, 0, 1);
    portLayout->addWidget(pathLabel, 1, 0);
    portLayout->addWidget(portPath_, 1, 1);
    portLayout->addWidget(speedLabel, 2, 0);
    portLayout->addWidget(speedList_, 2, 1);
    portLayout->addWidget(refreshPorts_, 3, 1);

    // Register type.
    typeGroup_ = new QGroupBox(QStringLiteral("Typ kasy"), this);
    typeGroup_->setObjectName("GroupBoxTyp");
    typeGroup_->setToolTip(QString::fromUtf8(kTypeHint));
    typeList_ = new QComboBox(typeGroup_);
    typeList_->setObjectName("TypKasy");
    auto* typeLayout = new QHBoxLayout(typeGroup_);
    typeLayout->addWidget(typeList_);

    // Lowest PLU number.
    auto* pluGroup = new QGroupBox(QStringLiteral("Minimalny numer PLU"), this);
    pluGroup->setObjectName("GroupBoxPLU");
    minPluEdit_ = new QLineEdit(pluGroup);
    minPluEdit_->setObjectName("Edit3");
    minPluEdit_->setValidator(new QIntValidator(1, 1000, minPluEdit_));
    minPluButton_ = new QPushButton(QStringLiteral("Zapisz"), pluGroup);
    minPluButton_->setObjectName("BitBtn2");
    auto* pluLayout = new QHBoxLayout(pluGroup);
    pluLayout->addWidget(minPluEdit_, 1);
    pluLayout->addWidget(minPluButton_);

    // Display switches and start with the system.
    auto* switchGroup = new QGroupBox(QStringLiteral("Wyświetlanie"), this);
    switchGroup->setObjectName("GroupBoxWyswietlanie");
    auto* switchLayout = new QVBoxLayout(switchGroup);
    for (int i = 0; i < 4; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kSwitchCaptions[i]), switchGroup);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(i + 1));
        switchLayout->addWidget(box);
        switches_[i] = box;
        connect(box, &QCheckBox::clicked, this,
                [this, i](bool ticked) { SwitchClicked(i + 1, ticked); });
    }
    autoUpgrade_ =
        new QCheckBox(QStringLiteral("Sprawdzanie nowej wersji programu przy starcie"), this);
    autoUpgrade_->setObjectName("AutoUpgrade");
    connect(autoUpgrade_, &QCheckBox::clicked, this, [this](bool ticked) {
        values_.autoUpgrade = ticked;
        emit valuesChanged();
    });
    readBack_ = new QCheckBox(QString::fromUtf8(kReadBackSettingCaption), this);
    readBack_->setObjectName("SprawdzajZapis");
    readBack_->setToolTip(
        QStringLiteral("Po każdym zapisie do kasy rekordy są odczytywane i porównywane z "
                       "wysłanymi; każda różnica jest pokazywana."));
    connect(readBack_, &QCheckBox::clicked, this, [this](bool ticked) {
        values_.readBack = ticked;
        emit valuesChanged();
    });
    autoOpen_ = new QPushButton(this);
    autoOpen_->setObjectName("AutoOpen");

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar_);
    layout->addWidget(portGroup_);
    layout->addWidget(typeGroup_);
    layout->addWidget(pluGroup);
    layout->addWidget(switchGroup);
    layout->addWidget(autoUpgrade_);
    layout->addWidget(readBack_);
    layout->addWidget(autoOpen_);
    layout->addStretch();

    connect(portList_, &QComboBox::activated, this, &TUstawienieProgramuForm::PortChosen);
    connect(portPath_, &QLineEdit::editingFinished, this, &TUstawienieProgramuForm::PortPathEdited);
    connect(refreshPorts_, &QPushButton::clicked, this, &TUstawienieProgramuForm::RefreshPorts);
    connect(speedList_, &QComboBox::activated, this, &TUstawienieProgramuForm::SpeedChosen);
    connect(typeList_, &QComboBox::activated, this, &TUstawienieProgramuForm::TypeChosen);
    connect(minPluEdit_, &QLineEdit::returnPressed, this, [this] { SaveMinPlu(true); });
    connect(minPluButton_, &QPushButton::clicked, this, [this] { SaveMinPlu(false); });
    connect(autoOpen_, &QPushButton::clicked, this, &TUstawienieProgramuForm::AutostartClicked);

    ShowValues();
}

void TUstawienieProgramuForm::BuildMenu() {
    menuBar_ = new QMenuBar(this);
    menuBar_->setObjectName("MainMenu");
    QMenu* fonts = menuBar_->addMenu(QStringLiteral("Fon&ty"));
    fonts->setObjectName("Fonty1");
    struct Entry {
        const char* caption;
        const char* objectName;
        FontKind kind;
    };
    const Entry entries[] = {
        {"&Informacyjne", "Informacyjne1", FontKind::kInfo},
        {"&Tabel", "Tabel1", FontKind::kTable},
        {"&Pól edycji", "Poledycji1", FontKind::kEdit},
        {"&Okien", "Okien1", FontKind::kWind},
    };
    for (const Entry& entry : entries) {
        QMenu* menu = fonts->addMenu(QString::fromUtf8(entry.caption));
        menu->setObjectName(entry.objectName);
        const FontKind kind = entry.kind;
        QAction* font = menu->addAction(QStringLiteral("&Ustawienia"));
        font->setObjectName(QStringLiteral("%1Ustawienia").arg(entry.objectName));
        connect(font, &QAction::triggered, this, [this, kind] { ChooseFont(kind); });
        QAction* colour = menu->addAction(QStringLiteral("&Color"));
        colour->setObjectName(QStringLiteral("%1Color").arg(entry.objectName));
        connect(colour, &QAction::triggered, this, [this, kind] { ChooseColour(kind); });
    }
}

void TUstawienieProgramuForm::SetValues(const ProgramSettingsValues& values) {
    values_ = values;
    ShowValues();
}

void TUstawienieProgramuForm::SetAutostartPaths(const std::string& entryPath,
                                                const std::string& programPath) {
    autostartEntry_ = entryPath;
    programPath_ = programPath;
    RefreshAutostartCaption();
}

QCheckBox* TUstawienieProgramuForm::SwitchBox(int number) const {
    return number >= 1 && number <= 4 ? switches_[number - 1] : nullptr;
}

std::string TUstawienieProgramuForm::Caption() const {
    return windowTitle().toStdString();
}

void TUstawienieProgramuForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (valuesSource_) {
        values_ = valuesSource_();
    }
    ApplyOwnFonts();
    RefreshPorts();
    ShowValues();
    // Centred at the size the fonts just gave it, and never above the screen's top edge.
    layout()->activate();
    resize(size().expandedTo(sizeHint()));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(available.center());
        move(frame.left(), std::max(frame.top(), available.top()));
    }
}

void TUstawienieProgramuForm::ApplyOwnFonts() {
    const FontSetting button = ButtonFont(values_.fonts.info);
    for (QGroupBox* group : findChildren<QGroupBox*>()) {
        ApplyFontSetting(*group, values_.fonts.info);
    }
    for (QLabel* label : findChildren<QLabel*>()) {
        ApplyFontSetting(*label, values_.fonts.info);
    }
    for (QCheckBox* box : findChildren<QCheckBox*>()) {
        ApplyFontSetting(*box, values_.fonts.info);
    }
    for (QLineEdit* edit : findChildren<QLineEdit*>()) {
        ApplyFontSetting(*edit, values_.fonts.edit);
    }
    for (QComboBox* list : findChildren<QComboBox*>()) {
        ApplyFontSetting(*list, values_.fonts.edit);
    }
    for (QPushButton* pushButton : findChildren<QPushButton*>()) {
        ApplyFontSetting(*pushButton, button);
    }
}

void TUstawienieProgramuForm::ShowValues() {
    // Register types, the configured one selected (the first when none is set).
    typeList_->clear();
    int selected = -1;
    const QString configured = Upper(values_.registerType);
    for (const RegisterModel* model : AllModels()) {
        const QString name =
            QString::fromUtf8(model->name.data(), static_cast<qsizetype>(model->name.size()));
        if (selected < 0 && name.toUpper() == configured) {
            selected = typeList_->count();
        }
        typeList_->addItem(name);
    }
    if (selected < 0 && values_.registerType.empty()) {
        selected = 0;
    }
    typeList_->setCurrentIndex(selected);
    typeIndex_ = selected;

    speedList_->setCurrentIndex(speedList_->findText(QString::number(values_.baudRate)));
    minPluEdit_->setText(QString::number(values_.minPlu));
    switches_[0]->setChecked(!values_.hint);
    switches_[1]->setChecked(!values_.edit);
    switches_[2]->setChecked(!values_.function);
    switches_[3]->setChecked(!values_.balonHint);
    autoUpgrade_->setChecked(values_.autoUpgrade);
    readBack_->setChecked(values_.readBack);
    portPath_->setText(QString::fromStdString(values_.portName));
    FillPortList();  // the network ports come with the values
    RefreshAutostartCaption();
}

void TUstawienieProgramuForm::WatchPorts() {
    portMonitor_ = std::make_unique<PortMonitor>();
    if (portMonitor_->Descriptor() < 0) {
        return;
    }
    // udev's notices wake the window's own event loop; nothing polls.
    auto* notifier = new QSocketNotifier(portMonitor_->Descriptor(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        if (portMonitor_->TakeNotices() && isVisible()) {
            RefreshPorts();
        }
    });
}

void TUstawienieProgramuForm::RefreshPorts() {
    if (searchingPorts_) {
        ui_.Message(Caption(), "Wywołanie ponowne procedury przeszukującej porty szeregowe.");
        return;
    }
    searchingPorts_ = true;
    ports_ = portLister_ ? portLister_() : std::vector<PortEntry>{};
    FillPortList();
    searchingPorts_ = false;
}

void TUstawienieProgramuForm::FillPortList() {
    portList_->clear();
    portList_->addItem(QString::fromUtf8(kVirtualRegisterPort));
    for (const PortEntry& port : ports_) {
        portList_->addItem(QString::fromStdString(PortEntryText(port)));
    }
    // The serial device servers used before follow the devices found here.
    for (const std::string& name : SplitNetworkPorts(values_.networkPorts)) {
        portList_->addItem(QString::fromStdString(name));
    }
    SelectCurrentPort();
}

void TUstawienieProgramuForm::SelectCurrentPort() {
    int selected = -1;
    if (!values_.portName.empty()) {
        if (values_.portName == kVirtualRegisterPort) {
            selected = 0;
        }
        for (size_t i = 0; selected < 0 && i < ports_.size(); ++i) {
            if (ports_[i].path == values_.portName) {
                selected = static_cast<int>(i) + 1;
            }
        }
        // Else the first entry that mentions the name, as a device behind a stable link.
        const QString name = QString::fromStdString(values_.portName);
        for (int i = 0; selected < 0 && i < portList_->count(); ++i) {
            if (portList_->itemText(i).contains(name, Qt::CaseInsensitive)) {
                selected = i;
            }
        }
    }
    portList_->setCurrentIndex(selected);
}

void TUstawienieProgramuForm::SetPortName(const std::string& name) {
    portPath_->setText(QString::fromStdString(name));
    if (name == values_.portName) {
        return;
    }
    values_.portName = name;
    if (ParseNetworkPortName(name)) {
        const std::string remembered = RememberNetworkPort(values_.networkPorts, name);
        if (remembered != values_.networkPorts) {
            values_.networkPorts = remembered;
            FillPortList();
        }
    }
    emit portChanged(QString::fromStdString(name));
    emit valuesChanged();
}

void TUstawienieProgramuForm::PortChosen(int index) {
    if (index == 0) {
        SetPortName(kVirtualRegisterPort);
    } else if (index > 0 && static_cast<size_t>(index) <= ports_.size()) {
        SetPortName(ports_[static_cast<size_t>(index) - 1].path);
    } else if (index > 0 && index < portList_->count()) {
        SetPortName(portList_->itemText(index).toStdString());  // a network port
    }
}

void TUstawienieProgramuForm::PortPathEdited() {
    const std::string typed = portPath_->text().trimmed().toStdString();
    if (typed.empty() || typed == values_.portName) {
        portPath_->setText(QString::fromStdString(values_.portName));
        return;
    }
    SetPortName(typed);
    SelectCurrentPort();
}

void TUstawienieProgramuForm::SpeedChosen(int index) {
    if (index < 0) {
        return;
    }
    const int speed = speedList_->itemText(index).toInt();
    if (speed == values_.baudRate) {
        return;
    }
    values_.baudRate = speed;
    emit baudRateChanged(speed);
    emit valuesChanged();
}

void TUstawienieProgramuForm::TypeChosen(int index) {
    if (index < 0) {
        return;
    }
    const std::string chosen = typeList_->itemText(index).toStdString();
    const std::string warning =
        RegisterTypeChangeWarning(chosen, values_.registerType, connectedModel_);
    if (warning.empty()) {
        typeIndex_ = index;
        return;
    }
    if (ui_.Ask(kTypeQuestionTitle, warning, Buttons::OkCancel) != Answer::Ok) {
        typeList_->setCurrentIndex(typeIndex_);
        return;
    }
    typeIndex_ = index;
    values_.registerType = chosen;
    emit registerTypeChanged(QString::fromStdString(chosen));
    emit valuesChanged();
}

void TUstawienieProgramuForm::SaveMinPlu(bool fromEnter) {
    if (!minPluEdit_->hasAcceptableInput()) {
        minPluEdit_->setText(QString::number(values_.minPlu));
        return;
    }
    const int minPlu = minPluEdit_->text().toInt();
    if (minPlu == values_.minPlu) {
        return;
    }
    values_.minPlu = minPlu;
    emit valuesChanged();
    ui_.Notice(Caption(), fromEnter ? "Przesunięcie numeru początkowego PLU\n"
                                      "wykona sie po ponownym uruchomieniu programu."
                                    : "Przesunięcie numeru początkowego PLU\n"
                                      "wykona sie po ponownym uruchomieniu\n"
                                      "Programu Serwisowego.");
}

void TUstawienieProgramuForm::SwitchClicked(int number, bool ticked) {
    bool* target[] = {&values_.hint, &values_.edit, &values_.function, &values_.balonHint};
    *target[number - 1] = !ticked;
    emit valuesChanged();
}

void TUstawienieProgramuForm::RefreshAutostartCaption() {
    autoOpen_->setText(QString::fromStdString(AutostartButtonCaption(autostartEntry_)));
}

void TUstawienieProgramuForm::AutostartClicked() {
    const AutostartOutcome outcome = ToggleAutostart(autostartEntry_, programPath_);
    if (outcome.ok) {
        ui_.Notice(Caption(), outcome.message);
    } else {
        ui_.Message(Caption(), outcome.message);
    }
    RefreshAutostartCaption();
}

FontSetting& TUstawienieProgramuForm::FontOf(FontKind kind) {
    switch (kind) {
        case FontKind::kInfo:
            return values_.fonts.info;
        case FontKind::kTable:
            return values_.fonts.table;
        case FontKind::kEdit:
            return values_.fonts.edit;
        case FontKind::kWind:
            break;
    }
    return values_.fonts.wind;
}

void TUstawienieProgramuForm::ChooseFont(FontKind kind) {
    FontSetting& setting = FontOf(kind);
    QFont font = ToQFont(setting);
    if (!fontChooser_ || !fontChooser_(font)) {
        return;
    }
    TakeQFont(font, setting);
    if (isVisible()) {
        ApplyOwnFonts();
    }
    emit fontsChanged();
    emit valuesChanged();
}

void TUstawienieProgramuForm::ChooseColour(FontKind kind) {
    FontSetting& setting = FontOf(kind);
    QColor colour = ColourFromStored(setting.colour);
    if (!colourChooser_ || !colourChooser_(colour)) {
        return;
    }
    setting.colour = StoredFromColour(colour);
    if (isVisible()) {
        ApplyOwnFonts();
    }
    emit fontsChanged();
    emit valuesChanged();
}

}  // namespace kasa::gui
