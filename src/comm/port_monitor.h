// Notice of serial devices plugged in or pulled: a descriptor the window's event loop
// watches, and a call that takes the pending notices when it becomes readable.
#pragma once

namespace kasa {

class PortMonitor {
  public:
    PortMonitor();
    ~PortMonitor();
    PortMonitor(const PortMonitor&) = delete;
    PortMonitor& operator=(const PortMonitor&) = delete;

    // The descriptor to watch for reading; -1 when the system gives no notices.
    int Descriptor() const;
    // Takes every pending notice; true when a serial device came or went.
    bool TakeNotices();

  private:
    struct Impl;
    Impl* impl_ = nullptr;
};

}  // namespace kasa
