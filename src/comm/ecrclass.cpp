#include "comm/ecrclass.h"

#include <algorithm>
#include <cstring>

#include "base/codepage.h"
#include "base/number_text.h"
#include "comm/port_name.h"

namespace kasa {

namespace {

constexpr size_t kMaxPortNameLength = 19;
constexpr int32_t kStatusRecordMaxLength = 10;

// One upper-case hexadecimal digit; anything else is not a checksum digit.
int ChecksumDigit(uint8_t c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

void ECRClass::SetPortParams(const std::string& portName, int32_t baudRate, LogCallback callback,
                             uint32_t context) {
    // Device paths and network port names are longer than the register's own port names,
    // so only the other names keep the short form.
    configuredPortName_ = !portName.empty() && (portName[0] == '/' || IsNetworkPortName(portName))
                              ? portName
                              : Utf8Prefix(portName, kMaxPortNameLength);
    configuredBaudRate_ = baudRate;
    SetBaudRate(baudRate);
    logCallback_ = std::move(callback);
    logContext_ = context;
}

bool ECRClass::CloseTransmission() {
    if (!IsOpen()) {
        return true;
    }
    return Close();
}

iBuffer& ECRClass::BeginRequest() {
    requestBuffer.Clear();
    requestBuffer.Append(DecimalText(requestNumber));
    return requestBuffer;
}

iBuffer& ECRClass::BeginRequest(std::initializer_list<int64_t> parameters) {
    BeginRequest();
    for (const int64_t p : parameters) {
        requestBuffer.AppendByte(';');
        requestBuffer.Append(DecimalText(p));
    }
    return requestBuffer;
}

bool ECRClass::SetMode(int mode) {
    if (!InitTransmission()) {
        return false;
    }
    iBuffer& request = BeginRequest({mode});
    request.AppendByte('P');
    return Request(request);
}

bool ECRClass::ReadAnswer(char letter, char answerLetter) {
    if (!InitTransmission()) {
        return false;
    }
    iBuffer& request = BeginRequest();
    request.AppendByte(static_cast<uint8_t>(letter));
    return Exchange(request) && answerBuffer.LastSeparator() == static_cast<uint8_t>(answerLetter);
}

bool ECRClass::SendFrame(iBuffer& payload) {
    refusal.clear();
    if (!IsOpen()) {
        // Opening may run the session's start requests, which use the request buffer and
        // advance the number under a request that was already built.
        const iBuffer built(payload);
        const uint8_t numberBefore = requestNumber;
        if (!InitTransmission()) {
            return false;
        }
        payload = built;
        if (requestNumber != numberBefore) {
            Renumber(payload, numberBefore);
        }
    }
    // The protocol has no escape for ESC: inside a payload it would end the frame early
    // and the register would act on a cut request, so such a request is not sent.
    if (std::memchr(payload.Data(), 0x1B, static_cast<size_t>(payload.Length())) != nullptr) {
        Refuse(
            "Zapytanie zawiera bajt 1B (ESC), którego ramka protokołu kasy nie może "
            "przenieść, i nie zostało wysłane.");
        return false;
    }
    const uint8_t checksum = payload.XorChecksum(0, 0xFF);
    payload.Append(HexText(checksum, 2));
    iBuffer start;
    start.Append(kFrameStart);
    payload.Prepend(start);
    payload.Append(kFrameEnd);
    LogRequest(payload);
    return Write(payload);
}

void ECRClass::Refuse(const std::string& reason) {
    LogMessage(reason);
    refusal = reason;
    statusCode = -1;  // the register gave no verdict: it was not asked
}

void ECRClass::Renumber(iBuffer& payload, uint8_t builtWith) {
    // A request built before the start requests must go out with the current number.
    const std::string old = DecimalText(builtWith);
    if (payload.Length() < static_cast<int32_t>(old.size()) ||
        std::memcmp(payload.Data(), old.data(), old.size()) != 0 ||
        (payload.Length() > static_cast<int32_t>(old.size()) &&
         payload.ByteAt(static_cast<int32_t>(old.size())) >= '0' &&
         payload.ByteAt(static_cast<int32_t>(old.size())) <= '9')) {
        return;
    }
    iBuffer rest;
    rest.AppendBytes(payload.Data() + old.size(), payload.Length() - old.size());
    payload.Clear();
    payload.Append(DecimalText(requestNumber));
    payload.AppendBuffer(rest);
}

void ECRClass::DropLateBytes() {
    // An answer that came after its exchange gave up carries the number that the next
    // request reuses, so it would pass for that request's answer. A line that never goes
    // quiet would keep this loop going, so it drops at most one answer's worth.
    iBuffer late;
    int32_t dropped = 0;
    while (dropped < kMaxAnswerBytes && IsOpen() && InputCount() > 0 &&
           ReadAvailable(late, kMaxAnswerBytes - dropped) && late.Length() > 0) {
        dropped += late.Length();
        LogMessage("Odrzucono spóźnioną odpowiedź: " + PrintableText(late.View()));
        late.Clear();
    }
}

int64_t ECRClass::AnswerTimeBoundMs(int32_t timeoutMs) const {
    // An answer begins within the silence time-out and then takes at most the wire time
    // of the largest answer; the status record after a data record may come one more
    // silence time-out later. Twice the time-out and that wire time let every real answer
    // through, while a device that never goes quiet is given up on there.
    return 2 * int64_t{std::max<int32_t>(timeoutMs, 1)} + WireTimeMs(kMaxAnswerBytes, BaudRate());
}

bool ECRClass::Receive(iBuffer& buffer, int32_t timeoutMs, const char* terminator) {
    ReceiveLimits limits;
    limits.maxBytes = kMaxAnswerBytes;
    limits.totalMs = AnswerTimeBoundMs(timeoutMs);
    if (exchangeEnd_) {
        const int64_t left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                 *exchangeEnd_ - std::chrono::steady_clock::now())
                                 .count();
        limits.totalMs = std::clamp<int64_t>(left, 1, limits.totalMs);
    }
    const bool open = FastCom::Receive(buffer, timeoutMs, terminator, limits);
    switch (LastReceiveEnd()) {
        case ReceiveEnd::kTooLong:
            LogMessage("Odpowiedź nie skończyła się w przewidzianym czasie i została odrzucona.");
            break;
        case ReceiveEnd::kTooLarge:
            LogMessage("Odpowiedź dłuższa niż " + DecimalText(kMaxAnswerBytes) +
                       " bajtów została odrzucona.");
            break;
        case ReceiveEnd::kAborted:
            LogMessage("Oczekiwanie na odpowiedź przerwane na żądanie.");
            break;
        default:
            break;
    }
    return open;
}

bool ECRClass::Exchange(iBuffer& payload) {
    DropLateBytes();
    if (!SendFrame(payload)) {
        return false;
    }
    statusCode = -1;
    answerBuffer.Clear();
    receiveBuffer.Clear();
    // All the receives of this exchange share one end, so stale records and a late status
    // record cannot stretch it past one answer's bound.
    exchangeEnd_ = std::chrono::steady_clock::now() +
                   std::chrono::milliseconds(AnswerTimeBoundMs(answerTimeout));
    const bool received = ReceiveAnswer();
    exchangeEnd_.reset();
    if (received) {
        requestNumber = static_cast<uint8_t>(requestNumber + 1);
    }
    return received;
}

bool ECRClass::ReceiveAnswer() {
    if (!Receive(receiveBuffer, answerTimeout, kFrameEnd)) {
        return false;
    }
    LogAnswer(receiveBuffer);
    int r = ReadOwnRecord();
    if (r == kRecordData && twoRecordMode) {
        int r2 = ReadRecord();
        if (r2 < 0) {
            Receive(receiveBuffer, answerTimeout, kFrameEnd);
            r2 = ReadRecord();
        }
        if (r2 >= 0) {
            r = r2;
        }
    }
    receiveBuffer.Clear();
    return r > 0;
}

int ECRClass::ReadOwnRecord() {
    // An answer that came just after the drain before sending shifts the answers by one
    // exchange: this exchange then meets the rest of the late answer before its own. Such
    // records are skipped one by one, so a record with this request's number is never
    // thrown away with them, and when they used up what arrived, the exchange waits on for
    // its own answer. The waits are few, so a register that only sends old answers cannot
    // hold the exchange long.
    constexpr int kWaitsAfterStaleRecords = 4;
    int r = ReadRecord();
    for (int waits = 0; r == kRecordOtherNumber;) {
        if (receiveBuffer.Find(kFrameStart, 0) < 0 && waits < kWaitsAfterStaleRecords) {
            ++waits;
            if (!Receive(receiveBuffer, answerTimeout, kFrameEnd)) {
                return kRecordEmpty;
            }
            LogAnswer(receiveBuffer);
        }
        r = ReadRecord();
    }
    return r;
}

int ECRClass::ExtractRecord(iBuffer& out) {
    out.Clear();
    if (receiveBuffer.Empty()) {
        LogMessage("Pusty rekord.");
        return kRecordEmpty;
    }
    const int32_t s = receiveBuffer.Find(kFrameStart, 0);
    if (s < 0) {
        return kRecordEmpty;
    }
    int32_t e = receiveBuffer.Find(kFrameEnd, s + 2);
    if (e < 0) {
        ReadAvailable(receiveBuffer, 200);
        e = receiveBuffer.Find(kFrameEnd, s + 2);
        if (e < 0) {
            LogMessage("Niedokończony rekord.");
            return kRecordUnfinished;
        }
    }
    out.AppendBytes(receiveBuffer.Data() + s + 2, static_cast<size_t>(e - s - 2));
    receiveBuffer.Remove(0, e + 2);
    if (out.Length() < 2) {
        LogMessage("Zła suma kontrolna.");
        return kRecordBadChecksum;
    }
    const int high = ChecksumDigit(out.ByteAt(out.Length() - 2));
    const int low = ChecksumDigit(out.ByteAt(out.Length() - 1));
    out.Remove(out.Length() - 2, 2);
    if (high < 0 || low < 0 || (high * 16 + low) != out.XorChecksum(0, 0xFF)) {
        LogMessage("Zła suma kontrolna.");
        return kRecordBadChecksum;
    }
    return kRecordData;
}

int ECRClass::ReadRecord() {
    iBuffer p;
    const int r = ExtractRecord(p);
    if (r < 0) {
        return r;
    }
    iBuffer c(p);
    const int64_t number = p.TakeInteger();
    if (number != requestNumber) {
        LogMessage("Niezgodność numerów rekordu.");
        return kRecordOtherNumber;
    }
    if (p.Length() <= kStatusRecordMaxLength) {
        const int64_t code = p.TakeInteger();
        if (p.Empty() && code >= 0 && code <= 255) {
            statusCode = static_cast<int32_t>(code);
            return kRecordStatus;
        }
    }
    c.TakeInteger();
    answerBuffer = c;
    return kRecordData;
}

int ECRClass::VerifyDocument(const char* data, const char* text) {
    // The verdict carries no request number, so a verdict that came after an earlier
    // verification gave up would pass for this document's.
    DropLateBytes();
    statusCode = -1;
    requestBuffer.Clear();
    requestBuffer.Append(kFrameStart);
    requestBuffer.AppendByte('c');
    requestBuffer.Append(text);
    requestBuffer.Append("\r\n");
    requestBuffer.Append(data);
    if (!WriteRetry(requestBuffer)) {
        return -1;
    }
    if (!twoRecordMode) {
        return 0;
    }
    if (!Receive(receiveBuffer, verifyTimeout, kFrameEnd) || receiveBuffer.Length() < 10) {
        return -1;
    }
    LogAnswer(receiveBuffer);
    if (ExtractRecord(answerBuffer) < 0) {
        return -1;
    }
    int32_t status = -1;
    const int verdict = DocumentVerdictOf(answerBuffer.View(), &status);
    if (status >= 0) {
        statusCode = status;
        LogMessage(ErrorText(status));
    } else if (verdict < 0) {
        LogMessage("Niewłaściwa odpowiedź.");
    }
    return verdict;
}

int ECRClass::DocumentVerdictOf(std::string_view content, int32_t* status) {
    if (status != nullptr) {
        *status = -1;
    }
    // The answer must be two decimal numbers; the second is 0 only for a document that
    // this maker's device printed.
    const size_t firstEnd = content.find_first_not_of("0123456789");
    if (firstEnd == 0 || firstEnd == std::string_view::npos || firstEnd + 1 >= content.size() ||
        content.find_first_not_of("0123456789", firstEnd + 1) != std::string_view::npos) {
        return -1;
    }
    // Judged by its digits: a number too long for any integer type must not wrap to 0.
    std::string_view second = content.substr(firstEnd + 1);
    const size_t significant = second.find_first_not_of('0');
    if (significant == std::string_view::npos) {
        return 1;
    }
    second.remove_prefix(significant);
    // The codes of a damaged or unhandled request: the register never judged the document.
    if (second.size() == 2 && second >= "20" && second <= "31") {
        if (status != nullptr) {
            *status = (second[0] - '0') * 10 + (second[1] - '0');
        }
        return -1;
    }
    return 2;
}

std::string ECRClass::ErrorText(int code) {
    switch (code) {
        case 20:
            return "Błędny znak";
        case 21:
            return "Błąd bajtu kontrolnego";
        case 22:
            return "Błąd parametru";
        case 23:
            return "Błąd danych";
        case 24:
            return "Błąd rozkazu.\nPrzyczyną może być niezainicjowana transmisja w kasie.";
        case 25:
        case 27:
            return "Niezerowe totalizery. Wykonaj raport dobowy";
        case 26:
            return "Operacja niedozwolona w trybie fiskalnym";
        case 28:
            return "Nieunikalna nazwa towaru";
        case 31:
            return "Operacja niemożliwa w trybie fiskalnym";
        case 78:
            return "Towar nie istnieje w kasie";
        case 79:
            return "Towar spoza zakresu ustalonego w konfiguracji kasy";
        default:
            return "Nierozpoznany błąd o kodzie " + DecimalText(code) + ".";
    }
}

std::string ECRClass::LastErrorText() const {
    if (!refusal.empty()) {
        return refusal;
    }
    if (statusCode == -1) {
        return "Nie odebrano odpowiedzi.\nZaleca się ponownie zainicjować\ntransmisję.";
    }
    if (statusCode == 0) {
        return {};
    }
    return ErrorText(statusCode);
}

std::string ECRClass::WithRegisterReason(const std::string& message) const {
    return statusCode > 0 ? message + "\n" + ErrorText(statusCode) : message;
}

std::string ECRClass::LogPrefix() const {
    return "<" + configuredPortName_ + "><" + logTag1 + "," + logTag2;
}

void ECRClass::LogRequest(const iBuffer& frame) {
    if (!logCallback_ || frame.Empty()) {
        return;
    }
    logCallback_(LogPrefix() + "> Zapytanie: " + PrintableText(frame.View()), logContext_);
}

void ECRClass::LogAnswer(const iBuffer& received) {
    if (!logCallback_) {
        return;
    }
    logCallback_(LogPrefix() + "> Odpowiedź: " +
                     (received.Empty() ? std::string("Brak") : PrintableText(received.View())),
                 logContext_);
}

void ECRClass::LogMessage(const std::string& text) {
    if (logCallback_) {
        logCallback_(LogPrefix() + ">" + text, logContext_);
    }
}

}  // namespace kasa
