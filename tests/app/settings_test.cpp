#include "app/settings.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

struct Parsed : KeyValueFile {
    explicit Parsed(std::string_view bytes) { Parse(bytes); }
};

Settings Loaded(std::string_view bytes) {
    const Parsed file(bytes);
    Settings settings;
    LoadSettings(file, settings);
    return settings;
}

// The keys are those of the files already written by earlier versions, odd spellings too.
TEST(SettingsTest, TableKeepsTheStoredKeys) {
    Settings settings;
    std::string keys = " ";
    for (const SettingRow& row : SettingsTable(settings)) {
        keys += std::string(row.key) + " ";
    }
    EXPECT_EQ(SettingsTable(settings).size(), 77u);
    for (const char* key :
         {" ChashPath PortName baudRate ErrorMax Hint Edit Function BalonHint ", " minPLU ",
          " UsbVendorId ", " AutoUpgrade KopieMax SprawdzajZapis ", " NetworkPorts ",
          " EditBinHeight ", " ExtLast ", " XlsxFile ", " FontWindStyle "}) {
        EXPECT_NE(keys.find(key), std::string::npos) << key;
    }
}

TEST(SettingsTest, MissingFileStartsWithDefaults) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    Settings settings = ReadSettingsFile(folder.Path("config.cfg"));
    EXPECT_EQ(settings.ChashPath, "");
    EXPECT_EQ(settings.PortName, "");
    EXPECT_EQ(settings.minPLU, 1);
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_FALSE(settings.Hint);
    EXPECT_FALSE(settings.List.HasSavedSize());
    // The upgrade check is on unless the file turns it off.
    EXPECT_TRUE(settings.AutoUpgrade);
    EXPECT_TRUE(Loaded("[USTAWIENIA]\r\nHint=1\r\n").AutoUpgrade);
    EXPECT_FALSE(Loaded("[USTAWIENIA]\r\nAutoUpgrade=0\r\n").AutoUpgrade);
    // 200 backups are kept unless the file says otherwise; none at all cannot be asked for.
    EXPECT_EQ(settings.KopieMax, 200);
    EXPECT_EQ(Loaded("[USTAWIENIA]\r\nKopieMax=15\r\n").KopieMax, 15);
    EXPECT_EQ(Loaded("[USTAWIENIA]\r\nKopieMax=0\r\n").KopieMax, 200);
    EXPECT_EQ(Loaded("[USTAWIENIA]\r\nKopieMax=-3\r\n").KopieMax, 200);
    EXPECT_FALSE(settings.SprawdzajZapis);
    EXPECT_TRUE(Loaded("[USTAWIENIA]\r\nSprawdzajZapis=1\r\n").SprawdzajZapis);
    EXPECT_EQ(settings.FontInfo, (FontSetting{"Arial", 128, 11, kFontBold | kFontItalic}));
    EXPECT_EQ(settings.FontEdit, (FontSetting{"Arial", 32768, 12, kFontBold | kFontItalic}));
    EXPECT_EQ(settings.FontWind, (FontSetting{"Courier New", 255, 12, kFontBold | kFontItalic}));
    EXPECT_EQ(settings.FontTable, (FontSetting{"Arial", 10485760, 12, kFontBold | kFontItalic}));
    EXPECT_EQ(ButtonFont(settings.FontInfo),
              (FontSetting{"Arial", 0, 11, kFontBold | kFontItalic}));
    EXPECT_EQ(DefaultFonts(), (FontSet{settings.FontInfo, settings.FontEdit, settings.FontTable,
                                       settings.FontWind}));
    ClampHintPauses(settings);
    EXPECT_EQ(settings.HintPause, 500);
    EXPECT_EQ(settings.HintHidePause, 30000);
    EXPECT_FALSE(folder.Exists("config.cfg"));
}

TEST(SettingsTest, FontDefaultsFillOnlyWhatIsMissing) {
    const Settings settings = Loaded(
        "[USTAWIENIA]\r\n"
        "FontInfoSet=Verdana\r\nFontInfoCol=5\r\nFontInfoSize=0\r\nFontInfoStyle=4\r\n"
        "FontEditSet=\r\nFontEditCol=5\r\nFontEditSize=20\r\nFontEditStyle=8\r\n");
    // A name keeps its colour and style; only the size 0 is replaced.
    EXPECT_EQ(settings.FontInfo, (FontSetting{"Verdana", 5, 11, kFontUnderline}));
    // Without a name the name, colour and style are replaced; the size stays.
    EXPECT_EQ(settings.FontEdit, (FontSetting{"Arial", 32768, 20, kFontBold | kFontItalic}));
    EXPECT_EQ(ButtonFont(settings.FontInfo), (FontSetting{"Verdana", 0, 11, kFontUnderline}));
}

TEST(SettingsTest, Clamps) {
    struct Case {
        int32_t hintPause, hintHidePause, minPlu;
        int32_t wantHintPause, wantHintHidePause, wantMinPlu;
    };
    const Case cases[] = {
        {50, 200000, 0, 500, 30000, 1},
        {100, 1000, 1, 100, 1000, 1},
        {10000, 120000, 1000, 10000, 120000, 1000},
        {10001, 999, 5000, 500, 30000, 1000},
    };
    for (const Case& c : cases) {
        const std::string text = "[USTAWIENIA]\r\nHintPause=" + std::to_string(c.hintPause) +
                                 "\r\nHintHidePause=" + std::to_string(c.hintHidePause) +
                                 "\r\nminPLU=" + std::to_string(c.minPlu) + "\r\n";
        Settings settings = Loaded(text);
        EXPECT_EQ(settings.minPLU, c.wantMinPlu) << text;
        ClampHintPauses(settings);
        EXPECT_EQ(settings.HintPause, c.wantHintPause) << text;
        EXPECT_EQ(settings.HintHidePause, c.wantHintHidePause) << text;
    }
}

TEST(SettingsTest, ErrorLimitIsCorrectedWhenACheckStarts) {
    struct Case {
        int32_t value, corrected;
        bool changed;
    };
    const Case cases[] = {{0, 200, true}, {6000, 200, true},   {-1, 200, true},  {5001, 200, true},
                          {1, 1, false},  {5000, 5000, false}, {200, 200, false}};
    for (const Case& c : cases) {
        Settings settings;
        settings.ErrorMax = c.value;
        EXPECT_EQ(CorrectErrorMax(settings), c.changed) << c.value;
        EXPECT_EQ(settings.ErrorMax, c.corrected) << c.value;
    }
    // Loading does not correct it: the check does, and then saves.
    EXPECT_EQ(Loaded("[USTAWIENIA]\r\nErrorMax=0\r\n").ErrorMax, 0);
}

TEST(SettingsTest, KeysMatchInAnyCase) {
    const Settings settings = Loaded(
        "[ustawienia]\r\n"
        "portname=/dev/ttyUSB1\r\n"
        "CHASHPATH=zen\r\n"
        "BAUDRATE = 38400 // szybko\r\n"
        "minplu=12abc\r\n"
        "hint=5\r\n"
        "listshowing=1\r\n");
    EXPECT_EQ(settings.PortName, "/dev/ttyUSB1");
    EXPECT_EQ(settings.ChashPath, "zen");
    EXPECT_EQ(settings.baudRate, 38400);
    EXPECT_EQ(settings.minPLU, 12);
    EXPECT_TRUE(settings.Hint);
    EXPECT_TRUE(settings.List.showing);
}

TEST(SettingsTest, EditorsKeepTheirOwnHeights) {
    // A file written before the binary editor had its own key: both read the one height.
    Settings old = Loaded("[USTAWIENIA]\r\nEditSeqHeight=300\r\n");
    EXPECT_EQ(old.EditSeq.height, 300);
    EXPECT_EQ(old.EditBin.height, 300);

    old.EditBin.height = 200;
    KeyValueFile file;
    SaveSettings(file, old);
    EXPECT_EQ(file.ReadInteger("USTAWIENIA", "EditSeqHeight"), 300);
    EXPECT_EQ(file.ReadInteger("USTAWIENIA", "EditBinHeight"), 200);
    Settings again;
    LoadSettings(file, again);
    EXPECT_EQ(again.EditSeq.height, 300);
    EXPECT_EQ(again.EditBin.height, 200);
}

TEST(SettingsTest, RoundTripThroughTheFileKeepsEveryRowAndOtherSections) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("config.cfg",
                 "; plik ustawień\r\n[DRUKOWANIE]\r\nLewy=2,5\r\nKAS_flag3=1\r\n\r\n"
                 "[USTAWIENIA]\r\nPortName=stary\r\n");
    Settings written;
    int counter = 0;
    for (const SettingRow& row : SettingsTable(written)) {
        ++counter;
        if (auto* text = std::get_if<std::string*>(&row.value)) {
            **text = "wartość " + std::to_string(counter) + " ż";
        } else if (auto* number = std::get_if<int32_t*>(&row.value)) {
            **number = counter * 7;
        } else if (auto* flag = std::get_if<bool*>(&row.value)) {
            **flag = counter % 2 == 0;
        }
    }
    written.ChashPath = "Zen";
    written.minPLU = 5;
    ASSERT_TRUE(WriteSettingsFile(folder.Path("config.cfg"), written).ok);

    Settings read = ReadSettingsFile(folder.Path("config.cfg"));
    std::vector<SettingRow> want = SettingsTable(written);
    std::vector<SettingRow> got = SettingsTable(read);
    ASSERT_EQ(want.size(), got.size());
    for (size_t i = 0; i < want.size(); ++i) {
        std::visit(
            [&](auto* a) { EXPECT_EQ(*a, *std::get<decltype(a)>(got[i].value)) << want[i].key; },
            want[i].value);
    }
    // The print layout and the comment were not touched by saving the settings.
    EXPECT_DOUBLE_EQ(read.print.Lewy, 2.5);
    EXPECT_TRUE(read.print.cashierFlags[3]);
    const std::string bytes = folder.Read("config.cfg");
    EXPECT_EQ(bytes.rfind("; plik ustawie\xF1\r\n[DRUKOWANIE]\r\nLewy=2,5\r\n", 0), 0u);
    EXPECT_NE(bytes.find("PortName=warto\x9C\xE6 2 \xBF\r\n"), std::string::npos);
}

TEST(SettingsTest, PrintLayout) {
    PrintLayout layout = Loaded(
                             "[DRUKOWANIE]\r\nKodKreskowy=1.5\r\nLewy=12,25\r\nDolny=3 // mm\r\n"
                             "Prawy=x\r\nPLU_flag0=1\r\nPLU_flag29=1\r\nKAS_flag7=1\r\n")
                             .print;
    EXPECT_DOUBLE_EQ(layout.KodKreskowy, 1.5);
    EXPECT_DOUBLE_EQ(layout.Lewy, 12.25);
    EXPECT_DOUBLE_EQ(layout.Dolny, 3.0);
    EXPECT_DOUBLE_EQ(layout.Prawy, 0.0);  // written, though not as a number
    // The gaps the file does not hold start wide enough to read on paper, 2 mm at least;
    // a gap the file holds is kept, however small.
    EXPECT_GE(layout.Wiersza * 25.4, 2.0);
    EXPECT_LE(layout.Wiersza, 0.5);
    EXPECT_GE(layout.Kolumny * 25.4, 2.0);
    EXPECT_LE(layout.Kolumny, 0.5);
    EXPECT_DOUBLE_EQ(Loaded("[DRUKOWANIE]\r\nKolumny=0.005\r\n").print.Kolumny, 0.005);
    const PrintLayout fresh = Loaded("").print;
    EXPECT_GE(fresh.Kolumny * 25.4, 2.0);
    EXPECT_GE(fresh.Wiersza * 25.4, 2.0);
    EXPECT_TRUE(layout.pluFlags[0]);
    EXPECT_TRUE(layout.pluFlags[29]);
    EXPECT_FALSE(layout.pluFlags[1]);
    EXPECT_TRUE(layout.cashierFlags[7]);
    EXPECT_FALSE(layout.cashierFlags[0]);

    layout.Kolumny = 0.5;
    layout.cashierFlags[0] = true;
    KeyValueFile file;
    SavePrintLayout(file, layout);
    const std::string text = file.Serialize();
    EXPECT_EQ(text.rfind("[DRUKOWANIE]\r\nKodKreskowy=1.500\r\nLewy=12.250\r\nDolny=3.000\r\n"
                         "Prawy=0.000\r\nWiersza=0.080\r\nKolumny=0.500\r\nPLU_flag0=1\r\n"
                         "PLU_flag1=0\r\n",
                         0),
              0u);
    EXPECT_NE(text.find("PLU_flag29=1\r\nKAS_flag0=1\r\nKAS_flag1=0\r\n"), std::string::npos);
    // Saved cashier print flags come back at the next start.
    Settings again;
    LoadSettings(file, again);
    EXPECT_TRUE(again.print.cashierFlags[0]);
    EXPECT_TRUE(again.print.cashierFlags[7]);
    EXPECT_FALSE(again.print.cashierFlags[8]);
}

TEST(SettingsTest, Colours) {
    struct Case {
        int32_t colour;
        uint8_t red, green, blue;
    };
    const Case cases[] = {{10485760, 0, 0, 0xA0}, {0x00123456, 0x56, 0x34, 0x12}};
    for (const Case& c : cases) {
        const RgbColour rgb = RgbOfColour(c.colour);
        EXPECT_EQ(rgb.red, c.red) << c.colour;
        EXPECT_EQ(rgb.green, c.green) << c.colour;
        EXPECT_EQ(rgb.blue, c.blue) << c.colour;
        EXPECT_EQ(ColourOfRgb(rgb), c.colour);
    }
}

TEST(SettingsTest, ConfigFileLocation) {
    struct Case {
        const char* name;
        ConfigLocationFacts facts;
        const char* path;
    };
    const Case cases[] = {
        {"override", {"/tmp/inny.cfg", "/opt/kasa", true, "/x", "/home/jan", ""}, "/tmp/inny.cfg"},
        {"writable", {"", "/opt/kasa", true, "/x", "/home/jan", ""}, "/opt/kasa/config.cfg"},
        {"writable slash", {"", "/opt/kasa/", true, "", "", ""}, "/opt/kasa/config.cfg"},
        {"xdg",
         {"", "/usr/bin", false, "/home/jan/.cfg", "/home/jan", ""},
         "/home/jan/.cfg/serwis-kas/config.cfg"},
        {"relative xdg",
         {"", "/usr/bin", false, "cfg", "/home/jan", ""},
         "/home/jan/.config/serwis-kas/config.cfg"},
        {"home",
         {"", "/usr/bin/", false, "", "/home/jan/", ""},
         "/home/jan/.config/serwis-kas/config.cfg"},
        {"nothing", {"", "/usr/bin", false, "", "", ""}, "/usr/bin/config.cfg"},
        // An installed program keeps its settings per user even when root runs it.
        {"installed, root",
         {"", "/usr/bin", true, "", "/root", ""},
         "/root/.config/serwis-kas/config.cfg"},
        {"usr-like name", {"", "/usrkasa", true, "", "/root", ""}, "/usrkasa/config.cfg"},
        // Windows: next to the program, else the user's profile folder in %APPDATA%.
        {"windows writable", {"", "D:\\Kasa\\", true, "", "", "C:\\Dane"}, "D:\\Kasa\\config.cfg"},
        {"windows profile",
         {"", "C:\\Program Files\\Kasa\\", false, "", "", "C:\\Users\\jan\\AppData\\Roaming"},
         "C:\\Users\\jan\\AppData\\Roaming\\serwis-kas\\config.cfg"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ConfigFilePath(c.facts), c.path) << c.name;
    }
    EXPECT_EQ(ResolveConfigFilePath("/tmp/podany.cfg"), "/tmp/podany.cfg");
    // The help texts name the file an installed program reads: "~" is the user's home.
#ifndef _WIN32
    std::string named(kDefaultConfigPathText);
    ASSERT_EQ(named.rfind("~/", 0), 0u);
    named.replace(0, 1, "/home/jan");
    EXPECT_EQ(named, ConfigFilePath({"", "/usr/bin", false, "", "/home/jan", ""}));
#endif

    // An older copy's settings are taken over once; the user's own file is never replaced.
    ScratchFolder folder;
    folder.Write("stary.cfg", "[USTAWIENIA]\r\nPortName=/dev/ttyUSB0\r\n");
    EXPECT_TRUE(MigrateConfigFile(folder.Path("stary.cfg"), folder.Path("nowy.cfg")));
    EXPECT_EQ(folder.Read("nowy.cfg"), folder.Read("stary.cfg"));
    folder.Write("stary.cfg", "[USTAWIENIA]\r\nPortName=/dev/ttyS0\r\n");
    EXPECT_TRUE(MigrateConfigFile(folder.Path("stary.cfg"), folder.Path("nowy.cfg")));
    EXPECT_NE(folder.Read("nowy.cfg").find("ttyUSB0"), std::string::npos);
    EXPECT_TRUE(MigrateConfigFile(folder.Path("brak.cfg"), folder.Path("inny.cfg")));
    EXPECT_FALSE(folder.Exists("inny.cfg"));
    // Folders named with Polish letters: the old file is found and copied by its wide name.
    folder.MakeFolder("Paweł");
    folder.MakeFolder("Żaneta");
    folder.Write("Paweł/config.cfg", "[USTAWIENIA]\r\nPortName=COM3\r\n");
    EXPECT_TRUE(
        MigrateConfigFile(folder.Path("Paweł/config.cfg"), folder.Path("Żaneta/config.cfg")));
    EXPECT_EQ(folder.Read("Żaneta/config.cfg"), "[USTAWIENIA]\r\nPortName=COM3\r\n");
    const std::string resolved = ResolveConfigFilePath("");
    EXPECT_EQ(std::filesystem::path(resolved).filename(), "config.cfg");
}

TEST(SettingsTest, NetworkPortsKeepTheNewestFirstWithoutRepeats) {
    EXPECT_EQ(SplitNetworkPorts(""), std::vector<std::string>{});
    EXPECT_EQ(SplitNetworkPorts(" tcp://a:1 ;;rfc2217://b:2"),
              (std::vector<std::string>{"tcp://a:1", "rfc2217://b:2"}));
    // A port used again moves to the front, whatever its letter case was.
    EXPECT_EQ(RememberNetworkPort("tcp://a:1;TCP://B:2;tcp://c:3", "tcp://b:2"),
              "tcp://b:2;tcp://a:1;tcp://c:3");
    EXPECT_EQ(RememberNetworkPort("", "rfc2217://[::1]:4001"), "rfc2217://[::1]:4001");
    // Eight are kept: the oldest goes.
    std::string list;
    for (int i = 1; i <= 9; ++i) {
        list = RememberNetworkPort(list, "tcp://h:" + std::to_string(i));
    }
    EXPECT_EQ(list,
              "tcp://h:9;tcp://h:8;tcp://h:7;tcp://h:6;tcp://h:5;tcp://h:4;tcp://h:3;tcp://h:2");
    // The value travels through the settings file and the settings window's copy.
    Settings settings;
    settings.NetworkPorts = "tcp://a:1";
    ProgramSettingsValues before = ProgramSettingsOf(settings);
    ProgramSettingsValues after = before;
    after.networkPorts = "tcp://b:2;tcp://a:1";
    TakeChangedProgramSettings(before, after, settings);
    EXPECT_EQ(settings.NetworkPorts, "tcp://b:2;tcp://a:1");
}

}  // namespace
}  // namespace kasa
