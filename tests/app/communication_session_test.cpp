#include "app/communication_session.h"

#include <gtest/gtest.h>

#include <memory>

#include "ecr/register_session.h"
#include "sim/virtual_register.h"
#include "support/recording_ui.h"
#include "support/register_state.h"

namespace kasa {
namespace {

using sim::RegisterType;
using testing::RecordingUserInterface;

constexpr const char* kCaption = "Program serwisowy kas";

// Request letters of the payloads received, e.g. "N", "3P", "_" (number dropped).
std::vector<std::string> Commands(const std::vector<std::string>& payloads) {
    std::vector<std::string> out;
    for (const auto& p : payloads) {
        if (p == "_") {
            out.push_back("_");
            continue;
        }
        const size_t semicolon = p.find(';');
        const size_t letter = p.find_first_not_of("0123456789;");
        std::string params;
        if (semicolon != std::string::npos && semicolon < letter) {
            params = p.substr(semicolon + 1, letter - semicolon - 1);
        }
        out.push_back(params + p.substr(letter, 1));
    }
    return out;
}

class SessionTest : public ::testing::Test {
  protected:
    void StartRegister(RegisterType type) {
        sim::VirtualRegisterOptions options;
        options.type = type;
        reg = std::make_unique<sim::VirtualRegister>(options);
        ASSERT_TRUE(reg->Start());
        settings.portName = reg->PortPath();
        settings.baudRate = 115200;
        settings.registerType = type == RegisterType::Zen ? "Zen" : "Vesper";
    }
    StartOutcome Start() {
        return StartKomunikacji(ecr, ui, kCaption, false, settings, display,
                                [this](const std::string& type) { rebuiltWith = type; });
    }

    std::unique_ptr<sim::VirtualRegister> reg;
    RegisterSession ecr;
    RecordingUserInterface ui;
    SessionSettings settings;
    SessionDisplay display;
    std::string rebuiltWith;
};

TEST_F(SessionTest, StartReadsEverythingInOrderAndClosesThePort) {
    StartRegister(RegisterType::Zen);
    testing::WithState(*reg, [](auto& s) {
        s.mode = 2;
        s.optionBits = 2;
    });
    ASSERT_EQ(Start(), StartOutcome::Started);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(ecr.IsOpen());
    EXPECT_EQ(ecr.savedMode, 2);
    EXPECT_EQ(Commands(reg->ReceivedPayloads()),
              (std::vector<std::string>{"N", "3P", "I", "^", "3P", "4J", "N", "I", "O", "L"}));
    EXPECT_EQ(display.kasa, "ZEN-FV");
    // Field 3 "20261106" reversed in pairs, then the unique number and the tax number.
    EXPECT_EQ(display.nrFabryczny, "06112620 ABC12345678 NIP525-000-00-00");
    EXPECT_TRUE(display.statusValid);
    EXPECT_EQ(display.status.mode, 3);  // the session's mode
    EXPECT_EQ(display.status.flags[4], 1);
    EXPECT_EQ(display.lastPF.rfind("Ostatni zapis ", 0), 0u);
    EXPECT_EQ(display.totals.totals[0], "0.00 zł");
    EXPECT_EQ(display.vatRates[0], "23%");
    EXPECT_EQ(display.vatRates[4], "zw.");
    EXPECT_EQ(display.vatRates[5], "nakt");
    EXPECT_TRUE(display.clockValid);
    EXPECT_TRUE(rebuiltWith.empty());

    // A later operation reopens the port without the start requests.
    reg->ClearReceived();
    VatRates rates{};
    ASSERT_TRUE(ReadVatRates(ecr, rates));
    EXPECT_EQ(Commands(reg->ReceivedPayloads()), (std::vector<std::string>{"O"}));

    // The stop puts the saved mode back and ends with "_"; a new start begins again.
    reg->ClearReceived();
    StopKomunikacji(ecr);
    EXPECT_EQ(Commands(reg->ReceivedPayloads()), (std::vector<std::string>{"2P", "_"}));
    EXPECT_EQ(ecr.savedMode, -1);
    EXPECT_FALSE(ecr.IsOpen());
}

TEST_F(SessionTest, VesperShowsField3AndField4) {
    StartRegister(RegisterType::Vesper);
    ASSERT_EQ(Start(), StartOutcome::Started);
    EXPECT_EQ(display.kasa, "VESPER");
    EXPECT_EQ(display.nrFabryczny, "1402 2.15");  // "0214" reversed in pairs
    for (const auto& p : Commands(reg->ReceivedPayloads())) {
        EXPECT_NE(p, "4J");  // no fiscal ids on VESPER
    }
}

TEST_F(SessionTest, TypeQuestionCancelKeepsTheTypeAndClosesThePort) {
    StartRegister(RegisterType::Zen);
    settings.registerType = "Vesper";
    ui.answers.push_back(Answer::Cancel);
    EXPECT_EQ(Start(), StartOutcome::TypeCancelled);
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0].title, "Ważna uwaga wyboru Kasy!");
    EXPECT_NE(ui.questions[0].text.find("Wykryto podłączoną kasę typu ZEN\nProgram jest "
                                        "ustawiony na kasę typu Vesper\n"),
              std::string::npos);
    EXPECT_EQ(settings.registerType, "Vesper");
    EXPECT_FALSE(ecr.IsIdentified());
    EXPECT_FALSE(ecr.IsOpen());

    ui.answers.push_back(Answer::Ok);
    EXPECT_EQ(Start(), StartOutcome::Started);
    EXPECT_EQ(settings.registerType, "ZEN");
    EXPECT_EQ(rebuiltWith, "ZEN");
}

TEST_F(SessionTest, UnknownRegisterIsOffline) {
    StartRegister(RegisterType::Vesper);
    testing::WithState(*reg, [](auto& s) { s.identification = "KASA-X/1/2/3"; });
    ui.answers.push_back(Answer::Cancel);
    EXPECT_EQ(Start(), StartOutcome::TypeCancelled);
    EXPECT_EQ(ui.questions.at(0).text, TypeQuestionText("OFFLINE", "Vesper"));
}

TEST_F(SessionTest, NoPortAndClosedPortAndBusy) {
    EXPECT_EQ(Start(), StartOutcome::NoPort);
    EXPECT_TRUE(ui.messages.empty());
    settings.portName = "/dev/nie-ma-portu";
    EXPECT_EQ(Start(), StartOutcome::OpenFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, kCaption);
    EXPECT_EQ(ui.messages[0].text,
              std::string(kOpenFailedMessage) + "\nUrządzenie nie istnieje lub zostało odłączone.");
    EXPECT_EQ(StartKomunikacji(ecr, ui, kCaption, true, settings, display, nullptr),
              StartOutcome::Busy);
    EXPECT_EQ(ui.messages.back().text, kBusyMessage);
}

TEST_F(SessionTest, SilentRegisterGivesTheNoAnswerText) {
    StartRegister(RegisterType::Vesper);
    reg->SetStatusFor('^', 24);
    EXPECT_EQ(Start(), StartOutcome::IdentifyFailed);
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text,
              "Podczas transmisji wykryto błąd.\nBłąd rozkazu.\nPrzyczyną może być "
              "niezainicjowana transmisja w kasie.\n");
}

TEST_F(SessionTest, RegisterThatNeverAnswersEndsTheStartAtTheFirstRequest) {
    StartRegister(RegisterType::Zen);
    for (int i = 0; i < 8; ++i) {
        reg->InjectFault({sim::FaultKind::NoAnswer, 0});
    }
    ecr.answerTimeout = 150;
    EXPECT_EQ(Start(), StartOutcome::IdentifyFailed);
    EXPECT_EQ(Commands(reg->ReceivedPayloads()), std::vector<std::string>{"N"});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text.rfind("Nie można przeczytać informacji z kasy.", 0), 0u);
    EXPECT_EQ(ui.statusTexts, (std::vector<std::string>{kConnectingText, ""}));
    // No session was started, so nothing waits on the register when the program ends.
    EXPECT_EQ(ecr.savedMode, -1);
    EXPECT_FALSE(ecr.IsOpen());
}

TEST(TypeChange, WarningNamesWhatDiffers) {
    const std::string tail =
        "Dalsza kontynuacja spowoduje wykasowanie wszystkich danych\n"
        "oraz sformatowanie i zdefiniowanie ponowne wszystkich tabel.\n"
        "Jesli nie zapisałeś danych do pliku, zaleca się przerwanie i\n"
        "zapisanie wszystkich danych do pliku i ponowny wybór typu kasy";
    EXPECT_EQ(RegisterTypeChangeWarning("Vesper", "vesper", "VESPER"), "");
    EXPECT_EQ(RegisterTypeChangeWarning("Zen", "Vesper", "OFFLINE"),
              "W konfiguracji jest typ kasy Vesper.\nProgram jest nastawiony na obsługę "
              "OFFLINE.\n" +
                  tail);
    EXPECT_EQ(RegisterTypeChangeWarning("Vesper", "Vesper", "OFFLINE"),
              "Program jest nastawiony na obsługę OFFLINE.\n" + tail);
    EXPECT_EQ(RegisterTypeChangeWarning("Zen", "Vesper", "ZEN"),
              "W konfiguracji jest typ kasy Vesper.\n" + tail);
}

TEST_F(SessionTest, FirstRequestAfterTheStartRequestsHasTheRightNumber) {
    StartRegister(RegisterType::Vesper);
    ecr.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
    // Built before the port is open: the start requests run inside the send.
    iBuffer& request = ecr.BeginRequest();
    request.Append("O");
    ASSERT_TRUE(ecr.Exchange(request));
    EXPECT_EQ(ecr.answerBuffer.LastSeparator(), 'o');
    const auto payloads = reg->ReceivedPayloads();
    ASSERT_EQ(payloads.size(), 4u);
    EXPECT_EQ(payloads[0], "0N");
    EXPECT_EQ(payloads[1], "1;3P");
    EXPECT_EQ(payloads[2], "2I");
    EXPECT_EQ(payloads[3], "3O");
}

TEST_F(SessionTest, FiscalIdsNotProgrammed) {
    StartRegister(RegisterType::Zen);
    testing::WithState(*reg, [](auto& s) {
        s.uniqueNumber.clear();
        s.taxNumber.clear();
    });
    ecr.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
    ASSERT_TRUE(ecr.ReadFiscalIds());
    EXPECT_EQ(ecr.uniqueNumber, "???????????");
    EXPECT_EQ(ecr.taxNumber, "?????????????");
    EXPECT_EQ(ecr.logTag2, "???????????");
}

TEST_F(SessionTest, DestroyingTheRegisterObjectRestoresTheMode) {
    StartRegister(RegisterType::Vesper);
    testing::WithState(*reg, [](auto& s) { s.mode = 1; });
    {
        RegisterSession local;
        local.SetPortParams(reg->PortPath(), 115200, nullptr, 0);
        ASSERT_TRUE(local.InitTransmission());
        local.CloseTransmission();
        auto lock = reg->Lock();
        EXPECT_EQ(reg->State().mode, 3);
    }
    auto lock = reg->Lock();
    EXPECT_EQ(reg->State().mode, 1);
}

}  // namespace
}  // namespace kasa
