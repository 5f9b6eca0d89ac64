#include "app/autostart_entry.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

TEST(Autostart, TogglingWritesAndRemovesTheEntryAndSaysSo) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    const std::string entry = folder.Path("autostart/serwis-kas.desktop");
    EXPECT_EQ(AutostartButtonCaption(entry), "Uruchomienie programu\npo starcie systemu.");

    AutostartOutcome outcome = ToggleAutostart(entry, "/opt/serwis kas/serwis-kas");
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.message, "Wpis autostartu utworzono:\n" + entry);
    EXPECT_EQ(folder.Read("autostart/serwis-kas.desktop"),
              "[Desktop Entry]\nType=Application\nName=Program Serwisowy Kas Korvex\n"
              "Exec=\"/opt/serwis kas/serwis-kas\"\nTerminal=false\n"
              "X-GNOME-Autostart-enabled=true\n");
    EXPECT_EQ(AutostartButtonCaption(entry),
              "Kasowanie uruchomienia programu\npo starcie systemu.");

    outcome = ToggleAutostart(entry, "/opt/serwis kas/serwis-kas");
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.message, "Wpis autostartu usunięto:\n" + entry);
    EXPECT_FALSE(AutostartEnabled(entry));

    // A folder that cannot be made: a file stands where it should be.
    folder.Write("plik", "x");
    const std::string blocked = folder.Path("plik/autostart/x.desktop");
    outcome = ToggleAutostart(blocked, "/usr/bin/serwis-kas");
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "Wpisu autostartu nie można utworzyć:\n" + blocked);
}

TEST(Autostart, ExecPathIsQuotedForTheEntry) {
    EXPECT_EQ(DesktopExecQuoted("/usr/bin/serwis-kas"), "\"/usr/bin/serwis-kas\"");
    // Inside quotes " ` $ \ take a backslash; the entry's syntax then doubles each one.
    EXPECT_EQ(DesktopExecQuoted("/home/a$b/x\"y`z\\w"),
              "\"/home/a\\\\$b/x\\\\\"y\\\\`z\\\\\\\\w\"");
}

TEST(Autostart, PathFollowsXdg) {
    const char* oldConfig = getenv("XDG_CONFIG_HOME");
    const char* oldHome = getenv("HOME");
    const std::string savedConfig = oldConfig != nullptr ? oldConfig : "";
    const std::string savedHome = oldHome != nullptr ? oldHome : "";
    setenv("XDG_CONFIG_HOME", "/tmp/konfig", 1);
    EXPECT_EQ(DefaultAutostartPath(), "/tmp/konfig/autostart/serwis-kas.desktop");
    setenv("XDG_CONFIG_HOME", "wzgledna", 1);  // not absolute: ignored
    setenv("HOME", "/home/serwis", 1);
    EXPECT_EQ(DefaultAutostartPath(), "/home/serwis/.config/autostart/serwis-kas.desktop");
    oldConfig != nullptr ? setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1)
                         : unsetenv("XDG_CONFIG_HOME");
    oldHome != nullptr ? setenv("HOME", savedHome.c_str(), 1) : unsetenv("HOME");
}

}  // namespace
}  // namespace kasa
