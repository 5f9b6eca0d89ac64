#include "sim/virtual_register.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <utility>

#include "sim/document_check.h"

namespace kasa::sim {

namespace {

using Clock = std::chrono::steady_clock;
const std::string kStart = "\x1bP";
const std::string kEnd = "\x1b\\";
// Line noise: flow-control bytes, a zero and text, but never the ESC that starts a frame.
const std::string kNoise("\x00\x13\xff\x11garbage", 11);
// Larger parameters are malformed; the bound also keeps the arithmetic from overflowing.
constexpr int64_t kLargestParameter = 999999999;
// The history of received requests keeps this many, so a long run does not grow without end.
constexpr size_t kReceivedKept = 100000;

std::string HexByte(unsigned value) {
    static const char* digits = "0123456789ABCDEF";
    return {digits[(value >> 4) & 15], digits[value & 15]};
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Splits a payload into the header numbers, the command letter and the body. False when
// no request number leads the payload.
bool ParsePayload(const std::string& payload, ParsedRequest& request) {
    size_t i = 0;
    int number = 0;
    while (i < payload.size() && payload[i] >= '0' && payload[i] <= '9') {
        number = number * 10 + (payload[i] - '0');
        ++i;
        if (number > 255) {
            return false;
        }
    }
    if (i == 0) {
        return false;
    }
    request.number = number;
    while (i < payload.size() && payload[i] == ';') {
        ++i;
        int64_t value = 0;
        const size_t start = i;
        while (i < payload.size() && payload[i] >= '0' && payload[i] <= '9') {
            value = value * 10 + (payload[i] - '0');
            ++i;
            if (value > kLargestParameter) {
                return false;
            }
        }
        if (i == start) {
            return false;
        }
        request.params.push_back(value);
    }
    request.header = payload.substr(0, i);
    if (i >= payload.size()) {
        return false;
    }
    request.command = payload[i];
    request.body = payload.substr(i + 1);
    return true;
}

// The requests that change what the register keeps: a record of a database, the
// header, the VAT rates.
bool IsWriteCommand(char command) {
    return (command >= '@' && command <= 'E') || command == 'X' || command == 'Z';
}

// Paced answers sleep until each slice's moment on the wire; the system's default slack
// of 50 µs on every wake-up would add up over a long table.
void TightenTimerSlack() {
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

}  // namespace

std::string FramePayload(const std::string& payload) {
    unsigned x = 0xFF;
    for (const unsigned char c : payload) {
        x ^= c;
    }
    return kStart + payload + HexByte(x) + kEnd;
}

VirtualRegister::VirtualRegister(VirtualRegisterOptions options)
    : options_(std::move(options)),
      state_(std::make_unique<RegisterState>(options_.type, options_.demoData)) {
    for (const VirtualRegisterOptions::ForcedStatus& forced : options_.forcedStatuses) {
        statusForRecord_[{forced.command, forced.number - 1}] = forced.code;
    }
}

VirtualRegister::~VirtualRegister() {
    Stop();
}

bool VirtualRegister::Start() {
    if (running_) {
        return true;
    }
    if (thread_.joinable()) {
        thread_.join();  // the thread of a register that vanished
    }
    if (options_.listening != VirtualRegisterOptions::Listening::kTerminal) {
        if (!StartListening()) {
            return false;
        }
        stopRequested_ = false;
        running_ = true;
        thread_ = std::thread([this] {
            TightenTimerSlack();
            ServeNetwork();
        });
        return true;
    }
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave, name, &raw, nullptr) != 0) {
        master_ = -1;
        return false;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    fcntl(slave, F_SETFD, FD_CLOEXEC);
    // Keeping one slave descriptor open spares the master a hang-up each time the
    // program closes its port between operations.
    slaveKeeper_ = slave;
    slavePath_ = name;
    if (!options_.linkPath.empty()) {
        std::error_code error;
        // Only an old link is replaced: a file of that name is never removed.
        if (std::filesystem::is_symlink(
                std::filesystem::symlink_status(options_.linkPath, error))) {
            std::filesystem::remove(options_.linkPath, error);
        }
        std::filesystem::create_symlink(slavePath_, options_.linkPath, error);
        if (error) {
            ::close(master_);
            ::close(slaveKeeper_);
            master_ = slaveKeeper_ = -1;
            return false;
        }
    }
    stopRequested_ = false;
    running_ = true;
    thread_ = std::thread([this] {
        TightenTimerSlack();
        Serve();
    });
    return true;
}

void VirtualRegister::Stop() {
    stopRequested_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    running_ = false;
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    if (slaveKeeper_ >= 0) {
        ::close(slaveKeeper_);
        slaveKeeper_ = -1;
    }
    if (listener_ >= 0) {
        ::close(listener_);
        listener_ = -1;
    }
    RemoveLink();
}

void VirtualRegister::RemoveLink() {
    if (!options_.linkPath.empty() && !slavePath_.empty()) {
        // The link goes only while it still points at this register's port.
        std::error_code ignored;
        if (std::filesystem::is_symlink(
                std::filesystem::symlink_status(options_.linkPath, ignored)) &&
            std::filesystem::read_symlink(options_.linkPath, ignored) == slavePath_) {
            std::filesystem::remove(options_.linkPath, ignored);
        }
    }
}

std::string VirtualRegister::PortPath() const {
    if (options_.listening != VirtualRegisterOptions::Listening::kTerminal) {
        return listenName_;
    }
    return options_.linkPath.empty() ? slavePath_ : options_.linkPath;
}

void VirtualRegister::ReplaceNextData(std::string data, char letter) {
    std::lock_guard lock(mutex_);
    nextData_ = std::make_pair(std::move(data), letter);
}

void VirtualRegister::InjectFault(Fault fault) {
    std::lock_guard lock(mutex_);
    faults_.push_back({fault, 0});
}

std::optional<Fault> VirtualRegister::TakeFault(char command) {
    std::optional<Fault> single;
    std::optional<Fault> repeated;
    for (auto it = faults_.begin(); it != faults_.end();) {
        const Fault& f = it->fault;
        // A register that ignores writes answers everything else as usual: the fault waits
        // for the writes it is meant for.
        if (f.kind == FaultKind::IgnoreWrite && !IsWriteCommand(command)) {
            ++it;
            continue;
        }
        const int64_t n = ++it->answers;
        const int64_t first = std::max(f.from, 1);
        const bool due = n >= first && (f.every <= 0 || (n - first) % f.every == 0);
        if (due && f.every <= 0 && !single) {
            single = f;
            it = faults_.erase(it);
            continue;
        }
        if (due && f.every > 0 && !repeated) {
            repeated = f;
        }
        ++it;
    }
    // A single fault goes first; one that found its answer taken waits for the next.
    return single ? single : repeated;
}

void VirtualRegister::SetStatusFor(char command, int code) {
    std::lock_guard lock(mutex_);
    statusFor_[command] = code;
}

void VirtualRegister::ClearStatusFor(char command) {
    std::lock_guard lock(mutex_);
    statusFor_.erase(command);
}

void VirtualRegister::SetStatusForRecord(char command, int number, int code) {
    std::lock_guard lock(mutex_);
    statusForRecord_[{command, number - 1}] = code;
}

std::vector<std::string> VirtualRegister::ReceivedPayloads() const {
    std::lock_guard lock(mutex_);
    return {received_.begin(), received_.end()};
}

void VirtualRegister::ClearReceived() {
    std::lock_guard lock(mutex_);
    received_.clear();
}

void VirtualRegister::Serve() {
    std::string pending;
    Clock::time_point firstByte{};
    while (!stopRequested_) {
        if (master_ < 0) {
            return;
        }
        pollfd p{master_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        if (ready <= 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t n = ::read(master_, chunk, sizeof chunk);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
                continue;
            }
            // The far side is closed for now; wait for the program to open it again.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        if (!TakeBytes(pending, firstByte, chunk, static_cast<size_t>(n))) {
            return;
        }
    }
}

bool VirtualRegister::TakeBytes(std::string& pending, Clock::time_point& firstByte,
                                const char* chunk, size_t count) {
    if (pending.empty()) {
        firstByte = Clock::now();
    }
    pending.append(chunk, count);
    wireBytes_ += static_cast<uint64_t>(count);
    for (;;) {
        const size_t start = pending.find(kStart);
        if (start == std::string::npos) {
            // Keep a lone ESC that may begin the next frame.
            pending = !pending.empty() && pending.back() == '\x1b' ? "\x1b" : "";
            break;
        }
        if (pending.size() > start + 2 && pending[start + 2] == 'c') {
            // The document verification request ends with 0x1A, not with a frame end.
            const size_t close = pending.find('\x1a', start);
            if (close == std::string::npos) {
                pending.erase(0, start);
                break;
            }
            const std::string request = pending.substr(start, close + 1 - start);
            pending.erase(0, close + 1);
            AnswerDocument(request);
            continue;
        }
        const size_t end = pending.find(kEnd, start + 2);
        if (end == std::string::npos) {
            pending.erase(0, start);
            break;
        }
        // A frame cut short by a new start is dropped, as the new start resynchronises.
        const size_t latest = pending.rfind(kStart, end - 2);
        const std::string frame = pending.substr(latest, end + 2 - latest);
        pending.erase(0, end + 2);
        HandleFrame(frame, firstByte);
        firstByte = Clock::now();
        if (master_ < 0) {
            return false;
        }
    }
    return true;
}

void VirtualRegister::AnswerDocument(const std::string& request) {
    {
        std::lock_guard lock(mutex_);
        received_.push_back(request.substr(2));
        if (received_.size() > kReceivedKept) {
            received_.pop_front();
        }
    }
    std::optional<Fault> fault;
    std::optional<int> forced;
    {
        std::lock_guard lock(mutex_);
        fault = TakeFault(0);
        if (const auto it = statusFor_.find('c'); it != statusFor_.end()) {
            forced = it->second;
        }
    }
    if (fault && fault->kind == FaultKind::Status) {
        forced = fault->status;
    }
    // A forced code takes the verdict's place after the same first number.
    const std::string judged = DocumentVerdictPayload(request);
    const std::string verdict =
        forced ? judged.substr(0, judged.find(';') + 1) + std::to_string(*forced) : judged;
    SendAnswer(FramePayload(verdict), fault ? &*fault : nullptr, 0);
}

void VirtualRegister::HandleFrame(const std::string& frameBytes, Clock::time_point firstByte) {
    if (options_.baudRate > 0) {
        // A real line delivers the request no faster than its baud rate.
        const auto wire = std::chrono::microseconds(static_cast<int64_t>(frameBytes.size()) * 10 *
                                                    1000000 / options_.baudRate);
        std::this_thread::sleep_until(firstByte + wire);
    }
    std::string payload = frameBytes.substr(2, frameBytes.size() - 4);
    bool checksumOk = payload.size() >= 2;
    if (checksumOk) {
        const int high = HexDigit(payload[payload.size() - 2]);
        const int low = HexDigit(payload[payload.size() - 1]);
        payload.resize(payload.size() - 2);
        unsigned x = 0xFF;
        for (const unsigned char c : payload) {
            x ^= c;
        }
        checksumOk = high >= 0 && low >= 0 && static_cast<unsigned>(high * 16 + low) == x;
    }
    {
        std::lock_guard lock(mutex_);
        received_.push_back(payload);
        if (received_.size() > kReceivedKept) {
            received_.pop_front();
        }
    }
    if (payload == "_" && checksumOk) {
        std::lock_guard lock(mutex_);
        state_->endFrameSeen = true;
        return;  // the end frame is not answered
    }
    ParsedRequest request;
    const bool parsed = ParsePayload(payload, request);
    std::optional<Fault> fault;
    std::string answer;
    {
        std::lock_guard lock(mutex_);
        fault = TakeFault(parsed ? request.command : 0);
        const std::string number = std::to_string(request.number);
        if (!checksumOk) {
            answer = FramePayload(number + ";21");
        } else if (!parsed) {
            answer = FramePayload(number + ";23");
        } else if (fault && fault->kind == FaultKind::Status) {
            answer = FramePayload(number + ";" + std::to_string(fault->status));
        } else if (fault && fault->kind == FaultKind::IgnoreWrite) {
            answer = FramePayload(number + ";0");
        } else if (const auto forced = statusFor_.find(request.command);
                   forced != statusFor_.end()) {
            answer = FramePayload(number + ";" + std::to_string(forced->second));
        } else if (const auto forcedRecord = statusForRecord_.find(
                       {request.command, request.params.empty() ? -1 : request.params[0]});
                   forcedRecord != statusForRecord_.end()) {
            answer = FramePayload(number + ";" + std::to_string(forcedRecord->second));
        } else {
            const Reply reply = state_->Handle(request);
            if (reply.silent) {
                return;
            }
            if (reply.data) {
                std::string data = request.header + reply.echoExtra;
                const auto other = std::exchange(nextData_, std::nullopt);
                data += other && other->second != 0 ? other->second
                                                    : static_cast<char>(request.command + 0x20);
                data += other ? other->first : *reply.data;
                answer = FramePayload(data);
            }
            answer += FramePayload(number + ";" + std::to_string(reply.status));
        }
    }
    SendAnswer(answer, fault ? &*fault : nullptr, request.number);
}

void VirtualRegister::SendAnswer(const std::string& bytes, const Fault* fault, int number) {
    if (fault == nullptr) {
        WritePaced(bytes);
        return;
    }
    switch (fault->kind) {
        case FaultKind::NoAnswer:
            return;
        case FaultKind::LateAnswer:
            std::this_thread::sleep_for(std::chrono::milliseconds(fault->delayMs));
            WritePaced(bytes);
            return;
        case FaultKind::SplitAnswer: {
            // A data record and its status part between them, so the status comes in a
            // later read; a lone record breaks in its middle.
            const size_t firstEnd = bytes.find(kEnd);
            const size_t half = firstEnd != std::string::npos && firstEnd + 2 < bytes.size()
                                    ? firstEnd + 2
                                    : bytes.size() / 2;
            WritePaced(bytes.substr(0, half));
            std::this_thread::sleep_for(std::chrono::milliseconds(fault->delayMs));
            WritePaced(bytes.substr(half));
            return;
        }
        case FaultKind::BadChecksum: {
            std::string spoiled = bytes;
            // The checksum digits of the first frame sit just before its end.
            const size_t end = spoiled.find(kEnd);
            if (end != std::string::npos && end >= 2) {
                spoiled[end - 1] = spoiled[end - 1] == '0' ? '1' : '0';
            }
            WritePaced(spoiled);
            return;
        }
        case FaultKind::StaleNumber: {
            const std::string old = std::to_string((number + 255) % 256);
            // An answer to the request before, data and status, as a slow register sends it.
            WritePaced(FramePayload(old + ";0;0hFF") + FramePayload(old + ";0") + bytes);
            return;
        }
        case FaultKind::GarbageBefore:
            WritePaced(kNoise + bytes);
            return;
        case FaultKind::GarbageAfter:
            WritePaced(bytes + kNoise);
            return;
        case FaultKind::Vanish:
            ::close(master_);
            master_ = -1;
            ::close(slaveKeeper_);
            slaveKeeper_ = -1;
            if (listener_ >= 0) {
                ::close(listener_);
                listener_ = -1;
            }
            RemoveLink();
            running_ = false;
            return;
        case FaultKind::Status:
        case FaultKind::IgnoreWrite:
            WritePaced(bytes);
            return;
        case FaultKind::CloseMidAnswer:
            WritePaced(bytes.substr(0, bytes.size() / 2));
            ::close(master_);
            master_ = -1;
            return;
    }
}

void VirtualRegister::WritePaced(const std::string& bytes) {
    if (master_ < 0) {
        return;
    }
    const bool paced = options_.baudRate > 0;
    const auto start = Clock::now();
    size_t done = 0;
    // Unpaced, everything goes at once; paced, in small slices on the wire's schedule.
    const size_t slice = paced ? 16 : bytes.size();
    while (done < bytes.size()) {
        const size_t count = std::min(slice, bytes.size() - done);
        if (paced) {
            // A slice is handed over only once its last bit would have crossed the line,
            // so no byte arrives earlier than on a real wire.
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(static_cast<int64_t>(done + count) * 10 *
                                                  1000000 / options_.baudRate));
        }
        const ssize_t n = WriteLine(bytes.data() + done, count);
        if (n < 0) {
            if ((errno == EAGAIN || errno == EINTR) && !stopRequested_) {
                pollfd p{master_, POLLOUT, 0};
                ::poll(&p, 1, 20);
                continue;
            }
            return;
        }
        done += static_cast<size_t>(n);
        wireBytes_ += static_cast<uint64_t>(n);
    }
}

}  // namespace kasa::sim
