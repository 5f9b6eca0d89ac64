// A register behind a serial device server: the line is a TCP connection, raw
// ("tcp://HOST:PORT") or Telnet with the COM-PORT-OPTION ("rfc2217://HOST:PORT"), which
// also carries the line settings to the server's serial port. It behaves as the serial
// device does: the same non-waiting reads, bounded writes and waits, and a connection
// closed by the far side reads as a device gone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "comm/byte_port.h"
#include "comm/network_socket.h"
#include "comm/port_name.h"
#include "comm/telnet_com_port.h"

namespace kasa {

class NetworkPort : public BytePort {
  public:
    // Called while connecting waits, so a window can handle its events meanwhile.
    using WaitHook = std::function<void()>;

    explicit NetworkPort(WaitHook waitHook = {});
    ~NetworkPort() override;

    // How long finding the host, connecting and the Telnet greeting may take together.
    static constexpr int kDefaultConnectTimeoutMs = 5000;
    static void SetConnectTimeoutMs(int milliseconds);
    static int ConnectTimeoutMs();

    // A malformed name gives ENOENT as an unknown device does; a port name another program
    // of this user holds, EBUSY; then kHostNotFoundError, ECONNREFUSED, ETIMEDOUT,
    // EHOSTUNREACH or ENETUNREACH; a Telnet server that closes at once (as a busy one does)
    // ECONNRESET, and a peer that never answers the Telnet greeting EPROTO.
    int Open(const std::string& name) override;
    void Close() override;
    bool IsOpen() const override { return socket_ != net::kNoSocket; }

    bool ReadSettings(DeviceControlBlock& dcb) const override;
    // Over rfc2217:// the settings go to the server; raw TCP has nothing to set.
    bool ApplySettings(const DeviceControlBlock& dcb) override;
    int RequestQueueSizes(int) override { return 0; }
    bool ApplyTimeouts(const CommTimeouts&) override { return true; }
    uint32_t ExchangeEventMask(uint32_t) override { return 0; }
    // What waits here is thrown away; over rfc2217:// the server is asked to purge too.
    void Purge() override;
    void PurgeInput() override;
    bool Drain(int timeoutMs) override;
    int InputQueue() const override;
    int OutputQueue() const override;
    int ReadNow(uint8_t* destination, int max) override;
    int Write(const uint8_t* data, int count, int timeoutMs) override;
    int WaitReadable(int timeoutMs) const override;
    int WaitWritableOrReadable(int timeoutMs) const override;
    int LastError() const override { return lastError_; }

  private:
    // The connection and, over Telnet, the greeting up to the server's word on the
    // COM-PORT-OPTION; 0 or the error.
    int Connect(const NetworkPortName& name);
    // Bytes for the line that the socket did not take yet go out before anything else.
    void Queue(const telnet::Bytes& raw) const;
    // Sends what is queued without waiting; false when the connection is gone.
    bool Flush() const;
    // Feeds received bytes through the Telnet reader and answers the server's requests;
    // returns the data bytes written to `data`.
    int TakeTelnet(const uint8_t* raw, int count, uint8_t* data);
    void DiscardInput();

    WaitHook waitHook_;
    bool telnet_ = false;
    net::SocketHandle socket_ = net::kNoSocket;
    intptr_t lock_ = net::kNoLock;
    std::string lockKey_;
    mutable telnet::Bytes queued_;
    mutable int lastError_ = 0;
    telnet::Reader reader_;
    telnet::Negotiation negotiation_;
    std::vector<uint8_t> scratch_;
};

}  // namespace kasa
