// Round trip of a 10-byte request and a 100-byte answer over a pseudo-terminal with a
// peer that answers at once: shows what the transport itself adds to an exchange.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "comm/fastcom.h"
#include "support/pty_pair.h"

int main() {
    using Clock = std::chrono::steady_clock;
    constexpr int kRounds = 1000;
    kasa::testing::PtyPair pty;
    if (!pty.Valid()) {
        std::fputs("Nie można utworzyć pseudoterminala.\n", stderr);
        return 1;
    }
    std::string answer(98, 'a');
    answer += "\x1b\\";
    std::atomic<bool> stop{false};
    std::thread peer([&] {
        while (!stop) {
            const std::string request = pty.Read(10, std::chrono::milliseconds(200));
            if (request.size() >= 10) {
                pty.Write(answer);
            }
        }
    });
    kasa::FastCom com;
    if (!com.Open(pty.SlavePath(), 1)) {
        std::fputs("Nie można otworzyć portu.\n", stderr);
        stop = true;
        peer.join();
        return 1;
    }
    kasa::iBuffer request("0123456789");
    kasa::iBuffer received;
    std::vector<double> times;
    times.reserve(kRounds);
    for (int i = 0; i < kRounds; ++i) {
        const auto start = Clock::now();
        com.Write(request);
        com.Receive(received, 5000, "\x1b\\");
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (received.Length() != 100) {
            std::fprintf(stderr, "Niepełna odpowiedź w rundzie %d.\n", i);
            break;
        }
    }
    stop = true;
    peer.join();
    com.Close();
    std::sort(times.begin(), times.end());
    const auto at = [&](double q) { return times[static_cast<size_t>(q * (times.size() - 1))]; };
    std::printf("round trip 10 B -> 100 B over a pty, %zu rounds\n", times.size());
    std::printf("median %.3f ms, p90 %.3f ms, max %.3f ms (target: median below 2 ms)\n", at(0.5),
                at(0.9), times.back());
    return at(0.5) < 2.0 ? 0 : 1;
}
