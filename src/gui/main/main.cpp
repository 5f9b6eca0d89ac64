#include <QApplication>
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/window_program_options.h"
#include "gui/main/main_controller.h"
#include "gui/main/polish_translations.h"
#include "gui/main/tecrform.h"

int main(int argc, char** argv) {
    // --help and --version answer on the terminal, with or without a display.
    kasa::WindowProgramOptions parsed;
    parsed.upgrade = kasa::BuiltInUpgradeSource();
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    if (const std::optional<int> exit =
            kasa::ParseWindowProgramArguments(arguments, parsed, std::cout, std::cerr)) {
        return *exit;
    }
    if (!kasa::HasGraphicalDisplay()) {
        std::fputs(kasa::NoDisplayMessage(), stderr);
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
