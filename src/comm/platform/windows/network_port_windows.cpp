#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cerrno>
#include <mutex>

#include "base/platform/windows/wide_text.h"
#include "comm/network_socket.h"

namespace kasa::net {

namespace {

SOCKET Native(SocketHandle socket) {
    return static_cast<SOCKET>(socket);
}

// Winsock is started once for the life of the program.
bool Started() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        WSADATA data{};
        started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    });
    return started;
}

// Winsock's error as the errno value the transport's callers explain to the user.
int ErrnoOf(int error) {
    switch (error) {
        case WSAECONNREFUSED:
            return ECONNREFUSED;
        case WSAETIMEDOUT:
            return ETIMEDOUT;
        case WSAEHOSTUNREACH:
        case WSAEHOSTDOWN:
            return EHOSTUNREACH;
        case WSAENETUNREACH:
        case WSAENETDOWN:
            return ENETUNREACH;
        case WSAECONNRESET:
        case WSAENETRESET:
        case WSAESHUTDOWN:
            return ECONNRESET;
        case WSAECONNABORTED:
            return ECONNABORTED;
        case WSAEADDRNOTAVAIL:
            return EHOSTUNREACH;
        default:
            return EIO;
    }
}

}  // namespace

int ResolveHost(const std::string& host, uint16_t port, std::vector<Endpoint>& endpoints) {
    if (!Started()) {
        return EIO;
    }
    ADDRINFOW hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    hints.ai_flags = AI_NUMERICSERV;
    ADDRINFOW* found = nullptr;
    const std::wstring service = std::to_wstring(port);
    const int result = ::GetAddrInfoW(WideFromUtf8(host).c_str(), service.c_str(), &hints, &found);
    if (result != 0) {
        return result == WSATRY_AGAIN ? ETIMEDOUT : kHostNotFoundError;
    }
    endpoints.clear();
    for (const ADDRINFOW* a = found; a != nullptr; a = a->ai_next) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(a->ai_addr);
        endpoints.push_back(Endpoint{{bytes, bytes + a->ai_addrlen}, a->ai_family});
    }
    ::FreeAddrInfoW(found);
    return endpoints.empty() ? kHostNotFoundError : 0;
}

SocketHandle StartConnect(const Endpoint& endpoint, int& error) {
    if (!Started()) {
        error = EIO;
        return kNoSocket;
    }
    const SOCKET s = ::WSASocketW(endpoint.family, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                                  WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        error = ErrnoOf(::WSAGetLastError());
        return kNoSocket;
    }
    u_long nonBlocking = 1;
    ::ioctlsocket(s, FIONBIO, &nonBlocking);
    const BOOL on = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    if (::connect(s, reinterpret_cast<const sockaddr*>(endpoint.address.data()),
                  static_cast<int>(endpoint.address.size())) != 0 &&
        ::WSAGetLastError() != WSAEWOULDBLOCK) {
        error = ErrnoOf(::WSAGetLastError());
        ::closesocket(s);
        return kNoSocket;
    }
    return static_cast<SocketHandle>(s);
}

int WaitConnected(SocketHandle socket, int timeoutMs, int& error) {
    WSAPOLLFD p{Native(socket), POLLWRNORM, 0};
    const int r = ::WSAPoll(&p, 1, timeoutMs);
    if (r == SOCKET_ERROR) {
        error = ErrnoOf(::WSAGetLastError());
        return -1;
    }
    if (r == 0) {
        return 0;
    }
    int result = 0;
    int length = sizeof result;
    if (::getsockopt(Native(socket), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&result),
                     &length) != 0) {
        error = ErrnoOf(::WSAGetLastError());
        return -1;
    }
    if (result != 0 || (p.revents & (POLLERR | POLLHUP)) != 0) {
        error = result != 0 ? ErrnoOf(result) : ECONNREFUSED;
        return -1;
    }
    return 1;
}

int ReceiveNow(SocketHandle socket, uint8_t* destination, int max, int& error) {
    const int n = ::recv(Native(socket), reinterpret_cast<char*>(destination), max, 0);
    if (n > 0) {
        return n;
    }
    if (n == 0) {
        error = ECONNRESET;
        return -1;
    }
    const int code = ::WSAGetLastError();
    if (code == WSAEWOULDBLOCK) {
        return 0;
    }
    error = ErrnoOf(code);
    return -1;
}

int SendNow(SocketHandle socket, const uint8_t* data, int count, int& error) {
    const int n = ::send(Native(socket), reinterpret_cast<const char*>(data), count, 0);
    if (n >= 0) {
        return n;
    }
    const int code = ::WSAGetLastError();
    if (code == WSAEWOULDBLOCK) {
        return 0;
    }
    error = ErrnoOf(code);
    return -1;
}

int Pending(SocketHandle socket) {
    u_long count = 0;
    if (::ioctlsocket(Native(socket), FIONREAD, &count) != 0) {
        return -1;
    }
    if (count > 0) {
        return static_cast<int>(count);
    }
    // Nothing waits: a closed connection shows as readable with nothing to read.
    WSAPOLLFD p{Native(socket), POLLRDNORM, 0};
    if (::WSAPoll(&p, 1, 0) <= 0) {
        return 0;
    }
    char byte = 0;
    const int n = ::recv(Native(socket), &byte, 1, MSG_PEEK);
    if (n == 0 || (n < 0 && ::WSAGetLastError() != WSAEWOULDBLOCK)) {
        return -1;
    }
    return n > 0 ? 1 : 0;
}

int Unsent(SocketHandle) {
    return 0;  // Winsock does not tell; what it took is on its way
}

int Wait(SocketHandle socket, bool writable, int timeoutMs) {
    WSAPOLLFD p{Native(socket), static_cast<SHORT>(POLLRDNORM | (writable ? POLLWRNORM : 0)), 0};
    const int r = ::WSAPoll(&p, 1, timeoutMs);
    if (r == SOCKET_ERROR) {
        return -1;
    }
    // A hang-up or an error is reported too: the next read tells what happened.
    return r > 0 ? 1 : 0;
}

void CloseSocket(SocketHandle socket) {
    if (socket != kNoSocket) {
        ::closesocket(Native(socket));
    }
}

intptr_t LockPortKey(const std::string& key, int& error) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
        return kNoLock;
    }
    const std::wstring path = std::wstring(folder) + L"kasa-port-" + WideFromUtf8(key) + L".lock";
    // Not shared: a second opener, in this program or another, is refused while it is held.
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (::GetLastError() == ERROR_SHARING_VIOLATION) {
            error = EBUSY;
            return kNoSocket;
        }
        return kNoLock;
    }
    return reinterpret_cast<intptr_t>(file);
}

void UnlockPortKey(intptr_t lock, const std::string&) {
    if (lock >= 0) {
        ::CloseHandle(reinterpret_cast<HANDLE>(lock));
    }
}

}  // namespace kasa::net
