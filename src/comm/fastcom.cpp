#include "comm/fastcom.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "comm/port_name.h"

namespace kasa {

namespace {

constexpr uint32_t kTransmitQueueEmptyEvent = 0x0004;
constexpr int32_t kIdleRoundMs = 20;
// Driver queues large enough for a whole database record stream.
constexpr int kQueueBytes = 30000;
constexpr int kCompatibilityQueueBytes = 16384;
constexpr int32_t kCompatibilityDrainBudgetMs = 300;
// How long Close lets written bytes leave the line before it purges the queues.
constexpr int32_t kCloseDrainMs = 500;

using Clock = std::chrono::steady_clock;

int64_t ElapsedMicroseconds(Clock::time_point since) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - since).count();
}

}  // namespace

FastCom::FastCom() : compatibilityMode_(ThisProcessSuggestsCompatibility()) {}

FastCom::~FastCom() {
    // Whatever the hook refers to may already be gone while its owner is torn down.
    processMessages_ = nullptr;
    if (IsOpen()) {
        Close();
    }
}

bool FastCom::EnvironmentSuggestsCompatibility(const char* const* environment) {
    long forward = 0;
    long backward = 0;
    for (const char* const* entry = environment; entry != nullptr && *entry != nullptr; ++entry) {
        for (const char* c = *entry; *c != 0; ++c) {
            forward += *c == '/';
            backward += *c == '\\';
        }
    }
    return forward > backward;
}

void FastCom::ProcessMessages() const {
    if (processMessages_) {
        processMessages_();
    }
}

void FastCom::Pause(int32_t milliseconds) const {
    const auto until = Clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        ProcessMessages();
        const auto left = until - Clock::now();
        if (left <= Clock::duration::zero()) {
            return;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(left, std::chrono::milliseconds(10)));
    }
}

bool FastCom::IsOpen() const {
    return port_.IsOpen();
}

bool FastCom::Open(const std::string& portName, int32_t readTimeoutConstant) {
    if (IsOpen()) {
        return false;
    }
    // A network port name is kept and opened as given, as a device path is.
    const bool network = IsNetworkPortName(portName);
    const bool isPath = !portName.empty() && (portName[0] == '/' || network);
    portName_ = isPath ? portName : DeviceNameForPort(portName);
    devicePath_ = network ? portName : DevicePathForName(isPath ? portName : portName_);
    if (devicePath_.empty()) {
        openError_ = ENOENT;
        open_ = false;
        return false;
    }
    // A speed the line cannot take is refused before the device is touched.
    if (!SerialPort::SupportsBaudRate(baudRate_)) {
        openError_ = EINVAL;
        open_ = false;
        return false;
    }
    openError_ = port_.Open(devicePath_);
    if (openError_ != 0) {
        open_ = false;
        return false;
    }
    open_ = true;
    setupError_ = static_cast<uint32_t>(
        port_.RequestQueueSizes(compatibilityMode_ ? kCompatibilityQueueBytes : kQueueBytes));
    port_.Purge();

    DeviceControlBlock reported;
    port_.ReadSettings(reported);
    dcb_ = DeviceControlBlock{};
    dcb_.baudRate = baudRate_;
    dcb_.parityCheck = reported.parityCheck;
    port_.ApplySettings(dcb_);

    readTimeoutConstant_ = std::max<int32_t>(readTimeoutConstant, 2);
    timeouts_.readInterval = 3;
    timeouts_.readTotalMultiplier = 1;
    timeouts_.readTotalConstant = readTimeoutConstant_;
    timeouts_.writeTotalMultiplier = 1;
    timeouts_.writeTotalConstant = kWriteTotalConstantMs;
    port_.ApplyTimeouts(timeouts_);

    eventMask_ = port_.ExchangeEventMask(kTransmitQueueEmptyEvent);
    Pause(10);
    return true;
}

bool FastCom::Reopen() {
    std::string name = portName_;
    if (name.size() < 4) {
        return false;
    }
    if (name[0] == '\\') {
        name = name.substr(4);
    }
    return Open(name, readTimeoutConstant_);
}

bool FastCom::Close() {
    if (!IsOpen()) {
        open_ = false;
        return false;
    }
    // A purge right after a write would throw away bytes not yet sent, such as the end
    // frame sent just before closing, so they are let out first.
    // Once they are out, purging the output too would only hit what a pseudo-terminal
    // peer has not read yet.
    const int waiting = std::max(port_.OutputQueue(), 0);
    if (port_.Drain(kCloseDrainMs + waiting * 10000 / std::max<int32_t>(baudRate_, 300))) {
        port_.PurgeInput();
    } else {
        port_.Purge();
    }
    Pause(100);
    port_.Close();
    open_ = false;
    return true;
}

void FastCom::LineLost() {
    port_.Close();
    open_ = false;
}

uint32_t FastCom::InputCount() {
    const int n = port_.InputQueue();
    inputCount_ = n > 0 ? static_cast<uint32_t>(n) : 0;
    return inputCount_;
}

uint32_t FastCom::OutputCount() {
    const int n = port_.OutputQueue();
    outputCount_ = n > 0 ? static_cast<uint32_t>(n) : 0;
    return outputCount_;
}

bool FastCom::WriteAll(const iBuffer& buffer) {
    const int count = buffer.Length();
    const int timeout = timeouts_.writeTotalConstant + timeouts_.writeTotalMultiplier * count;
    const int written = port_.Write(buffer.Data(), count, timeout);
    ++writeCalls_;
    bytesWritten_ = written > 0 ? static_cast<uint32_t>(written) : 0;
    if (written < 0) {
        LineLost();
    }
    return written == count;
}

bool FastCom::WriteChunked(const iBuffer& buffer) {
    const int count = buffer.Length();
    int done = 0;
    bytesWritten_ = 0;
    while (done < count) {
        int budget = kCompatibilityDrainBudgetMs;
        while (OutputCount() > 0) {
            if (budget <= 0) {
                return false;
            }
            Pause(kIdleRoundMs);
            budget -= kIdleRoundMs;
        }
        const int chunk = std::min(kCompatibilityChunk, count - done);
        const int written =
            port_.Write(buffer.Data() + done, chunk, timeouts_.writeTotalConstant + chunk);
        ++writeCalls_;
        if (written < 0) {
            LineLost();
        }
        if (written != chunk) {
            if (written > 0) {
                bytesWritten_ += static_cast<uint32_t>(written);
            }
            return false;
        }
        done += chunk;
        bytesWritten_ += static_cast<uint32_t>(chunk);
    }
    return static_cast<int>(bytesWritten_) == count;
}

bool FastCom::Write(const iBuffer& buffer) {
    if (!IsOpen()) {
        return false;
    }
    writeCalls_ = 0;
    return compatibilityMode_ ? WriteChunked(buffer) : WriteAll(buffer);
}

bool FastCom::WriteRetry(const iBuffer& buffer) {
    if (!IsOpen()) {
        return false;
    }
    bool result = false;
    writeCalls_ = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        result = compatibilityMode_ ? WriteChunked(buffer) : WriteAll(buffer);
        if (bytesWritten_ > 0 || buffer.Length() == 0) {
            break;
        }
        Pause(5);
    }
    return result;
}

int64_t FastCom::WireTimeMs(int64_t bytes, int32_t baudRate) {
    return bytes * 10 * 1000 / std::max<int32_t>(baudRate, 1);
}

FastCom::SendResult FastCom::WriteReading(const iBuffer& buffer, const SendHooks& hooks) {
    writeCalls_ = 0;
    bytesWritten_ = 0;
    if (!IsOpen()) {
        return SendResult::kFailed;
    }
    const int64_t total = buffer.Length();
    const auto deadline =
        Clock::now() + std::chrono::milliseconds(kSendMarginMs + WireTimeMs(total, baudRate_));
    const int slice = compatibilityMode_ ? kCompatibilityChunk : kSendSlice;
    iBuffer received;
    received.Grow(kSendReadBuffer);
    // Takes up everything that came back, so the other side can go on; false when the
    // device is gone.
    const auto takeAnswers = [&]() {
        bool any = false;
        do {
            received.Clear();
            if (!ReadAvailable(received, 0)) {
                return std::optional<bool>();
            }
            if (!received.Empty() && hooks.received) {
                hooks.received(received);
            }
            any = any || !received.Empty();
        } while (!received.Empty());
        return std::optional<bool>(any);
    };
    const auto aborted = [&] { return hooks.abort != nullptr && hooks.abort->load(); };
    int64_t done = 0;
    while (done < total) {
        if (aborted()) {
            port_.Purge();
            return SendResult::kAborted;
        }
        if (Clock::now() >= deadline) {
            return SendResult::kTimedOut;
        }
        if (!takeAnswers()) {
            return SendResult::kFailed;
        }
        const int count = static_cast<int>(std::min<int64_t>(slice, total - done));
        const int written = port_.Write(buffer.Data() + done, count, 0);
        ++writeCalls_;
        if (written < 0) {
            LineLost();
            return SendResult::kFailed;
        }
        if (written == 0) {
            // The line is full: wait until it takes bytes again or an answer comes.
            if (port_.WaitWritableOrReadable(kIdleRoundMs) < 0) {
                LineLost();
                return SendResult::kFailed;
            }
            continue;
        }
        done += written;
        bytesWritten_ = static_cast<uint32_t>(done);
        if (hooks.progress) {
            hooks.progress(done, total);
        }
    }
    auto quietSince = Clock::now();
    while (Clock::now() < deadline &&
           Clock::now() - quietSince < std::chrono::milliseconds(hooks.quietAfterMs)) {
        if (aborted()) {
            port_.Purge();
            return SendResult::kAborted;
        }
        const std::optional<bool> any = takeAnswers();
        if (!any) {
            break;  // all was written; a line gone afterwards takes only the answers
        }
        if (*any) {
            quietSince = Clock::now();
        } else if (port_.WaitReadable(kIdleRoundMs) < 0) {
            LineLost();
            break;
        }
    }
    return SendResult::kDone;
}

bool FastCom::ReadAvailable(iBuffer& buffer, int32_t maximum) {
    ProcessMessages();
    if (maximum < 1) {
        maximum = buffer.FreeSpace() - 1;
    }
    if (!IsOpen()) {
        return false;
    }
    const int waiting = port_.InputQueue();
    if (waiting < 0) {
        LineLost();
        return false;
    }
    const int count = std::min({maximum, waiting, buffer.FreeSpace() - 1});
    if (count <= 0) {
        bytesRead_ = 0;
        return true;
    }
    const int n = port_.ReadNow(buffer.Data() + buffer.Length(), count);
    if (n < 0) {
        LineLost();
        return false;
    }
    buffer.SetLength(buffer.Length() + n);
    bytesRead_ = static_cast<uint32_t>(n);
    return true;
}

bool FastCom::Receive(iBuffer& buffer, int32_t timeoutMs, const char* terminator,
                      const ReceiveLimits& limits) {
    lastReceiveEnd_ = ReceiveEnd::kLineLost;
    if (!IsOpen()) {
        return false;
    }
    buffer.Clear();
    if (timeoutMs < 1) {
        timeoutMs = 1;
    }
    const size_t terminatorLength = terminator != nullptr ? std::strlen(terminator) : 0;
    const auto deadline = limits.totalMs > 0
                              ? Clock::now() + std::chrono::milliseconds(limits.totalMs)
                              : Clock::time_point::max();
    // The bytes of an answer cut short are no answer at all.
    const auto giveUp = [&](ReceiveEnd end) {
        buffer.Clear();
        lastReceiveEnd_ = end;
        return true;
    };
    // Counted in microseconds so that early wake-ups are charged only for the time spent.
    int64_t budget = int64_t{timeoutMs} * 1000;
    bool spuriousWake = false;
    lastReceiveEnd_ = ReceiveEnd::kSilence;
    while (budget > 0) {
        ProcessMessages();
        if (abortRequested.load()) {
            return giveUp(ReceiveEnd::kAborted);
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return giveUp(ReceiveEnd::kTooLong);
        }
        if (buffer.FreeSpace() < 64) {
            buffer.Grow(std::max<int32_t>(2 * buffer.Length(), 64));
        }
        int room = buffer.FreeSpace() - 1;
        if (limits.maxBytes > 0) {
            // One byte past the bound is enough to know the answer is too large.
            room = std::min(room, limits.maxBytes + 1 - buffer.Length());
        }
        const int n = port_.ReadNow(buffer.Data() + buffer.Length(), room);
        if (n < 0) {
            LineLost();
            lastReceiveEnd_ = ReceiveEnd::kLineLost;
            return false;
        }
        bytesRead_ = static_cast<uint32_t>(n);
        if (n == 0) {
            // An idle round ends as soon as a byte arrives, so an answer is taken up the
            // moment it lands; it is short, so an abort is seen at once.
            const auto start = Clock::now();
            int64_t waitMs = std::min<int64_t>(kIdleRoundMs, (budget + 999) / 1000);
            if (deadline != Clock::time_point::max()) {
                const int64_t left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
                waitMs = std::max<int64_t>(1, std::min(waitMs, left));
            }
            const int ready = port_.WaitReadable(static_cast<int>(waitMs));
            if (ready < 0) {
                LineLost();
                lastReceiveEnd_ = ReceiveEnd::kLineLost;
                return false;
            }
            if (ready > 0 && spuriousWake) {
                // Readable but nothing to read twice running: do not spin on the line.
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            spuriousWake = ready > 0;
            budget -= std::max<int64_t>(ElapsedMicroseconds(start), ready > 0 ? 0 : 1000);
            continue;
        }
        spuriousWake = false;
        buffer.SetLength(buffer.Length() + n);
        budget = int64_t{timeoutMs} * 1000;
        if (terminatorLength > 0 && static_cast<size_t>(buffer.Length()) >= terminatorLength &&
            std::memcmp(buffer.Data() + buffer.Length() - terminatorLength, terminator,
                        terminatorLength) == 0) {
            lastReceiveEnd_ = ReceiveEnd::kTerminator;
            break;
        }
        if (limits.maxBytes > 0 && buffer.Length() > limits.maxBytes) {
            return giveUp(ReceiveEnd::kTooLarge);
        }
    }
    return true;
}

}  // namespace kasa
