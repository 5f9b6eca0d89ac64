// The register object: frames requests, exchanges them with the register, classifies the
// answers and keeps the status code and the protocol log.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "comm/fastcom.h"
#include "comm/ibuffer.h"

namespace kasa {

// Results of ExtractRecord and ReadRecord.
enum RecordResult : int {
    kRecordEmpty = -1,       // nothing received, or no frame start
    kRecordUnfinished = -2,  // a frame start without its end
    kRecordBadChecksum = -3,
    kRecordOtherNumber = -4,  // a record answering another request
    kRecordData = 1,
    kRecordStatus = 2,
};

// The last identification answer, split into its "/"-separated fields.
struct IdentificationRecord {
    std::string modelText;
    int32_t number1 = 0;
    int32_t number2 = 0;
    std::string field3;  // digits only, two-character groups in reverse order; else empty
    std::string field4;
    std::string wholeAnswer;
};

class ECRClass : public FastCom {
  public:
    // Receives every protocol log line (UTF-8); may be called from any thread.
    using LogCallback = std::function<void(const std::string& line, uint32_t context)>;

    ECRClass();
    // Puts back the mode the register had when the session started.
    ~ECRClass() override;

    void SetPortParams(const std::string& portName, int32_t baudRate, LogCallback callback,
                       uint32_t context);
    virtual bool InitTransmission();
    // Opens the configured port without the session's start requests.
    bool OpenPort();
    bool CloseTransmission();
    bool SendFrame(iBuffer& payload);
    bool Exchange(iBuffer& payload);
    // The transport's receive within the bounds of an answer: the time bound below and
    // kMaxAnswerBytes; inside an exchange no later than the exchange's own end. An answer
    // past a bound, or a wait the abort flag cut short, leaves the buffer empty.
    bool Receive(iBuffer& buffer, int32_t timeoutMs, const char* terminator);
    // How long one exchange may take in all for this silence time-out, at the line's speed.
    int64_t AnswerTimeBoundMs(int32_t timeoutMs) const;
    bool Request(iBuffer& payload) { return Exchange(payload); }
    int ExtractRecord(iBuffer& out);
    int ReadRecord();
    // The unsequenced request of document verification: 1 when the register confirms the
    // document, 2 when it denies it, -1 without a verdict. A register that could not take
    // or handle the request (status 20..31) gives no verdict: statusCode then holds its code.
    int VerifyDocument(const char* data, const char* text);
    // The verdict in the content of a document-control answer: 1 confirmed, 2 denied, -1
    // when the content is not two decimal numbers with one separator between them, or when
    // the second is a status code 20..31 (a request that arrived damaged or could not be
    // handled, which says nothing of the document); `status` then receives that code.
    static int DocumentVerdictOf(std::string_view content, int32_t* status = nullptr);

    static std::string ErrorText(int code);
    std::string LastErrorText() const;
    // The message, and the register's reason on a line of its own when it gave one.
    std::string WithRegisterReason(const std::string& message) const;

    void LogRequest(const iBuffer& frame);
    void LogAnswer(const iBuffer& received);
    void LogMessage(const std::string& text);
    // Records that a request is not sent, and why, in the log and in `refusal`.
    void Refuse(const std::string& reason);

    // Starts the request buffer of a sequenced command: the request number and the
    // parameters, each after a ";".
    iBuffer& BeginRequest();
    iBuffer& BeginRequest(std::initializer_list<int64_t> parameters);

    // Sets the register's communication mode: request "number;m P".
    bool SetMode(int mode);
    // Sends the read request `letter` with no parameters; true only when the answer comes
    // under `answerLetter`, so that a status-only refusal never passes for the data.
    bool ReadAnswer(char letter, char answerLetter);

    // Session: the end of communication restores the mode found at the start and sends
    // the end frame "_"; identification and the fiscal ids fill the fields below.
    bool EndTransmission();
    bool Identify();
    std::string ModelName() const;
    bool ReadFiscalIds();
    // The text shown for a failed transmission, by the last status code.
    std::string TransmissionErrorText() const;

    int32_t savedMode = -1;
    std::array<double, 7> sessionTotals{};
    bool totalsZero = false;
    IdentificationRecord identification;
    std::string uniqueNumber;
    std::string taxNumber;

    int32_t answerTimeout = 5000;
    // The silence after which a document verification gives up waiting for its verdict.
    int32_t verifyTimeout = 15000;
    int32_t statusCode = -1;
    // Why the program itself did not send the last request; empty when it was sent. The
    // error texts give it in place of the register's verdict.
    std::string refusal;
    iBuffer requestBuffer;
    iBuffer answerBuffer;
    iBuffer receiveBuffer;
    uint8_t requestNumber = 0;
    std::string logTag1;
    std::string logTag2;
    bool twoRecordMode = true;
    // Every write or delete request sent adds one; a request refused before sending does not.
    int32_t writtenRecords = 0;
    // 0 unknown, 1 ZEN, 2 VESPER, as the identification reports it.
    int32_t modelCode = 0;
    bool IsIdentified() const { return modelCode != 0; }

    const std::string& ConfiguredPortName() const { return configuredPortName_; }
    int32_t ConfiguredBaudRate() const { return configuredBaudRate_; }

    // The largest answer one exchange takes up. The longest record the register sends is
    // a header of ten 102-byte lines as hexadecimal digits, about 2100 bytes with its frame
    // and status record; twice that leaves room for a late record before it.
    static constexpr int32_t kMaxAnswerBytes = 4096;
    static constexpr const char* kFrameStart = "\x1bP";
    static constexpr const char* kFrameEnd = "\x1b\\";

  protected:
    // The requests of the first opening: the protocol layer only puts the register into
    // the session mode and drops stray bytes; a register session adds its reads around it.
    virtual void StartSession();

  private:
    std::string LogPrefix() const;
    void Renumber(iBuffer& payload, uint8_t builtWith);
    void DropLateBytes();
    // The receiving part of Exchange: true when a record of this request came.
    bool ReceiveAnswer();
    int ReadOwnRecord();

    // The end of the running exchange, for all its receives together; none between them.
    std::optional<std::chrono::steady_clock::time_point> exchangeEnd_;
    std::string configuredPortName_;
    int32_t configuredBaudRate_ = 9600;
    LogCallback logCallback_;
    uint32_t logContext_ = 0;
};

}  // namespace kasa
