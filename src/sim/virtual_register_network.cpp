// The virtual register behind a listening socket, in the place of a serial device server
// with the register on its serial port.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "sim/virtual_register.h"

namespace kasa::sim {

namespace {

using Clock = std::chrono::steady_clock;
using Listening = VirtualRegisterOptions::Listening;

void MakeNonBlocking(int fd) {
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// "tcp://127.0.0.1:4001", "rfc2217://[::1]:4001": the name the program is given.
std::string NetworkName(Listening listening, const sockaddr_storage& address) {
    char host[INET6_ADDRSTRLEN] = {};
    int port = 0;
    std::string text;
    if (address.ss_family == AF_INET6) {
        const auto& a6 = reinterpret_cast<const sockaddr_in6&>(address);
        ::inet_ntop(AF_INET6, &a6.sin6_addr, host, sizeof host);
        port = ntohs(a6.sin6_port);
        text = "[" + std::string(host) + "]";
    } else {
        const auto& a4 = reinterpret_cast<const sockaddr_in&>(address);
        ::inet_ntop(AF_INET, &a4.sin_addr, host, sizeof host);
        port = ntohs(a4.sin_port);
        text = host;
    }
    return (listening == Listening::kRfc2217 ? "rfc2217://" : "tcp://") + text + ":" +
           std::to_string(port);
}

// What the program on a connection is doing, seen without taking a byte from it.
enum class Peer { kGone, kQuiet, kSending };

Peer PeerOf(int fd) {
    char byte = 0;
    const ssize_t n = ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    if (n > 0) {
        return Peer::kSending;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return Peer::kQuiet;
    }
    return Peer::kGone;
}

}  // namespace

bool VirtualRegister::StartListening() {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(options_.listenPort);
    if (::getaddrinfo(options_.listenHost.empty() ? nullptr : options_.listenHost.c_str(),
                      service.c_str(), &hints, &found) != 0) {
        return false;
    }
    for (const addrinfo* a = found; a != nullptr && listener_ < 0; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, SOCK_STREAM, 0);
        if (fd < 0) {
            continue;
        }
        const int on = 1;
        ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        if (::bind(fd, a->ai_addr, a->ai_addrlen) != 0 || ::listen(fd, 4) != 0) {
            ::close(fd);
            continue;
        }
        listener_ = fd;
    }
    ::freeaddrinfo(found);
    if (listener_ < 0) {
        return false;
    }
    MakeNonBlocking(listener_);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&bound), &length);
    listenName_ = NetworkName(options_.listening, bound);
    // A register started again after it vanished comes back on the same port.
    options_.listenPort = bound.ss_family == AF_INET6
                              ? ntohs(reinterpret_cast<const sockaddr_in6&>(bound).sin6_port)
                              : ntohs(reinterpret_cast<const sockaddr_in&>(bound).sin_port);
    return true;
}

void VirtualRegister::AcceptClient() {
    const int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0) {
        return;
    }
    if (master_ >= 0) {
        ::close(fd);  // one program at a time, as on a serial line
        return;
    }
    MakeNonBlocking(fd);
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    master_ = fd;
    ++connections_;
    telnetReader_ = telnet::Reader{};
    negotiation_ = telnet::Negotiation{};
    if (options_.listening == Listening::kRfc2217) {
        const telnet::Bytes opening = negotiation_.Opening(false);
        SendAll(opening.data(), opening.size());
    }
}

void VirtualRegister::DropClient() {
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
}

void VirtualRegister::ServeNetwork() {
    std::string pending;
    Clock::time_point firstByte{};
    while (!stopRequested_ && listener_ >= 0) {
        pollfd p[2] = {{listener_, POLLIN, 0}, {master_, POLLIN, 0}};
        const int ready = ::poll(p, master_ >= 0 ? 2 : 1, 20);
        if (ready <= 0) {
            continue;
        }
        if ((p[0].revents & POLLIN) != 0) {
            // A program that closed its connection just before the next one connected is
            // taken as gone first, so the next is not turned away as a second program;
            // while the present one's bytes are still to be read, the next one waits.
            const Peer present = master_ >= 0 ? PeerOf(master_) : Peer::kGone;
            if (present == Peer::kGone && master_ >= 0) {
                DropClient();
                pending.clear();
            }
            if (present != Peer::kSending) {
                AcceptClient();
            }
        }
        if (master_ < 0 || p[1].revents == 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t n = ::recv(master_, chunk, sizeof chunk, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            continue;
        }
        if (n <= 0) {
            // The program went away: what it sent in part is forgotten, and the next
            // connection starts afresh.
            DropClient();
            pending.clear();
            continue;
        }
        size_t count = static_cast<size_t>(n);
        if (options_.listening == Listening::kRfc2217) {
            auto* bytes = reinterpret_cast<uint8_t*>(chunk);
            count = telnetReader_.Feed(bytes, count, bytes);
            telnet::Bytes answers;
            for (const telnet::Event& event : telnetReader_.Events()) {
                telnet::Bytes answer = negotiation_.Answer(event);
                if (answer.empty()) {
                    std::lock_guard lock(mutex_);
                    answer = telnet::AnswerComPortCommand(event, lineSettings_, &purges_)
                                 .value_or(telnet::Bytes{});
                }
                answers.insert(answers.end(), answer.begin(), answer.end());
            }
            telnetReader_.Events().clear();
            if (!answers.empty() && !SendAll(answers.data(), answers.size())) {
                DropClient();
                pending.clear();
                continue;
            }
        }
        if (count > 0 && !TakeBytes(pending, firstByte, chunk, count)) {
            pending.clear();  // the connection was dropped while answering
        }
    }
}

bool VirtualRegister::SendAll(const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count && master_ >= 0) {
        const ssize_t n = ::send(master_, bytes + done, count - done, MSG_NOSIGNAL);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && !stopRequested_) {
            pollfd p{master_, POLLOUT, 0};
            ::poll(&p, 1, 20);
            continue;
        }
        return false;
    }
    return done == count;
}

long VirtualRegister::WriteLine(const char* bytes, size_t count) {
    if (options_.listening == Listening::kTerminal) {
        return static_cast<long>(::write(master_, bytes, count));
    }
    const auto* data = reinterpret_cast<const uint8_t*>(bytes);
    bool sent = false;
    if (options_.listening == Listening::kRfc2217) {
        telnet::Bytes escaped;
        telnet::AppendEscaped(escaped, data, count);
        sent = SendAll(escaped.data(), escaped.size());
    } else {
        sent = SendAll(data, count);
    }
    if (!sent) {
        errno = EPIPE;
        return -1;
    }
    return static_cast<long>(count);
}

telnet::LineSettings VirtualRegister::LineSettings() const {
    std::lock_guard lock(mutex_);
    return lineSettings_;
}

std::vector<uint8_t> VirtualRegister::PurgeRequests() const {
    std::lock_guard lock(mutex_);
    return purges_;
}

}  // namespace kasa::sim
