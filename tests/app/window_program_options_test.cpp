#include "app/window_program_options.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace kasa {
namespace {

struct Parsed {
    std::optional<int> exit;
    WindowProgramOptions options;
    std::string out;
    std::string err;
};

Parsed Parse(const std::vector<std::string>& arguments) {
    Parsed run;
    std::ostringstream out;
    std::ostringstream err;
    run.exit = ParseWindowProgramArguments(arguments, run.options, out, err);
    run.out = out.str();
    run.err = err.str();
    return run;
}

TEST(WindowProgramOptions, HelpAndVersionPrintAndEnd) {
    for (const char* help : {"--help", "-h"}) {
        const Parsed run = Parse({"--demo", help});
        EXPECT_EQ(run.exit, 0);
        EXPECT_EQ(run.out.rfind("Użycie: serwis-kas [OPCJE]\n", 0), 0u);
        EXPECT_NE(run.out.find("--config PLIK"), std::string::npos);
    }
    const Parsed version = Parse({"--version"});
    EXPECT_EQ(version.exit, 0);
    EXPECT_EQ(version.out, std::string("serwis-kas ") + SERWIS_VERSION + "\n");
}

TEST(WindowProgramOptions, OptionsToRunWith) {
    const Parsed run =
        Parse({"-style", "fusion", "--config", "/tmp/k.cfg", "--demo", "--bez-aktualizacji"});
    EXPECT_FALSE(run.exit.has_value());
    EXPECT_EQ(run.options.configPath, "/tmp/k.cfg");
    EXPECT_TRUE(run.options.demo);
    EXPECT_TRUE(run.options.noUpgradeCheck);
    EXPECT_FALSE(Parse({"--demo"}).options.noUpgradeCheck);
    const Parsed missing = Parse({"--config"});
    EXPECT_EQ(missing.exit, 2);
    EXPECT_EQ(missing.err.rfind("Opcja --config wymaga nazwy pliku.\n", 0), 0u);
}

// An empty variable names no display; any one of the three set is enough.
TEST(WindowProgramDisplay, NeedsOneDisplayVariableSet) {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    std::vector<std::optional<std::string>> saved;
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved.push_back(value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        unsetenv(name);
    }
    EXPECT_FALSE(HasGraphicalDisplay());
    setenv("DISPLAY", "", 1);
    EXPECT_FALSE(HasGraphicalDisplay());
    setenv("WAYLAND_DISPLAY", "wayland-0", 1);
    EXPECT_TRUE(HasGraphicalDisplay());
    EXPECT_NE(std::string(NoDisplayMessage()).find("kasa --help"), std::string::npos);
    for (size_t i = 0; i < saved.size(); ++i) {
        if (saved[i]) {
            setenv(names[i], saved[i]->c_str(), 1);
        } else {
            unsetenv(names[i]);
        }
    }
}

}  // namespace
}  // namespace kasa
