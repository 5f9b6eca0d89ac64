// The system's sockets as the network port uses them: a non-blocking TCP connection and a
// lock that keeps one program per serial device server port. Each system has its own file;
// errors are given as errno values so that the same texts explain them everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kasa::net {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocket = -1;
}  // namespace kasa::net

namespace kasa {
// A host name no name service knows; no system uses this errno value.
inline constexpr int kHostNotFoundError = 100001;
}  // namespace kasa

namespace kasa::net {

// One address a host name resolved to, as the system's socket address bytes.
struct Endpoint {
    std::vector<uint8_t> address;
    int family = 0;
};

// Resolves a host name or a numeric address: 0, kHostNotFoundError when the name is
// unknown, or another errno value.
int ResolveHost(const std::string& host, uint16_t port, std::vector<Endpoint>& endpoints);
// Starts connecting without waiting (small writes go out at once, no coalescing); the
// socket, or kNoSocket with `error` set.
SocketHandle StartConnect(const Endpoint& endpoint, int& error);
// Waits for a started connection: 1 connected, 0 not yet, -1 failed with `error` set.
int WaitConnected(SocketHandle socket, int timeoutMs, int& error);
// Takes what is waiting, at most `max` bytes, without waiting: the count, 0 when nothing
// waits, -1 when the connection is gone (closed by the peer: ECONNRESET).
int ReceiveNow(SocketHandle socket, uint8_t* destination, int max, int& error);
// Hands over bytes without waiting: the count taken (0 when the socket is full), -1 when
// the connection is gone.
int SendNow(SocketHandle socket, const uint8_t* data, int count, int& error);
// Bytes received and not yet taken; -1 when the peer has closed and nothing is left.
int Pending(SocketHandle socket);
// Bytes handed over that the peer has not yet acknowledged, where the system tells; else 0.
int Unsent(SocketHandle socket);
// Waits until the socket is readable (or closed) or, when asked, writable: 1, 0 on time-out,
// -1 on an error.
int Wait(SocketHandle socket, bool writable, int timeoutMs);
void CloseSocket(SocketHandle socket);

// Holds a lock named after `key` (letters, digits and '_' only) for as long as the handle is
// kept, across the programs of this user: kNoSocket with `error` EBUSY when another holder
// has it, kNoLock when no lock can be kept here (nothing to release).
inline constexpr intptr_t kNoLock = -2;
intptr_t LockPortKey(const std::string& key, int& error);
void UnlockPortKey(intptr_t lock, const std::string& key);

}  // namespace kasa::net
