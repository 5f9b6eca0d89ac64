#include "update/program_version.h"

#include <gtest/gtest.h>

namespace kasa {
namespace {

TEST(ProgramVersion, TheFirstDifferingFieldDecides) {
    EXPECT_TRUE(IsNewerVersion({2, 1, 0, 0}, {2, 0, 9, 9}));
    EXPECT_TRUE(IsNewerVersion({2, 0, 10, 0}, {2, 0, 9, 99}));
    EXPECT_TRUE(IsNewerVersion({2, 0, 9, 100}, {2, 0, 9, 99}));
    EXPECT_FALSE(IsNewerVersion({2, 0, 9, 9}, {2, 1, 0, 0}));
    EXPECT_FALSE(IsNewerVersion({2, 0, 9, 9}, {2, 0, 9, 9}));
    // A running version that could not be read is older than anything published.
    EXPECT_TRUE(IsNewerVersion({0, 0, 0, 0}, kUnknownVersion));
}

TEST(ProgramVersion, VersionFileHoldsFourNumbersEachWithOneSeparator) {
    EXPECT_EQ(ParseVersionFile("2.1.0.17\n"), (ProgramVersion{2, 1, 0, 17}));
    EXPECT_EQ(ParseVersionFile("2,1,0,17,\r\n"), (ProgramVersion{2, 1, 0, 17}));
    EXPECT_EQ(ParseVersionFile("2.1.0.17"), (ProgramVersion{2, 1, 0, 17}));
    EXPECT_EQ(ParseVersionFile("0.0.0.2147483647 "), (ProgramVersion{0, 0, 0, 2147483647}));
    for (const char* bad : {"", "2.1.0", "2.1.0.\n", "2..1.0.0", "2.1.0.0.5", "-2.1.0.0",
                            "2.1.0.2147483648", "2.1.0.99999999999999999999", " 2.1.0.0",
                            "2.1.0.0<html>", "<!DOCTYPE html><html><body>404</body></html>"}) {
        EXPECT_EQ(ParseVersionFile(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(ParseVersionFile(std::string(1024, '0')), std::nullopt);
}

TEST(ProgramVersion, RunningVersionIsTheBuildsOwn) {
    const ProgramVersion running = RunningProgramVersion();
    EXPECT_NE(running, kUnknownVersion);
    EXPECT_EQ(VersionText(running).rfind(SERWIS_VERSION, 0), 0u) << VersionText(running);
}

}  // namespace
}  // namespace kasa
