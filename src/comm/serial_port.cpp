#include "comm/serial_port.h"

#include <chrono>
#include <thread>

namespace kasa {

SerialPort::~SerialPort() {
    Close();
}

bool SerialPort::Drain(int timeoutMs) {
    if (!IsOpen()) {
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const int waiting = OutputQueue();
        if (waiting <= 0) {
            return waiting == 0;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace kasa
