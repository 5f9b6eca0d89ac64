// A window opens on X11 or Wayland, or on whatever platform plugin the user names.
#include <cstdlib>

#include "app/window_program_options.h"

namespace kasa {

namespace {
bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != 0;
}
}  // namespace

bool HasGraphicalDisplay() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

const char* NoDisplayMessage() {
    return "Brak ekranu graficznego: zmienne DISPLAY i WAYLAND_DISPLAY nie są ustawione.\n"
           "Uruchom program serwis-kas w sesji graficznej (X11 lub Wayland),\n"
           "na przykład przez: xvfb-run serwis-kas, albo skorzystaj z programu\n"
           "wiersza poleceń: kasa --help\n";
}

}  // namespace kasa
