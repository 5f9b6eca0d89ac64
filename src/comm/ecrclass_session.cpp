// The communication session of the register object: the start requests of the first
// opening, identification, the fiscal ids and the end of communication.
#include <cstring>

#include "base/codepage.h"
#include "base/number_text.h"
#include "comm/ecrclass.h"

namespace kasa {

namespace {

constexpr int kSessionMode = 3;
constexpr size_t kModelTextLength = 30;
constexpr size_t kFieldLength = 20;
constexpr size_t kWholeAnswerLength = 50;

std::string Cut(const std::string& text, size_t length) {
    return text.size() > length ? text.substr(0, length) : text;
}

// Field 3 is kept only when it is all digits, with its two-character groups reversed.
std::string ReversedPairs(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    if (text.size() % 2 != 0) {
        return text;
    }
    std::string out;
    for (size_t i = text.size(); i >= 2; i -= 2) {
        out += text.substr(i - 2, 2);
    }
    return out;
}

}  // namespace

ECRClass::ECRClass() = default;

ECRClass::~ECRClass() {
    // Whatever the hooks refer to may already be gone while the owner is torn down.
    SetProcessMessages(nullptr);
    logCallback_ = nullptr;
    if (savedMode >= 0) {
        if (!IsOpen()) {
            Reopen();
        }
        if (IsOpen()) {
            SetMode(savedMode);
        }
    }
    if (IsOpen()) {
        Close();
    }
}

bool ECRClass::OpenPort() {
    if (IsOpen()) {
        return true;
    }
    if (configuredPortName_.empty()) {
        return false;
    }
    SetBaudRate(configuredBaudRate_);
    return Open(configuredPortName_, 1);
}

bool ECRClass::InitTransmission() {
    if (IsOpen()) {
        return true;
    }
    if (!OpenPort()) {
        return false;
    }
    if (savedMode != -1) {
        return true;
    }
    savedMode = 0;
    StartSession();
    return true;
}

void ECRClass::StartSession() {
    SetMode(kSessionMode);
    ReadAvailable(receiveBuffer, 30);
    receiveBuffer.Clear();
}

bool ECRClass::EndTransmission() {
    if (savedMode >= 0) {
        SetMode(savedMode);
        savedMode = -1;
    }
    iBuffer end;
    end.AppendByte('_');
    return SendFrame(end);
}

bool ECRClass::Identify() {
    if (!ReadAnswer('^', '~')) {
        return false;
    }
    IdentificationRecord record;
    const std::string whole(answerBuffer.Text(), static_cast<size_t>(answerBuffer.TextLength()));
    record.wholeAnswer = Cut(whole, kWholeAnswerLength);
    modelCode = whole.find("ZEN") != std::string::npos   ? 1
                : whole.find("VES") != std::string::npos ? 2
                                                         : 0;
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = whole.find('/', start);
        parts.push_back(whole.substr(start, slash - start));
        if (slash == std::string::npos) {
            break;
        }
        start = slash + 1;
    }
    parts.resize(std::max<size_t>(parts.size(), 4));
    record.modelText = Cut(parts[0], kModelTextLength);
    record.field3 = Cut(ReversedPairs(parts[2]), kFieldLength);
    record.field4 = Cut(parts[3], kFieldLength);
    iBuffer numbers(parts[1].c_str());
    record.number1 = static_cast<int32_t>(numbers.TakeInteger());
    iBuffer second(parts[2].c_str());
    record.number2 = static_cast<int32_t>(second.TakeInteger());
    identification = record;
    logTag1 = record.field3;
    logTag2 = record.field4;
    return true;
}

std::string ECRClass::ModelName() const {
    switch (modelCode) {
        case 0:
            return "OFFLINE";
        case 1:
            return "ZEN";
        case 2:
            return "VESPER";
        default:
            return {};
    }
}

bool ECRClass::ReadFiscalIds() {
    if (!InitTransmission()) {
        return false;
    }
    iBuffer& request = BeginRequest({4});
    request.AppendByte('J');
    if (!Exchange(request)) {
        return false;
    }
    answerBuffer.TakeInteger();  // the echoed parameter
    if (answerBuffer.LastSeparator() != 'j') {
        return false;
    }
    iBuffer bytes(answerBuffer);
    bytes.FromHexText();
    if (bytes.Length() < 45) {
        return false;
    }
    const auto field = [&](int from, int length) {
        if (bytes.ByteAt(from) == 0xFF) {
            return std::string(static_cast<size_t>(length), '?');
        }
        std::string raw(reinterpret_cast<const char*>(bytes.Data()) + from,
                        static_cast<size_t>(length));
        raw.resize(std::strlen(raw.c_str()));
        return MazoviaToUtf8(raw);
    };
    uniqueNumber = field(0, 11);
    taxNumber = field(32, 13);
    logTag2 = uniqueNumber;
    return true;
}

std::string ECRClass::TransmissionErrorText() const {
    if (!refusal.empty()) {
        return refusal;
    }
    if (statusCode == -1) {
        return "Nie można przeczytać informacji z kasy.\nUruchom w kasie komunikację, lub ustaw "
               "w oknie\nKonfiguracja Programu parametry transmisji.";
    }
    if (statusCode == 0) {
        return "Niezidentyfikowany błąd komunikacji USB/RS\nsystemu Windows. W przypadku USB "
               "zaleca się\nodłączenie przewodu USB, restart urządzenia\nKorvex i podłączenie z "
               "powrotem. Ponowne otwarcie\nkomunikacji";
    }
    return "Podczas transmisji wykryto błąd.\n" + LastErrorText() + "\n";
}

}  // namespace kasa
