// The thin platform layer under the serial transport: one open serial device, raw bytes,
// no knowledge of frames. The implementation for each system sits in its own file.
#pragma once

#include <cstdint>
#include <string>

#include "comm/byte_port.h"

namespace kasa {

class SerialPort : public BytePort {
  public:
    // A descriptor on Linux, a HANDLE on Windows; -1 is the invalid value of both.
    static constexpr intptr_t kInvalidHandle = -1;

    SerialPort() = default;
    ~SerialPort() override;

    // Whether the line can be set to this many bits per second.
    static bool SupportsBaudRate(int32_t rate);

    // Opens the device exclusively; returns 0 or the system error.
    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return handle_ != kInvalidHandle; }

    bool ReadSettings(DeviceControlBlock& dcb) const override;
    bool ApplySettings(const DeviceControlBlock& dcb) override;
    // Asks the driver for queues of this many bytes; 0 or the system error. A system
    // without driver queue sizes or time-outs takes these as done.
    int RequestQueueSizes(int bytes) override;
    bool ApplyTimeouts(const CommTimeouts& timeouts) override;
    // Sets the events the driver reports and returns the mask it had.
    uint32_t ExchangeEventMask(uint32_t mask) override;
    // Throws away what waits in both directions, or in the input only.
    void Purge() override;
    void PurgeInput() override;
    // Waits until the bytes written have left, at most `timeoutMs`.
    bool Drain(int timeoutMs) override;
    // Bytes waiting in the input or output queue; -1 when the device is gone.
    int InputQueue() const override;
    int OutputQueue() const override;
    // Reads what is waiting, at most `max` bytes, without waiting; -1 when the device is gone.
    int ReadNow(uint8_t* destination, int max) override;
    // Writes all bytes within `timeoutMs`; returns the count written, -1 on a failure.
    int Write(const uint8_t* data, int count, int timeoutMs) override;
    // Waits for input: 1 readable, 0 time-out, -1 hang-up or error.
    int WaitReadable(int timeoutMs) const override;
    // Waits until bytes can be written or read: 1 ready, 0 time-out, -1 hang-up or error.
    int WaitWritableOrReadable(int timeoutMs) const override;
    int LastError() const override { return lastError_; }

  private:
    intptr_t handle_ = kInvalidHandle;
    int lastError_ = 0;
};

}  // namespace kasa
