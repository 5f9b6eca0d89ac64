// A real pseudo-terminal pair: the code under test opens the slave path exactly as it
// would open /dev/ttyUSB0, and the test drives the master side.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kasa::testing {

class PtyPair {
  public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Valid() const { return master_ >= 0; }
    const std::string& SlavePath() const { return slavePath_; }

    // Writes bytes on the master side (they arrive at the slave's input).
    bool Write(const std::string& bytes);
    // Reads what the slave has written, waiting up to `timeout` for at least `minimum` bytes.
    std::string Read(size_t minimum, std::chrono::milliseconds timeout);
    // Reads until the bytes received end with `terminator` or the time-out passes.
    std::string ReadUntil(const std::string& terminator, std::chrono::milliseconds timeout);
    // Closes the master side, as a pulled cable or a closed peer would.
    void CloseMaster();

  private:
    // Reads `chunk` bytes at a time until `done` holds for what came or the time-out passes.
    std::string ReadFor(std::chrono::milliseconds timeout, size_t chunk,
                        const std::function<bool(const std::string&)>& done);

    int master_ = -1;
    int slaveKeeper_ = -1;
    std::string slavePath_;
};

// Runs a function on its own thread, joined at destruction.
class PeerThread {
  public:
    explicit PeerThread(std::function<void()> body) : thread_(std::move(body)) {}
    ~PeerThread() {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    PeerThread(const PeerThread&) = delete;
    PeerThread& operator=(const PeerThread&) = delete;

  private:
    std::thread thread_;
};

}  // namespace kasa::testing
