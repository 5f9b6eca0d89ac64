#include "app/communication_session.h"

#include <cerrno>

#include "base/codepage.h"
#include "base/number_text.h"
#include "base/user_interface.h"
#include "comm/network_socket.h"
#include "ecr/register_session.h"

namespace kasa {

namespace {
constexpr int kSessionMode = 3;

// The last request got no answer at all: a register that does not answer one request will
// not answer the next, so the start ends instead of waiting out every time-out.
bool Silent(const ECRClass& ecr) {
    return ecr.statusCode == kNoAnswer;
}

// A send expected to take longer than this on the line shows its progress.
constexpr int64_t kProgressAfterMs = 1000;
// After the last byte, answers are taken up until the line has been quiet this long.
constexpr int32_t kAnswerQuietMs = 1000;
}  // namespace

std::string TypeQuestionText(const std::string& reported, const std::string& configured) {
    return "Wykryto podłączoną kasę typu " + reported + "\nProgram jest ustawiony na kasę typu " +
           configured +
           "\nDalsza kontynuacja spowoduje wykasowanie wszystkich danych\noraz sformatowanie i "
           "zdefiniowanie ponowne wszystkich tabel.\nJesli nie zapisałeś danych do pliku, "
           "zaleca się przerwanie i\nzapisanie wszystkich danych do pliku i ponowny wybór typu "
           "kasy.\nKontynuować?";
}

std::string RegisterTypeChangeWarning(const std::string& chosen, const std::string& configured,
                                      const std::string& connected) {
    const std::string chosenUpper = Utf8ToUpper(chosen);
    std::string text;
    if (chosenUpper != Utf8ToUpper(configured)) {
        text += "W konfiguracji jest typ kasy " + configured + ".\n";
    }
    if (chosenUpper != Utf8ToUpper(connected)) {
        text += "Program jest nastawiony na obsługę " + connected + ".\n";
    }
    if (text.empty()) {
        return text;
    }
    return text +
           "Dalsza kontynuacja spowoduje wykasowanie wszystkich danych\n"
           "oraz sformatowanie i zdefiniowanie ponowne wszystkich tabel.\n"
           "Jesli nie zapisałeś danych do pliku, zaleca się przerwanie i\n"
           "zapisanie wszystkich danych do pliku i ponowny wybór typu kasy";
}

std::string PortOpenFailureReason(int systemError, int32_t baudRate) {
    switch (systemError) {
        case EINVAL:
            return "Port szeregowy nie obsługuje prędkości " + DecimalText(baudRate) +
                   " bodów: wybierz inną prędkość transmisji.";
        case EACCES:
        case EPERM:
            return "Brak uprawnień do portu: konto użytkownika musi należeć do grupy dialout.";
        case EBUSY:
            return "Port jest zajęty przez inny program.";
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case EIO:
            return "Urządzenie nie istnieje lub zostało odłączone.";
        case ENOTTY:
            return "Wskazany plik nie jest portem szeregowym.";
        case kHostNotFoundError:
            return "Nie znaleziono komputera o tej nazwie: sprawdź adres serwera portu.";
        case ECONNREFUSED:
            return "Serwer portu odmówił połączenia: sprawdź adres i numer portu TCP.";
        case ETIMEDOUT:
            return "Serwer portu nie odpowiada: upłynął czas na nawiązanie połączenia.";
        case EHOSTUNREACH:
        case ENETUNREACH:
            return "Serwer portu jest nieosiągalny w sieci.";
        case ECONNRESET:
        case ECONNABORTED:
        case EPIPE:
            return "Serwer portu przerwał połączenie; port może obsługiwać już inny program.";
        case EPROTO:
            return "Serwer portu nie odpowiada jak serwer RFC 2217: sprawdź, czy nazwa portu "
                   "ma się zaczynać od tcp:// czy od rfc2217://.";
        default:
            return {};
    }
}

bool ReadStatusFlags(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool close,
                     bool messages, SessionDisplay& display) {
    return ShowRead(ecr, ui, caption, close, messages,
                    "Nie można odczytać sttatusu kasy.\nUruchom w kasie komunikację, lub ustaw "
                    "w oknie\nKonfiguracja Programu parametry transmisji.",
                    ReadStatus, [&](const RegisterStatus& status) {
                        display.status = status;
                        display.statusValid = true;
                        display.lastPF = "Ostatni zapis " + status.date;
                    });
}

StartOutcome StartKomunikacji(ECRClass& ecr, UserInterface& ui, const std::string& caption,
                              bool busy, SessionSettings& settings, SessionDisplay& display,
                              const std::function<void(const std::string&)>& rebuildTables,
                              ECRClass::LogCallback log) {
    if (busy) {
        ui.Message(caption, kBusyMessage);
        return StartOutcome::Busy;
    }
    if (settings.portName.empty()) {
        return StartOutcome::NoPort;
    }
    // A register that is off can keep the start waiting for seconds: the user sees why.
    ui.SetStatusText(kConnectingText);
    struct ClearStatus {
        UserInterface& ui;
        ~ClearStatus() { ui.SetStatusText(""); }
    } clearStatus{ui};
    ecr.SetPortParams(settings.portName, settings.baudRate, std::move(log), 0);
    if (!ecr.InitTransmission()) {
        std::string message = kOpenFailedMessage;
        const std::string reason = PortOpenFailureReason(ecr.OpenError(), ecr.BaudRate());
        if (!reason.empty()) {
            message += "\n" + reason;
        }
        ui.Message(caption, message);
        return StartOutcome::OpenFailed;
    }
    StartOutcome outcome = StartOutcome::Failed;
    // The start requests of the first opening found no register.
    const bool silentAtOpening = ecr.savedMode == -1 && Silent(ecr);
    if (silentAtOpening || !ecr.Identify()) {
        ui.Message(caption, ecr.TransmissionErrorText());
        outcome = StartOutcome::IdentifyFailed;
    } else {
        if (!ecr.SetMode(kSessionMode) && Silent(ecr)) {
            ui.Message(caption, ecr.TransmissionErrorText());
            ecr.CloseTransmission();
            return StartOutcome::Failed;
        }
        const std::string reported = ecr.ModelName();
        if (Utf8ToUpper(settings.registerType) != Utf8ToUpper(reported)) {
            const Answer answer =
                ui.Ask(kTypeQuestionTitle, TypeQuestionText(reported, settings.registerType),
                       Buttons::OkCancel);
            if (answer != Answer::Ok && answer != Answer::Yes) {
                ecr.modelCode = 0;
                ecr.CloseTransmission();
                return StartOutcome::TypeCancelled;
            }
            settings.registerType = reported;
            if (rebuildTables) {
                rebuildTables(reported);
            }
        }
        display.kasa = ecr.identification.modelText;
        if (ecr.modelCode != 2) {
            if (ecr.ReadFiscalIds()) {
                display.nrFabryczny =
                    ecr.identification.field3 + " " + ecr.uniqueNumber + " NIP" + ecr.taxNumber;
            }
        } else {
            display.nrFabryczny = ecr.identification.field3 + " " + ecr.identification.field4;
        }
        bool ok = !Silent(ecr) && ReadStatusFlags(ecr, ui, caption, false, false, display);
        if (ok) {
            display.totalsValid = ShowTotals(ecr, ui, caption, false, false, display.totals);
            ok = display.totalsValid;
        }
        if (ok) {
            display.vatValid = ShowVatRates(ecr, ui, caption, false, false, display.vatRates);
            ok = display.vatValid;
        }
        display.clockValid = !Silent(ecr) && ShowClock(ecr, ui, caption, false, display.clock);
        if (ok) {
            outcome = StartOutcome::Started;
        } else {
            ui.Message(caption, ecr.TransmissionErrorText());
        }
    }
    ecr.CloseTransmission();
    return outcome;
}

void StopKomunikacji(ECRClass& ecr) {
    if (ecr.IsIdentified() && ecr.InitTransmission()) {
        ecr.EndTransmission();
        ecr.CloseTransmission();
    }
}

void KoniecKomunikacji(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy) {
    if (busy) {
        ui.Message(caption, kBusyMessage);
        return;
    }
    StopKomunikacji(ecr);
}

bool SendSequence(ECRClass& ecr, UserInterface& ui, const std::string& caption, bool busy,
                  const iBuffer& bytes, bool clearAbort) {
    if (busy) {
        ui.Message(caption,
                   "Jest uruchomiony proces w tle.\nProsze poczekać i uruchomić funkcję "
                   "ponownie.");
        return false;
    }
    // A port never opened in this run has nothing to reopen: the settings name it.
    ecr.OpenPort();
    // Logged before the answers that come back while it is still being written.
    ecr.LogRequest(bytes);
    const int64_t total = bytes.Length();
    const bool showProgress = FastCom::WireTimeMs(total, ecr.BaudRate()) > kProgressAfterMs;
    if (showProgress) {
        ui.SetStatusText("Wysyłanie sekwencji");
        ui.SetProgress(0, 100);
    }
    int shown = 0;
    FastCom::SendHooks hooks;
    hooks.received = [&ecr](const iBuffer& answer) { ecr.LogAnswer(answer); };
    hooks.progress = [&](int64_t written, int64_t) {
        const int percent = static_cast<int>(written * 100 / total);
        if (showProgress && percent != shown) {
            shown = percent;
            ui.SetProgress(percent, 100);
        }
    };
    if (clearAbort) {
        ecr.abortRequested = false;
    }
    hooks.abort = &ecr.abortRequested;
    hooks.quietAfterMs = kAnswerQuietMs;
    const FastCom::SendResult result = ecr.WriteReading(bytes, hooks);
    if (showProgress) {
        ui.SetProgress(0, 0);
    }
    if (result != FastCom::SendResult::kDone) {
        const std::string sent =
            "Wysłano " + DecimalText(ecr.BytesWritten()) + " z " + DecimalText(total) + " bajtów.";
        if (result == FastCom::SendResult::kAborted) {
            ecr.CloseTransmission();
            // Stopped while the answers were still being taken up: every byte went.
            ui.Message(caption, ecr.BytesWritten() == total
                                    ? "Przerwano czekanie na odpowiedź kasy.\nWysłano wszystkie "
                                      "bajty (" +
                                          DecimalText(total) + ")."
                                    : "Wysyłanie sekwencji przerwane na żądanie.\n" + sent);
        } else if (result == FastCom::SendResult::kTimedOut) {
            ui.Message(caption,
                       "Nie udało sie wysłać sekwencji.\nKasa nie przyjęła danych w "
                       "przewidzianym czasie. " +
                           sent);
        } else {
            ui.Message(caption, "Nie udało sie wysłać sekwencji.");
        }
        return false;
    }
    return true;
}

}  // namespace kasa
