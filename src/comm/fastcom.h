// The serial transport: owns one port and moves bytes between it and buffers. It knows
// nothing of frames; the register object derives from it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "comm/ibuffer.h"
#include "comm/line_port.h"

namespace kasa {

// Bounds of one Receive besides its silence time-out; 0 leaves a bound out.
struct ReceiveLimits {
    int64_t totalMs = 0;   // from the call on, however busy the line
    int32_t maxBytes = 0;  // what a terminated answer may hold at most
};

// How a Receive ended. Past a bound or on an abort the bytes are thrown away and the
// buffer is left empty, as if nothing had come.
enum class ReceiveEnd { kTerminator, kSilence, kTooLong, kTooLarge, kAborted, kLineLost };

class FastCom {
  public:
    FastCom();
    virtual ~FastCom();
    FastCom(const FastCom&) = delete;
    FastCom& operator=(const FastCom&) = delete;

    bool Open(const std::string& portName, int32_t readTimeoutConstant);
    bool Reopen();
    bool Close();
    bool IsOpen() const;
    bool Write(const iBuffer& buffer);
    bool WriteRetry(const iBuffer& buffer);
    bool ReadAvailable(iBuffer& buffer, int32_t maximum);

    // A long write: the bytes go out in slices, and between slices what the other side
    // sends back is taken up and handed over, so a peer that answers while it reads never
    // fills the line and stalls the writer. The whole write must end within its wire time
    // at the baud rate plus a margin; a raised abort flag stops it between slices and
    // throws away what still waits to go out.
    enum class SendResult { kDone, kFailed, kTimedOut, kAborted };
    struct SendHooks {
        std::function<void(const iBuffer& received)> received;
        std::function<void(int64_t written, int64_t total)> progress;
        const std::atomic<bool>* abort = nullptr;
        // After the last byte, what comes back is still taken up until the line has been
        // quiet this long (within the same deadline).
        int32_t quietAfterMs = 0;
    };
    SendResult WriteReading(const iBuffer& buffer, const SendHooks& hooks);
    // How long `bytes` take on the line at `baudRate` (10 bits a byte), in milliseconds.
    static int64_t WireTimeMs(int64_t bytes, int32_t baudRate);
    bool Receive(iBuffer& buffer, int32_t timeoutMs, const char* terminator,
                 const ReceiveLimits& limits = ReceiveLimits());
    ReceiveEnd LastReceiveEnd() const { return lastReceiveEnd_; }
    uint32_t InputCount();
    uint32_t OutputCount();

    // Called on every wait, so a window can handle its events; empty by default.
    void SetProcessMessages(std::function<void()> hook) { processMessages_ = std::move(hook); }
    void ProcessMessages() const;
    // Sleeps while still letting the window handle its events.
    void Pause(int32_t milliseconds) const;

    // The system error of the last failed open (0 after a successful one); EINVAL when
    // the baud rate is not one the line supports.
    int OpenError() const { return openError_; }
    const std::string& PortName() const { return portName_; }
    const std::string& DevicePath() const { return devicePath_; }
    int32_t ReadTimeoutConstant() const { return readTimeoutConstant_; }
    int32_t BaudRate() const { return baudRate_; }
    void SetBaudRate(int32_t baudRate) { baudRate_ = baudRate; }
    bool CompatibilityMode() const { return compatibilityMode_; }
    void SetCompatibilityMode(bool on) { compatibilityMode_ = on; }
    uint32_t BytesRead() const { return bytesRead_; }
    uint32_t BytesWritten() const { return bytesWritten_; }
    // How many writes to the device the last Write or WriteRetry took.
    int WriteCalls() const { return writeCalls_; }
    const DeviceControlBlock& ControlBlock() const { return dcb_; }
    const CommTimeouts& Timeouts() const { return timeouts_; }
    uint32_t SetupError() const { return setupError_; }

    // The rule that turns compatibility mode on: more forward slashes than backslashes in
    // the strings of an environment block.
    static bool EnvironmentSuggestsCompatibility(const char* const* environment);
    // The rule on this process's environment where it tells something (each system has its
    // own file): on Windows it detects a serial layer emulated on Unix, such as wine's.
    static bool ThisProcessSuggestsCompatibility();

    // Raised by the window's abort button or by Ctrl+C: a Receive that waits gives up at its
    // next round, and the running job stops between its requests.
    std::atomic<bool> abortRequested{false};

    static constexpr int32_t kWriteTotalConstantMs = 20000;
    static constexpr int kCompatibilityChunk = 64;
    // Slice of a long write, and what it may add to the wire time before it gives up.
    static constexpr int kSendSlice = 1024;
    static constexpr int kSendReadBuffer = 65536;
    static constexpr int64_t kSendMarginMs = 5000;

  private:
    // The device is gone (a pulled cable): its handle can never work again, so it is let
    // go, and the next operation opens the port afresh once the device is back.
    void LineLost();
    bool WriteAll(const iBuffer& buffer);
    bool WriteChunked(const iBuffer& buffer);

    // Linux has no event mask and no driver queue sizes to request: the fields are kept
    // so the transport's state reads the same everywhere.
    uint32_t eventMask_ = 0;
    DeviceControlBlock dcb_;
    CommTimeouts timeouts_;
    uint32_t inputCount_ = 0;
    uint32_t outputCount_ = 0;
    bool compatibilityMode_ = false;
    uint32_t setupError_ = 0;
    std::string portName_;
    bool open_ = false;
    // A connection being made lets the window handle its events, as every other wait does.
    LinePort port_{[this] { ProcessMessages(); }};
    uint32_t bytesRead_ = 0;
    uint32_t bytesWritten_ = 0;
    int32_t readTimeoutConstant_ = 1;
    int32_t baudRate_ = 115200;

    std::string devicePath_;
    int openError_ = 0;
    int writeCalls_ = 0;
    ReceiveEnd lastReceiveEnd_ = ReceiveEnd::kSilence;
    std::function<void()> processMessages_;
};

}  // namespace kasa
