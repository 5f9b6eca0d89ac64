// The header page's two register operations, shared by the window and the command line:
// reading the header into the lines and programming it from them, each with the messages
// the user is shown.
#pragma once

#include <functional>
#include <string>

#include "app/settings.h"
#include "app/validation_commands.h"
#include "comm/ecrclass.h"
#include "tables/catalogue.h"
#include "tables/pod_file.h"

namespace kasa {

class UserInterface;

// "Naglowek_odczyt_kasa": refused while a transfer runs; on success the communication is
// closed and `lines` take the register's header (edit "Line"n is line n - 1). A failed
// read, or one from a register not identified yet, is shown and leaves `lines` as they were.
bool ReadHeaderIntoLines(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                         HeaderLines& lines);

// "Naglowek_zapis_kasa": the lines are validated first; when they fail, `validation` holds
// the fault lines for the caller to list and nothing is sent. Then the busy refusal, the
// fiscal refusal on a register other than VESPER when `fiscalChecked`, the write (never to
// a register not identified yet), the closing of the communication and the register's
// verdict. True only when the register
// took the header. With `beforeSend` the register's header is read first and handed to it
// with the lines about to go out (null when it could not be read); a non-empty result is
// shown and nothing is sent.
using HeaderBeforeSend =
    std::function<std::string(const HeaderLines* current, const HeaderLines& sent)>;
bool ProgramHeader(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                   const RegisterModel& model, Settings& settings, bool busy, bool fiscalChecked,
                   const HeaderLines& lines, ValidationOutcome& validation,
                   const HeaderBeforeSend& beforeSend = {});

inline constexpr const char* kHeaderReadFailedMessage =
    "Nie można odczytać nagłówka.\nUruchom w kasie komunikację, lub ustaw w oknie\nKonfiguracja "
    "Programu parametry transmisji.";
inline constexpr const char* kHeaderWriteFailedMessage =
    "Nie można zapisać nagłówka.\nUruchom w kasie komunikację, lub ustaw w oknie\nKonfiguracja "
    "Programu parametry transmisji.";
inline constexpr const char* kHeaderFiscalRefusal =
    "Programowanie nagłówka z interfejsu szeregowego\njest możliwe tylko w trybie niefiskalnym.";

}  // namespace kasa
