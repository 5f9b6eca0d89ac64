#include "base/key_value_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "base/text_encoding.h"
#include "support/scratch_folder.h"

namespace kasa {
namespace {

using testing::ScratchFolder;

// A file read from bytes, as if loaded from disk.
struct Parsed : KeyValueFile {
    explicit Parsed(std::string_view bytes) { Parse(bytes); }
};

TEST(KeyValueFileTest, LenientIntegers) {
    struct Case {
        const char* text;
        int32_t value;
    };
    const Case cases[] = {
        {"  42", 42},
        {"-7xyz", -7},
        {"+3", 3},
        {"12 // komentarz", 12},
        {"// 5", 0},
        {"abc", 0},
        {"- 5", 0},
        {"99999999999", INT32_MAX},
        {"-99999999999", INT32_MIN},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseLenientInteger(c.text), c.value) << c.text;
    }
}

TEST(KeyValueFileTest, LenientDecimals) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"12.500", 12.5}, {"12,500", 12.5}, {" 3,25 // mm", 3.25}, {"-1.5", -1.5}, {"abc", 0.0},
        {"", 0.0},        {"7", 7.0},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseLenientDecimal(c.text), c.value) << c.text;
    }
}

TEST(KeyValueFileTest, SyntaxOfSectionsKeysAndComments) {
    const Parsed file(
        "; komentarz na początku\r\n"
        "[Ustawienia]\r\n"
        "  PortName \t=\t /dev/ttyUSB0  \r\n"
        "; klucz=ukryty\r\n"
        "   ;baudRate=1\r\n"
        "baudRate=19200 // prędkość\r\n"
        "Hint=1\r\n"
        "Edit=0\r\n"
        "śmieci bez znaku równości\r\n"
        "=bez klucza\r\n"
        "Pusty=\r\n"
        "[ DRUKOWANIE ]\r\n"
        "Lewy=1,5\r\n"
        "[]\r\n"
        "Bez=sekcji\r\n");
    EXPECT_EQ(file.ReadString("USTAWIENIA", "portname"), "/dev/ttyUSB0");
    EXPECT_EQ(file.ReadInteger("ustawienia", "BAUDRATE"), 19200);
    // The "//" comment belongs to numbers only; strings are as written.
    EXPECT_EQ(file.ReadString("USTAWIENIA", "baudRate"), "19200 // prędkość");
    EXPECT_TRUE(file.ReadBool("USTAWIENIA", "Hint"));
    EXPECT_FALSE(file.ReadBool("USTAWIENIA", "Edit", true));
    EXPECT_FALSE(file.ValueExists("USTAWIENIA", "klucz"));
    EXPECT_TRUE(file.ValueExists("USTAWIENIA", "Pusty"));
    EXPECT_EQ(file.ReadString("USTAWIENIA", "Pusty", "brak"), "");
    EXPECT_EQ(file.ReadString("USTAWIENIA", "Brak", "domyślny"), "domyślny");
    EXPECT_EQ(file.ReadInteger("USTAWIENIA", "Brak", 7), 7);
    EXPECT_EQ(file.ReadInteger("USTAWIENIA", "PortName", 7), 0);  // present, unreadable
    EXPECT_DOUBLE_EQ(file.ReadDecimal("drukowanie", "LEWY"), 1.5);
    EXPECT_EQ(file.ReadString("", "Bez"), "sekcji");
    EXPECT_EQ(file.ReadString("default", "Bez"), "sekcji");
    EXPECT_EQ(file.KeyNames("USTAWIENIA"),
              (std::vector<std::string>{"PortName", "baudRate", "Hint", "Edit", "Pusty"}));
    EXPECT_EQ(file.SectionNames(),
              (std::vector<std::string>{"Ustawienia", "DRUKOWANIE", "DEFAULT"}));
}

TEST(KeyValueFileTest, LineEndsAndWindows1250WrittenBack) {
    // "Nazwa=Żółć" in Windows-1250 with CR LF, bare LF and bare CR line ends.
    for (const char* bytes :
         {"[A]\r\nNazwa=\xAF\xF3\xB3\xE6\r\nX=1\r\n", "[A]\nNazwa=\xAF\xF3\xB3\xE6\nX=1\n",
          "[A]\rNazwa=\xAF\xF3\xB3\xE6\rX=1"}) {
        const Parsed file(bytes);
        EXPECT_EQ(file.ReadString("A", "Nazwa"), "Żółć") << bytes;
        EXPECT_EQ(file.ReadInteger("A", "X"), 1) << bytes;
    }
    // Windows-1250 "STÓŁ" is valid UTF-8 by accident: it reads as Windows-1250 and is
    // written back byte for byte.
    Parsed stol("[A]\r\nNazwa=ST\xD3\xA3\r\n");
    EXPECT_EQ(stol.ReadString("A", "Nazwa"), "STÓŁ");
    stol.WriteString("A", "X", "1");
    EXPECT_EQ(stol.Serialize(), "[A]\r\nNazwa=ST\xD3\xA3\r\nX=1\r\n");
}

TEST(KeyValueFileTest, WriteBackKeepsOrderAndComments) {
    Parsed file(
        "; nag\xB3\xF3wek\r\n"
        "[A]\r\n"
        "x = 1 ; tekst\r\n"
        "; opis\r\n"
        "y=2\r\n"
        "\r\n"
        "[B]\r\n"
        "z=3\r\n");
    EXPECT_FALSE(file.Modified());
    file.WriteInteger("a", "X", 1);
    file.WriteString("A", "nowy", "\xC4\x85");
    file.DeleteKey("B", "z");
    file.WriteBool("C", "w", true);
    EXPECT_TRUE(file.Modified());
    EXPECT_EQ(file.Serialize(),
              "; nag\xB3\xF3wek\r\n"
              "[A]\r\n"
              "x=1\r\n"
              "; opis\r\n"
              "y=2\r\n"
              "nowy=\xB9\r\n"
              "\r\n"
              "[B]\r\n"
              "\r\n"
              "[C]\r\n"
              "w=1\r\n");
}

TEST(KeyValueFileTest, UnchangedLinesAreWrittenAsRead) {
    const std::string bytes = "[A]\r\n  x =  1 \r\nśmieci\r\n";
    Parsed file(bytes);
    file.WriteString("A", "x", "1");  // same value: nothing changes
    EXPECT_FALSE(file.Modified());
    file.WriteString("A", "y", "2");
    EXPECT_EQ(file.Serialize(), "[A]\r\n  x =  1 \r\n\x9Cmieci\r\ny=2\r\n");
}

TEST(KeyValueFileTest, DeletedKeyWrittenAgainTakesItsPlace) {
    Parsed file("[T]\r\nPlu1=1;a\r\nPlu2=2;b\r\nPlu3=3;c\r\n");
    EXPECT_TRUE(file.DeleteKey("T", "PLU2"));
    EXPECT_FALSE(file.DeleteKey("T", "Plu2"));
    EXPECT_FALSE(file.ValueExists("T", "Plu2"));
    EXPECT_EQ(file.Find("T", "Plu2"), nullptr);
    file.WriteString("T", "Plu2", "2;B");
    file.WriteString("T", "Plu4", "4;d");
    EXPECT_EQ(file.Serialize(), "[T]\r\nPlu1=1;a\r\nPlu2=2;B\r\nPlu3=3;c\r\nPlu4=4;d\r\n");
    file.EraseSection("t");
    EXPECT_FALSE(file.SectionExists("T"));
    EXPECT_EQ(file.Serialize(), "");
}

TEST(KeyValueFileTest, RepeatedKeysAndSections) {
    Parsed file("[A]\r\nk=1\r\nk=2\r\n[B]\r\nm=5\r\n[a]\r\nj=3\r\nk=4\r\n");
    EXPECT_EQ(file.ReadInteger("A", "k"), 1);
    EXPECT_EQ(file.ReadInteger("A", "j"), 3);
    // Deleting a repeated key must not bring a later copy back on the next reading.
    file.DeleteKey("A", "k");
    const Parsed again(file.Serialize());
    EXPECT_FALSE(again.ValueExists("A", "k"));
    EXPECT_EQ(again.ReadInteger("A", "j"), 3);
    EXPECT_EQ(again.ReadInteger("B", "m"), 5);
}

TEST(KeyValueFileTest, ALastLineWithoutALineEndIsTold) {
    struct Case {
        const char* text;
        const char* value;  // null: no such line
    };
    const Case cases[] = {
        {"[A]\r\nk=1;2\r\nm=3;4", "3;4"},
        {"[A]\nk=1;2  ", "1;2"},
        {"[A]\r\nk=1;2\r\n", nullptr},
        {"[A]\r\nk=1;2\r", nullptr},
        // A repeated section takes the line into the first one.
        {"[A]\r\nk=1\r\n[B]\r\nx=2\r\n[A]\r\nm=3", "3"},
        {"[A]\r\nk=1\r\n[B]", nullptr},
        {"[A]\r\nk=1\r\n; uwaga", nullptr},
        {"[A]\r\nk=1\r\nk=2", nullptr},  // a repeated key is never read
        {"k=1", nullptr},                // before any section
    };
    for (const Case& c : cases) {
        const Parsed file(c.text);
        if (c.value == nullptr) {
            EXPECT_EQ(file.UnterminatedValue(), nullptr) << c.text;
        } else {
            ASSERT_NE(file.UnterminatedValue(), nullptr) << c.text;
            EXPECT_EQ(*file.UnterminatedValue(), c.value) << c.text;
        }
    }
    // The line it names is the one a lookup finds, until the file changes.
    Parsed file("[A]\r\nk=1\r\nm=3");
    EXPECT_EQ(file.UnterminatedValue(), file.Find("A", "m"));
    file.WriteString("A", "n", "4");
    EXPECT_EQ(file.UnterminatedValue(), nullptr);
}

TEST(KeyValueFileTest, LineBreaksInValuesStayOnOneLine) {
    KeyValueFile file;
    file.WriteString("A", "tekst", "jeden\r\ndwa\nx=1");
    file.WriteString("A", "po", "3");
    const Parsed again(file.Serialize());
    EXPECT_EQ(again.ReadString("A", "tekst"), "jeden  dwa x=1");
    EXPECT_EQ(again.ReadInteger("A", "po"), 3);
    EXPECT_FALSE(again.ValueExists("A", "x"));
}

TEST(KeyValueFileTest, DecimalsAreWrittenWithAPoint) {
    KeyValueFile file;
    file.WriteDecimal("D", "Lewy", 12.5, 3);
    file.WriteDecimal("D", "Prawy", -0.0625, 3);
    file.WriteInteger("D", "n", -12);
    EXPECT_EQ(file.Serialize(), "[D]\r\nLewy=12.500\r\nPrawy=-0.062\r\nn=-12\r\n");
    EXPECT_DOUBLE_EQ(file.ReadDecimal("D", "Lewy"), 12.5);
}

TEST(KeyValueFileTest, Placeholders) {
    PathPlaceholders folders;
    folders.appFolder = "/opt/kasa/";
    folders.workFolder = "/home/jan/";
    folders.systemFolder = "/etc/";
    folders.programName = "serwis-kas";
    struct Case {
        const char* name;
        const char* expanded;
    };
    const Case cases[] = {
        {"%app%config.cfg", "/opt/kasa/config.cfg"},
        {"%APP%config.cfg", "/opt/kasa/config.cfg"},
        {"%work%%name%.cfg", "/home/jan/serwis-kas.cfg"},
        {"%system%kasa.ini", "/etc/kasa.ini"},
        {"%security%plik", "%security%plik"},
        {"rabat 50%.pod", "rabat 50%.pod"},
        {"50%%app%x", "50%/opt/kasa/x"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandPlaceholders(c.name, folders), c.expanded) << c.name;
    }
}

TEST(KeyValueFileTest, FileIsWrittenWhenReleasedAfterAChange) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("a.cfg"));
        EXPECT_FALSE(file.Existed());
        EXPECT_EQ(file.ReadString("A", "x"), "");
    }
    EXPECT_FALSE(folder.Exists("a.cfg"));  // nothing changed, nothing written
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("a.cfg"));
        file.WriteString("A", "x", "ź");
    }
    EXPECT_EQ(folder.Read("a.cfg"), "[A]\r\nx=\x9F\r\n");
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("a.cfg"));
        EXPECT_TRUE(file.Existed());
        EXPECT_EQ(file.ReadString("a", "X"), "ź");
        file.WriteString("A", "y", "1");
        const WriteResult written = file.Flush();
        EXPECT_TRUE(written.ok) << written.message;
        EXPECT_FALSE(file.Modified());
    }
    EXPECT_EQ(folder.Read("a.cfg"), "[A]\r\nx=\x9F\r\ny=1\r\n");
}

TEST(KeyValueFileTest, PlaceholderNameOpensTheExpandedPath) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.Write("config.cfg", "[U]\r\nk=9\r\n");
    PathPlaceholders folders;
    folders.appFolder = folder.Path("");
    const KeyValueFile file("%app%config.cfg", folders);
    EXPECT_EQ(file.FileName(), folder.Path("config.cfg"));
    EXPECT_EQ(file.ReadInteger("U", "k"), 9);
}

// A settings file in a folder named with Polish letters is read and written back, never
// taken for a missing file (on Windows only its wide name opens it).
TEST(KeyValueFileTest, PolishLettersInThePath) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    folder.MakeFolder("Paweł");
    folder.Write("Paweł/config.cfg", "[U]\r\nk=9\r\n");
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("Paweł/config.cfg"));
        EXPECT_TRUE(file.Existed());
        EXPECT_FALSE(file.ReadFailed());
        EXPECT_EQ(file.ReadInteger("U", "k"), 9);
        file.WriteString("U", "plik", "żółć.csv");
        const WriteResult written = file.Flush();
        EXPECT_TRUE(written.ok) << written.message;
    }
    // Windows-1250: ż BF, ó F3, ł B3, ć E6.
    EXPECT_EQ(folder.Read("Paweł/config.cfg"), "[U]\r\nk=9\r\nplik=\xBF\xF3\xB3\xE6.csv\r\n");
}

TEST(KeyValueFileTest, FailuresAreReportedAndDestroyNothing) {
    ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    // A folder that does not exist: the change is kept for another try.
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("brak/a.pod"));
        file.WriteString("A", "x", "1");
        EXPECT_FALSE(file.Flush().ok);
        EXPECT_TRUE(file.Modified());
    }
    // A name that is taken by a folder cannot be read, and is never written over.
    std::filesystem::create_directory(folder.Path("katalog.pod"));
    folder.Write("katalog.pod/inny.txt", "treść");
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("katalog.pod"));
        EXPECT_TRUE(file.ReadFailed());
        file.WriteString("A", "x", "1");
        const WriteResult result = file.Write();
        EXPECT_FALSE(result.ok);
        EXPECT_NE(result.message.find("Nie można odczytać"), std::string::npos);
    }
    EXPECT_EQ(folder.Read("katalog.pod/inny.txt"), "treść");
    // Binary content is not taken for an empty file and is never written over.
    const std::string binary("[A]\nx=\0\x01\x02\x03\x04\x05", 12);
    folder.Write("binarny.pod", binary);
    {
        KeyValueFile file(LiteralFileName{}, folder.Path("binarny.pod"));
        EXPECT_TRUE(file.NotText());
        EXPECT_FALSE(file.SectionExists("A"));
        file.WriteString("A", "x", "1");
        EXPECT_EQ(file.Write().message,
                  NotTextFileMessage(folder.Path("binarny.pod")) +
                      "\nZapis został przerwany, aby nie zniszczyć tego pliku.");
    }
    EXPECT_EQ(folder.Read("binarny.pod"), binary);
    // A file without a name is never written.
    KeyValueFile memoryOnly;
    memoryOnly.WriteString("A", "x", "1");
    EXPECT_FALSE(memoryOnly.Flush().ok);
}

}  // namespace
}  // namespace kasa
