#include "support/pty_pair.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace kasa::testing {

PtyPair::PtyPair() {
    int slave = -1;
    char name[256] = {};
    termios raw{};
    cfmakeraw(&raw);
    if (openpty(&master_, &slave, name, &raw, nullptr) != 0) {
        master_ = -1;
        return;
    }
    fcntl(master_, F_SETFD, FD_CLOEXEC);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
    // Holding the slave open keeps the master from seeing a hang-up between the
    // program's closing and reopening of the port.
    slaveKeeper_ = slave;
    fcntl(slaveKeeper_, F_SETFD, FD_CLOEXEC);
}

PtyPair::~PtyPair() {
    CloseMaster();
    if (slaveKeeper_ >= 0) {
        ::close(slaveKeeper_);
    }
}

bool PtyPair::Write(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size() && master_ >= 0) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 100);
        } else {
            return false;
        }
    }
    return done == bytes.size();
}

std::string PtyPair::Read(size_t minimum, std::chrono::milliseconds timeout) {
    return ReadFor(timeout, 4096,
                   [&](const std::string& out) { return !out.empty() && out.size() >= minimum; });
}

// Reads byte by byte so that nothing past the terminator is taken from the line.
std::string PtyPair::ReadUntil(const std::string& terminator, std::chrono::milliseconds timeout) {
    return ReadFor(timeout, 1, [&](const std::string& out) { return out.ends_with(terminator); });
}

std::string PtyPair::ReadFor(std::chrono::milliseconds timeout, size_t chunk,
                             const std::function<bool(const std::string&)>& done) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (master_ >= 0 && !done(out)) {
        char buffer[4096];
        const ssize_t n = ::read(master_, buffer, chunk);
        if (n > 0) {
            out.append(buffer, static_cast<size_t>(n));
            continue;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd p{master_, POLLIN, 0};
        ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left.count(), 50)));
    }
    return out;
}

void PtyPair::CloseMaster() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

}  // namespace kasa::testing
