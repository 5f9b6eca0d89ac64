#include "app/window_program_options.h"

#include <gtest/gtest.h>

#include <sstream>

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
    const Parsed run = Parse({"-style", "fusion", "--config", "/tmp/k.cfg", "--demo"});
    EXPECT_FALSE(run.exit.has_value());
    EXPECT_EQ(run.options.configPath, "/tmp/k.cfg");
    EXPECT_TRUE(run.options.demo);
    const Parsed missing = Parse({"--config"});
    EXPECT_EQ(missing.exit, 2);
    EXPECT_EQ(missing.err.rfind("Opcja --config wymaga nazwy pliku.\n", 0), 0u);
}

}  // namespace
}  // namespace kasa
