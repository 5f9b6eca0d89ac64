// The thin platform layer under the serial transport: one open serial device, raw bytes,
// no knowledge of frames. The implementation for each system sits in its own file.
#pragma once

#include <cstdint>
#include <string>

namespace kasa {

// Settings kept between open and close, as the transport sets them.
struct DeviceControlBlock {
    int32_t baudRate = 9600;
    bool binary = true;
    int dataBits = 8;
    bool parity = false;  // no parity bit
    int stopBits = 1;
    bool dtrOn = false;
    bool rtsOn = false;
    bool ctsOutputFlow = false;
    bool dsrOutputFlow = false;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    bool xonXoffOutput = false;
    bool xonXoffInput = false;
    uint8_t xonChar = 0x11;
    uint8_t xoffChar = 0x13;
    int xonLimit = 0;
    int xoffLimit = 0;
    bool errorReplacement = false;
    bool nullStripping = false;
    bool abortOnError = false;
    uint8_t eofChar = 0;
    bool parityCheck = false;  // left as the driver reports it
};

// Time-outs of one read and one write, in milliseconds.
struct CommTimeouts {
    int32_t readInterval = 0;
    int32_t readTotalMultiplier = 0;
    int32_t readTotalConstant = 0;
    int32_t writeTotalMultiplier = 0;
    int32_t writeTotalConstant = 0;
};

class SerialPort {
  public:
    // A descriptor on Linux, a HANDLE on Windows; -1 is the invalid value of both.
    static constexpr intptr_t kInvalidHandle = -1;

    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Whether the line can be set to this many bits per second.
    static bool SupportsBaudRate(int32_t rate);

    // Opens the device exclusively; returns 0 or the system error.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return handle_ != kInvalidHandle; }

    bool ReadSettings(DeviceControlBlock& dcb) const;
    bool ApplySettings(const DeviceControlBlock& dcb);
    // Asks the driver for queues of this many bytes; 0 or the system error. A system
    // without driver queue sizes or time-outs takes these as done.
    int RequestQueueSizes(int bytes);
    bool ApplyTimeouts(const CommTimeouts& timeouts);
    // Sets the events the driver reports and returns the mask it had.
    uint32_t ExchangeEventMask(uint32_t mask);
    // Throws away what waits in both directions, or in the input only.
    void Purge();
    void PurgeInput();
    // Waits until the bytes written have left, at most `timeoutMs`.
    bool Drain(int timeoutMs);
    // Bytes waiting in the input or output queue; -1 when the device is gone.
    int InputQueue() const;
    int OutputQueue() const;
    // Reads what is waiting, at most `max` bytes, without waiting; -1 when the device is gone.
    int ReadNow(uint8_t* destination, int max);
    // Writes all bytes within `timeoutMs`; returns the count written, -1 on a failure.
    int Write(const uint8_t* data, int count, int timeoutMs);
    // Waits for input: 1 readable, 0 time-out, -1 hang-up or error.
    int WaitReadable(int timeoutMs) const;
    // Waits until bytes can be written or read: 1 ready, 0 time-out, -1 hang-up or error.
    int WaitWritableOrReadable(int timeoutMs) const;
    int LastError() const { return lastError_; }

  private:
    intptr_t handle_ = kInvalidHandle;
    int lastError_ = 0;
};

}  // namespace kasa
