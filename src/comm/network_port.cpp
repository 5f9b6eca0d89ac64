#include "comm/network_port.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

namespace kasa {

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<int> g_connectTimeoutMs{NetworkPort::kDefaultConnectTimeoutMs};

// Waits in rounds this long so the wait hook runs often enough for a window.
constexpr int kWaitRoundMs = 20;
// Reads while purging stop after this many rounds, so a server that never stops sending
// cannot hold the purge.
constexpr int kPurgeRounds = 64;

int LeftMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return static_cast<int>(std::max<int64_t>(left.count(), 0));
}

// The lock's name: the server's host and port, the way the name is written aside.
std::string LockKey(const NetworkPortName& name) {
    std::string key;
    for (const char c : name.host) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        key += (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') ? lower : '_';
    }
    return key + "_" + std::to_string(name.port);
}

struct Resolution {
    std::mutex mutex;
    bool done = false;
    int error = 0;
    std::vector<net::Endpoint> endpoints;
};

}  // namespace

NetworkPort::NetworkPort(WaitHook waitHook) : waitHook_(std::move(waitHook)) {}

NetworkPort::~NetworkPort() {
    Close();
}

void NetworkPort::SetConnectTimeoutMs(int milliseconds) {
    g_connectTimeoutMs = std::max(milliseconds, 1);
}

int NetworkPort::ConnectTimeoutMs() {
    return g_connectTimeoutMs;
}

int NetworkPort::Open(const std::string& name) {
    if (IsOpen()) {
        return EBUSY;
    }
    const std::optional<NetworkPortName> parsed = ParseNetworkPortName(name);
    if (!parsed) {
        lastError_ = ENOENT;
        return lastError_;
    }
    int error = 0;
    lockKey_ = LockKey(*parsed);
    lock_ = net::LockPortKey(lockKey_, error);
    if (lock_ == net::kNoSocket) {
        lock_ = net::kNoLock;
        lastError_ = EBUSY;
        return lastError_;
    }
    telnet_ = parsed->telnet;
    reader_ = telnet::Reader{};
    negotiation_ = telnet::Negotiation{};
    queued_.clear();
    lastError_ = Connect(*parsed);
    if (lastError_ != 0) {
        Close();
    }
    return lastError_;
}

int NetworkPort::Connect(const NetworkPortName& name) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(ConnectTimeoutMs());
    const auto wait = [&](int milliseconds) {
        if (waitHook_) {
            waitHook_();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    };
    // A name service that does not answer must not hold the caller past the time-out, so
    // the name is looked up aside; a late answer is dropped with the shared record.
    auto resolution = std::make_shared<Resolution>();
    std::thread([resolution, host = name.host, port = name.port] {
        std::vector<net::Endpoint> endpoints;
        const int error = net::ResolveHost(host, port, endpoints);
        std::lock_guard lock(resolution->mutex);
        resolution->error = error;
        resolution->endpoints = std::move(endpoints);
        resolution->done = true;
    }).detach();
    std::vector<net::Endpoint> endpoints;
    for (;;) {
        {
            std::lock_guard lock(resolution->mutex);
            if (resolution->done) {
                if (resolution->error != 0) {
                    return resolution->error;
                }
                endpoints = resolution->endpoints;
                break;
            }
        }
        if (LeftMs(deadline) <= 0) {
            return ETIMEDOUT;
        }
        wait(1);
    }
    int error = ETIMEDOUT;
    for (const net::Endpoint& endpoint : endpoints) {
        int failure = 0;
        const net::SocketHandle socket = net::StartConnect(endpoint, failure);
        if (socket == net::kNoSocket) {
            error = failure;
            continue;
        }
        int state = 0;
        while (state == 0 && LeftMs(deadline) > 0) {
            state = net::WaitConnected(socket, std::min(LeftMs(deadline), kWaitRoundMs), failure);
            if (state == 0 && waitHook_) {
                waitHook_();
            }
        }
        if (state == 1) {
            socket_ = socket;
            break;
        }
        net::CloseSocket(socket);
        error = state < 0 ? failure : ETIMEDOUT;
        if (state == 0) {
            return ETIMEDOUT;
        }
    }
    if (!IsOpen()) {
        return error;
    }
    if (!telnet_) {
        return 0;
    }
    // The greeting, then the server's word on the COM-PORT-OPTION: a server that closes the
    // connection here refuses this client (ser2net does so while another one is served).
    Queue(negotiation_.Opening(true));
    bool answered = false;
    uint8_t raw[512];
    uint8_t data[512];
    while (!answered) {
        if (!Flush()) {
            return lastError_;
        }
        const int ready =
            net::Wait(socket_, !queued_.empty(), std::min(LeftMs(deadline), kWaitRoundMs));
        if (ready < 0) {
            return ECONNRESET;
        }
        if (ready == 0) {
            if (LeftMs(deadline) <= 0) {
                return EPROTO;
            }
            if (waitHook_) {
                waitHook_();
            }
            continue;
        }
        int failure = 0;
        const int n = net::ReceiveNow(socket_, raw, sizeof raw, failure);
        if (n < 0) {
            return failure;
        }
        // Data before the line is set up is noise from before this connection: dropped.
        reader_.Feed(raw, static_cast<size_t>(n), data);
        for (const telnet::Event& event : reader_.Events()) {
            if (event.option == telnet::kComPortOption &&
                (event.verb == telnet::kDo || event.verb == telnet::kDont)) {
                answered = true;
            }
            Queue(negotiation_.Answer(event));
        }
        reader_.Events().clear();
    }
    return Flush() ? 0 : lastError_;
}

void NetworkPort::Close() {
    if (IsOpen()) {
        net::CloseSocket(socket_);
        socket_ = net::kNoSocket;
    }
    if (lock_ != net::kNoLock) {
        net::UnlockPortKey(lock_, lockKey_);
        lock_ = net::kNoLock;
    }
    queued_.clear();
}

void NetworkPort::Queue(const telnet::Bytes& raw) const {
    queued_.insert(queued_.end(), raw.begin(), raw.end());
}

bool NetworkPort::Flush() const {
    while (!queued_.empty()) {
        int error = 0;
        const int n =
            net::SendNow(socket_, queued_.data(), static_cast<int>(queued_.size()), error);
        if (n < 0) {
            lastError_ = error;
            return false;
        }
        if (n == 0) {
            return true;
        }
        queued_.erase(queued_.begin(), queued_.begin() + n);
    }
    return true;
}

int NetworkPort::TakeTelnet(const uint8_t* raw, int count, uint8_t* data) {
    const size_t n = reader_.Feed(raw, static_cast<size_t>(count), data);
    for (const telnet::Event& event : reader_.Events()) {
        // Acknowledgements and line or modem notices carry nothing the transport uses.
        Queue(negotiation_.Answer(event));
    }
    reader_.Events().clear();
    return static_cast<int>(n);
}

bool NetworkPort::ReadSettings(DeviceControlBlock&) const {
    return IsOpen();
}

bool NetworkPort::ApplySettings(const DeviceControlBlock& dcb) {
    if (!IsOpen()) {
        return false;
    }
    if (!telnet_) {
        return true;
    }
    telnet::LineSettings line;
    line.baudRate = static_cast<uint32_t>(dcb.baudRate);
    line.dataSize = static_cast<uint8_t>(dcb.dataBits);
    line.parity = dcb.parity ? telnet::kParityEven : telnet::kParityNone;
    line.stopSize = dcb.stopBits == 2 ? 2 : 1;
    line.flowControl = dcb.xonXoffOutput || dcb.xonXoffInput ? telnet::kControlXonXoff
                       : dcb.ctsOutputFlow                   ? telnet::kControlHardware
                                                             : telnet::kControlNoFlow;
    line.dtr = dcb.dtrOn ? telnet::kControlDtrOn : telnet::kControlDtrOff;
    line.rts = dcb.rtsOn ? telnet::kControlRtsOn : telnet::kControlRtsOff;
    // The server applies them in order before any data byte that follows, so nothing waits
    // for the acknowledgements.
    Queue(telnet::LineSettingsCommands(line));
    return Flush();
}

void NetworkPort::DiscardInput() {
    if (!IsOpen()) {
        return;
    }
    uint8_t raw[4096];
    uint8_t data[4096];
    for (int round = 0; round < kPurgeRounds; ++round) {
        int error = 0;
        const int n = net::ReceiveNow(socket_, raw, sizeof raw, error);
        if (n <= 0) {
            if (n < 0) {
                lastError_ = error;
            }
            return;
        }
        if (telnet_) {
            TakeTelnet(raw, n, data);
        }
    }
}

void NetworkPort::Purge() {
    queued_.clear();
    DiscardInput();
    if (IsOpen() && telnet_) {
        Queue(telnet::ComPortCommand(telnet::kPurgeData, {telnet::kPurgeBoth}));
        Flush();
    }
}

void NetworkPort::PurgeInput() {
    DiscardInput();
    if (IsOpen() && telnet_) {
        Queue(telnet::ComPortCommand(telnet::kPurgeData, {telnet::kPurgeReceive}));
        Flush();
    }
}

bool NetworkPort::Drain(int timeoutMs) {
    if (!IsOpen()) {
        return false;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (!Flush()) {
            return false;
        }
        if (queued_.empty() && net::Unsent(socket_) == 0) {
            return true;
        }
        if (LeftMs(deadline) <= 0) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int NetworkPort::InputQueue() const {
    if (!IsOpen()) {
        return -1;
    }
    const int n = net::Pending(socket_);
    if (n < 0) {
        lastError_ = ECONNRESET;
    }
    return n;
}

int NetworkPort::OutputQueue() const {
    if (!IsOpen()) {
        return -1;
    }
    return static_cast<int>(queued_.size()) + net::Unsent(socket_);
}

int NetworkPort::ReadNow(uint8_t* destination, int max) {
    if (!IsOpen()) {
        return -1;
    }
    if (!Flush()) {
        return -1;
    }
    if (max <= 0) {
        return 0;
    }
    int error = 0;
    if (!telnet_) {
        const int n = net::ReceiveNow(socket_, destination, max, error);
        if (n < 0) {
            lastError_ = error;
        }
        return n;
    }
    // Never more raw bytes than data bytes asked for, so the data always fits.
    scratch_.resize(static_cast<size_t>(max));
    const int n = net::ReceiveNow(socket_, scratch_.data(), max, error);
    if (n < 0) {
        lastError_ = error;
        return -1;
    }
    const int data = TakeTelnet(scratch_.data(), n, destination);
    return Flush() ? data : -1;
}

int NetworkPort::Write(const uint8_t* data, int count, int timeoutMs) {
    if (!IsOpen()) {
        return -1;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    // What an earlier write left queued goes first; while it cannot, nothing new is taken.
    while (!queued_.empty()) {
        if (!Flush()) {
            return -1;
        }
        if (queued_.empty()) {
            break;
        }
        const int left = LeftMs(deadline);
        if (left <= 0) {
            return 0;
        }
        if (net::Wait(socket_, true, std::min(left, 100)) < 0) {
            lastError_ = EIO;
            return -1;
        }
    }
    telnet::Bytes escaped;
    const uint8_t* raw = data;
    int rawCount = count;
    if (telnet_) {
        telnet::AppendEscaped(escaped, data, static_cast<size_t>(count));
        raw = escaped.data();
        rawCount = static_cast<int>(escaped.size());
    }
    int sent = 0;
    bool failed = false;
    while (sent < rawCount) {
        int error = 0;
        const int n = net::SendNow(socket_, raw + sent, rawCount - sent, error);
        if (n < 0) {
            lastError_ = error;
            failed = true;
            break;
        }
        sent += n;
        if (n > 0) {
            continue;
        }
        const int left = LeftMs(deadline);
        if (left <= 0) {
            break;
        }
        net::Wait(socket_, true, std::min(left, 100));
    }
    if (failed && sent == 0) {
        return -1;
    }
    if (telnet_ && !failed && sent > 0 && sent < rawCount) {
        // Taken in part: the rest of the escaped bytes waits here, so a doubled 255 is
        // never cut in two and the caller counts the whole piece as written.
        queued_.assign(raw + sent, raw + rawCount);
        return count;
    }
    return telnet_ ? static_cast<int>(telnet::DataBytesWithin(data, static_cast<size_t>(count),
                                                              static_cast<size_t>(sent)))
                   : sent;
}

int NetworkPort::WaitReadable(int timeoutMs) const {
    if (!IsOpen() || !Flush()) {
        return -1;
    }
    const int ready = net::Wait(socket_, false, timeoutMs);
    if (ready > 0 && net::Pending(socket_) < 0) {
        return -1;  // closed by the server with nothing left to read
    }
    return ready;
}

int NetworkPort::WaitWritableOrReadable(int timeoutMs) const {
    if (!IsOpen() || !Flush()) {
        return -1;
    }
    const int ready = net::Wait(socket_, true, timeoutMs);
    if (ready > 0 && !Flush()) {
        return -1;
    }
    return ready;
}

}  // namespace kasa
