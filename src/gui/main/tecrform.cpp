#include "gui/main/tecrform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPalette>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>

#include "gui/dialogs/opis_bledow_form.h"
#include "gui/dialogs/ustawienie_kasy_form.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/editors/tlisting_form.h"
#include "gui/main/main_menu.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform_internal.h"
#include "gui/tables/edit_panel.h"
#include "gui/tables/fault_navigation.h"
#include "gui/tables/grid_key_handler.h"
#include "gui/tables/grid_model.h"

namespace kasa::gui {

namespace {

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

}  // namespace

TECRForm::TECRForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("ECRForm");
    setWindowTitle(QStringLiteral("Program serwisowy kas"));
    resize(1280, 800);
    fonts_ = DefaultFonts();
    gridKeys_ = new GridKeyHandler(*this);

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
    listing_ = new TListingForm(*ui_, QStringLiteral("Komunikaty"), this);
    listing_->setObjectName("ListingForm");
    fiscalListing_ = new TListingForm(*ui_, QStringLiteral("Pamięć fiskalna"), this);
    fiscalListing_->setObjectName("FiscalListingForm");
    compileListing_ = new TListingForm(*ui_, QStringLiteral("Wynik kompilacji."), this);
    compileListing_->setObjectName("CompListForm");
    for (TListingForm* listing : {listing_, fiscalListing_, compileListing_}) {
        connect(listing, &TListingForm::placeChosen, this,
                [this](const FaultPlace& place) { GoToFaultPlace(*this, place); });
    }
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
    // The pages own the models, which refer to the grids: they go first. The edit panels'
    // handlers go before the fields they watch, which may lose the focus as they go.
    for (QWidget* page : tablePages_) {
        qDeleteAll(page->findChildren<EditPanel*>());
        delete page;
    }
    tablePages_.clear();
}

void TECRForm::BuildMenu() {
    BuildMainMenu(*menuBar(), actions_);
    if (QAction* startStop = MenuAction(QStringLiteral("&Start/Stop komunikacji"))) {
        startStop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    }
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

void TECRForm::JobEnded() {
    if (closeWhenIdle_) {
        closeWhenIdle_ = false;
        close();
    }
}

void TECRForm::closeEvent(QCloseEvent* event) {
    // A running job is asked to stop and the window waits for it, open and where it was;
    // the close box is never taken away, which would make the system rebuild the window.
    if (stopIfRunning_ && stopIfRunning_()) {
        closeWhenIdle_ = true;
        Ui().SetStatusText(kClosingAfterJobText);
        event->ignore();
        return;
    }
    emit aboutToClose();
    for (QWidget* window :
         {static_cast<QWidget*>(programSettings_), static_cast<QWidget*>(registerSettings_),
          static_cast<QWidget*>(errorCodes_), static_cast<QWidget*>(listing_),
          static_cast<QWidget*>(fiscalListing_), static_cast<QWidget*>(compileListing_)}) {
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
    for (TListingForm* listing : {listing_, fiscalListing_, compileListing_}) {
        listing->SetListFont(fonts_.wind);
    }
    SetCommunicationStarted(communicationStarted_);
    for (auto& [name, slot] : slots_) {
        ApplyGridLayout(*slot->view, slot->grid);
    }
}

void TECRForm::ApplyDisplaySwitches(const ProgramSettingsValues& values) {
    editPanelsShown_ = !values.edit;
    buttonPanelsShown_ = !values.function;
    hintsShown_ = !values.hint;
    gridKeys_->SetHintsShown(!values.balonHint);
    ShowPanels();
}

void TECRForm::SetRecordCommandHandler(RecordCommandHandler handler) {
    recordCommands_ = std::move(handler);
    for (EditPanel* panel : findChildren<EditPanel*>()) {
        panel->UpdateCommandButtons();
    }
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
    hintShowMs_ = showMs;
    ApplyHintTime(this);
}

void TECRForm::ApplyHintTime(QWidget* root) const {
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.append(root);
    for (QWidget* widget : widgets) {
        widget->setToolTipDuration(hintShowMs_);
    }
}

bool TECRForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && !hintsShown_) {
        return true;
    }
    // A click anywhere else ends a filter's hint: it told of a key, not of the window.
    if (event->type() == QEvent::MouseButtonPress && gridKeys_ != nullptr) {
        gridKeys_->HideHint();
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace kasa::gui
