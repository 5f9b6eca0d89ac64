#include "gui/main/main_controller.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <optional>

#include "app/file_sender.h"
#include "app/record_commands.h"
#include "base/codepage.h"
#include "gui/dialogs/serial_ports_form.h"
#include "gui/dialogs/upgrade_actions.h"
#include "gui/dialogs/ustawienie_kasy_form.h"
#include "gui/dialogs/ustawienie_programu_form.h"
#include "gui/editors/tlisting_form.h"
#include "gui/editors/transmission_preview.h"
#include "gui/editors/tsender_form.h"
#include "gui/main/header_page_actions.h"
#include "gui/main/qt_user_interface.h"
#include "gui/main/tecrform.h"
#include "gui/main/window_place_keeper.h"
#include "gui/print/print_actions.h"
#include "gui/register/document_control_actions.h"
#include "gui/register/fiscal_memory_actions.h"
#include "gui/register/permission_actions.h"
#include "gui/tables/backups_form.h"
#include "gui/tables/edit_panel.h"
#include "gui/tables/goods_tool_actions.h"
#include "gui/tables/table_file_actions.h"
#include "gui/tables/transfer_actions.h"
#include "gui/tables/validation_actions.h"
#include "sim/virtual_register.h"
#include "tables/catalogue.h"

namespace kasa::gui {

namespace {

constexpr const char* kCaption = "Program serwisowy kas";
constexpr const char* kRegisterSettingsCaption = "Ustawienia Kasy";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

MainController::MainController(TECRForm& form, Options options)
    : QObject(&form), form_(form), options_(std::move(options)) {
    LoadSettingsFile();
    // Waits inside the transport keep the window painted; clicks wait until the exchange
    // is over, so no second exchange can start in the middle of one.
    ecr_.SetProcessMessages(
        [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
    BindHandlers();
}

MainController::~MainController() {
    // A worker still on the line stops before the register object goes.
    if (sender_ != nullptr) {
        sender_->StopForClosing();
    }
    if (transfers_ != nullptr) {
        transfers_->StopForClosing();
    }
    ecr_.SetProcessMessages(nullptr);
    StopBuiltInRegister();
    // These windows keep their place in settings_, which goes with the controller: they
    // go first, or the form would close them into freed memory.
    delete sender_;
    delete editors_.sequence;
    delete editors_.binary;
}

void MainController::LoadSettingsFile() {
    configPath_ = ResolveConfigFilePath(options_.configPath);
    settings_ = ReadSettingsFile(configPath_);
    for (auto [window, place] : ListingPlaces()) {
        window->SetPlace(*place);
    }
}

std::array<std::pair<TListingForm*, WindowPlace*>, 3> MainController::ListingPlaces() {
    return {{{form_.ListingWindow(), &settings_.List},
             {form_.FiscalListingWindow(), &settings_.Fiscal},
             {form_.CompileListingWindow(), &settings_.CompList}}};
}

ProgramSettingsValues MainController::ProgramValues() {
    given_ = ProgramSettingsOf(settings_);
    // Under --demo the built-in register serves until a port is picked: the window says so.
    if (options_.demo && !portChosen_) {
        given_.portName = kVirtualRegisterPort;
    }
    return given_;
}

void MainController::ProgramSettingsChanged() {
    const ProgramSettingsValues now = form_.ProgramSettingsWindow()->Values();
    const std::string oldPort = settings_.PortName;
    const int32_t oldSpeed = settings_.baudRate;
    TakeChangedProgramSettings(given_, now, settings_);
    given_ = now;
    if (settings_.PortName != oldPort) {
        portChosen_ = true;
        if (!form_.CommunicationStarted()) {
            StopBuiltInRegister();
        }
    }
    if (settings_.PortName != oldPort || settings_.baudRate != oldSpeed) {
        ConfigureTransport();
    }
}

void MainController::ConfigureTransport() {
    // A port that is open now belongs to the old choice.
    ecr_.CloseTransmission();
    ecr_.SetPortParams(SessionPort(), SessionSpeed(), Logger(), 0);
}

ECRClass::LogCallback MainController::Logger() {
    return [this](const std::string& line, uint32_t) { form_.Ui().LogLine(line); };
}

std::string MainController::SessionPort() {
    return settings_.PortName.empty() && !options_.demo ? std::string() : EffectivePort();
}

int32_t MainController::SessionSpeed() const {
    return settings_.baudRate > 0 ? settings_.baudRate : 9600;
}

void MainController::Show() {
    std::string type = settings_.ChashPath;
    ActiveModelSelection().Select(type);
    settings_.ChashPath = type;
    form_.RebuildTables(settings_.minPLU);
    // The saved place, else the top left corner at the designed size; either way the framed
    // window lies on the screen, title bar and status line in view.
    const ScreenRect area = AvailableAreaOf(form_);
    const FrameMargins frame = FrameOf(form_);
    PlaceOnScreen(form_,
                  settings_.MainWidth != 0 && settings_.MainHeight != 0
                      ? QRect(settings_.MainLeft, settings_.MainTop, settings_.MainWidth,
                              settings_.MainHeight)
                      : QRect(QPoint(area.left + frame.left, area.top + frame.top), form_.size()));
    const ProgramSettingsValues values = ProgramValues();
    form_.ProgramSettingsWindow()->SetValues(values);
    form_.ApplyFonts(values.fonts);
    form_.ApplyDisplaySwitches(values);
    ClampHintPauses(settings_);
    form_.ApplyHints(!settings_.Hint, settings_.HintPause, settings_.HintHidePause);
    form_.SetCommunicationStarted(false);
    form_.show();
    // The listings that were open when the program ended open again.
    for (auto [window, place] : ListingPlaces()) {
        if (place->showing) {
            window->ShowInMode(kListingPlainMode);
        }
    }
    if (settings_.Sender.showing) {
        sender_->ShowWindow();
    }
    editors_.Reopen(form_.Fonts());
    StartStopClicked(false);
    // The check runs beside the program, so neither the window nor the register waits.
    upgrade_->Start(settings_.AutoUpgrade && !options_.noUpgradeCheck);
}

void MainController::BindHandlers() {
    form_.BindAction(QStringLiteral("&Start/Stop komunikacji"),
                     [this] { StartStopClicked(false); });
    form_.BindButton(QStringLiteral("Komunikacja_Btn"), [this] { StartStopClicked(false); });
    form_.BindAction(QStringLiteral("&Pobierz informacje kasowe"),
                     [this] { StartStopClicked(true); });
    form_.BindAction(QStringLiteral("Odczy&t zegara"), [this] { ReadClockClicked(); });
    form_.BindAction(QStringLiteral("Programuj ze&gar"), [this] { ProgramClockClicked(); });
    form_.BindButton(QStringLiteral("StawkiVAT_odczyt_kasa"), [this] { ReadVatClicked(); });
    form_.BindButton(QStringLiteral("StawkiVAT_zapis_kasa"), [this] { WriteVatClicked(); });
    connect(form_.ClockTimer(), &QTimer::timeout, this, [this] { ClockTick(); });
    connect(form_.RegisterSettingsWindow(), &TUstawienieKasyForm::sendRequested, this,
            [this] { SendRegisterSettingsClicked(); });
    form_.ProgramSettingsWindow()->SetValuesSource([this] { return ProgramValues(); });
    connect(form_.ProgramSettingsWindow(), &TUstawienieProgramuForm::valuesChanged, this,
            [this] { ProgramSettingsChanged(); });
    connect(form_.ProgramSettingsWindow(), &TUstawienieProgramuForm::registerTypeChanged, this,
            [this](const QString& type) { RegisterTypeChanged(type.toStdString()); });
    connect(&form_, &TECRForm::aboutToClose, this, [this] { Closing(); });
    BindTransmissionPreview(form_);
    // The sender and the editors send bytes unchanged; a closed port opens as the settings
    // name it, since no session may have named it yet.
    const auto senderFor = [this](const std::string& caption) {
        return [this, caption](const std::string& bytes) {
            if (!busy && !ecr_.IsOpen()) {
                ConfigureTransport();
            }
            iBuffer buffer;
            buffer.AppendBytes(bytes.data(), bytes.size());
            return SendSequence(ecr_, form_.Ui(), caption, busy.load(), buffer);
        };
    };
    // The file sender sends on a worker of its own, under the same busy flag.
    sender_ =
        BindFileSender(form_, settings_.Sender, TSenderForm::Line{&ecr_, &busy, [this] {
                                                                      if (!ecr_.IsOpen()) {
                                                                          ConfigureTransport();
                                                                      }
                                                                  }});
    editors_ = BindSequenceEditors(form_, settings_, senderFor);
    BindTableFileActions(form_, settings_, [this] { return busy.load(); });
    BindGoodsToolActions(form_, [this] { return busy.load(); });
    BindSerialPortsWindow(form_);
    BindHeaderPageActions(
        form_, {ecr_, settings_, [this] { return busy.load(); }, [this] { return FiscalChecked(); },
                [this](const std::function<void()>& fn) { Exclusive(fn); },
                [this](std::function<void()> retry) {
                    return validation_->Validate(ValidationCommand::kProgramHeader,
                                                 std::move(retry));
                },
                [this] {
                    return transfers_->MakeSafeguards(
                        Utf8ToUpper(form_.Model().Table(TableKind::kHeader).tableName));
                },
                [this](const WriteSafeguards::Report& report, const std::string& done) {
                    transfers_->ShowSafeguards(report, done);
                }});
    validation_ = new ValidationActions(form_, settings_, [this] { SaveSettings(); });
    form_.BindButton(QStringLiteral("Weryfikacja"),
                     [this] { validation_->RunCheck(ValidationCommand::kWeryfikacja); });
    form_.BindAction(QStringLiteral("&Sprawdź unikalność nazwy"),
                     [this] { validation_->RunCheck(ValidationCommand::kCheckNames); });
    form_.BindAction(QStringLiteral("&Weryfikacja sumy EAN13"),
                     [this] { validation_->RunCheck(ValidationCommand::kVerifyEan13); });
    form_.BindAction(QStringLiteral("Weryfikacja unikalności EA&N13"),
                     [this] { validation_->RunCheck(ValidationCommand::kCheckEanUniqueness); });
    transfers_ = new TransferActions(form_, ecr_, busy, *validation_);
    transfers_->SetWriteGuardSettings([this] {
        return WriteGuardSettings{options_.backupFolder, settings_.KopieMax,
                                  settings_.SprawdzajZapis};
    });
    backups_ = new TKopieForm(
        &form_,
        [this] {
            return options_.backupFolder.empty() ? BackupFolder(BackupLocationOfThisProcess())
                                                 : options_.backupFolder;
        },
        [this](const std::string& path) { transfers_->RestoreBackup(path); },
        [](const std::string& path) {
            const QFileInfo file(QString::fromStdString(path));
            QDesktopServices::openUrl(QUrl::fromLocalFile(file.absolutePath()));
        });
    form_.BindAction(QStringLiteral("Kopie przed &zapisem…"), [this] { backups_->Open(); });
    // Queued, so that the job's own ending (grids shown, outcome told) comes first.
    connect(transfers_, &TransferActions::jobEnded, &form_, &TECRForm::JobEnded,
            Qt::QueuedConnection);
    BindDocumentControl(form_, ecr_, [this] {
        return busy.load() || operationRunning_ ||
               transfers_->Running() != BackgroundOperation::kNone;
    });
    new FiscalMemoryActions(form_, *transfers_);
    new PermissionActions(form_);
    new PrintActions(form_, settings_, configPath_, this);
    transfers_->SetVatAndTotalsRead([this] { ReadVatClicked(); });
    transfers_->SetHeaderRead([this] {
        if (auto* read = form_.ControlAs<QPushButton>(QStringLiteral("Naglowek_odczyt_kasa"))) {
            read->click();
        }
    });
    form_.SetRecordCommandHandler([this](RecordCommand command, TableKind kind, int row) {
        RecordCommandClicked(command, kind, row);
    });
    form_.BindAction(QStringLiteral("Pamięć &fiskalna"), [this] {
        if (!form_.FiscalListingWindow()->isVisible()) {
            form_.FiscalListingWindow()->ShowInMode(0);
        }
    });
    upgrade_ = new UpgradeActions(
        form_, options_.upgrade, [this] { return !operationRunning_ && !busy; }, this);
    form_.SetRunningJobStop([this] {
        if (!busy) {
            return false;
        }
        ecr_.abortRequested = true;
        return true;
    });
}

void MainController::RegisterTypeChanged(const std::string& type) {
    settings_.ChashPath = type;
    // The built-in register follows the configured type, as a real one would be swapped.
    if (builtIn_ && !form_.CommunicationStarted()) {
        StopBuiltInRegister();
    }
}

template <class Fn>
void MainController::Exclusive(Fn&& fn) {
    if (operationRunning_ || closing_) {
        return;
    }
    operationRunning_ = true;
    fn();
    operationRunning_ = false;
}

bool MainController::FiscalChecked() const {
    const auto* box = form_.ControlAs<QCheckBox>(QStringLiteral("ST_Fiscal"));
    return box != nullptr && box->isChecked();
}

void MainController::EnsureBuiltInRegister() {
    if (builtIn_ && builtIn_->Running()) {
        return;
    }
    sim::VirtualRegisterOptions options;
    options.type = Utf8ToUpper(settings_.ChashPath).find("ZEN") != std::string::npos
                       ? sim::RegisterType::Zen
                       : sim::RegisterType::Vesper;
    options.demoData = true;
    builtIn_ = std::make_unique<sim::VirtualRegister>(options);
    if (!builtIn_->Start()) {
        builtIn_.reset();
    }
}

void MainController::StopBuiltInRegister() {
    if (builtIn_) {
        ecr_.CloseTransmission();
        builtIn_->Stop();
        builtIn_.reset();
    }
}

std::string MainController::EffectivePort() {
    // --demo gives way to a port the user picks in the settings window.
    const bool demo = options_.demo && !portChosen_;
    if (demo || settings_.PortName == kVirtualRegisterPort) {
        EnsureBuiltInRegister();
        return builtIn_ ? builtIn_->PortPath() : std::string("/dev/null/kasa-wirtualna");
    }
    return settings_.PortName;
}

void MainController::StartStopClicked(bool onlyStart) {
    if (busy) {
        form_.Ui().Message(kCaption, kBusyMessage);
        return;
    }
    if (!form_.TryTakeStartGuard()) {
        return;  // a second click within the guard's two seconds
    }
    Exclusive([&] {
        if (!form_.CommunicationStarted()) {
            SessionSettings session;
            session.portName = SessionPort();
            session.baudRate = SessionSpeed();
            session.registerType = settings_.ChashPath;
            display_ = SessionDisplay{};
            // A register that is off keeps the start waiting for its time-outs: it waits off
            // the window's thread, which goes on handling its events meanwhile.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            StartOutcome outcome = StartOutcome::Failed;
            std::optional<std::string> connectedType;
            SessionDisplay read;
            transfers_->RunOffWindowThread([&](UserInterface& ui) {
                outcome = StartKomunikacji(
                    ecr_, ui, kCaption, false, session, read,
                    [&connectedType](const std::string& type) { connectedType = type; }, Logger());
            });
            display_ = read;
            QApplication::restoreOverrideCursor();
            if (connectedType) {
                // The grids are the window's: built anew here, on its thread.
                std::string name = *connectedType;
                ActiveModelSelection().Select(name);
                settings_.ChashPath = name;
                form_.RebuildTables(settings_.minPLU);
            }
            if (outcome == StartOutcome::NoPort) {
                TECRForm::ShowToolWindow(form_.ProgramSettingsWindow());
            } else {
                form_.ProgramSettingsWindow()->SetConnectedModelName(ecr_.ModelName());
                if (form_.ProgramSettingsWindow()->isVisible()) {
                    form_.ProgramSettingsWindow()->SetValues(ProgramValues());
                }
                ShowDisplay();
                form_.SetCommunicationStarted(outcome == StartOutcome::Started);
                if (outcome == StartOutcome::Started) {
                    form_.Ui().ShowOutcome("Połączono z kasą " + ecr_.ModelName() + ".");
                }
            }
        } else if (!onlyStart) {
            StopKomunikacji(ecr_);
            form_.SetCommunicationStarted(false);
            form_.Ui().ShowOutcome("Zakończono komunikację z kasą.");
        }
    });
    if (onlyStart) {
        form_.ShowInformationPage();
    }
    form_.ReleaseStartGuardLater();
}

void MainController::ShowDisplay() {
    const auto set = [&](const char* name, const std::string& text) {
        if (auto* label = form_.ControlAs<QLabel>(QString::fromLatin1(name))) {
            label->setText(Q(text));
        }
    };
    set("Kasa", display_.kasa);
    set("NrFabryczny", display_.nrFabryczny);
    // What was not read is cleared: nothing of a register shown before stays on.
    const char* boxes[] = {nullptr,     "ST_ErrorRS", "ST_Fiscal",
                           "ST_Grosze", "ST_Trasmit", "ST_Online"};
    for (int i = 1; i < 6; ++i) {
        if (auto* box = form_.ControlAs<QCheckBox>(QString::fromLatin1(boxes[i]))) {
            box->setChecked(display_.statusValid &&
                            display_.status.flags[static_cast<size_t>(i)] != 0);
        }
    }
    set("ST_LastPF", display_.statusValid ? display_.lastPF : std::string());
    ShowTotalsTexts(display_.totalsValid ? display_.totals : TotalsTexts{});
    ShowVatTexts(display_.vatValid ? display_.vatRates : std::array<std::string, 7>{});
    if (display_.clockValid) {
        ShowClock();
        form_.ClockTimer()->start(TECRForm::kClockTickMs);
    } else {
        // No clock was read: nothing runs on from a value the register never gave.
        form_.ClockTimer()->stop();
        set("eClock", "");
    }
}

void MainController::ShowTotalsTexts(const TotalsTexts& texts) {
    for (int i = 0; i < 7; ++i) {
        if (auto* label = form_.ControlAs<QLabel>(QStringLiteral("Tot_") + QChar('A' + i))) {
            label->setText(Q(texts.totals[static_cast<size_t>(i)]));
        }
    }
    const std::pair<const char*, const std::string*> counters[] = {
        {"NumerParagonu", &texts.receiptNumber},
        {"ZmianyBazy", &texts.databaseChanges},
        {"AnulowaneParagony", &texts.cancelledReceipts},
        {"KwotaAnulowanych", &texts.cancelledAmount}};
    for (const auto& [name, text] : counters) {
        if (auto* label = form_.ControlAs<QLabel>(QString::fromLatin1(name))) {
            label->setText(Q(*text));
        }
    }
}

void MainController::ShowVatTexts(const std::array<std::string, 7>& texts) {
    for (int i = 0; i < 7; ++i) {
        if (auto* label = form_.ControlAs<QLabel>(QStringLiteral("EVat") + QChar('A' + i))) {
            label->setText(Q(texts[static_cast<size_t>(i)]));
        }
    }
}

void MainController::ShowClock() {
    if (auto* label = form_.ControlAs<QLabel>(QStringLiteral("eClock"))) {
        label->setText(Q(ClockText(display_.clock)));
    }
}

void MainController::ClockTick() {
    display_.clock = kasa::ClockTick(display_.clock);
    ShowClock();
}

void MainController::ReadClockClicked() {
    Exclusive([&] {
        ClockValue value;
        if (kasa::ShowClock(ecr_, form_.Ui(), kCaption, busy, value)) {
            form_.ClockTimer()->stop();
            display_.clock = value;
            display_.clockValid = true;
            ShowClock();
            form_.ClockTimer()->start(TECRForm::kClockTickMs);
            form_.Ui().ShowOutcome("Odczytano zegar kasy.");
        }
    });
}

void MainController::ProgramClockClicked() {
    Exclusive([&] {
        const ClockValue now = LocalClockValue();
        if (ProgramClock(ecr_, form_.Ui(), kCaption, busy, FiscalChecked(), now)) {
            form_.Ui().ShowOutcome("Ustawiono zegar kasy na " + ClockText(now) + ".");
        }
    });
}

void MainController::ReadVatClicked() {
    if (busy) {
        form_.Ui().Message(kCaption, kBusyMessage);
        return;
    }
    Exclusive([&] {
        TotalsTexts totals;
        if (ShowTotals(ecr_, form_.Ui(), kCaption, false, true, totals)) {
            ShowTotalsTexts(totals);
            std::array<std::string, 7> rates;
            if (ShowVatRates(ecr_, form_.Ui(), kCaption, false, true, rates)) {
                ShowVatTexts(rates);
                form_.Ui().ShowOutcome("Odczytano totalizery i stawki VAT.");
            }
        }
        ecr_.CloseTransmission();
    });
}

void MainController::WriteVatClicked() {
    if (!validation_->Validate(ValidationCommand::kWriteVat, [this] { WriteVatClicked(); })) {
        return;
    }
    Exclusive([&] {
        std::array<std::string, 7> edits;
        for (int i = 0; i < 7; ++i) {
            if (auto* edit = form_.ControlAs<QLineEdit>(QStringLiteral("E_Vat") + QChar('A' + i))) {
                edits[static_cast<size_t>(i)] = edit->text().toStdString();
            }
        }
        const std::unique_ptr<WriteSafeguards> guards =
            transfers_->MakeSafeguards(Utf8ToUpper(form_.Model().Table(TableKind::kVat).tableName));
        const bool written = ProgramVatRates(ecr_, form_.Ui(), kCaption, busy, FiscalChecked(),
                                             edits, 0, guards->VatHook());
        const WriteSafeguards::Report report = guards->Close(ecr_, written);
        if (written) {
            // "W kasie" shows the rates read back from the register, blank when they cannot be.
            std::array<std::string, 7> rates;
            if (!ShowVatRates(ecr_, form_.Ui(), kCaption, true, false, rates)) {
                rates = {};
            }
            ShowVatTexts(rates);
        } else if (guards->ReadBackAsked()) {
            ecr_.CloseTransmission();
        }
        transfers_->ShowSafeguards(report, written ? "Zapisano stawki VAT w kasie." : "");
    });
}

void MainController::SendRegisterSettingsClicked() {
    Exclusive([&] {
        const auto indexes = form_.RegisterSettingsWindow()->SelectedIndexes();
        RegisterSettingsChoice choice;
        choice.errorHandling = indexes[0];
        choice.printQuality = indexes[1];
        choice.workMode = indexes[2];
        choice.amountEntry = indexes[3];
        choice.afterSale = indexes[4];
        uint8_t flags[2] = {display_.status.flags[0], display_.status.flags[1]};
        if (SendRegisterSettings(ecr_, form_.Ui(), kRegisterSettingsCaption, busy, choice, flags)) {
            display_.status.flags[0] = flags[0];
            display_.status.flags[1] = flags[1];
            form_.Ui().ShowOutcome("Wysłano ustawienia do kasy.");
        }
    });
}

void MainController::RecordCommandClicked(RecordCommand command, TableKind kind, int row) {
    if (busy) {
        form_.Ui().Message(kCaption, kBusyMessage);
        return;
    }
    TextGrid* grid = form_.Grid(form_.Model().Table(kind).tableName);
    if (grid == nullptr) {
        return;
    }
    const std::string number = grid->Cell(0, row);
    if (command == RecordCommand::kModify &&
        !validation_->Validate(
            ValidationCommand::kWriteRecord,
            [this, command, kind, row] { RecordCommandClicked(command, kind, row); }, kind, row,
            row)) {
        return;
    }
    Exclusive([&] {
        const RegisterModel& model = form_.Model();
        switch (command) {
            case RecordCommand::kModify:
                if (WriteRecordRow(ecr_, form_.Ui(), kCaption, model, kind, *grid, row)) {
                    form_.Ui().ShowOutcome("Zapisano w kasie rekord " + number + ".");
                }
                break;
            case RecordCommand::kDelete:
                if (DeleteRecordRow(ecr_, form_.Ui(), kCaption, kind, *grid, row)) {
                    form_.Ui().ShowOutcome("Usunięto z kasy rekord " + number + ".");
                }
                break;
            case RecordCommand::kRead:
                if (ReadRecordRow(ecr_, form_.Ui(), kCaption, model, kind, *grid, row)) {
                    form_.Ui().ShowOutcome("Odczytano z kasy rekord " + number + ".");
                }
                break;
        }
    });
}

bool MainController::SaveSettings() {
    const QRect geometry = form_.geometry();
    settings_.MainTop = geometry.top();
    settings_.MainLeft = geometry.left();
    settings_.MainWidth = geometry.width();
    settings_.MainHeight = geometry.height();
    for (auto [window, place] : ListingPlaces()) {
        *place = window->Place();
    }
    const WriteResult written = WriteSettingsFile(configPath_, settings_);
    if (!written.ok) {
        form_.Ui().Message(kCaption, written.message);
    }
    return written.ok;
}

void MainController::Closing() {
    closing_ = true;
    const bool jobRunning = busy;
    if (jobRunning) {
        ecr_.abortRequested = true;
    }
    SaveSettings();
    // The worker stops after its current row; no second thread is ever left on the line.
    transfers_->StopForClosing();
    KoniecKomunikacji(ecr_, form_.Ui(), kCaption, busy);
    ecr_.CloseTransmission();
    StopBuiltInRegister();
}

}  // namespace kasa::gui
