#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "base/atomic_file.h"
#include "cli/checked_output.h"
#include "cli/command_line.h"
#include "ecr/clock_settings.h"
#include "kasa_fixture.h"
#include "sim/virtual_register.h"
#include "support/register_state.h"
#include "support/scratch_folder.h"

namespace kasa::cli {
namespace {

TEST_F(KasaCommands, InfoPrintsEverythingAndEndsTheSession) {
    const Outcome r = Kasa({"info"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Kasa: VESPER (VESPER)"), std::string::npos);
    EXPECT_NE(r.out.find("Fiskalny: nie"), std::string::npos);
    EXPECT_NE(r.out.find("  A: 23%"), std::string::npos);
    EXPECT_NE(r.out.find("  E: zw."), std::string::npos);
    EXPECT_NE(r.out.find("Numer paragonu: 1"), std::string::npos);
    EXPECT_NE(r.out.find("Zegar: "), std::string::npos);
    const auto payloads = reg->ReceivedPayloads();
    ASSERT_GE(payloads.size(), 2u);
    EXPECT_EQ(payloads.back(), "_");
}

TEST_F(KasaCommands, TypeQuestionWithoutATerminalIsAnsweredNo) {
    const Outcome r = Kasa({"--typ", "zen", "info"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Ważna uwaga wyboru Kasy!"), std::string::npos);
    const Outcome yes = Kasa({"--typ", "zen", "--tak", "info"});
    EXPECT_EQ(yes.code, 0) << yes.err;
}

TEST_F(KasaCommands, OdczytPrintsTheTableAsCsv) {
    const Outcome r = Kasa({"odczyt", "formy"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::istringstream lines(r.out);
    std::string title, first;
    std::getline(lines, title);
    std::getline(lines, first);
    EXPECT_EQ(title, "Numer;Nazwa;Kurs;Sprzedaż");
    EXPECT_EQ(first, "1;Gotówka;1.000000;0");  // a zero amount shows as "0"
    EXPECT_NE(r.out.find("5;Euro;4.250000;0\n"), std::string::npos);
}

TEST_F(KasaCommands, OdczytOfAFailingRowEndsWithTheRegistersText) {
    reg->SetStatusFor('H', 79);
    const Outcome r = Kasa({"odczyt", "PLU"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Towar spoza zakresu ustalonego w konfiguracji kasy"), std::string::npos);
}

TEST_F(KasaCommands, VatSetKeepsTheMissingLetters) {
    const Outcome r = Kasa({"vat", "ustaw", "A=22", "b=7", "E=nakt", "F=zw"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("  A: 22%\n  B: 7%\n  C: 5%\n  D: 0%\n  E: nakt\n  F: zw."),
              std::string::npos)
        << r.out;
    auto lock = reg->Lock();
    EXPECT_EQ(reg->State().vatRates[0], 22);
    EXPECT_EQ(reg->State().vatRates[2], 5);
}

TEST_F(KasaCommands, ClockAndVatAreRefusedBeforeSendingOnAFiscalZen) {
    sim::VirtualRegisterOptions options;
    options.type = sim::RegisterType::Zen;
    reg = std::make_unique<sim::VirtualRegister>(options);
    ASSERT_TRUE(reg->Start());
    testing::WithState(*reg, [](auto& s) { s.fiscal = 1; });
    const Outcome clock = Kasa({"--typ", "zen", "zegar", "ustaw"});
    EXPECT_EQ(clock.code, 1);
    EXPECT_NE(clock.err.find("Programowanie zegara z interfejsu szeregowego\njest możliwe tylko "
                             "w trybie niefiskalnym."),
              std::string::npos)
        << clock.err;
    EXPECT_EQ(Kasa({"--typ", "zen", "vat", "ustaw", "A=22"}).code, 1);
    // Neither the clock ("Y") nor the VAT rates ("Z") were sent.
    for (const std::string& payload : reg->ReceivedPayloads()) {
        const size_t letter = payload.find_first_not_of("0123456789;");
        ASSERT_NE(letter, std::string::npos) << payload;
        EXPECT_NE(payload[letter], 'Y');
        EXPECT_NE(payload[letter], 'Z');
    }
}

TEST_F(KasaCommands, ClockAndTotalsAndSend) {
    Outcome r = Kasa({"zegar", "ustaw"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Zegar: ", 0), 0u);
    r = Kasa({"totalizery"});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.out.find("  G: 0.00 zł"), std::string::npos);
    const std::string file = ::testing::TempDir() + "kasa-wyslij.bin";
    std::ofstream(file, std::ios::binary) << "\x1bP0N81\x1b\\";
    r = Kasa({"--log", "wyslij", file});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("> Zapytanie: [x1B]P0N81[x1B]\\"), std::string::npos);
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    ReadWholeFile(path, bytes);
    return bytes;
}

// A file of `count` record reads, each answered by the register with some 120 bytes.
std::string FileOfRecordReads(const std::string& name, int count) {
    const std::string file = ::testing::TempDir() + name;
    std::ofstream out(file, std::ios::binary);
    const std::string frame = sim::FramePayload("0;0;7H");
    for (int i = 0; i < count; ++i) {
        out << frame;
    }
    return file;
}

size_t RecordReadsReceived(const sim::VirtualRegister& reg) {
    const auto payloads = reg.ReceivedPayloads();
    return static_cast<size_t>(std::count(payloads.begin(), payloads.end(), "0;0;7H"));
}

TEST_F(KasaCommands, ManyFramesGoOutWhileTheAnswersAreTakenUp) {
    // Far more than the line holds either way: a writer that does not read stalls.
    const Outcome r = Kasa({"wyslij", FileOfRecordReads("kasa-many.bin", 8000)});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Wysłano " + std::to_string(8000 * 12) + " bajtów.\n");
    EXPECT_EQ(RecordReadsReceived(*reg), 8000u);
}

TEST_F(KasaCommands, SendFramesGoesLineByLineUpToTheFirstEmptyLine) {
    const std::string file = ::testing::TempDir() + "kasa-ramki.sek";
    std::ofstream(file, std::ios::binary) << "0;0;7H\r\n0;1;7H\r\n\r\n0;2;7H\r\n";
    const Outcome r = Kasa({"wyslij", "--ramki", file});
    EXPECT_EQ(r.code, 0) << r.err;
    const auto payloads = reg->ReceivedPayloads();
    const auto first = std::find(payloads.begin(), payloads.end(), "0;0;7H");
    ASSERT_NE(first, payloads.end());
    ASSERT_NE(first + 1, payloads.end());
    EXPECT_EQ(first[1], "0;1;7H");
    EXPECT_EQ(std::count(payloads.begin(), payloads.end(), "0;2;7H"), 0);
}

TEST_F(KasaCommands, SendCompiledRefusesAFailedCompileBeforeTheLine) {
    const std::string file = ::testing::TempDir() + "kasa-zle.txt";
    std::ofstream(file, std::ios::binary) << "NIEZNANE_SLOWO 12\r\n";
    const size_t before = reg->ReceivedPayloads().size();
    const Outcome r = Kasa({"wyslij", "--kompiluj", file});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Kompilacja nie powiodła się: nic nie wysłano."), std::string::npos);
    EXPECT_EQ(reg->ReceivedPayloads().size(), before);
}

TEST_F(KasaCommands, InterruptStopsASendBetweenSlices) {
    sim::VirtualRegisterOptions options;
    options.type = sim::RegisterType::Vesper;
    options.baudRate = 921600;  // over a millisecond an answer: the whole send takes long
    reg = std::make_unique<sim::VirtualRegister>(options);
    ASSERT_TRUE(reg->Start());
    const std::string file = FileOfRecordReads("kasa-interrupted.bin", 20000);
    // An interrupt that came after the send would be ignored, not end the tests.
    const auto previous = std::signal(SIGINT, SIG_IGN);
    std::thread user([this] {
        for (int wait = 0; wait < 1000 && RecordReadsReceived(*reg) < 20; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::raise(SIGINT);
    });
    const Outcome r = Kasa({"wyslij", file});
    user.join();
    std::signal(SIGINT, previous);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Wysyłanie sekwencji przerwane na żądanie.\nWysłano "), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_LT(RecordReadsReceived(*reg), 20000u);
}

TEST_F(KasaCommands, PortSpeedAndTypeComeFromTheSettingsFile) {
    const std::string config = ::testing::TempDir() + "kasa-cli-config.cfg";
    std::ofstream(config, std::ios::binary) << "[USTAWIENIA]\r\nPortName=" << reg->PortPath()
                                            << "\r\nbaudRate=115200\r\nChashPath=Vesper\r\n";
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"--config", config, "zegar"}, in, out, err),
              0)
        << err.str();
    EXPECT_EQ(out.str().rfind("Zegar: ", 0), 0u);
}

TEST_F(KasaCommands, OdczytIntoFilesAndConversionWithoutARegister) {
    const std::string dir = ::testing::TempDir();
    const std::string csv = dir + "kasa-formy.csv";
    const std::string pod = dir + "kasa-wszystko.pod";
    const std::string txt = dir + "kasa-formy.txt";
    std::remove(pod.c_str());
    Outcome r = Kasa({"odczyt", "Formy", csv});
    ASSERT_EQ(r.code, 0) << r.err;
    // Windows-1250 with CR LF: "Gotówka" has ó as 0xF3.
    EXPECT_NE(ReadAll(csv).find("1;Got\xf3wka;1.000000;0\r\n"), std::string::npos);

    r = Kasa({"odczyt", "wszystko", pod});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string podBytes = ReadAll(pod);
    for (const char* section : {"[OPAKOWANIA]", "[TOWARY]", "[KASJERZY]", "[KLAWISZE]", "[FORMY]",
                                "[RABATY]", "[DOPLATY]", "[NAGLOWEK]", "[PTU]"}) {
        EXPECT_NE(podBytes.find(section), std::string::npos) << section;
    }
    EXPECT_NE(podBytes.find("SKLEP SPO"), std::string::npos);

    // The .pod's payment forms converted to TXT without a register.
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"--typ", "vesper", "plik", "formy", pod, txt},
                             in, out, err),
              0)
        << err.str();
    // Sales has no edit control, so a .pod load leaves that column empty.
    EXPECT_NE(ReadAll(txt).find("5\tEuro\t4.250000\t\r\n"), std::string::npos);
    EXPECT_EQ(Kasa({"odczyt", "wszystko", csv}).code, 2);
    EXPECT_EQ(Kasa({"odczyt", "Formy", dir + "x.doc"}).code, 2);
}

// A table read into a workbook converts to the same CSV file as the table read into one.
TEST_F(KasaCommands, OdczytIntoAWorkbookAndBack) {
    testing::ScratchFolder folder;
    ASSERT_TRUE(folder.Valid());
    Outcome r = Kasa({"odczyt", "PLU", folder.Path("towary.xlsx")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "Zapisano tabelę PLU do pliku " + folder.Path("towary.xlsx") + ".\n");
    ASSERT_EQ(Kasa({"odczyt", "PLU", folder.Path("odczyt.csv")}).code, 0);
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(kasa::cli::Run(std::vector<std::string>{"--typ", "vesper", "plik", "PLU",
                                                      folder.Path("towary.xlsx"),
                                                      folder.Path("z_arkusza.csv")},
                             in, out, err),
              0)
        << err.str();
    const std::string csv = ReadAll(folder.Path("odczyt.csv"));
    EXPECT_NE(csv.find("1;Chleb \xbfytni;"), std::string::npos);
    EXPECT_EQ(ReadAll(folder.Path("z_arkusza.csv")), csv);
}

TEST_F(KasaCommands, UsageAndFailures) {
    std::istringstream in;
    std::ostringstream out, err;
    const std::vector<std::string> info = {"info"};
    EXPECT_EQ(kasa::cli::Run(info, in, out, err), 2);  // no port anywhere
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"--baud", "szybko", "info"}, in, out, err),
              2);
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"nic"}, in, out, err), 2);
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"--help"}, in, out, err), 0);
    EXPECT_NE(out.str().find("Użycie: kasa"), std::string::npos);
    // The installed program reads its settings from the user's configuration folder.
    EXPECT_NE(out.str().find("  --config PLIK  plik ustawień; domyślnie "
                             "~/.config/serwis-kas/config.cfg\n"),
              std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("domyślnie config.cfg"), std::string::npos);
    EXPECT_EQ(Kasa({"vat", "ustaw", "H=5"}).code, 2);
    EXPECT_EQ(Kasa({"odczyt", "Nieznana"}).code, 2);
    std::ostringstream out2, err2;
    EXPECT_EQ(kasa::cli::Run(std::vector<std::string>{"--port", "/dev/nie-ma-portu", "zegar"}, in,
                             out2, err2),
              1);
    EXPECT_NE(err2.str().find("Nie można otworzyć portu komunikacyjnego."), std::string::npos);
    reg->ClearReceived();
    std::ostringstream out3, err3;
    EXPECT_EQ(kasa::cli::Run(
                  std::vector<std::string>{"--port", reg->PortPath(), "--baud", "12345", "zegar"},
                  in, out3, err3),
              1);
    EXPECT_NE(err3.str().find("Port szeregowy nie obsługuje prędkości 12345 bodów"),
              std::string::npos)
        << err3.str();
    EXPECT_TRUE(reg->ReceivedPayloads().empty());
}

TEST_F(KasaCommands, NaglowekPrintsTheLinesAndProgramsThemFromAFile) {
    Outcome r = Kasa({"naglowek"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Linia 1: \"SKLEP SPOŻYWCZY\" pogrubiona\n"
                         "Linia 2: \"  u Kowalskich\" wyśrodkowana\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Linia 6: \"\"\nSuma znaków: "), std::string::npos) << r.out;

    testing::ScratchFolder folder;
    folder.Write("naglowek.txt", "*^Nowy sklep\r\n  na rogu\n\n^Tel. 22 555\n");
    r = Kasa({"naglowek", "ustaw", folder.Path("naglowek.txt")});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Linia 1: \"Nowy sklep\" podwójna wysokość, pogrubiona\n"),
              std::string::npos)
        << r.out;
    testing::WithState(*reg, [](auto& s) {
        EXPECT_EQ(s.header[1].text, "  na rogu");
        EXPECT_EQ(s.header[2].text, "");
        EXPECT_TRUE(s.header[3].doubleHeight);
        EXPECT_FALSE(s.header[3].heavy);
        EXPECT_EQ(s.header[4].text, "");  // the demo's line 4 is gone
    });

    // Seven lines for a six-line header, and a line the catalogue refuses: nothing is sent.
    reg->ClearReceived();
    folder.Write("za_dlugi.txt", "1\n2\n3\n4\n5\n6\n7\n");
    r = Kasa({"naglowek", "ustaw", folder.Path("za_dlugi.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("ma 7 linii, a nagłówek kasy VESPER ma ich 6."), std::string::npos)
        << r.err;
    folder.Write("szeroki.txt", std::string(41, 'x'));
    r = Kasa({"naglowek", "ustaw", folder.Path("szeroki.txt")});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(std::string(41, 'x')), std::string::npos) << r.err;
    for (const std::string& payload : reg->ReceivedPayloads()) {
        EXPECT_EQ(payload.find('X'), std::string::npos) << payload;
    }
    EXPECT_EQ(Kasa({"naglowek", "ustaw"}).code, 2);
    EXPECT_EQ(Kasa({"naglowek", "ustaw", folder.Path("brak.txt")}).code, 1);
}

TEST_F(KasaCommands, OutputThatCannotBeWrittenFailsWithItsCause) {
    // Standard output on a full disk, as "kasa odczyt PLU > /dev/full" gives it.
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    CheckedFileBuffer buffer(full);
    std::ostream out(&buffer);
    std::istringstream in;
    std::ostringstream err;
    const int code = kasa::cli::Run(
        {"--port", reg->PortPath(), "--baud", "115200", "odczyt", "PLU"}, in, out, err);
    std::fclose(full);
    EXPECT_EQ(code, 1);
    EXPECT_EQ(err.str(),
              "Nie można zapisać wyniku na standardowe wyjście: brak miejsca na dysku.\n");
    EXPECT_EQ(reg->ReceivedPayloads().back(), "_");  // the session still ended properly

    // A stream that refused its bytes fails the command too, whatever it wrote.
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    std::ostringstream err2;
    EXPECT_EQ(kasa::cli::Run({"uprawnienia", "3"}, in, broken, err2), 1);
    EXPECT_EQ(err2.str().rfind("Nie można zapisać wyniku na standardowe wyjście: ", 0), 0u);
}

TEST_F(KasaCommands, InfoWithARefusedClockReadShowsTheRestAndFails) {
    reg->SetStatusFor('L', 24);
    const Outcome r = Kasa({"info"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("Kasa: VESPER (VESPER)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  A: 23%"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Zegar:"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(kClockFailureMessage), std::string::npos) << r.err;
    EXPECT_EQ(reg->ReceivedPayloads().back(), "_");
}

TEST_F(KasaCommands, VatSetWhoseRatesCannotBeReadBackFails) {
    // Answers counted from here: the start (status, mode, totals), identification, the
    // rates, the fiscal flag, the write's own read of the rates, the write and its status
    // read; the tenth is the read back of the rates, and from it on every request is
    // refused.
    reg->InjectFault({sim::FaultKind::Status, 0, 24, 1, 10});
    const Outcome r = Kasa({"vat", "ustaw", "A=22"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Stawki VAT wysłano do kasy, ale nie można ich odczytać z powrotem."),
              std::string::npos)
        << r.err;
    // No rates are shown as if they were the register's: only the backup of the old ones.
    EXPECT_TRUE(r.out.starts_with("Kopia zapisanych rekordów: ")) << r.out;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1) << r.out;
    auto lock = reg->Lock();
    EXPECT_EQ(reg->State().vatRates[0], 22);  // the write itself went through
}

TEST_F(KasaCommands, NaglowekFromAnEmptyFileIsRefusedBeforeSending) {
    testing::ScratchFolder folder;
    for (const char* text : {"", "\n\n", "  \r\n"}) {
        folder.Write("pusty.txt", text);
        reg->ClearReceived();
        const Outcome r = Kasa({"naglowek", "ustaw", folder.Path("pusty.txt")});
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("nie zawiera żadnej linii nagłówka; nagłówek nie został wysłany."),
                  std::string::npos)
            << r.err;
        EXPECT_TRUE(reg->ReceivedPayloads().empty());
    }
}

class KasaOnZen : public KasaCommands {
  protected:
    void SetUp() override {
        sim::VirtualRegisterOptions options;
        options.type = sim::RegisterType::Zen;
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
    }
};

TEST_F(KasaOnZen, PamiecCountsTheRecordsAndFailsOnAMissingOneOrFile) {
    testing::ScratchFolder folder;
    Outcome r = Kasa({"--typ", "zen", "pamiec", "4", "5"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("(4) Obszar Fiskalizacji."), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "Odczytano 2 z 2 rekordów.\n");

    // The output file's folder is a file: nothing can be appended.
    folder.Write("plik", "x");
    r = Kasa({"--typ", "zen", "pamiec", "4", "4", folder.Path("plik") + "/odczyt.txt"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("Nie można dopisać odczytu pamięci fiskalnej do pliku"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("Odczytano 1 z 1 rekordu.\n"), std::string::npos) << r.err;

    // Record 5 is refused: the others are read, and the count tells one is missing.
    reg->SetStatusForRecord('J', 6, 22);
    r = Kasa({"--typ", "zen", "pamiec", "4", "6"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.find("(5) "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("(6) "), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("Odczytano 2 z 3 rekordów.\n"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace kasa::cli
