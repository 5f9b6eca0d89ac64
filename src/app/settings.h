// The program's settings: the table of rows of section "USTAWIENIA" that ties each key of
// config.cfg to a value and its type, the fonts, the print layout of section
// "DRUKOWANIE", the corrections applied to read values, and where config.cfg lives.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/atomic_file.h"
#include "base/key_value_file.h"

namespace kasa {

inline constexpr std::string_view kSettingsSection = "USTAWIENIA";
inline constexpr std::string_view kPrintSection = "DRUKOWANIE";
inline constexpr std::string_view kConfigFileName = "config.cfg";

// Style bits of a font.
enum FontStyleBits : int32_t {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

// A font as plain data; the window turns it into its toolkit's font.
struct FontSetting {
    std::string name;
    // The colour as stored: blue in the high byte, red in the low byte (0x00BBGGRR).
    int32_t colour = 0;
    int32_t size = 0;
    int32_t style = 0;  // FontStyleBits

    bool operator==(const FontSetting&) const = default;
};

// The four fonts the user chooses; the buttons use a fifth, derived from the Info font.
struct FontSet {
    FontSetting info;
    FontSetting edit;
    FontSetting table;
    FontSetting wind;

    bool operator==(const FontSet&) const = default;
};

// The fonts a fresh installation starts with.
FontSet DefaultFonts();

struct RgbColour {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};
RgbColour RgbOfColour(int32_t colour);
int32_t ColourOfRgb(RgbColour rgb);

// Where a tool window was and whether it was open, with the file it last used.
struct WindowPlace {
    std::string file;
    int32_t top = 0;
    int32_t left = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool showing = false;

    // A saved position is used only when both width and height are non-zero.
    bool HasSavedSize() const { return width != 0 && height != 0; }
};

inline constexpr int kPrintFlagCount = 30;

// Section "DRUKOWANIE": margins and sizes of printed tables, and which columns of the
// goods and cashier tables are printed.
struct PrintLayout {
    double KodKreskowy = 0;
    double Lewy = 0;
    double Dolny = 0;
    double Prawy = 0;
    double Wiersza = 0;
    double Kolumny = 0;
    std::array<bool, kPrintFlagCount> pluFlags{};
    std::array<bool, kPrintFlagCount> cashierFlags{};
};

inline constexpr int32_t kDefaultBackupCount = 200;

struct Settings {
    std::string ChashPath;  // register type name
    std::string PortName;
    int32_t baudRate = 0;
    int32_t ErrorMax = 0;
    bool Hint = false;       // true: tool-tip hints off
    bool Edit = false;       // true: the row-edit blocks under the tables hidden
    bool Function = false;   // true: the function buttons beside the tables hidden
    bool BalonHint = false;  // true: the filters' messages off
    int32_t minPLU = 0;
    int32_t HintPause = 0;
    int32_t HintHidePause = 0;
    // The maker's USB vendor id in hexadecimal, for listing only the maker's devices; empty
    // lists every USB serial device.
    std::string UsbVendorId;
    bool AutoUpgrade = true;  // the check for a newer version at start; on unless set to 0
    // How many backups of overwritten register records are kept; a missing or non-positive
    // value keeps kDefaultBackupCount (backups cannot be turned off).
    int32_t KopieMax = kDefaultBackupCount;
    // Every write to the register is read back and compared ("Sprawdzaj zapis odczytem").
    bool SprawdzajZapis = false;
    // The network ports (tcp://, rfc2217://) last chosen, newest first, separated by ';'.
    std::string NetworkPorts;

    WindowPlace List;      // validation message list
    WindowPlace Fiscal;    // fiscal memory listing
    WindowPlace Sender;    // file sender
    WindowPlace EditSeq;   // sequence editor
    WindowPlace EditBin;   // binary editor
    WindowPlace CompList;  // compile result listing

    int32_t MainTop = 0;
    int32_t MainLeft = 0;
    int32_t MainWidth = 0;
    int32_t MainHeight = 0;

    std::string PodFile;
    std::string CsvFile;
    std::string TxtFile;
    std::string XlsxFile;
    std::string ExtLast;

    FontSetting FontInfo;
    FontSetting FontEdit;
    FontSetting FontTable;
    FontSetting FontWind;

    PrintLayout print;
};

// The settings the program settings window edits, with the meanings they have in the
// settings file: the four switches are true when the thing is off or hidden.
struct ProgramSettingsValues {
    std::string portName;      // PortName
    int32_t baudRate = 9600;   // baudRate
    std::string registerType;  // ChashPath
    int32_t minPlu = 1;        // minPLU
    bool hint = false;         // Hint: hints off
    bool edit = false;         // Edit: row-edit blocks hidden
    bool function = false;     // Function: function buttons hidden
    bool balonHint = false;    // BalonHint: the filters' messages off
    bool autoUpgrade = true;   // AutoUpgrade: the check for a newer version on
    bool readBack = false;     // SprawdzajZapis: every write read back and compared
    std::string networkPorts;  // NetworkPorts
    FontSet fonts = DefaultFonts();

    bool operator==(const ProgramSettingsValues&) const = default;
};
ProgramSettingsValues ProgramSettingsOf(const Settings& settings);
// Takes into `settings` only the values that differ between `before` (what the window was
// given) and `after` (what it holds now), so that a value changed meanwhile elsewhere, such
// as the register type the session switched to, is not overwritten with a stale copy.
void TakeChangedProgramSettings(const ProgramSettingsValues& before,
                                const ProgramSettingsValues& after, Settings& settings);

// The settings window's caption of SprawdzajZapis.
inline constexpr const char* kReadBackSettingCaption = "Sprawdzaj zapis odczytem";
// The network port names of a NetworkPorts value, newest first.
std::vector<std::string> SplitNetworkPorts(std::string_view list);
// The NetworkPorts value with `name` put first: an earlier mention of it (in any letter
// case) goes, and only the newest kNetworkPortsKept stay.
inline constexpr size_t kNetworkPortsKept = 8;
std::string RememberNetworkPort(std::string_view list, std::string_view name);

enum class SettingType { kString, kInteger, kBoolean };

// One row of the settings table: a key of section "USTAWIENIA" and the value it holds.
struct SettingRow {
    std::string_view key;
    SettingType type;
    std::variant<std::string*, int32_t*, bool*> value;
};

// Every row, in the order the file keeps them.
std::vector<SettingRow> SettingsTable(Settings& settings);

// Font defaults: a font without a name gets the default name, colour and style; one of
// size 0 the default size.
void ApplyFontDefaults(Settings& settings);
// The button font: the Info font in black.
FontSetting ButtonFont(const FontSetting& info);

// Corrections of read values. minPLU is kept within 1..1000, a speed that is not
// positive becomes 9600 and a KopieMax below 1 becomes 200 (applied by LoadSettings,
// together with the font defaults); the hint delays
// when the main window is shown: HintPause outside 100..10000 becomes 500, HintHidePause outside
// 1000..120000 becomes 30000.
void ClampLoadedValues(Settings& settings);
void ClampHintPauses(Settings& settings);
// Run when a check starts: an ErrorMax outside 1..5000 becomes 200. Returns true when it
// was corrected, so that the caller saves the settings at once.
bool CorrectErrorMax(Settings& settings);

// Everything read at the program's start: the rows of "USTAWIENIA", the font defaults,
// "DRUKOWANIE" and the corrections of ClampLoadedValues. Missing keys read as empty, 0
// or false.
void LoadSettings(const KeyValueFile& file, Settings& settings);
// Every row of "USTAWIENIA"; other sections of the file stay.
void SaveSettings(KeyValueFile& file, const Settings& settings);

void LoadPrintLayout(const KeyValueFile& file, PrintLayout& layout);
// Writes the whole "DRUKOWANIE" section.
void SavePrintLayout(KeyValueFile& file, const PrintLayout& layout);

// Loads a settings file; a missing or unreadable one gives the defaults.
Settings ReadSettingsFile(const std::string& path);
// Saves the settings into a file, keeping its other sections; atomic.
WriteResult WriteSettingsFile(const std::string& path, const Settings& settings);
WriteResult WritePrintLayoutFile(const std::string& path, const PrintLayout& layout);

// Where an installed program keeps its settings, as the help texts name it.
#ifdef _WIN32
inline constexpr std::string_view kDefaultConfigPathText = "%APPDATA%\\serwis-kas\\config.cfg";
#else
inline constexpr std::string_view kDefaultConfigPathText = "~/.config/serwis-kas/config.cfg";
#endif

// What decides where config.cfg lives.
struct ConfigLocationFacts {
    std::string overridePath;   // --config, empty when not given
    std::string programFolder;  // the program file's folder
    bool programFolderWritable = false;
    std::string xdgConfigHome;  // $XDG_CONFIG_HOME
    std::string home;           // $HOME
    std::string appData;        // %APPDATA% on Windows, empty elsewhere
};

// --config when given; else config.cfg next to the program when that folder is writable
// and not a system folder (/usr, /bin, /sbin: an installed program, even run by root);
// else serwis-kas/config.cfg in the user's configuration folder ($XDG_CONFIG_HOME when it
// is an absolute path, else $HOME/.config; on Windows %APPDATA%\serwis-kas); next to the
// program when no home is known.
std::string ConfigFilePath(const ConfigLocationFacts& facts);
// The facts of this process, without an override (each system has its own file).
ConfigLocationFacts ConfigLocationOfThisProcess();
// Copies the settings of an older copy (`from`) to `to` when `to` does not exist yet; an
// existing file is never overwritten. False only when a copy was due and failed.
bool MigrateConfigFile(const std::string& from, const std::string& to);
// The same rule on this process's facts; creates the configuration folder when the file
// goes there, and takes over a config.cfg left next to the program by an older copy.
std::string ResolveConfigFilePath(std::string_view overridePath);

}  // namespace kasa
