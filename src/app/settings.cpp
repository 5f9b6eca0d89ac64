#include "app/settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "base/file_path.h"
#include "base/number_text.h"
#include "print/print_parameters.h"
#include "tables/catalogue.h"

namespace kasa {

namespace {

constexpr int32_t kBoldItalic = kFontBold | kFontItalic;

void ApplyFontDefault(FontSetting& font, const FontSetting& fallback) {
    if (font.name.empty()) {
        font.name = fallback.name;
        font.colour = fallback.colour;
        font.style = fallback.style;
    }
    if (font.size == 0) {
        font.size = fallback.size;
    }
}

void AddWindowRows(std::vector<SettingRow>& rows, WindowPlace& place,
                   std::array<std::string_view, 6> keys) {
    rows.push_back({keys[0], SettingType::kString, &place.file});
    rows.push_back({keys[1], SettingType::kInteger, &place.top});
    rows.push_back({keys[2], SettingType::kInteger, &place.left});
    rows.push_back({keys[3], SettingType::kInteger, &place.width});
    rows.push_back({keys[4], SettingType::kInteger, &place.height});
    rows.push_back({keys[5], SettingType::kBoolean, &place.showing});
}

void AddFontRows(std::vector<SettingRow>& rows, FontSetting& font,
                 std::array<std::string_view, 4> keys) {
    rows.push_back({keys[0], SettingType::kString, &font.name});
    rows.push_back({keys[1], SettingType::kInteger, &font.colour});
    rows.push_back({keys[2], SettingType::kInteger, &font.size});
    rows.push_back({keys[3], SettingType::kInteger, &font.style});
}

// The binary editor's height has a key of its own so that the two editors keep their own
// heights; files written before it existed hold that height under the sequence editor's key.
constexpr std::string_view kEditBinHeightKey = "EditBinHeight";
constexpr std::string_view kEditSeqHeightKey = "EditSeqHeight";

std::string PrintFlagKey(std::string_view prefix, int index) {
    return std::string(prefix) + DecimalText(index);
}

std::string WithSlash(std::string folder, char separator = '/') {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
        folder += separator;
    }
    return folder;
}

}  // namespace

RgbColour RgbOfColour(int32_t colour) {
    const auto value = static_cast<uint32_t>(colour);
    return RgbColour{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
                     static_cast<uint8_t>((value >> 16) & 0xFF)};
}

int32_t ColourOfRgb(RgbColour rgb) {
    return static_cast<int32_t>(uint32_t{rgb.red} | (uint32_t{rgb.green} << 8) |
                                (uint32_t{rgb.blue} << 16));
}

std::vector<SettingRow> SettingsTable(Settings& s) {
    std::vector<SettingRow> rows;
    rows.reserve(77);
    rows.push_back({"ChashPath", SettingType::kString, &s.ChashPath});
    rows.push_back({"PortName", SettingType::kString, &s.PortName});
    rows.push_back({"baudRate", SettingType::kInteger, &s.baudRate});
    rows.push_back({"ErrorMax", SettingType::kInteger, &s.ErrorMax});
    rows.push_back({"Hint", SettingType::kBoolean, &s.Hint});
    rows.push_back({"Edit", SettingType::kBoolean, &s.Edit});
    rows.push_back({"Function", SettingType::kBoolean, &s.Function});
    rows.push_back({"BalonHint", SettingType::kBoolean, &s.BalonHint});
    rows.push_back({"minPLU", SettingType::kInteger, &s.minPLU});
    rows.push_back({"HintPause", SettingType::kInteger, &s.HintPause});
    rows.push_back({"HintHidePause", SettingType::kInteger, &s.HintHidePause});
    rows.push_back({"UsbVendorId", SettingType::kString, &s.UsbVendorId});
    rows.push_back({"AutoUpgrade", SettingType::kBoolean, &s.AutoUpgrade});
    rows.push_back({"KopieMax", SettingType::kInteger, &s.KopieMax});
    rows.push_back({"SprawdzajZapis", SettingType::kBoolean, &s.SprawdzajZapis});
    rows.push_back({"NetworkPorts", SettingType::kString, &s.NetworkPorts});
    AddWindowRows(rows, s.List,
                  {"ListFile", "ListTop", "ListLeft", "ListWidth", "ListHeight", "ListShowing"});
    AddWindowRows(
        rows, s.Fiscal,
        {"FiscalFile", "FiscalTop", "FiscalLeft", "FiscalWidth", "FiscalHeight", "FiscalShowing"});
    AddWindowRows(
        rows, s.Sender,
        {"SenderFile", "SenderTop", "SenderLeft", "SenderWidth", "SenderHeight", "SenderShowing"});
    AddWindowRows(rows, s.EditSeq,
                  {"EditSeqFile", "EditSeqTop", "EditSeqLeft", "EditSeqWidth", kEditSeqHeightKey,
                   "EditSeqShowing"});
    AddWindowRows(rows, s.EditBin,
                  {"EditBinFile", "EditBinTop", "EditBinLeft", "EditBinWidth", kEditBinHeightKey,
                   "EditBinShowing"});
    AddWindowRows(rows, s.CompList,
                  {"CompListFile", "CompListTop", "CompListLeft", "CompListWidth", "CompListHeight",
                   "CompListShowing"});
    rows.push_back({"MainTop", SettingType::kInteger, &s.MainTop});
    rows.push_back({"MainLeft", SettingType::kInteger, &s.MainLeft});
    rows.push_back({"MainWidth", SettingType::kInteger, &s.MainWidth});
    rows.push_back({"MainHeight", SettingType::kInteger, &s.MainHeight});
    rows.push_back({"PodFile", SettingType::kString, &s.PodFile});
    rows.push_back({"CsvFile", SettingType::kString, &s.CsvFile});
    rows.push_back({"TxtFile", SettingType::kString, &s.TxtFile});
    rows.push_back({"XlsxFile", SettingType::kString, &s.XlsxFile});
    rows.push_back({"ExtLast", SettingType::kString, &s.ExtLast});
    AddFontRows(rows, s.FontInfo, {"FontInfoSet", "FontInfoCol", "FontInfoSize", "FontInfoStyle"});
    AddFontRows(rows, s.FontEdit, {"FontEditSet", "FontEditCol", "FontEditSize", "FontEditStyle"});
    AddFontRows(rows, s.FontTable,
                {"FontTableSet", "FontTableCol", "FontTableSize", "FontTableStyle"});
    AddFontRows(rows, s.FontWind, {"FontWindSet", "FontWindCol", "FontWindSize", "FontWindStyle"});
    return rows;
}

FontSet DefaultFonts() {
    FontSet fonts;
    fonts.info = {"Arial", 128, 11, kBoldItalic};
    fonts.edit = {"Arial", 32768, 12, kBoldItalic};
    fonts.table = {"Arial", 10485760, 12, kBoldItalic};
    fonts.wind = {"Courier New", 255, 12, kBoldItalic};
    return fonts;
}

void ApplyFontDefaults(Settings& settings) {
    const FontSet defaults = DefaultFonts();
    ApplyFontDefault(settings.FontInfo, defaults.info);
    ApplyFontDefault(settings.FontEdit, defaults.edit);
    ApplyFontDefault(settings.FontWind, defaults.wind);
    ApplyFontDefault(settings.FontTable, defaults.table);
}

FontSetting ButtonFont(const FontSetting& info) {
    FontSetting font = info;
    font.colour = 0;
    return font;
}

std::vector<std::string> SplitNetworkPorts(std::string_view list) {
    std::vector<std::string> names;
    while (!list.empty()) {
        const size_t end = std::min(list.find(';'), list.size());
        std::string_view name = list.substr(0, end);
        while (!name.empty() && name.front() == ' ') {
            name.remove_prefix(1);
        }
        while (!name.empty() && name.back() == ' ') {
            name.remove_suffix(1);
        }
        if (!name.empty()) {
            names.emplace_back(name);
        }
        list.remove_prefix(std::min(end + 1, list.size()));
    }
    return names;
}

std::string RememberNetworkPort(std::string_view list, std::string_view name) {
    const auto lower = [](std::string_view text) {
        std::string out(text);
        for (char& c : out) {
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        }
        return out;
    };
    std::string result(name);
    size_t kept = 1;
    for (const std::string& other : SplitNetworkPorts(list)) {
        if (kept < kNetworkPortsKept && lower(other) != lower(name)) {
            result += ";" + other;
            ++kept;
        }
    }
    return result;
}

ProgramSettingsValues ProgramSettingsOf(const Settings& settings) {
    ProgramSettingsValues v;
    v.portName = settings.PortName;
    v.baudRate = settings.baudRate > 0 ? settings.baudRate : 9600;
    v.registerType = settings.ChashPath;
    v.minPlu = settings.minPLU;
    v.hint = settings.Hint;
    v.edit = settings.Edit;
    v.function = settings.Function;
    v.balonHint = settings.BalonHint;
    v.autoUpgrade = settings.AutoUpgrade;
    v.readBack = settings.SprawdzajZapis;
    v.networkPorts = settings.NetworkPorts;
    v.fonts = {settings.FontInfo, settings.FontEdit, settings.FontTable, settings.FontWind};
    return v;
}

namespace {
template <class T>
void TakeChanged(const T& before, const T& after, T& into) {
    if (!(after == before)) {
        into = after;
    }
}
}  // namespace

void TakeChangedProgramSettings(const ProgramSettingsValues& before,
                                const ProgramSettingsValues& after, Settings& settings) {
    TakeChanged(before.portName, after.portName, settings.PortName);
    TakeChanged(before.baudRate, after.baudRate, settings.baudRate);
    TakeChanged(before.registerType, after.registerType, settings.ChashPath);
    TakeChanged(before.minPlu, after.minPlu, settings.minPLU);
    TakeChanged(before.hint, after.hint, settings.Hint);
    TakeChanged(before.edit, after.edit, settings.Edit);
    TakeChanged(before.function, after.function, settings.Function);
    TakeChanged(before.balonHint, after.balonHint, settings.BalonHint);
    TakeChanged(before.autoUpgrade, after.autoUpgrade, settings.AutoUpgrade);
    TakeChanged(before.readBack, after.readBack, settings.SprawdzajZapis);
    TakeChanged(before.networkPorts, after.networkPorts, settings.NetworkPorts);
    TakeChanged(before.fonts.info, after.fonts.info, settings.FontInfo);
    TakeChanged(before.fonts.edit, after.fonts.edit, settings.FontEdit);
    TakeChanged(before.fonts.table, after.fonts.table, settings.FontTable);
    TakeChanged(before.fonts.wind, after.fonts.wind, settings.FontWind);
}

void ClampLoadedValues(Settings& settings) {
    settings.minPLU = ClampMinPlu(settings.minPLU);
    // A speed of 0 could never open the port; the slowest speed offered is the register's
    // usual one.
    if (settings.baudRate <= 0) {
        settings.baudRate = 9600;
    }
    // A file without the key, or one that asks for none, keeps the usual number: a write
    // to the register always leaves its backup.
    if (settings.KopieMax < 1) {
        settings.KopieMax = kDefaultBackupCount;
    }
}

void ClampHintPauses(Settings& settings) {
    if (settings.HintPause < 100 || settings.HintPause > 10000) {
        settings.HintPause = 500;
    }
    if (settings.HintHidePause < 1000 || settings.HintHidePause > 120000) {
        settings.HintHidePause = 30000;
    }
}

bool CorrectErrorMax(Settings& settings) {
    if (settings.ErrorMax >= 1 && settings.ErrorMax <= 5000) {
        return false;
    }
    settings.ErrorMax = 200;
    return true;
}

void LoadSettings(const KeyValueFile& file, Settings& settings) {
    for (const SettingRow& row : SettingsTable(settings)) {
        if (auto* text = std::get_if<std::string*>(&row.value)) {
            **text = file.ReadString(kSettingsSection, row.key);
        } else if (auto* number = std::get_if<int32_t*>(&row.value)) {
            **number = file.ReadInteger(kSettingsSection, row.key);
        } else if (auto* flag = std::get_if<bool*>(&row.value)) {
            **flag = file.ReadBool(kSettingsSection, row.key);
        }
    }
    // Files from before the check existed keep it on.
    if (!file.ValueExists(kSettingsSection, "AutoUpgrade")) {
        settings.AutoUpgrade = true;
    }
    if (!file.ValueExists(kSettingsSection, kEditBinHeightKey)) {
        settings.EditBin.height = file.ReadInteger(kSettingsSection, kEditSeqHeightKey);
    }
    ApplyFontDefaults(settings);
    LoadPrintLayout(file, settings.print);
    ClampLoadedValues(settings);
}

void SaveSettings(KeyValueFile& file, const Settings& settings) {
    // The rows are only read here.
    for (const SettingRow& row : SettingsTable(const_cast<Settings&>(settings))) {
        if (auto* text = std::get_if<std::string*>(&row.value)) {
            file.WriteString(kSettingsSection, row.key, **text);
        } else if (auto* number = std::get_if<int32_t*>(&row.value)) {
            file.WriteInteger(kSettingsSection, row.key, **number);
        } else if (auto* flag = std::get_if<bool*>(&row.value)) {
            file.WriteBool(kSettingsSection, row.key, **flag);
        }
    }
}

void LoadPrintLayout(const KeyValueFile& file, PrintLayout& layout) {
    // A value the file does not hold is the default, not 0: 0 would become the smallest
    // gap, which prints columns into each other.
    const auto read = [&file](PrintParameter p) {
        const PrintParameterRow& row = PrintParameterRows()[static_cast<size_t>(p)];
        return file.ReadDecimal(kPrintSection, row.key, row.defaultInches);
    };
    layout.KodKreskowy = read(PrintParameter::kBarcodeHeight);
    layout.Lewy = read(PrintParameter::kLeftMargin);
    layout.Dolny = read(PrintParameter::kBottomMargin);
    layout.Prawy = read(PrintParameter::kRightMargin);
    layout.Wiersza = read(PrintParameter::kRowSpacing);
    layout.Kolumny = read(PrintParameter::kColumnSpacing);
    for (int i = 0; i < kPrintFlagCount; ++i) {
        layout.pluFlags[static_cast<size_t>(i)] =
            file.ReadBool(kPrintSection, PrintFlagKey("PLU_flag", i));
        layout.cashierFlags[static_cast<size_t>(i)] =
            file.ReadBool(kPrintSection, PrintFlagKey("KAS_flag", i));
    }
}

void SavePrintLayout(KeyValueFile& file, const PrintLayout& layout) {
    file.WriteDecimal(kPrintSection, "KodKreskowy", layout.KodKreskowy, 3);
    file.WriteDecimal(kPrintSection, "Lewy", layout.Lewy, 3);
    file.WriteDecimal(kPrintSection, "Dolny", layout.Dolny, 3);
    file.WriteDecimal(kPrintSection, "Prawy", layout.Prawy, 3);
    file.WriteDecimal(kPrintSection, "Wiersza", layout.Wiersza, 3);
    file.WriteDecimal(kPrintSection, "Kolumny", layout.Kolumny, 3);
    for (int i = 0; i < kPrintFlagCount; ++i) {
        file.WriteBool(kPrintSection, PrintFlagKey("PLU_flag", i),
                       layout.pluFlags[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < kPrintFlagCount; ++i) {
        file.WriteBool(kPrintSection, PrintFlagKey("KAS_flag", i),
                       layout.cashierFlags[static_cast<size_t>(i)]);
    }
}

Settings ReadSettingsFile(const std::string& path) {
    const KeyValueFile file(path, PathPlaceholders::OfThisProcess());
    Settings settings;
    LoadSettings(file, settings);
    return settings;
}

WriteResult WriteSettingsFile(const std::string& path, const Settings& settings) {
    KeyValueFile file(path, PathPlaceholders::OfThisProcess());
    SaveSettings(file, settings);
    return file.Flush();
}

WriteResult WritePrintLayoutFile(const std::string& path, const PrintLayout& layout) {
    KeyValueFile file(path, PathPlaceholders::OfThisProcess());
    SavePrintLayout(file, layout);
    return file.Flush();
}

namespace {

bool IsSystemProgramFolder(const std::string& folder) {
    for (const std::string_view system : {"/usr", "/bin", "/sbin"}) {
        if (folder.compare(0, system.size(), system) == 0 &&
            (folder.size() == system.size() || folder[system.size()] == '/')) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string ConfigFilePath(const ConfigLocationFacts& facts) {
    if (!facts.overridePath.empty()) {
        return facts.overridePath;
    }
    const std::string nextToProgram = WithSlash(facts.programFolder) + std::string(kConfigFileName);
    if (facts.programFolderWritable && !IsSystemProgramFolder(facts.programFolder)) {
        return nextToProgram;
    }
    if (!facts.appData.empty()) {
        return WithSlash(facts.appData, '\\') + "serwis-kas\\" + std::string(kConfigFileName);
    }
    std::string configHome;
    if (!facts.xdgConfigHome.empty() && facts.xdgConfigHome.front() == '/') {
        configHome = WithSlash(facts.xdgConfigHome);
    } else if (!facts.home.empty()) {
        configHome = WithSlash(facts.home) + ".config/";
    } else {
        return nextToProgram;
    }
    return configHome + "serwis-kas/" + std::string(kConfigFileName);
}

std::string ResolveConfigFilePath(std::string_view overridePath) {
    ConfigLocationFacts facts = ConfigLocationOfThisProcess();
    facts.overridePath = std::string(overridePath);
    std::string path = ConfigFilePath(facts);
    const std::string nextToProgram = WithSlash(facts.programFolder) + std::string(kConfigFileName);
    if (facts.overridePath.empty() && path != nextToProgram) {
        std::error_code error;
        std::filesystem::create_directories(PathFromUtf8(path).parent_path(), error);
        // A failed copy leaves the defaults; the user's own file is never touched.
        MigrateConfigFile(nextToProgram, path);
    }
    return path;
}

bool MigrateConfigFile(const std::string& from, const std::string& to) {
    const std::filesystem::path source = PathFromUtf8(from);
    const std::filesystem::path target = PathFromUtf8(to);
    std::error_code error;
    if (std::filesystem::exists(target, error) ||
        !std::filesystem::is_regular_file(source, error)) {
        return true;
    }
    return std::filesystem::copy_file(source, target, std::filesystem::copy_options::skip_existing,
                                      error) &&
           !error;
}

}  // namespace kasa
