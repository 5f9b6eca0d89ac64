// The transport's line: a local serial device, or a connection to a serial device server
// when the name is a network port name (port_name.h). The kind is chosen at each Open from
// the name; everything else passes through to it.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "comm/byte_port.h"
#include "comm/serial_port.h"

namespace kasa {

class LinePort {
  public:
    // `waitHook` runs while a network connection is being made.
    explicit LinePort(std::function<void()> waitHook = {}) : waitHook_(std::move(waitHook)) {}

    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return port_ != nullptr && port_->IsOpen(); }

    bool ReadSettings(DeviceControlBlock& dcb) const;
    bool ApplySettings(const DeviceControlBlock& dcb);
    int RequestQueueSizes(int bytes);
    bool ApplyTimeouts(const CommTimeouts& timeouts);
    uint32_t ExchangeEventMask(uint32_t mask);
    void Purge();
    void PurgeInput();
    bool Drain(int timeoutMs);
    int InputQueue() const;
    int OutputQueue() const;
    int ReadNow(uint8_t* destination, int max);
    int Write(const uint8_t* data, int count, int timeoutMs);
    int WaitReadable(int timeoutMs) const;
    int WaitWritableOrReadable(int timeoutMs) const;
    int LastError() const { return port_ != nullptr ? port_->LastError() : 0; }

  private:
    std::function<void()> waitHook_;
    std::unique_ptr<BytePort> port_;
};

}  // namespace kasa
