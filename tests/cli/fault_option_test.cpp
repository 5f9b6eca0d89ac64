#include "cli/fault_option.h"

#include <gtest/gtest.h>

#include <atomic>
#include <sstream>

#include "cli/command_line.h"
#include "cli/simulator_command.h"

namespace kasa::cli {
namespace {

using sim::FaultKind;

TEST(FaultOption, EveryKindWithItsRepetitionAndWrongValuesRefused) {
    struct Good {
        const char* text;
        FaultKind kind;
        int delayMs, status, every, from;
    };
    const Good good[] = {
        {"brak-odpowiedzi:co=100", FaultKind::NoAnswer, 0, 0, 100, 100},
        {"spozniona", FaultKind::LateAnswer, 6000, 0, 0, 0},
        {"spozniona=250:po=3", FaultKind::LateAnswer, 250, 0, 1, 3},
        {"podzielona:raz", FaultKind::SplitAnswer, 100, 0, 0, 0},
        {"suma:raz", FaultKind::BadChecksum, 0, 0, 0, 0},
        {"stary-numer:co=1", FaultKind::StaleNumber, 0, 0, 1, 1},
        {"smieci-przed", FaultKind::GarbageBefore, 0, 0, 0, 0},
        {"smieci-po:po=2", FaultKind::GarbageAfter, 0, 0, 1, 2},
        {"zerwanie:po=500", FaultKind::CloseMidAnswer, 0, 0, 1, 500},
        {"znikniecie", FaultKind::Vanish, 0, 0, 0, 0},
        {"status=0", FaultKind::Status, 0, 0, 0, 0},
        {"status=255:co=7", FaultKind::Status, 0, 255, 7, 7},
        {"ignoruje-zapis", FaultKind::IgnoreWrite, 0, 0, 0, 0},
        {"ignoruje-zapis:po=1", FaultKind::IgnoreWrite, 0, 0, 1, 1},
    };
    for (const Good& g : good) {
        std::string error;
        const auto fault = ParseFaultOption(g.text, error);
        ASSERT_TRUE(fault) << g.text;
        EXPECT_EQ(fault->kind, g.kind) << g.text;
        EXPECT_EQ(fault->delayMs, g.delayMs) << g.text;
        EXPECT_EQ(fault->status, g.status) << g.text;
        EXPECT_EQ(fault->every, g.every) << g.text;
        EXPECT_EQ(fault->from, g.from) << g.text;
    }
    const char* const bad[] = {
        "",           "brak",        "suma:",  "suma:dwa",      "suma:co=0",       "suma:po=-1",
        "suma:co=1x", "suma=5",      "status", "status=256",    "status=-1",       "status=2a",
        "spozniona=", "spozniona=x", "SUMA",   "suma:raz:co=2", "ignoruje-zapis=1"};
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(ParseFaultOption(text, error)) << text;
        EXPECT_NE(error.find(" usterka: "), std::string::npos) << text << ": " << error;
    }
    // Refused by the command with the reason and the usage, and listed in the help.
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::Run({"symulator", "--usterka", "suma:co=0"}, in, out, err), kExitUsage);
    EXPECT_EQ(err.str().rfind("Nieprawidłowa usterka: suma:co=0 (np. ", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("\n\nUżycie: kasa symulator"), std::string::npos);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(UsageText().find(kFaultOptionHelp), std::string::npos);
}

}  // namespace
}  // namespace kasa::cli
