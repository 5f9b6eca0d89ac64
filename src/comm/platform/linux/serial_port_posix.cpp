#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

#include "comm/serial_port.h"

namespace kasa {

namespace {

struct BaudEntry {
    int32_t rate;
    speed_t speed;
};

constexpr BaudEntry kBaudRates[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The descriptor itself; the handle type is wide enough for any system's handle.
int Fd(intptr_t handle) {
    return static_cast<int>(handle);
}

}  // namespace

bool SerialPort::SupportsBaudRate(int32_t rate) {
    for (const auto& entry : kBaudRates) {
        if (entry.rate == rate) {
            return true;
        }
    }
    return false;
}

int SerialPort::Open(const std::string& path) {
    if (IsOpen()) {
        return EBUSY;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastError_ = errno;
        return lastError_;
    }
    // Another program holding the port keeps its lock; we must not share the line.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        lastError_ = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return lastError_;
    }
    if (!::isatty(fd)) {
        lastError_ = ENOTTY;
        ::close(fd);
        return lastError_;
    }
    ::ioctl(fd, TIOCEXCL);
    handle_ = fd;
    lastError_ = 0;
    return 0;
}

void SerialPort::Close() {
    if (!IsOpen()) {
        return;
    }
    ::ioctl(Fd(handle_), TIOCNXCL);
    ::flock(Fd(handle_), LOCK_UN);
    ::close(Fd(handle_));
    handle_ = kInvalidHandle;
}

bool SerialPort::ReadSettings(DeviceControlBlock& dcb) const {
    termios t{};
    if (!IsOpen() || ::tcgetattr(Fd(handle_), &t) != 0) {
        return false;
    }
    const speed_t speed = ::cfgetospeed(&t);
    for (const auto& entry : kBaudRates) {
        if (entry.speed == speed) {
            dcb.baudRate = entry.rate;
        }
    }
    dcb.parityCheck = (t.c_iflag & INPCK) != 0;
    return true;
}

bool SerialPort::ApplySettings(const DeviceControlBlock& dcb) {
    // Left as it was, the line would keep its old speed and the program would talk past
    // the register.
    if (!SupportsBaudRate(dcb.baudRate)) {
        lastError_ = EINVAL;
        return false;
    }
    termios t{};
    if (!IsOpen() || ::tcgetattr(Fd(handle_), &t) != 0) {
        lastError_ = errno;
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
    t.c_cflag |= dcb.dataBits == 7 ? CS7 : CS8;
    if (dcb.parity) {
        t.c_cflag |= PARENB;
    }
    if (dcb.stopBits == 2) {
        t.c_cflag |= CSTOPB;
    }
    t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK | IGNPAR | PARMRK);
    if (dcb.xonXoffOutput) {
        t.c_iflag |= IXON;
    }
    if (dcb.xonXoffInput) {
        t.c_iflag |= IXOFF;
    }
    if (dcb.parityCheck) {
        t.c_iflag |= INPCK;
    }
    t.c_cc[VSTART] = dcb.xonChar;
    t.c_cc[VSTOP] = dcb.xoffChar;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    for (const auto& entry : kBaudRates) {
        if (entry.rate == dcb.baudRate) {
            ::cfsetispeed(&t, entry.speed);
            ::cfsetospeed(&t, entry.speed);
        }
    }
    if (::tcsetattr(Fd(handle_), TCSANOW, &t) != 0) {
        lastError_ = errno;
        return false;
    }
    // Modem lines: a pseudo-terminal has none, so a failure here is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(Fd(handle_), TIOCMBIC, &lines);
    int on = (dcb.dtrOn ? TIOCM_DTR : 0) | (dcb.rtsOn ? TIOCM_RTS : 0);
    if (on != 0) {
        ::ioctl(Fd(handle_), TIOCMBIS, &on);
    }
    return true;
}

int SerialPort::RequestQueueSizes(int) {
    return 0;
}

bool SerialPort::ApplyTimeouts(const CommTimeouts&) {
    return true;
}

uint32_t SerialPort::ExchangeEventMask(uint32_t) {
    return 0;
}

void SerialPort::Purge() {
    if (IsOpen()) {
        ::tcflush(Fd(handle_), TCIOFLUSH);
    }
}

void SerialPort::PurgeInput() {
    if (IsOpen()) {
        ::tcflush(Fd(handle_), TCIFLUSH);
    }
}

int SerialPort::InputQueue() const {
    int count = 0;
    if (!IsOpen() || ::ioctl(Fd(handle_), FIONREAD, &count) != 0) {
        return -1;
    }
    return count;
}

int SerialPort::OutputQueue() const {
    int count = 0;
    if (!IsOpen() || ::ioctl(Fd(handle_), TIOCOUTQ, &count) != 0) {
        return -1;
    }
    return count;
}

int SerialPort::ReadNow(uint8_t* destination, int max) {
    if (!IsOpen()) {
        return -1;
    }
    // Asking the queue first also tells a vanished device (the query fails) from a quiet one.
    const int waiting = InputQueue();
    if (waiting < 0) {
        lastError_ = errno;
        return -1;
    }
    if (max <= 0 || waiting == 0) {
        return 0;
    }
    for (;;) {
        const ssize_t n =
            ::read(Fd(handle_), destination, static_cast<size_t>(std::min(max, waiting)));
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        lastError_ = errno;
        return -1;
    }
}

int SerialPort::Write(const uint8_t* data, int count, int timeoutMs) {
    if (!IsOpen()) {
        return -1;
    }
    const int64_t deadline = NowMs() + timeoutMs;
    int done = 0;
    while (done < count) {
        const ssize_t n = ::write(Fd(handle_), data + done, static_cast<size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            lastError_ = errno;
            return done > 0 ? done : -1;
        }
        const int64_t left = deadline - NowMs();
        if (left <= 0) {
            break;
        }
        pollfd p{Fd(handle_), POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, 100))) > 0 &&
            (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            lastError_ = EIO;
            return done > 0 ? done : -1;
        }
    }
    return done;
}

int SerialPort::WaitWritableOrReadable(int timeoutMs) const {
    if (!IsOpen()) {
        return -1;
    }
    pollfd p{Fd(handle_), POLLIN | POLLOUT, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) {
        return errno == EINTR ? 0 : -1;
    }
    if (r == 0) {
        return 0;
    }
    if ((p.revents & (POLLIN | POLLOUT)) == 0) {
        return -1;  // hung up or failed
    }
    return 1;
}

int SerialPort::WaitReadable(int timeoutMs) const {
    if (!IsOpen()) {
        return -1;
    }
    pollfd p{Fd(handle_), POLLIN, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) {
        return errno == EINTR ? 0 : -1;
    }
    if (r == 0) {
        return 0;
    }
    if ((p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0 && InputQueue() <= 0) {
        return -1;  // hung up with nothing left to read
    }
    return (p.revents & POLLIN) != 0 ? 1 : 0;
}

}  // namespace kasa
