// Measures the longest pause of the window's event loop while a job runs: a 5 ms timer
// notes the gaps between its ticks; the figure is printed for the record, never asserted.
#pragma once

#include <QObject>
#include <QTimer>
#include <QtGlobal>
#include <algorithm>
#include <chrono>

class EventLoopPause {
  public:
    EventLoopPause() {
        QObject::connect(&tick_, &QTimer::timeout, [this] {
            const auto now = std::chrono::steady_clock::now();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        tick_.start(5);
    }
    // Stops the timer and prints the longest pause, naming the job.
    void Report(const char* job) {
        tick_.stop();
        qInfo("longest pause of the window's event loop (%s): %lld ms", job,
              static_cast<long long>(
                  std::chrono::duration_cast<std::chrono::milliseconds>(longest_).count()));
    }

  private:
    QTimer tick_;
    std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::duration longest_{};
};
