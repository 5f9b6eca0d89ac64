// Start with the system: an entry that runs the program when the user's session starts.
// How the entry is kept, and the words the messages use for it, are the platform's.
#pragma once

#include <string>

namespace kasa {

// Where the entry lives for this user; empty when no such place is known.
std::string DefaultAutostartPath();

// The entry exists and is not empty.
bool AutostartEnabled(const std::string& entryPath);
// Writes the entry that starts `programPath`; false when it cannot be written.
bool EnableAutostart(const std::string& entryPath, const std::string& programPath);
// Removes the entry; false when it exists and cannot be removed.
bool DisableAutostart(const std::string& entryPath);

struct AutostartOutcome {
    bool ok = false;
    std::string message;  // Polish, for the user
};
// Removes the entry when there is one, else writes it.
AutostartOutcome ToggleAutostart(const std::string& entryPath, const std::string& programPath);
// The settings window's button caption for the entry's present state.
std::string AutostartButtonCaption(const std::string& entryPath);

// The program path as the Exec key of a desktop entry needs it: quoted, with the
// characters that are special inside quotes escaped, then with backslashes doubled
// for the entry's string syntax.
std::string DesktopExecQuoted(const std::string& programPath);
// The whole text of the entry.
std::string AutostartEntryText(const std::string& programPath);

}  // namespace kasa
