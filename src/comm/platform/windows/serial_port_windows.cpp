#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "base/platform/windows/wide_text.h"
#include "comm/serial_port.h"

namespace kasa {

namespace {

constexpr int32_t kBaudRates[] = {1200,  2400,   4800,   9600,   19200, 38400,
                                  57600, 115200, 230400, 460800, 921600};

HANDLE Native(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// Clears the port's error state; `status` receives the queue lengths.
bool ClearErrors(HANDLE port, COMSTAT* status) {
    DWORD errors = 0;
    return ::ClearCommError(port, &errors, status) != 0;
}

// The system's error as the errno value the transport's callers explain to the user.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEV_NOT_EXIST:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            // A port held by another program refuses every other opener this way.
            return EBUSY;
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        default:
            return EIO;
    }
}

}  // namespace

bool SerialPort::SupportsBaudRate(int32_t rate) {
    return std::find(std::begin(kBaudRates), std::end(kBaudRates), rate) != std::end(kBaudRates);
}

int SerialPort::Open(const std::string& path) {
    if (IsOpen()) {
        return EBUSY;
    }
    // Exclusive (no sharing), existing device, no overlapped input and output.
    HANDLE port = ::CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        lastError_ = ErrnoOf(::GetLastError());
        return lastError_;
    }
    handle_ = reinterpret_cast<intptr_t>(port);
    lastError_ = 0;
    return 0;
}

void SerialPort::Close() {
    if (!IsOpen()) {
        return;
    }
    ::CloseHandle(Native(handle_));
    handle_ = kInvalidHandle;
}

int SerialPort::RequestQueueSizes(int bytes) {
    if (!IsOpen()) {
        return EBADF;
    }
    const auto size = static_cast<DWORD>(bytes);
    return ::SetupComm(Native(handle_), size, size) ? 0 : static_cast<int>(::GetLastError());
}

bool SerialPort::ReadSettings(DeviceControlBlock& dcb) const {
    DCB state{};
    state.DCBlength = sizeof(state);
    if (!IsOpen() || !::GetCommState(Native(handle_), &state)) {
        return false;
    }
    dcb.baudRate = static_cast<int32_t>(state.BaudRate);
    dcb.parityCheck = state.fParity != 0;
    return true;
}

bool SerialPort::ApplySettings(const DeviceControlBlock& dcb) {
    if (!SupportsBaudRate(dcb.baudRate)) {
        lastError_ = EINVAL;
        return false;
    }
    if (!IsOpen()) {
        return false;
    }
    DCB state{};
    state.DCBlength = sizeof(state);
    // A driver that cannot report its block still takes a complete new one.
    ::GetCommState(Native(handle_), &state);
    state.DCBlength = sizeof(state);
    state.BaudRate = static_cast<DWORD>(dcb.baudRate);
    state.fBinary = dcb.binary;
    state.ByteSize = static_cast<BYTE>(dcb.dataBits);
    state.Parity = dcb.parity ? EVENPARITY : NOPARITY;
    state.StopBits = dcb.stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    state.fDtrControl = dcb.dtrOn ? DTR_CONTROL_ENABLE : DTR_CONTROL_DISABLE;
    state.fRtsControl = dcb.rtsOn ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    state.fOutxCtsFlow = dcb.ctsOutputFlow;
    state.fOutxDsrFlow = dcb.dsrOutputFlow;
    state.fDsrSensitivity = dcb.dsrSensitivity;
    state.fTXContinueOnXoff = dcb.txContinueOnXoff;
    state.fOutX = dcb.xonXoffOutput;
    state.fInX = dcb.xonXoffInput;
    state.XonChar = static_cast<char>(dcb.xonChar);
    state.XoffChar = static_cast<char>(dcb.xoffChar);
    state.XonLim = static_cast<WORD>(dcb.xonLimit);
    state.XoffLim = static_cast<WORD>(dcb.xoffLimit);
    state.fErrorChar = dcb.errorReplacement;
    state.fNull = dcb.nullStripping;
    state.fAbortOnError = dcb.abortOnError;
    state.EofChar = static_cast<char>(dcb.eofChar);
    state.fParity = dcb.parityCheck;
    if (!::SetCommState(Native(handle_), &state)) {
        lastError_ = ErrnoOf(::GetLastError());
        return false;
    }
    // The lines are set once more by name: a port without modem lines (wine's mapping of a
    // pseudo-terminal) refuses this, which costs nothing.
    ::EscapeCommFunction(Native(handle_), dcb.dtrOn ? SETDTR : CLRDTR);
    ::EscapeCommFunction(Native(handle_), dcb.rtsOn ? SETRTS : CLRRTS);
    return true;
}

bool SerialPort::ApplyTimeouts(const CommTimeouts& timeouts) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = static_cast<DWORD>(timeouts.readInterval);
    t.ReadTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.readTotalMultiplier);
    t.ReadTotalTimeoutConstant = static_cast<DWORD>(timeouts.readTotalConstant);
    t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(timeouts.writeTotalMultiplier);
    t.WriteTotalTimeoutConstant = static_cast<DWORD>(timeouts.writeTotalConstant);
    return IsOpen() && ::SetCommTimeouts(Native(handle_), &t);
}

uint32_t SerialPort::ExchangeEventMask(uint32_t mask) {
    DWORD previous = 0;
    if (!IsOpen()) {
        return 0;
    }
    ::GetCommMask(Native(handle_), &previous);
    ::SetCommMask(Native(handle_), mask);
    return previous;
}

void SerialPort::Purge() {
    if (IsOpen()) {
        ::PurgeComm(Native(handle_), PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
        ClearErrors(Native(handle_), nullptr);
    }
}

void SerialPort::PurgeInput() {
    if (IsOpen()) {
        ::PurgeComm(Native(handle_), PURGE_RXABORT | PURGE_RXCLEAR);
        ClearErrors(Native(handle_), nullptr);
    }
}

int SerialPort::InputQueue() const {
    COMSTAT status{};
    return IsOpen() && ClearErrors(Native(handle_), &status) ? static_cast<int>(status.cbInQue)
                                                             : -1;
}

int SerialPort::OutputQueue() const {
    COMSTAT status{};
    return IsOpen() && ClearErrors(Native(handle_), &status) ? static_cast<int>(status.cbOutQue)
                                                             : -1;
}

int SerialPort::ReadNow(uint8_t* destination, int max) {
    if (!IsOpen()) {
        return -1;
    }
    // Only what already waits is read, so the read returns at once.
    const int waiting = InputQueue();
    if (waiting < 0) {
        lastError_ = EIO;
        return -1;
    }
    if (max <= 0 || waiting == 0) {
        return 0;
    }
    DWORD read = 0;
    if (!::ReadFile(Native(handle_), destination, static_cast<DWORD>(std::min(max, waiting)), &read,
                    nullptr)) {
        lastError_ = ErrnoOf(::GetLastError());
        return -1;
    }
    return static_cast<int>(read);
}

int SerialPort::Write(const uint8_t* data, int count, int) {
    // The port's write time-outs (set at open) bound the write.
    if (!IsOpen()) {
        return -1;
    }
    DWORD written = 0;
    if (!::WriteFile(Native(handle_), data, static_cast<DWORD>(count), &written, nullptr)) {
        lastError_ = ErrnoOf(::GetLastError());
        return written > 0 ? static_cast<int>(written) : -1;
    }
    return static_cast<int>(written);
}

int SerialPort::WaitReadable(int timeoutMs) const {
    // A port opened without overlapped input has nothing to wait on: the queue is asked
    // each millisecond.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int waiting = InputQueue();
        if (waiting != 0) {
            return waiting > 0 ? 1 : -1;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int SerialPort::WaitWritableOrReadable(int timeoutMs) const {
    // Writes block within their time-outs, so the line counts as writable at once.
    (void)timeoutMs;
    return InputQueue() < 0 ? -1 : 1;
}

}  // namespace kasa
