#include <QApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/window_program_options.h"
#include "gui/main_controller.h"
#include "gui/polish_translations.h"
#include "gui/tecrform.h"

namespace {
bool HasDisplay() {
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    return (x11 != nullptr && *x11 != 0) || (wayland != nullptr && *wayland != 0) ||
           (platform != nullptr && *platform != 0);
}
}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer on the terminal, with or without a display.
    kasa::WindowProgramOptions parsed;
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<int> exit =
            kasa::ParseWindowProgramArguments(arguments, parsed, std::cout, std::cerr)) {
        return *exit;
    }
    if (!HasDisplay()) {
        std::fputs(
            "Brak ekranu graficznego: zmienne DISPLAY i WAYLAND_DISPLAY nie są ustawione.\n"
            "Uruchom program serwis-kas w sesji graficznej (X11 lub Wayland),\n"
            "na przykład przez: xvfb-run serwis-kas, albo skorzystaj z programu\n"
            "wiersza poleceń: kasa --help\n",
            stderr);
        return 3;
    }
    QApplication app(argc, argv);
    std::setlocale(LC_ALL, "");
    QApplication::setApplicationName(QStringLiteral("Program serwisowy kas"));
    kasa::gui::InstallPolishTranslations(app);
    kasa::gui::TECRForm form;
    kasa::gui::MainController controller(form, parsed);
    controller.Show();
    return QApplication::exec();
}
