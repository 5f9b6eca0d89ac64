// What the transport needs of a line: open it by name, move raw bytes, wait for them and
// set the line. A local serial device and a connection to a serial device server both
// provide it; FastCom does not know which one it talks to.
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

class BytePort {
  public:
    BytePort() = default;
    virtual ~BytePort() = default;
    BytePort(const BytePort&) = delete;
    BytePort& operator=(const BytePort&) = delete;

    // Opens the line exclusively; returns 0 or the error (an errno value).
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    virtual bool ReadSettings(DeviceControlBlock& dcb) const = 0;
    virtual bool ApplySettings(const DeviceControlBlock& dcb) = 0;
    // Asks for queues of this many bytes; 0 or the error. A line without such queues or
    // time-outs takes these as done.
    virtual int RequestQueueSizes(int bytes) = 0;
    virtual bool ApplyTimeouts(const CommTimeouts& timeouts) = 0;
    // Sets the events the line reports and returns the mask it had.
    virtual uint32_t ExchangeEventMask(uint32_t mask) = 0;
    // Throws away what waits in both directions, or in the input only.
    virtual void Purge() = 0;
    virtual void PurgeInput() = 0;
    // Waits until the bytes written have left, at most `timeoutMs`.
    virtual bool Drain(int timeoutMs) = 0;
    // Bytes waiting in the input or output queue; -1 when the line is gone.
    virtual int InputQueue() const = 0;
    virtual int OutputQueue() const = 0;
    // Reads what is waiting, at most `max` bytes, without waiting; -1 when the line is gone.
    virtual int ReadNow(uint8_t* destination, int max) = 0;
    // Writes all bytes within `timeoutMs`; returns the count written, -1 on a failure.
    virtual int Write(const uint8_t* data, int count, int timeoutMs) = 0;
    // Waits for input: 1 readable, 0 time-out, -1 hang-up or error.
    virtual int WaitReadable(int timeoutMs) const = 0;
    // Waits until bytes can be written or read: 1 ready, 0 time-out, -1 hang-up or error.
    virtual int WaitWritableOrReadable(int timeoutMs) const = 0;
    virtual int LastError() const = 0;
};

}  // namespace kasa
