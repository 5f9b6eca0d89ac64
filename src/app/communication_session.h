// Starting and stopping communication with the register, as the main window's button and
// the command line do it: one operation that talks to the user only through the user
// interface, so the window, the command line and the tests share it.
#pragma once

#include <array>
#include <functional>
#include <string>

#include "comm/ecrclass.h"
#include "ecr/clock_settings.h"
#include "ecr/database_commands.h"
#include "ecr/vat_totals.h"

namespace kasa {

class UserInterface;

struct SessionSettings {
    std::string portName;
    int32_t baudRate = 9600;
    std::string registerType = "Vesper";  // the configured register type name
};

// What a started session shows in the main window's information group.
struct SessionDisplay {
    std::string kasa;         // the model text
    std::string nrFabryczny;  // the serial number line
    RegisterStatus status;
    bool statusValid = false;
    std::string lastPF;  // "Ostatni zapis " and the status date
    TotalsTexts totals;
    bool totalsValid = false;
    std::array<std::string, 7> vatRates;
    bool vatValid = false;
    ClockValue clock;
    bool clockValid = false;
};

enum class StartOutcome {
    Busy,        // a table operation runs
    NoPort,      // nothing configured: the settings window should open
    OpenFailed,  // the port cannot be opened
    IdentifyFailed,
    TypeCancelled,  // the user kept the configured register type
    Failed,         // a read after identification failed
    Started,
};

// The start of communication: identification, the register type question, switching to
// the communication mode and reading status, totals, VAT rates and clock. The port is
// closed at the end. `rebuildTables` is called with the new register type name when the
// type changes.
StartOutcome StartKomunikacji(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                              bool busy, SessionSettings& settings, SessionDisplay& display,
                              const std::function<void(const std::string&)>& rebuildTables,
                              ECRClass::LogCallback log = nullptr);
// The stop: the saved mode and the end frame, then the port is closed.
void StopKomunikacji(ECRClass& ecr);
// Reads the status flags into the display; with `messages` a failure is shown.
bool ReadStatusFlags(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                     bool messages, SessionDisplay& display);
// Called when the main window closes.
void KoniecKomunikacji(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy);
// Sends bytes unchanged, waits a second and logs what came back, also what came back
// while it was writing. A send longer than a second on the line shows its progress; the
// register object's abort flag stops it (the port is closed then). With `clearAbort` the
// flag is lowered first; a caller that raised its busy guard on another thread passes
// false, so an abort asked for before the send began stands.
bool SendSequence(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                  const iBuffer& bytes, bool clearAbort = true);

// The question asked before the register type is changed by hand; empty when the chosen
// type is both the configured one and the connected register's ("OFFLINE" when none).
// Types compare without regard to case.
std::string RegisterTypeChangeWarning(const std::string& chosen, const std::string& configured,
                                      const std::string& connected);
// The question asked when the register is of another type than the one configured.
std::string TypeQuestionText(const std::string& reported, const std::string& configured);
// The "Info" text while a session starts; cleared when the start is over.
inline constexpr const char* kConnectingText = "Łączenie z kasą...";
inline constexpr const char* kTypeQuestionTitle = "Ważna uwaga wyboru Kasy!";
inline constexpr const char* kOpenFailedMessage =
    "Nie można otworzyć portu komunikacyjnego.\nUruchom w kasie komunikację, lub ustaw w "
    "oknie\nKonfiguracja Programu parametry transmisji.";
// One Polish line naming why a port could not be opened, from the system error and the
// baud rate asked for; empty when the reason is not known.
std::string PortOpenFailureReason(int systemError, int32_t baudRate);

}  // namespace kasa
