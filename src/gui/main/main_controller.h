// Binds the main window to the core: the settings file, the register object and its
// session, the VAT rates, the clock, the register settings and the built-in virtual
// register. The window shows; the core operations decide.
#pragma once

#include <QObject>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <utility>

#include "app/communication_session.h"
#include "app/settings.h"
#include "app/window_program_options.h"
#include "comm/ecrclass.h"
#include "ecr/register_session.h"
#include "gui/editors/sequence_editors.h"

namespace kasa::sim {
class VirtualRegister;
}

namespace kasa::gui {

class TECRForm;
class ValidationActions;
class TransferActions;
class TKopieForm;
class TSenderForm;
enum class RecordCommand;
class TListingForm;
class UpgradeActions;

class MainController : public QObject {
    Q_OBJECT
  public:
    using Options = WindowProgramOptions;

    MainController(TECRForm& form, Options options);
    ~MainController() override;

    // The steps of showing the main window, ending with the start of communication.
    void Show();

    ECRClass& Ecr() { return ecr_; }
    TransferActions& Transfers() { return *transfers_; }
    // "Plik / Kopie przed zapisem…".
    TKopieForm& Backups() { return *backups_; }
    UpgradeActions& Upgrade() { return *upgrade_; }
    Settings& CurrentSettings() { return settings_; }
    const std::string& ConfigPath() const { return configPath_; }
    const SessionDisplay& Display() const { return display_; }
    // The in-process virtual register when the built-in register is in use, else null.
    sim::VirtualRegister* BuiltInRegister() const { return builtIn_.get(); }
    // The port the register object really opens (the built-in register's terminal).
    std::string EffectivePort();

    // The background job's flag; the table transfers set it.
    std::atomic<bool> busy{false};

    // Handlers, public so tests can drive them as a click would.
    void StartStopClicked(bool onlyStart);
    void ReadClockClicked();
    void ProgramClockClicked();
    void ReadVatClicked();
    void WriteVatClicked();
    void SendRegisterSettingsClicked();
    // "Zapisz w Kasie", "Usuń z Kasy" and "Odczyt wiersza" under a grid.
    void RecordCommandClicked(RecordCommand command, TableKind kind, int row);
    void ClockTick();
    // Saves the geometry and all settings; false and a message when it cannot.
    bool SaveSettings();

  private:
    void LoadSettingsFile();
    void ApplySettingsToForm();
    // Each listing window with its block of the settings.
    std::array<std::pair<TListingForm*, WindowPlace*>, 3> ListingPlaces();
    // The settings window's values, remembered as given so that only what the user then
    // changes is taken back.
    ProgramSettingsValues ProgramValues();
    void ProgramSettingsChanged();
    // The register object gets the port and speed chosen now.
    void ConfigureTransport();
    ECRClass::LogCallback Logger();
    std::string SessionPort();
    int32_t SessionSpeed() const;
    void BindHandlers();
    void ShowDisplay();
    void ShowTotalsTexts(const TotalsTexts& texts);
    void ShowVatTexts(const std::array<std::string, 7>& texts);
    void ShowClock();
    void RegisterTypeChanged(const std::string& type);
    bool FiscalChecked() const;
    void EnsureBuiltInRegister();
    void StopBuiltInRegister();
    void Closing();
    // Runs an operation on the register unless another one is running.
    template <class Fn>
    void Exclusive(Fn&& fn);

    TECRForm& form_;
    Options options_;
    std::string configPath_;
    Settings settings_;
    RegisterSession ecr_;
    SessionDisplay display_;
    std::unique_ptr<sim::VirtualRegister> builtIn_;
    ValidationActions* validation_ = nullptr;
    TKopieForm* backups_ = nullptr;
    TransferActions* transfers_ = nullptr;
    TSenderForm* sender_ = nullptr;
    UpgradeActions* upgrade_ = nullptr;
    SequenceEditors editors_;
    ProgramSettingsValues given_;
    bool portChosen_ = false;  // a port was picked in the settings window in this run
    bool operationRunning_ = false;
    bool closing_ = false;
};

}  // namespace kasa::gui
