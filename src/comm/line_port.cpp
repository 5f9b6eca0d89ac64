#include "comm/line_port.h"

#include <cerrno>

#include "comm/network_port.h"
#include "comm/port_name.h"

namespace kasa {

int LinePort::Open(const std::string& path) {
    if (IsOpen()) {
        return EBUSY;
    }
    if (IsNetworkPortName(path)) {
        port_ = std::make_unique<NetworkPort>(waitHook_);
    } else {
        port_ = std::make_unique<SerialPort>();
    }
    return port_->Open(path);
}

void LinePort::Close() {
    if (port_ != nullptr) {
        port_->Close();
    }
}

bool LinePort::ReadSettings(DeviceControlBlock& dcb) const {
    return port_ != nullptr && port_->ReadSettings(dcb);
}

bool LinePort::ApplySettings(const DeviceControlBlock& dcb) {
    return port_ != nullptr && port_->ApplySettings(dcb);
}

int LinePort::RequestQueueSizes(int bytes) {
    return port_ != nullptr ? port_->RequestQueueSizes(bytes) : EBADF;
}

bool LinePort::ApplyTimeouts(const CommTimeouts& timeouts) {
    return port_ != nullptr && port_->ApplyTimeouts(timeouts);
}

uint32_t LinePort::ExchangeEventMask(uint32_t mask) {
    return port_ != nullptr ? port_->ExchangeEventMask(mask) : 0;
}

void LinePort::Purge() {
    if (port_ != nullptr) {
        port_->Purge();
    }
}

void LinePort::PurgeInput() {
    if (port_ != nullptr) {
        port_->PurgeInput();
    }
}

bool LinePort::Drain(int timeoutMs) {
    return port_ != nullptr && port_->Drain(timeoutMs);
}

int LinePort::InputQueue() const {
    return port_ != nullptr ? port_->InputQueue() : -1;
}

int LinePort::OutputQueue() const {
    return port_ != nullptr ? port_->OutputQueue() : -1;
}

int LinePort::ReadNow(uint8_t* destination, int max) {
    return port_ != nullptr ? port_->ReadNow(destination, max) : -1;
}

int LinePort::Write(const uint8_t* data, int count, int timeoutMs) {
    return port_ != nullptr ? port_->Write(data, count, timeoutMs) : -1;
}

int LinePort::WaitReadable(int timeoutMs) const {
    return port_ != nullptr ? port_->WaitReadable(timeoutMs) : -1;
}

int LinePort::WaitWritableOrReadable(int timeoutMs) const {
    return port_ != nullptr ? port_->WaitWritableOrReadable(timeoutMs) : -1;
}

}  // namespace kasa
