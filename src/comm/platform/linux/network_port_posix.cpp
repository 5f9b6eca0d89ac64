#include <fcntl.h>
#include <linux/sockios.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "comm/network_socket.h"

namespace kasa::net {

namespace {

int Fd(SocketHandle socket) {
    return static_cast<int>(socket);
}

}  // namespace

int ResolveHost(const std::string& host, uint16_t port, std::vector<Endpoint>& endpoints) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_ADDRCONFIG | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    int result = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    if (result == EAI_NONAME || result == EAI_ADDRFAMILY) {
        // Without AI_ADDRCONFIG a loopback-only machine still resolves its own names.
        hints.ai_flags = AI_NUMERICSERV;
        result = ::getaddrinfo(host.c_str(), service.c_str(), &hints, &found);
    }
    if (result != 0) {
        if (result == EAI_SYSTEM) {
            return errno != 0 ? errno : EIO;
        }
        return result == EAI_AGAIN ? ETIMEDOUT : kHostNotFoundError;
    }
    endpoints.clear();
    for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(a->ai_addr);
        endpoints.push_back(Endpoint{{bytes, bytes + a->ai_addrlen}, a->ai_family});
    }
    ::freeaddrinfo(found);
    return endpoints.empty() ? kHostNotFoundError : 0;
}

SocketHandle StartConnect(const Endpoint& endpoint, int& error) {
    const int fd = ::socket(endpoint.family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = errno;
        return kNoSocket;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(endpoint.address.data()),
                  static_cast<socklen_t>(endpoint.address.size())) != 0 &&
        errno != EINPROGRESS) {
        error = errno;
        ::close(fd);
        return kNoSocket;
    }
    return fd;
}

int WaitConnected(SocketHandle socket, int timeoutMs, int& error) {
    pollfd p{Fd(socket), POLLOUT, 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) {
        if (errno == EINTR) {
            return 0;
        }
        error = errno;
        return -1;
    }
    if (r == 0) {
        return 0;
    }
    int result = 0;
    socklen_t length = sizeof result;
    if (::getsockopt(Fd(socket), SOL_SOCKET, SO_ERROR, &result, &length) != 0) {
        error = errno;
        return -1;
    }
    if (result != 0) {
        error = result;
        return -1;
    }
    return 1;
}

int ReceiveNow(SocketHandle socket, uint8_t* destination, int max, int& error) {
    for (;;) {
        const ssize_t n = ::recv(Fd(socket), destination, static_cast<size_t>(max), 0);
        if (n > 0) {
            return static_cast<int>(n);
        }
        if (n == 0) {
            error = ECONNRESET;
            return -1;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        error = errno;
        return -1;
    }
}

int SendNow(SocketHandle socket, const uint8_t* data, int count, int& error) {
    for (;;) {
        // A peer gone must not end the program with SIGPIPE.
        const ssize_t n = ::send(Fd(socket), data, static_cast<size_t>(count), MSG_NOSIGNAL);
        if (n >= 0) {
            return static_cast<int>(n);
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            return 0;
        }
        error = errno;
        return -1;
    }
}

int Pending(SocketHandle socket) {
    int count = 0;
    if (::ioctl(Fd(socket), FIONREAD, &count) != 0) {
        return -1;
    }
    if (count > 0) {
        return count;
    }
    // Nothing waits: a closed connection shows as readable with nothing to read.
    pollfd p{Fd(socket), POLLIN, 0};
    if (::poll(&p, 1, 0) <= 0) {
        return 0;
    }
    uint8_t byte = 0;
    const ssize_t n = ::recv(Fd(socket), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
        return -1;
    }
    return n > 0 ? 1 : 0;
}

int Unsent(SocketHandle socket) {
    int count = 0;
    if (::ioctl(Fd(socket), SIOCOUTQ, &count) != 0) {
        return 0;
    }
    return count;
}

int Wait(SocketHandle socket, bool writable, int timeoutMs) {
    pollfd p{Fd(socket), static_cast<short>(POLLIN | (writable ? POLLOUT : 0)), 0};
    const int r = ::poll(&p, 1, timeoutMs);
    if (r < 0) {
        return errno == EINTR ? 0 : -1;
    }
    if (r == 0) {
        return 0;
    }
    // A hang-up or an error is readable too: the next read tells what happened.
    return 1;
}

void CloseSocket(SocketHandle socket) {
    if (socket != kNoSocket) {
        ::close(Fd(socket));
    }
}

namespace {

std::string LockPath(const std::string& key) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime != nullptr && runtime[0] == '/' ? runtime : "/tmp";
    return folder + "/kasa-port-" + key + ".lock";
}

}  // namespace

intptr_t LockPortKey(const std::string& key, int& error) {
    const std::string path = LockPath(key);
    // The holder removes the file when it lets go; a file removed between our open and our
    // lock is not the lock any more, so the open is tried again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            return kNoLock;  // no place for a lock: the server's own refusal still guards
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return error == EBUSY ? kNoSocket : kNoLock;
        }
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            return fd;
        }
        ::close(fd);
    }
    return kNoLock;
}

void UnlockPortKey(intptr_t lock, const std::string& key) {
    if (lock >= 0) {
        ::unlink(LockPath(key).c_str());
        ::close(static_cast<int>(lock));
    }
}

}  // namespace kasa::net
