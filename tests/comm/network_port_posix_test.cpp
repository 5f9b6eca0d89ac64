// Opening a network port on the loopback where it cannot be had: nothing listens, the
// server never accepts, the server turns the program away, or the name is malformed. Each
// fails as a serial device that cannot be opened does, with its own cause.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "app/communication_session.h"
#include "comm/fastcom.h"
#include "comm/network_port.h"
#include "sim/virtual_register.h"

namespace kasa {
namespace {

// A loopback listening socket with the given backlog; it never accepts.
class Listener {
  public:
    explicit Listener(int backlog) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(fd_, backlog) != 0 ||
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            Close();
            return;
        }
        port_ = ntohs(address.sin_port);
    }
    ~Listener() { Close(); }
    void Close() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    int Port() const { return port_; }
    std::string Name(const char* scheme = "tcp") const {
        return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_);
    }

  private:
    int fd_ = -1;
    int port_ = 0;
};

// A client socket connected to the port, held open; true once the connection is made.
bool ConnectRaw(int port, int& fd) {
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 1000) == 1 && (p.revents & POLLOUT) != 0;
}

// The virtual register behind a Telnet (RFC 2217) server on the loopback.
struct TelnetRegister {
    static sim::VirtualRegisterOptions Options() {
        sim::VirtualRegisterOptions options;
        options.listening = sim::VirtualRegisterOptions::Listening::kRfc2217;
        return options;
    }
    // The port number the server listens on, from its "rfc2217://HOST:PORT" name.
    int Port() const {
        const std::string name = reg.PortPath();
        return std::stoi(name.substr(name.rfind(':') + 1));
    }
    sim::VirtualRegister reg{Options()};
};

// A short connect time-out for one test, the program's own afterwards.
struct ShortConnectTimeout {
    ShortConnectTimeout() { NetworkPort::SetConnectTimeoutMs(300); }
    ~ShortConnectTimeout() {
        NetworkPort::SetConnectTimeoutMs(NetworkPort::kDefaultConnectTimeoutMs);
    }
};

TEST(NetworkPortOpen, NothingListeningIsARefusedConnection) {
    Listener gone(4);
    ASSERT_GT(gone.Port(), 0);
    const std::string name = gone.Name();
    gone.Close();
    FastCom com;
    EXPECT_FALSE(com.Open(name, 1));
    EXPECT_FALSE(com.IsOpen());
    EXPECT_EQ(com.OpenError(), ECONNREFUSED);
    EXPECT_EQ(PortOpenFailureReason(com.OpenError(), 115200),
              "Serwer portu odmówił połączenia: sprawdź adres i numer portu TCP.");
    // A failed open can be tried again, and fails the same way.
    EXPECT_FALSE(com.Open(name, 1));
    EXPECT_EQ(com.OpenError(), ECONNREFUSED);
}

TEST(NetworkPortOpen, AServerThatNeverAcceptsTimesOut) {
    ShortConnectTimeout shortTimeout;
    // A backlog of 0 holds one connection; while it is held, a new one is never answered.
    Listener full(0);
    ASSERT_GT(full.Port(), 0);
    int filler = -1;
    ASSERT_TRUE(ConnectRaw(full.Port(), filler));
    FastCom com;
    EXPECT_FALSE(com.Open(full.Name(), 1));
    ::close(filler);
    EXPECT_EQ(com.OpenError(), ETIMEDOUT);
    EXPECT_EQ(PortOpenFailureReason(com.OpenError(), 115200),
              "Serwer portu nie odpowiada: upłynął czas na nawiązanie połączenia.");
}

TEST(NetworkPortOpen, ATelnetPeerThatNeverGreetsIsNotAnRfc2217Server) {
    ShortConnectTimeout shortTimeout;
    // A raw register server given an rfc2217:// name: connected, but no Telnet word comes.
    sim::VirtualRegisterOptions options;
    options.listening = sim::VirtualRegisterOptions::Listening::kTcp;
    sim::VirtualRegister reg(options);
    ASSERT_TRUE(reg.Start());
    const std::string raw = reg.PortPath();
    FastCom com;
    EXPECT_FALSE(com.Open("rfc2217://" + raw.substr(raw.find("//") + 2), 1));
    EXPECT_EQ(com.OpenError(), EPROTO);
    EXPECT_NE(PortOpenFailureReason(com.OpenError(), 115200).find("rfc2217://"), std::string::npos);
}

TEST(NetworkPortOpen, ABusyServerTurnsATelnetClientAway) {
    TelnetRegister server;
    ASSERT_TRUE(server.reg.Start());
    sim::VirtualRegister& reg = server.reg;
    const std::string name = reg.PortPath();
    const int port = server.Port();
    // Another program on another machine is served first.
    int other = -1;
    ASSERT_TRUE(ConnectRaw(port, other));
    for (int i = 0; i < 200 && reg.Connections() == 0; ++i) {
        ::usleep(5000);
    }
    ASSERT_EQ(reg.Connections(), 1);
    FastCom com;
    EXPECT_FALSE(com.Open(name, 1));
    EXPECT_EQ(com.OpenError(), ECONNRESET);
    EXPECT_EQ(PortOpenFailureReason(com.OpenError(), 115200),
              "Serwer portu przerwał połączenie; port może obsługiwać już inny program.");
    ::close(other);
}

// One program after another, as kasa runs one command after another: a server that sees
// the first program's close and the next one's connection at once must not take the next
// for a second program.
TEST(NetworkPortOpen, AProgramConnectingRightAfterTheLastClosedIsServed) {
    TelnetRegister server;
    ASSERT_TRUE(server.reg.Start());
    sim::VirtualRegister& reg = server.reg;
    const std::string name = reg.PortPath();
    const int port = server.Port();
    int first = -1;
    int next = -1;
    ASSERT_TRUE(ConnectRaw(port, first));
    // The first program takes the server's opening words, as kasa does, so that its close
    // is an orderly one.
    pollfd opening{first, POLLIN, 0};
    ASSERT_EQ(::poll(&opening, 1, 2000), 1);
    uint8_t words[64];
    ASSERT_GT(::recv(first, words, sizeof words, 0), 0);
    {
        // The server answers a signature request under the register's lock, so it waits
        // there while the first program goes and the next one comes.
        auto lock = reg.Lock();
        const uint8_t signature[] = {255, 250, 44, 0, 255, 240};  // IAC SB COM-PORT 0 IAC SE
        ASSERT_EQ(::send(first, signature, sizeof signature, MSG_NOSIGNAL), 6);
        ::usleep(50000);
        ::close(first);
        ASSERT_TRUE(ConnectRaw(port, next));
        ::usleep(50000);
    }
    // The next program is greeted with the server's Telnet words, not turned away.
    pollfd p{next, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    uint8_t greeting[16] = {};
    EXPECT_GT(::recv(next, greeting, sizeof greeting, 0), 0);
    EXPECT_EQ(greeting[0], 255);
    ::close(next);
}

TEST(NetworkPortOpen, AMalformedNetworkNameIsAMissingDevice) {
    FastCom com;
    for (const char* name : {"tcp://127.0.0.1", "rfc2217://127.0.0.1:0", "tcp://[::1]:x"}) {
        EXPECT_FALSE(com.Open(name, 1)) << name;
        EXPECT_EQ(com.OpenError(), ENOENT) << name;
    }
    EXPECT_EQ(PortOpenFailureReason(ENOENT, 115200),
              "Urządzenie nie istnieje lub zostało odłączone.");
}

TEST(NetworkPortOpen, IPv6LoopbackInBracketsWhereTheSystemHasIt) {
    sim::VirtualRegisterOptions options;
    options.listening = sim::VirtualRegisterOptions::Listening::kTcp;
    options.listenHost = "::1";
    sim::VirtualRegister reg(options);
    if (!reg.Start()) {
        GTEST_SKIP() << "no IPv6 loopback here";
    }
    ASSERT_EQ(reg.PortPath().rfind("tcp://[::1]:", 0), 0u) << reg.PortPath();
    FastCom com;
    ASSERT_TRUE(com.Open(reg.PortPath(), 1));
    iBuffer request;
    request.Append(sim::FramePayload("1^"));
    ASSERT_TRUE(com.Write(request));
    iBuffer answer;
    ASSERT_TRUE(com.Receive(answer, 1000, "\x1b\\"));
    EXPECT_NE(std::string(answer.View()).find("VESPER"), std::string::npos);
}

}  // namespace
}  // namespace kasa
