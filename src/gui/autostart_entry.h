// Start with the system on Linux: an XDG autostart entry that runs the program when the
// user's desktop session starts.
#pragma once

#include <string>

namespace kasa::gui {

// $XDG_CONFIG_HOME/autostart/serwis-kas.desktop, with ~/.config when the variable is
// unset or not absolute; empty when neither it nor HOME gives a folder.
std::string DefaultAutostartPath();

// The entry exists and is not empty.
bool AutostartEnabled(const std::string& entryPath);
// Writes the entry that starts `programPath`; false when it cannot be written.
bool EnableAutostart(const std::string& entryPath, const std::string& programPath);
// Removes the entry; false when it exists and cannot be removed.
bool DisableAutostart(const std::string& entryPath);

// The program path as the Exec key of a desktop entry needs it: quoted, with the
// characters that are special inside quotes escaped, then with backslashes doubled
// for the entry's string syntax.
std::string DesktopExecQuoted(const std::string& programPath);
// The whole text of the entry.
std::string AutostartEntryText(const std::string& programPath);

}  // namespace kasa::gui
