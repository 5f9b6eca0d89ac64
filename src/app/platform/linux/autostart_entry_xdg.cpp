// Start with the system on Linux: an XDG autostart desktop entry.
#include "app/autostart_entry.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/atomic_file.h"

namespace kasa {

namespace fs = std::filesystem;

std::string DefaultAutostartPath() {
    fs::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == 0) {
            return {};
        }
        base = fs::path(home) / ".config";
    }
    return (base / "autostart" / "serwis-kas.desktop").string();
}

bool AutostartEnabled(const std::string& entryPath) {
    std::error_code error;
    return !entryPath.empty() && fs::is_regular_file(entryPath, error) &&
           fs::file_size(entryPath, error) > 0 && !error;
}

std::string DesktopExecQuoted(const std::string& programPath) {
    std::string quoted = "\"";
    for (const char c : programPath) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    quoted += '"';
    std::string escaped;
    for (const char c : quoted) {
        if (c == '\\') {
            escaped += '\\';
        }
        escaped += c;
    }
    return escaped;
}

std::string AutostartEntryText(const std::string& programPath) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Program Serwisowy Kas Korvex\n"
           "Exec=" +
           DesktopExecQuoted(programPath) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

bool EnableAutostart(const std::string& entryPath, const std::string& programPath) {
    if (entryPath.empty() || programPath.empty()) {
        return false;
    }
    std::error_code error;
    fs::create_directories(fs::path(entryPath).parent_path(), error);
    if (error) {
        return false;
    }
    return WriteFileAtomically(entryPath, AutostartEntryText(programPath)).ok;
}

bool DisableAutostart(const std::string& entryPath) {
    if (entryPath.empty()) {
        return false;
    }
    std::error_code error;
    fs::remove(entryPath, error);
    return !error;
}

AutostartOutcome ToggleAutostart(const std::string& entryPath, const std::string& programPath) {
    if (AutostartEnabled(entryPath)) {
        if (DisableAutostart(entryPath)) {
            return {true, "Wpis autostartu usunięto:\n" + entryPath};
        }
        return {false, "Wpisu autostartu nie można usunąć:\n" + entryPath};
    }
    if (EnableAutostart(entryPath, programPath)) {
        return {true, "Wpis autostartu utworzono:\n" + entryPath};
    }
    return {false,
            "Wpisu autostartu nie można utworzyć:\n" +
                (entryPath.empty() ? std::string("nie wiadomo, gdzie go zapisać.") : entryPath)};
}

std::string AutostartButtonCaption(const std::string& entryPath) {
    return AutostartEnabled(entryPath) ? "Kasowanie uruchomienia programu\npo starcie systemu."
                                       : "Uruchomienie programu\npo starcie systemu.";
}

}  // namespace kasa
