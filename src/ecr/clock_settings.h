// The register's clock and its working options.
#pragma once

#include <cstdint>
#include <string>

#include "comm/ecrclass.h"

namespace kasa {

class UserInterface;

struct ClockValue {
    uint16_t year = 2000;
    uint16_t month = 1;
    uint16_t day = 1;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    bool operator==(const ClockValue&) const = default;
};

bool ReadClock(ECRClass& ecr, ClockValue& value);
// Sets the register's clock; a year below 100 is sent as 2000 + year. Succeeds only when
// the register accepted it.
bool SetClock(ECRClass& ecr, const ClockValue& value);
bool SendSettings(ECRClass& ecr, int optionBits);

// The clock value from the seven bytes of a clock answer.
ClockValue ClockFromBytes(const uint8_t bytes[7]);
// One second later, with the months' lengths (February has 29 days in years divisible
// by 4).
ClockValue ClockTick(const ClockValue& value);
// "YYYY-MM-DD hh:mm:ss".
std::string ClockText(const ClockValue& value);
// The computer's local time.
ClockValue LocalClockValue();

// The register settings window: five lists, each an item index from 0.
struct RegisterSettingsChoice {
    int errorHandling = 0;  // list 1
    int printQuality = 0;   // list 2, not sent
    int workMode = 0;       // list 3
    int amountEntry = 0;    // list 4
    int afterSale = 0;      // list 5
};
struct RegisterSettingsMapping {
    int display = 1;
    int rs = 0;
    int mode = 0;  // the mode the end of the session sends with "P"
    int optionBits = 0;
};
RegisterSettingsMapping MapRegisterSettings(const RegisterSettingsChoice& choice);

// The window's operations, with their messages under `caption`.
bool ShowClock(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
               ClockValue& value);
bool ProgramClock(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                  bool fiscalChecked, const ClockValue& now);
// "Wyślij do kasy" of the register settings window; `statusFlags` are the session's
// status flags 0 and 1, updated with the display and RS flags.
bool SendRegisterSettings(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                          const RegisterSettingsChoice& choice, uint8_t statusFlags[2]);

inline constexpr const char* kClockFailureMessage =
    "Nie można zapisać zagara.\nUruchom w kasie komunikację, lub ustaw w oknie\nKonfiguracja "
    "Programu parametry transmisji.";

}  // namespace kasa
